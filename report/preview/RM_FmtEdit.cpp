#include "report/preview/RM_FmtEdit.h"

#include <algorithm>

#include "SysUtils.h"
#include "report/model/RM_Utils.h"

namespace {
// The categories' texts, and for each category the first and last text of
// its forms; the last form of every category but text is the custom one.
constexpr int kCategoryText = 47130;
constexpr std::pair<int, int> kFormTexts[] = {{47150, 47150}, {47151, 47155}, {47156, 47163}, {47164, 47168},
                                              {47169, 47173}};

template <class T>
T* make(TForm* f, TWinControl* parent, const char* name, int l, int t, int w, int h) {
    auto* c = new T(f);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}
} // namespace

TRMFmtForm::TRMFmtForm(TComponent* owner) : TForm(owner) {
    SetName("RMFmtForm");
    SetCaption("变量格式");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(317);
    SetClientHeight(223);
    RMSetDialogFont(Font());
    GroupBox1 = make<TGroupBox>(this, this, "GroupBox1", 4, 2, 309, 186);
    lstCat = make<TListBox>(this, GroupBox1, "lstCat", 8, 16, 121, 97);
    lstType = make<TListBox>(this, GroupBox1, "lstType", 136, 16, 167, 97);
    lblDec = make<TLabel>(this, GroupBox1, "lblDec", 8, 123, 68, 16);
    lblDec->SetCaption("小数位(&D)");
    edtDec = make<TEdit>(this, GroupBox1, "edtDec", 77, 120, 25, 21);
    edtDec->SetText("0");
    lblSpl = make<TLabel>(this, GroupBox1, "lblSpl", 150, 123, 126, 16);
    lblSpl->SetCaption("小数位分隔符(&s)");
    edtSpl = make<TEdit>(this, GroupBox1, "edtSpl", 277, 120, 25, 21);
    edtSpl->SetMaxLength(1);
    lblFormat = make<TLabel>(this, GroupBox1, "lblFormat", 8, 151, 170, 16);
    lblFormat->SetCaption("自定义格式(&f)");
    edtForamt = make<TEdit>(this, GroupBox1, "edtForamt", 181, 148, 121, 21);
    btnOK = make<TButton>(this, this, "btnOK", 156, 194, 75, 25);
    btnOK->SetCaption("确认");
    btnOK->SetDefault(true);
    btnOK->OnClick = [this](TObject*) { okClick(); };
    btnCancel = make<TButton>(this, this, "btnCancel", 237, 194, 75, 25);
    btnCancel->SetCaption("取消");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    for (int i = 0; i < 5; ++i) lstCat->Items()->Add(RMLoadStr(kCategoryText + i));
    RMSetStrProp(this, "Caption", 45420);
    RMSetStrProp(lblDec, "Caption", 45422);
    RMSetStrProp(lblSpl, "Caption", 45423);
    RMSetStrProp(lblFormat, "Caption", 45424);
    RMSetStrProp(btnOK, "Caption", 47000);
    RMSetStrProp(btnCancel, "Caption", 47001);
    lstCat->OnClick = [this](TObject*) { chooseCategory(lstCat->ItemIndex()); };
    lstType->OnClick = [this](TObject*) { updateFields(); };
    // Moving through the lists with the arrow keys chooses as a click does.
    lstCat->OnKeyUp = [this](TObject*, Word&, TShiftState) {
        if (lstCat->ItemIndex() != shownCat_) chooseCategory(lstCat->ItemIndex());
    };
    lstType->OnKeyUp = [this](TObject*, Word&, TShiftState) { updateFields(); };
    lstType->OnDblClick = [this](TObject*) {
        if (lstType->ItemIndex() >= 0) btnOK->Click();
    };
    edtSpl->OnEnter = [this](TObject*) { edtSpl->SelectAll(); };
}

void TRMFmtForm::DoShow() {
    int cat = std::clamp((FormatCode >> 24) & 0x0F, 0, 4);
    lstCat->SetItemIndex(cat);
    chooseCategory(cat);
    int form = (FormatCode >> 16) & 0xFF;
    if (form < lstType->Items()->Count()) lstType->SetItemIndex(form);
    updateFields();
    TForm::DoShow();
}

void TRMFmtForm::chooseCategory(int cat) {
    shownCat_ = cat;
    lstType->Items()->Clear();
    if (cat < 0 || cat > 4) return;
    for (int id = kFormTexts[cat].first; id <= kFormTexts[cat].second; ++id) lstType->Items()->Add(RMLoadStr(id));
    lstType->SetItemIndex(0);
    updateFields();
}

void TRMFmtForm::updateFields() {
    bool number = lstCat->ItemIndex() == 1;
    RMEnableControls({lblDec, edtDec, lblSpl, edtSpl}, number);
    if (number) {
        edtDec->SetText(std::to_string((FormatCode >> 8) & 0xFF));
        char sep = char(FormatCode & 0xFF);
        edtSpl->SetText(sep ? std::string(1, sep) : std::string(","));
    } else {
        edtDec->SetText("");
        edtSpl->SetText("");
    }
    bool custom = lstType->ItemIndex() >= 0 && lstType->ItemIndex() == lstType->Items()->Count() - 1;
    lblFormat->SetEnabled(custom);
    edtForamt->SetEnabled(custom);
    edtForamt->SetText(custom ? FormatText : std::string());
}

void TRMFmtForm::okClick() {
    int cat = std::max(0, lstCat->ItemIndex()), form = std::max(0, lstType->ItemIndex());
    int dec = 0;
    if (!TryStrToInt(Trim(edtDec->Text()), dec)) dec = 0;
    // The decimals have one byte of the code: more would spill into the form.
    dec = std::clamp(dec, 0, 255);
    std::string sep = edtSpl->Text();
    unsigned char s = sep.empty() ? ',' : uint8_t(sep[0]);
    FormatCode = (cat << 24) | (form << 16) | (dec << 8) | s;
    if (edtForamt->Enabled()) FormatText = edtForamt->Text();
    SetModalResult(mrOk);
}
