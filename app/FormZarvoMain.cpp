// The main window: construction, layout, start panel, activation, closing.
#include "FormZarvoMain.h"

#include "CenteredMessageDlg.h"
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormColour.h"
#include "FormEnhance.h"
#include "FormZarvo.h"
#include "GermanText.h"
#include "Glyphs.h"
#include "Help.h"
#include "HelpWindow.h"
#include "Settings.h"
#include "TimerSpeedButton.h"
#include "TitleLabel.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMediaPlayer>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

TFormZarvoMain *FormZarvoMain = nullptr;

namespace {
// The help hook is the main window's while it lives.
const QObject *ShowHelpContentsOwner = nullptr;
} // namespace

namespace {

const QString LastGameName = QStringLiteral("Letzter Spielstand.zrh");

// The client area: the MDI frame with the start panel floating over it; a
// full-screen game covers both.
class TClientArea : public QWidget
{
public:
    explicit TClientArea(QWidget *parent) : QWidget(parent) {}
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent *) override
    {
        if (OnResize)
            OnResize();
    }
};

QToolButton *MakeButton(QToolBar *bar, TGlyph glyph, const QString &hint)
{
    auto *b = new QToolButton(bar);
    b->setIcon(Glyph(glyph));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A toolbar button of a menu command: both are one action, so they are
// enabled, checked and run alike.
QToolButton *MakeButton(QToolBar *bar, QAction *action, const QString &hint)
{
    auto *b = new QToolButton(bar);
    action->setToolTip(hint);
    b->setDefaultAction(action);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QFrame *Bevel(QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

TFormZarvoMain::TFormZarvoMain(QWidget *parent) : QMainWindow(parent)
{
    FormZarvoMain = this;
    SetMessageDlgCentre(this);

    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FormColour);
    setPalette(pal);
    setMinimumSize(720, 600);
    resize(720, 611);
    // Title bar: system menu, minimise and close, as the game always had.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    ClientArea = new TClientArea(this);
    setCentralWidget(ClientArea);
    MdiArea = new QMdiArea(ClientArea);
    // A game bigger than the frame can be scrolled into view.
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *clientLayout = new QHBoxLayout(ClientArea);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->addWidget(MdiArea);

    // The texture is tiled from the top-left corner of the client area.
    ImgBack.load(QStringLiteral(":/images/MainBack.jpg"));
    if (ImgBack.isNull())
        MdiArea->setBackground(FormColour);
    else
        MdiArea->setBackground(QBrush(QPixmap::fromImage(ImgBack)));

    CreateMenu();
    CreateToolBar();
    CreateStartPanel();
    static_cast<TClientArea *>(ClientArea)->OnResize = [this] {
        PlaceStartPanel();
        // The full-screen game follows the client area, which grows when
        // menu, toolbar and status bar go.
        if (Cover && !Cover->IsClosed())
            Cover->setGeometry(ClientArea->rect());
    };

    StatusPanel = new QLabel(this);
    StatusPanel->setMinimumWidth(200);
    statusBar()->addWidget(StatusPanel, 1);
    statusBar()->setSizeGripEnabled(false);

    AudioOutput = new QAudioOutput(this);
    MediaPlayer = new QMediaPlayer(this);
    MediaPlayer->setAudioOutput(AudioOutput);

    // The settings are known before the window is set up.
    FormEnhanceLoadMain();
    FormCreate();

    NameControls();
    connect(MdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
    qApp->installEventFilter(this);
    UpdateMenuItems();
}

TFormZarvoMain::~TFormZarvoMain()
{
    qApp->removeEventFilter(this);
    Closing = true;
    BtnSpeed->setChecked(false);
    // The games go first, while the main window they report to is whole.
    for (TFormZarvo *w : PuzzleWindows()) {
        if (QMdiSubWindow *sub = w->SubWindow())
            delete sub;
        else
            delete w;
    }
    Enhance->Save();
    if (ShowHelpContentsOwner == this)
        ShowHelpContents = nullptr;
    if (MessageDlgCentre() == this)
        SetMessageDlgCentre(nullptr);
    if (FormZarvoMain == this)
        FormZarvoMain = nullptr;
}

void TFormZarvoMain::NameControls()
{
    const std::pair<QObject *, const char *> controls[] = {
        {ClientArea, "ClientArea"},
        {MdiArea, "MdiArea"},
        {SpeedPanel, "SpeedPanel"},
        {StatusPanel, "StatusPanel"},
        {PnlStart, "PnlStart"},
        {LblTitle, "LblTitle"},
        {BtnNewZarvo2, "BtnNewZarvo2"},
        {BtnLoadHist2, "BtnLoadHist2"},
        {BtnLoadLast, "BtnLoadLast"},
        {BtnExit, "BtnExit"},
        {BtnExpert, "BtnExpert"},
        {BtnNewZarvo, "BtnNewZarvo"},
        {BtnLoadHist, "BtnLoadHist"},
        {BtnSaveHist, "BtnSaveHist"},
        {BtnGrid, "BtnGrid"},
        {PnlZarvos, "PnlZarvos"},
        {PnlZarvosAction, "PnlZarvosAction"},
        {BtnShowObject, "BtnShowObject"},
        {BtnHighScore, "BtnHighScore"},
        {BtnHint, "BtnHint"},
        {BtnDemo, "BtnDemo"},
        {BtnMovesLeft, "BtnMovesLeft"},
        {BtnProperties, "BtnProperties"},
        {BtnUndo, "BtnUndo"},
        {BtnRedo, "BtnRedo"},
        {LblMoves, "LblMoves"},
        {LblHurra, "LblHurra"},
        {BtnSpeed, "BtnSpeed"},
        {BtnHelp, "BtnHelp"},
        {BtnInfo, "BtnInfo"},
        {MenuDatei, "MenuDatei"},
        {MenuEdit, "MenuEdit"},
        {MenuAnsicht, "MenuAnsicht"},
        {MenuHilfe, "MenuHilfe"},
        {ItemNewZarvo, "ItemNewZarvo"},
        {ItemLoadHist, "ItemLoadHist"},
        {ItemSaveHist, "ItemSaveHist"},
        {ItemClose, "ItemClose"},
        {ItemExpert, "ItemExpert"},
        {ItemOption, "ItemOption"},
        {ItemExit, "ItemExit"},
        {ItemUndo, "ItemUndo"},
        {ItemRedo, "ItemRedo"},
        {ItemRestart, "ItemRestart"},
        {ItemProperties, "ItemProperties"},
        {ItemShowObject, "ItemShowObject"},
        {ItemHighScore, "ItemHighScore"},
        {ItemHint, "ItemHint"},
        {ItemDemo, "ItemDemo"},
        {ItemMovesLeft, "ItemMovesLeft"},
        {ItemZoomIn, "ItemZoomIn"},
        {ItemZoomOut, "ItemZoomOut"},
        {ItemZoomOriginal, "ItemZoomOriginal"},
        {ItemZoomFit, "ItemZoomFit"},
        {ItemHilfe, "ItemHilfe"},
        {ItemInfo, "ItemInfo"},
        {ItemSpeed, "ItemSpeed"},
        {MediaPlayer, "MediaPlayer"},
        {AudioOutput, "AudioOutput"},
    };
    for (const auto &[control, name] : controls)
        control->setObjectName(QString::fromLatin1(name));
}

void TFormZarvoMain::CreateMenu()
{
    auto item = [this](QMenu *menu, const QString &caption, const QString &hint,
                       const QKeySequence &key, TGlyph glyph) {
        QAction *a = menu->addAction(Glyph(glyph), caption);
        a->setStatusTip(hint);
        if (!key.isEmpty())
            SetGermanShortcut(a, key);
        return a;
    };

    MenuDatei = menuBar()->addMenu(QStringLiteral("&Spiel"));
    ItemNewZarvo =
        item(MenuDatei, QStringLiteral("&Neues Spiel ..."), QStringLiteral("Neues Spiel starten"),
             QKeySequence(Qt::CTRL | Qt::Key_N), TGlyph::NewGame);
    ItemLoadHist =
        item(MenuDatei, QStringLiteral("Spielstand &laden ..."), QStringLiteral("Spielstand laden"),
             QKeySequence(Qt::CTRL | Qt::Key_O), TGlyph::LoadGame);
    ItemSaveHist = item(MenuDatei, QStringLiteral("Spielstand &speichern ..."),
                        QStringLiteral("Spielstand speichern"), QKeySequence(Qt::CTRL | Qt::Key_S),
                        TGlyph::SaveGame);
    ItemClose = item(MenuDatei, QStringLiteral("S&chließen"),
                     QStringLiteral("Aktuelles Spiel schließen"), {}, TGlyph::Close);
    MenuDatei->addSeparator();
    ItemExpert = item(MenuDatei, QStringLiteral("&Puzzleexperte ..."),
                      QStringLiteral("Puzzleexperte"), {}, TGlyph::Expert);
    MenuDatei->addSeparator();
    ItemOption = item(MenuDatei, QStringLiteral("Programm&optionen ..."),
                      QStringLiteral("Programmoptionen ändern"), {}, TGlyph::Options);
    MenuDatei->addSeparator();
    ItemExit = item(MenuDatei, QStringLiteral("&Beenden"), QStringLiteral("Zarvos beenden"), {},
                    TGlyph::Exit);

    MenuEdit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    ItemUndo =
        item(MenuEdit, QStringLiteral("&Rückgängig"), QStringLiteral("Zug rückgängig machen"),
             QKeySequence(Qt::CTRL | Qt::Key_Z), TGlyph::Undo);
    ItemRedo =
        item(MenuEdit, QStringLiteral("&Wiederherstellen"), QStringLiteral("Zug wiederherstellen"),
             QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z), TGlyph::Redo);
    ItemRestart = item(MenuEdit, QStringLiteral("&Neustart"), QStringLiteral("Spiel neu beginnen"),
                       QKeySequence(Qt::CTRL | Qt::Key_R), TGlyph::Restart);
    ItemRestart->setEnabled(false);

    MenuEdit->addSeparator();
    ItemProperties = item(MenuEdit, QStringLiteral("&Eigenschaften ..."),
                          QStringLiteral("Eigenschaften bearbeiten"),
                          QKeySequence(Qt::ALT | Qt::Key_Return), TGlyph::Properties);
    ItemProperties->setEnabled(false);

    MenuAnsicht = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    ItemShowObject =
        item(MenuAnsicht, QStringLiteral("&Zielposition"), QStringLiteral("Zielposition anzeigen"),
             QKeySequence(Qt::CTRL | Qt::Key_P), TGlyph::ShowObject);
    ItemShowObject->setCheckable(true);
    ItemHighScore = item(MenuAnsicht, QStringLiteral("&Bestenliste ..."),
                         QStringLiteral("Bestenliste anzeigen"), QKeySequence(Qt::CTRL | Qt::Key_B),
                         TGlyph::HighScore);
    MenuAnsicht->addSeparator();
    ItemZoomIn = item(MenuAnsicht, QStringLiteral("&Größer"), QStringLiteral("Brett vergrößern"),
                      QKeySequence(Qt::CTRL | Qt::Key_Plus), TGlyph::ZoomIn);
    ItemZoomOut = item(MenuAnsicht, QStringLiteral("&Kleiner"), QStringLiteral("Brett verkleinern"),
                       QKeySequence(Qt::CTRL | Qt::Key_Minus), TGlyph::ZoomOut);
    ItemZoomOriginal = item(MenuAnsicht, QStringLiteral("&Originalgröße"),
                            QStringLiteral("Ein Bildpunkt des Bretts je Bildpunkt"),
                            QKeySequence(Qt::CTRL | Qt::Key_0), TGlyph::ZoomOriginal);
    ItemZoomFit = item(MenuAnsicht, QStringLiteral("An &Fenster anpassen"),
                       QStringLiteral("Brett an das Fenster anpassen"),
                       QKeySequence(Qt::CTRL | Qt::Key_9), TGlyph::ZoomFit);
    // Keyboards without a plus key of their own give Strg+= for Strg++.
    ItemZoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    // The solver's help. Also on the frame itself, so the keys work while a
    // full-screen game hides the menu.
    MenuAnsicht->addSeparator();
    ItemHint = item(MenuAnsicht, QStringLiteral("&Tipp"),
                    QStringLiteral("Den nächsten Zug eines kürzesten Wegs zeigen"),
                    QKeySequence(Qt::CTRL | Qt::Key_T), TGlyph::Hint);
    ItemDemo = item(MenuAnsicht, QStringLiteral("Lösung &vorführen"),
                    QStringLiteral("Einen kürzesten Weg Zug für Zug vorführen"),
                    QKeySequence(Qt::CTRL | Qt::Key_L), TGlyph::Demo);
    ItemMovesLeft = item(MenuAnsicht, QStringLiteral("Wie viele Züge &noch?"),
                         QStringLiteral("Die Züge bis zum Ziel zählen"),
                         QKeySequence(Qt::CTRL | Qt::Key_M), TGlyph::MovesLeft);
    for (QAction *a : {ItemHint, ItemDemo, ItemMovesLeft}) {
        addAction(a);
        a->setEnabled(false);
    }

    MenuHilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    ItemHilfe = item(MenuHilfe, QStringLiteral("&Hilfe..."), QStringLiteral("Hilfe anzeigen"),
                     QKeySequence(Qt::Key_F1), TGlyph::Help);
    MenuHilfe->addSeparator();
    ItemInfo = item(MenuHilfe, QStringLiteral("&Info ..."),
                    QStringLiteral("Programminformationen anzeigen"), {}, TGlyph::Info);

    // The speed test has no visible button; this key starts and stops it.
    ItemSpeed = new QAction(QStringLiteral("Geschwindigkeit testen"), this);
    ItemSpeed->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12));
    addAction(ItemSpeed);
    // The window itself carries every key of the menu, so the keys work
    // while a full-screen game hides the menu.
    for (QMenu *menu : {MenuDatei, MenuEdit, MenuAnsicht, MenuHilfe})
        for (QAction *a : menu->actions())
            if (!a->shortcut().isEmpty())
                addAction(a);

    connect(ItemNewZarvo, &QAction::triggered, this, Reported([this] { ItemNewZarvoClick(); }));
    connect(ItemLoadHist, &QAction::triggered, this, Reported([this] { ItemLoadHistClick(); }));
    connect(ItemSaveHist, &QAction::triggered, this, Reported([this] { ItemSaveHistClick(); }));
    connect(ItemClose, &QAction::triggered, this, Reported([this] { ItemCloseClick(); }));
    connect(ItemOption, &QAction::triggered, this,
            Reported([this] { ItemOptionClick(ItemOption); }));
    connect(ItemExit, &QAction::triggered, this, Reported([this] { ItemExitClick(); }));
    connect(ItemUndo, &QAction::triggered, this, Reported([this] { ItemUndoClick(ItemUndo); }));
    connect(ItemRedo, &QAction::triggered, this, Reported([this] { ItemRedoClick(ItemRedo); }));
    connect(ItemRestart, &QAction::triggered, this, Reported([this] { ItemRestartClick(); }));
    connect(ItemZoomIn, &QAction::triggered, this, [this] { ItemZoomStepClick(true); });
    connect(ItemZoomOut, &QAction::triggered, this, [this] { ItemZoomStepClick(false); });
    connect(ItemZoomOriginal, &QAction::triggered, this, [this] { ItemZoomClick(100); });
    connect(ItemZoomFit, &QAction::triggered, this, [this] { ItemZoomClick(0); });
    connect(ItemShowObject, &QAction::triggered, this, Reported([this] { ItemShowObjectClick(); }));
    connect(ItemHighScore, &QAction::triggered, this, Reported([this] { ItemHighScoreClick(); }));
    connect(ItemHint, &QAction::triggered, this, Reported([this] { ItemHintClick(); }));
    connect(ItemDemo, &QAction::triggered, this, Reported([this] { ItemDemoClick(); }));
    connect(ItemMovesLeft, &QAction::triggered, this, Reported([this] { ItemMovesLeftClick(); }));
    connect(ItemHilfe, &QAction::triggered, this, Reported([this] { ItemHilfeClick(); }));
    connect(ItemInfo, &QAction::triggered, this, Reported([this] { ItemInfoClick(); }));
    connect(ItemExpert, &QAction::triggered, this, Reported([this] { ItemExpertClick(); }));
    connect(ItemProperties, &QAction::triggered, this, Reported([this] { ItemPropertiesClick(); }));
    connect(ItemSpeed, &QAction::triggered, this, [this] {
        if (!BtnSpeed->isEnabled())
            return;
        BtnSpeed->setChecked(!BtnSpeed->isChecked());
        RunReported([this] { BtnSpeedClick(); });
    });
}

