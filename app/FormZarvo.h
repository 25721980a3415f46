#pragma once

#include "ZarvoGame.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QPainter;
class QMdiArea;
class QMdiSubWindow;
class QScrollArea;
class QTimer;
class QToolButton;
class TBoardView;
class TDemonstration;
class TTimerSpeedButton;
class TZarvoPad;

// One game: a session on a board loaded from a puzzle file or a game state,
// its title and goal text, the move count, the clock, and what happens when
// the goal is reached. Windowed, it is an MDI child sized to the board;
// full-screen, it covers the frame's client area with its own caption, moves
// panel, the board and a half-size picture of the goal. The window writes
// only its own widgets: it reports its game's status, a reached goal and its
// closing, and the frame connects those to its own controls.
class TFormZarvo : public QWidget
{
    Q_OBJECT

public:
    // Where a puzzle window lives: the frame's client area (the parent of a
    // full-screen window), its MDI area and the background texture.
    struct THost
    {
        QWidget *ClientArea = nullptr;
        QMdiArea *MdiArea = nullptr;
        QImage Back;
    };

    // Opens a game: loadMode 0 loads the puzzle file name, 1 the game state
    // name; fullScreen covers the client area. On failure throws EZarvoError
    // with "Fehler beim Laden" in front and leaves no window.
    static TFormZarvo *Create(const THost &host, int loadMode, const QString &name,
                              bool fullScreen);
    ~TFormZarvo() override;

    // Brings the game and this window's panels up to date and reports the
    // status. sender is nullptr for a plain refresh, else what caused the call
    // (board, button, menu item); only then may a reached goal be announced.
    void UpdateMain(QObject *sender);

    // Closes the window through its close handling.
    void CloseWindow();

    // Windowed, the window opens as board (at its zoom, fitted boards at
    // their own size) plus goal text, and the player may size it at will.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    TZarvoGame *Game() const { return FGame.get(); }
    TZarvoPad *Board() const { return &FGame->Board(); }
    TBoardView *View() const { return FView; }
    // The part of the window that shows the board, scrolled when the board
    // is larger.
    QScrollArea *BoardArea() const { return FBoardArea; }
    bool IsFullScreen() const { return FullScreen; }
    QMdiSubWindow *SubWindow() const { return FSubWindow; }

    // ---- commands of the game (the frame's and this window's own) ----
    // fromMenuItem: a single menu step; otherwise a held button or key.
    void Undo(bool fromMenuItem);
    void Redo(bool fromMenuItem);
    void EndRepeat();
    // Shows or hides the goal position.
    void SetShowObject(bool show);
    // The zoom in percent, 0 fitting the board to the window; kept as the
    // player's setting for the games to come.
    void SetZoom(int percent);
    void ZoomStep(bool larger); // "Größer" and "Kleiner"
    int ZoomPercent() const { return FZoomPercent; }
    double EffectiveZoom() const;
    // The board's keys: an arrow moves the selected piece one cell (a
    // blocked move flashes and beeps), Tab chooses the next piece.
    void MoveKey(int dCol, int dRow);
    void SelectKey(bool next);

    // ---- the solver's help (FormZarvoHelp.cpp) ----
    // Each asks the solver about the current position off the window's
    // thread (a busy sign shows meanwhile) and then shows the next move on
    // the board, plays a shortest solution move by move, or tells the moves
    // still needed. A goal that cannot be reached and a search that hit its
    // budget are said in a message box.
    void AskHint();
    void AskDemonstration();
    void AskMovesLeft();
    // Stops the search or the demonstration; false when neither was running.
    bool StopHelp();
    bool Searching() const;
    bool Demonstrating() const;
    // The hint drawn over the board now, or nullptr.
    const TSolverHint *ShownHint() const { return FHint ? &*FHint : nullptr; }
    // The frame's commands of the help as buttons of the full-screen caption.
    void AddHelpButtons(const QList<QAction *> &actions);

    // ---- handlers (public so tests can drive them) ----
    void TimerTimer();
    void BtnStartClick();
    void BtnTopTenClick();
    void ZarvoPadMouseDown();

