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
    QString Title, Info;
    TGroup Group = TGroup::Own;
    QString About;  // the help's line: what it is, where it comes from
    int NoPush = 0; // the published minimum without pushing; 0 none
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

struct TLook
{
    TMaterial Material = TMaterial::Maple;
    QString Caption;
};

// The start of a puzzle from a drawing, one string per row of the field:
// '.' an empty cell, '#' a wall cell (a fixed piece), any other character
// all cells of one movable piece, whose type is the one with exactly that
// shape. Pieces in the order their first cell is read.
std::vector<TStartDef> Drawn(const QStringList &rows, const QHash<QChar, TLook> &looks)
{
    std::vector<TStartDef> start;
    std::vector<QChar> order;
    QHash<QChar, std::vector<QPoint>> cells;
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x) {
            const QChar c = rows[y][x];
            if (c == '.')
                continue;
            if (c == '#') {
                start.push_back(Fixed("Zarvo11", x, y));
                continue;
            }
            if (!cells.contains(c))
                order.push_back(c);
            cells[c].push_back(QPoint(x, y));
        }
    for (QChar c : order) {
        const std::vector<QPoint> &at = cells[c];
        QPoint origin = at.front();
        for (QPoint q : at)
            origin = QPoint(std::min(origin.x(), q.x()), std::min(origin.y(), q.y()));
        std::vector<QPoint> shape;
        for (QPoint q : at)
            shape.push_back(q - origin);
        const TTypeDef *type = nullptr;
        for (const TTypeDef &t : Types())
            if (t.Cells == shape)
                type = &t;
        if (!type) {
            std::fprintf(stderr, "no piece type of the shape of %c\n", c.toLatin1());
            std::abort();
        }
        const TLook look = looks.value(c);
        start.push_back(P(type->Name, origin.x(), origin.y(), look.Material, look.Caption));
    }
    return start;
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
      << "Title=" + p.Title << "ObjectInfo=" + p.Info << "Rating=";
    return WriteTextFile(dataDir + "/Data/" + p.File, f);
}

std::vector<int> EvenShuffle(int count, int swaps, std::uint32_t seed);

// ---- picture puzzles, in the form the puzzle expert writes ----

