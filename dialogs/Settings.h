#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The program's user settings, held by the main window for the whole run,
// read at start and written at exit under the same names and value texts as
// the store of the original Windows version ("Software/Zarvos": numbers in
// decimal, flags "0"/"1").
struct TZarvoSettings
{
    bool FullScreen2 = true;
    bool Cursor64 = true;
    bool Grid = true;
    bool CheckColors = true;
    int ZarvoIndex = 0; // the selection dialog's remembered row
    QString Player;
    bool NoOldPlayer = false;
    QString GameOverFile; // default: program directory + "GameOver.wav"
    QString GameOverText = QStringLiteral("Ziel ereicht, Bravo!");
};

// The one settings object of the run.
TZarvoSettings &Settings();

// The settings store: on Windows the registry key HKEY_CURRENT_USER\Software\Zarvos,
// elsewhere an INI file in the per-user configuration folder with the same
// tree. Tests point it at a temporary file with SetSettingsStoreFile.
std::unique_ptr<QSettings> OpenSettingsStore();
void SetSettingsStoreFile(const QString &iniFile);

// Reads / writes TZarvoSettings directly under the store's root
// (FormEnhanceLoad / FormEnhanceSave of the main window). Missing or
// malformed values read as their defaults.
void FormEnhanceLoad(QSettings &store, const QString &saveKey);
void FormEnhanceSave(QSettings &store, const QString &saveKey);
