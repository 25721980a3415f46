#include "DataRoot.h"
#include "Difficulty.h"
#include "Limits.h"
#include "Solver.h"
#include "ZarvoError.h"
#include "ZarvoGame.h"
#include "ZarvoPad.h"
#include "ZarvoRandom.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <map>

// The bundled collection: every puzzle loads and can be solved, its minimum,
// figures and rating are the ones the solver and the rating rule give, the
// help lists it, and the pictures, the sound and the help the game relies on
// are in place.

namespace {

// ---- a small reader of the game's INI files ----
struct TIni
{
    std::map<QString, std::map<QString, QString>> Sections; // lower-case names
    QString Value(const QString &section, const QString &key, const QString &def = {}) const
    {
        auto s = Sections.find(section.toLower());
        if (s == Sections.end())
            return def;
        auto k = s->second.find(key.toLower());
        return k == s->second.end() ? def : k->second;
    }
    bool Has(const QString &section, const QString &key) const
    {
        auto s = Sections.find(section.toLower());
        return s != Sections.end() && s->second.count(key.toLower());
    }
};

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

TIni ReadIni(const QString &path)
{
    TIni ini;
    QString section;
    const QString text = QString::fromLatin1(ReadBytes(path));
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).toLower();
            ini.Sections[section];
        } else if (int eq = line.indexOf('='); eq > 0 && !line.startsWith(';')) {
            ini.Sections[section][line.left(eq).trimmed().toLower()] = line.mid(eq + 1);
        }
    }
    return ini;
}

QStringList Fields(const QString &text)
{
    QStringList f = text.split(QLatin1Char(','));
    for (QString &s : f)
        s = s.trimmed();
    return f;
}

struct TTypeRect
{
    int X, Y, W, H;
    QString Edges;
};

std::map<QString, std::vector<TTypeRect>> ReadTypes(const QString &path)
{
    std::map<QString, std::vector<TTypeRect>> types;
    const TIni ini = ReadIni(path);
    for (const auto &[name, keys] : ini.Sections) {
        if (name.isEmpty())
            continue;
        const int count = ini.Value(name, "Count", "0").toInt();
        for (int i = 1; i <= count; ++i) {
            const QStringList f = Fields(ini.Value(name, QString("Zarvo%1").arg(i)));
            types[name].push_back({f.value(0).toInt(), f.value(1).toInt(), f.value(2).toInt(),
                                   f.value(3).toInt(), f.value(4)});
        }
    }
    return types;
}

// Parity of the permutation that takes the cells listed in "from" to those
// in "to" (both the same set of cells).
bool EvenPermutation(const std::vector<QPoint> &from, const std::vector<QPoint> &to)
{
    std::vector<int> perm;
    for (QPoint p : from) {
        auto it = std::find(to.begin(), to.end(), p);
        if (it == to.end())
            return false;
        perm.push_back(int(it - to.begin()));
    }
    int swaps = 0;
    for (size_t i = 0; i < perm.size(); ++i)
        while (perm[i] != int(i)) {
            std::swap(perm[i], perm[size_t(perm[i])]);
            ++swaps;
        }
    return swaps % 2 == 0;
}

struct TEntry
{
    QString Type, Caption;
    int Col, Row, ImageCol, ImageRow;
    QString Movable;
};

std::vector<TEntry> Entries(const TIni &ini, const QString &section)
{
    std::vector<TEntry> list;
    const int count = ini.Value(section, "Count", "0").toInt();
    for (int i = 1; i <= count; ++i) {
        const QStringList f = Fields(ini.Value(section, QString("Zarvo%1").arg(i)));
        list.push_back({f.value(0), f.value(1), f.value(2).toInt(), f.value(3).toInt(),
                        f.value(4).toInt(), f.value(5).toInt(), f.value(6)});
    }
    return list;
}

QPoint Pair(const TIni &ini, const QString &key, const QString &def)
{
    const QStringList f = Fields(ini.Value("Pad", key, def));
    return QPoint(f.value(0).toInt(), f.value(1).toInt());
}

// Every line ends in CR LF and nothing else.
bool CrLfOnly(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))
            return false;
    }
    return bytes.endsWith("\r\n");
}

