// zarvos-cli play's commands on a game session: mouse input on the board and
// the menu's steps, played through the same session as the puzzle window, so
// the window's rules are the ones a script tests.

#include "PlayScript.h"

#include "Demonstration.h"
#include "ZarvoError.h"

#include <QHash>
#include <QPoint>
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

} // namespace

TPlayScript::TPlayScript(QTextStream &out, bool grid) : Out(out)
{
    Game.SnapToGrid = [grid] { return grid; };
}

QStringList TPlayScript::Words(const QString &line)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return line.split(blanks, Qt::SkipEmptyParts);
}

bool TPlayScript::Run(const QStringList &words)
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
    // The board's keys: Tab, Shift+Tab and the arrows.
    if (cmd == QLatin1String("key") && n == 2) {
        static const QHash<QString, QPoint> arrows{{QStringLiteral("left"), {-1, 0}},
                                                   {QStringLiteral("right"), {1, 0}},
                                                   {QStringLiteral("up"), {0, -1}},
                                                   {QStringLiteral("down"), {0, 1}}};
        if (words[1] == QLatin1String("tab") || words[1] == QLatin1String("backtab"))
            Game.SelectNext(words[1] == QLatin1String("tab"));
        else if (arrows.contains(words[1]))
            Game.MoveSelected(arrows[words[1]].x(), arrows[words[1]].y());
        else
            return false;
        return true;
    }
    if (cmd == QLatin1String("save") && n == 2) {
        pad.SaveGameState(words[1]);
        return true;
    }
    if (cmd == QLatin1String("print") && n == 1) {
        const TGameStatus s = Game.Status();
        Out << "moves " << s.Moves << " entries " << s.Entries << " solved " << (s.Solved ? 1 : 0)
            << "\n"
            << Positions(pad) << "\n";
        Out.flush();
        return true;
    }
    // The solver's help, as the window's menu gives it.
    if ((cmd == QLatin1String("hint") || cmd == QLatin1String("needed") ||
         cmd == QLatin1String("demo")) &&
        n == 1) {
        Help(cmd);
        return true;
    }
    if (cmd == QLatin1String("history") && n == 1) {
        for (const QString &entry : pad.History)
            Out << entry << "\n";
        Out.flush();
        return true;
    }
    return false;
}

// Prints the command, the solver's outcome with the moves still needed, and
// what was done: the hinted drag (piece, then the cells its first part
// passes) or the moves played.
void TPlayScript::Help(const QString &cmd)
{
    const TSolverAnswer answer = Game.Solver().AskNow(Game.Board());
    if (!answer.Error.isEmpty())
        throw EZarvoError(answer.Error);
    Out << cmd << " " << SolveOutcomeName(answer.Outcome);
    if (answer.Found())
        Out << " " << answer.Moves;
    TSolverHint hint;
    if (cmd == QLatin1String("hint") && Game.Hint(answer, hint)) {
        const TSolverMove &move = answer.Path.front();
        Out << " piece " << move.Piece << " path";
        QPoint cell = answer.Position[size_t(move.Piece)];
        for (const QPoint &s : move.Steps) {
            cell += s;
            Out << " " << cell.x() << "," << cell.y();
        }
    } else if (cmd == QLatin1String("demo")) {
        TDemonstration demo(Game, answer, 1, 0);
        while (demo.Tick()) {
        }
        Out << " played " << demo.MovesDone();
        if (demo.Failed())
            Out << " failed";
    }
    Out << "\n";
    Out.flush();
}

bool TPlayScript::Down(const QStringList &words)
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
