// The test kit: keys and clicks for tests, delivered through the window
// system as a person's would be. Every driver hands its events to the
// target's QWindow through Qt's window-system interface (QTest's window
// functions), so modal blocking, the focus window, popup grabs and mouse
// capture apply exactly as they do for someone at the keyboard. A driver
// never falls back to handing an event straight to a widget: when the
// target could not be reached by a person (its window hidden or blocked,
// not the focus window for keys, the control hidden, disabled or covered
// at that point) the driver fails the running test and sends nothing.
// Only tests (and benchmarks) link this library; the program does not.
//
//   ShowAndActivate(form);
//   SendText(form->EditCode, "B001");
//   SendKey(form->EditCode, VK_RETURN);       // Enter, as typed
//   SendClick(form->BtSave);                  // fails if a dialog blocks it
//   SaveFormPng(form, BUILD_DIR "/test-output/screens/desk.png");
#pragma once

#include "Controls.h"
#include "DialogSeam.h"
#include "Forms.h"
#include "Graphics.h"

#include <string>
#include <vector>

class QPoint;
class QWidget;

// Handles pending events (posted deletes, layouts, paints) and returns.
void ProcessEvents();
// Shows the form and makes its window the active one, waiting until the
// window system says it is; fails the test when it never becomes active
// (for example because a modal window blocks it).
void ShowAndActivate(TCustomForm* form);

// Focuses target as the program would (SetFocus) and presses and releases vk
// with shift on its window, so the key pipeline, shortcuts and the
// Default/Cancel buttons run. A form as target takes the key wherever its
// focus is. Fails when target cannot take the focus or its window is not
// the focus window.
void SendKey(TWinControl* target, Word vk, TShiftState shift = {});
// Presses the key, or types the text one key per character, wherever the
// keyboard is in the window that holds `in` (for an MDI child, the frame's
// window), as a person types without clicking first. Fails when that window
// is not the focus window.
void SendKeyToFocus(TControl* in, Word vk, TShiftState shift = {});
void SendTextToFocus(TControl* in, const std::string& text);
// Types text (UTF-8) into target, one key press per character.
void SendText(TWinControl* target, const std::string& text);
// Whether the window that holds `in` is shown and has the keyboard, waiting
// briefly: a real display reports activation asynchronously.
bool TakesKeys(TControl* in);
// A press and release at (x, y) of the control (its centre by default).
void SendClick(TControl* target, int x = -1, int y = -1, TMouseButton button = mbLeft);
void SendDoubleClick(TControl* target, int x = -1, int y = -1);
// One step of a drag on the control's client area, for handlers that follow
// the mouse (capture applies: a move outside still goes to the control that
// took the press).
void SendMouseDown(TControl* target, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
void SendMouseMove(TControl* target, int x, int y, TShiftState shift = {});
void SendMouseUp(TControl* target, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
// One notch of the mouse wheel over (x, y) of the control (delta 120 away
// from the user, -120 towards), delivered to the window under the pointer.
void SendWheel(TControl* target, int x, int y, int delta);
// The keyboard leaves the program, as when a person activates another
// program: a window of no form takes it and goes, leaving none of the
// program's windows active. ShowAndActivate brings it back.
void SendApplicationDeactivate();
// The close box of the form's window, as the window manager reports it
// (the form's OnCloseQuery and OnClose run as for a person).
void SendCloseBox(TCustomForm* form);
// A click on a plain Qt widget the program made (a drop-down's list, a
// menu), at pos in that widget's coordinates; a key to such a widget's
// window (a file dialog of the toolkit's own).
void SendClickToWidget(QWidget* widget, const QPoint& pos);
void SendKeyToWidget(QWidget* widget, Word vk, TShiftState shift = {});

// The popup menu open now: the captions of its items, separators left out;
// empty when no menu opens within a second.
std::vector<std::string> OpenMenuCaptions();
// Whether a popup menu is open at this moment (no waiting).
bool MenuOpen();
// Where the open popup menu lies on the screen; empty when none opens
// within a second.
TRect OpenMenuRect();
// A key while a popup menu is open, to the window the platform gives keys
// to then (the menu's own, or the one under it that passes them on).
void SendKeyToMenu(Word vk);
// Clicks the item of the open menu that has this caption.
void ClickMenuItem(const std::string& caption);

// While it lives, answers the program's real message boxes (the ones no
// scripted answer took): the first that opens is read and then answered
// with vk, pressed in its own window.
class TMessageBoxAnswer {
public:
    explicit TMessageBoxAnswer(Word vk);
    ~TMessageBoxAnswer();
    TMessageBoxAnswer(const TMessageBoxAnswer&) = delete;
    TMessageBoxAnswer& operator=(const TMessageBoxAnswer&) = delete;
    // The text of the box answered; "" while none has opened.
    const std::string& Text() const { return text_; }

private:
    Word vk_;
    std::string text_;
    class Watch;
    Watch* watch_;
};
// The same, finding the control by component name under root; a missing
// name fails the test.
void SendKeyTo(TComponent* root, const std::string& name, Word vk, TShiftState shift = {});
void SendTextTo(TComponent* root, const std::string& name, const std::string& text);
void SendClickTo(TComponent* root, const std::string& name);

// Renders the form as it would show on screen into a PNG file, with the
// pop-up menu open over it; true when written.
bool SaveFormPng(TCustomForm* form, const std::string& path);
// The control's client area as the window system shows it now, as last
// painted (nothing is painted afresh for it): pixels a missed repaint left
// behind show here. False when the window system gives none.
bool GrabShown(TControl* target, TBitmap* into);
// Renders the program's windows as they stand on the screen within area
// (screen coordinates) into a PNG file, the ones that float above others
// (tool windows, drop-downs, a drag's outline) on top; true when written.
bool SaveScreenPng(const TRect& area, const std::string& path);