// A puzzle as the engine loaded it, and as the solver sees it.
struct TPuzzleData
{
    TIni Ini; // the file's own keys, for what the board does not keep
    std::unique_ptr<TZarvoPad> Pad;
    TSolverBoard Board;
};

QString DataRootDir(const QTemporaryDir &dir)
{
    return dir.path() + "/";
}

bool CopyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + "/" + QDir(from).relativeFilePath(src);
        QDir().mkpath(QFileInfo(dst).absolutePath());
        if (!QFile::copy(src, dst))
            return false;
    }
    return true;
}

// The kinds of puzzle, told by their files.
bool IsNumberPuzzle(const TIni &ini)
{
    return ini.Value("Pad", "AllwaysRandom", "0") != "0";
}

bool IsPicturePuzzle(const TIni &ini)
{
    return ini.Value("Info", "ObjectInfo") == "Stelle das Bild wieder her";
}

// A row of the help's tables of the collection: the figures the rating was
// made from, and what the row shows.
struct THelpRow
{
    TDifficulty Figures;
    QString Title, Rating, Minimum;
};

std::map<QString, THelpRow> HelpRows(QString &error)
{
    std::map<QString, THelpRow> rows;
    const QString page =
        QString::fromUtf8(ReadBytes(QStringLiteral(ZARVOS_SOURCE_DIR "/docs/help/sammlung.html")));
    const QRegularExpression row(
        "<tr data-file=\"([^\"]+)\" data-moves=\"(-?\\d+)\" data-proven=\"([01])\" "
        "data-space=\"(\\w+)\" data-positions=\"(\\d+)\" data-cells=\"(\\d+)\" "
        "data-forced=\"(-?\\d+)\"><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td>");
    for (auto m = row.globalMatch(page); m.hasNext();) {
        const auto r = m.next();
        THelpRow h;
        h.Figures.Moves = r.captured(2).toInt();
        h.Figures.Proven = r.captured(3) == "1";
        const QString space = r.captured(4);
        h.Figures.Space = space == "counted"   ? TDifficulty::Counted
                          : space == "atleast" ? TDifficulty::AtLeast
                                               : TDifficulty::Arrangements;
        if (space != "counted" && space != "atleast" && space != "arrangements")
            error = "unknown space " + space;
        h.Figures.Positions = r.captured(5).toLongLong();
        h.Figures.Cells = r.captured(6).toInt();
        h.Figures.Forced = r.captured(7).toInt();
        h.Title = r.captured(8);
        h.Rating = r.captured(9);
        h.Minimum = r.captured(10);
        const QString file = QString(r.captured(1)).replace("&amp;", "&");
        if (rows.count(file))
            error = "listed twice: " + file;
        rows[file] = h;
    }
    return rows;
}

} // namespace

