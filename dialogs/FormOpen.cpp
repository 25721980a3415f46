#include "FormOpen.h"

#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "FormColour.h"
#include "FormEnhance.h"
#include "GermanText.h"
#include "HeadedList.h"
#include "Help.h"
#include "PuzzleList.h"
#include "Settings.h"
#include "ZarvoError.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QFont ArialBold(int pointSize)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(true);
    return font;
}

// Starts the first plain text editor found on the system with the file.
bool StartPlainTextEditor(const QString &path)
{
#ifdef Q_OS_WIN
    const QStringList editors{QStringLiteral("notepad.exe")};
#else
    QStringList editors;
    const QString visual = qEnvironmentVariable("VISUAL");
    if (!visual.isEmpty())
        editors << visual;
    editors << QStringLiteral("gnome-text-editor") << QStringLiteral("gedit")
            << QStringLiteral("kate") << QStringLiteral("kwrite") << QStringLiteral("mousepad")
            << QStringLiteral("pluma") << QStringLiteral("xed") << QStringLiteral("featherpad")
            << QStringLiteral("leafpad");
#endif
    for (const QString &editor : editors) {
        const QString program = QStandardPaths::findExecutable(editor);
        if (!program.isEmpty() && QProcess::startDetached(program, {path}))
            return true;
    }
#ifndef Q_OS_WIN
    // A terminal editor in a terminal window as the last resort.
    const QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
    QString editor = qEnvironmentVariable("EDITOR");
    if (editor.isEmpty())
        editor = QStringLiteral("nano");
    if (!terminal.isEmpty() && !QStandardPaths::findExecutable(editor).isEmpty())
        return QProcess::startDetached(terminal, {QStringLiteral("-e"), editor, path});
#endif
    return false;
}

bool OpenInEditor(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) || StartPlainTextEditor(path);
}

// The preview picture: drawn unscaled from the top-left corner; the puzzle's
// picture has already been fitted to the area's size.
class TPreviewBox : public QWidget
{
public:
    using QWidget::QWidget;
    QImage Picture;

    void SetPicture(const QImage &picture)
    {
        Picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (!Picture.isNull())
            painter.drawImage(0, 0, Picture);
    }
};

class TFormOpen : public QDialog
{
public:
    TFormOpen(QWidget *owner, const QString &selected);

    // The puzzle of the row chosen last (file name with extension).
    QString SelectedPuzzleFile;

    void BuildPuzzleList(const QString &playerName);
    void ListZarvosClick();
    void BtnOkClick();
    void BtnSolutionClick();
    void TakePlayer(const QString &name);
    void LBoxSolutionEnter();
    void LBoxSolutionExit();
    void ItemEditClick();
    void ItemBuildListClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void CreateControls();
    void PlaceSolutionControls();
    void HidePlayerList();
    // True when the key was one of the dialog's own.
    bool FormKey(QKeyEvent *event);
    void ShowPreview();
    void PreviewBuilt(int request, const QImage &picture, const QString &error);

    std::vector<TPuzzleRow> Rows;
    int PreviewRequest = 0; // the preview being built for the area, 0 when none
    bool Shown = false;
    QString PlayerTitle; // the player column's title, shortened where it meets the button

    QWidget *PnlList = nullptr;
    TListHeaderControl *HeaderZarvos = nullptr;
    THeadedListBox *ListZarvos = nullptr;
    QListWidget *LBoxSolution = nullptr;
    QToolButton *BtnSolution = nullptr;
    QWidget *PnlPreview = nullptr;
    TPreviewBox *ImgVorschau = nullptr;
    QLabel *LblWait = nullptr;
    QWidget *PnlBottom = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnCancel = nullptr;
    QMenu *PopupMenu = nullptr;
    QAction *ItemEdit = nullptr;
    QAction *ItemBuildList = nullptr;
    // Last, so it is gone (its thread ended) before any control is.
    std::unique_ptr<TPreviewBuilder> Previews;
};

