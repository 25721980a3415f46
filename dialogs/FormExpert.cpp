#include "FormExpert.h"

#include "ButtonEdit.h"
#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "DialogLook.h"
#include "ErrorReport.h"
#include "FontField.h"
#include "FormColour.h"
#include "FormEnhance.h"
#include "FormOpen.h"
#include "Help.h"
#include "MultiEdit.h"
#include "NViewLib.h"
#include "PictureFilters.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The preview paints through the dialog, which knows the picture and grid.
class TPreviewBox : public QWidget
{
public:
    TPreviewBox(TFormExpert *form, QWidget *parent) : QWidget(parent), Form(form) {}

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        Form->PreviewPaint(painter, event->rect());
    }

private:
    TFormExpert *Form;
};
} // namespace

TFormExpert::TFormExpert(QWidget *owner) : QDialog(owner)
{
    CreateControls();

    FormEnhance = new TFormEnhance(this);
    FormEnhance->SaveName = QStringLiteral("\\Software\\Zarvos\\Forms");
    FormEnhance->SaveKey = QStringLiteral("FormExpert");
    FormEnhance->SetSystemMenu(TFormEnhance::scMOVE | TFormEnhance::scSIZE |
                               TFormEnhance::scSEPARATOR | TFormEnhance::scCLOSE);
    FormEnhance->SetMinSizeX(500);
    FormEnhance->SetMinSizeY(400);
    FormEnhance->HelpKey = true;
    FormEnhance->Load();

    // Opening: standard font, no background, nothing to save yet, the grid
    // of the sample picture.
    Image = SamplePicture();
    EditFont->SetStandard();
    FillBackList();
    EditBackChange(false);
    EditChange();
    EditUnitChange(TGridChange::None);
    LayoutPreview();
    FOpening = false;
}

TFormExpert::~TFormExpert()
{
    FormEnhance->Save();
}

