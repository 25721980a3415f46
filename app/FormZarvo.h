#pragma once

#include "ZarvoGame.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class QToolButton;
class TBoardView;
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

    // Windowed, the window is exactly board plus goal text; the MDI frame
    // sizes itself from this.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    TZarvoGame *Game() const { return FGame.get(); }
    TZarvoPad *Board() const { return &FGame->Board(); }
    TBoardView *View() const { return FView; }
    bool IsFullScreen() const { return FullScreen; }
    QMdiSubWindow *SubWindow() const { return FSubWindow; }

    // ---- commands of the game (the frame's and this window's own) ----
    // fromMenuItem: a single menu step; otherwise a held button or key.
    void Undo(bool fromMenuItem);
    void Redo(bool fromMenuItem);
    void EndRepeat();
    // Shows or hides the goal position.
    void SetShowObject(bool show);

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
    QToolButton *BtnTopTen = nullptr;
    QToolButton *BtnStart = nullptr;
    TTimerSpeedButton *BtnUndo = nullptr;
    TTimerSpeedButton *BtnRedo = nullptr;
    QLabel *LblMoves = nullptr;
    QLabel *LblTime = nullptr;
    QWidget *PnlObject = nullptr;
    QLabel *LblObject = nullptr;
    QLabel *LblHurra = nullptr;
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
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TFormZarvo(const THost &host, bool fullScreen);
    void CreateControls();
    // Loads the game and shows it; throws on failure (the caller cleans up).
    void Init(int loadMode, const QString &name);
    // Title, goal text, clock and layout of the puzzle just loaded.
    void ShowPuzzle();
    void SetUpFullScreen();
    void LayoutFullScreen();
    void ShowStatus(const TGameStatus &status);
    void Abandon();
    void AbandonRestart();

    THost Host;
    std::unique_ptr<TZarvoGame> FGame;
    QImage FullScreenBack;
    TBoardView *FView = nullptr;
    QMdiSubWindow *FSubWindow = nullptr;
    bool FullScreen = false;
    bool SkipSaveOnClose = false;
    bool Closed = false;
};

// The move count as the game shows it: "1 Zug", otherwise "<n> Züge".
QString MovesText(int moves);
// The clock: "Zeit: " + minutes (unpadded, not wrapped into hours) + ":" + two-digit seconds.
QString TimeText(int seconds);
