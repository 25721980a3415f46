#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QThread;

// The lists of the puzzle selection, built from the puzzle files alone (no
// picture is loaded), and the preview pictures with their cache files.

// One row of the puzzle list: the text the list shows
// ("rating;title;minimum;player's moves;file") and the puzzle file it opens.
// The file travels beside the text, so a ";" in a title or file name can
// never make the row open another puzzle.
struct TPuzzleRow
{
    QString Text;
    QString FileName;
};

struct TPuzzleList
{
    QString Player;               // the capitalised player name the rows were built for
    std::vector<TPuzzleRow> Rows; // sorted by text
    QStringList Players;          // every name of the best lists except "Minimum", sorted
};

// First character upper case, the rest lower case, at most 256 characters.
QString Capitalize(const QString &name);

// Scans every *.zrv file of dataDir. Puzzles without rating or title are
// left out of the rows; their names still reach the player list. What the
// list needs of each file is kept in PuzzleIndexFile, so only files that
// changed since the last build are read again.
TPuzzleList BuildPuzzleList(const QString &dataDir, const QString &playerName);

// The list's record of the puzzle files of dataDir, beside them.
QString PuzzleIndexFile(const QString &dataDir);

// The preview's cache picture beside the puzzle: name.zrv -> name.bmp.
QString PreviewCacheFile(const QString &dataDir, const QString &puzzleFile);

// The cached preview when it exists, is not older than the puzzle file, can
// be read and has exactly the preview area's size; a null image otherwise.
QImage LoadCachedPreview(const QString &dataDir, const QString &puzzleFile, QSize area);

// Where a board picture of bitmapSize lies in the preview area: centred with
// its proportions kept, the margin rounded half to even. Empty when either
// size is empty.
QRect FitPreviewRect(QSize area, QSize bitmapSize);

// The preview area filled with background and the board picture stretched
// into its fitted rectangle.
QImage ComposePreview(const QImage &boardPicture, QSize area, QColor background);

// Loads the puzzle into a board of its own (no game state), composes it and
// returns the preview of the area's size. Throws the board's load error.
QImage RenderPuzzlePreview(const QString &puzzleFile, QSize area, QColor background);

// Writes the preview as a Windows bitmap atomically; false when that fails.
bool SavePreviewCache(const QImage &preview, const QString &cacheFile);

// Builds missing preview pictures on a thread of its own, each on a board of
// its own, and writes them as cache files; the pictures reach the thread
// that made the builder through the queued signal Built. Only the newest
// request is built: one still waiting when another comes is dropped. The
// destructor drops what waits and waits for a build in progress, whose
// picture is then not delivered.
class TPreviewBuilder : public QObject
{
    Q_OBJECT

public:
    TPreviewBuilder();
    ~TPreviewBuilder() override;

    // Asks for the preview of dataDir + puzzleFile of the area's size;
    // returns the request's number, which Built carries.
    int Request(const QString &dataDir, const QString &puzzleFile, QSize area, QColor background);

    // Called on the building thread before each build; tests hold it there.
    static inline std::function<void(const QString &puzzleFile)> BeforeBuild;

Q_SIGNALS:
    // picture is null when the puzzle could not be loaded; error then holds
    // the board's load message.
    void Built(int request, const QString &puzzleFile, const QImage &picture, const QString &error);

private:
    struct TJob
    {
        int Number = 0;
        QString DataDir, PuzzleFile;
        QSize Area;
        QColor Background;
    };
    void Run();

    std::mutex FLock;
    std::condition_variable FWake;
    std::optional<TJob> FPending;
    bool FStop = false;
    int FLastNumber = 0;
    std::unique_ptr<QThread> FThread;
};
