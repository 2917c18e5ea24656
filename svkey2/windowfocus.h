#ifndef WINDOWFOCUS_H
#define WINDOWFOCUS_H

class QWindow;

// Asks for the keyboard focus for `window`. A window manager hands it over
// on its own; the rescue medium's X session has none, and there the window
// has to take it, or no key ever reaches it. Call after the window is shown.
void takeKeyboardFocus(QWindow* window);

#endif // WINDOWFOCUS_H