void TFormZarvoMain::CreateToolBar()
{
    SpeedPanel = new QToolBar(QStringLiteral("Werkzeugleiste"), this);
    SpeedPanel->setMovable(false);
    SpeedPanel->setFloatable(false);
    SpeedPanel->setIconSize(QSize(20, 20));
    SpeedPanel->setFixedHeight(30);
    SpeedPanel->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, SpeedPanel);

    BtnExit = MakeButton(SpeedPanel, ItemExit, QStringLiteral("Beenden"));
    BtnNewZarvo = MakeButton(SpeedPanel, ItemNewZarvo, QStringLiteral("Neues Spiel"));
    BtnLoadHist = MakeButton(SpeedPanel, ItemLoadHist, QStringLiteral("Spielstand laden"));
    BtnSaveHist = MakeButton(SpeedPanel, ItemSaveHist, QStringLiteral("Spielstand speichern"));
    BtnGrid = MakeButton(SpeedPanel, TGlyph::Grid, QStringLiteral("Automatisch einrasten"));
    BtnGrid->setCheckable(true);
    BtnExpert = MakeButton(SpeedPanel, ItemExpert, QStringLiteral("Puzzleexperte"));
    const QList<QWidget *> left{BtnExit,           Bevel(SpeedPanel), BtnExpert,
                                BtnNewZarvo,       BtnLoadHist,       BtnSaveHist,
                                Bevel(SpeedPanel), BtnGrid,           Bevel(SpeedPanel)};
    for (QWidget *w : left)
        SpeedPanel->addWidget(w);

    PnlZarvos = new QWidget(SpeedPanel);
    auto *row = new QHBoxLayout(PnlZarvos);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    QToolBar *bar = SpeedPanel;
    BtnShowObject = MakeButton(bar, ItemShowObject, QStringLiteral("Zielposition anzegen"));
    BtnHighScore = MakeButton(bar, ItemHighScore, QStringLiteral("Bestenliste anzeigen"));
    BtnProperties = MakeButton(bar, ItemProperties, QStringLiteral("Eigenschaften"));
    BtnHint = MakeButton(bar, ItemHint, QStringLiteral("Tipp"));
    BtnDemo = MakeButton(bar, ItemDemo, QStringLiteral("Lösung vorführen"));
    BtnMovesLeft = MakeButton(bar, ItemMovesLeft, QStringLiteral("Wie viele Züge noch?"));
    BtnUndo = new TTimerSpeedButton(PnlZarvos);
    BtnUndo->setIcon(Glyph(TGlyph::Undo));
    BtnUndo->setToolTip(QStringLiteral("Rückgängig"));
    BtnRedo = new TTimerSpeedButton(PnlZarvos);
    BtnRedo->setIcon(Glyph(TGlyph::Redo));
    BtnRedo->setToolTip(QStringLiteral("Wiederherstellen"));
    for (TTimerSpeedButton *b : {BtnUndo, BtnRedo}) {
        b->setAutoRaise(true);
        b->setIconSize(QSize(20, 20));
        b->setFocusPolicy(Qt::NoFocus);
        b->SetTimeBtnState(TTimerSpeedButton::tbAllowTimer);
    }
    LblMoves = new QLabel(QStringLiteral("0 Züge"), PnlZarvos);
    LblMoves->setMinimumWidth(70);
    LblMoves->setAlignment(Qt::AlignCenter);
    LblHurra = new QLabel(QStringLiteral("Ziel ereicht, Bravo!"), PnlZarvos);
    LblHurra->hide();
    BtnSpeed = MakeButton(bar, TGlyph::Speed, QStringLiteral("Geschwindigkeit testen"));
    BtnSpeed->setCheckable(true);
    BtnSpeed->hide();
    BtnShowObject->setParent(PnlZarvos);
    BtnHighScore->setParent(PnlZarvos);
    BtnProperties->setParent(PnlZarvos);
    BtnSpeed->setParent(PnlZarvos);
    for (QToolButton *b : {BtnHint, BtnDemo, BtnMovesLeft})
        b->setParent(PnlZarvos);
    row->addWidget(BtnShowObject);
    row->addWidget(BtnHighScore);
    row->addWidget(BtnProperties);
    row->addWidget(BtnHint);
    row->addWidget(BtnDemo);
    row->addWidget(BtnMovesLeft);
    row->addWidget(Bevel(PnlZarvos));
    row->addWidget(BtnUndo);
    row->addWidget(BtnRedo);
    row->addWidget(LblMoves);
    row->addWidget(LblHurra);
    row->addWidget(BtnSpeed);
    PnlZarvosAction = SpeedPanel->addWidget(PnlZarvos);

    auto *spacer = new QWidget(SpeedPanel);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    SpeedPanel->addWidget(spacer);
    SpeedPanel->addWidget(Bevel(SpeedPanel));
    BtnHelp = MakeButton(SpeedPanel, ItemHilfe, QStringLiteral("Hilfe anzeigen"));
    BtnInfo = MakeButton(SpeedPanel, ItemInfo, QStringLiteral("Programminformationen anzeigen"));
    SpeedPanel->addWidget(BtnHelp);
    SpeedPanel->addWidget(BtnInfo);

    connect(BtnGrid, &QToolButton::clicked, this, Reported([this] { ItemOptionClick(BtnGrid); }));
    // The held buttons step faster than the menu's single steps, so they
    // have clicks of their own; they are enabled with their menu items.
    connect(BtnUndo, &TTimerSpeedButton::clicked, this,
            Reported([this] { ItemUndoClick(BtnUndo); }));
    connect(BtnRedo, &TTimerSpeedButton::clicked, this,
            Reported([this] { ItemRedoClick(BtnRedo); }));
    connect(BtnUndo, &TTimerSpeedButton::EndClick, this, [this] { BtnUnRedoEndClick(); });
    connect(BtnRedo, &TTimerSpeedButton::EndClick, this, [this] { BtnUnRedoEndClick(); });
    connect(ItemUndo, &QAction::enabledChanged, BtnUndo, &QWidget::setEnabled);
    connect(ItemRedo, &QAction::enabledChanged, BtnRedo, &QWidget::setEnabled);
    ItemUndo->setEnabled(false); // no game, no history
    ItemRedo->setEnabled(false);
    connect(BtnSpeed, &QToolButton::clicked, this, [this] {
        if (BtnSpeed->isChecked() && ItemShowObject->isChecked()) {
            ItemShowObject->setChecked(false);
            RunReported([this] { ItemShowObjectClick(); });
        }
        RunReported([this] { BtnSpeedClick(); });
    });
}

