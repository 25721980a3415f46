// Reading and writing puzzle files, building the board's pictures, and
// installing replacement puzzles.

#include "Allgem.h"
#include "DataRoot.h"
#include "DrawState.h"
#include "FormColour.h"
#include "IniFile.h"
#include "Limits.h"
#include "NViewLib.h"
#include "PadInternal.h"
#include "PadTrack.h"
#include "PuzzleSource.h"
#include "ZarvoError.h"
#include "ZarvoPad.h"
#include "ZarvoTypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <future>
#include <optional>

using PadInternal::CheckedPixel;
using PadInternal::FileInDir;
using PadInternal::NamePart;

namespace {
const QString SPad = QStringLiteral("Pad");
const QString SInfo = QStringLiteral("Info");
const QString SSolution = QStringLiteral("Solution");

QPoint ReadPair(const TIniFile &ini, const QString &key, const QString &def)
{
    // The default text counts only for a missing key; a key that is present
    // with an empty or malformed value fails the load.
    const QString text = ini.ReadString(SPad, key, def);
    try {
        return QPoint(StrToIntStrict(GetField(text, 1)), StrToIntStrict(GetField(text, 2)));
    } catch (const EConvertError &e) {
        throw EConvertError(QStringLiteral("[Pad] %1: %2").arg(key, e.Message));
    }
}

QString PairText(QPoint p)
{
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}

void CheckPoint(QPoint p, const QString &key)
{
    const QString what = QStringLiteral("[Pad] %1").arg(key);
    CheckedPixel(p.x(), what);
    CheckedPixel(p.y(), what);
}

// The built-in 32 x 32 tile that stands in for every missing picture.
QImage BuiltInBack()
{
    QImage back(QStringLiteral(":/images/BACK.bmp"));
    if (back.isNull()) {
        back = QImage(32, 32, QImage::Format_RGB32);
        back.fill(FormColour);
    }
    return back.convertToFormat(QImage::Format_RGB32);
}

// Width and height in pixels of a picture that StartImage makes from
// sizeInUnits tiled from (ox, oy); without a height it is the built-in tile.
struct TPictureSize
{
    qint64 Width = 0, Height = 0;
    bool Positive() const { return Width > 0 && Height > 0; }
    // Above max when either side alone is; so the product never overflows.
    bool Above(qint64 max) const { return Width > max || Height > max || Width * Height > max; }
};

TPictureSize BuiltSize(QPoint units, int unitSize, qint64 ox, qint64 oy)
{
    if (units.y() == 0) {
        const QImage tile = BuiltInBack();
        return {tile.width(), tile.height()};
    }
    return {qint64(units.x()) * unitSize + ox, qint64(units.y()) * unitSize + oy};
}

QString Millions(qint64 pixels)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(double(pixels) / 1e6, 'f', 1);
}

// A picture of the image folder by the name a puzzle gives it.
QString PicturePath(const QString &imageName)
{
    QString rel = imageName;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return FileInDir(DataRoot::ImageDir(), rel);
}

// The size of a picture tiled over w x h units from (ox, oy); an error for
// a size that is impossible or above max pixels.
QSize CheckedPictureSize(QPoint sizeInUnits, int unitSize, int ox, int oy, qint64 max)
{
    const int w = sizeInUnits.x(), h = sizeInUnits.y();
    const qint64 tw = qint64(w) * unitSize + ox;
    const qint64 th = qint64(h) * unitSize + oy;
    if (tw <= 0 || th <= 0 || tw > max || th > max || tw * th > max)
        throw EZarvoError(
            QStringLiteral("Ein Bild von %1 × %2 Pixeln ist nicht möglich (%3 × %4 Einheiten zu %5 "
                           "Pixeln); erlaubt sind höchstens %6 Millionen Pixel.")
                .arg(tw)
                .arg(th)
                .arg(w)
                .arg(h)
                .arg(unitSize)
                .arg(Millions(max)));
    return QSize(int(tw), int(th));
}

// The keys that name and size the board's pictures.
struct TPictureKeys
{
    int UnitSize = 40;
    QString ImgBack, ImgZarvos;
    QPoint BackSize, ZarvoSize;
    bool operator==(const TPictureKeys &) const = default;
};

TPictureKeys ReadPictureKeys(const TIniFile &ini)
{
    TPictureKeys k;
    k.UnitSize = ini.ReadInteger(SPad, QStringLiteral("UnitSize"), 40);
    if (k.UnitSize <= 0)
        throw EZarvoError(
            QStringLiteral("[Pad] UnitSize ist %1; die Rastergröße muss mindestens 1 Pixel sein.")
                .arg(k.UnitSize));
    CheckedPixel(k.UnitSize, QStringLiteral("[Pad] UnitSize"));
    k.ImgBack = ini.ReadString(SPad, QStringLiteral("ImgBack"), QString());
    k.BackSize = ReadPair(ini, QStringLiteral("BackSize"), QStringLiteral("0,0"));
    k.ImgZarvos = ini.ReadString(SPad, QStringLiteral("ImgZarvos"), QString());
    k.ZarvoSize = ReadPair(ini, QStringLiteral("ZarvoSize"), QStringLiteral("0,0"));
    return k;
}

