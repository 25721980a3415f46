#include "FormEnhance.h"

#include "Help.h"

#include "Settings.h"
#include "ZarvoError.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
QPointer<QWidget> GMainForm;

// Stored sizes are scaled with 64-bit products, so a damaged value cannot
// overflow; the result stays within what Qt accepts for a widget.
int ScaledSize(int stored, int ppi, int storedPpi)
{
    const qint64 v = qint64(stored) * ppi / storedPpi;
    return int(std::clamp<qint64>(v, 1, QWIDGETSIZE_MAX));
}
} // namespace

TFormEnhance::TFormEnhance(QWidget *owner)
{
    if (!owner || !owner->isWindow())
        throw EZarvoError(QStringLiteral("Control parent must be a form!"));
    for (QObject *child : owner->children())
        if (qobject_cast<TFormEnhance *>(child))
            throw EZarvoError(
                QStringLiteral("The form already contains a TFormEnhance component!"));
    setParent(owner);
    owner->installEventFilter(this);
}

QWidget *TFormEnhance::Form() const
{
    return static_cast<QWidget *>(parent());
}

void TFormEnhance::SetMainForm(QWidget *mainForm)
{
    GMainForm = mainForm;
}

QWidget *TFormEnhance::MainForm()
{
    return GMainForm.data();
}

QString TFormEnhance::StoreGroup(const QString &saveName)
{
    QString path = saveName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() >= 2 &&
        parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0 &&
        parts[1].compare(QLatin1String("Zarvos"), Qt::CaseInsensitive) == 0)
        parts.remove(0, 2);
    return parts.join(QLatin1Char('/'));
}

QMargins TFormEnhance::FrameMargins() const
{
    // Qt's client geometry already contains a main window's menu bar, which
    // is what the stored "Width"/"Height" count; the frame is the rest.
    const QRect outer = Form()->frameGeometry();
    const QRect client = Form()->geometry();
    return QMargins(client.left() - outer.left(), client.top() - outer.top(),
                    outer.right() - client.right(), outer.bottom() - client.bottom());
}

void TFormEnhance::Load()
{
    if (Loaded)
        return;
    Loaded = true;
    if (!CenterOnMainForm && !SavePlacement && !OnLoad)
        return;
    if (SaveName.isEmpty() || SaveKey.isEmpty())
        return;
    QWidget *form = Form();

    // A dialog that only centres never touches the store.
    std::unique_ptr<QSettings> store;
    if (SavePlacement || OnLoad) {
        store = OpenSettingsStore();
        const QString group = StoreGroup(SaveName);
        if (!group.isEmpty())
            store->beginGroup(group);
        if (OnLoad)
            OnLoad(*store, SaveKey);
    }
    if (!SavePlacement && !CenterOnMainForm)
        return;

    const QMargins frame = FrameMargins();
    const int fw = frame.left() + frame.right();
    const int fh = frame.top() + frame.bottom();
    int w = form->width();
    int h = form->height();
    bool maximized = form->isMaximized();
    if (SavePlacement)
        store->beginGroup(SaveKey);

    int x = form->x();
    int y = form->y();
    if (CenterOnMainForm) {
        QWidget *mainForm = MainForm();
        if (!mainForm || mainForm == form)
            mainForm = form->parentWidget() ? form->parentWidget()->window() : nullptr;
        // Centred over where the main window really is, wherever it stands
        // on the desktop.
        if (mainForm && mainForm != form) {
            const QRect m = mainForm->frameGeometry();
            x = (m.width() - (w + fw)) / 2 + m.left();
            y = (m.height() - (h + fh)) / 2 + m.top();
        }
    } else {
        x = ReadSettingInt(*store, QStringLiteral("Left"), x);
        y = ReadSettingInt(*store, QStringLiteral("Top"), y);
    }

    const bool restoreSize = SavePlacement && !SaveOnlyPos;
    if (restoreSize) {
        int ppi = ReadSettingInt(*store, QStringLiteral("PPI"), PixelsPerInch);
        if (ppi <= 0) // a damaged resolution would divide by zero
            ppi = PixelsPerInch;
        const int storedW = ReadSettingInt(*store, QStringLiteral("Width"), -1);
        const int storedH = ReadSettingInt(*store, QStringLiteral("Height"), -1);
        // Only stored sizes are scaled; a missing one, or one of zero or less
        // that would hide the window, keeps the size the window was built with.
        if (storedW > 0)
            w = ScaledSize(storedW, PixelsPerInch, ppi);
        if (storedH > 0)
            h = ScaledSize(storedH, PixelsPerInch, ppi);
        maximized = ReadSettingBool(*store, QStringLiteral("Maximized"), maximized);
        // Qt enforces the window's minimum on resize; taking it here keeps
        // the keep-inside step below working on the real size.
        w = std::max(w, form->minimumWidth());
        h = std::max(h, form->minimumHeight());
    }
    if (store)
        store.reset(); // nothing was written; closing it writes nothing

    // Keep the window inside the work area of the screen it lands on (the
    // primary screen when the stored place is on none, e.g. a monitor that
    // is gone).
    QScreen *screen = QGuiApplication::screenAt(QPoint(x + (w + fw) / 2, y + (h + fh) / 2));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        const int right = area.x() + area.width();
        const int bottom = area.y() + area.height();
        if (x + w + fw > right)
            x = right - fw - w;
        if (y + h + fh > bottom)
            y = bottom - fh - h;
        x = std::max(x, area.x());
        y = std::max(y, area.y());
    } else {
        x = std::max(x, 0);
        y = std::max(y, 0);
    }
    form->move(x, y);

    if (restoreSize) {
        form->resize(w, h);
        if (maximized)
            form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
}