void TFormZarvoMain::CreateStartPanel()
{
    PnlStart = new QFrame(ClientArea);
    PnlStart->setFrameShape(QFrame::Panel);
    PnlStart->setFrameShadow(QFrame::Raised);
    PnlStart->setLineWidth(2);
    PnlStart->setAutoFillBackground(true);
    PnlStart->setFixedSize(241, 201);

    LblTitle = new TTitleLabel(QStringLiteral("Willkommen bei Zarvos"), PnlStart);
    LblTitle->setGeometry(23, 14, 195, 24);

    auto button = [this](const QString &caption, TGlyph glyph, int top) {
        auto *b = new QPushButton(Glyph(glyph), caption, PnlStart);
        b->setGeometry(24, top, 193, 35);
        b->setIconSize(QSize(20, 20));
        b->setAutoDefault(true); // Enter presses the button that has the focus
        return b;
    };
    BtnNewZarvo2 = button(QStringLiteral("&Neues Spiel"), TGlyph::NewGame, 52);
    BtnLoadHist2 = button(QStringLiteral("&Alten Spielstand laden"), TGlyph::LoadGame, 99);
    BtnLoadLast = button(QStringLiteral("&Letztes Spiel fortsetzen"), TGlyph::LoadLast, 146);

    connect(BtnNewZarvo2, &QPushButton::clicked, this, Reported([this] { BtnNewZarvoClick(); }));
    connect(BtnLoadHist2, &QPushButton::clicked, this, Reported([this] { BtnLoadHistClick(); }));
    connect(BtnLoadLast, &QPushButton::clicked, this, Reported([this] { BtnLoadLastClick(); }));
    PlaceStartPanel();
}

