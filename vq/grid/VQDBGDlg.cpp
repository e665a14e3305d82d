#include "VQDBGDlg.h"

#include "Build.h"
#include "Menus.h"
#include "ScopeExit.h"
#include "VQDBGrid.h"

// ------------------------------------------------------------ TVQGridCheckList

namespace {
constexpr int kCheckStrip = 15;
}

TVQGridCheckList::TVQGridCheckList(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(20);
    OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState state) { drawItem(index, rect, state); };
    // The list reports clicks on items, not where in the item: a click
    // anywhere on an item toggles it until the house's check list takes
    // over with its 15-pixel strip.
    OnClick = [this](TObject*) {
        if (ItemIndex() >= 0) SetChecked(ItemIndex(), !GetChecked(ItemIndex()));
    };
}

int TVQGridCheckList::AddItem(const std::string& caption) {
    checked_.push_back(false);
    return Items()->Add(caption);
}

void TVQGridCheckList::SetChecked(int i, bool v) {
    if (i < 0 || size_t(i) >= checked_.size() || checked_[size_t(i)] == v) return;
    checked_[size_t(i)] = v;
    Invalidate();
}

void TVQGridCheckList::ClearItems() {
    checked_.clear();
    Clear();
}

void TVQGridCheckList::drawItem(int index, TRect rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    const bool selected = state.Contains(odSelected);
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(rect);
    const int y = rect.Top + (rect.Height() - 13) / 2;
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(rect.Left + 1, y, rect.Left + 14, y + 13);
    if (GetChecked(index)) {
        c->Pen()->SetWidth(2);
        c->MoveTo(rect.Left + 4, y + 6);
        c->LineTo(rect.Left + 6, y + 9);
        c->LineTo(rect.Left + 11, y + 3);
        c->Pen()->SetWidth(1);
    }
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->Font()->SetColor(selected ? clHighlightText : clWindowText);
    const std::string text = Items()->Strings(index);
    c->TextRect({rect.Left + kCheckStrip + 4, rect.Top, rect.Right, rect.Bottom}, rect.Left + kCheckStrip + 4,
                rect.Top + (rect.Height() - c->TextHeight(text)) / 2, text);
}

void TVQGridCheckList::KeyDown(Word& Key, TShiftState Shift) {
    if ((Key == VK_SPACE || Key == VK_ADD) && ItemIndex() >= 0) {
        SetChecked(ItemIndex(), !GetChecked(ItemIndex()));
        Key = 0;
        return;
    }
    TListBox::KeyDown(Key, Shift);
}

// ------------------------------------------------------------ TFrmDBGridDlg

TFrmDBGridDlg::TFrmDBGridDlg(TComponent* AOwner, TVQCustomDBGrid* grid, int mode)
    : TForm(AOwner), grid_(grid), mode_(mode) {
    SetName("FrmDBGridDlg");
    SetCaption("数据编辑框参数设定");
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(344);
    SetClientHeight(301);
    const char* hint =
        "通过此功能，您可以设定那些数据显示，那些数据不显示.并可以设定输入时光标只在您选定的列上来回跳动。";
    TBuild b(this);
    SPLabel4 = b.Add<TLabel>("SPLabel4").At(8, 8, 160, 16).Caption("显示字段设定：");
    SPLabel1 = b.Add<TLabel>("SPLabel1").At(176, 8, 160, 16).Caption("列跳转设定：");
    LbxColumns = b.Add<TVQGridCheckList>("LbxColumns").At(8, 28, 160, 228).Hint(hint);
    LbxTabStop = b.Add<TVQGridCheckList>("LbxTabStop").At(176, 28, 160, 228).Hint(hint);
    BtnOk = b.Add<TButton>("BtnOk").At(176, 266, 75, 25).Caption("确定").ModalResult(mrOk).Default();
    BtnCancel = b.Add<TButton>("BtnCancel").At(261, 266, 75, 25).Caption("取消").ModalResult(mrCancel).Cancel();
    PMColumn = new TPopupMenu(this);
    PMColumn->SetName("PMColumn");
    struct Item {
        const char* name;
        const char* caption;
        void (TFrmDBGridDlg::*action)();
    };
    const Item items[] = {{"N1", "全部选定", &TFrmDBGridDlg::CheckAll},
                          {"N3", "设为默认值", &TFrmDBGridDlg::CheckDefaults},
                          {"N4", "-", nullptr},
                          {"N2", "清除所选列表", &TFrmDBGridDlg::ClearAll}};
    for (const Item& it : items) {
        auto* mi = new TMenuItem(PMColumn);
        mi->SetName(it.name);
        mi->SetCaption(it.caption);
        if (it.action) mi->OnClick = [this, a = it.action](TObject*) { (this->*a)(); };
        PMColumn->Items()->Add(mi);
    }
    LbxColumns->SetPopupMenu(PMColumn);
    FormShow();
}

void TFrmDBGridDlg::FormShow() {
    LbxColumns->ClearItems();
    LbxTabStop->ClearItems();
    TVQDBGridColumns* cols = grid_->Columns();
    for (int j = 0; j < cols->Count(); ++j) {
        LbxColumns->AddItem(cols->GetColumn(j)->Title()->GetCaption());
        LbxTabStop->AddItem(cols->GetColumn(j)->Title()->GetCaption());
    }
    CheckDefaults();
}

void TFrmDBGridDlg::CheckAll() {
    for (int j = 0; j < LbxColumns->Count(); ++j) LbxColumns->SetChecked(j, true);
}

// Entry j for column j: ticking the first entry with a caption would leave
// a second column of that caption unticked, and OK would hide it.
void TFrmDBGridDlg::CheckDefaults() {
    TVQDBGridColumns* cols = grid_->Columns();
    for (int j = 0; j < cols->Count() && j < LbxColumns->Count(); ++j)
        LbxColumns->SetChecked(j, cols->GetColumn(j)->Visible());
}

void TFrmDBGridDlg::ClearAll() {
    for (int j = 0; j < LbxColumns->Count(); ++j) LbxColumns->SetChecked(j, false);
}

void TFrmDBGridDlg::Apply() {
    TVQDBGridColumns* cols = grid_->Columns();
    bool anyStop = false;
    for (int j = 0; j < LbxTabStop->Count(); ++j) anyStop |= LbxTabStop->GetChecked(j);
    grid_->BeginLayout();
    ScopeExit restore([&] { grid_->EndLayout(); });
    for (int j = 0; j < cols->Count() && j < LbxColumns->Count(); ++j) {
        TVQColumn* c = cols->GetColumn(j);
        c->SetVisible(LbxColumns->GetChecked(j));
        c->SetTabStop(!anyStop || LbxTabStop->GetChecked(j));
    }
}

bool ShowGridColumnDialog(TVQCustomDBGrid* grid, int mode) {
    if (!grid) return false;
    TFrmDBGridDlg dlg(Application, grid, mode);
    if (dlg.ShowModal() != mrOk) return false;
    dlg.Apply();
    return true;
}
