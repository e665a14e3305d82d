// What one test over every window checks of a built window, as plain
// findings ("Panel1/EditOld: outside its parent's client area"); an empty
// list is a window without faults. A tool, not part of any window: the
// program never calls it.
//
// The rules:
//   - names: every control the window owns has a name, no two components
//     the window owns share one (ignoring case), and each control's widget
//     carries its name as its object name, so tests and tools find it;
//   - containment: every control lies inside its parent's client area;
//   - tab order: within each parent, the children Tab reaches (tab stops,
//     and containers holding one), taken in tab order, follow reading
//     order: top to bottom, and left to right among controls whose tops lie
//     within LineSlack pixels of each other (one line);
//   - handlers: every handler a TBuild bound is still bound.
#pragma once

#include <string>
#include <vector>

class TCustomForm;

struct TWindowCheck {
    // Parents (by component name; the form by its own) whose tab order is
    // fixed otherwise than reading order, each documented where it is set.
    std::vector<std::string> TabOrderExceptions;
    int LineSlack = 8;
};

std::vector<std::string> CheckWindow(const TCustomForm* form, const TWindowCheck& rules = {});