TFormOpen::TFormOpen(QWidget *owner, const QString &selected)
    : QDialog(owner), SelectedPuzzleFile(selected)
{
    setObjectName(QStringLiteral("FormOpen"));
    setWindowTitle(QStringLiteral("Neues Spiel öffnen"));
    CreateControls();
    resize(633, 260);
    Previews = std::make_unique<TPreviewBuilder>();
    connect(
        Previews.get(), &TPreviewBuilder::Built, this,
        [this](int request, const QString &, const QImage &picture, const QString &error) {
            PreviewBuilt(request, picture, error);
        },
        Qt::QueuedConnection);

    TFormEnhance::ForDialog(this, QStringLiteral("\\Software\\Zarvos"), QStringLiteral("FormOpen"),
                            TFormEnhance::scMOVE | TFormEnhance::scSEPARATOR |
                                TFormEnhance::scCLOSE);

    // FormCreate: the lists, then the remembered row. The preview follows
    // once the window has its size.
    BuildPuzzleList(Settings().Player);
    if (ListZarvos->count() > 0) {
        const int remembered = Settings().ZarvoIndex;
        const QSignalBlocker block(ListZarvos);
        ListZarvos->setCurrentRow(remembered >= 1 && remembered < ListZarvos->count() ? remembered
                                                                                      : 0);
    }
}

