#include "Settings.h"

#include "DataRoot.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace {
QString GStoreFile; // set by tests; empty: the platform's store

TZarvoSettings &Current()
{
    static TZarvoSettings settings = DefaultSettings();
    return settings;
}
} // namespace

TZarvoSettings &Settings()
{
    return Current();
}

TZarvoSettings DefaultSettings()
{
    TZarvoSettings s;
    // The success sound ships with the collection, so it sits in the data
    // root, which is the program's folder for a portable copy.
    s.GameOverFile = DataRoot::RootDir() + QStringLiteral("GameOver.wav");
    return s;
}

QString SettingsStoreFile()
{
    if (!GStoreFile.isEmpty())
        return GStoreFile;
#ifdef Q_OS_WIN
    return QString();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Zarvos/Zarvos.ini");
#endif
}

void SetSettingsStoreFile(const QString &iniFile)
{
    GStoreFile = iniFile;
}

std::unique_ptr<QSettings> OpenSettingsStore()
{
    std::unique_ptr<QSettings> store;
#ifdef Q_OS_WIN
    if (GStoreFile.isEmpty())
        store = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Zarvos"),
                                            QSettings::NativeFormat);
#endif
    if (!store) {
        const QString file = SettingsStoreFile();
        QDir().mkpath(QFileInfo(file).absolutePath());
        store = std::make_unique<QSettings>(file, QSettings::IniFormat);
    }
    // The file is rewritten whole through a temporary file and a rename, so
    // a crash while writing leaves the previous settings intact.
    store->setAtomicSyncRequired(true);
    return store;
}

int ReadSettingInt(const QSettings &store, const QString &name, int def)
{
    const QVariant v = store.value(name);
    if (!v.isValid())
        return def;
    // Only whole decimal numbers count; "12abc", "" or "1.5" read as missing.
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok, 10);
    return ok ? n : def;
}

bool ReadSettingBool(const QSettings &store, const QString &name, bool def)
{
    return ReadSettingInt(store, name, def ? 1 : 0) != 0;
}

QString ReadSettingText(const QSettings &store, const QString &name, const QString &def)
{
    const QVariant v = store.value(name);
    if (!v.isValid())
        return def;
    // An INI line edited by hand to "a, b" comes back as a list; the text
    // the player meant is the whole line.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void WriteSettingInt(QSettings &store, const QString &name, int value)
{
    // Written as text: the registry keeps REG_SZ values, as the game always had.
    store.setValue(name, QString::number(value));
}

void WriteSettingBool(QSettings &store, const QString &name, bool value)
{
    store.setValue(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void WriteSettingText(QSettings &store, const QString &name, const QString &value)
{
    store.setValue(name, value);
}

void LoadZarvoSettings(const QSettings &store, TZarvoSettings &s)
{
    const TZarvoSettings def = DefaultSettings();
    s.FullScreen2 = ReadSettingBool(store, QStringLiteral("FullScreen2"), def.FullScreen2);
    s.Cursor64 = ReadSettingBool(store, QStringLiteral("Cursor64"), def.Cursor64);
    s.Grid = ReadSettingBool(store, QStringLiteral("Grid"), def.Grid);
    s.CheckColors = ReadSettingBool(store, QStringLiteral("CheckColors"), def.CheckColors);
    s.ZarvoIndex = ReadSettingInt(store, QStringLiteral("ZarvoIndex"), def.ZarvoIndex);
    s.Player = ReadSettingText(store, QStringLiteral("Player"), def.Player);
    s.NoOldPlayer = ReadSettingBool(store, QStringLiteral("NoOldPlayer"), def.NoOldPlayer);
    s.GameOverFile = ReadSettingText(store, QStringLiteral("GameOverFile"), def.GameOverFile);
    s.GameOverText = ReadSettingText(store, QStringLiteral("GameOverText"), def.GameOverText);
    s.Zoom = ReadSettingInt(store, QStringLiteral("Zoom"), def.Zoom);
    if (s.Zoom < MinZoomPercent || s.Zoom > MaxZoomPercent)
        s.Zoom = def.Zoom;
    s.CaptionOutline = ReadSettingBool(store, QStringLiteral("CaptionOutline"), def.CaptionOutline);
}

void SaveZarvoSettings(QSettings &store, const TZarvoSettings &s)
{
    WriteSettingBool(store, QStringLiteral("FullScreen2"), s.FullScreen2);
    WriteSettingBool(store, QStringLiteral("Cursor64"), s.Cursor64);
    WriteSettingBool(store, QStringLiteral("Grid"), s.Grid);
    WriteSettingBool(store, QStringLiteral("CheckColors"), s.CheckColors);
    WriteSettingInt(store, QStringLiteral("ZarvoIndex"), s.ZarvoIndex);
    WriteSettingText(store, QStringLiteral("Player"), s.Player);
    WriteSettingBool(store, QStringLiteral("NoOldPlayer"), s.NoOldPlayer);
    WriteSettingText(store, QStringLiteral("GameOverFile"), s.GameOverFile);
    WriteSettingText(store, QStringLiteral("GameOverText"), s.GameOverText);
    WriteSettingInt(store, QStringLiteral("Zoom"), s.Zoom);
    WriteSettingBool(store, QStringLiteral("CaptionOutline"), s.CaptionOutline);
}

void FormEnhanceLoad(QSettings &store, const QString & /*saveKey*/)
{
    // The main window's own values stand directly in the store's root, beside
    // (not inside) its placement sub-key.
    LoadZarvoSettings(store, Settings());
}

void FormEnhanceSave(QSettings &store, const QString & /*saveKey*/)
{
    SaveZarvoSettings(store, Settings());
}
