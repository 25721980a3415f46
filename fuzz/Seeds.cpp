#include "Seeds.h"

#include "FuzzCommon.h"
#include "PictureEncoders.h"

#include "DataRoot.h"
#include "IniFile.h"
#include "Settings.h"
#include "ZarvoGame.h"
#include "ZarvoRandom.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>

namespace {
QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        FuzzFail(__FILE__, __LINE__, QStringLiteral("cannot read %1").arg(path));
    return f.readAll();
}

QString Bundled(const QString &rel)
{
    return QStringLiteral(ZARVOS_DATA_DIR "/") + rel;
}

// The bundled puzzles as they are, or as the fuzz root holds them.
TSeeds Puzzles(bool small)
{
    TSeeds seeds;
    for (const QString &name : FuzzPuzzles())
        seeds.append({name, small ? FuzzPuzzleBytes(name)
                                  : ReadFile(Bundled(QStringLiteral("Data/") + name))});
    return seeds;
}

// The piece-type file, and each of its types alone.
TSeeds PieceTypes()
{
    const QByteArray whole = ReadFile(Bundled(QStringLiteral("ZarvoTyp.ini")));
    TSeeds seeds{{QStringLiteral("ZarvoTyp.ini"), whole}};
    TIniFile ini;
    ini.SetText(DecodeWin1252(whole));
    for (const QString &type : ini.SectionNames()) {
        QString text = QLatin1Char('[') + type + QStringLiteral("]\r\n");
        for (const QString &key : ini.KeyNames(type))
            text += key + QLatin1Char('=') + ini.ReadString(type, key, QString()) +
                    QStringLiteral("\r\n");
        seeds.append({type + QStringLiteral(".ini"), EncodeWin1252(text)});
    }
    return seeds;
}

// A piece's centre in board pixels.
QPoint Centre(const TZarvo &p)
{
    return QPoint(p.X + p.Width / 2, p.Y + p.Height / 2);
}

// A game of a few moves on each bundled puzzle: each movable piece that is
// picked is dragged a unit in one direction (the rules push or stop it),
// with undo, redo, the goal and saves in between. As a script, and as the
// game state it saves.
struct TPlayed
{
    QByteArray Script, State;
};

