#include "FormProperties.h"

#include "DialogLook.h"
#include "ExpertLogic.h"
#include "FontField.h"
#include "FormColour.h"

#include "ButtonEdit.h"
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormEnhance.h"
#include "Help.h"
#include "MultiEdit.h"
#include "NViewLib.h"
#include "ZarvoPad.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr int PreviewW = 210, PreviewH = 218;

// The entry equal to name without regard to case, else "(Kein)".
int EntryOf(const QComboBox *list, const QString &name)
{
    for (int i = 1; i < list->count(); ++i)
        if (list->itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return 0;
}

QImage BuiltInBack()
{
    QImage back(QStringLiteral(":/images/BACK.bmp"));
    if (back.isNull()) {
        back = QImage(32, 32, QImage::Format_RGB32);
        back.fill(FormColour);
    }
    return back;
}
} // namespace

TFormProperties::TFormProperties(QWidget *owner, TZarvoPad *board, TReopen reopen)
    : QDialog(owner), FBoard(board), FReopen(std::move(reopen))
{
    CreateControls();

    FormEnhance = TFormEnhance::ForDialog(this, QStringLiteral("\\Software\\Zarvos\\Forms"),
                                          QStringLiteral("FormProperties"),
                                          TFormEnhance::scMOVE | TFormEnhance::scSIZE |
                                              TFormEnhance::scSEPARATOR | TFormEnhance::scCLOSE);

    // Opening: the board's look in the fields.
    EditUnit->SetIntVal(FBoard->UnitSize);
    EditBorder->SetIntVal(FBoard->Border);
    ShowBoardFont();
    FBackName = FBoard->ImgBack;
    FZarvosName = FBoard->ImgZarvos;
    const QStringList pictures = PictureList();
    for (QComboBox *list : {EditBack, EditZarvos}) {
        const QSignalBlocker block(list);
        list->addItems(pictures);
    }
    {
        const QSignalBlocker block(EditBack);
        EditBack->setCurrentIndex(EntryOf(EditBack, FBackName));
    }
    {
        const QSignalBlocker block(EditZarvos);
        EditZarvos->setCurrentIndex(EntryOf(EditZarvos, FZarvosName));
    }
    if (!FBackName.isEmpty())
        ShowPreview(ImgBack, BackPreview, NViewLibLoad(ImageDirFile(FBackName), 0));
    if (!FZarvosName.isEmpty())
        ShowPreview(ImgZarvos, ZarvosPreview, NViewLibLoad(ImageDirFile(FZarvosName), 0));
    BtnTake->setEnabled(false);
}

TFormProperties::~TFormProperties()
{
    FormEnhance->Save();
}