void TFormZarvoMain::FormCreate()
{
    setWindowTitle(
        QStringLiteral("Zarvos V%1.%2").arg(ZARVOS_VERSION_MAJOR).arg(ZARVOS_VERSION_MINOR));

    QPalette red = LblHurra->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LblHurra->setPalette(red);
    QFont hurra = LblHurra->font();
    hurra.setBold(true);
    hurra.setItalic(true);
    LblHurra->setFont(hurra);

    // Colour check: a palette screen shows the pictures wrongly.
    const QScreen *scr = screen();
    if (scr && scr->depth() > 8) {
        Settings().CheckColors = true;
    } else if (Settings().CheckColors) {
        const QString text = QStringLiteral("Um die Farben korrekt darzustellen sind \r"
                                            "mehr als 256 Farben erforderlich.\r"
                                            "Ändern Sie Ihre Einstellungen in \r"
                                            "Systemsteuerung/Anzeige\r"
                                            "Diese Meldung beim nächsten Start wiederholen?");
        if (CenteredMessageDlg(text, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No) ==
            QMessageBox::No)
            Settings().CheckColors = false;
    }

    HistDialogDir = DataRoot::HistDir();
    ShowHelpContents = [](QWidget *from) { ShowHelp(from); };
    ShowHelpContentsOwner = this;
    RunReported([] { PieceTypes().LoadTypes(DataRoot::PieceTypeFile()); });
}

