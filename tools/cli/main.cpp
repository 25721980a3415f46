// zarvos-cli: loads, plays, renders and solves puzzles without a window.
#include "Commands.h"
#include "DataRoot.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

void RequirePuzzleFile(const QString &name, bool state)
{
    const QString file = TZarvoPad::PuzzleFile(name);
    if (!state && !QFileInfo(file).isFile())
        throw EZarvoError(
            QStringLiteral("Fehler beim Laden der Zarvo-Datei\rDas Puzzle \u201E%1\u201C "
                           "gibt es nicht: %2")
                .arg(name, QDir::toNativeSeparators(file)));
}

QString OneLine(const QString &message)
{
    QString s = message;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    s.replace(QLatin1Char('\r'), QStringLiteral(" | "));
    s.replace(QLatin1Char('\n'), QStringLiteral(" | "));
    return s;
}

static int Usage(QTextStream &err)
{
    err << "usage: zarvos-cli [--root DIR] [--seed N] check [NAME...]\n"
           "       zarvos-cli [--root DIR] [--seed N] play [--grid] [--state] NAME\n"
           "       zarvos-cli [--root DIR] render NAME OUT.png [--goal] [--state]\n"
           "       zarvos-cli [--root DIR] [--seed N] solve [--state] [--script] "
           "[--max-positions N] NAME\n";
    err.flush();
    return 2;
}

int main(int argc, char *argv[])
{
    // Captions are drawn with real fonts, which needs a GUI application but
    // never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTextStream out(stdout), err(stderr), in(stdin);
    TCliContext ctx{out, err, in};
    QStringList args = app.arguments().mid(1);
    QString root;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--root") && !args.isEmpty()) {
            root = args.takeFirst();
        } else if (opt == QLatin1String("--seed") && !args.isEmpty()) {
            bool ok = false;
            ctx.Seed = args.takeFirst().toUInt(&ok);
            if (!ok)
                return Usage(err);
            ctx.HasSeed = true;
        } else {
            return Usage(err);
        }
    }
    if (args.isEmpty())
        return Usage(err);

    if (root.isEmpty())
        DataRoot::Init();
    else
        DataRoot::UseRoot(QDir(root).absolutePath());
    DataRoot::RemoveInterruptedSaves(); // what saves cut off by a kill left behind
    try {
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    } catch (const EZarvoError &e) {
        err << OneLine(e.Message) << "\n";
        return 1;
    }

    const QString command = args.takeFirst();
    int rc = 2;
    if (command == QLatin1String("check"))
        rc = CmdCheck(ctx, args);
    else if (command == QLatin1String("play"))
        rc = CmdPlay(ctx, args);
    else if (command == QLatin1String("render"))
        rc = CmdRender(ctx, args);
    else if (command == QLatin1String("solve"))
        rc = CmdSolve(ctx, args);
    else
        rc = Usage(err);
    out.flush();
    err.flush();
    return rc;
}
