// zarvos-cli play's script as a round trip: the script plays a bundled
// puzzle, and every game state it saves loads again as the same game.

#include "FuzzCommon.h"

#include "DataRoot.h"
#include "PlayScript.h"
#include "ZarvoError.h"

#include <QDir>

namespace {
// The state the file keeps: positions, counter and history.
void CheckSaved(const TZarvoPad &played, const QString &name)
{
    TZarvoGame back;
    try {
        back.Load(name, true);
    } catch (const EZarvoError &e) {
        FuzzFail(__FILE__, __LINE__, QStringLiteral("the saved game does not load: ") + e.Message);
    }
    const TZarvoPad &b = back.Board();
    FUZZ_CHECK(b.History == played.History,
               QStringLiteral("%1 entries saved, %2 read").arg(played.History.size()).arg(b.History.size()));
    FUZZ_CHECK(b.MoveIndex == played.MoveIndex,
               QStringLiteral("counter %1 saved, %2 read").arg(played.MoveIndex).arg(b.MoveIndex));
    FUZZ_CHECK(b.Solved == played.Solved && b.SolvedMoves == played.SolvedMoves,
               QStringLiteral("result"));
    FUZZ_CHECK(b.FileName == played.FileName, b.FileName);
    // The loaded game stands on the cells of its current entry.
    FUZZ_CHECK(b.SnapshotText() == played.History[played.MoveIndex],
               QStringLiteral("position of entry %1").arg(played.MoveIndex));
}
} // namespace

// The input: the first line names the puzzle ("[--grid] NAME"), the others
// are the script. Output of print and history goes nowhere.
int FuzzPlay(const uint8_t *data, size_t size)
{
    FuzzSetUp();
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size))
            .split(QLatin1Char('\n'));
    QStringList head = TPlayScript::Words(lines.first());
    const bool grid = !head.isEmpty() && head.first() == QLatin1String("--grid");
    if (grid)
        head.removeFirst();
    if (head.isEmpty())
        return 0;
    // What the script saves is not left for the next input.
    struct TClearHistory
    {
        ~TClearHistory()
        {
            QDir hist(DataRoot::HistDir());
            for (const QString &f : hist.entryList(QDir::Files | QDir::Hidden))
                hist.remove(f);
        }
    } clear;
    QString sink;
    QTextStream out(&sink);
    TPlayScript play(out, grid);
    try {
        play.Game.Load(head.join(QLatin1Char(' ')), false);
    } catch (const EZarvoError &) {
        return 0;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList words = TPlayScript::Words(lines[i]);
        if (words.isEmpty())
            continue;
        try {
            if (!play.Run(words))
                return 0; // zarvos-cli stops at an unknown command
        } catch (const EZarvoError &) {
            return 0; // and at a failing one, as a save into a folder
        }
        sink.clear();
        const TZarvoPad &pad = play.Game.Board();
        FUZZ_CHECK(pad.MoveIndex >= 0 && pad.MoveIndex < pad.History.size(),
                   QStringLiteral("counter %1 of %2").arg(pad.MoveIndex).arg(pad.History.size()));
        if (words.first() == QLatin1String("save"))
            CheckSaved(pad, words[1]);
    }
    return 0;
}
