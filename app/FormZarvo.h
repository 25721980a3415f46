#pragma once

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMdiSubWindow;
class QTimer;
class QToolButton;
class TBoardView;
class TFormZarvoMain;
class TTimerSpeedButton;
class TZarvoPad;

// One game: a board loaded from a puzzle file or a game state, its title
// and goal text, the move count, the clock, and what happens when the goal
// is reached. Windowed, it is an MDI child sized to the board; full-screen,
// it covers the main window's client area with its own caption, moves panel,
// the board and a half-size picture of the goal.
class TFormZarvo : public QWidget
{
    Q_OBJECT

public:
    // Opens a game: loadMode 0 loads the puzzle file name, 1 the game state
    // name. The mode (windowed or full-screen) comes from the setting
    // FullScreen2. On failure throws EZarvoError with "Fehler beim Laden" in
    // front and leaves no window and the main window as it was.
    static TFormZarvo *Create(TFormZarvoMain *main, int loadMode, const QString &name);
    ~TFormZarvo() override;

    // Brings the main window's game controls and this window's panels into
    // line with the board and handles a reached goal. sender is nullptr for a
    // plain refresh, else what caused the call (board, button, menu item);
    // only then may a reached goal play the sound and open the best-ten list.
    void UpdateMain(QObject *sender);

    // Closes the window through its close handling.
    void CloseWindow();

    // Windowed, the window is exactly board plus goal text; the MDI frame
    // sizes itself from this.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    TZarvoPad *Board() const { return FBoard.get(); }
    TBoardView *View() const { return FView; }
    bool IsFullScreen() const { return FullScreen; }
    QMdiSubWindow *SubWindow() const { return FSubWindow; }

    // ---- handlers (public so the main window and tests can drive them) ----
    void TimerTimer();
    void BtnStartClick();
    void BtnTopTenClick();
    void ZarvoPadMouseDown();
    // Shows or hides the goal position (the main window's goal command).
    void SetShowObject(bool show);

    // The clock's time base: date-time in days.
    static double ClockNow();

    // The best-ten list of a board; automated runs answer it through the hook.
    using TTopListHook =
        std::function<bool(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds)>;
    static void SetTopListHook(TTopListHook hook);
    static bool CallTopList(QWidget *owner, TZarvoPad *board, int newMoves, int newSeconds);

    bool IsClosed() const { return Closed; }

    // ---- window state ----
    double StartTime = 0; // days; 0 = clock not started
    int ElapsedSeconds = 0;
    bool Finished = false;
    QImage FullScreenBack;
    QSize SavedMinSize;

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

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TFormZarvo(TFormZarvoMain *main);
    void CreateControls();
    // Creation steps 2 to 10; throws on failure (the caller cleans up).
    void Init(int loadMode, const QString &name);
    void SetUpFullScreen();
    void RestoreMainWindow();
    void LayoutFullScreen();
    void Abandon();
    void AbandonRestart();

    TFormZarvoMain *Main;
    std::unique_ptr<TZarvoPad> FBoard;
    TBoardView *FView = nullptr;
    QMdiSubWindow *FSubWindow = nullptr;
    bool FullScreen = false;
    bool MainAltered = false; // the main window's menu, bars and size are ours to restore
    bool SkipSaveOnClose = false;
    bool Closed = false;
};

// The move count as the game shows it: "1 Zug", otherwise "<n> Züge".
QString MovesText(int moves);
// The clock: "Zeit: " + minutes (unpadded, not wrapped into hours) + ":" + two-digit seconds.
QString TimeText(int seconds);
