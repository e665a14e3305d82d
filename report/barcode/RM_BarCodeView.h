// The barcode report object: the code comes from the first line of its
// memo (a constant or a [bracketed] expression) and paints through
// TRMBarcode. Files store it as an add-in object "TRMBarCodeView" with
// object version 0 and a 24-byte settings block.
#pragma once

#include "report/barcode/RM_Barcode.h"
#include "report/model/RM_Class.h"

#pragma pack(push, 1)
struct TRMBarcodeSettings {
    uint8_t CheckSum = 1;
    uint8_t HumanReadable = 1;
    uint8_t Reserved = 0;
    uint8_t BarType = 3; // bcCode39
    int32_t Zoom = 1;
    double Ratio = 2.0;
    double Angle = 0.0;
};
#pragma pack(pop)
static_assert(sizeof(TRMBarcodeSettings) == 24);

class TRMBarCodeView : public TRMView {
public:
    TRMBarCodeView();
    std::string ClassName() const override { return "TRMBarCodeView"; }
    TRMBarcodeSettings Settings;
    // The error of the last draw ("" when the code encoded).
    std::string LastError;

    void DefineProperties() override;
    std::string GetDesignText() const override { return "[BarCode]"; }
    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
    std::string CodeText() const;
};

void RMRegisterBuiltInAddIns();

// The component a window holds so that its templates can draw barcodes: it
// has no calls of its own, and making it registers the barcode object with
// the engine (which a load of a template with a barcode also does).
class TRMBarCodeObject : public TComponent {
public:
    explicit TRMBarCodeObject(TComponent* owner) : TComponent(owner) { RMRegisterBuiltInAddIns(); }
    std::string ClassName() const override { return "TRMBarCodeObject"; }
};
