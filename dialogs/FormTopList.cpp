#include "FormTopList.h"

#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormColour.h"
#include "FormEnhance.h"
#include "HeadedList.h"
#include "Help.h"
#include "Settings.h"
#include "TopListLogic.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QFont ArialBold(int pointSize)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(true);
    return font;
}

class TFormTopList : public QDialog
{
public:
    TFormTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds);

    void FormActivate();
    void HeaderHighScoreSectionClick(int section);
    void EditHighScoreExit();
    bool AskOverwrite();

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateControls();
    void ShowRows(int selected);
    void SetEditing(bool editing);
    void LeaveEditor();
    QString PuzzlePath() const;

    TZarvoPad *Board;
    TTopList List;
    bool Editing = false;
    bool TakingName = false;
    bool Closing = false;
    int ExitCount = 0; // how often the editor's exit has run

    TListHeaderControl *HeaderHighScore = nullptr;
    THeadedListBox *ListHighScore = nullptr;
    QLineEdit *EditHighScore = nullptr;
    QPushButton *BtnOk = nullptr;
};

TFormTopList::TFormTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds)
    : QDialog(owner), Board(board)
{
    setObjectName(QStringLiteral("FormTopList"));
    setWindowTitle(QStringLiteral("Bestenliste"));
    CreateControls();
    resize(493, 246);

    TFormEnhance::ForDialog(
        this, QStringLiteral("\\Software\\Zarvos"), QStringLiteral("FormTopList"),
        TFormEnhance::scMOVE | TFormEnhance::scSEPARATOR | TFormEnhance::scCLOSE);

    // FormCreate: the stored list and, after a solved game, the new result.
    List.Load(PuzzlePath(), newMoves, newSeconds);
    ShowRows(-1);
}

void TFormTopList::CreateControls()
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColour);
    setPalette(pal);
    setFont(QFont(QStringLiteral("Arial"), 9));

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    HeaderHighScore = new TListHeaderControl(this);
    HeaderHighScore->setObjectName(QStringLiteral("HeaderHighScore"));
    HeaderHighScore->setFont(ArialBold(9));
    HeaderHighScore->AddSection(QStringLiteral("Platz"), 50, false);
    HeaderHighScore->AddSection(QStringLiteral("Name"), 253, false);
    HeaderHighScore->AddSection(QStringLiteral("Züge"), 86, true);
    HeaderHighScore->AddSection(QStringLiteral("Zeit"), 86, true, Qt::AlignRight);
    ListHighScore = new THeadedListBox(this);
    ListHighScore->setObjectName(QStringLiteral("ListHighScore"));
    ListHighScore->setFont(ArialBold(11));
    ListHighScore->SetItemHeight(qMax(16, ListHighScore->TextRowHeight()));
    ListHighScore->setFrameShape(QFrame::NoFrame);
    QPalette listPal = ListHighScore->palette();
    listPal.setColor(QPalette::Base, FormColour);
    ListHighScore->setPalette(listPal);
    ListHighScore->SetHideSelection(false);
    HeaderHighScore->SetListbox(ListHighScore);
    root->addWidget(HeaderHighScore);
    root->addWidget(ListHighScore, 1);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 6, 8, 6);
    bottom->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("&Schließen"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    bottom->addWidget(BtnOk);
    bottom->addStretch(1);
    root->addLayout(bottom);

    EditHighScore = new QLineEdit(QStringLiteral("Name?"), this);
    EditHighScore->setObjectName(QStringLiteral("EditHighScore"));
    EditHighScore->setFrame(false);
    EditHighScore->setFont(ArialBold(11));
    QPalette editPal = EditHighScore->palette();
    editPal.setColor(QPalette::Base, Qt::white);
    editPal.setColor(QPalette::Text, QColor(0, 0, 128));
    EditHighScore->setPalette(editPal);
    // Neither separator of the stored entries can be typed or pasted.
    EditHighScore->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^;,\\r\\n]*")), EditHighScore));
    EditHighScore->setMaxLength(MaxPlayerNameLength);
    EditHighScore->hide();
    EditHighScore->installEventFilter(this);
    ListHighScore->installEventFilter(this);
    BtnOk->installEventFilter(this);

    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(HeaderHighScore, &TListHeaderControl::SectionClick, this,
            [this](int section) { HeaderHighScoreSectionClick(section); });
}

QString TFormTopList::PuzzlePath() const
{
    return DataRoot::DataDir() + Board->FileName;
}

void TFormTopList::ShowRows(int selected)
{
    ListHighScore->clear();
    ListHighScore->addItems(List.Rows);
    if (selected < 0 || selected >= ListHighScore->count())
        selected = ListHighScore->count() > 0 ? 0 : -1;
    ListHighScore->setCurrentRow(selected);
}

void TFormTopList::SetEditing(bool editing)
{
    Editing = editing;
    // While the editor is open, Enter and Escape belong to it.
    BtnOk->setDefault(!editing);
    BtnOk->setAutoDefault(!editing);
    EditHighScore->setVisible(editing);
}

