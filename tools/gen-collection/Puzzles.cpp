#include "Collection.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

// The piece types and the puzzles of the collection. Layouts are written as
// (column, row) from the playing field's top-left corner.

namespace {

struct TTypeDef
{
    QString Name;
    std::vector<QPoint> Cells; // in reading order; the first is the origin
    bool Compound = false;     // one rectangle per cell, joined sides without bevel
};

TTypeDef Block(const QString &name, int w, int h)
{
    TTypeDef t{name, {}, false};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t.Cells.push_back(QPoint(x, y));
    return t;
}

TTypeDef Shape(const QString &name, std::vector<QPoint> cells)
{
    return TTypeDef{name, std::move(cells), true};
}

const std::vector<TTypeDef> &Types()
{
    static const std::vector<TTypeDef> types = {
        Block("Zarvo11", 1, 1),
        Block("Zarvo12", 1, 2),
        Block("Zarvo21", 2, 1),
        Block("Zarvo22", 2, 2),
        Block("Zarvo13", 1, 3),
        Block("Zarvo31", 3, 1),
        Block("Zarvo23", 2, 3),
        Block("Zarvo32", 3, 2),
        // Angles of three cells, named by the corner of their 2 x 2 box that
        // stays empty: Winkel1 bottom left, Winkel2 top right, Winkel3 bottom right.
        Shape("Winkel1", {{0, 0}, {1, 0}, {1, 1}}),
        Shape("Winkel2", {{0, 0}, {0, 1}, {1, 1}}),
        Shape("Winkel3", {{0, 0}, {1, 0}, {0, 1}}),
        // A T of four cells, stem down.
        Shape("ZarvoT", {{0, 0}, {1, 0}, {2, 0}, {1, 1}}),
    };
    return types;
}

const TTypeDef &Type(const QString &name)
{
    for (const TTypeDef &t : Types())
        if (t.Name == name)
            return t;
    std::fprintf(stderr, "unknown piece type %s\n", qPrintable(name));
    std::abort();
}

QStringList TypeFileLines()
{
    QStringList lines;
    lines << "; Zarvos piece types: one section per type."
          << "; Zarvo<n>=x,y,width,height,edges (units from the piece's origin;"
          << "; edges top, right, bottom, left: 0 = no bevel where the piece continues)";
    for (const TTypeDef &t : Types()) {
        lines << ""
              << "[" + t.Name + "]";
        if (!t.Compound) {
            const QPoint last = t.Cells.back();
            lines << "Count=1"
                  << QString("Zarvo1=0,0,%1,%2,1111").arg(last.x() + 1).arg(last.y() + 1);
            continue;
        }
        QSet<quint64> cells;
        auto id = [](QPoint p) { return (quint64(quint32(p.x())) << 32) | quint32(p.y()); };
        for (QPoint c : t.Cells)
            cells.insert(id(c));
        lines << QString("Count=%1").arg(t.Cells.size());
        int n = 0;
        for (QPoint c : t.Cells) {
            auto edge = [&](int dx, int dy) {
                return cells.contains(id(c + QPoint(dx, dy))) ? QChar('0') : QChar('1');
            };
            const QString edges = QString(edge(0, -1)) + edge(1, 0) + edge(0, 1) + edge(-1, 0);
            lines << QString("Zarvo%1=%2,%3,1,1,%4").arg(++n).arg(c.x()).arg(c.y()).arg(edges);
        }
    }
    return lines;
}

// ---- puzzles ----

struct TStartDef
{
    QString Type, Caption;
    int Col = 0, Row = 0;
    TMaterial Material = TMaterial::Maple;
    bool Movable = true;
    int ImgCol = -1, ImgRow = -1; // where the face lies; -1: on the start cell
    QPoint Image() const { return ImgCol < 0 ? QPoint(Col, Row) : QPoint(ImgCol, ImgRow); }
};

struct TGoalDef
{
    QString Type, Caption;
    int Col = 0, Row = 0;
};

struct TPuzzle
{
    QString Id;   // names the pictures made for this puzzle
    QString File; // in Data/
    QString Title, Info, Rating;
    int Unit = 64;
    int FrameW = 4, FrameH = 5;
    int Margin = 1; // units of board around the field on every side
    QString Back;   // board texture in Image/
    int Border = 3;
    int FontSize = 12;
    QColor FontColor = Qt::white;
    int FontStyle = 1;
    bool Random = false;
    std::vector<TStartDef> Start;
    std::vector<TGoalDef> Goal;
};

TStartDef P(const QString &type, int col, int row, TMaterial m = TMaterial::Maple,
            const QString &caption = QString())
{
    return TStartDef{type, caption, col, row, m, true};
}

TStartDef Fixed(const QString &type, int col, int row)
{
    return TStartDef{type, QString(), col, row, TMaterial::Slate, false};
}

int ColorValue(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

std::uint32_t SeedOf(const QString &text, int extra)
{
    std::uint32_t h = 2166136261u;
    for (QChar ch : text)
        h = (h ^ ch.unicode()) * 16777619u;
    return h ^ std::uint32_t(extra * 0x9E3779B1u);
}

// Light lines along the top and left edges of the fixed cells' outline and
// shadow lines along the bottom and right edges, so that each obstacle looks
// raised out of the board.
void ObstacleLines(const TPuzzle &p, QStringList &light, QStringList &shadow)
{
    QSet<int> fixed;
    for (const TStartDef &s : p.Start)
        if (!s.Movable)
            for (QPoint c : Type(s.Type).Cells)
                fixed.insert((s.Row + c.y()) * 100 + s.Col + c.x());
    auto isFixed = [&](int x, int y) { return fixed.contains(y * 100 + x); };
    // Horizontal runs: tops (light) and bottoms (shadow).
    for (int y = 0; y < p.FrameH; ++y) {
        for (int pass = 0; pass < 2; ++pass) {
            const int ny = pass == 0 ? y - 1 : y + 1;
            const int lineY = pass == 0 ? y : y + 1;
            int x = 0;
            while (x < p.FrameW) {
                if (isFixed(x, y) && !isFixed(x, ny)) {
                    int x2 = x;
                    while (x2 < p.FrameW && isFixed(x2, y) && !isFixed(x2, ny))
                        ++x2;
                    (pass == 0 ? light : shadow)
                        << QString("%1,%2,%3,%4,0").arg(x).arg(lineY).arg(x2).arg(lineY);
                    x = x2;
                } else {
                    ++x;
                }
            }
        }
    }
    // Vertical runs: left sides (light) and right sides (shadow).
    for (int x = 0; x < p.FrameW; ++x) {
        for (int pass = 0; pass < 2; ++pass) {
            const int nx = pass == 0 ? x - 1 : x + 1;
            const int lineX = pass == 0 ? x : x + 1;
            int y = 0;
            while (y < p.FrameH) {
                if (isFixed(x, y) && !isFixed(nx, y)) {
                    int y2 = y;
                    while (y2 < p.FrameH && isFixed(x, y2) && !isFixed(nx, y2))
                        ++y2;
                    (pass == 0 ? light : shadow)
                        << QString("%1,%2,%3,%4,0").arg(lineX).arg(y).arg(lineX).arg(y2);
                    y = y2;
                } else {
                    ++y;
                }
            }
        }
    }
}

QString LineList(const QStringList &lines)
{
    if (lines.isEmpty())
        return "0";
    return QString::number(lines.size()) + "," + lines.join(',');
}

QString ImageDir(const QString &dataDir)
{
    return dataDir + "/Image/";
}

bool WritePuzzle(const QString &dataDir, const TPuzzle &p, QStringList &f)
{
    const int backW = p.FrameW + 2 * p.Margin, backH = p.FrameH + 2 * p.Margin;
    const int u = p.Unit;
    QStringList light, shadow;
    ObstacleLines(p, light, shadow);
    const bool ownBoard = !light.isEmpty();

    // The board: the texture tiled, with the fixed cells painted as stone
    // when the puzzle has obstacles.
    QString backName = p.Back;
    if (ownBoard) {
        QImage tile(ImageDir(dataDir) + p.Back);
        QImage board = NewImage(backW * u, backH * u);
        for (int y = 0; y < board.height(); y += tile.height())
            for (int x = 0; x < board.width(); x += tile.width())
                for (int ty = 0; ty < tile.height() && y + ty < board.height(); ++ty)
                    for (int tx = 0; tx < tile.width() && x + tx < board.width(); ++tx)
                        board.setPixel(x + tx, y + ty, tile.pixel(tx, ty));
        // All fixed cells as one stone, so that neighbouring walls show no seam.
        std::vector<QRect> cells;
        QRect bounds;
        for (const TStartDef &s : p.Start) {
            if (s.Movable)
                continue;
            for (QPoint c : Type(s.Type).Cells) {
                const QRect r((p.Margin + s.Col + c.x()) * u, (p.Margin + s.Row + c.y()) * u, u, u);
                cells.push_back(r);
                bounds = bounds.united(r);
            }
        }
        PaintPieceFace(board, bounds, cells, TMaterial::Slate, SeedOf(p.Id, 1000));
        backName = "Brett-" + p.Id + ".jpg";
        if (!SavePicture(board, ImageDir(dataDir) + backName, 88))
            return false;
    }

    // The piece sheet: every movable piece's face at its start cells, which
    // are also its picture cells.
    QImage sheet = NewImage(p.FrameW * u, p.FrameH * u);
    int n = 0;
    for (const TStartDef &s : p.Start) {
        if (!s.Movable)
            continue;
        std::vector<QRect> cells;
        QRect bounds;
        for (QPoint c : Type(s.Type).Cells) {
            const QRect r((s.Image().x() + c.x()) * u, (s.Image().y() + c.y()) * u, u, u);
            cells.push_back(r);
            bounds = bounds.united(r);
        }
        PaintPieceFace(sheet, bounds, cells, s.Material, SeedOf(p.Id, n++));
    }
    const QString sheetName = "Teile-" + p.Id + ".jpg";
    if (!SavePicture(sheet, ImageDir(dataDir) + sheetName, 90))
        return false;

    f.clear();
    f << "[Pad]"
      << "ImgBack=" + backName << "ImgZarvos=" + sheetName << QString("UnitSize=%1").arg(u)
      << QString("Border=%1").arg(p.Border) << "FontName=Arial"
      << QString("FontSize=%1").arg(p.FontSize)
      << QString("FontColor=%1").arg(ColorValue(p.FontColor))
      << QString("FontStyle=%1").arg(p.FontStyle) << "DisableProp=0"
      << QString("BackSize=%1,%2").arg(backW).arg(backH)
      << QString("ZarvoSize=%1,%2").arg(p.FrameW).arg(p.FrameH) << "Offset=-1,-1"
      << "ImgZarvosOffset=-1,-1" << QString("FrameSize=%1,%2").arg(p.FrameW).arg(p.FrameH)
      << "DrawFrame=1"
      << "NoZarvoCaption=0"
      << "NoZarvoBorder=0" << QString("AllwaysRandom=%1").arg(p.Random ? 1 : 0)
      << "BorderLi=" + LineList(light) << "BorderSh=" + LineList(shadow) << ""
      << "[Start]";
    n = 0;
    for (const TStartDef &s : p.Start)
        f << QString("Zarvo%1=%2,%3,%4,%5,%6,%7,%8")
                 .arg(++n)
                 .arg(s.Type, s.Caption)
                 .arg(s.Col)
                 .arg(s.Row)
                 .arg(s.Image().x())
                 .arg(s.Image().y())
                 .arg(s.Movable ? 1 : 0);
    f << QString("Count=%1").arg(n) << ""
      << "[Object]";
    n = 0;
    for (const TGoalDef &g : p.Goal) {
        // The goal piece shows the face of the piece that should stand there.
        const QString first = g.Caption.section('/', 0, 0);
        QPoint image(g.Col, g.Row);
        for (const TStartDef &s : p.Start)
            if (s.Movable && s.Type == g.Type && s.Caption == first) {
                image = s.Image();
                break;
            }
        f << QString("Zarvo%1=%2,%3,%4,%5,%6,%7,1")
                 .arg(++n)
                 .arg(g.Type, g.Caption)
                 .arg(g.Col)
                 .arg(g.Row)
                 .arg(image.x())
                 .arg(image.y());
    }
    f << QString("Count=%1").arg(n) << ""
      << "[Info]"
      << "Title=" + p.Title << "ObjectInfo=" + p.Info << "Rating=" + p.Rating;
    return WriteTextFile(dataDir + "/Data/" + p.File, f);
}

std::vector<int> EvenShuffle(int count, int swaps, std::uint32_t seed);

// ---- picture puzzles, in the form the puzzle expert writes ----

struct TPicturePuzzle
{
    QString File, Title, Picture, Back;
    int PartsX = 3, PartsY = 3, Unit = 100, Margin = 2, Border = 3;
    bool Numbers = false;
    int FontSize = 12;
    QColor FontColor = Qt::white;
    int Swaps = 100; // an even number keeps the start solvable
};

bool WritePicturePuzzle(const QString &dataDir, const TPicturePuzzle &p, std::uint32_t seed,
                        QStringList &f)
{
    const int count = p.PartsX * p.PartsY - 1;
    const std::vector<int> at = EvenShuffle(count, p.Swaps, seed);
    std::vector<QPoint> cell(static_cast<size_t>(count)), start(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        cell[size_t(i)] = QPoint(i % p.PartsX, i / p.PartsX);
        start[size_t(i)] = QPoint(at[size_t(i)] % p.PartsX, at[size_t(i)] / p.PartsX);
    }
    f.clear();
    f << "[Pad]"
      << "ImgBack=" + p.Back << "ImgZarvos=" + p.Picture << QString("UnitSize=%1").arg(p.Unit)
      << QString("Border=%1").arg(p.Border);
    if (p.Numbers)
        f << "FontName=Arial" << QString("FontSize=%1").arg(p.FontSize)
          << QString("FontColor=%1").arg(ColorValue(p.FontColor)) << "FontStyle=1";
    f << "DisableProp=1"
      << QString("BackSize=%1,%2").arg(p.PartsX + p.Margin).arg(p.PartsY + p.Margin)
      << QString("ZarvoSize=%1,%2").arg(p.PartsX).arg(p.PartsY) << "Offset=-1,-1"
      << "ImgZarvosOffset=-1,-1" << QString("FrameSize=%1,%2").arg(p.PartsX).arg(p.PartsY)
      << "DrawFrame=1"
      << "NoZarvoCaption=0"
      << "NoZarvoBorder=0"
      << "AllwaysRandom=0"
      << ""
      << "[Start]";
    for (int i = 0; i < count; ++i)
        f << QString("Zarvo%1=Zarvo11,%2,%3,%4,%5,%6,1")
                 .arg(i + 1)
                 .arg(p.Numbers ? QString::number(i + 1) : QString())
                 .arg(start[size_t(i)].x())
                 .arg(start[size_t(i)].y())
                 .arg(cell[size_t(i)].x())
                 .arg(cell[size_t(i)].y());
    f << QString("Count=%1").arg(count) << ""
      << "[Object]";
    for (int i = 0; i < count; ++i)
        f << QString("Zarvo%1=Zarvo11,%2,%3,%4,%3,%4,0")
                 .arg(i + 1)
                 .arg(p.Numbers ? QString::number(i + 1) : QString())
                 .arg(cell[size_t(i)].x())
                 .arg(cell[size_t(i)].y());
    f << QString("Count=%1").arg(count) << ""
      << "[Info]"
      << "Title=" + p.Title << "ObjectInfo=Stelle das Bild wieder her"
      << "Rating=*";
    return WriteTextFile(dataDir + "/Data/" + p.File, f);
}

// The cells (reading-order indexes) the pieces 0..count-1 stand on after
// swaps exchanges of two different pieces, drawn from the game's random
// generator; an even number of exchanges leaves an even permutation, which
// sliding can always bring back home.
std::vector<int> EvenShuffle(int count, int swaps, std::uint32_t seed)
{
    auto random = [&seed](std::uint32_t n) {
        seed = seed * 134775813u + 1u;
        return int((std::uint64_t(seed) * n) >> 32);
    };
    std::vector<int> at(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        at[size_t(i)] = i;
    for (int done = 0; done < swaps;) {
        const int a = random(std::uint32_t(count)), b = random(std::uint32_t(count));
        if (a == b)
            continue;
        std::swap(at[size_t(a)], at[size_t(b)]);
        ++done;
    }
    return at;
}

std::vector<TPuzzle> Classics()
{
    using M = TMaterial;
    std::vector<TPuzzle> list;
    {
        TPuzzle p;
        p.Id = "RoterEsel";
        p.File = "Roter Esel.zrv";
        p.Title = "Roter Esel";
        p.Info = "Bringe den roten Esel nach unten in die Mitte.";
        p.Rating = "****";
        p.Back = "Nussbaum.jpg";
        p.FontSize = 14;
        p.Start = {P("Zarvo22", 1, 0, M::RedLacquer, "Esel"),
                   P("Zarvo12", 0, 0, M::Maple),
                   P("Zarvo12", 3, 0, M::Maple),
                   P("Zarvo12", 0, 2, M::Maple),
                   P("Zarvo12", 3, 2, M::Maple),
                   P("Zarvo21", 1, 2, M::Cherry),
                   P("Zarvo11", 1, 3, M::Maple),
                   P("Zarvo11", 2, 3, M::Maple),
                   P("Zarvo11", 0, 4, M::Maple),
                   P("Zarvo11", 3, 4, M::Maple)};
        p.Goal = {{"Zarvo22", "Esel", 1, 3}};
        list.push_back(p);
    }
    auto pennant = [&](bool shortOne) {
        TPuzzle p;
        p.Id = shortOne ? "Wimpel2" : "Wimpel";
        p.File = shortOne ? "Wimpel 2.zrv" : "Wimpel.zrv";
        p.Title = shortOne ? "Wimpel (kurz)" : "Wimpel";
        p.Info = shortOne ? "Bringe den blauen Wimpel nach rechts unten."
                          : "Bringe den blauen Wimpel nach links unten.";
        p.Rating = shortOne ? "**" : "***";
        p.Back = "Filz.jpg";
        p.FontSize = 13;
        p.Start = {P("Zarvo22", 0, 0, M::BlueLacquer, "Wimpel"),
                   P("Zarvo21", 2, 0, M::Ivory),
                   P("Zarvo21", 2, 1, M::Ivory),
                   P("Zarvo21", 2, 3, M::Ivory),
                   P("Zarvo21", 2, 4, M::Ivory),
                   P("Zarvo11", 0, 2, M::Walnut),
                   P("Zarvo11", 1, 2, M::Walnut),
                   P("Zarvo12", 0, 3, M::Cherry),
                   P("Zarvo12", 1, 3, M::Cherry)};
        p.Goal = {{"Zarvo22", "Wimpel", shortOne ? 2 : 0, 3}};
        return p;
    };
    list.push_back(pennant(false));
    list.push_back(pennant(true));
    {
        TPuzzle p;
        p.Id = "Jahrhundert";
        p.File = "Jahrhundert.zrv";
        p.Title = "Jahrhundert";
        p.Info = "Bringe den goldenen Block nach unten in die Mitte.";
        p.Rating = "*****";
        p.Back = "Stein.jpg";
        p.FontSize = 14;
        p.FontColor = QColor(60, 30, 0);
        p.Start = {P("Zarvo22", 1, 0, M::Gold, "100"), P("Zarvo11", 0, 0, M::Walnut),
                   P("Zarvo11", 3, 0, M::Walnut),      P("Zarvo11", 0, 3, M::Walnut),
                   P("Zarvo11", 3, 3, M::Walnut),      P("Zarvo12", 0, 1, M::Cherry),
                   P("Zarvo12", 3, 1, M::Cherry),      P("Zarvo12", 1, 2, M::Cherry),
                   P("Zarvo21", 0, 4, M::Maple),       P("Zarvo21", 2, 4, M::Maple)};
        p.Goal = {{"Zarvo22", "100", 1, 3}};
        list.push_back(p);
    }
    {
        TPuzzle p;
        p.Id = "SuperJahrhundert";
        p.File = "Super-Jahrhundert.zrv";
        p.Title = "Super-Jahrhundert";
        p.Info = "Bringe den goldenen Block in die Mitte der unteren zwei Reihen.";
        p.Rating = "*****";
        p.Back = "Schiefer.jpg";
        p.FontSize = 14;
        p.FontColor = QColor(60, 30, 0);
        p.Start = {P("Zarvo11", 1, 0, M::Maple),  P("Zarvo11", 2, 0, M::Maple),
                   P("Zarvo11", 3, 0, M::Maple),  P("Zarvo11", 3, 3, M::Maple),
                   P("Zarvo12", 0, 0, M::Walnut), P("Zarvo12", 1, 1, M::Walnut),
                   P("Zarvo12", 0, 2, M::Walnut), P("Zarvo22", 2, 1, M::Gold, "100"),
                   P("Zarvo21", 1, 3, M::Cherry), P("Zarvo21", 2, 4, M::Cherry)};
        p.Goal = {{"Zarvo22", "100", 1, 3}};
        list.push_back(p);
    }
    {
        TPuzzle p;
        p.Id = "Quzzle";
        p.File = "Quzzle.zrv";
        p.Title = "Quzzle";
        p.Info = "Bringe den grünen Block nach rechts oben.";
        p.Rating = "****";
        p.Back = "Filz-blau.jpg";
        p.FontSize = 14;
        p.Start = {P("Zarvo22", 0, 0, M::Jade, "Q"), P("Zarvo21", 2, 0, M::Maple),
                   P("Zarvo21", 1, 3, M::Maple),     P("Zarvo21", 1, 4, M::Maple),
                   P("Zarvo12", 2, 1, M::Cherry),    P("Zarvo12", 3, 1, M::Cherry),
                   P("Zarvo12", 0, 3, M::Cherry),    P("Zarvo11", 3, 3, M::Walnut),
                   P("Zarvo11", 3, 4, M::Walnut)};
        p.Goal = {{"Zarvo22", "Q", 2, 0}};
        list.push_back(p);
    }
    {
        TPuzzle p;
        p.Id = "Ma";
        p.File = "Ma-Puzzle.zrv";
        p.Title = "Ma's Puzzle";
        p.Info = "Füge die beiden grünen Winkel rechts oben zu einem Rechteck zusammen.";
        p.Rating = "**";
        p.Back = "Nussbaum.jpg";
        p.FontSize = 13;
        p.Start = {P("Zarvo31", 0, 0, M::Walnut),   P("Zarvo31", 2, 3, M::Walnut),
                   P("Zarvo21", 0, 1, M::Cherry),   P("Zarvo21", 2, 1, M::Cherry),
                   P("Zarvo21", 1, 2, M::Cherry),   P("Zarvo21", 3, 2, M::Cherry),
                   P("Zarvo11", 2, 4, M::Maple),    P("Winkel1", 3, 0, M::Jade, "A"),
                   P("Winkel2", 0, 2, M::Jade, "B")};
        p.FrameW = 5;
        p.FrameH = 5;
        p.Goal = {{"Winkel1", "A", 3, 0}, {"Winkel2", "B", 3, 1}};
        list.push_back(p);
    }
    auto numbers = [&](int n) {
        TPuzzle p;
        p.Id = n == 3 ? "Achterspiel" : "Fuenfzehnerspiel";
        p.File = n == 3 ? "Achterspiel.zrv" : "Fuenfzehnerspiel.zrv";
        p.Title = n == 3 ? "Achterspiel" : "Fünfzehnerspiel";
        p.Info = "Ordne die Zahlen der Reihe nach; das Loch bleibt rechts unten.";
        p.Rating = n == 3 ? "*" : "**";
        p.Back = "Stein.jpg";
        p.FrameW = n;
        p.FrameH = n;
        p.Unit = n == 3 ? 80 : 64;
        p.FontSize = n == 3 ? 22 : 18;
        p.FontColor = QColor(70, 35, 10);
        p.Random = true;
        // Each tile's face lies on its home cell; the stored start is just
        // one even arrangement, the game shuffles it at every start anyway.
        const int tiles = n * n - 1;
        const std::vector<int> at = EvenShuffle(tiles, 100, std::uint32_t(n * 7919));
        for (int i = 0; i < tiles; ++i) {
            TStartDef s = P("Zarvo11", at[size_t(i)] % n, at[size_t(i)] / n, M::Ivory,
                            QString::number(i + 1));
            s.ImgCol = i % n;
            s.ImgRow = i / n;
            p.Start.push_back(s);
        }
        for (int i = 0; i < tiles; ++i)
            p.Goal.push_back({"Zarvo11", QString::number(i + 1), i % n, i / n});
        return p;
    };
    list.push_back(numbers(3));
    list.push_back(numbers(4));
    return list;
}

std::vector<TPuzzle> OwnPuzzles()
{
    using M = TMaterial;
    std::vector<TPuzzle> list;
    {
        // A locomotive pushes its wagons along the track; the siding above
        // and the pit below let them change places.
        TPuzzle p;
        p.Id = "Rangierbahnhof";
        p.File = "Rangierbahnhof.zrv";
        p.Title = "Rangierbahnhof";
        p.Info = "Stelle die Wagen rechts in der Reihenfolge D, C, B, A auf. Die Lok schiebt "
                 "ganze Wagenketten.";
        p.Rating = "***";
        p.Back = "Filz.jpg";
        p.FrameW = 8;
        p.FrameH = 3;
        p.Unit = 64;
        p.FontSize = 16;
        p.Start = {Fixed("Zarvo31", 0, 0),
                   Fixed("Zarvo21", 4, 0),
                   Fixed("Zarvo21", 6, 0),
                   Fixed("Zarvo21", 0, 2),
                   Fixed("Zarvo21", 2, 2),
                   Fixed("Zarvo31", 5, 2),
                   P("Zarvo21", 0, 1, M::RedLacquer, "Lok"),
                   P("Zarvo11", 2, 1, M::Cherry, "A"),
                   P("Zarvo11", 3, 1, M::BlueLacquer, "B"),
                   P("Zarvo11", 4, 1, M::Jade, "C"),
                   P("Zarvo11", 5, 1, M::Walnut, "D")};
        p.Goal = {{"Zarvo11", "D", 4, 1},
                  {"Zarvo11", "C", 5, 1},
                  {"Zarvo11", "B", 6, 1},
                  {"Zarvo11", "A", 7, 1}};
        list.push_back(p);
    }
    {
        // Walls that never move: the king has to find the gate between them.
        TPuzzle p;
        p.Id = "Festung";
        p.File = "Festung.zrv";
        p.Title = "Festung";
        p.Info = "Führe den König in das Tor zwischen den beiden Mauern.";
        p.Rating = "***";
        p.Back = "Stein.jpg";
        p.FrameW = 6;
        p.FrameH = 6;
        p.Unit = 64;
        p.FontSize = 14;
        p.FontColor = QColor(60, 30, 0);
        p.Start = {Fixed("Zarvo12", 1, 3),
                   Fixed("Zarvo12", 4, 3),
                   P("Zarvo22", 0, 0, M::Gold, "König"),
                   P("Zarvo12", 2, 0, M::Maple),
                   P("Zarvo12", 3, 0, M::Maple),
                   P("Zarvo12", 5, 0, M::Maple),
                   P("Zarvo11", 4, 1, M::Walnut),
                   P("Zarvo21", 0, 2, M::Cherry),
                   P("Zarvo21", 2, 2, M::Cherry),
                   P("Zarvo11", 4, 2, M::Walnut),
                   P("Zarvo12", 0, 3, M::Maple),
                   P("Zarvo21", 2, 3, M::Cherry),
                   P("Zarvo12", 5, 3, M::Maple),
                   P("Zarvo21", 0, 5, M::Cherry),
                   P("Zarvo21", 2, 5, M::Cherry),
                   P("Zarvo21", 4, 5, M::Cherry)};
        p.Goal = {{"Zarvo22", "König", 2, 3}};
        list.push_back(p);
    }
    {
        // Pieces of several rectangles move as one.
        TPuzzle p;
        p.Id = "Winkelspiel";
        p.File = "Winkelspiel.zrv";
        p.Title = "Winkelspiel";
        p.Info = "Füge den roten und den grünen Winkel in der Mitte zu einem Rechteck zusammen.";
        p.Rating = "****";
        p.Back = "Stein.jpg";
        p.FrameH = 4;
        p.Unit = 64;
        p.FontSize = 14;
        p.FrameW = 5;
        p.Start = {P("Winkel1", 0, 0, M::RedLacquer, "Rot"),
                   P("Zarvo21", 2, 0, M::Maple),
                   P("Zarvo12", 4, 0, M::Walnut),
                   P("Zarvo11", 0, 1, M::Cherry),
                   P("Zarvo12", 2, 1, M::Walnut),
                   P("Zarvo11", 1, 2, M::Cherry),
                   P("Winkel2", 3, 2, M::Jade, "Grün"),
                   P("Zarvo11", 0, 3, M::Cherry),
                   P("Zarvo21", 1, 3, M::Maple)};
        p.Goal = {{"Winkel1", "Rot", 1, 1}, {"Winkel2", "Grün", 1, 2}};
        list.push_back(p);
    }
    {
        // A goal cell may accept several captions: "1/3/5/7" takes any odd number.
        TPuzzle p;
        p.Id = "GeradeUngerade";
        p.File = "Gerade und Ungerade.zrv";
        p.Title = "Gerade und Ungerade";
        p.Info = "Oben alle ungeraden Zahlen, unten alle geraden, in beliebiger Reihenfolge.";
        p.Rating = "**";
        p.Back = "Filz-blau.jpg";
        p.FrameW = 4;
        p.FrameH = 2;
        p.Unit = 96;
        p.FontSize = 16;
        p.FontColor = QColor(70, 35, 10);
        for (int i = 0; i < 7; ++i)
            p.Start.push_back(P("Zarvo11", i % 4, i / 4, M::Ivory, QString::number(i + 1)));
        for (int c = 0; c < 4; ++c)
            p.Goal.push_back({"Zarvo11", "1/3/5/7", c, 0});
        for (int c = 0; c < 3; ++c)
            p.Goal.push_back({"Zarvo11", "2/4/6", c, 1});
        list.push_back(p);
    }
    {
        // A piece of four rectangles: the hammer's head and handle move as one.
        TPuzzle p;
        p.Id = "Hammer";
        p.File = "Hammer.zrv";
        p.Title = "Der Hammer";
        p.Info = "Bringe den Hammer in die linke untere Ecke.";
        p.Rating = "***";
        p.Back = "Schiefer.jpg";
        p.FrameW = 5;
        p.FrameH = 5;
        p.FontSize = 16;
        p.Start = {P("ZarvoT", 0, 0, M::BlueLacquer, "H"),
                   P("Zarvo21", 3, 0, M::Maple),
                   P("Zarvo12", 0, 1, M::Walnut),
                   P("Zarvo12", 2, 1, M::Walnut),
                   P("Zarvo12", 4, 1, M::Walnut),
                   P("Zarvo21", 0, 3, M::Maple),
                   P("Zarvo21", 2, 3, M::Maple),
                   P("Zarvo12", 4, 3, M::Walnut),
                   P("Zarvo21", 0, 4, M::Maple)};
        p.Goal = {{"ZarvoT", "H", 0, 3}};
        list.push_back(p);
    }
    {
        // A large hall with shelves that stay put.
        TPuzzle p;
        p.Id = "Lagerhalle";
        p.File = "Lagerhalle.zrv";
        p.Title = "Lagerhalle";
        p.Info = "Schiebe die große Kiste zum Tor rechts unten.";
        p.Rating = "**";
        p.Back = "Stein.jpg";
        p.FrameW = 10;
        p.FrameH = 8;
        p.Unit = 48;
        p.FontSize = 11;
        p.Start = {Fixed("Zarvo31", 2, 2),
                   Fixed("Zarvo31", 6, 2),
                   Fixed("Zarvo31", 2, 5),
                   Fixed("Zarvo31", 6, 5),
                   P("Zarvo22", 0, 0, M::RedLacquer, "Kiste"),
                   P("Zarvo21", 2, 0, M::Cherry),
                   P("Zarvo21", 5, 1, M::Cherry),
                   P("Zarvo12", 9, 0, M::Walnut),
                   P("Zarvo12", 4, 3, M::Walnut),
                   P("Zarvo12", 5, 3, M::Walnut),
                   P("Zarvo21", 1, 4, M::Cherry),
                   P("Zarvo21", 7, 4, M::Cherry),
                   P("Zarvo12", 9, 3, M::Walnut),
                   P("Zarvo21", 3, 7, M::Cherry),
                   P("Zarvo11", 0, 6, M::Maple),
                   P("Zarvo11", 8, 6, M::Maple),
                   P("Zarvo11", 9, 7, M::Maple)};
        p.Goal = {{"Zarvo22", "Kiste", 8, 6}};
        list.push_back(p);
    }
    return list;
}

} // namespace

bool WriteCollection(const QString &dataDir)
{
    if (!WriteTextFile(dataDir + "/ZarvoTyp.ini", TypeFileLines()))
        return false;
    std::vector<TWrittenPuzzle> written;
    std::vector<TPuzzle> all = Classics();
    for (const TPuzzle &p : OwnPuzzles())
        all.push_back(p);
    for (const TPuzzle &p : all) {
        written.push_back({p.File, {}, p.Random, false});
        if (!WritePuzzle(dataDir, p, written.back().Lines)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p.File));
            return false;
        }
    }

    std::vector<TPicturePuzzle> pictures(4);
    pictures[0] = {"Abendsee.zrv", "Abendsee 3×3", "Abendsee.jpg", "Nussbaum.jpg", 3, 3, 100};
    pictures[1] = {"Rosette.zrv", "Rosette 4×4", "Rosette.jpg", "Schiefer.jpg", 4, 4, 90};
    pictures[1].Numbers = true;
    pictures[1].FontSize = 14;
    pictures[2] = {"Julia.zrv", "Julia-Menge 5×5", "Julia.jpg", "Stein.jpg", 5, 5, 80};
    pictures[3] = {"Seepferdchental.zrv",
                   "Seepferdchental 16×12",
                   "Seepferdchental.jpg",
                   "Holz.jpg",
                   16,
                   12,
                   40};
    pictures[3].Swaps = 2000;
    std::uint32_t seed = 1;
    for (const TPicturePuzzle &p : pictures) {
        written.push_back({p.File, {}, false, true});
        if (!WritePicturePuzzle(dataDir, p, seed++ * 2654435761u, written.back().Lines)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p.File));
            return false;
        }
    }
    return WriteMinimums(dataDir, written);
}
