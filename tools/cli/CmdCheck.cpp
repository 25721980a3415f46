// zarvos-cli check: loads puzzles the way the game does and reports each.

#include "Commands.h"
#include "DataRoot.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"

#include <QDir>

int CmdCheck(TCliContext &ctx, const QStringList &args)
{
    QStringList names = args;
    if (names.isEmpty()) {
        QDir data(DataRoot::DataDir());
        data.setSorting(QDir::Name | QDir::IgnoreCase);
        names = data.entryList({QStringLiteral("*.zrv")}, QDir::Files);
    }
    int rc = 0;
    for (const QString &name : names) {
        TZarvoPad pad;
        try {
            RequirePuzzleFile(name, false);
            pad.LoadPuzzle(name, false);
            ctx.Out << name << ": ok pieces " << pad.Pieces.size() << " goal " << pad.Objects.size()
                    << "\n";
        } catch (const EZarvoError &e) {
            ctx.Out << name << ": " << OneLine(e.Message) << "\n";
            rc = 1;
        }
        ctx.Out.flush();
    }
    return rc;
}
