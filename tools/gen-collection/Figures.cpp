// The figures of the collection, measured by the game's own solver: what the
// selection dialog shows as "Minimum" is what the rules of this game allow,
// and every Rating follows one rule from those figures. The help's table of
// the collection is written from the same figures.

#include "Collection.h"
#include "DataRoot.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QStringList Unshuffled(QStringList lines)
{
    for (QString &line : lines)
        if (line.startsWith(QLatin1String("AllwaysRandom=")))
            line = QStringLiteral("AllwaysRandom=0");
    return lines;
}

} // namespace

bool WriteFigures(const QString &dataDir, std::vector<TWrittenPuzzle> &puzzles)
{
    DataRoot::UseRoot(dataDir);
    try {
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    } catch (const EZarvoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message));
        return false;
    }
    std::printf("%-26s %6s %-7s %12s %6s %7s %-5s %8s\n", "puzzle", "moves", "proven", "positions",
                "forced", "score", "stars", "seconds");
    for (TWrittenPuzzle &p : puzzles) {
        TMeasureLimits limits;
        // Tile puzzles are proven by a search that keeps almost nothing in
        // memory: it may look at many more positions. A shuffled start needs
        // no proof, only a fair idea of its length.
        if (p.Tiles)
            limits.Solver.MaxPositions = p.Random ? 20'000'000 : 2'000'000'000;
        else
            limits.Solver.MaxPositions = 1'000'000;
        QElapsedTimer clock;
        clock.start();
        try {
            // A shuffled puzzle is measured in the start its file stores:
            // the game shuffles it the same way at every load.
            if (p.Random && !WriteTextFile(dataDir + "/Data/" + p.File, Unshuffled(p.Lines)))
                return false;
            TZarvoPad pad;
            pad.Constructing = true;
            pad.LoadPuzzle(p.File, false);
            p.Figures = MeasureDifficulty(TSolverBoard::FromPad(pad), limits);
        } catch (const EZarvoError &e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(p.File), qPrintable(e.Message));
            return false;
        }
        const TDifficulty &d = p.Figures;
        std::printf("%-26s %6d %-7s %12s %6d %7.1f %-5s %8.2f\n", qPrintable(p.File), d.Moves,
                    d.Proven ? "yes" : "no",
                    qPrintable(QString("10^%1").arg(d.Log10Positions(), 0, 'f', 2)), d.Forced,
                    d.Score(), qPrintable(d.Rating()), double(clock.elapsed()) / 1000.0);
        std::fflush(stdout);
        if (d.Moves < 0) {
            std::fprintf(stderr, "%s: no way to the goal found\n", qPrintable(p.File));
            return false;
        }
        QStringList lines = p.Lines;
        for (QString &line : lines)
            if (line.startsWith(QLatin1String("Rating=")))
                line = "Rating=" + d.Rating();
        if (d.Proven && !p.Random)
            lines << ""
                  << "[Solution]" << QStringLiteral("Best1=%1,Minimum").arg(d.Moves);
        if (!WriteTextFile(dataDir + "/Data/" + p.File, lines))
            return false;
    }
    return true;
}

