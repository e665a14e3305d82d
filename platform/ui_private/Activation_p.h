// Giving a top-level window the keyboard, the one way every part of the
// platform does it (after a modal dialog, on BringToFront and SetFocus,
// when a menu closes, and in the test kit).
#pragma once

class QWidget;

// Asks the window system to make top's window the active one: Qt's
// activateWindow, and on X a second look once the request has been served.
// A hidden window gets only Qt's request. Answered asynchronously: the window
// is active once the window system says so.
//
// On X two things could leave the keyboard with no window of the program,
// for good, with nothing the person could do about it without a window
// manager:
// - Qt stamps its request with the last server time it has seen, and the
//   server ignores a focus request older than the last focus change. Qt's
//   time moves only with events that carry one.
// - The server gives the window the keyboard while Qt still counts it as
//   blocked by a modal dialog that is going away; Qt hands the keyboard on to
//   that dialog, which is gone by then, and the server sends no second
//   focus-in to a window that already has the focus, so asking again
//   changes nothing.
// So on X a property is appended to the window (its notification carries the
// server's time, which Qt takes); once Qt has taken it, and only if the
// keyboard is still with no window of the program, no modal window stands in
// front and no later request was made: if the server has given the window
// the keyboard it is taken away and given back, so that Qt hears of it, and
// otherwise the request is made again, now with a fresh time.
void ActivateTopLevel(QWidget* top);
