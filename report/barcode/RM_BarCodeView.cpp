#include "report/barcode/RM_BarCodeView.h"

#include <cmath>

#include "Metafile.h"
#include "SysUtils.h"

TRMBarCodeView::TRMBarCodeView() {
    ObjectType = rmgtAddIn;
    BaseName = "Bar";
    Memo = {"12345678"};
}

void TRMBarCodeView::DefineProperties() {
    TRMView::DefineProperties();
    AddProperty("Barcode", 320);
    AddProperty("DataField", 321);
    AddProperty("OnBeforePrint", 320);
    AddProperty("OnAfterPrint", 320);
}

void TRMBarCodeView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = UpperCase(name);
    if (n == "BARTYPE")
        Settings.BarType = uint8_t(v.AsInteger());
    else if (n == "CHECKSUM")
        Settings.CheckSum = v.AsBoolean();
    else if (n == "HUMANREADABLE" || n == "SHOWTEXT")
        Settings.HumanReadable = v.AsBoolean();
    else if (n == "ZOOM") {
        if (v.AsInteger() >= 1) Settings.Zoom = v.AsInteger();
    } else if (n == "RATIO")
        Settings.Ratio = v.AsDouble();
    else if (n == "ANGLE")
        Settings.Angle = v.AsDouble();
    else
        TRMView::SetPropValue(name, v);
}

Variant TRMBarCodeView::GetPropValue(const std::string& name) {
    std::string n = UpperCase(name);
    if (n == "BARTYPE") return int(Settings.BarType);
    if (n == "CHECKSUM") return bool(Settings.CheckSum);
    if (n == "HUMANREADABLE" || n == "SHOWTEXT") return bool(Settings.HumanReadable);
    if (n == "ZOOM") return Settings.Zoom;
    if (n == "RATIO") return Settings.Ratio;
    if (n == "ANGLE") return Settings.Angle;
    return TRMView::GetPropValue(name);
}

std::string TRMBarCodeView::CodeText() const {
    const TRMLines& m = RMPreparedMode || Memo1.empty() ? Memo : Memo1;
    if (m.empty() || m[0].empty() || m[0][0] == '[') return "12345678";
    return m[0];
}

void TRMBarCodeView::Draw(TCanvas* canvas) {
    if (Width < 0 || Height < 0) return;
    BeginDraw(canvas);
    ShowBackground();
    LastError.clear();
    int q = Width - 2 * GapX, r = Height - 2 * GapY;
    std::string code = CodeText();
    if (q > 0 && r > 0 && Trim(code) != "0") {
        // An unencodable code draws its error in the frame: painting a page
        // must never fail.
        try {
            TRMBarcode bc;
            bc.SetAngle(Settings.Angle);
            bc.SetRatio(Settings.Ratio);
            bc.SetModul(Settings.Zoom);
            bc.SetChecksum(Settings.CheckSum);
            bc.SetColor(FillColor == clTransparentRM ? clWhite : FillColor);
            bc.SetTyp(TRMBarcodeType(std::min<int>(Settings.BarType, 22)));
            bc.SetText(code);
            bc.EncodeBars();
            TMetafile mf;
            mf.SetWidth(q);
            mf.SetHeight(r);
            {
                TMetafileCanvas mc(&mf);
                PaintBarcodeLabel(bc, &mc, q, r, Settings.HumanReadable);
            }
            mf.SetWidth(q);
            mf.SetHeight(r);
            TRect inner(DrawRect.Left + int(GapX * ScaleX), DrawRect.Top + int(GapY * ScaleY),
                        DrawRect.Left + int((GapX + q) * ScaleX), DrawRect.Top + int((GapY + r) * ScaleY));
            mf.Draw(canvas, inner);
        } catch (const Exception& e) {
            LastError = e.Message;
            canvas->Pen()->SetColor(clRed);
            canvas->Pen()->SetStyle(psSolid);
            canvas->Brush()->SetStyle(bsClear);
            canvas->Rectangle(DrawRect);
            canvas->Font()->SetHeight(-std::max(8, int(12 * ScaleY)));
            canvas->Font()->SetColor(clRed);
            canvas->TextOut(DrawRect.Left + 2, DrawRect.Top + 2, "条码错误: " + code);
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Font()->SetColor(clBlack);
        }
    }
    ShowFrame();
}

void TRMBarCodeView::LoadFromStream(TStream& s) {
    ReadViewRecord(s);
    s.ReadBuffer(&Settings, 24);
}

void TRMBarCodeView::SaveToStream(TStream& s) {
    ObjectVersion = 0; // no Flags2 follows, by the writer's own rule
    WriteViewRecord(s);
    s.WriteBuffer(&Settings, 24);
}

void RMRegisterBuiltInAddIns() {
    static bool done = false;
    if (done) return;
    done = true;
    RMRegisterObjectByRes(
        "TRMBarCodeView", [] { return std::make_unique<TRMBarCodeView>(); }, "RM_BARCODEOBJECT", "插入 Barcode 对象");
}