// The pictures a load is about to make, checked before any of them is
// allocated: the board from BackSize and UnitSize, the piece picture from
// ZarvoSize, UnitSize and its offset, and all of them together. Pairs that
// do not parse are left alone here; reading them in turn reports them.
// Gives the piece picture's offset on the board where it was worked out.
std::optional<QPoint> CheckPictureSizes(const TPictureKeys &b, const TIniFile &ini)
{
    const int unit = b.UnitSize;
    const TPictureSize board = BuiltSize(b.BackSize, unit, 0, 0);
    if (!board.Positive())
        return std::nullopt; // StartImage names the impossible size
    if (board.Above(MaxBoardPixels))
        throw EZarvoError(QStringLiteral("Das Spielfeld wäre %1 × %2 Pixel groß ([Pad] BackSize "
                                         "%3,%4 zu %5 Pixeln); erlaubt sind höchstens %6 "
                                         "Millionen Pixel.")
                              .arg(board.Width)
                              .arg(board.Height)
                              .arg(b.BackSize.x())
                              .arg(b.BackSize.y())
                              .arg(unit)
                              .arg(Millions(MaxBoardPixels)));

    QPoint frame, offset;
    try {
        frame = ReadPair(ini, QStringLiteral("FrameSize"), QStringLiteral("4,5"));
        offset = ReadPair(ini, QStringLiteral("ImgZarvosOffset"), QStringLiteral("0,0"));
    } catch (const EConvertError &) {
        return std::nullopt;
    }
    qint64 ox = offset.x(), oy = offset.y();
    if (offset.x() == -1) { // centred as SetImgOffset does
        ox = (board.Width - qint64(frame.x()) * unit) / 2;
        oy = (board.Height - qint64(frame.y()) * unit) / 2;
    }
    if (qAbs(ox) > MaxPixelCoordinate || qAbs(oy) > MaxPixelCoordinate)
        return std::nullopt; // out of range: refused when the offsets are applied
    const TPictureSize pieces = BuiltSize(b.ZarvoSize, unit, ox, oy);
    if (!pieces.Positive())
        return std::nullopt;
    if (pieces.Above(MaxPicturePixels))
        throw EZarvoError(QStringLiteral("Das Teilebild wäre %1 × %2 Pixel groß ([Pad] ZarvoSize "
                                         "%3,%4 zu %5 Pixeln ab %6,%7); erlaubt sind höchstens "
                                         "%8 Millionen Pixel.")
                              .arg(pieces.Width)
                              .arg(pieces.Height)
                              .arg(b.ZarvoSize.x())
                              .arg(b.ZarvoSize.y())
                              .arg(unit)
                              .arg(ox)
                              .arg(oy)
                              .arg(Millions(MaxPicturePixels)));

    const qint64 bytes =
        4 * (BoardSizedPictures * board.Width * board.Height + pieces.Width * pieces.Height);
    if (bytes > MaxBoardPictureBytes) {
        const QLocale german(QLocale::German, QLocale::Germany);
        throw EZarvoError(QStringLiteral("Die Bilder des Spielfelds bräuchten zusammen %1 MB "
                                         "(Spielfeld %2 × %3, Teilebild %4 × %5 Pixel); erlaubt "
                                         "sind höchstens %6 MB.")
                              .arg(german.toString(bytes >> 20))
                              .arg(board.Width)
                              .arg(board.Height)
                              .arg(pieces.Width)
                              .arg(pieces.Height)
                              .arg(german.toString(MaxBoardPictureBytes >> 20)));
    }
    return QPoint(int(ox), int(oy));
}

// A piece entry as editors and the expert write it: printable ASCII, seven
// fields, plain numbers. Read straight from the file's bytes, it gives what
// the general reading below gives; anything else is left to that.
struct TPlainEntry
{
    QLatin1StringView Type, Caption;
    int Numbers[4] = {}; // column, row, image column, image row
    bool Movable = true;
};