void TFormZarvoMain::FormEnhanceLoadMain()
{
    TFormEnhance::SetMainForm(this);
    Enhance = new TFormEnhance(this);
    Enhance->SaveName = QStringLiteral("\\Software\\Zarvos");
    Enhance->SaveKey = QStringLiteral("FormMain");
    Enhance->OnLoad = [this](QSettings &store, const QString &key) {
        FormEnhanceLoad(store, key);
        ItemOptionClick(nullptr); // the toolbar shows Grid
    };
    Enhance->OnSave = [](QSettings &store, const QString &key) { FormEnhanceSave(store, key); };
    Enhance->Load();
}

void TFormZarvoMain::FormActivate()
{
    if (!ActivatedOnce) {
        ActivatedOnce = true;
        RunReported([] { MergeNewPuzzles(); });
    }
    FocusStartButton();
}

void TFormZarvoMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !Closing)
        FormActivate();
}

void TFormZarvoMain::PlaceStartPanel()
{
    const QSize client = ClientArea->size();
    PnlStart->move((client.width() - PnlStart->width()) / 2,
                   (client.height() - PnlStart->height()) / 2);
    PnlStart->raise();
    if (ActivatedOnce && !PnlStart->isHidden())
        FocusStartButton();
}

void TFormZarvoMain::FocusStartButton()
{
    if (PnlStart->isHidden())
        return;
    const bool lastGame = QFile::exists(DataRoot::HistDir() + LastGameName);
    BtnLoadLast->setEnabled(lastGame);
    (lastGame ? BtnLoadLast : BtnNewZarvo2)->setFocus(Qt::OtherFocusReason);
}

