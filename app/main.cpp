// The game program.
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormZarvoMain.h"
#include "GermanText.h"
#include "Glyphs.h"
#include "Settings.h"

#include <QFileInfo>

int main(int argc, char *argv[])
{
    TZarvosApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvos"));
    QApplication::setWindowIcon(Glyph(TGlyph::NewGame));

    // The game speaks German, and so do Qt's standard dialogs and buttons,
    // whatever the system language.
    InstallQtGerman();

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
