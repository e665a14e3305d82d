// The per-control half of the flat menu painter: one TControlSubClass
// watches one control of the form through the platform's control hook,
// keeps a few flags from the control's messages (mouse over or focused,
// pressed, space held) and, after the control has painted itself, paints
// its frame, box or face in the flat look, with the palette and button
// colours of its TVQXPMenu. When the menu painter is switched off, the
// subclass lets go of its control at the control's next message.
#pragma once

#include "ControlHook.h"
#include "Classes.h"

class TVQXPMenu;

class TControlSubClass : public TComponent, public TControlHook {
public:
    // Owned by menu; hooks control at once.
    TControlSubClass(TVQXPMenu* menu, TControl* control);
    // Lets go of the control as at deactivation.
    ~TControlSubClass() override;
    std::string ClassName() const override { return "TControlSubClass"; }

    TControl* Control() const { return control_; }
    bool Highlighted() const { return highlighted_; }
    bool Pressed() const { return pressed_; }
    bool SpaceDown() const { return spaceDown_; }
    // How many repaints the subclass asked for since it was made.
    int PaintRequests() const { return paintRequests_; }

    // The message entry point (as the control's window procedure would be).
    void HookMessage(TControl* control, THookMessage Msg, Word Key, bool AutoRepeat) override;
    void AfterPaint(TControl* control, TCanvas* canvas) override;

private:
    void release();
    void paint();
    bool trueStyle() const;
    void paintCombo(TCanvas* c);
    void paintEdit(TCanvas* c);
    void paintCheckBox(TCanvas* c);
    void paintRadio(TCanvas* c);
    void paintButton(TCanvas* c);
    void paintBitBtn(TCanvas* c);
    void paintSpeedButton(TCanvas* c);
    void paintPanel(TCanvas* c);
    void paintGroupBox(TCanvas* c);
    void paintCaption(TCanvas* c, const TRect& r);

    TVQXPMenu* menu_;
    TControl* control_;
    bool recreating_ = false;
    bool highlighted_ = false;
    bool pressed_ = false;
    bool spaceDown_ = false;
    bool spaceSeen_ = false;
    bool focused_ = false;
    bool savedSingleBorder_ = false;
    THookMessage lastMessage_ = hmPaint;
    int paintRequests_ = 0;
};
