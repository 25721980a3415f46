#pragma once

#include "Fields.h"
#include "HistoryList.h"
#include "Zarvo.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class QPainter;
class TCaptionGlyphs;
class TIniFile;
struct TZarvoDef;
class TZarvoTyp;

// A rectangle with exclusive right and bottom, as the board's rules count.
struct TRect
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TRect &) const = default;
};

using TZarvoList = std::vector<std::unique_ptr<TZarvo>>;

// Mouse buttons and held keys, as the board's mouse handlers take them.
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;

// The puzzle's look and settings, as its file has them ([Pad], [Info],
// [Solution]): one value, so a load installs it whole.
struct TPadLook
{
    bool DrawFrame = true;
    TRect FrameRect;
    QPoint FrameSize{4, 5}; // units
    int Border = 2;
    QPoint BackSize{0, 0};                      // units
    QPoint ZarvoSize{0, 0};                     // units
    QPoint OffsetSet{-1, -1}, Offset{0, 0};     // key Offset as set, and effective
    QPoint ImgOffsetSet{0, 0}, ImgOffset{0, 0}; // key ImgZarvosOffset as set, and effective
    bool AllwaysRandom = false;
    bool DisableProp = false;
    bool NoZarvoBorder = false;
    bool NoZarvoCaption = false;
    bool DefaultFont = true;           // caption colour computed by AutoFontColor
    QFont Font = DefaultCaptionFont(); // caption font: FontName, FontSize (points), style bits
    QColor FontColor{Qt::white};
    QString FileName, ImgBack, ImgZarvos;
    int UnitSize = 40;
    QString Title, ObjectInfo, BestMoves = QStringLiteral("?");
    QString Rating; // at most 16 characters
    // Light and shadow bevel lines painted into the background: a count, then
    // x1, y1, x2, y2 (units) and flags per line, comma separated.
    QString BorderLi = QStringLiteral("0"), BorderSh = QStringLiteral("0");

    static QFont DefaultCaptionFont();
};

// The puzzle's pictures: the background and the piece picture, which after
// loading holds the finished piece faces and is board-sized. The goal
// picture, the composed board and the screen picture are made from them
// where and when they are asked for (WorkBitmap(), ObjectBitmap(),
// ComposeScreen()).
struct TPadPictures
{
    QImage BackBitmap, ZarvoBitmap;
};

// A game's state: both piece lists and the history.
struct TPadGameState
{
    TZarvoList Pieces;  // [Start]
    TZarvoList Objects; // [Object], the goal position
    THistory History;
    int MoveIndex = 0;
    bool ShowObject = false;
    bool Solved = false;
    int SolvedMoves = 0;
    int LastMoved = -1; // the piece whose drag made the current entry
};

// The mouse and the hand as the board's mouse handlers see them; the board
// keeps them across loads.
struct TPadMouse
{
    int DragIndex = -1;
    int DownX = 0, DownY = 0;
    int PushDepthCounter = 0;
    long long PushVisits = 0; // pieces asked in the running pass
    bool PushOverrun = false; // the pass asked more than MaxPushVisits
    bool Dragging = false, ButtonDown = false, MouseInside = false;
    int HandX = 0, HandY = 0;
    bool Cursor64 = true;
    int LastHit = -1, PrevHit = -1;
};

// The board: a puzzle's look, its two piece lists, its pictures and its
// history, the move rules and the drag logic. A plain object without a
// window: the board view (app/) shows WorkBitmap and forwards the mouse, so a
// board loads, moves, records, saves and renders in tests and tools as well.
// Its parts are value types of their own, so loading a puzzle installs the
// new look, pictures and state and leaves the mouse and the hooks alone.
class TZarvoPad : public TPadLook, public TPadPictures, public TPadGameState, public TPadMouse
{
public:
    TZarvoPad();
    ~TZarvoPad();
    TZarvoPad(const TZarvoPad &) = delete;
    TZarvoPad &operator=(const TZarvoPad &) = delete;

    // ---- hand pictures (all owned) ----
    QImage Hand32Up, Hand32Down, Hand64Up, Hand64Down;

