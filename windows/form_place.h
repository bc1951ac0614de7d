#pragma once
// How the small windows come and go. Inside the main window they are
// windows of its MDI area, as the four that stay open are; a window shown
// without the main window (a test, a tool) is a window of its own, owned by
// the one that opened it. Either way a window is deleted when it closes:
// loaded when opened, unloaded when closed.

#include <QPoint>

class QMdiArea;
class QWidget;

namespace shell {

// The MDI area `widget` lives in (or, for the main window, holds); nullptr
// outside one.
QMdiArea *mdiAreaOf(QWidget *widget);

// Shows `form` without blocking, with its top-left corner at the given
// twips, and brings it forward. `owner` tells where it belongs.
void openFormWindow(QWidget *owner, QWidget *form, QPoint topLeftTwips);

// Brings an open form forward.
void bringForward(QWidget *form);

// Hides and unloads a form shown by openFormWindow.
void unloadForm(QWidget *form);

} // namespace shell