bool ReadPlainEntry(QByteArrayView text, TPlainEntry &e)
{
    // One pass splits the entry at its commas and checks every byte.
    const char *p = text.data();
    const qsizetype n = text.size();
    qsizetype cut[8]; // field k runs from cut[k] to the comma at cut[k + 1] - 1
    int commas = 0;
    cut[0] = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c < 0x20 || c > 0x7E)
            return false;
        if (c == ',') {
            if (++commas > 6)
                return false; // other than seven fields
            cut[commas] = i + 1;
        }
    }
    if (commas != 6)
        return false;
    cut[7] = n + 1;
    // A comma at the end (blanks aside) opens no field of its own.
    qsizetype last = n;
    while (last > cut[6] && p[last - 1] == ' ')
        --last;
    if (last == cut[6])
        return false;
    QLatin1StringView fields[7];
    for (int k = 0; k < 7; ++k) {
        qsizetype f = cut[k], t = cut[k + 1] - 1;
        while (f < t && p[f] == ' ')
            ++f;
        while (t > f && p[t - 1] == ' ')
            --t;
        fields[k] = QLatin1StringView(p + f, t - f);
    }
    e.Type = fields[0];
    e.Caption = fields[1];
    for (int k = 0; k < 4; ++k) {
        const QLatin1StringView f = fields[k + 2];
        qsizetype i = 0;
        const bool negative = !f.isEmpty() && f[0] == QLatin1Char('-');
        if (!f.isEmpty() && (f[0] == QLatin1Char('-') || f[0] == QLatin1Char('+')))
            i = 1;
        if (i >= f.size() || f.size() - i > 9)
            return false; // no digits, or perhaps beyond an int
        int value = 0;
        for (; i < f.size(); ++i) {
            const char c = f.data()[i];
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        e.Numbers[k] = negative ? -value : value;
    }
    e.Movable = fields[6] != QLatin1StringView("0");
    return true;
}

// The piece entries of one list, in key order Zarvo1 upwards. Entries of one
// type share the type's name, and a start entry shares the caption of the
// goal entry of the same number when both read the same.
struct TCaptions
{
    std::vector<QString> Text;
    // The bytes each was read from in a plain entry (null otherwise): a
    // plain entry of the other list compares those.
    std::vector<QByteArrayView> Bytes;
};

void ReadPieces(TZarvoPad &b, const TPuzzleSource &source, const QString &section, TZarvoList &list,
                TCaptions &known)
{
    std::vector<QString> &captions = known.Text;
    const TPuzzleSource::TList &entries =
        section == QLatin1String("Start") ? source.Start() : source.Object();
    const int count = entries.Count(0);
    const bool share = !captions.empty();
    // An entry takes some eight bytes at least, so a wild Count reserves
    // nothing beyond what the file can hold.
    const auto room = size_t(std::min<qsizetype>(count, source.Bytes().size() / 8));
    if (count > 0)
        list.reserve(list.size() + room);
    if (!share && count > 0) {
        captions.reserve(room);
        known.Bytes.reserve(room);
    }
    QString entry, typeName;
    QByteArrayView typeBytes; // what typeName was read from in a plain entry
    const TZarvoTyp *type = nullptr;
    QByteArrayView raw;
    TPlainEntry plain;
    for (int i = 1; i <= count; ++i) {
        if (!entries.RawEntry(source.Bytes(), i, raw))
            throw EZarvoError(QStringLiteral("[%1] Zarvo%2 fehlt (Count ist %3).")
                                  .arg(section, QString::number(i), QString::number(count)));
        try {
            if (ReadPlainEntry(raw, plain)) {
                // Plain entries compare bytes: the same bytes, the same text.
                const QByteArrayView typeRead(plain.Type.data(), plain.Type.size());
                const bool sameType =
                    type && (typeBytes.isNull() ? plain.Type == typeName : typeRead == typeBytes);
                if (!sameType) {
                    typeName = plain.Type.toString();
                    typeBytes = typeRead;
                    type = PieceTypes().Find(typeName);
                }
                const QByteArrayView captionRead(plain.Caption.data(), plain.Caption.size());
                const size_t k = size_t(i) - 1;
                QString caption;
                if (share && k < captions.size() &&
                    (known.Bytes[k].isNull() ? captions[k] == plain.Caption
                                             : known.Bytes[k] == captionRead))
                    caption = captions[k];
                else
                    caption = plain.Caption.toString();
                b.AddPiece(list, typeName, type, plain.Numbers[0], plain.Numbers[1],
                           plain.Numbers[2], plain.Numbers[3], plain.Movable, caption);
                if (!share) {
                    captions.push_back(std::move(caption));
                    known.Bytes.push_back(captionRead);
                }
                continue;
            }
            typeBytes = QByteArrayView();
            entries.Entry(source.Bytes(), i, entry);
            // The fields by the field rule, each trimmed: type, caption,
            // column, row, image column, image row, movable.
            TFieldCursor fields(entry, u",");
            const QStringView typeField = TrimmedField(fields.Next());
            if (!type || typeField != typeName) {
                typeName = typeField.toString();
                type = PieceTypes().Find(typeName);
            }
            const QStringView captionField = TrimmedField(fields.Next());
            QString caption;
            if (share && size_t(i) <= captions.size() && captions[size_t(i) - 1] == captionField)
                caption = captions[size_t(i) - 1];
            else
                caption = captionField.toString();
            const int col = StrToIntStrict(TrimmedField(fields.Next()));
            const int row = StrToIntStrict(TrimmedField(fields.Next()));
            const int imageCol = StrToIntStrict(TrimmedField(fields.Next()));
            const int imageRow = StrToIntStrict(TrimmedField(fields.Next()));
            const bool movable = TrimmedField(fields.Next()) != u"0";
            b.AddPiece(list, typeName, type, col, row, imageCol, imageRow, movable, caption);
            if (!share) {
                captions.push_back(std::move(caption));
                known.Bytes.push_back(QByteArrayView());
            }
        } catch (const EZarvoError &e) {
            throw EZarvoError(
                QStringLiteral("[%1] Zarvo%2: %3").arg(section, QString::number(i), e.Message));
        }
    }
}