void TFormOpen::CreateControls()
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColour);
    setPalette(pal);
    setFont(QFont(QStringLiteral("Arial"), 9));
    setSizeGripEnabled(true);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    root->addLayout(top, 1);

    PnlList = new QWidget(this);
    PnlList->setObjectName(QStringLiteral("PnlList"));
    auto *listLayout = new QVBoxLayout(PnlList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    HeaderZarvos = new TListHeaderControl(PnlList);
    HeaderZarvos->setObjectName(QStringLiteral("HeaderZarvos"));
    HeaderZarvos->setFont(ArialBold(9));
    HeaderZarvos->AddSection(QStringLiteral("Schw.grad"), 80, false);
    HeaderZarvos->AddSection(QStringLiteral("Puzzle"), 200, false);
    HeaderZarvos->AddSection(QStringLiteral("Minimum"), 80, false);
    HeaderZarvos->AddSection(QStringLiteral("Spieler"), 96, true);
    HeaderZarvos->AddSection(QStringLiteral("Datei"), 84, false);
    ListZarvos = new THeadedListBox(PnlList);
    ListZarvos->setObjectName(QStringLiteral("ListZarvos"));
    ListZarvos->setFont(ArialBold(11));
    ListZarvos->SetItemHeight(qMax(18, ListZarvos->TextRowHeight()));
    ListZarvos->setFrameShape(QFrame::NoFrame);
    QPalette listPal = ListZarvos->palette();
    listPal.setColor(QPalette::Base, FormColour);
    ListZarvos->setPalette(listPal);
    ListZarvos->SetHideSelection(false);
    ListZarvos->setContextMenuPolicy(Qt::CustomContextMenu);
    HeaderZarvos->SetListbox(ListZarvos);
    listLayout->addWidget(HeaderZarvos);
    listLayout->addWidget(ListZarvos, 1);
    top->addWidget(PnlList, 1);

    LBoxSolution = new QListWidget(PnlList);
    LBoxSolution->setObjectName(QStringLiteral("LBoxSolution"));
    LBoxSolution->setFont(ArialBold(9));
    LBoxSolution->setUniformItemSizes(true);
    LBoxSolution->resize(91, 79);
    LBoxSolution->hide();
    BtnSolution = new QToolButton(HeaderZarvos);
    BtnSolution->setObjectName(QStringLiteral("BtnSolution"));
    BtnSolution->setText(QStringLiteral("&?"));
    BtnSolution->setFont(ArialBold(9));
    BtnSolution->setFocusPolicy(Qt::NoFocus);
    BtnSolution->setToolTip(QStringLiteral("Spieler auswählen"));
    BtnSolution->setFixedSize(17, 18);

    PnlPreview = new QWidget(this);
    PnlPreview->setFixedWidth(184);
    auto *previewLayout = new QVBoxLayout(PnlPreview);
    previewLayout->setContentsMargins(2, 2, 2, 2);
    ImgVorschau = new TPreviewBox(PnlPreview);
    ImgVorschau->setObjectName(QStringLiteral("ImgVorschau"));
    previewLayout->addWidget(ImgVorschau);
    LblWait = new QLabel(QStringLiteral("Erzeuge Vorschau..."), ImgVorschau);
    LblWait->setObjectName(QStringLiteral("LblWait"));
    LblWait->setAlignment(Qt::AlignCenter);
    LblWait->hide();
    top->addWidget(PnlPreview);

    PnlBottom = new QWidget(this);
    PnlBottom->setObjectName(QStringLiteral("PnlBottom"));
    PnlBottom->setFixedHeight(41);
    auto *bottom = new QHBoxLayout(PnlBottom);
    bottom->setContentsMargins(8, 8, 8, 8);
    bottom->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("OK"), PnlBottom);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Abbrechen"), PnlBottom);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    bottom->addWidget(BtnOk);
    bottom->addWidget(BtnCancel);
    root->addWidget(PnlBottom);

    PopupMenu = new QMenu(this);
    ItemEdit = PopupMenu->addAction(QStringLiteral("Puzzledatei &editieren..."));
    SetGermanShortcut(ItemEdit, QKeySequence(Qt::CTRL | Qt::Key_E));
    ItemBuildList = PopupMenu->addAction(QStringLiteral("Puzzleliste &aktualisieren"));
    SetGermanShortcut(ItemBuildList, QKeySequence(Qt::CTRL | Qt::Key_R));
    for (QAction *item : {ItemEdit, ItemBuildList}) {
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
    }

    connect(ItemEdit, &QAction::triggered, this, [this] { ItemEditClick(); });
    connect(ItemBuildList, &QAction::triggered, this, [this] { ItemBuildListClick(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnSolution, &QToolButton::clicked, this, [this] { BtnSolutionClick(); });
    connect(ListZarvos, &QListWidget::currentRowChanged, this, [this] { ListZarvosClick(); });
    connect(ListZarvos, &QListWidget::itemDoubleClicked, this, [this] { BtnOkClick(); });
    connect(ListZarvos, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu->popup(ListZarvos->mapToGlobal(pos)); });
    connect(HeaderZarvos, &QHeaderView::sectionResized, this, [this] { PlaceSolutionControls(); });
    connect(HeaderZarvos, &QHeaderView::geometriesChanged, this,
            [this] { PlaceSolutionControls(); });

    // The dialog sees keys before its controls, and every press outside the
    // player list closes it.
    const QList<QWidget *> watched{ListZarvos,   ListZarvos->viewport(),
                                   LBoxSolution, LBoxSolution->viewport(),
                                   HeaderZarvos, HeaderZarvos->viewport(),
                                   BtnOk,        BtnCancel,
                                   PnlBottom,    PnlPreview,
                                   ImgVorschau};
    for (QWidget *w : watched)
        w->installEventFilter(this);
}

void TFormOpen::PlaceSolutionControls()
{
    const int left = HeaderZarvos->sectionViewportPosition(3);
    // The button sits at the right end of the player column as far as the
    // header shows it, and the column's title stops short of the button.
    const int right = qMin(left + HeaderZarvos->sectionSize(3), HeaderZarvos->width());
    BtnSolution->move(right - BtnSolution->width() - 1,
                      qMax(0, (HeaderZarvos->height() - BtnSolution->height()) / 2));
    BtnSolution->raise();
    const int room = BtnSolution->x() - left - 8;
    const QString title =
        HeaderZarvos->fontMetrics().elidedText(PlayerTitle, Qt::ElideRight, qMax(room, 0));
    if (HeaderZarvos->SectionText(3) != title)
        HeaderZarvos->SetSectionText(3, title);
    LBoxSolution->move(left, HeaderZarvos->geometry().bottom() + 1);
    LBoxSolution->raise();
}

