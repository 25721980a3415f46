// zarvos-cli play: a game driven by commands on standard input: mouse input
// on the board and the menu's steps, played through the same game session as
// the puzzle window, so the window's rules are the ones tested here.

#include "Commands.h"
#include "PlayScript.h"
#include "ZarvoError.h"
#include "ZarvoRandom.h"

int CmdPlay(TCliContext &ctx, const QStringList &args)
{
    bool grid = false, state = false;
    QStringList names;
    bool badOption = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--grid"))
            grid = true;
        else if (a == QLatin1String("--state"))
            state = true;
        else if (a.startsWith(QLatin1String("--")))
            badOption = true;
        else
            names << a;
    }
    if (badOption || names.size() != 1) {
        ctx.Err << "usage: zarvos-cli [--root DIR] [--seed N] play [--grid] [--state] NAME\n";
        ctx.Err.flush();
        return 2;
    }
    if (ctx.HasSeed) {
        ZarvoRandom::SetSeed(ctx.Seed);
        ZarvoRandom::SetFixedSeed(true);
    }

    TPlayScript play(ctx.Out, grid);
    try {
        RequirePuzzleFile(names.first(), state);
        play.Game.Load(names.first(), state);
    } catch (const EZarvoError &e) {
        ctx.Err << OneLine(e.Message) << "\n";
        ctx.Err.flush();
        return 1;
    }

    QString line;
    while (ctx.In.readLineInto(&line)) {
        const QStringList words = TPlayScript::Words(line);
        if (words.isEmpty())
            continue;
        try {
            if (!play.Run(words)) {
                ctx.Out.flush();
                ctx.Err << "unknown command: " << line.trimmed() << "\n";
                ctx.Err.flush();
                return 2;
            }
        } catch (const EZarvoError &e) {
            ctx.Out.flush();
            ctx.Err << OneLine(e.Message) << "\n";
            ctx.Err.flush();
            return 1;
        }
    }
    ctx.Out.flush();
    return 0;
}