void ApplyFont(TZarvoPad &b, const TIniFile &ini, const std::function<QColor()> &autoColour)
{
    const QString name = ini.ReadString(SPad, QStringLiteral("FontName"), QStringLiteral("Arial"));
    int size = ini.ReadInteger(SPad, QStringLiteral("FontSize"), 9);
    const int style = ini.ReadInteger(SPad, QStringLiteral("FontStyle"), 1);
    const int color = ini.ReadInteger(SPad, QStringLiteral("FontColor"), -1);
    // A negative size asks for the same size by character height; 0 is the
    // default size.
    if (size < 0)
        size = size == INT_MIN ? 9 : -size;
    if (size == 0)
        size = 9;
    QFont font(name);
    font.setPointSize(qMin(size, 1000));
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    b.Font = font;
    if (color == -1) {
        b.DefaultFont = true;
        b.FontColor = autoColour();
    } else {
        b.DefaultFont = false;
        b.FontColor = QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    }
}

int ColorValue(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

int StyleValue(const QFont &f)
{
    return (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0);
}

void WriteFontKeys(TIniFile &ini, bool defaultFont, const QString &name, int size, int color,
                   int style)
{
    const QString keys[] = {QStringLiteral("FontName"), QStringLiteral("FontSize"),
                            QStringLiteral("FontColor"), QStringLiteral("FontStyle")};
    if (defaultFont) {
        for (const QString &k : keys)
            ini.DeleteKey(SPad, k);
        return;
    }
    ini.WriteString(SPad, keys[0], name);
    ini.WriteInteger(SPad, keys[1], size);
    ini.WriteInteger(SPad, keys[2], color);
    ini.WriteInteger(SPad, keys[3], style);
}

void WritePieceList(TIniFile &ini, const TZarvoPad &b, const QString &section,
                    const TZarvoList &list)
{
    int n = 0;
    for (const auto &p : list) {
        // One entry per piece: single pieces and the master part of a
        // compound piece (the type brings back the other parts).
        if (p->Master && p->Master != p.get())
            continue;
        ++n;
        const int imageCol = FloorDiv(p->ImageX - b.Offset.x(), b.UnitSize);
        const int imageRow = FloorDiv(p->ImageY - b.Offset.y(), b.UnitSize);
        ini.WriteString(section, QStringLiteral("Zarvo%1").arg(n),
                        QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
                            .arg(p->TypeName, p->Caption)
                            .arg(b.Col(p.get()))
                            .arg(b.Row(p.get()))
                            .arg(imageCol)
                            .arg(imageRow)
                            .arg(p->Movable ? 1 : 0));
    }
    ini.WriteInteger(section, QStringLiteral("Count"), n);
}

QString PuzzlePath(const QString &name)
{
    return FileInDir(DataRoot::DataDir(), NamePart(name));
}

// The piece picture as decoded, and where it already stands in the faces
// picture (empty when it is a picture of its own).
struct TDecodedPicture
{
    QImage Picture;
    QRect Placed;
};

// Decodes the picture at path, into the board-sized picture at faces
// (bytesPerLine, size) with its top-left corner at origin when it fits
// there whole; faces may be null.
TDecodedPicture DecodeInPlace(const QString &path, uchar *faces, qsizetype bytesPerLine, QSize size,
                              QPoint origin)
{
    uchar *at = nullptr;
    QSize placed;
    TDecodedPicture d;
    d.Picture = NViewLibLoad(path, [&](QSize picture) {
        if (!faces || origin.x() < 0 || origin.y() < 0 ||
            picture.width() > size.width() - origin.x() ||
            picture.height() > size.height() - origin.y())
            return QImage();
        at = faces + qsizetype(origin.y()) * bytesPerLine + qsizetype(origin.x()) * 4;
        placed = picture;
        return QImage(at, picture.width(), picture.height(), bytesPerLine, QImage::Format_RGB32);
    });
    if (at && d.Picture.constBits() == at && d.Picture.size() == placed &&
        d.Picture.format() == QImage::Format_RGB32)
        d.Placed = QRect(origin, placed);
    return d;
}

// Starts decoding the piece picture keys name, when it is tiled: into
// faces, made here board-sized, when its place there is known.
std::future<TDecodedPicture> StartDecoding(const TPictureKeys &keys, std::optional<QPoint> origin,
                                           QImage &faces)
{
    faces = QImage();
    if (keys.ImgZarvos.isEmpty() || keys.ZarvoSize.y() == 0)
        return {};
    const TPictureSize board = BuiltSize(keys.BackSize, keys.UnitSize, 0, 0);
    if (origin && board.Positive() && !board.Above(MaxBoardPixels))
        faces = QImage(int(board.Width), int(board.Height), QImage::Format_RGB32);
    return std::async(std::launch::async, DecodeInPlace, PicturePath(keys.ImgZarvos),
                      faces.isNull() ? nullptr : faces.bits(), faces.bytesPerLine(), faces.size(),
                      origin.value_or(QPoint(-1, -1)));
}

// Reads the whole puzzle onto a fresh board, in the order the board's sizes
// depend on each other: the background fixes the board size, the board size
// centres the field, the field places the pieces, and the piece picture must
// exist before the automatic caption colour looks at it.

void LoadStaged(TZarvoPad &b, const QString &name, bool withState)
{
    QString puzzle = name;
    if (withState)
        puzzle = PadInternal::ReadGameState(b, name);

    b.FileName = NamePart(puzzle);
    TPuzzleSource source(b.FileName.isEmpty() ? QString() : PuzzlePath(b.FileName),
                         TPuzzleSource::Deferred);
    // The piece picture is decoded on a thread of its own while the rest of
    // the file is read, the background built and the pieces made. It is
    // started from the lines before the piece lists, where the keys naming
    // and placing it stand, and started again in the rare file that reads
    // otherwise as a whole. The faces picture it may be decoded into is
    // declared before the thread, so it outlives the thread's writing into
    // it whatever the load throws.
    QImage faces;
    std::future<TDecodedPicture> decoding;
    TPictureKeys early;
    std::optional<QPoint> earlyOrigin;
    try {
        early = ReadPictureKeys(source.Head());
        earlyOrigin = CheckPictureSizes(early, source.Head());
        decoding = StartDecoding(early, earlyOrigin, faces);
    } catch (const EZarvoError &) {
        // Reported below, where the whole file is read.
    }
    source.Finish();
    const TIniFile &ini = source.Ini();

    b.Title = ini.ReadString(SInfo, QStringLiteral("Title"), QString());
    b.ObjectInfo = ini.ReadString(SInfo, QStringLiteral("ObjectInfo"), QString());
    b.BestMoves =
        GetField(ini.ReadString(SSolution, QStringLiteral("Best1"), QStringLiteral("?")), 1);
    b.Rating = ini.ReadString(SInfo, QStringLiteral("Rating"), QString()).left(16);

    b.DisableProp = ini.ReadInteger(SPad, QStringLiteral("DisableProp"), 0) == 1;
    const TPictureKeys keys = ReadPictureKeys(ini);
    b.UnitSize = keys.UnitSize;
    b.ImgBack = keys.ImgBack;
    b.BackSize = keys.BackSize;
    b.ImgZarvos = keys.ImgZarvos;
    b.ZarvoSize = keys.ZarvoSize;
    b.NoZarvoBorder = ini.ReadInteger(SPad, QStringLiteral("NoZarvoBorder"), 0) == 1;
    b.NoZarvoCaption = ini.ReadInteger(SPad, QStringLiteral("NoZarvoCaption"), 0) == 1;
    b.AllwaysRandom = ini.ReadInteger(SPad, QStringLiteral("AllwaysRandom"), 0) != 0;

    const std::optional<QPoint> plannedOrigin = CheckPictureSizes(keys, ini);
    if (!decoding.valid() || !(keys == early) || plannedOrigin != earlyOrigin) {
        if (decoding.valid())
            decoding.wait(); // decoded for other keys: dropped with its faces picture
        decoding = StartDecoding(keys, plannedOrigin, faces);
    }
    const bool tiled = b.ZarvoSize.y() != 0;
    // The background: a picture of its own is decoded meanwhile as well.
    std::future<bool> laying = b.StartImage(b.BackBitmap, b.BackSize, b.ImgBack, 0, 0);

    const QPoint frame = ReadPair(ini, QStringLiteral("FrameSize"), QStringLiteral("4,5"));
    CheckedPixel(qint64(frame.x()) * b.UnitSize, QStringLiteral("[Pad] FrameSize"));
    CheckedPixel(qint64(frame.y()) * b.UnitSize, QStringLiteral("[Pad] FrameSize"));
    b.SetFrameSize(frame);
    const QPoint offset = ReadPair(ini, QStringLiteral("Offset"), QStringLiteral("-1,-1"));
    CheckPoint(offset, QStringLiteral("Offset"));
    b.SetOffset(offset);
    const QPoint imgOffset =
        ReadPair(ini, QStringLiteral("ImgZarvosOffset"), QStringLiteral("0,0"));
    CheckPoint(imgOffset, QStringLiteral("ImgZarvosOffset"));
    b.SetImgOffset(imgOffset);

    // The piece picture's size is checked here; the picture itself is made
    // once it is decoded. Without a height it is the built-in tile as it is.
    const QSize rawSize = !tiled ? QSize()
                                 : CheckedPictureSize(b.ZarvoSize, b.UnitSize, b.ImgOffset.x(),
                                                      b.ImgOffset.y(), MaxPicturePixels);
    const QImage builtIn = tiled ? QImage() : BuiltInBack();
    const QPoint origin = tiled ? b.ImgOffset : QPoint(0, 0);
    const QSize pieceSize = tiled ? rawSize : builtIn.size();

    b.DrawFrame = ini.ReadInteger(SPad, QStringLiteral("DrawFrame"), 1) == 1;

    TCaptions captions;
    ReadPieces(b, source, QStringLiteral("Object"), b.Objects, captions);
    ReadPieces(b, source, QStringLiteral("Start"), b.Pieces, captions);

    if (b.AllwaysRandom)
        b.Shuffle();

    b.Border = ini.ReadInteger(SPad, QStringLiteral("Border"), 2);
    b.BorderLi = ini.ReadString(SPad, QStringLiteral("BorderLi"), QStringLiteral("0"));
    b.BorderSh = ini.ReadString(SPad, QStringLiteral("BorderSh"), QStringLiteral("0"));

    // What needs no pixels is done while the picture is still decoded; the
    // look at the faces on a thread of its own, as it only reads what the
    // records leave alone (sizes, picture places, captions, edges).
    std::future<bool> faceLook = std::async(std::launch::async, [&b, pieceSize] {
        return b.GoalFromFacesPossible(QRect(QPoint(0, 0), pieceSize));
    });
    if (withState) {
        PadInternal::CheckHistory(b);
        b.RestorePosition(b.MoveIndex);
    } else {
        b.RecordPosition(0);
    }
    b.GoalReached(); // the goal test's record, made now rather than at the first move
    const bool goalFromFaces = faceLook.get();

    // The piece picture: decoded, or the built-in tile (and no name) when
    // there is none; tiled from the image offset over ZarvoSize.
    TDecodedPicture decoded = decoding.valid() ? decoding.get() : TDecodedPicture();
    QImage scratch = std::move(decoded.Picture);
    if (b.ImgZarvos.isEmpty() || scratch.height() == 0 || !tiled) {
        scratch = tiled ? BuiltInBack() : builtIn;
        b.ImgZarvos.clear(); // a later save writes the key empty
        decoded.Placed = QRect();
    }
    if (!decoded.Placed.isEmpty() && decoded.Placed.topLeft() != origin) {
        scratch = scratch.copy(); // not where the tiles start: read from a copy
        decoded.Placed = QRect();
    }
    scratch.convertTo(QImage::Format_RGB32);
    ApplyFont(b, ini, [&] { return TZarvoPad::AutoFontColorOf(scratch, origin, pieceSize); });

    if (!laying.get())
        b.ImgBack.clear(); // a later save writes the key empty
    b.PaintBackgroundBevels();
    b.PrepareLoadedPictures(scratch, origin, pieceSize, goalFromFaces, std::move(faces),
                            decoded.Placed);
}

} // namespace