void TFormExpert::CreateControls()
{
    setWindowTitle(QStringLiteral("Puzzleexperte"));
    setSizeGripEnabled(true);
    SetDialogLook(this);
    resize(484, 532);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *top = new QFrame(this);
    top->setFrameShape(QFrame::Panel);
    top->setFrameShadow(QFrame::Raised);
    top->setFixedHeight(247);
    layout->addWidget(top);
    FTopPanel = top;

    const int labelX = 12, fieldX = 124, rowH = 22;
    auto label = [top](const QString &text, int x, int y, int w, QWidget *buddy) {
        auto *l = new QLabel(text, top);
        l->setGeometry(x, y + 2, w, 20);
        l->setBuddy(buddy);
        return l;
    };
    auto intEdit = [top](int x, int y, int min, int max, int step, int value) {
        auto *e = new TMultiEdit(top);
        e->setGeometry(x, y, 70, rowH);
        e->SetIntValMin(min);
        e->SetIntValMax(max);
        e->SetIncrement(step);
        e->SetIntVal(value);
        return e;
    };

    int y = 8;
    EditTitle = new QLineEdit(top);
    EditTitle->setGeometry(fieldX, y, 250, rowH);
    label(QStringLiteral("T&itel"), labelX, y, 110, EditTitle);

    y += 27;
    EditPath = new TButtonEdit(top);
    EditPath->setGeometry(fieldX, y, 250, rowH + 2);
    EditPath->SetHintBtn(QStringLiteral("Bild laden"));
    label(QStringLiteral("&Bild"), labelX, y, 110, EditPath);

    y += 27;
    EditBack = new QComboBox(top);
    EditBack->setEditable(false);
    EditBack->setGeometry(fieldX, y, 250, rowH);
    label(QStringLiteral("&Hintergrund"), labelX, y, 110, EditBack);

    y += 27;
    EditUnit = intEdit(fieldX, y, ExpertUnitMin, ExpertUnitMax, 5, 50);
    label(QStringLiteral("&Einheit"), labelX, y, 110, EditUnit);

    y += 27;
    EditBorder = intEdit(fieldX, y, 0, 20, 1, 2);
    label(QStringLiteral("&Rand um Teile"), labelX, y, 110, EditBorder);
    EditBackSizeOff = intEdit(fieldX + 190, y, 0, 20, 1, 2);
    label(QStringLiteral("um S&pielfeld"), fieldX + 90, y, 96, EditBackSizeOff);

    y += 27;
    ChkNummern = new QCheckBox(QStringLiteral("Mit &Nummern"), top);
    ChkNummern->setLayoutDirection(Qt::RightToLeft); // caption left of the box
    ChkNummern->setGeometry(labelX, y, 130, rowH);
    ChkNummern->setChecked(true);

    y += 27;
    EditFont = new TFontField(top);
    EditFont->setGeometry(fieldX, y, 180, rowH + 2);
    label(QStringLiteral("&Zeichensatz"), labelX, y, 110, EditFont);
    BtnStandard = new QPushButton(QStringLiteral("&Standard"), top);
    BtnStandard->setGeometry(fieldX + 186, y, 80, rowH + 2);
    BtnStandard->setAutoDefault(false);

    y += 27;
    EditPartX = intEdit(fieldX, y, ExpertPartsMin, ExpertPartsMax, 1, 5);
    label(QStringLiteral("&Teile"), labelX, y, 110, EditPartX);
    auto *times = new QLabel(QStringLiteral("x"), top);
    times->setGeometry(fieldX + 76, y + 2, 12, 20);
    EditPartY = intEdit(fieldX + 90, y, ExpertPartsMin, ExpertPartsMax, 1, 5);

    y += 27;
    ChkAllwaysRandom = new QCheckBox(QStringLiteral("Immer z&ufällig starten"), top);
    ChkAllwaysRandom->setLayoutDirection(Qt::RightToLeft);
    ChkAllwaysRandom->setGeometry(labelX, y, 180, rowH - 4);

    ImgDeco = new QLabel(top);
    ImgDeco->setFixedSize(64, 64);
    QImage deco(QStringLiteral(":/images/ExpertDeco.png"));
    if (!deco.isNull())
        ImgDeco->setPixmap(QPixmap::fromImage(deco));

    ScrollBox = new QScrollArea(this);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setWidgetResizable(false);
    QPalette scrollPal = ScrollBox->palette();
    scrollPal.setColor(QPalette::Window, FormColour);
    ScrollBox->setPalette(scrollPal);
    FScrollContent = new QWidget;
    FScrollContent->setAutoFillBackground(true);
    FScrollContent->setPalette(scrollPal);
    ScrollBox->setWidget(FScrollContent);
    layout->addWidget(ScrollBox, 1);

    PnlOuter = new QFrame(FScrollContent);
    PnlOuter->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PnlOuter->setLineWidth(2);
    Preview = new TPreviewBox(this, PnlOuter);
    Preview->move(2, 2);

    auto *bottom = new QFrame(this);
    bottom->setFrameShape(QFrame::Panel);
    bottom->setFrameShadow(QFrame::Raised);
    bottom->setFixedHeight(41);
    auto *buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(8, 7, 8, 7);
    BtnSave = new QPushButton(QStringLiteral("Speichern..."), bottom);
    BtnSave->setDefault(true);
    BtnOpen = new QPushButton(QStringLiteral("Laden..."), bottom);
    BtnOpen->setAutoDefault(false);
    BtnCancel = new QPushButton(QStringLiteral("Abbrechen"), bottom);
    BtnCancel->setAutoDefault(false);
    for (QPushButton *b : {BtnSave, BtnOpen, BtnCancel})
        b->setFixedSize(96, 26);
    buttons->addWidget(BtnSave);
    buttons->addWidget(BtnOpen);
    buttons->addStretch(1);
    buttons->addWidget(BtnCancel);
    layout->addWidget(bottom);

    connect(EditTitle, &QLineEdit::textChanged, this, [this] { EditChange(); });
    // The path is never typed: any edit of the field opens the picture
    // dialog, as its button does.
    connect(EditPath, &QLineEdit::textEdited, this, Reported([this] { EditPathChange(); }));
    connect(EditPath, &TButtonEdit::BtnClick, this, Reported([this] { EditPathChange(); }));
    connect(EditBack, &QComboBox::currentIndexChanged, this, [this] { EditBackChange(); });
    connect(EditUnit, &TMultiEdit::Change, this, [this] { EditUnitChange(TGridChange::Unit); });
    connect(EditPartX, &TMultiEdit::Change, this, [this] { EditUnitChange(TGridChange::PartsX); });
    connect(EditPartY, &TMultiEdit::Change, this, [this] { EditUnitChange(TGridChange::PartsY); });
    connect(EditBorder, &TMultiEdit::Change, this, [this] { EditBorderChange(); });
    connect(EditBackSizeOff, &TMultiEdit::Change, this, [this] { EditBackSizeOffChange(); });
    connect(ChkNummern, &QCheckBox::toggled, this, [this] { ChkNummernClick(); });
    connect(BtnStandard, &QPushButton::clicked, EditFont, &TFontField::SetStandard);
    connect(BtnSave, &QPushButton::clicked, this, Reported([this] { BtnSaveClick(); }));
    connect(BtnOpen, &QPushButton::clicked, this, Reported([this] { BtnOpenClick(); }));
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QImage TFormExpert::SamplePicture()
{
    QImage sample(QStringLiteral(":/images/ExpertSample.bmp"));
    if (ExpertPictureUsable(sample))
        return sample;
    // Without the built-in picture the grid still needs something to cut.
    sample = QImage(250, 250, QImage::Format_RGB32);
    sample.fill(QColor(90, 130, 170));
    return sample;
}

QImage TFormExpert::BackPicture()
{
    QImage back(QStringLiteral(":/images/BACK.bmp"));
    if (back.isNull()) {
        back = QImage(32, 32, QImage::Format_RGB32);
        back.fill(FormColour);
    }
    return back;
}

void TFormExpert::FillBackList()
{
    const QSignalBlocker block(EditBack);
    EditBack->clear();
    EditBack->addItems(PictureList());
    EditBack->setCurrentIndex(0);
}

void TFormExpert::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormExpert::FormResize()
{
    if (ImgDeco && FTopPanel)
        ImgDeco->move(FTopPanel->width() - 64 - 12, 8);
    if (!FOpening)
        LayoutPreview();
}

void TFormExpert::done(int result)
{
    FormEnhance->Save();
    QDialog::done(result);
}

void TFormExpert::EditChange()
{
    BtnSave->setEnabled(!EditTitle->text().isEmpty() && !EditPath->text().isEmpty());
}

void TFormExpert::EditPathChange()
{
    if (FPathBusy)
        return;
    FPathBusy = true;
    struct TClear
    {
        TFormExpert *F;
        ~TClear() { F->FPathBusy = false; }
    } clear{this};

    // Whatever was typed goes: the field shows the picture in use.
    EditPath->setText(PicturePath);
    QFileDialog dialog(this, QStringLiteral("Bild laden"));
    dialog.setNameFilters(PictureFileFilters());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString start = PicturePath.isEmpty() ? QString() : ExpertPictureSource(PicturePath);
    if (!start.isEmpty()) {
        dialog.setDirectory(QFileInfo(start).absolutePath());
        dialog.selectFile(QFileInfo(start).fileName());
    } else {
        dialog.setDirectory(DataRoot::ImageDir());
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        TakePicture(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    FPathBusy = false;
    EditChange();
}

bool TFormExpert::TakePicture(const QString &path)
{
    const QImage picture = NViewLibLoad(path, 0);
    if (!ExpertPictureUsable(picture)) {
        // The grid cannot be cut from it: the previous picture and path stay.
        const bool busy = FPathBusy;
        FPathBusy = true;
        EditPath->setText(PicturePath);
        FPathBusy = busy;
        CenteredMessageDlg(ExpertPictureRejectedText(path, picture), QMessageBox::Warning,
                           QMessageBox::Ok);
        return false;
    }
    const bool busy = FPathBusy;
    FPathBusy = true;
    PicturePath = path;
    EditPath->setText(path);
    FPathBusy = busy;
    Image = picture;
    EditUnitChange(TGridChange::None);
    LayoutPreview();
    EditChange();
    return true;
}

void TFormExpert::EditBackChange(bool repaint)
{
    const QString entry = EditBack->currentText();
    if (entry.isEmpty() || entry.startsWith(QLatin1Char('('))) {
        BackTile = BackPicture();
    } else {
        BackTile = NViewLibLoad(ImageDirFile(entry), 0);
        // An unreadable picture shows the built-in tile, as on the board.
        if (BackTile.isNull() || BackTile.width() == 0 || BackTile.height() == 0)
            BackTile = BackPicture();
    }
    if (repaint && !FOpening)
        Preview->update();
}

void TFormExpert::EditUnitChange(TGridChange source)
{
    Grid.EditUnitChange(Image.size(),
                        {EditUnit->IntVal(), EditPartX->IntVal(), EditPartY->IntVal()}, source,
                        [this](const TGridValues &v) {
                            EditUnit->SetIntVal(v.Unit);
                            EditPartX->SetIntVal(v.PartsX);
                            EditPartY->SetIntVal(v.PartsY);
                            LayoutPreview();
                            Preview->update();
                        });
}

void TFormExpert::EditBorderChange()
{
    Preview->update();
}

void TFormExpert::EditBackSizeOffChange()
{
    LayoutPreview();
    Preview->update();
}

void TFormExpert::LayoutPreview()
{
    ScrollBox->horizontalScrollBar()->setValue(0);
    ScrollBox->verticalScrollBar()->setValue(0);
    const int unit = EditUnit->IntVal(), margin = EditBackSizeOff->IntVal();
    const int innerW = (EditPartX->IntVal() + margin) * unit;
    const int innerH = (EditPartY->IntVal() + margin) * unit;
    const int frameW = innerW + 4, frameH = innerH + 4;
    const QSize box = ScrollBox->viewport()->size();
    const int left = box.width() > frameW ? (box.width() - frameW) / 2 : 0;
    const int top = box.height() > frameH ? (box.height() - frameH) / 2 : 0;
    FScrollContent->resize(qMax(box.width(), frameW), qMax(box.height(), frameH));
    PnlOuter->setGeometry(left, top, frameW, frameH);
    Preview->setGeometry(2, 2, innerW, innerH);
}

void TFormExpert::PreviewPaint(QPainter &painter, const QRect &exposed)
{
    const int width = Preview->width(), height = Preview->height();
    // 1. The background tiles, only where the preview needs painting (a big
    // grid makes a preview far larger than the screen).
    const int tw = BackTile.width(), th = BackTile.height();
    if (tw > 0 && th > 0) {
        const int y0 = qMax(0, exposed.top()) / th * th;
        const int x0 = qMax(0, exposed.left()) / tw * tw;
        const int yEnd = qMin(height, exposed.bottom() + 1);
        const int xEnd = qMin(width, exposed.right() + 1);
        for (int y = y0; y < yEnd; y += th)
            for (int x = x0; x < xEnd; x += tw)
                painter.drawImage(x, y, BackTile);
    }

    // 2. The picture, unscaled, as far as the grid of the fields reaches.
    const int U = EditUnit->IntVal(), NX = EditPartX->IntVal(), NY = EditPartY->IntVal();
    const int m = EditBackSizeOff->IntVal(), b = EditBorder->IntVal();
    const int d = (U * m) / 2;
    painter.drawImage(QPoint(d, d), Image, QRect(0, 0, U * NX, U * NY));

    // 3. The cut lines as grooves: shadow on the upper left of each line,
    // highlight on the lower right, the outer lines included.
    const int u = Grid.FUnit, nx = Grid.FPartsX, ny = Grid.FPartsY;
    const int L = d, T = d;
    auto fill = [&painter](int x1, int y1, int x2, int y2, const QColor &c) {
        if (x2 > x1 && y2 > y1)
            painter.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), c);
    };
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (int c = 0; c <= nx; ++c)
        fill(L + c * u - b, T - b, L + c * u, T + ny * u + b, shadow);
    for (int r = 0; r <= ny; ++r)
        fill(L - b, T + r * u - b, L + nx * u + b, T + r * u, shadow);
    for (int c = 0; c <= nx; ++c)
        fill(L + c * u, T, L + c * u + b, T + ny * u + b, light);
    for (int r = 0; r <= ny; ++r)
        fill(L, T + r * u, L + nx * u + b, T + r * u + b, light);
}

void TFormExpert::ChkNummernClick()
{
    const bool on = ChkNummern->isChecked();
    EditFont->setEnabled(on);
    BtnStandard->setEnabled(on);
}

void TFormExpert::BtnOpenClick()
{
    if (SelectPuzzle(this, ChosenPuzzle))
        LoadFromPuzzle(ChosenPuzzle);
    EditTitle->setFocus();
}

void TFormExpert::LoadFromPuzzle(const QString &fileName)
{
    Grid.FUpdating = 1;
    FPathBusy = true;
    TZarvoPad board;
    board.Constructing = true;
    try {
        board.LoadPuzzle(fileName, false);
    } catch (...) {
        Grid.FUpdating = 0;
        FPathBusy = false;
        throw;
    }
    SaveFileName = fileName;

    EditBorder->SetIntVal(board.Border);
    if (board.DefaultFont)
        EditFont->SetStandard();
    else
        EditFont->SetValue(false, board.Font, board.FontColor);
    ChkNummern->setChecked(board.PieceCount() > 0 && !board.Piece(0)->Caption.isEmpty());
    ChkAllwaysRandom->setChecked(board.AllwaysRandom);
    EditUnit->SetIntVal(board.UnitSize);
    EditPartX->SetIntVal(board.ZarvoSize.x());
    EditPartY->SetIntVal(board.ZarvoSize.y());
    EditBackSizeOff->SetIntVal(board.BackSize.x() - board.ZarvoSize.x());
    EditTitle->setText(board.Title);

    // The puzzle's picture, when it can be cut; else the previous one stays.
    const QString picturePath = ImageDirFile(board.ImgZarvos);
    const QImage picture = board.ImgZarvos.isEmpty() ? QImage() : NViewLibLoad(picturePath, 0);
    const bool pictureOk = ExpertPictureUsable(picture);
    if (pictureOk) {
        PicturePath = board.ImgZarvos;
        EditPath->setText(board.ImgZarvos);
        Image = picture;
    }

    {
        const QSignalBlocker block(EditBack);
        int index = 0;
        for (int i = 0; i < EditBack->count(); ++i)
            if (EditBack->itemText(i) == board.ImgBack)
                index = i; // the last of several
        EditBack->setCurrentIndex(index);
    }
    if (board.ImgBack.isEmpty()) {
        BackTile = BackPicture();
    } else {
        BackTile = NViewLibLoad(ImageDirFile(board.ImgBack), 0);
        if (BackTile.isNull())
            BackTile = BackPicture();
    }
    EditBorder->SetIntVal(board.Border);

    FPathBusy = false;
    Grid.FUpdating = 0;
    EditUnitChange(TGridChange::None);
    LayoutPreview();
    Preview->update();
    EditChange();
    if (!pictureOk)
        CenteredMessageDlg(ExpertPictureRejectedText(picturePath, picture), QMessageBox::Warning,
                           QMessageBox::Ok);
}

TExpertPuzzle TFormExpert::CurrentPuzzle() const
{
    TExpertPuzzle p;
    p.Title = EditTitle->text();
    p.PicturePath = EditPath->text();
    const QString back = EditBack->currentText();
    p.BackName = back.startsWith(QLatin1Char('(')) ? QString() : back;
    p.Unit = EditUnit->IntVal();
    p.PartsX = EditPartX->IntVal();
    p.PartsY = EditPartY->IntVal();
    p.Margin = EditBackSizeOff->IntVal();
    p.Border = EditBorder->IntVal();
    p.Numbers = ChkNummern->isChecked();
    p.AllwaysRandom = ChkAllwaysRandom->isChecked();
    p.StandardFont = EditFont->IsStandard();
    p.Font = EditFont->font();
    p.FontColor = EditFont->Colour();
    return p;
}

void TFormExpert::BtnSaveClick()
{
    QFileDialog dialog(this, QStringLiteral("Puzzle speichern"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("zrv"));
    dialog.setNameFilter(QStringLiteral("Zarvos Puzzledateien (*.zrv)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDirectory(DataRoot::DataDir());
    if (!SaveFileName.isEmpty())
        dialog.selectFile(QFileInfo(SaveFileName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return; // the expert stays open with all its values
    SaveAs(dialog.selectedFiles().constFirst());
}

void TFormExpert::SaveAs(const QString &fileName)
{
    SaveFileName = fileName;
    SaveExpertPuzzle(CurrentPuzzle(), fileName);
    SavedPuzzleFile = fileName;
    accept();
}

QString ShowPuzzleExpert(QWidget *owner)
{
    TFormExpert dialog(owner);
    return dialog.exec() == QDialog::Accepted ? dialog.SavedPuzzleFile : QString();
}
