// The game program.
#include "DataRoot.h"
#include "ErrorReport.h"
#include "FormZarvoMain.h"
#include "GermanText.h"
#include "Settings.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>

namespace {
// The icon the application menu shows, at every size made for it, so that
// title bars and task bars pick a sharp one.
QIcon ProgramIcon()
{
    QIcon icon;
    QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("zarvos-*.png")});
    while (it.hasNext())
        icon.addFile(it.next());
    return icon;
}
} // namespace

int main(int argc, char *argv[])
{
    TZarvosApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvos"));
    QApplication::setWindowIcon(ProgramIcon());
    // Lets a desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zarvos"));

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