void TFormEnhance::Save()
{
    if (Saved)
        return;
    Saved = true;
    if (!SavePlacement && !OnSave)
        return;
    if (SaveName.isEmpty() || SaveKey.isEmpty())
        return;
    QWidget *form = Form();

    std::unique_ptr<QSettings> store = OpenSettingsStore();
    const QString group = StoreGroup(SaveName);
    if (!group.isEmpty())
        store->beginGroup(group);
    if (OnSave)
        OnSave(*store, SaveKey);

    if (SavePlacement) {
        const QMargins frame = FrameMargins();
        const bool maximized = form->isMaximized();
        // The normal rectangle: a maximized window comes back at the size
        // it had before it was maximized.
        QRect normal = form->geometry();
        if (maximized || form->isFullScreen()) {
            const QRect n = form->normalGeometry();
            if (n.isValid())
                normal = n;
        }
        store->beginGroup(SaveKey);
        WriteSettingInt(*store, QStringLiteral("Left"), normal.x() - frame.left());
        WriteSettingInt(*store, QStringLiteral("Top"), normal.y() - frame.top());
        WriteSettingInt(*store, QStringLiteral("PPI"), PixelsPerInch);
        if (!SaveOnlyPos) {
            WriteSettingInt(*store, QStringLiteral("Width"), normal.width());
            WriteSettingInt(*store, QStringLiteral("Height"), normal.height());
            WriteSettingBool(*store, QStringLiteral("Maximized"), maximized);
        }
        store->endGroup();
    }
    store->sync();
}

void TFormEnhance::SetSystemMenu(TSystemMenu items)
{
    items &= AllSystemMenu;
    if (items == Menu)
        return;
    Menu = items;
    ApplySystemMenu();
}

// Qt has no access to the window manager's menu itself. What it can do is
// ask for a title bar without the minimize, maximize or close button (on
// Windows that also greys or drops those items in the window menu). Restore,
// Move, Size and the separators cannot be removed; a window that must not be
// resized keeps a fixed size of its own.
void TFormEnhance::ApplySystemMenu()
{
    QWidget *form = Form();
    if (!FlagsChanged) // the window's own flags, before the first trim
        DefaultFlags = form->windowFlags();
    Qt::WindowFlags flags = DefaultFlags;
    if (Menu != AllSystemMenu) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
        flags.setFlag(Qt::WindowMinimizeButtonHint, Menu.testFlag(scMINIMIZE));
        flags.setFlag(Qt::WindowMaximizeButtonHint, Menu.testFlag(scMAXIMIZE));
        flags.setFlag(Qt::WindowCloseButtonHint, Menu.testFlag(scCLOSE));
    } else if (!FlagsChanged) {
        return; // every item kept: the window stays as it was built
    }
    FlagsChanged = true;
    if (flags == form->windowFlags())
        return;
    // Changing the flags re-creates a shown window hidden; show it again.
    const bool visible = form->isVisible();
    form->setWindowFlags(flags);
    if (visible)
        form->show();
}

void TFormEnhance::SetMinSizeX(int v)
{
    MinX = std::max(v, 0);
    ApplySizeLimits();
}

void TFormEnhance::SetMinSizeY(int v)
{
    MinY = std::max(v, 0);
    ApplySizeLimits();
}

void TFormEnhance::SetMaxSizeX(int v)
{
    MaxX = std::max(v, 0);
    ApplySizeLimits();
}

void TFormEnhance::SetMaxSizeY(int v)
{
    MaxY = std::max(v, 0);
    ApplySizeLimits();
}

// Qt's limits are client sizes; the frame is only known once the window is
// shown, so the limits are applied again then.
void TFormEnhance::ApplySizeLimits()
{
    QWidget *form = Form();
    const QMargins frame = FrameMargins();
    const int fw = frame.left() + frame.right();
    const int fh = frame.top() + frame.bottom();
    if (MinX > 0)
        form->setMinimumWidth(std::max(MinX - fw, 0));
    if (MinY > 0)
        form->setMinimumHeight(std::max(MinY - fh, 0));
    if (MaxX > 0)
        form->setMaximumWidth(std::max(MaxX - fw, 1));
    if (MaxY > 0)
        form->setMaximumHeight(std::max(MaxY - fh, 1));
}

bool TFormEnhance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Show && (MinX || MinY || MaxX || MaxY))
        ApplySizeLimits();
    // A key that no control took comes to the window itself.
    if (HelpKey && watched == parent() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        OpenHelpContents(Form());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

TFormEnhance *TFormEnhance::ForDialog(QWidget *dialog, const QString &saveName,
                                      const QString &saveKey, TSystemMenu menu)
{
    auto *enhance = new TFormEnhance(dialog);
    enhance->SaveName = saveName;
    enhance->SaveKey = saveKey;
    enhance->SavePlacement = false;
    enhance->CenterOnMainForm = true;
    enhance->HelpKey = true;
    if (menu != AllSystemMenu)
        enhance->SetSystemMenu(menu);
    enhance->Load();
    return enhance;
}