    // ---- switches ----
    bool Prerender = false;
    bool Constructing = false; // while true, Redraw composes but does not paint
    // Compose every Redraw from scratch instead of only where pieces moved;
    // both give the same picture (tests and benchmarks compare them).
    bool FullRedraw = false;
    // Set by the window before loading: the main window runs full-screen, so
    // the background gets a raised edge around the whole board.
    bool FullScreen = false;
    // The pieces in a move's way are found through a grid of cells rather
    // than by scanning the whole board; set only to compare both in tests.
    bool LinearCandidateScan = false;
    // Captions get a thin outline in the colour that contrasts with their
    // own, so they stay readable on any picture (the player's option; off,
    // the faces are drawn as they always were).
    bool CaptionOutline = false;

    // ---- events ----
    std::function<void(TZarvoPad &)> OnMoved; // after every press that was released
    std::function<void(TZarvoPad &, TMouseButton, TShiftState, int, int)> OnMouseDownEvent;
    std::function<void(TZarvoPad &)> OnPaint; // the view repaints (Redraw unless Constructing)
    std::function<void(TZarvoPad &, bool)>
        OnConfineCursor; // keep the pointer inside the board while dragging

    // ---- board size ----
    int Width() const { return BackBitmap.width(); }
    int Height() const { return BackBitmap.height(); }

    // ---- piece lists ----
    TZarvoList &ActivePieces() { return ShowObject ? Objects : Pieces; }
    const TZarvoList &ActivePieces() const { return ShowObject ? Objects : Pieces; }
    int PieceCount() const { return int(ActivePieces().size()); }
    TZarvo *Piece(int i) const { return ActivePieces()[size_t(i)].get(); }
    int ObjectCount() const { return int(Objects.size()); }
    TZarvo *ObjectPiece(int i) const { return Objects[size_t(i)].get(); }
    int ColToX(int c) const { return c * UnitSize + Offset.x(); }
    int RowToY(int r) const { return r * UnitSize + Offset.y(); }
    // The grid cell nearest to a piece (floor division, so cells left of or
    // above the field stay where they are).
    int Col(const TZarvo *p) const;
    int Row(const TZarvo *p) const;
    void SetCol(TZarvo *p, int c); // X := Offset.x + c * UnitSize (not OldX)
    void SetRow(TZarvo *p, int r);

    // ---- puzzle file ----
    // Loads Data/ + name part of name; with withState, name is a game-state
    // file in Hist/ whose first line names the puzzle. On failure throws
    // EZarvoError "Fehler beim Laden der Zarvo-Datei\r<cause>" and leaves the
    // board as it was.
    void LoadPuzzle(const QString &name, bool withState);
    // The file LoadPuzzle reads for a puzzle name (a name without a file
    // behind it loads as the empty default puzzle).
    static QString PuzzleFile(const QString &name);
    void SaveLook(const QString &name);
    void SavePuzzle(const QString &name);
    static void CarryOverSettings(const QString &name);
    void SetFrameSize(QPoint size);
    void SetOffset(QPoint offset);
    void SetImgOffset(QPoint offset);
    // Makes target w x h units big and fills it on a thread of its own from
    // an Image/ picture (or the built-in "BACK" tile) tiled from (ox, oy);
    // without a height target is the built-in tile. The answer tells
    // whether the picture was used (if not, its name is to be cleared);
    // target's pixels are the thread's until then.
    std::future<bool> StartImage(QImage &target, QPoint sizeInUnits, const QString &imageName,
                                 int ox, int oy);

    // ---- pieces ----
    // The board keeps a record of where its pieces stand, so that a move
    // costs what it changes and not what the board holds. Its own moves,
    // restores and shuffles keep it up to date, and pieces added to or taken
    // from the list are noticed; code that changes pieces by hand (places,
    // sizes, captions, types, pictures, links, push depths) calls this
    // before the next operation of the board. Debug builds check it.
    void PiecesChanged();
    void AddPiece(TZarvoList &list, const QString &typeName, int col, int row, int imageCol,
                  int imageRow, bool movable, const QString &caption);
    // The same with the type already looked up (nullptr: there is none).
    void AddPiece(TZarvoList &list, const QString &typeName, const TZarvoTyp *typ, int col, int row,
                  int imageCol, int imageRow, bool movable, const QString &caption);
    TZarvo *CreatePiecePart(TZarvoList &list, const QString &caption, const TZarvoDef &rect,
                            int col, int row, int imageCol, int imageRow, bool movable);