void TFormTopList::FormActivate()
{
    List.SortAndRank();
    ShowRows(List.PendingIndex);
    if (!List.NameAwaited || List.PendingIndex < 0)
        return;

    QListWidgetItem *item = ListHighScore->item(List.PendingIndex);
    ListHighScore->scrollToItem(item);
    const QRect row = ListHighScore->visualItemRect(item);
    const QPoint rowTop = ListHighScore->viewport()->mapTo(this, row.topLeft());
    const int nameLeft = HeaderHighScore->sectionViewportPosition(1);
    const QPoint headerLeft = HeaderHighScore->viewport()->mapTo(this, QPoint(nameLeft, 0));
    EditHighScore->setGeometry(headerLeft.x() + 5, rowTop.y(), HeaderHighScore->sectionSize(1) - 5,
                               row.height());

    const QString player = Settings().Player;
    if (!Settings().NoOldPlayer && !player.isEmpty())
        EditHighScore->setText(CleanPlayerName(player));
    SetEditing(true);
    EditHighScore->raise();
    EditHighScore->selectAll();
    EditHighScore->setFocus();
}

void TFormTopList::HeaderHighScoreSectionClick(int section)
{
    if (section == 2)
        List.SortByMoves = true;
    else if (section == 3)
        List.SortByMoves = false;
    else
        return;
    FormActivate();
}

bool TFormTopList::AskOverwrite()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Zarvos"),
                    QStringLiteral("Name schon vorhanden!\nSoll er überschrieben werden?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.adjustSize();
    if (QWidget *centre = MessageDlgCentre()) {
        const QRect main = centre->frameGeometry();
        const QSize size = box.frameGeometry().size();
        box.move(main.left() + (main.width() - size.width()) / 2,
                 main.top() + (main.height() - size.height()) / 2);
    }
    return box.exec() == QMessageBox::Yes;
}

void TFormTopList::EditHighScoreExit()
{
    // Closing the window any other way drops the result.
    if (!Editing || TakingName || Closing)
        return;
    TakingName = true;
    ++ExitCount;
    QString bestMoves;
    TTopList::TNameResult result = TTopList::NameDropped;
    try {
        result = List.TakeName(
            EditHighScore->text(), Settings().NoOldPlayer, [this] { return AskOverwrite(); },
            PuzzlePath(), bestMoves);
    } catch (const EZarvoError &e) {
        // The list could not be written: the result is not entered, so the
        // puzzle window may offer the list again.
        TakingName = false;
        SetEditing(false);
        ShowRows(List.NamedIndex);
        ShowErrorReport(e.Message);
        return;
    }
    TakingName = false;

    switch (result) {
    case TTopList::NameAgain:
        // Back into the editor once the focus change that got us here is over.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
        break;
    case TTopList::NameDropped:
        SetEditing(false);
        QTimer::singleShot(0, this, [this] { done(QDialog::Accepted); });
        break;
    case TTopList::NameStored:
        SetEditing(false);
        ShowRows(List.NamedIndex);
        Board->Solved = true;
        Board->SolvedMoves = Board->MoveIndex;
        Board->BestMoves = bestMoves;
        break;
    }
}

void TFormTopList::LeaveEditor()
{
    // Moving the focus ends the editing; a window that is not active gets no
    // focus events, so the name is then taken here.
    const int before = ExitCount;
    ListHighScore->setFocus();
    if (ExitCount == before)
        EditHighScoreExit();
}

bool TFormTopList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == EditHighScore && Editing) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (EditHighScore->text() == QStringLiteral("Name?")) {
                    // The placeholder is no name; say so instead of ignoring the key.
                    CenteredMessageDlg(
                        QStringLiteral("Bitte gib deinen Namen für die Bestenliste ein."),
                        QMessageBox::Information, QMessageBox::Ok);
                    EditHighScore->setFocus();
                    EditHighScore->selectAll();
                    return true;
                }
                LeaveEditor();
                return true;
            case Qt::Key_Escape:
                EditHighScore->clear();
                LeaveEditor();
                return true;
            default:
                if (key->text() == QStringLiteral(";") || key->text() == QStringLiteral(","))
                    return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == EditHighScore && Editing) {
        // Leaving the window or opening a menu is no end of editing.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            EditHighScoreExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TFormTopList::keyPressEvent(QKeyEvent *event)
{
    // "Schließen" is the cancel button as well, and closes with OK.
    if (event->key() == Qt::Key_Escape && !Editing) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormTopList::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !TakingName)
        FormActivate();
}

void TFormTopList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TFormTopList::done(int result)
{
    Closing = true;
    // The order chosen is kept at every close, also when nothing else changed.
    if (!Board->FileName.isEmpty()) {
        try {
            List.WriteSort(PuzzlePath());
        } catch (const EZarvoError &e) {
            ShowErrorReport(e.Message);
        }
    }
    QDialog::done(result);
}

} // namespace

bool ShowTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds)
{
    if (!board)
        return false;
    TFormTopList dialog(owner, board, newMoves, newSeconds);
    return dialog.exec() == QDialog::Accepted;
}
