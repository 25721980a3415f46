// zarvos-cli play: a game driven by commands on standard input, acting as a
// puzzle window would on mouse input, menu steps and its own buttons.

#include "Commands.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
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
    TPlay(TCliContext &ctx, bool grid) : Ctx(ctx), Grid(grid)
    {
        Pad.OnMoved = [this](TZarvoPad &) { UpdateMain(); };
    }

    // Runs one command line; false for a line that is not a command.
    bool Run(const QStringList &words)
    {
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
            Pad.MouseMove(shift, x, y);
            return true;
        }
        if (cmd == QLatin1String("up") && n == 3) {
            int x, y;
            if (!ToInt(words[1], x) || !ToInt(words[2], y))
                return false;
            Pad.MouseUp(Button, 0, x, y);
            return true;
        }
        if (cmd == QLatin1String("undo") && n == 1) {
            if (UndoAllowed())
                GoTo(UndoTarget(Pad.MoveIndex, RepeatCount, true));
            return true;
        }
        if (cmd == QLatin1String("redo") && n == 1) {
            if (RedoAllowed())
                GoTo(RedoTarget(Pad.MoveIndex, int(Pad.History.size()), RepeatCount, true));
            return true;
        }
        if (cmd == QLatin1String("restart") && n == 1) {
            // "Neustart" of an unfinished game: enabled exactly when undo is.
            if (UndoAllowed())
                GoTo(0);
            return true;
        }
        if (cmd == QLatin1String("goal") && n == 2) {
            if (words[1] == QLatin1String("on"))
                Pad.ShowObject = true;
            else if (words[1] == QLatin1String("off"))
                Pad.ShowObject = false;
            else
                return false;
            Pad.Redraw();
            return true;
        }
        if (cmd == QLatin1String("save") && n == 2) {
            Pad.SaveGameState(words[1]);
            return true;
        }
        if (cmd == QLatin1String("print") && n == 1) {
            const bool solved = !Pad.ShowObject && Pad.IsSolved();
            Ctx.Out << "moves " << Pad.MoveIndex << " entries " << Pad.History.size() << " solved "
                    << (solved ? 1 : 0) << "\n"
                    << Positions(Pad) << "\n";
            Ctx.Out.flush();
            return true;
        }
        if (cmd == QLatin1String("history") && n == 1) {
            for (const QString &entry : Pad.History)
                Ctx.Out << entry << "\n";
            Ctx.Out.flush();
            return true;
        }
        return false;
    }

    TZarvoPad Pad;

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
        Pad.MouseDown(button, shift, x, y);
        return true;
    }

    bool UndoAllowed() const { return Pad.MoveIndex > 0 && !Pad.ShowObject; }
    bool RedoAllowed() const { return Pad.History.size() != Pad.MoveIndex + 1 && !Pad.ShowObject; }

    // Undo, redo and restart: a new current entry, its position, and no
    // piece counts as the last one moved any more, so the next drag adds a
    // move instead of replacing the entry just reached.
    void GoTo(int index)
    {
        Pad.MoveIndex = index;
        Pad.LastMoved = -1;
        Pad.RestorePosition(index);
        Pad.Redraw();
        UpdateMain();
    }

    // What the puzzle window does after a drag or a history step: with
    // "Teile automatisch einrasten" every piece sits on its recorded cell.
    void UpdateMain()
    {
        if (Grid && !Pad.ShowObject) {
            Pad.RestorePosition(Pad.MoveIndex);
            Pad.Redraw();
        }
    }

    TCliContext &Ctx;
    bool Grid;
    TMouseButton Button = mbLeft;
    int RepeatCount = 0;
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
        play.Pad.LoadPuzzle(names.first(), state);
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