void TZarvoPad::LoadPuzzle(const QString &name, bool withState)
{
    TZarvoPad staged;
    staged.FullScreen = FullScreen;
    staged.Cursor64 = Cursor64;
    staged.Constructing = Constructing;
    try {
        LoadStaged(staged, name, withState);
    } catch (const EZarvoError &e) {
        throw e.Prefixed(PadInternal::LoadPrefix());
    }

    // The new puzzle's look, pictures and game replace the old ones; the
    // view's hooks and the hand stay with this board. A drag in progress,
    // the pieces last pressed and what was last composed or indexed belong
    // to the old puzzle.
    static_cast<TPadLook &>(*this) = std::move(staged);
    static_cast<TPadPictures &>(*this) = std::move(staged);
    static_cast<TPadGameState &>(*this) = std::move(staged);
    TPadMouse mouse;
    mouse.MouseInside = MouseInside;
    mouse.HandX = HandX;
    mouse.HandY = HandY;
    mouse.Cursor64 = Cursor64;
    static_cast<TPadMouse &>(*this) = mouse;
    // The drawing state and the record of the pieces came with them; they
    // describe this board's pictures and lists now.
    FDraw = std::move(staged.FDraw);
    FTrack = std::move(staged.FTrack);
    if (FTrack) {
        FTrack->List = &Pieces;
        FTrack->GoalList = &Objects;
    }
}