int TFormZarvoMain::MdiChildCount() const
{
    // A closed child lingers until its deferred deletion.
    int count = 0;
    for (QMdiSubWindow *sub : MdiArea->subWindowList()) {
        auto *w = qobject_cast<TFormZarvo *>(sub->widget());
        if (!w || !w->IsClosed())
            ++count;
    }
    return count;
}

QList<TFormZarvo *> TFormZarvoMain::PuzzleWindows() const
{
    QList<TFormZarvo *> open;
    for (TFormZarvo *w : ClientArea->findChildren<TFormZarvo *>())
        if (!w->IsClosed())
            open << w;
    return open;
}

TFormZarvo *TFormZarvoMain::ActiveZarvo() const
{
    if (Cover && !Cover->IsClosed())
        return Cover;
    QMdiSubWindow *sub = MdiArea->currentSubWindow();
    if (!sub)
        sub = MdiArea->activeSubWindow();
    auto *w = sub ? qobject_cast<TFormZarvo *>(sub->widget()) : nullptr;
    return w && !w->IsClosed() ? w : nullptr;
}

void TFormZarvoMain::CheckStartPanel()
{
    if (Closing)
        return;
    const bool gameOpen = !PuzzleWindows().isEmpty();
    if (gameOpen || QApplication::activeModalWidget()) {
        PnlStart->hide();
        return;
    }
    if (PnlStart->isHidden()) {
        PnlStart->show();
        PlaceStartPanel();
    }
    FocusStartButton();
}

