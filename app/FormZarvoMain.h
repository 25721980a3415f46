#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QAudioOutput;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMediaPlayer;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;
class TFormZarvo;
struct TGameStatus;
class TTimerSpeedButton;
class TZarvoPad;
class TTitleLabel;
class THelpWindow;
class TFormEnhance;

// The main window: the frame that holds the puzzle windows, with the menu,
// the toolbar, the start panel and the status bar. It lives for the whole run
// and owns the program-wide values (settings, piece types, the current game).
class TFormZarvoMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormZarvoMain(QWidget *parent = nullptr);
    ~TFormZarvoMain() override;

    // ---- routines used by the puzzle windows ----
    void FocusStartButton();
    void LoadLastGame();
    // Saves the game of closing, or else of the active puzzle window, as the
    // last game when it has moves.
    void SaveLastGame(TFormZarvo *closing = nullptr);
    void UpdateMenuItems();
    // Plays the success sound. A missing file is skipped; a file that cannot
    // be opened throws EZarvoError with the media player's message.
    void PlayMedia(const QString &fileName);

    // ---- commands (menu, toolbar, start panel, puzzle windows) ----
    void ItemNewZarvoClick();
    void ItemLoadHistClick();
    void ItemSaveHistClick();
    void ItemCloseClick();
    void ItemOptionClick(QObject *sender);
    void ItemExitClick();
    void ItemUndoClick(QObject *sender);
    void ItemRedoClick(QObject *sender);
    void ItemRestartClick();
    void BtnUnRedoEndClick();
    void ItemShowObjectClick(); // after ItemShowObject changed its check
    void ItemHighScoreClick();
    void ItemHintClick();
    void ItemDemoClick();
    void ItemMovesLeftClick();
    // The view's zoom: percent 0 fits the board to its window.
    void ItemZoomClick(int percent);
    void ItemZoomStepClick(bool larger);
    void ItemHilfeClick();
    void ItemInfoClick();
    void ItemExpertClick();
    void ItemPropertiesClick();
    void BtnSpeedClick();
    void BtnNewZarvoClick();
    void BtnLoadHistClick();
    void BtnLoadLastClick();

    // The puzzle window that the game commands act on: the full-screen game,
    // else the current MDI child when it is a puzzle window, else none.
    TFormZarvo *ActiveZarvo() const;
    // Every open puzzle window (windowed and full-screen).
    QList<TFormZarvo *> PuzzleWindows() const;
    int MdiChildCount() const;

    // Opens a game in a new puzzle window; loadMode 0: puzzle file, 1: game
    // state. Failures are reported; returns the window or nullptr.
    TFormZarvo *OpenGame(int loadMode, const QString &name, bool makeCurrent);
    // Closes window and opens its game again from the game state stateName
    // at the same place (the properties dialog's new look). Failures are
    // reported; returns the new window or nullptr.
    TFormZarvo *ReopenFromGameState(TFormZarvo *window, const QString &stateName);

    // The file dialogs of the game states. Tests answer them through this
    // hook instead of a dialog; an empty result means cancelled.
    using TFileDlgHook = std::function<QString(bool save)>;
    static void SetFileDlgHook(TFileDlgHook hook);

    // ---- main-window state ----
    bool ActivatedOnce = false;
    QPointer<TFormZarvo> CurrentZarvo;

    // The dialog's start folder and the last folder chosen.
    QString HistDialogDir;
    // The puzzle the selection dialog chose last.
    QString ChosenPuzzle;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // ---- controls (tests find them by their object names) ----
    QWidget *ClientArea = nullptr; // everything between toolbar and status bar
    QMdiArea *MdiArea = nullptr;
    QToolBar *SpeedPanel = nullptr;
    QLabel *StatusPanel = nullptr;
    QFrame *PnlStart = nullptr;
    TTitleLabel *LblTitle = nullptr;
    QPushButton *BtnNewZarvo2 = nullptr;
    QPushButton *BtnLoadHist2 = nullptr;
    QPushButton *BtnLoadLast = nullptr;

    QToolButton *BtnExit = nullptr;
    QToolButton *BtnExpert = nullptr;
    QToolButton *BtnNewZarvo = nullptr;
    QToolButton *BtnLoadHist = nullptr;
    QToolButton *BtnSaveHist = nullptr;
    QToolButton *BtnGrid = nullptr;
    QWidget *PnlZarvos = nullptr;
    QAction *PnlZarvosAction = nullptr; // shows and hides PnlZarvos in the toolbar
    QToolButton *BtnShowObject = nullptr;
    QToolButton *BtnHighScore = nullptr;
    QToolButton *BtnHint = nullptr;
    QToolButton *BtnDemo = nullptr;
    QToolButton *BtnMovesLeft = nullptr;
    QToolButton *BtnProperties = nullptr;
    TTimerSpeedButton *BtnUndo = nullptr;
    TTimerSpeedButton *BtnRedo = nullptr;
    QLabel *LblMoves = nullptr;
    QLabel *LblHurra = nullptr;
    QToolButton *BtnSpeed = nullptr;
    QToolButton *BtnHelp = nullptr;
    QToolButton *BtnInfo = nullptr;

    QMenu *MenuDatei = nullptr;
    QMenu *MenuEdit = nullptr;
    QMenu *MenuAnsicht = nullptr;
    QMenu *MenuHilfe = nullptr;
    QAction *ItemNewZarvo = nullptr;
    QAction *ItemLoadHist = nullptr;
    QAction *ItemSaveHist = nullptr;
    QAction *ItemClose = nullptr;
    QAction *ItemExpert = nullptr;
    QAction *ItemOption = nullptr;
    QAction *ItemExit = nullptr;
    QAction *ItemUndo = nullptr;
    QAction *ItemRedo = nullptr;
    QAction *ItemRestart = nullptr;
    QAction *ItemProperties = nullptr;
    QAction *ItemShowObject = nullptr;
    QAction *ItemHighScore = nullptr;
    QAction *ItemHint = nullptr;
    QAction *ItemDemo = nullptr;
    QAction *ItemMovesLeft = nullptr;
    QAction *ItemZoomIn = nullptr;
    QAction *ItemZoomOut = nullptr;
    QAction *ItemZoomOriginal = nullptr;
    QAction *ItemZoomFit = nullptr;
    QAction *ItemHilfe = nullptr;
    QAction *ItemInfo = nullptr;
    // Ctrl+Shift+F12: the hidden speed test (BtnSpeed is not on show).
    QAction *ItemSpeed = nullptr;

    QMediaPlayer *MediaPlayer = nullptr;
    QAudioOutput *AudioOutput = nullptr;
    QImage ImgBack; // the background texture

    void NameControls();
    void CreateMenu();
    void CreateToolBar();
    void CreateStartPanel();
    void FormCreate();
    void FormActivate();
    void PlaceStartPanel();
    void CheckStartPanel();
    QString HistFileDialog(bool save);
    void ShowHint(const QString &hint);
    void FormEnhanceLoadMain();
    TFormZarvo *CommandWindow(QObject *sender) const;
    // The game the solver's help acts on: the full-screen one, else the
    // active puzzle window.
    TFormZarvo *GameWindow() const;
    void PuzzleWindowClosed();
    // A new puzzle window reports to this frame: its status to the
    // toolbar, menu and panels, a reached goal, its closing.
    void AttachPuzzleWindow(TFormZarvo *w);
    void ShowGameStatus(TFormZarvo *w, const TGameStatus &status);
    void ShowGoalReached(TFormZarvo *w, int moves, int seconds);
    void PuzzleWindowClosing(TFormZarvo *w, bool saveGame);
    // A full-screen game covers the client area: the menu, the toolbar and
    // the status bar go, and the frame keeps its size until the game closes.
    void CoverClientArea(TFormZarvo *w);
    void UncoverClientArea();

    bool Closing = false;       // after the close was accepted: windows closed now do not save
    QPointer<TFormZarvo> Cover; // the full-screen game over the client area
    QSize SavedMinSize;         // the frame's minimum size before it was covered
    QPointer<THelpWindow> HelpWindow;
    TFormEnhance *Enhance = nullptr;
    qint64 SpeedStartMs = 0;
    qint64 FrameCount = 0;
    bool SpeedRunning = false;
};

// The one main window of the run (nullptr before it is created and after it
// is gone).
extern TFormZarvoMain *FormZarvoMain;
