// The main window's commands that make and change puzzles: the puzzle
// expert and the properties dialog.

#include "FormExpert.h"
#include "FormProperties.h"
#include "FormZarvo.h"
#include "FormZarvoMain.h"
#include "ZarvoPad.h"

#include <QMdiSubWindow>
#include <QPointer>

void TFormZarvoMain::ItemExpertClick()
{
    // The new puzzle opens beside the game in play, which stays current.
    const QString made = ShowPuzzleExpert(this);
    if (!made.isEmpty())
        OpenGame(0, made, false);
}

TFormZarvo *TFormZarvoMain::ReopenFromGameState(TFormZarvo *window, const QString &stateName)
{
    const bool fullScreen = window->IsFullScreen();
    const QPoint place = window->SubWindow() ? window->SubWindow()->pos() : QPoint();
    const bool wasCurrent = CurrentZarvo == window;
    window->CloseWindow();
    TFormZarvo *reopened = OpenGame(1, stateName, wasCurrent);
    if (reopened && !fullScreen && reopened->SubWindow())
        reopened->SubWindow()->move(place);
    return reopened;
}

void TFormZarvoMain::ItemPropertiesClick()
{
    TFormZarvo *window = ActiveZarvo();
    if (!window || !window->Board() || window->Board()->DisableProp)
        return;
    QPointer<TFormZarvo> current = window;
    ShowPuzzleProperties(this, window->Board(), [this, &current]() -> TZarvoPad * {
        TFormZarvo *reopened =
            current ? ReopenFromGameState(current, QStringLiteral("Temp")) : nullptr;
        current = reopened;
        return reopened ? reopened->Board() : nullptr;
    });
}
