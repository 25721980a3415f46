#pragma once

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSettings>
#include <QString>
#include <functional>

class QWidget;

// The settings component of a window: restores the window's placement from
// the settings store when the window has been built, stores it again when
// the window goes away, trims the title-bar buttons and sets drag limits.
// It is the one place that knows where placements live in the store.
//
// Use, in the window's constructor, after the controls are built and before
// the window's own start-up logic:
//
//     Enhance = new TFormEnhance(this);      // owned by the window
//     Enhance->SaveName = "\\Software\\Zarvos";
//     Enhance->SaveKey = "FormMain";
//     Enhance->OnLoad = FormEnhanceLoad;     // optional: the window's own values
//     Enhance->OnSave = FormEnhanceSave;
//     Enhance->Load();
//
// and call Enhance->Save() once the window is finished with: first thing in
// its destructor, or in closeEvent when the close is accepted. Save runs at
// most once, so doing both is harmless; it must run while the window's own
// members (which OnSave may read) are still alive.
//
// Store layout: SaveName is a path below the store's root
// "\Software\Zarvos" (that prefix may be given or left out; "\" or "/"
// separate the levels). The handlers get the store positioned at SaveName;
// the placement values "Left", "Top", "PPI", "Width", "Height", "Maximized"
// go into its sub-key SaveKey. All values are decimal text.
class TFormEnhance : public QObject
{
    Q_OBJECT

public:
    enum TSystemMenuItem {
        scRESTORE = 0x01,
        scMOVE = 0x02,
        scSIZE = 0x04,
        scMINIMIZE = 0x08,
        scMAXIMIZE = 0x10,
        scSEPARATOR = 0x20,
        scCLOSE = 0x40,
    };
    Q_DECLARE_FLAGS(TSystemMenu, TSystemMenuItem)
    static constexpr TSystemMenu AllSystemMenu = TSystemMenu(0x7f);

    using THandler = std::function<void(QSettings &settings, const QString &saveKey)>;

    // owner must be a window (a widget without parent or with Qt::Window):
    // otherwise EZarvoError "Control parent must be a form!". A second
    // component on the same window: "The form already contains a
    // TFormEnhance component!".
    explicit TFormEnhance(QWidget *owner);

    bool SavePlacement = true; // store and restore position and size
    bool SaveOnlyPos = false;  // with SavePlacement: position and resolution only
    QString SaveName;          // store path, e.g. "\Software\Zarvos\Forms"
    QString SaveKey;           // placement sub-key, also handed to the handlers
    THandler OnLoad;
    THandler OnSave;
    // Place the window centred over the main window (SetMainForm) instead of
    // at a stored position.
    bool CenterOnMainForm = false;
    // F1 that no control of the window takes opens the help contents.
    bool HelpKey = false;
    // The resolution the window's coordinates count in. Qt measures widgets
    // in device-independent pixels of 1/96 inch on every screen, so this
    // stays 96; stored sizes of another resolution are scaled to it.
    int PixelsPerInch = 96;

    // Which title-bar items stay. Qt can only drop the minimize, maximize
    // and close buttons; Restore, Move, Size and the separators belong to
    // the window manager's menu (see ApplySystemMenu). All seven members:
    // the window's flags stay untouched.
    TSystemMenu SystemMenu() const { return Menu; }
    void SetSystemMenu(TSystemMenu items);

    // Drag limits as outer sizes; 0 = no limit. Applied as the window's
    // minimum/maximum size less its frame (as far as the frame is known).
    int MinSizeX() const { return MinX; }
    int MinSizeY() const { return MinY; }
    int MaxSizeX() const { return MaxX; }
    int MaxSizeY() const { return MaxY; }
    void SetMinSizeX(int v);
    void SetMinSizeY(int v);
    void SetMaxSizeX(int v);
    void SetMaxSizeY(int v);

    // Restores the window (runs once; see the class comment).
    void Load();

    // A game dialog's enhancer, loaded: its placement kept under saveName
    // and saveKey, centred on the main window rather than placed from the
    // store, the given title-bar items, and F1 for the help contents.
    static TFormEnhance *ForDialog(QWidget *dialog, const QString &saveName, const QString &saveKey,
                                   TSystemMenu menu = AllSystemMenu);
    // Stores the window (runs once).
    void Save();

    // The application's main window, over which dialogs centre. Without one
    // set, a dialog centres over its parent's window.
    static void SetMainForm(QWidget *mainForm);
    static QWidget *MainForm();

    // The store group for a SaveName: "\Software\Zarvos" -> "",
    // "\Software\Zarvos\Forms" -> "Forms".
    static QString StoreGroup(const QString &saveName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplySystemMenu();
    void ApplySizeLimits();
    QMargins FrameMargins() const;
    QWidget *Form() const;

    TSystemMenu Menu = AllSystemMenu;
    Qt::WindowFlags DefaultFlags;
    bool FlagsChanged = false;
    int MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    bool Loaded = false;
    bool Saved = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFormEnhance::TSystemMenu)
