// The screen: the cursor over every window, the open forms, the work area
// and the installed fonts; TBusyCursor shows the busy cursor for a scope.
#pragma once

#include <string>

#include "Application.h"
#include "Controls.h"
#include "ScopeExit.h"

class TCustomForm;
class TStrings;

// The screen: cursor, forms, work area.
class TScreen : public TComponent {
public:
    TScreen();
    ~TScreen() override;
    std::string ClassName() const override { return "TScreen"; }

    // crHourGlass/crSQLWait show the busy cursor over every window until
    // set back to crDefault.
    TCursor Cursor() const;
    void SetCursor(TCursor v);
    int FormCount() const;
    TCustomForm* Forms(int i) const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }
    // Installed font families, sorted.
    TStrings* Fonts();

private:
    TCursor cursor_ = crDefault;
    TStrings* fonts_ = nullptr;
};

extern TGlobalRef<TScreen> Screen;

// Shows the busy cursor until the scope ends, on every way out, then the
// cursor that showed before.
//   TBusyCursor busy;  ... a long search ...
class [[nodiscard]] TBusyCursor {
public:
    explicit TBusyCursor(TCursor busy = crHourGlass) : restore_(Restore{Screen->Cursor()}) { Screen->SetCursor(busy); }

private:
    struct Restore {
        TCursor previous;
        void operator()() const { Screen->SetCursor(previous); }
    };
    ScopeExit<Restore> restore_;
};
