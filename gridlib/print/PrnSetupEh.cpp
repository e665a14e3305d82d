// The print setup dialog.
#include "gridlib/print/PrnSetupEh.h"

#include <algorithm>

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/print/PrnDbgeh.h"

namespace {

template <class T>
T* make(TWinControl* parent, TComponent* owner, const std::string& name, int l, int t, int w, int h,
        const std::string& text = "") {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if (!text.empty()) c->SetText(text);
    return c;
}

// A margin as typed: a number, rounded to four decimals, never negative.
bool parseMargin(const std::string& s, Currency& out) {
    double v;
    if (!TryStrToFloat(Trim(s), v)) return false;
    out = Currency::FromDouble(std::max(0.0, v));
    return true;
}

} // namespace

TfPrnDBGridEhSetupDialog::TfPrnDBGridEhSetupDialog(TComponent* AOwner) : TForm(AOwner) {
    SetName("fPrnDBGridEhSetupDialog");
    SetText("打印机设置");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(360);
    SetClientHeight(300);
    auto* gb = make<TGroupBox>(this, this, "gbPrintFields", 8, 8, 344, 84, " 页边距");
    const char* labels[] = {"上", "下", "左", "右"};
    TEdit** edits[] = {&seUpMargin, &seLowMargin, &seLeftMargin, &seRightMargin};
    const char* names[] = {"seUpMargin", "seLowMargin", "seLeftMargin", "seRightMargin"};
    for (int i = 0; i < 4; ++i) {
        const int l = 10 + (i % 2) * 160, t = 20 + (i / 2) * 28;
        make<TLabel>(gb, this, Format("Label%d", i + 5), l, t + 3, 20, 18, labels[i]);
        *edits[i] = make<TEdit>(gb, this, names[i], l + 24, t, 80, 22, "0");
    }
    lbUnits = make<TLabel>(this, this, "lbUnits", 12, 96, 330, 18);
    cbFitWidthToPage = make<TCheckBox>(this, this, "cbFitWidthToPage", 12, 118, 160, 20, "自动调整列宽");
    rgFitingType = make<TRadioGroup>(this, this, "rgFitingType", 180, 114, 172, 66, "自动适应列宽");
    rgFitingType->Items()->Add("调整整个表格");
    rgFitingType->Items()->Add("改变列宽");
    rgFitingType->SetItemIndex(0);
    rgFitingType->SetEnabled(false);
    cbFitWidthToPage->OnClick = [this](TObject*) { rgFitingType->SetEnabled(cbFitWidthToPage->Checked()); };
    cbOptimalColWidths = make<TCheckBox>(this, this, "cbOptimalColWidths", 12, 142, 160, 20, "自动选择理想列宽");
    cbAutoStretch = make<TCheckBox>(this, this, "cbAutoStretch", 12, 166, 160, 20, "行长度自动延伸");
    cbColored = make<TCheckBox>(this, this, "cbColored", 12, 190, 160, 20, "颜色");
    make<TLabel>(this, this, "lbPrintFont", 12, 222, 70, 18, "打印字体");
    ePrintFont = make<TEdit>(this, this, "ePrintFont", 84, 218, 200, 22);
    bOk = make<TButton>(this, this, "bOk", 180, 262, 80, 28, "确定(&O)");
    bOk->SetDefault(true);
    bOk->SetModalResult(mrOk);
    bCancel = make<TButton>(this, this, "bCancel", 270, 262, 80, 28, "取消(&C)");
    bCancel->SetCancel(true);
    bCancel->SetModalResult(mrCancel);
}

bool RunPrintSetupDialog(TPrintDBGridEh* print) {
    TfPrnDBGridEhSetupDialog dlg(nullptr);
    TPageParams* pg = print->Page();
    auto show = [](Currency c) { return FormatFloat("0.####", c.ToDouble()); };
    dlg.seUpMargin->SetText(show(pg->TopMargin));
    dlg.seLowMargin->SetText(show(pg->BottomMargin));
    dlg.seLeftMargin->SetText(show(pg->LeftMargin));
    dlg.seRightMargin->SetText(show(pg->RightMargin));
    dlg.lbUnits->SetText(print->Units() == MM ? "单位：厘米" : "单位：英寸");
    const TPrintDBGridEhOptions o = print->Options();
    dlg.cbFitWidthToPage->SetChecked(o.Contains(pghFitGridToPageWidth));
    dlg.rgFitingType->SetEnabled(o.Contains(pghFitGridToPageWidth));
    dlg.rgFitingType->SetItemIndex(o.Contains(pghFitingByColWidths) ? 1 : 0);
    dlg.cbOptimalColWidths->SetChecked(o.Contains(pghOptimalColWidths));
    dlg.cbAutoStretch->SetChecked(o.Contains(pghRowAutoStretch));
    dlg.cbColored->SetChecked(o.Contains(pghColored));
    dlg.ePrintFont->SetText(print->PrintFontName());
    Currency m[4];
    // A margin that is no number keeps the dialog open.
    dlg.OnCloseQuery = [&](TObject*, bool& canClose) {
        if (dlg.ModalResult() != mrOk) return;
        TEdit* edits[] = {dlg.seUpMargin, dlg.seLowMargin, dlg.seLeftMargin, dlg.seRightMargin};
        for (int i = 0; i < 4; ++i)
            if (!parseMargin(edits[i]->GetText(), m[i])) {
                canClose = false;
                if (edits[i]->CanFocus()) edits[i]->SetFocus();
                return;
            }
    };
    if (dlg.ShowModal() != mrOk) return false;
    TEdit* edits[] = {dlg.seUpMargin, dlg.seLowMargin, dlg.seLeftMargin, dlg.seRightMargin};
    for (int i = 0; i < 4; ++i)
        if (!parseMargin(edits[i]->GetText(), m[i])) return false;
    pg->TopMargin = m[0];
    pg->BottomMargin = m[1];
    pg->LeftMargin = m[2];
    pg->RightMargin = m[3];
    TPrintDBGridEhOptions n;
    if (dlg.cbFitWidthToPage->Checked()) n << pghFitGridToPageWidth;
    if (dlg.rgFitingType->ItemIndex() == 1) n << pghFitingByColWidths;
    if (dlg.cbOptimalColWidths->Checked()) n << pghOptimalColWidths;
    if (dlg.cbAutoStretch->Checked()) n << pghRowAutoStretch;
    if (dlg.cbColored->Checked()) n << pghColored;
    print->SetOptions(n);
    print->SetPrintFontName(Trim(dlg.ePrintFont->GetText()));
    return true;
}