struct TPicturePuzzle
{
    QString File, Title, Picture, Back, About;
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
      << "Rating=";
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
        p.Group = TGroup::Classic;
        p.About = "Der bekannteste Klassiker, aus China und Frankreich seit über hundert Jahren "
                  "überliefert: Der große Esel muss unten in der Mitte hinaus.";
        p.NoPush = 81;
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
        p.Group = TGroup::Classic;
        p.About = shortOne ? "Das Brett des Wimpels mit dem näheren Ziel rechts unten."
                           : "Überliefert aus dem frühen 20. Jahrhundert: Der Wimpel wandert "
                             "von links oben nach links unten.";
        p.NoPush = shortOne ? 29 : 59;
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
        p.Group = TGroup::Classic;
        p.About = "Ein neuerer Klassiker: Ohne Schieben braucht er rund hundert Züge, daher "
                  "der Name.";
        p.NoPush = 99;
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
        p.Group = TGroup::Classic;
        p.About = "Der schwerere Bruder des Jahrhunderts, mit anderer Aufstellung.";
        p.NoPush = 138;
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
        p.Group = TGroup::Classic;
        p.About = "Ein neuerer Klassiker: wenige Teile, ein überraschend langer Weg.";
        p.NoPush = 84;
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
    // The red donkey's board is known in dozens of other set-ups, all with
    // the same pieces; three of them.
    auto donkey = [&](const QString &id, const QString &title, const QString &about,
                      const QStringList &rows) {
        TPuzzle p;
        p.Id = id;
        p.File = QString(title).remove(QLatin1Char(':')) + ".zrv";
        p.Title = title;
        p.Info = "Bringe den roten Esel nach unten in die Mitte.";
        p.Group = TGroup::Classic;
        p.About = about;
        p.Back = "Nussbaum.jpg";
        p.FontSize = 14;
        const QHash<QChar, TLook> looks = {{'E', {M::RedLacquer, "Esel"}}, {'H', {M::Cherry, {}}},
                                           {'a', {M::Walnut, {}}},         {'b', {M::Walnut, {}}},
                                           {'c', {M::Walnut, {}}},         {'d', {M::Walnut, {}}}};
        p.Start = Drawn(rows, looks);
        p.Goal = {{"Zarvo22", "Esel", 1, 3}};
        list.push_back(p);
    };
    donkey("EselSeite", "Roter Esel: Seite an Seite",
           "Eine der vielen überlieferten Aufstellungen des Roten Esels: Vier kleine Steine "
           "stehen in einer Reihe unter dem Esel.",
           {"aEEb", "aEEb", "ijkl", "cHHd", "c..d"});
    donkey("EselWege", "Roter Esel: Drei Wege",
           "Eine überlieferte Aufstellung des Roten Esels: Die Teile stehen in drei Spalten, "
           "der Esel zwischen zwei kleinen Steinen.",
           {"iEEj", "aEEb", "aHHb", "ckld", "c..d"});
    donkey("EselFeldherr", "Roter Esel: Feldherr",
           "Eine überlieferte Aufstellung des Roten Esels: Der Querbalken liegt zwischen zwei "
           "kleinen Steinen direkt unter dem Esel.",
           {"aEEb", "aEEb", "iHHj", "ckld", "c..d"});
    auto ma = [&](bool low) {
        TPuzzle p;
        p.Id = "Ma";
        p.File = low ? "Ma-Puzzle links unten.zrv" : "Ma-Puzzle.zrv";
        p.Title = low ? "Ma's Puzzle, links unten" : "Ma's Puzzle";
        p.Info = low ? "Füge die beiden grünen Winkel links unten zu einem Rechteck zusammen."
                     : "Füge die beiden grünen Winkel rechts oben zu einem Rechteck zusammen.";
        p.Group = TGroup::Classic;
        p.About = low ? "Ma's Puzzle mit einem anderen Ziel: Das Rechteck aus den zwei "
                        "Winkeln entsteht links unten."
                      : "Überliefertes Schiebepuzzle mit zwei Winkeln aus je drei Feldern, "
                        "die rechts oben ein Rechteck bilden sollen.";
        p.NoPush = low ? 0 : 23;
        p.Back = "Nussbaum.jpg";
        p.FontSize = 13;
        p.Start = {P("Zarvo31", 0, 0, M::Walnut),   P("Zarvo31", 2, 3, M::Walnut),
                   P("Zarvo21", 0, 1, M::Cherry),   P("Zarvo21", 2, 1, M::Cherry),
                   P("Zarvo21", 1, 2, M::Cherry),   P("Zarvo21", 3, 2, M::Cherry),
                   P("Zarvo11", 2, 4, M::Maple),    P("Winkel1", 3, 0, M::Jade, "A"),
                   P("Winkel2", 0, 2, M::Jade, "B")};
        p.FrameW = 5;
        p.FrameH = 5;
        if (low)
            p.Goal = {{"Winkel1", "A", 0, 2}, {"Winkel2", "B", 0, 3}};
        else
            p.Goal = {{"Winkel1", "A", 3, 0}, {"Winkel2", "B", 3, 1}};
        list.push_back(p);
    };
    ma(false);
    ma(true);
    auto numbers = [&](int n) {
        TPuzzle p;
        p.Id = n == 3 ? "Achterspiel" : "Fuenfzehnerspiel";
        p.File = n == 3 ? "Achterspiel.zrv" : "Fuenfzehnerspiel.zrv";
        p.Title = n == 3 ? "Achterspiel" : "Fünfzehnerspiel";
        p.Info = "Ordne die Zahlen der Reihe nach; das Loch bleibt rechts unten.";
        p.Group = TGroup::Classic;
        p.About = n == 3 ? "Die kleine Schwester des Fünfzehnerspiels: die Zahlen 1 bis 8."
                         : "Das berühmte Zahlenschiebespiel aus dem 19. Jahrhundert: die "
                           "Zahlen 1 bis 15.";
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
        p.About = "Schieben: Die Lok schiebt ganze Wagenketten; Gleisbett und Bahnsteige sind "
                  "feste Teile.";
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
        p.About = "Feste Mauern: Der König muss in das Tor zwischen ihnen.";
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
        p.About = "Zusammengesetzte Teile: Zwei Winkel bilden in der Mitte ein Rechteck.";
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
        p.About = "Zielfelder mit mehreren erlaubten Teilen: oben die ungeraden Zahlen, unten "
                  "die geraden.";
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
        p.About = "Ein Teil aus vier Rechtecken, das sich nur als Ganzes bewegt.";
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
        p.About = "Ein großes Brett von 10 × 8 Feldern mit festen Regalen. Zu groß für einen "
                  "Beweis: Ein Teil kann dort mit einem Zug Millionen Stellungen herbeischieben.";
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
    {
        // Two teams change sides through one gate in the wall; a chain of
        // them pushed through the gate moves in one drag.
        TPuzzle p;
        p.Id = "Schleuse";
        p.File = "Schleuse.zrv";
        p.Title = "Schleuse";
        p.Info = "Die roten Steine nach rechts, die blauen nach links, alle durch das eine Tor.";
        p.About = "Feste Mauer und Schieben: Zwei Mannschaften tauschen die Seiten durch ein "
                  "einziges Tor; wer ganze Ketten hindurchschiebt, spart Züge.";
        p.Back = "Stein.jpg";
        p.FrameW = 5;
        p.FrameH = 3;
        p.FontSize = 16;
        const QStringList rows = {"rs#uv", "t.y.w", "zz#.."};
        QHash<QChar, TLook> looks = {{'y', {M::Walnut, {}}}, {'z', {M::Cherry, {}}}};
        for (QChar c : QString("rst"))
            looks[c] = {M::RedLacquer, "R"};
        for (QChar c : QString("uvw"))
            looks[c] = {M::BlueLacquer, "B"};
        p.Start = Drawn(rows, looks);
        // Each team on the cells the other one starts on.
        for (const TStartDef &s : p.Start)
            if (!s.Caption.isEmpty())
                p.Goal.push_back({s.Type, s.Caption == "R" ? "B" : "R", s.Col, s.Row});
        list.push_back(p);
    }
    {
        // Crates in narrow corridors: the mouse gets through only by pushing
        // them into the niches.
        TPuzzle p;
        p.Id = "Labyrinth";
        p.File = "Labyrinth.zrv";
        p.Title = "Labyrinth";
        p.Info = "Führe die Maus in die rechte untere Ecke; die Kisten lassen sich schieben.";
        p.About = "Mauern im Brett: Die Gänge sind so schmal, dass die Kisten nur vor der Maus "
                  "hergeschoben oder in Nischen gedrückt werden können.";
        p.Back = "Holz.jpg";
        p.FrameW = 5;
        p.FrameH = 5;
        p.FontSize = 13;
        p.Start = Drawn({"Mal#.", "#b#c.", ".d.e#", "f#g.h", ".i#j."}, {{'M', {M::Gold, "Maus"}}});
        p.Goal = {{"Zarvo11", "Maus", 4, 4}};
        list.push_back(p);
    }
    {
        // Corners take any prime, the edges the other numbers.
        TPuzzle p;
        p.Id = "Primzahlen";
        p.File = "Primzahlecken.zrv";
        p.Title = "Primzahlecken";
        p.Info = "In die Ecken die Primzahlen 2, 3, 5 und 7, an die Seiten 1, 4, 6 und 8; "
                 "die Mitte bleibt frei.";
        p.About = "Zielfelder mit mehreren erlaubten Teilen: Jede Ecke nimmt jede Primzahl, "
                  "jede Seite jede andere Zahl.";
        p.Back = "Filz.jpg";
        p.FrameW = 3;
        p.FrameH = 3;
        p.Unit = 80;
        p.FontSize = 22;
        p.FontColor = QColor(70, 35, 10);
        const QStringList rows = {"124", "3.5", "678"};
        QHash<QChar, TLook> looks;
        for (QChar c : QString("12345678"))
            looks[c] = {M::Ivory, QString(c)};
        p.Start = Drawn(rows, looks);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                if (x != 1 || y != 1)
                    p.Goal.push_back({"Zarvo11", (x == 1 || y == 1) ? "1/4/6/8" : "2/3/5/7", x, y});
        list.push_back(p);
    }
    {
        // Three pieces of several rectangles that hook into one another.
        TPuzzle p;
        p.Id = "Haken";
        p.File = "Haken und Winkel.zrv";
        p.Title = "Haken und Winkel";
        p.Info = "Bringe das T nach unten in die Mitte.";
        p.About = "Zusammengesetzte Teile: Ein T und zwei Winkel verhaken sich, nur in der "
                  "richtigen Reihenfolge kommt das T nach unten.";
        p.Back = "Schiefer.jpg";
        p.FrameW = 5;
        p.FrameH = 5;
        p.FontSize = 16;
        p.Start =
            Drawn({"aTTTb", "aeTfb", "WW.g.", "cW.XX", "ch.Xd"}, {{'T', {M::BlueLacquer, "T"}},
                                                                  {'W', {M::Jade, {}}},
                                                                  {'X', {M::Jade, {}}},
                                                                  {'a', {M::Walnut, {}}},
                                                                  {'b', {M::Walnut, {}}},
                                                                  {'c', {M::Walnut, {}}},
                                                                  {'d', {M::Walnut, {}}},
                                                                  {'g', {M::Cherry, {}}}});
        p.Goal = {{"ZarvoT", "T", 1, 3}};
        list.push_back(p);
    }
    {
        // A long row moves only as a whole: the key is which end to push.
        TPuzzle p;
        p.Id = "Dominoreihe";
        p.File = "Dominoreihe.zrv";
        p.Title = "Dominoreihe";
        p.Info = "Tausche die Reihen: oben A bis D von links, unten 1 bis 4 von rechts.";
        p.About = "Schieben: Die Reihen sind so eng, dass fast jeder Zug eine ganze Kette "
                  "von Steinen mitnimmt.";
        p.Back = "Filz-blau.jpg";
        p.FrameW = 5;
        p.FrameH = 2;
        p.Unit = 80;
        p.FontSize = 18;
        p.FontColor = QColor(70, 35, 10);
        const QStringList rows = {"1234.", ".ABCD"};
        QHash<QChar, TLook> looks;
        for (QChar c : QString("1234ABCD"))
            looks[c] = {c.isDigit() ? M::Ivory : M::Maple, QString(c)};
        p.Start = Drawn(rows, looks);
        for (int i = 0; i < 4; ++i) {
            p.Goal.push_back({"Zarvo11", QString(QChar('A' + i)), i, 0});
            p.Goal.push_back({"Zarvo11", QString::number(i + 1), i + 1, 1});
        }
        list.push_back(p);
    }
    {
        // A wall across the hall with one ford at the top.
        TPuzzle p;
        p.Id = "Burggraben";
        p.File = "Burggraben.zrv";
        p.Title = "Burggraben";
        p.Info = "Bringe die Fähre über den Graben in die rechte obere Ecke.";
        p.About = "Feste Mauern und Ketten zum Schieben: Über den Graben führt nur eine "
                  "schmale Furt.";
        p.Back = "Stein.jpg";
        p.FrameW = 6;
        p.FrameH = 5;
        p.FontSize = 14;
        p.Start = Drawn({"WWa.bc", "noa#d.", "ff.#gg", "hi.#m.", "jjk#ll"},
                        {{'W', {M::RedLacquer, "Fähre"}}});
        p.Goal = {{"Zarvo21", "Fähre", 4, 0}};
        list.push_back(p);
    }
    return list;
}

std::vector<TPicturePuzzle> PicturePuzzles()
{
    std::vector<TPicturePuzzle> list(4);
    list[0] = {"Abendsee.zrv",
               "Abendsee 3×3",
               "Abendsee.jpg",
               "Nussbaum.jpg",
               "Sonnenuntergang über einem Bergsee.",
               3,
               3,
               100};
    list[1] = {"Rosette.zrv",
               "Rosette 4×4",
               "Rosette.jpg",
               "Schiefer.jpg",
               "Ein Kirchenfenster aus buntem Glas, mit Nummern auf den Teilen.",
               4,
               4,
               90};
    list[1].Numbers = true;
    list[1].FontSize = 14;
    list[2] = {"Julia.zrv",
               "Julia-Menge 5×5",
               "Julia.jpg",
               "Stein.jpg",
               "Ein Fraktal, eine Julia-Menge.",
               5,
               5,
               80};
    list[3] = {"Seepferdchental.zrv",
               "Seepferdchental 16×12",
               "Seepferdchental.jpg",
               "Holz.jpg",
               "Ein Ausschnitt der Mandelbrot-Menge – eine Aufgabe für lange Abende.",
               16,
               12,
               40};
    list[3].Swaps = 2000;
    list.push_back({"Sommerwiese.zrv", "Sommerwiese 4×3", "Sommerwiese.jpg", "Holz.jpg",
                    "Eine Blumenwiese im Sommer, im Querformat.", 4, 3, 100});
    list.push_back({"Rosette 6x6.zrv", "Rosette 6×6", "Rosette.jpg", "Nussbaum.jpg",
                    "Das Kirchenfenster der Rosette in kleineren Teilen, mit Nummern.", 6, 6, 60});
    list.back().Numbers = true;
    list.back().FontSize = 11;
    list.push_back({"Seepferdchental 8x6.zrv", "Seepferdchental 8×6", "Seepferdchental.jpg",
                    "Stein.jpg", "Der Ausschnitt der Mandelbrot-Menge in großen Teilen.", 8, 6,
                    80});
    list.back().Swaps = 400;
    return list;
}

} // namespace

