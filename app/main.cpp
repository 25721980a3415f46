// The game program.
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormZarvoMain.h"
#include "Glyphs.h"
#include "Settings.h"

#include <QFileInfo>
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
        // Saves cut off by a crash leave their temporary files behind.
        DataRoot::RemoveInterruptedSaves();
        const QString store = SettingsStoreFile();
        if (!store.isEmpty())
            DataRoot::RemoveInterruptedSaves(QFileInfo(store).absolutePath(),
                                             {QFileInfo(store).fileName()});
        TFormZarvoMain main;
        main.show();
        result = QApplication::exec();
    });
    return result;
}