void TZarvoPad::SetFrameSize(QPoint size)
{
    FrameSize = size;
    FrameRect = {Offset.x(), Offset.y(), Offset.x() + size.x() * UnitSize,
                 Offset.y() + size.y() * UnitSize};
}

void TZarvoPad::SetOffset(QPoint offset)
{
    OffsetSet = offset;
    if (offset.x() == -1)
        Offset = QPoint((Width() - FrameSize.x() * UnitSize) / 2,
                        (Height() - FrameSize.y() * UnitSize) / 2);
    else
        Offset = offset;
    SetFrameSize(FrameSize);
}

void TZarvoPad::SetImgOffset(QPoint offset)
{
    ImgOffsetSet = offset;
    // Centred like the field, so image cells and board cells count from the
    // same corner.
    if (offset.x() == -1)
        ImgOffset = QPoint((Width() - FrameSize.x() * UnitSize) / 2,
                           (Height() - FrameSize.y() * UnitSize) / 2);
    else
        ImgOffset = offset;
}

std::future<bool> TZarvoPad::StartImage(QImage &target, QPoint sizeInUnits,
                                        const QString &imageName, int ox, int oy)
{
    if (sizeInUnits.y() == 0) {
        // Without a height the picture is not used, so it is not even read.
        target = BuiltInBack();
        std::promise<bool> unused;
        unused.set_value(false);
        return unused.get_future();
    }
    const qint64 max = &target == &BackBitmap ? MaxBoardPixels : MaxPicturePixels;
    const QSize size = CheckedPictureSize(sizeInUnits, UnitSize, ox, oy, max);
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        throw EZarvoError(QStringLiteral("Zu wenig Speicher für ein Bild von %1 × %2 Pixeln.")
                              .arg(size.width())
                              .arg(size.height()));
    target = std::move(out);
    uchar *bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const QString path = imageName.isEmpty() ? QString() : PicturePath(imageName);
    const auto lay = [bits, stride, size, path, ox, oy] {
        QImage scratch = path.isEmpty() ? QImage() : NViewLibLoad(path);
        const bool used = scratch.height() != 0;
        if (!used)
            scratch = BuiltInBack();
        // Tiles are laid from the offset. The strip left of and above it is
        // filled by continuing the tiling backwards: no face is cut from it,
        // but the automatic caption colour samples the picture's top-left
        // corner, which lies in that strip when the picture is centred.
        QImage picture(bits, size.width(), size.height(), stride, QImage::Format_RGB32);
        TileInto(picture, picture.rect(), scratch.convertToFormat(QImage::Format_RGB32), ox, oy);
        return used;
    };
    if (!path.isEmpty())
        return std::async(std::launch::async, lay);
    // Only a picture to decode is worth a thread of its own: the built-in
    // tile is laid at once, while the other cores decode.
    std::promise<bool> laid;
    laid.set_value(lay());
    return laid.get_future();
}