namespace {

const QLocale German(QLocale::German, QLocale::Germany);

QString PositionsText(const TDifficulty &d)
{
    switch (d.Space) {
    case TDifficulty::Counted:
        return German.toString(d.Positions);
    case TDifficulty::AtLeast:
        return "mindestens " + German.toString(d.Positions);
    case TDifficulty::Arrangements:
        break;
    }
    const double l = d.Log10Positions();
    const int exponent = int(std::floor(l));
    return QStringLiteral("etwa %1 · 10<sup>%2</sup>")
        .arg(German.toString(std::pow(10.0, l - exponent), 'f', 1))
        .arg(exponent);
}

QString MinimumText(const TWrittenPuzzle &p)
{
    if (p.Random)
        return QStringLiteral("–");
    if (p.Figures.Proven)
        return QString::number(p.Figures.Moves);
    return QStringLiteral("höchstens %1").arg(p.Figures.Moves);
}

QString SpaceName(TDifficulty::TSpace space)
{
    switch (space) {
    case TDifficulty::Counted:
        return "counted";
    case TDifficulty::AtLeast:
        return "atleast";
    case TDifficulty::Arrangements:
        break;
    }
    return "arrangements";
}

struct TGroupText
{
    TGroup Group;
    const char *Heading, *Intro;
};

const TGroupText GroupTexts[] = {
    {TGroup::Classic, "Klassiker",
     "Überlieferte Schiebepuzzles mit ihren alten Aufstellungen, manche mit einem "
     "anderen Ziel. In der Spalte „ohne Schieben“ steht, wo bekannt, die Mindestzahl "
     "für Züge ohne Schieben, wie sie in Büchern steht."},
    {TGroup::Own, "Schiebepuzzles",
     "Puzzles eigens für Zarvos: Sie leben davon, was nur Zarvos kann – Ketten von "
     "Teilen schieben, feste Mauern im Brett, Teile aus mehreren Rechtecken und "
     "Zielfelder, die mehrere Teile annehmen."},
    {TGroup::Picture, "Bildpuzzles",
     "In der Form des <a href=\"experte.html\">Puzzleexperten</a>: Stelle das Bild "
     "wieder her. Ein Zug schiebt hier eine ganze Reihe oder Spalte von Teilen um ein "
     "Feld auf die Lücke zu."},
};

QString TableOf(const TGroupText &group, std::vector<const TWrittenPuzzle *> rows)
{
    // Easy ones first, as the selection list has them.
    std::stable_sort(rows.begin(), rows.end(), [](const auto *a, const auto *b) {
        if (a->Figures.Stars() != b->Figures.Stars())
            return a->Figures.Stars() < b->Figures.Stars();
        return a->Figures.Score() < b->Figures.Score();
    });
    const bool noPush = group.Group == TGroup::Classic;
    QString html = QStringLiteral("<h2>%1</h2>\n<p>%2</p>\n").arg(group.Heading, group.Intro);
    html += "<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\">\n<tr><th>Puzzle</th>"
            "<th>Schw.grad</th><th>Minimum</th>";
    if (noPush)
        html += "<th>ohne Schieben</th>";
    html += "<th>Stellungen</th><th>Zwangszüge</th><th>Was es ist</th></tr>\n";
    for (const TWrittenPuzzle *p : rows) {
        const TDifficulty &d = p->Figures;
        QString about = p->About.toHtmlEscaped();
        if (p->Random)
            about += QStringLiteral(" Jeder Start wird neu gemischt; der Schwierigkeitsgrad "
                                    "gilt für eine Mischung mit %1 Zügen.")
                         .arg(d.Moves);
        html += QStringLiteral("<tr data-file=\"%1\" data-moves=\"%2\" data-proven=\"%3\" "
                               "data-space=\"%4\" data-positions=\"%5\" data-cells=\"%6\" "
                               "data-forced=\"%7\">")
                    .arg(p->File.toHtmlEscaped())
                    .arg(d.Moves)
                    .arg(d.Proven ? 1 : 0)
                    .arg(SpaceName(d.Space))
                    .arg(d.Positions)
                    .arg(d.Cells)
                    .arg(d.Forced);
        html += QStringLiteral("<td>%1</td><td>%2</td><td>%3</td>")
                    .arg(p->Title.toHtmlEscaped(), d.Rating(), MinimumText(*p));
        if (noPush)
            html += "<td>" + (p->NoPush > 0 ? QString::number(p->NoPush) : "–") + "</td>";
        html += QStringLiteral("<td>%1</td><td>%2</td><td>%3</td></tr>\n")
                    .arg(PositionsText(d), d.Forced < 0 ? "–" : QString::number(d.Forced), about);
    }
    return html + "</table>\n";
}

} // namespace

bool WriteHelpTable(const QString &helpFile, const std::vector<TWrittenPuzzle> &puzzles)
{
    const QString begin = "<!-- gen-collection: begin -->\n";
    const QString end = "<!-- gen-collection: end -->\n";
    QFile in(helpFile);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString page = QString::fromUtf8(in.readAll());
    const qsizetype from = page.indexOf(begin), to = page.indexOf(end);
    if (from < 0 || to < from) {
        std::fprintf(stderr, "%s: the marks of the collection's table are missing\n",
                     qPrintable(helpFile));
        return false;
    }
    QString tables;
    for (const TGroupText &group : GroupTexts) {
        std::vector<const TWrittenPuzzle *> rows;
        for (const TWrittenPuzzle &p : puzzles)
            if (p.Group == group.Group)
                rows.push_back(&p);
        tables += TableOf(group, rows);
    }
    QSaveFile out(helpFile);
    return out.open(QIODevice::WriteOnly) &&
           out.write((page.left(from + begin.size()) + tables + page.mid(to)).toUtf8()) >= 0 &&
           out.commit();
}