bool WriteCollection(const QString &dataDir, const QString &helpFile)
{
    if (!WriteTextFile(dataDir + "/ZarvoTyp.ini", TypeFileLines()))
        return false;
    std::vector<TWrittenPuzzle> written;
    std::vector<TPuzzle> all = Classics();
    for (const TPuzzle &p : OwnPuzzles())
        all.push_back(p);
    for (const TPuzzle &p : all) {
        TWrittenPuzzle w;
        w.File = p.File;
        w.Title = p.Title;
        w.Group = p.Group;
        w.About = p.About;
        w.NoPush = p.NoPush;
        w.Random = p.Random;
        w.Tiles = p.Random; // the number puzzles
        if (!WritePuzzle(dataDir, p, w.Lines)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p.File));
            return false;
        }
        written.push_back(std::move(w));
    }
    std::uint32_t seed = 1;
    for (const TPicturePuzzle &p : PicturePuzzles()) {
        TWrittenPuzzle w;
        w.File = p.File;
        w.Title = p.Title;
        w.Group = TGroup::Picture;
        w.About = p.About;
        w.Tiles = true;
        if (!WritePicturePuzzle(dataDir, p, seed++ * 2654435761u, w.Lines)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p.File));
            return false;
        }
        written.push_back(std::move(w));
    }
    return WriteFigures(dataDir, written) && WriteHelpTable(helpFile, written);
}