void TFormProperties::CreateControls()
{
    setWindowTitle(QStringLiteral("Eigenschaften"));
    setFixedSize(475, 350);
    SetDialogLook(this);

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(6, 6, 463, 296);
    QFont tabFont(QStringLiteral("Arial"), 9);
    PageControl->setFont(tabFont);
    QFont pageFont(QStringLiteral("Arial"), 10);

    auto *general = new QWidget;
    general->setFont(pageFont);
    PageControl->addTab(general, QStringLiteral("Allgemein"));
    auto *pictures = new QWidget;
    pictures->setFont(pageFont);
    PageControl->addTab(pictures, QStringLiteral("Bilder"));

    auto label = [](QWidget *page, const QString &text, int x, int y, QWidget *buddy) {
        auto *l = new QLabel(text, page);
        l->setGeometry(x, y, 110, 20);
        l->setBuddy(buddy);
    };
    auto intEdit = [](QWidget *page, int y, int min, int max, int step) {
        auto *e = new TMultiEdit(page);
        e->setGeometry(130, y, 70, 24);
        e->SetIntValMin(min);
        e->SetIntValMax(max);
        e->SetIncrement(step);
        return e;
    };
    EditUnit = intEdit(general, 20, 5, 1000, 5);
    EditUnit->SetIntVal(5);
    label(general, QStringLiteral("&Einheit"), 16, 22, EditUnit);
    EditBorder = intEdit(general, 56, 0, 20, 1);
    EditBorder->SetIntVal(2);
    label(general, QStringLiteral("&Rand"), 16, 58, EditBorder);
    EditFont = new TFontField(general);
    EditFont->setGeometry(130, 92, 200, 26);
    label(general, QStringLiteral("&Zeichensatz"), 16, 95, EditFont);
    BtnStandard = new QPushButton(QStringLiteral("&Standard"), general);
    BtnStandard->setGeometry(338, 92, 90, 26);
    BtnStandard->setAutoDefault(false);

    auto pictureColumn = [pictures, &label](int x, const QString &caption, QComboBox *&list,
                                            QLabel *&preview) {
        list = new QComboBox(pictures);
        list->setEditable(false);
        list->setGeometry(x, 34, PreviewW, 24);
        label(pictures, caption, x, 10, list);
        auto *frame = new QFrame(pictures);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(1);
        frame->setGeometry(x - 1, 65, PreviewW + 2, PreviewH + 2);
        preview = new QLabel(frame);
        preview->setGeometry(1, 1, PreviewW, PreviewH);
        preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    };
    pictureColumn(12, QStringLiteral("&Hintergrund"), EditBack, ImgBack);
    pictureColumn(236, QStringLiteral("&Zarvos"), EditZarvos, ImgZarvos);

    auto *bottom = new QFrame(this);
    bottom->setGeometry(0, 308, 475, 42);
    BtnOk = new QPushButton(QStringLiteral("OK"), bottom);
    BtnOk->setGeometry(183, 8, 84, 26);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Abbrechen"), bottom);
    BtnCancel->setGeometry(275, 8, 84, 26);
    BtnCancel->setAutoDefault(false);
    BtnTake = new QPushButton(QStringLiteral("Ü&bernehmen"), bottom);
    BtnTake->setGeometry(367, 8, 96, 26);
    BtnTake->setAutoDefault(false);
    BtnTake->setEnabled(false);

    connect(EditUnit, &TMultiEdit::Change, this, [this] { PropertyChange(); });
    connect(EditBorder, &TMultiEdit::Change, this, [this] { PropertyChange(); });
    connect(EditFont, &QLineEdit::textChanged, this, [this] { PropertyChange(); });
    connect(EditFont, &TFontField::FontPicked, this, [this] { BtnTake->setEnabled(true); });
    connect(BtnStandard, &QPushButton::clicked, EditFont, &TFontField::SetStandard);
    connect(EditBack, &QComboBox::currentIndexChanged, this, [this] { EditBackChange(); });
    connect(EditZarvos, &QComboBox::currentIndexChanged, this, [this] { EditZarvosChange(); });
    connect(BtnTake, &QPushButton::clicked, this, [this] {
        bool open = true;
        RunReported([&] { open = BtnTakeClick(); });
        if (!open)
            reject();
    });
    connect(BtnOk, &QPushButton::clicked, this, Reported([this] { BtnOkClick(); }));
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormProperties::ShowPreview(QLabel *label, QImage &store, const QImage &picture)
{
    store = picture;
    if (picture.isNull()) {
        label->clear();
        return;
    }
    // A large picture is shown whole, made smaller.
    QImage shown = picture;
    if (shown.width() > PreviewW || shown.height() > PreviewH)
        shown = shown.scaled(PreviewW, PreviewH, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    label->setPixmap(QPixmap::fromImage(shown));
}

void TFormProperties::ShowBoardFont()
{
    EditFont->SetValue(FBoard->DefaultFont, FBoard->Font, FBoard->FontColor);
}

void TFormProperties::EditBackChange()
{
    const int index = EditBack->currentIndex();
    if (index < 0 || EditBack->currentText() == FBackName)
        return;
    BtnTake->setEnabled(true);
    if (index > 0) {
        FBackName = EditBack->currentText();
        ShowPreview(ImgBack, BackPreview, NViewLibLoad(ImageDirFile(FBackName), 0));
    } else {
        FBackName.clear();
        ShowPreview(ImgBack, BackPreview, BuiltInBack());
    }
}

void TFormProperties::EditZarvosChange()
{
    const int index = EditZarvos->currentIndex();
    if (index < 0 || EditZarvos->currentText() == FZarvosName)
        return;
    BtnTake->setEnabled(true);
    if (index > 0) {
        FZarvosName = EditZarvos->currentText();
        ShowPreview(ImgZarvos, ZarvosPreview, NViewLibLoad(ImageDirFile(FZarvosName), 0));
    } else {
        FZarvosName.clear();
        ShowPreview(ImgZarvos, ZarvosPreview, BuiltInBack());
    }
}

void TFormProperties::PropertyChange()
{
    BtnTake->setEnabled(true);
}

bool TFormProperties::BtnTakeClick()
{
    TZarvoPad &b = *FBoard;
    // The game goes on with the old look if writing fails: what the board
    // holds must keep matching its pictures and pieces until it is reopened.
    const QString oldBack = b.ImgBack, oldZarvos = b.ImgZarvos;
    const int oldUnit = b.UnitSize, oldBorder = b.Border;
    const bool oldDefault = b.DefaultFont;
    const QFont oldFont = b.Font;
    const QColor oldColor = b.FontColor;
    try {
        if (EditBack->currentIndex() >= 0)
            b.ImgBack = FBackName;
        if (EditZarvos->currentIndex() >= 0)
            b.ImgZarvos = FZarvosName;
        b.UnitSize = EditUnit->IntVal();
        b.Border = EditBorder->IntVal();
        b.DefaultFont = EditFont->IsStandard();
        b.Font = EditFont->font();
        b.FontColor = EditFont->Colour();
        b.SaveLook(b.FileName);
        b.SaveGameState(QStringLiteral("Temp"));
    } catch (...) {
        b.ImgBack = oldBack;
        b.ImgZarvos = oldZarvos;
        b.UnitSize = oldUnit;
        b.Border = oldBorder;
        b.DefaultFont = oldDefault;
        b.Font = oldFont;
        b.FontColor = oldColor;
        throw;
    }

    FBoard = FReopen ? FReopen() : nullptr;
    if (!FBoard)
        return false;
    ShowBoardFont();
    BtnTake->setEnabled(false);
    return true;
}

void TFormProperties::BtnOkClick()
{
    if (BtnTake->isEnabled() && !BtnTakeClick()) {
        reject();
        return;
    }
    accept();
}

void ShowPuzzleProperties(QWidget *owner, TZarvoPad *board, TFormProperties::TReopen reopen)
{
    if (!board)
        return;
    TFormProperties dialog(owner, board, std::move(reopen));
    dialog.exec();
}