QColor TZarvoPad::AutoFontColorOf(const QImage &tile, QPoint origin, QSize size)
{
    // Mean brightness of a corner of the piece picture as loaded (tiled from
    // origin over size), where captions sit.
    qint64 r = 0, g = 0, b = 0;
    const auto floorMod = [](qint64 a, int m) { return int(((a % m) + m) % m); };
    if (!tile.isNull())
        for (int y = 1; y <= 10 && y < size.height(); ++y)
            for (int x = 1; x <= 10 && x < size.width(); ++x) {
                const QRgb c = tile.pixel(floorMod(qint64(x) - origin.x(), tile.width()),
                                          floorMod(qint64(y) - origin.y(), tile.height()));
                r += qRed(c);
                g += qGreen(c);
                b += qBlue(c);
            }
    return (r * r + g * g + b * b < 483870001) ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

void TZarvoPad::SaveLook(const QString &name)
{
    QDir().mkpath(DataRoot::DataDir());
    TIniFile ini(PuzzlePath(name));
    ini.WriteString(SPad, QStringLiteral("ImgBack"), ImgBack);
    ini.WriteString(SPad, QStringLiteral("ImgZarvos"), ImgZarvos);
    ini.WriteInteger(SPad, QStringLiteral("UnitSize"), UnitSize);
    ini.WriteInteger(SPad, QStringLiteral("Border"), Border);
    WriteFontKeys(ini, DefaultFont, Font.family(), Font.pointSize(), ColorValue(FontColor),
                  StyleValue(Font));
    ini.UpdateFile();
}

void TZarvoPad::SavePuzzle(const QString &name)
{
    SaveLook(name);
    TIniFile ini(PuzzlePath(name));
    ini.WriteBool(SPad, QStringLiteral("DisableProp"), DisableProp);
    ini.WriteString(SPad, QStringLiteral("BackSize"), PairText(BackSize));
    ini.WriteString(SPad, QStringLiteral("ZarvoSize"), PairText(ZarvoSize));
    ini.WriteString(SPad, QStringLiteral("Offset"), PairText(OffsetSet));
    ini.WriteString(SPad, QStringLiteral("ImgZarvosOffset"), PairText(ImgOffsetSet));
    ini.WriteString(SPad, QStringLiteral("FrameSize"), PairText(FrameSize));
    ini.WriteBool(SPad, QStringLiteral("DrawFrame"), DrawFrame);
    ini.WriteBool(SPad, QStringLiteral("NoZarvoCaption"), NoZarvoCaption);
    ini.WriteBool(SPad, QStringLiteral("NoZarvoBorder"), NoZarvoBorder);
    ini.WriteBool(SPad, QStringLiteral("AllwaysRandom"), AllwaysRandom);
    WritePieceList(ini, *this, QStringLiteral("Start"), Pieces);
    WritePieceList(ini, *this, QStringLiteral("Object"), Objects);
    ini.WriteString(SInfo, QStringLiteral("Title"), Title);
    ini.WriteString(SInfo, QStringLiteral("ObjectInfo"), ObjectInfo);
    ini.WriteString(SInfo, QStringLiteral("Rating"), Rating);
    if (BestMoves != QLatin1String("?"))
        ini.WriteString(SSolution, QStringLiteral("Best1"), BestMoves + QStringLiteral(",Minimum"));
    ini.UpdateFile();
}

void TZarvoPad::CarryOverSettings(const QString &name)
{
    const QString file = NamePart(name);
    const TIniFile installed(PuzzlePath(file));
    const QString imgBack = installed.ReadString(SPad, QStringLiteral("ImgBack"), QString());
    const QString imgZarvos = installed.ReadString(SPad, QStringLiteral("ImgZarvos"), QString());
    const int unitSize = installed.ReadInteger(SPad, QStringLiteral("UnitSize"), 40);
    const int border = installed.ReadInteger(SPad, QStringLiteral("Border"), 2);
    const QString fontName =
        installed.ReadString(SPad, QStringLiteral("FontName"), QStringLiteral("Arial"));
    const int fontSize = installed.ReadInteger(SPad, QStringLiteral("FontSize"), 9);
    const int fontStyle = installed.ReadInteger(SPad, QStringLiteral("FontStyle"), 1);
    const int fontColor = installed.ReadInteger(SPad, QStringLiteral("FontColor"), -1);
    const bool byMoves = installed.ReadBool(SSolution, QStringLiteral("Sort"), true);

    const QString newDir = FileInDir(DataRoot::DataDir(), QStringLiteral("New")) + QLatin1Char('/');
    TIniFile replacement(FileInDir(newDir, file));
    // The players' results stay; the "Minimum" entry is the author's and
    // comes from the replacement, so a corrected minimum reaches players
    // who had the puzzle before. The list keeps its order.
    const QString minimum = QStringLiteral("Minimum");
    std::vector<QString> best;
    for (int i = 1; i <= 10; ++i) {
        const QString key = QStringLiteral("Best%1").arg(i);
        const QString mine = installed.ReadString(SSolution, key, QStringLiteral("?"));
        if (mine != QLatin1String("?") && GetField(mine, 2) != minimum)
            best.push_back(mine);
        const QString theirs = replacement.ReadString(SSolution, key, QStringLiteral("?"));
        if (theirs != QLatin1String("?") && GetField(theirs, 2) == minimum)
            best.push_back(theirs);
    }
    const auto number = [](const QString &entry, int n) { return GetField(entry, n).toInt(); };
    std::stable_sort(best.begin(), best.end(), [&](const QString &a, const QString &b) {
        const int first = byMoves ? 1 : 3, second = byMoves ? 3 : 1;
        return std::make_pair(number(a, first), number(a, second)) <
               std::make_pair(number(b, first), number(b, second));
    });
    replacement.WriteString(SPad, QStringLiteral("ImgBack"), imgBack);
    replacement.WriteString(SPad, QStringLiteral("ImgZarvos"), imgZarvos);
    replacement.WriteInteger(SPad, QStringLiteral("UnitSize"), unitSize);
    replacement.WriteInteger(SPad, QStringLiteral("Border"), border);
    WriteFontKeys(replacement, fontColor == -1, fontName, fontSize, fontColor & 0xFFFFFF,
                  fontStyle & 7);
    for (int i = 1; i <= 10; ++i) {
        const QString key = QStringLiteral("Best%1").arg(i);
        if (i <= int(best.size()))
            replacement.WriteString(SSolution, key, best[size_t(i - 1)]);
        else
            replacement.DeleteKey(SSolution, key);
    }
    replacement.UpdateFile();
}

void MergeNewPuzzles()
{
    const QString newDir = FileInDir(DataRoot::DataDir(), QStringLiteral("New"));
    if (!QFileInfo(newDir).isDir())
        return;
    QDir dir(newDir);
    const QStringList names =
        dir.entryList({QStringLiteral("*.zrv")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const QString source = dir.filePath(name);
        if (QFileInfo(source).isSymLink())
            continue; // only ordinary files
        const QString installed = PuzzlePath(name);
        if (QFileInfo::exists(installed))
            TZarvoPad::CarryOverSettings(name);
        // A replacement that could not be installed stays for the next start
        // instead of being thrown away.
        if (CopyFileKeepDate(source, installed, false))
            QFile::remove(source);
    }
    dir.rmdir(newDir); // stays when anything else is left in it
}

QString TZarvoPad::PuzzleFile(const QString &name)
{
    return PuzzlePath(name);
}