void TFormZarvoMain::PuzzleWindowClosed()
{
    if (Closing)
        return;
    CheckStartPanel();
    UpdateMenuItems();
}

void TFormZarvoMain::UpdateMenuItems()
{
    if (Closing)
        return;
    BtnLoadLast->setEnabled(QFile::exists(DataRoot::HistDir() + LastGameName));
    LblTitle->ShadowColor = Qt::white;
    LblTitle->update();

    // A full-screen game is no MDI child, but its commands are open.
    const bool child = MdiChildCount() > 0;
    const bool game = !PuzzleWindows().isEmpty();
    MenuEdit->menuAction()->setVisible(child);
    MenuAnsicht->menuAction()->setVisible(child);
    ItemClose->setEnabled(game);
    ItemSaveHist->setEnabled(game);
    for (QAction *a : {ItemZoomIn, ItemZoomOut, ItemZoomOriginal, ItemZoomFit})
        a->setEnabled(game);
    BtnSpeed->setEnabled(child);

    if (TFormZarvo *w = ActiveZarvo()) {
        PnlZarvosAction->setVisible(true);
        w->UpdateMain(nullptr);
    } else {
        PnlZarvosAction->setVisible(false);
        LblHurra->hide();
        ItemProperties->setEnabled(false);
        for (QAction *a : {ItemHint, ItemDemo, ItemMovesLeft})
            a->setEnabled(false);
        ItemUndo->setEnabled(false);
        ItemRedo->setEnabled(false);
        ItemRestart->setEnabled(false);
    }
}

void TFormZarvoMain::ShowHint(const QString &hint)
{
    StatusPanel->setText(hint);
}

