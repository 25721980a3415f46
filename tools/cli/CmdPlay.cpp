// zarvos-cli play: a game driven by commands on standard input: mouse input
// on the board and the menu's steps, played through the same game session as
// the puzzle window, so the window's rules are the ones tested here.

#include "Commands.h"
#include "ZarvoError.h"
#include "ZarvoGame.h"
#include "ZarvoRandom.h"

#include <QRegularExpression>

namespace {

bool ToInt(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

// The pieces' current positions, "X,Y" each, in list order.
QString Positions(const TZarvoPad &pad)
{
    QStringList out;
    for (const auto &p : pad.ActivePieces())
        out << QStringLiteral("%1,%2").arg(p->X).arg(p->Y);
    return out.join(QLatin1Char(' '));
}

class TPlay
{
public:
    TPlay(TCliContext &ctx, bool grid) : Ctx(ctx)
    {
        Game.SnapToGrid = [grid] { return grid; };
    }

    // Runs one command line; false for a line that is not a command.
    bool Run(const QStringList &words)
    {
        TZarvoPad &pad = Game.Board();
        const QString cmd = words.first();
        const int n = int(words.size());
        if (cmd == QLatin1String("down") && n >= 3)
            return Down(words);
        if (cmd == QLatin1String("move") && (n == 3 || n == 4)) {
            int x, y;
            if (!ToInt(words[1], x) || !ToInt(words[2], y))
                return false;
            TShiftState shift = ssLeft;
            if (n == 4) {
                if (words[3] == QLatin1String("none"))
                    shift = 0;
                else if (words[3] != QLatin1String("left"))
                    return false;
            }
            pad.MouseMove(shift, x, y);
            return true;
        }
        if (cmd == QLatin1String("up") && n == 3) {
            int x, y;
            if (!ToInt(words[1], x) || !ToInt(words[2], y))
                return false;
            pad.MouseUp(Button, 0, x, y);
            return true;
        }
        // The menu's history steps: single steps.
        if (cmd == QLatin1String("undo") && n == 1) {
            Game.Undo(true);
            return true;
        }
        if (cmd == QLatin1String("redo") && n == 1) {
            Game.Redo(true);
            return true;
        }
        if (cmd == QLatin1String("restart") && n == 1) {
            Game.Restart();
            return true;
        }
        if (cmd == QLatin1String("goal") && n == 2) {
            if (words[1] != QLatin1String("on") && words[1] != QLatin1String("off"))
                return false;
            Game.ShowGoal(words[1] == QLatin1String("on"));
            return true;
        }
        if (cmd == QLatin1String("save") && n == 2) {
            pad.SaveGameState(words[1]);
            return true;
        }
        if (cmd == QLatin1String("print") && n == 1) {
            const TGameStatus s = Game.Status();
            Ctx.Out << "moves " << s.Moves << " entries " << s.Entries << " solved "
                    << (s.Solved ? 1 : 0) << "\n"
                    << Positions(pad) << "\n";
            Ctx.Out.flush();
            return true;
        }
        if (cmd == QLatin1String("history") && n == 1) {
            for (const QString &entry : pad.History)
                Ctx.Out << entry << "\n";
            Ctx.Out.flush();
            return true;
        }
        return false;
    }

    TZarvoGame Game;

private:
    bool Down(const QStringList &words)
    {
        int x, y;
        if (!ToInt(words[1], x) || !ToInt(words[2], y))
            return false;
        TMouseButton button = mbLeft;
        TShiftState shift = 0;
        for (int i = 3; i < words.size(); ++i) {
            const QString &w = words[i];
            if (w == QLatin1String("left"))
                button = mbLeft;
            else if (w == QLatin1String("right"))
                button = mbRight;
            else if (w == QLatin1String("middle"))
                button = mbMiddle;
            else if (w == QLatin1String("ctrl"))
                shift |= ssCtrl;
            else if (w == QLatin1String("dbl"))
                shift |= ssDouble;
            else
                return false;
        }
        shift |= button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle;
        Button = button;
        Game.Board().MouseDown(button, shift, x, y);
        return true;
    }

    TCliContext &Ctx;
    TMouseButton Button = mbLeft;
};

} // namespace

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

    TPlay play(ctx, grid);
    try {
        play.Game.Load(names.first(), state);
    } catch (const EZarvoError &e) {
        ctx.Err << OneLine(e.Message) << "\n";
        ctx.Err.flush();
        return 1;
    }

    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QString line;
    while (ctx.In.readLineInto(&line)) {
        const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
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
