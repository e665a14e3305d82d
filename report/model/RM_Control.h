// Dialog controls on a dialog page: each object wraps one control of the
// window layer, which the build puts on the page's form before the report
// pages are built (a parameter form: dates, a code, OK and Cancel). The
// engine registers no control class of its own; a program derives from
// TRMControl and registers its classes as add-ins.
#pragma once

#include <memory>

#include "Controls.h"
#include "report/model/RM_Class.h"

class TForm;

class TRMControl : public TRMView {
public:
    TRMControl();
    ~TRMControl() override;
    std::string ClassName() const override { return "TRMControl"; }

    // The wrapped control; the object frees it, also while it stands on a
    // dialog form (a build frees the page's objects before the form).
    TControl* Control() const { return control_; }

    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    // Design and built pages show the control's frame and name; the form
    // shows the control itself.
    void Draw(TCanvas* canvas) override;
    // The control stands on the form at the object's place and size.
    virtual void PlaceOnForm(TForm* form);

protected:
    // Takes the control a derived class made (named after the object, so
    // a form's controls are found by the objects' names).
    void SetControl(TControl* control);

private:
    TControl* control_ = nullptr;
};

// A non-visual component on a dialog page (a query the form's lists read,
// say). It stands on no form: before the form shows, the report hands it
// to the program (TRMReport::OnCustomizeObject) to be set up.
class TRMNonVisualControl : public TRMControl {
public:
    TRMNonVisualControl();
    ~TRMNonVisualControl() override;
    std::string ClassName() const override { return "TRMNonVisualControl"; }
    TComponent* Component() const { return component_; }
    void SetPropValue(const std::string& name, const Variant& value) override;
    void DefineProperties() override;
    void PlaceOnForm(TForm* form) override {}
    std::string IconName = "RM_NONVISUALCOMPONENT";

protected:
    // Takes the component a derived class made, named after the object.
    void SetComponent(TComponent* component);

private:
    TComponent* component_ = nullptr;
};
