// gen-collection: paints the pictures of the bundled collection, synthesises
// the success sound and writes the piece types and the puzzle files.
//   gen-collection <source folder>
// writes below <source folder>/data and <source folder>/resources/images.
#include "Collection.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

bool Fail(const QString &what)
{
    std::fprintf(stderr, "gen-collection: cannot write %s\n", qPrintable(what));
    return false;
}

bool Run(const QString &root)
{
    const QString data = root + "/data", image = data + "/Image/";
    const QString resources = root + "/resources/images/";

    // Board textures (seamless tiles).
    struct TTexture
    {
        const char *Name;
        QImage Image;
    };
    const TTexture textures[] = {
        {"Holz.jpg", WoodTexture(256, QColor(226, 190, 140), QColor(176, 128, 80), 11)},
        {"Nussbaum.jpg", WoodTexture(256, QColor(120, 80, 52), QColor(62, 38, 22), 12)},
        {"Stein.jpg", StoneTexture(256, QColor(170, 160, 146), 13)},
        {"Schiefer.jpg", SlateTexture(256, 14)},
        {"Filz.jpg", FeltTexture(256, QColor(34, 110, 60), 15)},
        {"Filz-blau.jpg", FeltTexture(256, QColor(40, 66, 130), 16)},
    };
    for (const TTexture &t : textures)
        if (!SavePicture(t.Image, image + t.Name, 88))
            return Fail(t.Name);

    // Pictures of the picture puzzles.
    if (!SavePicture(PaintLakeAtDusk(300, 300), image + "Abendsee.jpg", 90) ||
        !SavePicture(PaintMosaic(360, 360), image + "Rosette.jpg", 90) ||
        !SavePicture(PaintJulia(400, 400), image + "Julia.jpg", 90) ||
        !SavePicture(PaintMandelbrot(640, 480), image + "Seepferdchental.jpg", 90) ||
        !SavePicture(PaintMeadow(400, 300), image + "Sommerwiese.jpg", 90))
        return Fail("the puzzle pictures");

    // The main window's background, for the game and as a picture for puzzles.
    const QImage back = MainBackTexture(1600, 1070);
    if (!SavePicture(back, image + "MainBack.jpg", 85) ||
        !SavePicture(back, resources + "MainBack.jpg", 85))
        return Fail("MainBack.jpg");

    // The expert's sample (256 colours) and its decoration.
    const QImage sample =
        PaintMeadow(250, 250).convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    if (!SavePicture(sample, resources + "ExpertSample.bmp") ||
        !SavePicture(PaintExpertDeco(64), resources + "ExpertDeco.png"))
        return Fail("the expert's pictures");

    QSaveFile wav(data + "/GameOver.wav");
    if (!wav.open(QIODevice::WriteOnly) || wav.write(SynthesiseFanfare()) < 0 || !wav.commit())
        return Fail("GameOver.wav");

    if (!WriteCollection(data, root + "/docs/help/sammlung.html"))
        return Fail("the puzzle files");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen-collection <source folder>\n");
        return 2;
    }
    return Run(QDir(QString::fromLocal8Bit(argv[1])).absolutePath()) ? 0 : 1;
}