void TFormOpen::BuildPuzzleList(const QString &playerName)
{
    const int topRow = ListZarvos->verticalScrollBar()->value();
    const int selected = ListZarvos->currentRow();

    TPuzzleList built = ::BuildPuzzleList(DataRoot::DataDir(), playerName);
    PlayerTitle = built.Player.isEmpty() ? QStringLiteral("Spieler") : built.Player;
    PlaceSolutionControls();
    Settings().Player = built.Player;

    LBoxSolution->clear();
    for (const QString &player : built.Players) {
        auto *item = new QListWidgetItem(player, LBoxSolution);
        item->setSizeHint(QSize(0, 15));
    }
    const QSignalBlocker block(ListZarvos);
    ListZarvos->clear();
    Rows = std::move(built.Rows);
    QStringList texts;
    texts.reserve(qsizetype(Rows.size()));
    for (const TPuzzleRow &row : Rows)
        texts << row.Text;
    ListZarvos->addItems(texts);
    ListZarvos->verticalScrollBar()->setValue(topRow);
    if (ListZarvos->count() > 0)
        ListZarvos->setCurrentRow(selected > 0 && selected < ListZarvos->count() ? selected : 0);
}

void TFormOpen::ListZarvosClick()
{
    const int row = ListZarvos->currentRow();
    if (row < 0 || row >= int(Rows.size()))
        return;
    SelectedPuzzleFile = Rows[size_t(row)].FileName;
    Settings().ZarvoIndex = row;
    ShowPreview();
}

void TFormOpen::ShowPreview()
{
    const QString dataDir = DataRoot::DataDir();
    const QSize area = ImgVorschau->size();
    const QImage cached = LoadCachedPreview(dataDir, SelectedPuzzleFile, area);
    if (!cached.isNull()) {
        // A picture still being built for another row is no longer wanted.
        PreviewRequest = 0;
        LblWait->hide();
        ImgVorschau->SetPicture(cached);
        return;
    }

    // The board is loaded on the builder's thread; the list stays usable
    // and the picture is shown when it arrives.
    const QColor face = QApplication::palette().color(QPalette::Button);
    QImage blank(area, QImage::Format_RGB32);
    blank.fill(face);
    ImgVorschau->SetPicture(blank);
    LblWait->setGeometry(0, 0, area.width(), area.height());
    LblWait->show();
    PreviewRequest = Previews->Request(dataDir, SelectedPuzzleFile, area, face);
}

void TFormOpen::PreviewBuilt(int request, const QImage &picture, const QString &error)
{
    if (request != PreviewRequest)
        return;
    PreviewRequest = 0;
    LblWait->hide();
    if (!picture.isNull())
        ImgVorschau->SetPicture(picture);
    else if (!error.isEmpty())
        ShowErrorReport(error);
}

void TFormOpen::BtnOkClick()
{
    const int row = ListZarvos->currentRow();
    if (row >= 0 && row < int(Rows.size())) {
        SelectedPuzzleFile = Rows[size_t(row)].FileName;
        Settings().ZarvoIndex = row;
    }
    accept();
}

void TFormOpen::BtnSolutionClick()
{
    if (LBoxSolution->isVisible()) {
        HidePlayerList();
        return;
    }
    if (LBoxSolution->count() > 0)
        LBoxSolution->setCurrentRow(0);
    const QString current = PlayerTitle;
    for (int i = 0; i < LBoxSolution->count(); ++i) {
        if (LBoxSolution->item(i)->text() == current) {
            LBoxSolution->setCurrentRow(i);
            break;
        }
    }
    PlaceSolutionControls();
    LBoxSolution->show();
    LBoxSolution->raise();
    LBoxSolution->setFocus();
    LBoxSolutionEnter();
}

void TFormOpen::LBoxSolutionEnter()
{
    // Enter and Escape belong to the player list while it has the focus.
    BtnOk->setDefault(false);
    BtnOk->setAutoDefault(false);
}