class TestCollection : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;

    QString DataDir() const { return DataRootDir(Root) + "Data/"; }
    QString ImageDir() const { return DataRootDir(Root) + "Image/"; }

    // Loads a puzzle of the data root through the engine.
    bool Load(const QString &file, TPuzzleData &data, QString &error) const
    {
        if (!QFile::exists(DataDir() + file)) {
            error = "missing " + file;
            return false;
        }
        data.Ini = ReadIni(DataDir() + file);
        data.Pad = std::make_unique<TZarvoPad>();
        data.Pad->Constructing = true;
        try {
            data.Pad->LoadPuzzle(file, false);
        } catch (const EZarvoError &e) {
            error = e.Message;
            return false;
        }
        data.Board = TSolverBoard::FromPad(*data.Pad);
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Shuffled starts are the same in every run.
        ZarvoRandom::SetSeed(4711);
        ZarvoRandom::SetFixedSeed(true);
        QVERIFY(Root.isValid());
        QVERIFY(CopyTree(QStringLiteral(ZARVOS_SOURCE_DIR "/data"), Root.path()));
        DataRoot::UseRoot(Root.path());
        PieceTypes().LoadTypes(DataRoot::PieceTypeFile());
    }

    void figuresAreTheSolversOwn_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &f : QDir(DataDir()).entryList({"*.zrv"}, QDir::Files))
            QTest::newRow(qPrintable(f)) << f;
    }

    // The puzzle measured afresh: the way found, played through the game
    // session, ends in the goal with the count reported; the minimum, the
    // figures and the rating the help and the file record are the ones this
    // measurement gives, and the rating follows the rule from them. The
    // budget here is far below the collection generator's: where it settles
    // less (a count that stops earlier, a tile puzzle whose proof takes
    // minutes), the recorded figures must still agree with what it found;
    // those proofs are repeated by running the generator, whose output must
    // not change.
    void figuresAreTheSolversOwn()
    {
        QFETCH(QString, file);
        QString error;
        const auto rows = HelpRows(error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(rows.count(file), qPrintable(file + " is missing in the help"));
        const THelpRow &help = rows.at(file);
        const TDifficulty &recorded = help.Figures;
        const TIni ini = ReadIni(DataDir() + file);

        // A shuffled puzzle is measured in the start its file stores.
        const bool shuffled = IsNumberPuzzle(ini);
        QString name = file;
        if (shuffled) {
            name = "Ungemischt-" + file;
            QByteArray bytes = ReadBytes(DataDir() + file);
            bytes.replace("AllwaysRandom=1", "AllwaysRandom=0");
            QFile copy(DataDir() + name);
            QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size());
        }
        TZarvoGame game;
        game.Board().Constructing = true;
        game.Load(name, false);
        if (shuffled)
            QVERIFY(QFile::remove(DataDir() + name));
        const TSolverBoard board = TSolverBoard::FromPad(game.Board());
        TMeasureLimits limits;
        limits.CountPositions = 120'000;
        limits.SearchPositions = 400'000;
        limits.Solver.MaxPositions = 1'000'000;
        const TDifficulty fresh = MeasureDifficulty(board, limits);

        QVERIFY2(fresh.Moves > 0, "no way to the goal");
        QCOMPARE(int(fresh.Path.size()), fresh.Moves);
        const TSolver solver(board);
        std::vector<QPoint> position = board.Position();
        for (const TSolverMove &m : fresh.Path) {
            QVERIFY(game.DragPiece(m.Piece, solver.CellPath(position, m)));
            position = solver.Apply(position, m);
        }
        QCOMPARE(game.Status().Moves, fresh.Moves);
        QVERIFY(game.Status().Solved);

        // The minimum.
        if (fresh.Proven) {
            QVERIFY(recorded.Proven);
            QCOMPARE(recorded.Moves, fresh.Moves);
        } else if (recorded.Proven) {
            QVERIFY(recorded.Moves <= fresh.Moves);
        } else {
            // Where the generator's larger budget proved nothing, a way it
            // found is no longer than the one found here only by chance.
            QVERIFY(recorded.Moves > 0);
        }
        const QString best = ini.Value("Solution", "Best1");
        if (recorded.Proven && !shuffled) {
            QCOMPARE(best, QString("%1,Minimum").arg(recorded.Moves));
            QCOMPARE(help.Minimum, QString::number(recorded.Moves));
        } else {
            QVERIFY2(best.isEmpty(), qPrintable(best));
            QVERIFY(!help.Minimum.contains(QRegularExpression("^\\d+$")));
        }

        // The space and the forced moves.
        switch (fresh.Space) {
        case TDifficulty::Counted:
            QCOMPARE(int(recorded.Space), int(TDifficulty::Counted));
            QCOMPARE(recorded.Positions, fresh.Positions);
            break;
        case TDifficulty::AtLeast:
            QVERIFY(recorded.Space != TDifficulty::Arrangements);
            QVERIFY(recorded.Positions >= fresh.Positions);
            break;
        case TDifficulty::Arrangements:
            QCOMPARE(int(recorded.Space), int(TDifficulty::Arrangements));
            QCOMPARE(recorded.Cells, fresh.Cells);
            break;
        }
        if (fresh.Forced >= 0)
            QCOMPARE(recorded.Forced, fresh.Forced);

        // The rating follows the rule.
        const QString rating = recorded.Rating();
        QCOMPARE(ini.Value("Info", "Rating"), rating);
        QCOMPARE(help.Rating, rating);
        QCOMPARE(help.Title, ini.Value("Info", "Title").toHtmlEscaped());
        qInfo("%s: %d%s moves, 10^%.2f positions, %d forced, %s", qPrintable(file), fresh.Moves,
              fresh.Proven ? "" : "?", fresh.Log10Positions(), fresh.Forced, qPrintable(rating));
    }

    void ratingRuleWeighsChoicesBySpace()
    {
        // The rule itself: forced moves take nothing, a tenfold space adds a
        // tenth to every choice, and the stars step at 15, 30, 55 and 85.
        TDifficulty d;
        d.Moves = 20;
        d.Forced = 5;
        d.Positions = 1000;
        QCOMPARE(d.Score(), 15 * 1.3);
        QCOMPARE(d.Stars(), 2);
        d.Forced = -1; // not counted: every move is a choice
        QCOMPARE(d.Score(), 20 * 1.3);
        d.Space = TDifficulty::Arrangements;
        d.Cells = 9; // 9! / 2 = 181440
        QVERIFY(qAbs(d.Log10Positions() - std::log10(181440.0)) < 1e-9);
        d.Space = TDifficulty::Counted;
        const std::pair<int, int> steps[] = {{14, 1}, {15, 2}, {29, 2}, {30, 3},  {54, 3},
                                             {55, 4}, {84, 4}, {85, 5}, {1000, 5}};
        d.Positions = 1; // no weight
        d.Forced = 0;
        for (auto [moves, stars] : steps) {
            d.Moves = moves;
            QCOMPARE(d.Stars(), stars);
            QCOMPARE(d.Rating(), QString(stars, '*'));
        }
    }

    void numberPuzzleStartsSolvable_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &f : QDir(DataDir()).entryList({"*.zrv"}, QDir::Files))
            if (IsNumberPuzzle(ReadIni(DataDir() + f)))
                QTest::newRow(qPrintable(f)) << f;
    }

    void numberPuzzleStartsSolvable()
    {
        QFETCH(QString, file);
        const TIni ini = ReadIni(DataDir() + file);
        QCOMPARE(ini.Value("Pad", "AllwaysRandom"), QString("1"));
        const QPoint frame = Pair(ini, "FrameSize", "4,5");
        QCOMPARE(frame.x(), frame.y());
        const int n = frame.x(), tiles = n * n - 1;
        const auto start = Entries(ini, "Start"), goal = Entries(ini, "Object");
        QCOMPARE(int(start.size()), tiles);
        QCOMPARE(int(goal.size()), tiles);
        std::vector<QPoint> home, at;
        for (int i = 0; i < tiles; ++i) {
            // Goal: the numbers in reading order, the gap bottom right.
            const TEntry &g = goal[size_t(i)];
            QCOMPARE(g.Type, QString("Zarvo11"));
            QCOMPARE(g.Caption, QString::number(i + 1));
            QCOMPARE(QPoint(g.Col, g.Row), QPoint(i % n, i / n));
            QVERIFY(g.Movable != "0"); // matched by caption
            home.push_back(QPoint(g.Col, g.Row));
            // Each tile carries its own face, the one of its home cell.
            const TEntry &s = start[size_t(i)];
            QCOMPARE(s.Caption, g.Caption);
            QCOMPARE(QPoint(s.ImageCol, s.ImageRow), QPoint(g.Col, g.Row));
            at.push_back(QPoint(s.Col, s.Row));
        }
        // The stored start is an even arrangement of the same cells, so it
        // can be solved...
        QVERIFY(EvenPermutation(at, home));
        // ...and so is every start the game shuffles from it.
        for (int round = 0; round < 3; ++round) {
            TPuzzleData data;
            QString error;
            QVERIFY2(Load(file, data, error), qPrintable(error));
            std::vector<QPoint> shuffled(home.size());
            for (const TSolverPart &p : data.Board.Pieces)
                shuffled[size_t(p.Caption.toInt() - 1)] = QPoint(p.Col, p.Row);
            QVERIFY(EvenPermutation(shuffled, home));
        }
    }

    void picturePuzzleHasExpertForm_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &f : QDir(DataDir()).entryList({"*.zrv"}, QDir::Files))
            if (IsPicturePuzzle(ReadIni(DataDir() + f)))
                QTest::newRow(qPrintable(f)) << f;
    }

    void picturePuzzleHasExpertForm()
    {
        QFETCH(QString, file);
        const TIni ini = ReadIni(DataDir() + file);
        QCOMPARE(ini.Value("Pad", "DisableProp"), QString("1"));
        QCOMPARE(ini.Value("Pad", "Offset"), QString("-1,-1"));
        QCOMPARE(ini.Value("Pad", "ImgZarvosOffset"), QString("-1,-1"));
        const QPoint parts = Pair(ini, "ZarvoSize", "0,0");
        QCOMPARE(Pair(ini, "FrameSize", "4,5"), parts);
        const QPoint back = Pair(ini, "BackSize", "0,0");
        QVERIFY(back.x() >= parts.x() && back.y() >= parts.y());
        QCOMPARE(back.x() - parts.x(), back.y() - parts.y()); // one margin all round
        const int unit = ini.Value("Pad", "UnitSize", "40").toInt();
        const QImage picture(ImageDir() + ini.Value("Pad", "ImgZarvos"));
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() >= parts.x() * unit && picture.height() >= parts.y() * unit);

        const int count = parts.x() * parts.y() - 1;
        const auto start = Entries(ini, "Start"), goal = Entries(ini, "Object");
        QCOMPARE(int(start.size()), count);
        QCOMPARE(int(goal.size()), count);
        std::vector<QPoint> home, at;
        for (int i = 0; i < count; ++i) {
            const QPoint cell(i % parts.x(), i / parts.x());
            const TEntry &s = start[size_t(i)], &g = goal[size_t(i)];
            QCOMPARE(s.Type, QString("Zarvo11"));
            QCOMPARE(g.Type, QString("Zarvo11"));
            QCOMPARE(g.Movable, QString("0")); // goal by picture
            QVERIFY(s.Movable != "0");
            QCOMPARE(QPoint(g.Col, g.Row), cell);
            QCOMPARE(QPoint(g.ImageCol, g.ImageRow), cell);
            QCOMPARE(QPoint(s.ImageCol, s.ImageRow), cell);
            QCOMPARE(s.Caption, g.Caption);
            home.push_back(cell);
            at.push_back(QPoint(s.Col, s.Row));
        }
        // Shuffled, but an even arrangement with the gap bottom right.
        QVERIFY(at != home);
        QVERIFY(EvenPermutation(at, home));
    }

    void everyPuzzleLoadsThroughTheEngine()
    {
        const QStringList files = QDir(DataDir()).entryList({"*.zrv"}, QDir::Files);
        for (const QString &file : files) {
            TPuzzleData data;
            QString error;
            QVERIFY2(Load(file, data, error), qPrintable(file + ": " + error));
            const TZarvoPad &pad = *data.Pad;
            QVERIFY2(!pad.Title.isEmpty(), qPrintable(file));
            // A picture the engine cannot load would have left its name empty.
            QCOMPARE(pad.ImgBack, data.Ini.Value("Pad", "ImgBack"));
            QCOMPARE(pad.ImgZarvos, data.Ini.Value("Pad", "ImgZarvos"));
            const QPoint back = Pair(data.Ini, "BackSize", "0,0");
            QCOMPARE(pad.BackBitmap.size(), QSize(back.x(), back.y()) * pad.UnitSize);
            for (const auto *list : {&pad.Pieces, &pad.Objects})
                for (const auto &z : *list) {
                    const bool inside = z->X >= pad.FrameRect.Left && z->Y >= pad.FrameRect.Top &&
                                        z->X + z->Width <= pad.FrameRect.Right &&
                                        z->Y + z->Height <= pad.FrameRect.Bottom;
                    QVERIFY2(inside, qPrintable(file + ": a piece outside the field"));
                }
            QVERIFY2(!pad.IsSolved(), qPrintable(file + " starts solved"));
        }
    }

    void collectionIsComplete()
    {
        const QStringList files = QDir(DataDir()).entryList({"*.zrv"}, QDir::Files);
        QVERIFY(files.size() >= 30);
        // The help lists every puzzle and nothing else.
        QString error;
        const auto rows = HelpRows(error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList listed;
        for (const auto &row : rows)
            listed << row.first;
        QStringList sorted = files;
        sorted.sort();
        listed.sort();
        QCOMPARE(listed, sorted);
        QStringList titles;
        for (const QString &file : files) {
            const QByteArray bytes = ReadBytes(DataDir() + file);
            QVERIFY2(CrLfOnly(bytes), qPrintable(file));
            QVERIFY2(!file.contains(';'), qPrintable(file));
            const TIni ini = ReadIni(DataDir() + file);
            const QString title = ini.Value("Info", "Title");
            QVERIFY2(!title.isEmpty() && !title.contains(';'), qPrintable(file));
            QVERIFY2(!titles.contains(title), qPrintable(title));
            titles << title;
            QVERIFY2(!ini.Value("Info", "ObjectInfo").isEmpty(), qPrintable(file));
            QVERIFY2(QRegularExpression("^\\*{1,5}$").match(ini.Value("Info", "Rating")).hasMatch(),
                     qPrintable(file));
            for (const char *key : {"ImgBack", "ImgZarvos"}) {
                const QString name = ini.Value("Pad", key);
                QVERIFY2(!QImage(ImageDir() + name).isNull(), qPrintable(file + ": " + name));
            }
            // The board is large enough for the field, and the caption
            // colour is given (the piece picture's corner decides nothing).
            const QPoint frame = Pair(ini, "FrameSize", "4,5"), back = Pair(ini, "BackSize", "0,0");
            QVERIFY2(back.x() >= frame.x() && back.y() >= frame.y(), qPrintable(file));
            if (ini.Has("Pad", "FontName")) {
                QCOMPARE(ini.Value("Pad", "FontName"), QString("Arial"));
                QVERIFY(ini.Value("Pad", "FontColor").toInt() >= 0);
            }
            QVERIFY2(ini.Value("Object", "Count", "0").toInt() > 0, qPrintable(file));
        }
    }

    void pieceTypesHaveBevelsOnOuterSidesOnly()
    {
        const QString path = DataRootDir(Root) + "ZarvoTyp.ini";
        QVERIFY(CrLfOnly(ReadBytes(path)));
        const auto types = ReadTypes(path);
        QVERIFY(types.count("zarvo11"));
        QCOMPARE(int(types.at("zarvo11").size()), 1);
        const TTypeRect one = types.at("zarvo11").front();
        QCOMPARE(
            QString("%1,%2,%3,%4,%5").arg(one.X).arg(one.Y).arg(one.W).arg(one.H).arg(one.Edges),
            QString("0,0,1,1,1111"));
        for (const auto &[name, rects] : types) {
            QVERIFY2(!rects.empty(), qPrintable(name));
            QCOMPARE(QPoint(rects.front().X, rects.front().Y), QPoint(0, 0));
            // Cells of the type, to tell inner sides from outer ones.
            std::map<std::pair<int, int>, int> owner;
            for (size_t r = 0; r < rects.size(); ++r)
                for (int y = 0; y < rects[r].H; ++y)
                    for (int x = 0; x < rects[r].W; ++x) {
                        const auto cell = std::make_pair(rects[r].X + x, rects[r].Y + y);
                        QVERIFY2(!owner.count(cell), qPrintable(name + " overlaps itself"));
                        owner[cell] = int(r);
                    }
            for (size_t r = 0; r < rects.size(); ++r) {
                const TTypeRect &t = rects[r];
                QCOMPARE(t.Edges.size(), 4);
                // Top, right, bottom, left: the cells just outside each side.
                auto side = [&](int k) {
                    std::vector<std::pair<int, int>> out;
                    if (k == 0 || k == 2)
                        for (int x = 0; x < t.W; ++x)
                            out.push_back({t.X + x, k == 0 ? t.Y - 1 : t.Y + t.H});
                    else
                        for (int y = 0; y < t.H; ++y)
                            out.push_back({k == 1 ? t.X + t.W : t.X - 1, t.Y + y});
                    return out;
                };
                for (int k = 0; k < 4; ++k) {
                    int inside = 0;
                    const auto cells = side(k);
                    for (const auto &c : cells)
                        inside += owner.count(c) ? 1 : 0;
                    QVERIFY2(inside == 0 || inside == int(cells.size()),
                             qPrintable(name + ": a side half inside the piece"));
                    const QChar expected = inside ? QChar('0') : QChar('1');
                    QVERIFY2(
                        t.Edges[k] == expected,
                        qPrintable(QString("%1 rectangle %2 side %3").arg(name).arg(r).arg(k)));
                }
            }
        }
    }

    void successSoundIsAShortCleanFanfare()
    {
        const QByteArray wav = ReadBytes(DataRootDir(Root) + "GameOver.wav");
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QCOMPARE(u32(4), quint32(wav.size() - 8));
        QCOMPARE(u16(20), quint16(1)); // PCM
        const int channels = u16(22), rate = int(u32(24)), bits = u16(34);
        QCOMPARE(bits, 16);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const int bytes = int(u32(40));
        QCOMPARE(bytes, int(wav.size()) - 44);
        const int frames = bytes / (2 * channels);
        const double seconds = double(frames) / rate;
        QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QString::number(seconds)));
        int peak = 0, edge = 0;
        const int fade = rate / 200; // 5 ms
        for (int i = 0; i < frames * channels; ++i) {
            const int v = std::abs(int(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i)));
            peak = std::max(peak, v);
            if (i < fade * channels || i >= (frames - fade) * channels)
                edge = std::max(edge, v);
        }
        QVERIFY2(peak > 8000 && peak < 32767, qPrintable(QString::number(peak))); // loud, unclipped
        QVERIFY2(edge < peak / 4, qPrintable(QString::number(edge)));             // no click
    }

    void windowPicturesArePresent()
    {
        const QString res = QStringLiteral(ZARVOS_SOURCE_DIR "/resources/images/");
        const QImage back(res + "MainBack.jpg");
        QVERIFY(back.width() >= 1500 && back.width() <= 1700);
        QVERIFY(back.height() >= 1000 && back.height() <= 1100);
        QCOMPARE(ReadBytes(res + "MainBack.jpg"), ReadBytes(ImageDir() + "MainBack.jpg"));

        QImageReader sampleReader(res + "ExpertSample.bmp");
        const QImage sample = sampleReader.read();
        QCOMPARE(sample.size(), QSize(250, 250));
        QCOMPARE(sample.format(), QImage::Format_Indexed8);
        QVERIFY(sample.colorCount() > 16 && sample.colorCount() <= 256);

        QCOMPARE(QImage(res + "ExpertDeco.png").size(), QSize(64, 64));
    }

    void helpCoversEveryCommand()
    {
        const QString dir = QStringLiteral(ZARVOS_SOURCE_DIR "/docs/help/");
        QVERIFY(QFile::exists(dir + "index.html"));
        QString all;
        QStringList linked{"index.html"};
        const QStringList pages = QDir(dir).entryList({"*.html"}, QDir::Files);
        const QRegularExpression href("href=\"([^\"#:]+)(#[^\"]*)?\"");
        for (const QString &page : pages) {
            const QString text = QString::fromUtf8(ReadBytes(dir + page));
            QVERIFY2(text.contains("<meta charset=\"utf-8\">"), qPrintable(page));
            QVERIFY2(!text.contains("<script", Qt::CaseInsensitive), qPrintable(page));
            QVERIFY2(text.trimmed().endsWith("</html>"), qPrintable(page));
            for (auto m = href.globalMatch(text); m.hasNext();) {
                const QString target = m.next().captured(1);
                QVERIFY2(QFile::exists(dir + target), qPrintable(page + " -> " + target));
                linked << target;
            }
            all += text;
        }
        for (const QString &page : pages)
            QVERIFY2(linked.contains(page), qPrintable(page + " is not linked"));
        // Menu captions, toolbar hints, start panel, dialogs and keys.
        const char *const words[] = {"Neues Spiel ...",
                                     "Spielstand laden ...",
                                     "Spielstand speichern ...",
                                     "Schließen",
                                     "Puzzleexperte ...",
                                     "Programmoptionen ...",
                                     "Beenden",
                                     "Rückgängig",
                                     "Wiederherstellen",
                                     "Eigenschaften ...",
                                     "Zielposition",
                                     "Bestenliste ...",
                                     "Hilfe...",
                                     "Info ...",
                                     "Automatisch einrasten",
                                     "Zielposition anzeigen",
                                     "Bestenliste anzeigen",
                                     "Hilfe anzeigen",
                                     "Programminformationen anzeigen",
                                     "Alten Spielstand laden",
                                     "Letztes Spiel fortsetzen",
                                     "Neustart",
                                     "Strg+N",
                                     "Strg+O",
                                     "Strg+S",
                                     "Strg+Z",
                                     "Umschalt+Strg+Z",
                                     "Alt+Eingabe",
                                     "Strg+P",
                                     "Strg+B",
                                     "F1",
                                     "Esc",
                                     "Alt+Rücktaste",
                                     "Umschalt+Alt+Rücktaste",
                                     "Teile automatisch einrasten",
                                     "Großer HandCursor",
                                     "Vollen Bildschirm nutzen",
                                     "Keine Vorgabe für Spielername in Top-Ten-Liste",
                                     "Bei Erfolg spielen",
                                     "Bei Erfolg anzeigen",
                                     "Testen",
                                     "Platz",
                                     "Züge",
                                     "Zeit",
                                     "Puzzledatei editieren...",
                                     "Puzzleliste aktualisieren",
                                     "Übernehmen",
                                     "Einheit",
                                     "Rand um Teile",
                                     "um Spielfeld",
                                     "Mit Nummern",
                                     "Immer zufällig starten",
                                     "Speichern...",
                                     "Laden...",
                                     "Stelle das Bild wieder her",
                                     "BorderLi",
                                     "BorderSh",
                                     "ZarvoTyp.ini",
                                     "AllwaysRandom",
                                     "ImgZarvosOffset",
                                     "DisableProp"};
        all = all.simplified(); // line breaks inside a phrase
        for (const char *w : words)
            QVERIFY2(all.contains(QString::fromUtf8(w)), w);
    }

    void formatPageNamesTheLimits()
    {
        // The figures an author reads are the ones the loader applies.
        const QString page =
            QString::fromUtf8(ReadBytes(QStringLiteral(ZARVOS_SOURCE_DIR "/docs/help/format.html")))
                .simplified();
        const QLocale german(QLocale::German, QLocale::Germany);
        const QStringList figures{
            QStringLiteral("%1 Millionen Bildpunkte").arg(MaxBoardPixels / 1000000),
            QStringLiteral("%1 Millionen Bildpunkte").arg(MaxPicturePixels / 1000000),
            german.toString(MaxBoardPictureBytes >> 20) + QStringLiteral(" MB"),
            german.toString(MaxLineBytes) + QStringLiteral(" Bytes"),
            QStringLiteral("%1 MB").arg(MaxPictureFileBytes >> 20),
            QStringList{"keins", "eins", "zwei", "drei", "vier", "fünf", "sechs", "sieben"}.value(
                BoardSizedPictures) +
                QStringLiteral(" in Spielfeldgröße")};
        for (const QString &f : figures)
            QVERIFY2(page.contains(f), qPrintable(f));
    }

    void authorsExampleIsPlayable()
    {
        // The worked example of the format page, taken as it stands.
        const QString page = QString::fromUtf8(
            ReadBytes(QStringLiteral(ZARVOS_SOURCE_DIR "/docs/help/format.html")));
        const int begin = page.indexOf("<pre>\n[Pad]");
        QVERIFY(begin >= 0);
        const int end = page.indexOf("</pre>", begin);
        QString text = page.mid(begin + 6, end - begin - 6);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
        text.replace("\n", "\r\n");
        {
            QFile f(DataDir() + "Beispiel.zrv");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text.toLatin1());
        }
        TPuzzleData data;
        QString error;
        QVERIFY2(Load("Beispiel.zrv", data, error), qPrintable(error));
        for (const char *key : {"ImgBack", "ImgZarvos"})
            QVERIFY(!QImage(ImageDir() + data.Ini.Value("Pad", key)).isNull());
        // "fünf Züge", and pushing does not make it shorter.
        const TSolveResult r = TSolver(data.Board).Solve();
        QCOMPARE(r.Outcome, TSolveOutcome::Minimum);
        QCOMPARE(r.Moves, 5);
        QVERIFY(QFile::remove(DataDir() + "Beispiel.zrv"));
    }
};

QTEST_MAIN(TestCollection)
#include "tst_collection.moc"