    // The best-ten list of a board; automated runs answer it through the hook.
    using TTopListHook =
        std::function<bool(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds)>;
    static void SetTopListHook(TTopListHook hook);
    static bool CallTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds);

    bool IsClosed() const { return Closed; }

    // ---- controls ----
    QWidget *PnlCaption = nullptr;
    QLabel *LblCaption = nullptr;
    QWidget *PnlMoves = nullptr;
    QToolButton *BtnZoomIn = nullptr; // the zoom in the caption panel
    QToolButton *BtnZoomOut = nullptr;
    QToolButton *BtnZoomOriginal = nullptr;
    QToolButton *BtnZoomFit = nullptr;
    QToolButton *BtnTopTen = nullptr;
    QToolButton *BtnStart = nullptr;
    TTimerSpeedButton *BtnUndo = nullptr;
    TTimerSpeedButton *BtnRedo = nullptr;
    QLabel *LblMoves = nullptr;
    QLabel *LblTime = nullptr;
    QWidget *PnlObject = nullptr;
    QLabel *LblObject = nullptr;
    QLabel *LblHurra = nullptr;
    QWidget *PnlHelp = nullptr; // the solver's help in the full-screen caption
    QTimer *Timer = nullptr;

Q_SIGNALS:
    // After every step of the game and every refresh.
    void StatusChanged(TFormZarvo *window, const TGameStatus &status);
    // The player reached the goal with a new or better result: the frame
    // plays the success sound and then shows the best-ten list (ShowResult).
    void GoalReached(TFormZarvo *window, int moves, int seconds);
    // The window is closing; saveGame: its game may be kept as the last game.
    void Closing(TFormZarvo *window, bool saveGame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TFormZarvo(const THost &host, bool fullScreen);
    void CreateControls();
    // Loads the game and shows it; throws on failure (the caller cleans up).
    void Init(int loadMode, const QString &name);
    // Title, goal text, clock and layout of the puzzle just loaded.
    void ShowPuzzle();
    void SetUpFullScreen();
    void LayoutFullScreen();
    void LayoutWindowed();
    // The board's zoom for the space it has (fitted, or the chosen zoom).
    void ApplyZoom(QSize space);
    // The window sized to the board at its zoom, as far as the frame allows.
    void SizeToBoard();
    void ShowStatus(const TGameStatus &status);
    void ShowSelection();
    // What assistive technology reads of the board: the puzzle, the moves,
    // the goal, the selected piece and its cell.
    void DescribeBoard(const TGameStatus &status);
    void Abandon();
    void AbandonRestart();

    // ---- the solver's help ----
    enum THelpWish : unsigned { WishHint = 1, WishDemo = 2, WishMovesLeft = 4, WishGoalView = 8 };
    void Ask(unsigned wishes);
    void Answered(const TSolverAnswer &answer, unsigned wishes);
    void SayNotFound(const TSolverAnswer &answer);
    void StartDemonstration(const TSolverAnswer &answer);
    void DemonstrationTick();
    void EndDemonstration();
    void SetHelpText(const QString &text);
    // Drops a hint and a text about a position the board has left; asks for
    // the goal view's count.
    void HelpStatus(const TGameStatus &status);
    QString ObjectText(const TGameStatus &status) const;
    void FitObjectText();
    void SetBusy(bool busy);
    void BusyFrame();
    void PlaceHelpButtons();
    void DecorateBoard(QPainter &p) const;

    unsigned FWishes = 0;
    std::optional<TSolverHint> FHint;
    QString FHelpText;
    std::vector<QPoint> FHelpFor;  // the position hint and text are about
    std::vector<QPoint> FAskedFor; // the position of the search under way
    std::unique_ptr<TDemonstration> FDemo;
    QTimer *DemoTimer = nullptr;
    QTimer *BusyTimer = nullptr;
    QElapsedTimer FBusyClock;
    bool FSwallowInput = false; // the key or click that stopped the demonstration

    THost Host;
    std::unique_ptr<TZarvoGame> FGame;
    QImage FullScreenBack;
    TBoardView *FView = nullptr;
    QScrollArea *FBoardArea = nullptr;
    int FZoomPercent = 0;
    QRect FGoalRect; // the half-size goal picture of a full-screen game
    QMdiSubWindow *FSubWindow = nullptr;
    bool FullScreen = false;
    bool SkipSaveOnClose = false;
    bool Closed = false;
};

// The move count as the game shows it: "1 Zug", otherwise "<n> Züge".
QString MovesText(int moves);
// The success text; a game the solver helped says so.
QString HurraText(const TGameStatus &status);
// The clock: "Zeit: " + minutes (unpadded, not wrapped into hours) + ":" + two-digit seconds.
QString TimeText(int seconds);
// The largest zoom at which board fits into space, aspect kept (at most 8).
double FitZoom(QSize board, QSize space);
// The zoom in percent one step larger or smaller than zoom (a factor).
int NextZoomPercent(double zoom, bool larger);
