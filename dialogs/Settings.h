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
    QString GameOverFile; // default: data root + "GameOver.wav" (DefaultSettings)
    QString GameOverText = QStringLiteral("Ziel ereicht, Bravo!");
    // The board's zoom in percent; 0 fits the board to its window.
    int Zoom = 0;
    // "Beschriftung mit Kontur": captions outlined in a contrasting colour.
    bool CaptionOutline = true;
};

// The zoom range in percent; a stored zoom outside it reads as 0 (fit).
constexpr int MinZoomPercent = 25, MaxZoomPercent = 800;

// The one settings object of the run.
TZarvoSettings &Settings();
// The first-start values; GameOverFile lies in the data root, so call it
// after DataRoot::Init.
TZarvoSettings DefaultSettings();

// The settings store: on Windows the registry key HKEY_CURRENT_USER\Software\Zarvos,
// elsewhere an INI file in the per-user configuration folder with the same
// tree. Tests point it at a temporary file with SetSettingsStoreFile.
std::unique_ptr<QSettings> OpenSettingsStore();
void SetSettingsStoreFile(const QString &iniFile);
// The INI file behind the store (empty for the Windows registry).
QString SettingsStoreFile();

// Single values below the store's current group. Numbers are decimal text,
// flags "0"/"1"; a missing value or one that is not a whole decimal number
// reads as def, a flag is on for every number but 0.
int ReadSettingInt(const QSettings &store, const QString &name, int def);
bool ReadSettingBool(const QSettings &store, const QString &name, bool def);
QString ReadSettingText(const QSettings &store, const QString &name, const QString &def);
void WriteSettingInt(QSettings &store, const QString &name, int value);
void WriteSettingBool(QSettings &store, const QString &name, bool value);
void WriteSettingText(QSettings &store, const QString &name, const QString &value);

// All eleven values in their stored order, below the store's current group.
void LoadZarvoSettings(const QSettings &store, TZarvoSettings &s);
void SaveZarvoSettings(QSettings &store, const TZarvoSettings &s);

// Reads / writes Settings() directly under the store's root
// (FormEnhanceLoad / FormEnhanceSave of the main window; the main window
// also shows Grid on its toolbar after loading). Missing or malformed values
// read as their defaults.
void FormEnhanceLoad(QSettings &store, const QString &saveKey);
void FormEnhanceSave(QSettings &store, const QString &saveKey);