    // ---- move rules ----
    // Moves piece p as far as the rules allow toward (X + dx, Y + dy),
    // pushing others, in steps of at most 20 pixels.
    void DragBy(TZarvo *p, int dx, int dy);
    void MoveStep(TZarvo *p, int dx, int dy);
    void ResetMoveState();
    void TryMove(TZarvo *s, TZarvo *caller, int &dx, int &dy, bool trial);
    void ClampToFrame(const TZarvo *s, int &dx, int &dy) const;
    void PushHorizontal(TZarvo *s, TZarvo *o, int &dx, int offsetY, bool trial);
    void PushVertical(TZarvo *s, TZarvo *o, int offsetX, int &dy, bool trial);
    // Pushes every piece in the way of S, in list order, along the main axis
    // of the step first.
    void PushCandidates(TZarvo *s, int &dx, int &dy, bool trial);
    // One direction of that: d is S's step on that axis, offset its step on
    // the other axis already taken.
    void PushPass(TZarvo *s, bool horizontal, int &d, int offset, bool trial);
    void ApplyMove();
    void NoteStepped(TZarvo *s); // the real pass set s's displacement
    // The goal test, looking at every piece.
    bool IsSolved() const;
    // The same answer from the board's record of its pieces, in time that
    // does not grow with the board: what the game asks after every move.
    bool GoalReached() const;
    void Shuffle();

    // ---- history and game state ----
    QString SnapshotText() const;
    void CommitDrag(); // end of a drag: commit every moved piece, record once, raise OnMoved
    void RecordPosition(int newIndex);
    // The list index that stands for the whole piece at index: its master
    // part for a compound piece, else index itself.
    int PieceKey(int index) const;
    void RestorePosition(int index);
    void SaveGameState(const QString &name);

    // ---- drawing ----
    void PaintBackgroundBevels();
    // Makes the goal picture from the piece picture as it is, and then the
    // finished faces (bevel and caption) of every movable piece at its
    // picture position; ZarvoBitmap is board-sized from then on.
    void PrerenderPictures();
    // The same for a puzzle being loaded, from the piece picture tile laid
    // from origin over size: the faces are made where the board is drawn,
    // and the goal picture comes from them when goalFromFaces (as
    // GoalFromFacesPossible tells). faces, when not null, is the board-sized
    // picture to make them in, where tile already stands at placed (tile
    // then shares its pixels) unless placed is empty.
    void PrepareLoadedPictures(const QImage &tile, QPoint origin, QSize size, bool goalFromFaces,
                               QImage faces = QImage(), const QRect &placed = QRect());
    // Whether the goal picture can be drawn from the faces of the piece
    // picture as loaded over raw (the pieces as they stand in the lists).
    bool GoalFromFacesPossible(const QRect &raw) const;
    // Makes every face still waiting (a loaded puzzle makes them where the
    // board is first drawn).
    void FinishFaces();
    // Draws piece p onto target: its face from ZarvoBitmap, and while the
    // faces are built its bevel and caption.
    void DrawPiece(const TZarvo *p, QImage &target);
    // Writes caption on piece (board coordinates) with the painter's font
    // and pen, cut to the piece and to clip, outlined with CaptionOutline;
    // the painter draws on a picture whose row 0 is board row top. digits,
    // when given, draws captions of digits (made for this thread).
    void DrawCaption(QPainter &painter, const QString &caption, const QRect &piece,
                     const QRect &clip, int top, const TCaptionGlyphs *digits = nullptr) const;
    // Asks the view to show what changed (unless Constructing); the
    // pictures themselves are composed where and when they are shown.
    void Redraw();
    void Paint(); // asks the view to repaint (OnPaint)
    // The composed board: the background and every drawn piece of the
    // active list. Kept once asked for and brought up to date where pieces
    // moved; the view does not need it (ComposeScreen).
    const QImage &WorkBitmap();
    // The same composed afresh, not kept.
    QImage ComposeBoard();
    // The goal picture: every goal piece, fixed ones too, at its goal cell.
    const QImage &ObjectBitmap();
    // The picture the view shows of area (board coordinates, cut to the
    // board): the goal picture while the goal is shown, else the composed
    // board with the hand drawn at HandX/HandY when withHand is set.
    const QImage &ComposeScreen(bool withHand, const QRect &area);
    const QImage &ComposeScreen(bool withHand); // the whole board
    // The board rectangles whose picture changed since the last call: where
    // pieces moved, where the hand was last drawn and where it is now.
    std::vector<QRect> TakeChangedAreas();
    static void TileBackground(QImage &target, int width, int height, const QImage &texture);
    // Writes the composed board as Data/ + FileName with the extension
    // ".bmp"; false when there is no board or no file name, or writing failed.
    bool SaveBoardImage();
    // The automatic caption colour of a piece picture tile laid from origin
    // over size, as loaded: once loaded, ZarvoBitmap holds faces and
    // background and is no longer the picture to sample.
    static QColor AutoFontColorOf(const QImage &tile, QPoint origin, QSize size);

