// The game program.
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormZarvoMain.h"
#include "Glyphs.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    TZarvosApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvos"));
    QApplication::setWindowIcon(Glyph(TGlyph::NewGame));

    // The game speaks German; the standard dialogs' buttons do so too when
    // the user's language is German.
    QTranslator qtGerman;
    if (QLocale().language() == QLocale::German &&
        qtGerman.load(QStringLiteral("qtbase_de"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);

    int result = 1;
    RunReported([&] {
        DataRoot::Init();
        TFormZarvoMain main;
        main.show();
        result = QApplication::exec();
    });
    return result;
}
