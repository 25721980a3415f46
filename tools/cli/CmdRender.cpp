// zarvos-cli render: the picture a player sees after loading a puzzle (or a
// saved game), or its goal picture, as a PNG file.

#include "Commands.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QSaveFile>

int CmdRender(TCliContext &ctx, const QStringList &args)
{
    bool goal = false, state = false;
    QStringList positional;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--goal")) {
            goal = true;
        } else if (arg == QLatin1String("--state")) {
            state = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            ctx.Err << "render: unknown option " << arg << "\n";
            return 2;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2) {
        ctx.Err << "usage: zarvos-cli [--root DIR] render NAME OUT.png [--goal] [--state]\n";
        return 2;
    }

    TZarvoPad pad;
    try {
        RequirePuzzleFile(positional[0], state);
        pad.LoadPuzzle(positional[0], state);
    } catch (const EZarvoError &e) {
        ctx.Err << OneLine(e.Message) << "\n";
        return 1;
    }
    // The board as composed for play, not the pre-rendered faces.
    const QImage picture = goal ? pad.ObjectBitmap() : pad.ComposeBoard();

    QSaveFile file(positional[1]);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") ||
        !file.commit()) {
        ctx.Err << "render: cannot write " << positional[1] << "\n";
        return 1;
    }
    ctx.Out << positional[1] << ": " << picture.width() << " x " << picture.height() << "\n";
    return 0;
}