TPlayed PlayGame(const QString &puzzle, quint32 seed, bool grid)
{
    QRandomGenerator rng(seed);
    ZarvoRandom::SetSeed(seed);
    TZarvoGame game;
    game.SnapToGrid = [grid] { return grid; };
    game.Load(puzzle, false);
    TZarvoPad &pad = game.Board();
    QByteArray script = (grid ? "--grid " : "") + puzzle.toUtf8() + '\n';
    for (int step = 0; step < 14; ++step) {
        const int roll = int(rng.bounded(10));
        if (roll == 0 && game.Undo(true)) {
            script += "undo\n";
            continue;
        }
        if (roll == 1 && game.Redo(true)) {
            script += "redo\n";
            continue;
        }
        if (roll == 2) {
            script += "goal on\nprint\ngoal off\n";
            continue;
        }
        if (roll == 3) {
            script += "save s" + QByteArray::number(step) + ".zrh\n";
            continue;
        }
        std::vector<int> movable;
        for (int i = 0; i < pad.PieceCount(); ++i)
            if (pad.Piece(i)->Movable)
                movable.push_back(i);
        if (movable.empty())
            break;
        const TZarvo &p = *pad.Piece(movable[rng.bounded(int(movable.size()))]);
        const QPoint from = Centre(p);
        static const QPoint directions[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        const QPoint to = from + directions[rng.bounded(4)] * pad.UnitSize;
        const QPoint half = (from + to) / 2;
        pad.MouseDown(mbLeft, ssLeft, from.x(), from.y());
        pad.MouseMove(ssLeft, half.x(), half.y());
        pad.MouseMove(ssLeft, to.x(), to.y());
        pad.MouseUp(mbLeft, 0, to.x(), to.y());
        script += QStringLiteral("down %1 %2\nmove %3 %4\nmove %5 %6\nup %5 %6\n")
                      .arg(from.x())
                      .arg(from.y())
                      .arg(half.x())
                      .arg(half.y())
                      .arg(to.x())
                      .arg(to.y())
                      .toUtf8();
    }
    script += "print\nhistory\nsave last.zrh\n";
    pad.SaveGameState(QStringLiteral("seed.zrh"));
    const QString file = DataRoot::HistDir() + QStringLiteral("seed.zrh");
    TPlayed played{script, ReadFile(file)};
    QFile::remove(file);
    return played;
}

TSeeds Games(bool scripts)
{
    TSeeds seeds;
    quint32 seed = 20261208;
    for (const QString &name : FuzzPuzzles()) {
        for (const bool grid : {false, true}) {
            const TPlayed played = PlayGame(name, ++seed, grid);
            const QString base = QFileInfo(name).completeBaseName() + (grid ? "-grid" : "");
            if (scripts)
                seeds.append({base + QStringLiteral(".txt"), played.Script});
            else if (!grid)
                seeds.append({base + QStringLiteral(".zrh"), played.State});
        }
    }
    return seeds;
}

// Settings as the game stores them: the first start's, and some a player
// could have chosen.
TSeeds StoredSettings()
{
    TSeeds seeds;
    TZarvoSettings chosen = DefaultSettings();
    chosen.FullScreen2 = false;
    chosen.Grid = false;
    chosen.ZarvoIndex = 7;
    chosen.Player = QStringLiteral("Jürgen, der Zweite");
    chosen.NoOldPlayer = true;
    chosen.GameOverText = QStringLiteral("Geschafft; \"gut\" gemacht!");
    int n = 0;
    for (const TZarvoSettings &s : {DefaultSettings(), chosen}) {
        const QString file = FuzzRoot() + QStringLiteral("seed-settings-%1.ini").arg(++n);
        {
            QSettings store(file, QSettings::IniFormat);
            SaveZarvoSettings(store, s);
            store.beginGroup(QStringLiteral("FormMain"));
            store.setValue(QStringLiteral("Left"), QStringLiteral("120"));
            store.setValue(QStringLiteral("Maximized"), QStringLiteral("0"));
        }
        seeds.append({QStringLiteral("Zarvos-%1.ini").arg(n), ReadFile(file)});
        QFile::remove(file);
    }
    return seeds;
}

// The bundled pictures shrunk to a few pixels (inputs stay small and fast),
// in one format.
TSeeds Pictures(const QByteArray &format)
{
    using namespace PictureEncoders;
    TSeeds seeds;
    const QDir images(Bundled(QStringLiteral("Image")));
    int n = 0;
    for (const QString &name : images.entryList(QDir::Files, QDir::Name)) {
        const QImage full(images.filePath(name));
        if (full.isNull())
            continue;
        // Odd sizes too, so lines need padding.
        const QSize size = (n++ % 2) ? QSize(16, 12) : QSize(13, 7);
        const QImage small = full.scaled(size).convertToFormat(QImage::Format_RGB32);
        QByteArray bytes;
        if (format == "pcx")
            bytes = (n % 2) ? Pcx(small, true) : Pcx(small.convertToFormat(QImage::Format_Indexed8), false);
        else if (format == "gif")
            bytes = Gif(small);
        else if (format == "tga")
            bytes = Tga(small);
        else
            bytes = Encode(small, format.constData(), format == "jpeg" ? 75 : -1);
        seeds.append({QFileInfo(name).completeBaseName() + QLatin1Char('.') +
                          QString::fromLatin1(format),
                      bytes});
    }
    return seeds;
}
} // namespace

TSeeds MakeSeeds(const QString &target)
{
    if (target == QLatin1String("puzzle"))
        return Puzzles(true);
    if (target == QLatin1String("piecetypes"))
        return PieceTypes();
    if (target == QLatin1String("gamestate"))
        return Games(false);
    if (target == QLatin1String("play"))
        return Games(true);
    if (target == QLatin1String("ini"))
        return Puzzles(false) + PieceTypes().mid(0, 1);
    if (target == QLatin1String("settings"))
        return StoredSettings();
    if (target.startsWith(QLatin1String("picture_")))
        return Pictures(target.mid(8).toLatin1());
    return {};
}