void TFormOpen::LBoxSolutionExit()
{
    BtnOk->setDefault(true);
    LBoxSolution->hide();
}

void TFormOpen::HidePlayerList()
{
    if (!LBoxSolution->isVisible())
        return;
    const bool hadFocus = LBoxSolution->hasFocus();
    LBoxSolution->hide();
    LBoxSolutionExit();
    if (hadFocus)
        ListZarvos->setFocus();
}

void TFormOpen::TakePlayer(const QString &name)
{
    HidePlayerList();
    ListZarvos->setFocus();
    BuildPuzzleList(name);
}

void TFormOpen::ItemEditClick()
{
    if (SelectedPuzzleFile.isEmpty())
        return;
    const QString path = DataRoot::DataDir() + SelectedPuzzleFile;
    if (EditPuzzleFile && !EditPuzzleFile(path))
        CenteredMessageDlg(QStringLiteral("Die Puzzledatei \"%1\" kann nicht geöffnet werden:\r"
                                          "Es ist kein Programm zum Bearbeiten von Textdateien "
                                          "eingerichtet.")
                               .arg(QDir::toNativeSeparators(path)),
                           QMessageBox::Warning, QMessageBox::Ok);
}

void TFormOpen::ItemBuildListClick()
{
    BuildPuzzleList(Settings().Player);
}

bool TFormOpen::FormKey(QKeyEvent *event)
{
    if (event->text() == QStringLiteral("?")) {
        BtnSolutionClick();
        return true;
    }
    if (LBoxSolution->isVisible() && LBoxSolution->hasFocus()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            QListWidgetItem *item = LBoxSolution->currentItem();
            const QString name = item ? item->text() : QString();
            if (item)
                TakePlayer(name);
            else
                HidePlayerList();
            return true;
        }
        if (event->key() == Qt::Key_Escape) {
            HidePlayerList();
            ListZarvos->setFocus();
            return true;
        }
    }
    return false;
}

bool TFormOpen::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (FormKey(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::ShortcutOverride: {
        // Keep Escape and Enter from reaching the dialog's buttons while the
        // player list has them.
        auto *key = static_cast<QKeyEvent *>(event);
        if (LBoxSolution->hasFocus() &&
            (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
             key->key() == Qt::Key_Enter)) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::FocusOut:
        if (watched == LBoxSolution)
            LBoxSolutionExit();
        break;
    case QEvent::Resize:
        if (watched == HeaderZarvos)
            PlaceSolutionControls();
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == LBoxSolution->viewport()) {
            QListWidgetItem *item = LBoxSolution->itemAt(mouse->position().toPoint());
            const QString name = item ? item->text() : QString();
            HidePlayerList();
            if (item && mouse->button() == Qt::LeftButton)
                TakePlayer(name);
            return true;
        }
        HidePlayerList();
        if (watched == ListZarvos->viewport() && mouse->button() == Qt::RightButton) {
            // The pop-up menu works on the row under the pointer.
            const QModelIndex index = ListZarvos->indexAt(mouse->position().toPoint());
            if (index.isValid()) {
                if (ListZarvos->currentRow() == index.row())
                    ListZarvosClick();
                else
                    ListZarvos->setCurrentRow(index.row());
            }
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormOpen::keyPressEvent(QKeyEvent *event)
{
    if (!FormKey(event))
        QDialog::keyPressEvent(event);
}

void TFormOpen::mousePressEvent(QMouseEvent *event)
{
    HidePlayerList();
    QDialog::mousePressEvent(event);
}

void TFormOpen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    PlaceSolutionControls();
    if (!Shown) {
        Shown = true;
        // The preview needs the area's final size: once the window is up.
        QTimer::singleShot(0, this, [this] { ListZarvosClick(); });
    }
}

} // namespace

std::function<bool(const QString &path)> EditPuzzleFile = OpenInEditor;

bool SelectPuzzle(QWidget *owner, QString &puzzleFile)
{
    TFormOpen dialog(owner, puzzleFile);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    puzzleFile = dialog.SelectedPuzzleFile;
    return true;
}