bool TFormZarvoMain::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TFormZarvoMain::eventFilter(QObject *watched, QEvent *event)
{
    // A modal dialog over the frame hides the start panel; when the last one
    // goes and no game is open, the panel returns.
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
        watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w != this && w->isWindow() && w->isModal()) {
            if (event->type() == QEvent::Show) {
                if (ActivatedOnce)
                    PnlStart->hide();
            } else {
                QTimer::singleShot(0, this, [this] {
                    if (ActivatedOnce && !QApplication::activeModalWidget())
                        CheckStartPanel();
                });
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormZarvoMain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TFormZarvoMain::closeEvent(QCloseEvent *event)
{
    if (Closing) {
        event->accept();
        return;
    }
    // The first close request ends the current game.
    if (CurrentZarvo) {
        event->ignore();
        CurrentZarvo->CloseWindow();
        return;
    }
    if (CenteredMessageDlg(QStringLiteral("Willst du Zarvos schon beenden?"), QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    ActivatedOnce = false;
    BtnSpeed->setChecked(false);
    SaveLastGame();
    Closing = true;
    if (HelpWindow)
        HelpWindow->close();
    event->accept();
}

void TFormZarvoMain::SaveLastGame(TFormZarvo *closing)
{
    // A window closed by its own close button need not be the active one:
    // its own game is the last game then, not the active window's.
    if (closing)
        CurrentZarvo = closing;
    else if (TFormZarvo *w = ActiveZarvo())
        CurrentZarvo = w;
    if (!CurrentZarvo)
        return;
    TZarvoPad *board = CurrentZarvo->Board();
    CurrentZarvo = nullptr;
    if (board && board->MoveIndex > 0)
        board->SaveGameState(LastGameName);
}

void TFormZarvoMain::AttachPuzzleWindow(TFormZarvo *w)
{
    w->AddHelpButtons({ItemHint, ItemDemo, ItemMovesLeft});
    connect(w, &TFormZarvo::StatusChanged, this, &TFormZarvoMain::ShowGameStatus);
    connect(w, &TFormZarvo::GoalReached, this, &TFormZarvoMain::ShowGoalReached);
    connect(w, &TFormZarvo::Closing, this, &TFormZarvoMain::PuzzleWindowClosing);
    if (w->IsFullScreen())
        CoverClientArea(w);
    w->UpdateMain(nullptr);
}

void TFormZarvoMain::ShowGameStatus(TFormZarvo *w, const TGameStatus &status)
{
    LblMoves->setText(MovesText(status.Moves));
    ItemShowObject->setChecked(status.GoalShown);
    ItemUndo->setEnabled(status.CanUndo);
    ItemRedo->setEnabled(status.CanRedo);
    ItemRestart->setEnabled(status.CanUndo);
    // Puzzles made by the expert keep their look.
    ItemProperties->setEnabled(!w->Board()->DisableProp);
    // A hint or a demonstration is for a game in play.
    ItemHint->setEnabled(!status.GoalShown && !status.Solved);
    ItemDemo->setEnabled(!status.GoalShown && !status.Solved);
    ItemMovesLeft->setEnabled(true);
    if (status.Solved) {
        LblHurra->setText(HurraText(status));
        LblHurra->show();
    } else {
        LblHurra->hide();
    }
}

void TFormZarvoMain::ShowGoalReached(TFormZarvo *w, int moves, int seconds)
{
    // The sound first: a sound that cannot be played is reported, and the
    // list is not shown then.
    QPointer<TFormZarvo> window(w);
    RunReported([&] {
        PlayMedia(Settings().GameOverFile);
        if (window && !window->IsClosed())
            TFormZarvo::CallTopList(window, window->Board(), moves, seconds);
    });
}

void TFormZarvoMain::PuzzleWindowClosing(TFormZarvo *w, bool saveGame)
{
    if (Cover == w)
        UncoverClientArea();
    if (!Closing && saveGame)
        SaveLastGame(w);
    if (CurrentZarvo == w)
        CurrentZarvo = nullptr;
    QTimer::singleShot(0, this, [this] { PuzzleWindowClosed(); });
}

void TFormZarvoMain::CoverClientArea(TFormZarvo *w)
{
    if (!Cover) {
        SavedMinSize = minimumSize();
        menuBar()->hide();
        SpeedPanel->hide();
        statusBar()->hide();
    }
    Cover = w;
    w->setGeometry(ClientArea->rect());
    // The frame keeps its size while the game covers it.
    setFixedSize(size());
}

void TFormZarvoMain::UncoverClientArea()
{
    Cover = nullptr;
    setMinimumSize(SavedMinSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    menuBar()->show();
    SpeedPanel->show();
    statusBar()->show();
}

void TFormZarvoMain::PlayMedia(const QString &fileName)
{
    if (fileName.isEmpty() || !QFile::exists(fileName))
        return;
    MediaPlayer->stop();
    MediaPlayer->setSource(QUrl::fromLocalFile(fileName));
    // Opening is awaited (briefly), playing is not: a file that cannot be
    // opened is reported before anything else of the success happens.
    QEventLoop wait;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &wait, &QEventLoop::quit);
    auto settled = [this] {
        const QMediaPlayer::MediaStatus s = MediaPlayer->mediaStatus();
        return s != QMediaPlayer::LoadingMedia && s != QMediaPlayer::NoMedia;
    };
    QMetaObject::Connection c1 =
        connect(MediaPlayer, &QMediaPlayer::mediaStatusChanged, &wait, [&] {
            if (settled())
                wait.quit();
        });
    QMetaObject::Connection c2 =
        connect(MediaPlayer, &QMediaPlayer::errorOccurred, &wait, &QEventLoop::quit);
    if (!settled() && MediaPlayer->error() == QMediaPlayer::NoError) {
        guard.start(3000);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    disconnect(c1);
    disconnect(c2);
    if (MediaPlayer->error() != QMediaPlayer::NoError ||
        MediaPlayer->mediaStatus() == QMediaPlayer::InvalidMedia) {
        QString why = MediaPlayer->errorString();
        if (why.isEmpty())
            why = QStringLiteral("Das Format wird nicht unterstützt.");
        MediaPlayer->setSource(QUrl());
        throw EZarvoError(QStringLiteral("Die Mediendatei \"%1\" kann nicht abgespielt werden.\r%2")
                              .arg(fileName, why));
    }
    MediaPlayer->play();
}
