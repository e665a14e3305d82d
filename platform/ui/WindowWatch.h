// Hearing what happens to the program's windows from outside them, as a
// thread hook would: the application gaining or losing the keyboard, a
// form shown, hidden, minimised or restored, and, for the length of a
// drag that reads the keyboard itself, every key before any window sees it.
#pragma once

#include "Forms.h"

#include <functional>

enum TWindowWatchKind {
    // The application got (active) or lost the keyboard to another program.
    wwApplicationActive,
    wwApplicationInactive,
    // A form was shown, hidden, minimised or restored.
    wwFormShowChanged,
};
// form is the form concerned (nullptr for the application kinds).
using TWindowWatch = std::function<void(TWindowWatchKind kind, TCustomForm* form)>;

// Adds a watch under id (one per id; adding again replaces it); watches run
// in the order added, and one that throws does not keep the others from
// hearing the event.
void AddWindowWatch(const void* id, TWindowWatch watch);
void RemoveWindowWatch(const void* id);

// Whether one of the program's windows has the keyboard.
bool ApplicationActive();

// While set, every key press and release of the program goes to keys first
// (down true for a press); when it answers true the key goes no further.
// One at a time: the drag that runs sets it and clears it (nullptr).
using TKeyWatch = std::function<bool(Word key, bool down, TShiftState shift)>;
void SetKeyWatch(TKeyWatch keys);