    // ---- dragging ----
    // Shows or hides the goal. The board takes no press while the goal is
    // shown; a drag held when it appears ends there and is recorded.
    void SetShowObject(bool show);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    // What the drawing keeps between calls (DrawState.h, Drawing.cpp).
    mutable std::unique_ptr<struct TDrawState> FDraw;
    struct TDrawState &Draw() const;
    static void TileInto(QImage &target, const QRect &area, const QImage &src, int ox, int oy);
    void StartFaces(const QImage &raw, const QImage &tile, QPoint tileOrigin, QSize rawSize,
                    QImage faces = QImage(), const QRect &placed = QRect());
    // Faces still to be made in tiles, for the pictures they were begun in.
    bool FacesWaiting();
    // Appends the tiles under area whose faces are still to be made.
    void PendingTilesIn(const QRect &area, std::vector<int> &tiles) const;
    void FinishFacesIn(const QRect &area);
    // Makes the faces of the tiles given (duplicates allowed; sorted here).
    void FinishTiles(std::vector<int> &tiles);
    bool FacesCoverOnce(const QRect &tile, const std::vector<int> &pieces) const;
    void DrawTile(QImage &faces, const QRect &tile, const std::vector<int> &pieces,
                  std::unique_ptr<TCaptionGlyphs> &digits) const;
    QImage RenderGoal(const QImage &raw);
    void ComposeArea(QImage &target, QPoint origin, const QRect &area, bool goal);
    QRect HandRect() const;
    // True when the record was not made afresh since generation (which is
    // brought up to date).
    bool TrackCurrent(quint64 &generation) const;

    // The board's record of its pieces (PadTrack.h, Tracking.cpp).
    mutable std::unique_ptr<struct TPadTrack> FTrack;
    // The record of the piece list, made when needed; ActiveTrack() is
    // nullptr while the goal list is active.
    struct TPadTrack *Track() const;
    struct TPadTrack *ActiveTrack() const;
    bool TrackFits() const; // made for the pieces, unit and offset as they are
    void RebuildTrack() const;
    bool Tracked(const TZarvo *p) const;
    TColRow CommittedCell(const TZarvo *p) const;
    void NoteMoved(TZarvo *p, int oldX, int oldY); // after X or Y changed
    void NoteCommitted(TZarvo *p);                 // after OldX or OldY changed
    void NoteChangedRect(const QRect &r);
    void Rebase(qsizetype entry) const;
    bool BaseValid() const;
    bool CompareWithEntry(qsizetype entry, std::vector<THistory::TChange> *changes);
    bool GoalMatches(const TZarvo *p, qint32 goal) const;
    void BuildGoals() const;
    template <typename F> void ForGoalsAt(TColRow cell, F visit) const;
    void CountGoals(int i, const TZarvo *p);
    void VerifyTrack() const; // debug builds: the record agrees with the pieces
    void DragSteps(TZarvo *p, int dx, int dy);
};

// Light and shadow: each colour channel +64 (255 from 192 on) or -64 (0 below
// 64); the fourth byte untouched; rect clipped to the picture.
void Lighten(QImage &picture, const TRect &rect);
void Darken(QImage &picture, const TRect &rect);

// Installs replacement puzzles from Data/New/ (settings and best lists carried over).
void MergeNewPuzzles();
