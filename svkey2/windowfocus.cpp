#include "windowfocus.h"

#include <QWindow>

void takeKeyboardFocus(QWindow* window)
{
    if (!window)
        return;
    // On X11 this sends the window manager an activation request when one
    // runs, and otherwise sets the X input focus on the window itself (once
    // the window is mapped, if it is not yet).
    window->requestActivate();
}
