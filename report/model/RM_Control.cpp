// The dialog-control base: what every control object shares (bounds,
// visibility, the wrapped control's place on the dialog form).
#include "report/model/RM_Control.h"

#include "Forms.h"
#include "SysUtils.h"

TRMControl::TRMControl() {
    ObjectType = rmgtAddIn;
    BaseName = "Control";
    FillColor = TColor(0x8000000F);
}

TRMControl::~TRMControl() { delete control_; }

void TRMControl::SetControl(TControl* control) {
    delete control_;
    control_ = control;
    if (control_ && !Name.empty()) control_->SetName(Name);
}

void TRMControl::SetPropValue(const std::string& name, const Variant& value) {
    TRMView::SetPropValue(name, value);
    if (!control_) return;
    std::string n = UpperCase(name);
    if (n == "VISIBLE")
        control_->SetVisible(Visible);
    else if (n == "NAME")
        control_->SetName(Name);
}

Variant TRMControl::GetPropValue(const std::string& name) { return TRMView::GetPropValue(name); }

void TRMControl::DefineProperties() {
    ClearProperties();
    AddProperty("Name", rmdtString | rmdtOneObject);
    for (const char* p : {"Left", "Top", "Width", "Height"}) AddProperty(p, rmdtPixels);
    AddProperty("Visible", rmdtBoolean);
    AddProperty("Restrictions", rmdtHasEditor);
}

void TRMControl::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    ShowBackground();
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(DrawRect, DrawRect.Left + 2, DrawRect.Top + 2, Name);
    ShowFrame();
}

void TRMControl::PlaceOnForm(TForm* form) {
    if (!control_) return;
    // Owned by the form while it shows, so the form finds it by name; the
    // object still frees it, before the form goes.
    form->InsertComponent(control_);
    if (!Name.empty() && control_->Name() != Name) control_->SetName(Name);
    control_->SetParent(form);
    control_->SetBounds(Left, Top, Width, Height);
    control_->SetVisible(Visible);
}

TRMNonVisualControl::TRMNonVisualControl() {
    BaseName = "NonVisual";
    Width = Height = 28;
}

TRMNonVisualControl::~TRMNonVisualControl() { delete component_; }

void TRMNonVisualControl::SetComponent(TComponent* component) {
    delete component_;
    component_ = component;
    if (component_ && !Name.empty()) component_->SetName(Name);
}

void TRMNonVisualControl::SetPropValue(const std::string& name, const Variant& value) {
    TRMView::SetPropValue(name, value);
    if (component_ && SameText(name, "NAME")) component_->SetName(Name);
}

void TRMNonVisualControl::DefineProperties() {
    ClearProperties();
    AddProperty("Name", rmdtString | rmdtOneObject);
    AddProperty("Restrictions", rmdtHasEditor);
}
