// The column model of the data grid: columns with their assigned-or-default
// properties, titles, footers and their sum items, the title tree of
// multi-level captions, and the cell text routines painting and printing
// share.
#include <algorithm>
#include <cmath>

#include "SysUtils.h"
#include "ScopeExit.h"
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/grid/DBLookupGridsEh.h"

namespace {

TAlignment fromField(TFieldAlignment a) {
    switch (a) {
    case faRightJustify: return taRightJustify;
    case faCenter: return taCenter;
    default: return taLeftJustify;
    }
}

TFieldAlignment toField(TAlignment a) {
    switch (a) {
    case taRightJustify: return faRightJustify;
    case taCenter: return faCenter;
    default: return faLeftJustify;
    }
}

// Copies src into dst without firing dst's change notification.
void quietAssign(TFont* dst, TFont* src, bool& guard) {
    guard = true;
    auto saved = dst->OnChange;
    dst->OnChange = nullptr;
    ScopeExit restore([&] {
        dst->OnChange = saved;
        guard = false;
    });
    dst->Assign(src);
}

bool sameFont(const TFont* a, const TFont* b) {
    return a->Name() == b->Name() && a->Height() == b->Height() && a->Style() == b->Style() &&
           a->Color() == b->Color() && a->Orientation() == b->Orientation();
}

int utf8CharLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 6) return 2;
    if ((c >> 4) == 14) return 3;
    if ((c >> 3) == 30) return 4;
    return 1;
}

// Byte offsets of the character starts of s, plus s.size().
std::vector<size_t> charStarts(const std::string& s) {
    std::vector<size_t> v;
    for (size_t i = 0; i < s.size(); i += size_t(utf8CharLen((unsigned char)s[i]))) v.push_back(i);
    v.push_back(s.size());
    return v;
}

} // namespace

// ================================================================ THeadTreeNode

THeadTreeNode::THeadTreeNode(const std::string& text, int width, int height, THeadTreeNode* host)
    : Text(text), Width(width), Height(height), Host(host) {
    Next = this;
}

THeadTreeNode::~THeadTreeNode() { FreeAllChild(); }

std::vector<THeadTreeNode*> THeadTreeNode::Children() const {
    std::vector<THeadTreeNode*> v;
    if (!Child) return v;
    THeadTreeNode* n = Child;
    do {
        v.push_back(n);
        n = n->Next;
    } while (n && n != Child);
    return v;
}

void THeadTreeNode::FreeAllChild() {
    for (THeadTreeNode* n : Children()) delete n;
    Child = nullptr;
}

THeadTreeNode* THeadTreeNode::Add(THeadTreeNode* after, const std::string& text, int width, int height) {
    auto* n = new THeadTreeNode(text, width, height, after->Host);
    n->Next = after->Next;
    after->Next = n;
    return n;
}

THeadTreeNode* THeadTreeNode::AddChild(THeadTreeNode* node, const std::string& text, int width, int height) {
    if (!node->Child) {
        auto* n = new THeadTreeNode(text, width, height, node);
        node->Child = n;
        return n;
    }
    THeadTreeNode* last = node->Child;
    while (last->Next != node->Child) last = last->Next;
    return Add(last, text, width, height);
}

THeadTreeNode* THeadTreeNode::Union(THeadTreeNode* from, THeadTreeNode* to, const std::string& text, int height) {
    THeadTreeNode* host = from->Host;
    std::vector<THeadTreeNode*> sibs = host->Children();
    auto fi = std::find(sibs.begin(), sibs.end(), from);
    auto ti = std::find(sibs.begin(), sibs.end(), to);
    if (fi == sibs.end() || ti == sibs.end() || ti < fi) throw Exception("ATo not in level");
    auto* u = new THeadTreeNode(text, 0, height, host);
    std::vector<THeadTreeNode*> inside(fi, ti + 1);
    std::vector<THeadTreeNode*> rest;
    for (auto it = sibs.begin(); it != sibs.end(); ++it) {
        if (it == fi) rest.push_back(u);
        if (it >= fi && it <= ti) continue;
        rest.push_back(*it);
    }
    for (size_t i = 0; i < inside.size(); ++i) {
        inside[i]->Host = u;
        inside[i]->Next = inside[(i + 1) % inside.size()];
        u->Width += inside[i]->Width;
    }
    u->Child = inside.front();
    for (size_t i = 0; i < rest.size(); ++i) rest[i]->Next = rest[(i + 1) % rest.size()];
    host->Child = rest.front();
    return u;
}

bool THeadTreeNode::Find(THeadTreeNode* node, int& level) const {
    for (THeadTreeNode* c : Children()) {
        if (c == node) return true;
        int l = level + 1;
        if (c->Find(node, l)) {
            level = l;
            return true;
        }
    }
    return false;
}

// ================================================================ TColumnTitleEh

TColumnTitleEh::TColumnTitleEh(TColumnEh* column) : column_(column), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { fontChanged(); };
}

TColumnTitleEh::~TColumnTitleEh() { font_->OnChange = nullptr; }

void TColumnTitleEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TColumnTitleEh*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    const unsigned a = s->column_->assigned_;
    if (a & TColumnEh::avTitleAlignment) SetAlignment(s->Alignment());
    if (a & TColumnEh::avTitleColor) SetColor(s->Color());
    if (a & TColumnEh::avTitleCaption) SetCaption(s->Caption());
    if (a & TColumnEh::avTitleFont) SetFont(s->Font());
    if (a & TColumnEh::avTitleButton) SetTitleButton(s->TitleButton());
    if (a & TColumnEh::avTitleEndEllipsis) SetEndEllipsis(s->EndEllipsis());
    if (a & TColumnEh::avTitleToolTips) SetToolTips(s->ToolTips());
    if (a & TColumnEh::avTitleOrientation) SetOrientation(s->Orientation());
    hint_ = s->hint_;
    imageIndex_ = s->imageIndex_;
}

std::string TColumnTitleEh::DefaultCaption() const {
    if (TField* f = column_->Field()) return f->DisplayName();
    return column_->FieldName();
}

std::string TColumnTitleEh::Caption() const {
    return column_->assigned(TColumnEh::avTitleCaption) ? caption_ : DefaultCaption();
}

void TColumnTitleEh::SetCaption(const std::string& v) {
    TCustomDBGridEh* g = column_->Grid();
    if (column_->UseFieldProperties() && g && g->DataLink()->Active() && column_->Field()) {
        column_->Field()->SetDisplayLabel(v);
        g->LayoutChanged();
        return;
    }
    if (column_->assigned(TColumnEh::avTitleCaption) && v == caption_) return;
    caption_ = v;
    column_->assigned_ |= TColumnEh::avTitleCaption;
    column_->changed();
}

TAlignment TColumnTitleEh::Alignment() const {
    if (column_->assigned(TColumnEh::avTitleAlignment)) return alignment_;
    TCustomDBGridEh* g = column_->Grid();
    // Multi-level titles centre their words unless told otherwise.
    if (g && g->UseMultiTitle()) return taCenter;
    return g ? g->ColumnDefValues().Title.Alignment : taLeftJustify;
}

void TColumnTitleEh::SetAlignment(TAlignment v) {
    if (column_->assigned(TColumnEh::avTitleAlignment) && v == alignment_) return;
    alignment_ = v;
    column_->assigned_ |= TColumnEh::avTitleAlignment;
    column_->changed();
}

TColor TColumnTitleEh::Color() const {
    if (column_->assigned(TColumnEh::avTitleColor)) return color_;
    TCustomDBGridEh* g = column_->Grid();
    return g ? g->FixedColor() : clBtnFace;
}

void TColumnTitleEh::SetColor(TColor v) {
    if (column_->assigned(TColumnEh::avTitleColor) && v == color_) return;
    color_ = v;
    column_->assigned_ |= TColumnEh::avTitleColor;
    column_->changed();
}

TFont* TColumnTitleEh::Font() const {
    if (!column_->assigned(TColumnEh::avTitleFont)) const_cast<TColumnTitleEh*>(this)->RefreshDefaultFont();
    return font_.get();
}

void TColumnTitleEh::SetFont(TFont* v) { font_->Assign(v); }

void TColumnTitleEh::RefreshDefaultFont() {
    if (column_->assigned(TColumnEh::avTitleFont)) return;
    TCustomDBGridEh* g = column_->Grid();
    TFont* def = g ? g->TitleFont() : column_->Font();
    if (!sameFont(font_.get(), def)) quietAssign(font_.get(), def, settingFont_);
}

void TColumnTitleEh::fontChanged() {
    if (settingFont_) return;
    column_->assigned_ |= TColumnEh::avTitleFont;
    column_->changed();
}

bool TColumnTitleEh::EndEllipsis() const {
    if (column_->assigned(TColumnEh::avTitleEndEllipsis)) return endEllipsis_;
    TCustomDBGridEh* g = column_->Grid();
    return g && g->ColumnDefValues().Title.EndEllipsis;
}

void TColumnTitleEh::SetEndEllipsis(bool v) {
    if (column_->assigned(TColumnEh::avTitleEndEllipsis) && v == endEllipsis_) return;
    endEllipsis_ = v;
    column_->assigned_ |= TColumnEh::avTitleEndEllipsis;
    column_->changed();
}

void TColumnTitleEh::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    column_->changed();
}

TTextOrientationEh TColumnTitleEh::Orientation() const {
    if (column_->assigned(TColumnEh::avTitleOrientation)) return orientation_;
    TCustomDBGridEh* g = column_->Grid();
    return g ? g->ColumnDefValues().Title.Orientation : tohHorizontal;
}

void TColumnTitleEh::SetOrientation(TTextOrientationEh v) {
    if (column_->assigned(TColumnEh::avTitleOrientation) && v == orientation_) return;
    orientation_ = v;
    column_->assigned_ |= TColumnEh::avTitleOrientation;
    column_->changed();
}

bool TColumnTitleEh::TitleButton() const {
    if (column_->assigned(TColumnEh::avTitleButton)) return titleButton_;
    TCustomDBGridEh* g = column_->Grid();
    return g && g->ColumnDefValues().Title.TitleButton;
}

void TColumnTitleEh::SetTitleButton(bool v) {
    if (column_->assigned(TColumnEh::avTitleButton) && v == titleButton_) return;
    titleButton_ = v;
    column_->assigned_ |= TColumnEh::avTitleButton;
    column_->changed();
}

bool TColumnTitleEh::ToolTips() const {
    if (column_->assigned(TColumnEh::avTitleToolTips)) return toolTips_;
    TCustomDBGridEh* g = column_->Grid();
    return g && g->ColumnDefValues().Title.ToolTips;
}

void TColumnTitleEh::SetToolTips(bool v) {
    toolTips_ = v;
    column_->assigned_ |= TColumnEh::avTitleToolTips;
}

void TColumnTitleEh::SetSortMarker(TSortMarkerEh v) {
    if (v == sortMarker_) return;
    sortMarker_ = v;
    TCustomDBGridEh* g = column_->Grid();
    if (!g || g->loading()) return;
    std::vector<TColumnEh*>& marked = g->sortMarkedList();
    const auto self = std::find(marked.begin(), marked.end(), column_);
    if (!g->OptionsEh().Contains(dghMultiSortMarking)) {
        if (v == smNoneEh) {
            marked.clear();
        } else {
            // One marked column at a time: the others lose their marks.
            for (int i = 0; i < column_->Collection()->Count(); ++i) {
                auto* o = static_cast<TColumnEh*>(column_->Collection()->Items(i));
                if (o != column_ && o->Title()->SortMarker() != smNoneEh) o->Title()->SetSortMarker(smNoneEh);
            }
            marked.assign(1, column_);
        }
    } else if (v == smNoneEh) {
        // The numbers after this one close up.
        if (self != marked.end()) marked.erase(self);
    } else if (self == marked.end()) {
        marked.push_back(column_);
    }
    g->Invalidate();
}

int TColumnTitleEh::SortIndex() const {
    TCustomDBGridEh* g = column_->Grid();
    if (!g || g->loading()) return column_->SortIndexInternal;
    const auto& m = g->SortMarkedColumns();
    auto it = std::find(m.begin(), m.end(), column_);
    return it == m.end() ? 0 : int(it - m.begin()) + 1;
}

void TColumnTitleEh::SetSortIndex(int v) {
    v = std::max(v, 0);
    TCustomDBGridEh* g = column_->Grid();
    if (!g || g->loading()) {
        column_->SortIndexInternal = v;
        return;
    }
    const int old = SortIndex();
    std::vector<TColumnEh*>& marked = g->sortMarkedList();
    if (v == old || old == 0 || v == 0 || v > int(marked.size())) return;
    std::swap(marked[old - 1], marked[v - 1]);
    column_->changed();
}

void TColumnTitleEh::StepSortMarker(bool KeepOthers) {
    if (!KeepOthers)
        if (TCustomDBGridEh* g = column_->Grid()) {
            const std::vector<TColumnEh*> others = g->SortMarkedColumns();
            for (TColumnEh* o : others)
                if (o != column_) o->Title()->SetSortMarker(smNoneEh);
        }
    switch (sortMarker_) {
    case smNoneEh: SetSortMarker(smDownEh); break;
    case smDownEh: SetSortMarker(smUpEh); break;
    case smUpEh: SetSortMarker(KeepOthers ? smNoneEh : smDownEh); break;
    }
}

int TColumnTitleEh::SortMarkerWidth() const {
    const int index = SortIndex();
    if (index == 0) return 0;
    int w = 16, digits = 0;
    TCustomDBGridEh* g = column_->Grid();
    if (g && g->SortMarkedColumns().size() >= 2) {
        digits = g->SortIndexTextWidth(column_, index);
        w += digits;
    }
    const int room = column_->Width() - 4;
    if (w > room) w -= 14;
    if (w > room) w -= digits + 2;
    return w;
}

void TColumnTitleEh::RestoreDefaults() {
    column_->assigned_ &= ~(TColumnEh::avTitleColor | TColumnEh::avTitleCaption | TColumnEh::avTitleAlignment |
                            TColumnEh::avTitleFont | TColumnEh::avTitleButton | TColumnEh::avTitleEndEllipsis |
                            TColumnEh::avTitleToolTips | TColumnEh::avTitleOrientation);
    RefreshDefaultFont();
    column_->changed();
}

// ================================================================ TColumnFooterEh

TColumnFooterEh::TColumnFooterEh(TCollection* collection, TColumnEh* column)
    : TCollectionItem(collection), column_(column), font_(std::make_unique<TFont>()) {
    if (auto* fs = dynamic_cast<TColumnFootersEh*>(collection)) column_ = fs->Column();
    font_->OnChange = [this](TObject*) { fontChanged(); };
    if (collection && column_)
        if (TCustomDBGridEh* g = column_->Grid()) g->InvalidateFooters();
}

TColumnFooterEh::~TColumnFooterEh() {
    font_->OnChange = nullptr;
    if (sumItem_) {
        TDBSum* s = sumItem_;
        sumItem_ = nullptr;
        delete s;
    }
}

void TColumnFooterEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TColumnFooterEh*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (alignmentSet_) SetAlignment(s->Alignment());
    if (colorSet_) SetColor(s->Color());
    if (fontSet_) SetFont(s->Font());
    SetEndEllipsis(s->EndEllipsis());
    SetValueType(s->ValueType());
    SetFieldName(s->FieldName());
    SetValue(s->Value());
    SetWordWrap(s->WordWrap());
}

void TColumnFooterEh::changed() {
    if (column_) column_->changed();
}

TAlignment TColumnFooterEh::Alignment() const {
    if (alignmentSet_) return alignment_;
    TField* f = column_ ? column_->Field() : nullptr;
    return f ? fromField(f->Alignment()) : taLeftJustify;
}

void TColumnFooterEh::SetAlignment(TAlignment v) {
    if (alignmentSet_ && v == alignment_) return;
    alignment_ = v;
    alignmentSet_ = true;
    changed();
}

TColor TColumnFooterEh::Color() const {
    if (colorSet_) return color_;
    TCustomDBGridEh* g = column_ ? column_->Grid() : nullptr;
    return g ? g->FooterColor() : clWindow;
}

void TColumnFooterEh::SetColor(TColor v) {
    if (colorSet_ && v == color_) return;
    color_ = v;
    colorSet_ = true;
    changed();
}

TFont* TColumnFooterEh::Font() const {
    if (!fontSet_) const_cast<TColumnFooterEh*>(this)->RefreshDefaultFont();
    return font_.get();
}

void TColumnFooterEh::SetFont(TFont* v) { font_->Assign(v); }

void TColumnFooterEh::RefreshDefaultFont() {
    if (fontSet_ || !column_) return;
    TCustomDBGridEh* g = column_->Grid();
    TFont* def = g ? g->FooterFont() : column_->Font();
    if (!sameFont(font_.get(), def)) quietAssign(font_.get(), def, settingFont_);
}

void TColumnFooterEh::fontChanged() {
    if (settingFont_) return;
    fontSet_ = true;
    if (column_) column_->changed(true);
}

void TColumnFooterEh::SetEndEllipsis(bool v) {
    endEllipsis_ = v;
    changed();
}

void TColumnFooterEh::SetFieldName(const std::string& v) {
    fieldName_ = v;
    if (column_) column_->RefreshFooters();
    changed();
}

void TColumnFooterEh::SetValue(const std::string& v) {
    value_ = v;
    changed();
}

void TColumnFooterEh::SetValueType(TFooterValueType v) {
    if (v == valueType_) return;
    valueType_ = v;
    if (column_) column_->RefreshFooters();
    changed();
}

void TColumnFooterEh::SetWordWrap(bool v) {
    wordWrap_ = v;
    changed();
}

void TColumnFooterEh::RestoreDefaults() {
    const bool hadFont = fontSet_;
    alignmentSet_ = colorSet_ = fontSet_ = false;
    RefreshDefaultFont();
    if (column_) column_->changed(hadFont);
}

void TColumnFooterEh::UpdateSumItem() {
    TCustomDBGridEh* g = column_ ? column_->Grid() : nullptr;
    if (!g) return;
    auto setUp = [&](TDBSum* s) {
        switch (valueType_) {
        case fvtSum:
        case fvtAvg:
            s->SetGroupOperation(valueType_ == fvtSum ? goSum : goAvg);
            s->SetFieldName(fieldName_.empty() ? column_->FieldName() : fieldName_);
            break;
        case fvtCount:
            s->SetGroupOperation(goCount);
            s->SetFieldName("");
            break;
        default: break;
        }
    };
    const bool needs = valueType_ == fvtSum || valueType_ == fvtAvg || valueType_ == fvtCount;
    if (sumItem_) {
        if (needs) {
            setUp(sumItem_);
        } else {
            TDBSum* s = sumItem_;
            sumItem_ = nullptr;
            delete s;
        }
        return;
    }
    if (!needs) return;
    TDBSumCollection* coll = g->SumList()->SumCollection();
    coll->BeginUpdate();
    ScopeExit restore([&] { coll->EndUpdate(); });
    sumItem_ = coll->Add();
    setUp(sumItem_);
}

TColumnFootersEh::TColumnFootersEh(TColumnEh* column)
    // Items are made whole before they join: joining reports a change.
    : TCollection([this](TCollection*) { return new TColumnFooterEh(nullptr, column_); }), column_(column) {}

// ================================================================ TColumnEh

TColumnEh::TColumnEh(TCollection* collection)
    : TCollectionItem(collection), font_(std::make_unique<TFont>()), title_(std::make_unique<TColumnTitleEh>(this)),
      footer_(std::make_unique<TColumnFooterEh>(nullptr, this)), footers_(std::make_unique<TColumnFootersEh>(this)) {
    font_->OnChange = [this](TObject*) { fontChanged(); };
    RefreshDefaultFont();
}

TColumnEh::~TColumnEh() {
    font_->OnChange = nullptr;
    if (TCustomDBGridEh* g = Grid()) {
        if (g->DroppedDataGrid() == dropDownGrid_ && dropDownGrid_) g->CloseUpDataGrid(false);
        // A column that goes takes its sort mark with it.
        std::vector<TColumnEh*>& marked = g->sortMarkedList();
        marked.erase(std::remove(marked.begin(), marked.end(), this), marked.end());
    }
    if (dropDownGrid_ && !dropDownGrid_->Owner()) delete dropDownGrid_;
    footers_.reset();
    footer_.reset();
}

TCustomDBGridEh* TColumnEh::Grid() const {
    auto* c = dynamic_cast<TDBGridColumnsEh*>(Collection());
    return c ? c->Grid() : nullptr;
}

void TColumnEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TColumnEh*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (Collection()) Collection()->BeginUpdate();
    ScopeExit restore([&] {
        if (Collection()) Collection()->EndUpdate();
    });
    RestoreDefaults();
    SetFieldName(s->FieldName());
    if (s->assigned(avColor)) SetColor(s->Color());
    if (s->assigned(avWidth)) SetWidth(s->Width());
    if (s->assigned(avFont)) SetFont(s->Font());
    if (s->assigned(avAlignment)) SetAlignment(s->Alignment());
    if (s->assigned(avReadOnly)) SetReadOnly(s->ReadOnly());
    if (s->assigned(avWordWrap)) SetWordWrap(s->WordWrap());
    // Effective values are written through their setters and so become
    // assigned here.
    SetEndEllipsis(s->EndEllipsis());
    SetToolTips(s->ToolTips());
    SetAlwaysShowEditButton(s->AlwaysShowEditButton());
    SetAutoDropDown(s->AutoDropDown());
    SetDblClickNextVal(s->DblClickNextVal());
    SetDropDownSizing(s->DropDownSizing());
    SetDropDownShowTitles(s->DropDownShowTitles());
    if (s->assigned(avLookupDisplayFields)) SetLookupDisplayFields(s->LookupDisplayFields());
    imageList_ = s->imageList_;
    popupMenu_ = s->popupMenu_;
    AutoFitBaseWidth = s->AutoFitBaseWidth;
    autoFitColWidth_ = s->autoFitColWidth_;
    if (s->assigned(avCheckboxes)) SetCheckboxes(s->Checkboxes());
    SetVisible(s->Visible());
    buttonStyle_ = s->buttonStyle_;
    dropDownRows_ = s->dropDownRows_;
    dropDownWidth_ = s->dropDownWidth_;
    increment_ = s->increment_;
    minWidth_ = s->minWidth_;
    maxWidth_ = s->maxWidth_;
    notInKeyListIndex_ = s->notInKeyListIndex_;
    if (s->pickList_) PickList()->Assign(s->pickList_.get());
    if (s->keyList_) KeyList()->Assign(s->keyList_.get());
    title_->Assign(s->title_.get());
    footer_->Assign(s->footer_.get());
    footers_->Assign(s->footers_.get());
    OnGetCellParams = s->OnGetCellParams;
    OnUpdateData = s->OnUpdateData;
    OnNotInList = s->OnNotInList;
    OnEditButtonClick = s->OnEditButtonClick;
    editButtons_.Assign(s->editButtons_);
    if (s->dropDownGrid_ || dropDownGrid_) dropDownBox_.Assign(&s->dropDownBox_);
    dropDownBox_.AutoFitColWidths = s->dropDownBox_.AutoFitColWidths;
    dropDownBox_.UseMultiTitle = s->dropDownBox_.UseMultiTitle;
}

void TColumnEh::SetFieldName(const std::string& v) {
    std::string name = v;
    field_ = nullptr;
    TCustomDBGridEh* g = Grid();
    if (g && g->DataLink()->Active()) {
        if (TDataSet* ds = g->DataLink()->DataSet())
            if (TField* f = ds->FindField(v)) {
                field_ = f;
                name = f->FieldName();
            }
    }
    fieldName_ = name;
    RefreshFooters();
    changed();
}

TField* TColumnEh::Field() const {
    if (field_) {
        // The field may have gone with its data set's close; check it is
        // still one of the data set's.
        TCustomDBGridEh* g = Grid();
        TDataSet* ds = g && g->DataSource() ? g->DataSource()->DataSet() : nullptr;
        if (ds && field_->DataSet() == ds && ds->FindField(fieldName_) == field_) return field_;
        field_ = nullptr;
    }
    if (fieldName_.empty()) return nullptr;
    TCustomDBGridEh* g = Grid();
    TDataSet* ds = g && g->DataSource() ? g->DataSource()->DataSet() : nullptr;
    if (!ds) return nullptr;
    field_ = ds->FindField(fieldName_);
    if (field_) const_cast<TColumnEh*>(this)->fieldName_ = field_->FieldName();
    return field_;
}

void TColumnEh::SetField(TField* v) {
    field_ = v;
    if (v) fieldName_ = v->FieldName();
    RefreshFooters();
}

int TColumnEh::DefaultWidth() const {
    TCustomDBGridEh* g = Grid();
    TField* f = Field();
    if (!g) return 64;
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    int w;
    if (f) {
        c->Font()->Assign(Font());
        w = f->DisplayWidth() * c->TextWidth("0");
        c->Font()->Assign(title_->Font());
        const int tw = c->TextWidth(title_->Caption()) + 4;
        if (!g->UseMultiTitle() && tw > w) w = tw;
        w += 4;
    } else {
        w = 64;
    }
    return w;
}

int TColumnEh::Width() const { return assigned(avWidth) ? width_ : DefaultWidth(); }

void TColumnEh::SetWidth(int v) {
    if (v == -1) {
        assigned_ &= ~avWidth;
        changed();
        return;
    }
    if (maxWidth_ > 0 && v > maxWidth_) v = maxWidth_;
    if (minWidth_ > 0 && v < minWidth_) v = minWidth_;
    if (assigned(avWidth) && v == width_) return;
    width_ = v;
    assigned_ |= avWidth;
    changed();
}

void TColumnEh::SetMinWidth(int v) {
    minWidth_ = v;
    if (v > 0 && Width() < v) SetWidth(v);
}

void TColumnEh::SetMaxWidth(int v) {
    maxWidth_ = v;
    if (v > 0 && Width() > v) SetWidth(v);
}

void TColumnEh::SetAutoFitColWidth(bool v) {
    autoFitColWidth_ = v;
    TCustomDBGridEh* g = Grid();
    if (g && g->AutoFitColWidths() && !g->loading()) SetWidth(AutoFitBaseWidth);
    changed();
}

void TColumnEh::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed(true);
}

TAlignment TColumnEh::Alignment() const {
    if (assigned(avAlignment)) return alignment_;
    TField* f = Field();
    return f ? fromField(f->Alignment()) : taLeftJustify;
}

void TColumnEh::SetAlignment(TAlignment v) {
    TCustomDBGridEh* g = Grid();
    if (UseFieldProperties() && g && g->DataLink()->Active() && Field()) {
        Field()->SetAlignment(toField(v));
        g->Invalidate();
        return;
    }
    if (assigned(avAlignment) && v == alignment_) return;
    alignment_ = v;
    assigned_ |= avAlignment;
    changed();
}

TColor TColumnEh::Color() const {
    if (assigned(avColor)) return color_;
    TCustomDBGridEh* g = Grid();
    return g ? g->Color() : clWindow;
}

void TColumnEh::SetColor(TColor v) {
    if (assigned(avColor) && v == color_) return;
    color_ = v;
    assigned_ |= avColor;
    changed();
}

TFont* TColumnEh::Font() const {
    if (!assigned(avFont)) {
        TCustomDBGridEh* g = Grid();
        if (g && !sameFont(font_.get(), g->Font()))
            quietAssign(font_.get(), g->Font(), const_cast<TColumnEh*>(this)->settingFont_);
    }
    return font_.get();
}

void TColumnEh::SetFont(TFont* v) { font_->Assign(v); }

void TColumnEh::fontChanged() {
    if (settingFont_) return;
    assigned_ |= avFont;
    title_->RefreshDefaultFont();
    changed();
}

void TColumnEh::RefreshDefaultFont() {
    if (!assigned(avFont)) {
        TCustomDBGridEh* g = Grid();
        if (g && !sameFont(font_.get(), g->Font())) quietAssign(font_.get(), g->Font(), settingFont_);
    }
    title_->RefreshDefaultFont();
    footer_->RefreshDefaultFont();
    for (int i = 0; i < footers_->Count(); ++i) footers_->Items(i)->RefreshDefaultFont();
}

bool TColumnEh::ReadOnly() const {
    if (assigned(avReadOnly)) return readOnly_;
    TCustomDBGridEh* g = Grid();
    TField* f = Field();
    return (g && g->ReadOnly()) || (f && f->ReadOnly());
}

void TColumnEh::SetReadOnly(bool v) {
    TCustomDBGridEh* g = Grid();
    if (UseFieldProperties() && g && g->DataLink()->Active() && Field()) {
        Field()->SetReadOnly(v);
        return;
    }
    if (assigned(avReadOnly) && v == readOnly_) return;
    readOnly_ = v;
    assigned_ |= avReadOnly;
    changed();
}

bool TColumnEh::WordWrap() const {
    if (assigned(avWordWrap)) return wordWrap_;
    TField* f = Field();
    return f && (f->DataType() == ftString || f->DataType() == ftMemo || f->DataType() == ftFmtMemo ||
                 f->DataType() == ftWideString);
}

void TColumnEh::SetWordWrap(bool v) {
    wordWrap_ = v;
    assigned_ |= avWordWrap;
    changed();
}

#define DEF_BOOL_PROP(Name, member, flag, defexpr)                                                                     \
    bool TColumnEh::Name() const {                                                                                     \
        if (assigned(flag)) return member;                                                                             \
        TCustomDBGridEh* g = Grid();                                                                                   \
        return g && (defexpr);                                                                                         \
    }                                                                                                                  \
    void TColumnEh::Set##Name(bool v) {                                                                                \
        if (assigned(flag) && v == member) return;                                                                     \
        member = v;                                                                                                    \
        assigned_ |= flag;                                                                                             \
        changed();                                                                                                     \
    }

DEF_BOOL_PROP(EndEllipsis, endEllipsis_, avEndEllipsis, g->ColumnDefValues().EndEllipsis)
DEF_BOOL_PROP(ToolTips, toolTips_, avToolTips, g->ColumnDefValues().ToolTips)
DEF_BOOL_PROP(AlwaysShowEditButton, alwaysShowEditButton_, avAlwaysShowEditButton,
              g->ColumnDefValues().AlwaysShowEditButton)
DEF_BOOL_PROP(AutoDropDown, autoDropDown_, avAutoDropDown, g->ColumnDefValues().AutoDropDown)
DEF_BOOL_PROP(DblClickNextVal, dblClickNextVal_, avDblClickNextVal, g->ColumnDefValues().DblClickNextVal)
DEF_BOOL_PROP(DropDownShowTitles, dropDownShowTitles_, avDropDownShowTitles, g->ColumnDefValues().DropDownShowTitles)
DEF_BOOL_PROP(DropDownSizing, dropDownSizing_, avDropDownSizing, g->ColumnDefValues().DropDownSizing)
#undef DEF_BOOL_PROP

bool TColumnEh::Checkboxes() const {
    if (assigned(avCheckboxes)) return checkboxes_;
    TField* f = Field();
    return f && f->DataType() == ftBoolean;
}

void TColumnEh::SetCheckboxes(bool v) {
    if (assigned(avCheckboxes) && v == checkboxes_) return;
    checkboxes_ = v;
    assigned_ |= avCheckboxes;
    changed();
}

void TColumnEh::SetButtonStyle(TColumnButtonStyleEh v) {
    if (v == buttonStyle_) return;
    buttonStyle_ = v;
    changed();
}

void TColumnEh::SetNotInKeyListIndex(int v) {
    if (v == notInKeyListIndex_) return;
    notInKeyListIndex_ = v;
    if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

TStrings* TColumnEh::PickList() {
    if (!pickList_) pickList_ = std::make_unique<TStringList>();
    return pickList_.get();
}

TStrings* TColumnEh::KeyList() {
    if (!keyList_) keyList_ = std::make_unique<TStringList>();
    return keyList_.get();
}

const TStrings* TColumnEh::PickList() const { return const_cast<TColumnEh*>(this)->PickList(); }
const TStrings* TColumnEh::KeyList() const { return const_cast<TColumnEh*>(this)->KeyList(); }

void TColumnEh::SetImageList(TImageList* v) {
    imageList_ = v;
    if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetLookupDisplayFields(const std::string& v) {
    lookupDisplayFields_ = v;
    assigned_ |= avLookupDisplayFields;
    changed();
}

TColumnFooterEh* TColumnEh::FooterOfRow(int row) const {
    if (row >= 0 && row < footers_->Count()) return footers_->Items(row);
    return footer_.get();
}

void TColumnEh::RefreshFooters() {
    if (!Grid()) return;
    footer_->UpdateSumItem();
    for (int i = 0; i < footers_->Count(); ++i) footers_->Items(i)->UpdateSumItem();
}

void TColumnEh::RestoreDefaults() {
    const bool fontWas = assigned(avFont);
    assigned_ = 0;
    title_->RestoreDefaults();
    if (fontWas) RefreshDefaultFont();
    changed();
}

// ---- values

TColumnEhValueType TColumnEh::GetColumnType() const {
    TField* f = Field();
    if (!f) return ctCommon;
    if (keyList_ && keyList_->Count() > 0) {
        if (Checkboxes() && keyList_->Count() >= 2 && (!pickList_ || pickList_->Count() == 0)) return ctCheckboxes;
        if (imageList_) return ctKeyImageList;
        return ctKeyPickList;
    }
    if (Checkboxes() && f->DataType() == ftBoolean) return ctCheckboxes;
    if (f->Lookup()) return ctLookupField;
    if (pickList_ && pickList_->Count() > 0) return ctPickList;
    return ctCommon;
}

namespace {
// KeyList entries may list several keys separated by ";": "Y;y;1".
bool keyEntryMatches(const std::string& entry, const std::string& value) {
    size_t start = 0;
    while (true) {
        size_t p = entry.find(';', start);
        std::string k = entry.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (k == value) return true;
        if (p == std::string::npos) return false;
        start = p + 1;
    }
}
std::string firstKey(const std::string& entry) {
    size_t p = entry.find(';');
    return p == std::string::npos ? entry : entry.substr(0, p);
}
} // namespace

std::string TColumnEh::DisplayText() const {
    TField* f = Field();
    if (!f) return {};
    switch (GetColumnType()) {
    case ctKeyPickList: {
        const std::string v = f->AsString();
        for (int i = 0; i < keyList_->Count(); ++i)
            if (keyEntryMatches(keyList_->Strings(i), v))
                return pickList_ && i < pickList_->Count() ? pickList_->Strings(i) : std::string();
        if (notInKeyListIndex_ >= 0 && pickList_ && notInKeyListIndex_ < pickList_->Count())
            return pickList_->Strings(notInKeyListIndex_);
        return {};
    }
    case ctCheckboxes: return {};
    default: break;
    }
    TCustomDBGridEh* g = Grid();
    if (f->IsBlob() && !(f->DataType() == ftMemo && g && g->DrawMemoText())) return f->DisplayText();
    return f->DisplayText();
}

int TColumnEh::CheckboxState() const {
    TField* f = Field();
    if (!f || f->IsNull()) return 2;
    if (keyList_ && keyList_->Count() >= 2) {
        const std::string v = f->AsString();
        if (keyEntryMatches(keyList_->Strings(0), v)) return 1;
        if (keyEntryMatches(keyList_->Strings(1), v)) return 0;
        return 2;
    }
    return f->AsBoolean() ? 1 : 0;
}

void TColumnEh::SetCheckboxState(int v) {
    TField* f = Field();
    if (!f) return;
    if (keyList_ && keyList_->Count() >= 2) {
        if (v == 2)
            UpdateDataValues("", Null(), false);
        else
            UpdateDataValues(firstKey(keyList_->Strings(v == 1 ? 0 : 1)), Null(), true);
        return;
    }
    if (v == 2)
        UpdateDataValues("", Null(), false);
    else
        UpdateDataValues("", Variant(v == 1), false);
}

bool TColumnEh::CanModify(bool TryEdit) {
    TCustomDBGridEh* g = Grid();
    TField* f = Field();
    if (!g || !f || ReadOnly() || !f->CanModify() || !g->DataLink()->Active() || g->DataLink()->ReadOnly())
        return false;
    if (!g->AllowedOperations().Contains(alopUpdateEh) && g->DataLink()->DataSet()->State() != dsInsert) return false;
    if (g->DataLink()->Editing()) return true;
    return TryEdit ? g->DataLink()->Edit() : true;
}

void TColumnEh::UpdateDataValues(const std::string& Text, const Variant& Value, bool UseText) {
    TField* f = Field();
    if (!f) return;
    std::string text = Text;
    Variant value = Value;
    bool useText = UseText;
    bool handled = false;
    if (OnUpdateData) OnUpdateData(this, text, value, useText, handled);
    if (handled) return;
    if (useText)
        f->SetText(text);
    else
        f->SetValue(value);
}

void TColumnEh::SetNextFieldValue(double Increment) {
    TField* f = Field();
    if (!f || !CanModify(true)) return;
    switch (GetColumnType()) {
    case ctKeyPickList:
    case ctPickList: {
        TStrings* list = GetColumnType() == ctKeyPickList ? KeyList() : PickList();
        const int n = list->Count();
        if (n == 0) return;
        int cur = -1;
        const std::string v = f->AsString();
        for (int i = 0; i < n; ++i)
            if (GetColumnType() == ctKeyPickList ? keyEntryMatches(list->Strings(i), v) : list->Strings(i) == v) {
                cur = i;
                break;
            }
        int next = cur + (Increment > 0 ? 1 : -1);
        // Past either end wraps; through the one write path, so OnUpdateData
        // sees the wrap as any other step.
        if (next >= n) next = 0;
        if (next < 0) next = n - 1;
        UpdateDataValues(GetColumnType() == ctKeyPickList ? firstKey(list->Strings(next)) : list->Strings(next), Null(),
                         true);
        break;
    }
    case ctCheckboxes: {
        const int s = CheckboxState();
        SetCheckboxState(Increment > 0 ? (s == 1 ? 0 : 1) : (s == 0 ? 1 : 0));
        break;
    }
    default:
        switch (f->DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftLargeint:
        case ftFloat:
        case ftCurrency:
        case ftBCD:
            if (f->IsNull())
                UpdateDataValues("", Variant(0), false);
            else
                UpdateDataValues("", Variant(f->AsFloat() + Increment * increment_), false);
            break;
        default: break;
        }
    }
}

// ================================================================ TDBGridColumnsEh

TDBGridColumnsEh::TDBGridColumnsEh(TCustomDBGridEh* grid, ItemFactory factory)
    : TCollection(factory ? std::move(factory) : ItemFactory([](TCollection*) { return new TColumnEh(nullptr); })),
      grid_(grid) {}

TColumnEh* TDBGridColumnsEh::Add() {
    // Adding a stored column replaces the default ones; one change report.
    BeginUpdate();
    TColumnEh* c = nullptr;
    {
        ScopeExit restore([&] { EndUpdate(); });
        for (int i = Count() - 1; i >= 0; --i)
            if (!Items(i)->Stored()) Delete(i);
        c = static_cast<TColumnEh*>(TCollection::Add());
        c->stored_ = true;
    }
    return c;
}

TColumnEh* TDBGridColumnsEh::addDefaultColumn(TField* field) {
    auto* c = static_cast<TColumnEh*>(TCollection::Add());
    c->stored_ = false;
    c->field_ = field;
    c->fieldName_ = field ? field->FieldName() : std::string();
    c->RefreshDefaultFont();
    return c;
}

bool TDBGridColumnsEh::HasStoredColumns() const { return Count() > 0 && Items(0)->Stored(); }

void TDBGridColumnsEh::RebuildColumns() {
    BeginUpdate();
    ScopeExit restore([&] { EndUpdate(); });
    Clear();
    TDataSet* ds = grid_ && grid_->DataSource() ? grid_->DataSource()->DataSet() : nullptr;
    if (ds)
        for (TField* f : ds->Fields())
            if (f->Visible()) Add()->SetFieldName(f->FieldName());
}

void TDBGridColumnsEh::RestoreDefaults() {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
    EndUpdate();
}

void TDBGridColumnsEh::Update(TCollectionItem* item) {
    TCollection::Update(item);
    if (grid_) grid_->columnsChanged(item);
}

// ================================================================ cell text routines

std::string ShortenTextToWidth(TCanvas* canvas, const std::string& text, int width) {
    if (canvas->TextWidth(text) <= width) return text;
    const std::string dots = "...";
    const std::vector<size_t> starts = charStarts(text);
    const int chars = int(starts.size()) - 1;
    // The longest prefix (at most chars - 2 characters) that fits with the
    // dots, by bisection over the character count.
    int lo = 0, hi = std::max(0, chars - 2);
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (canvas->TextWidth(text.substr(0, starts[size_t(mid)]) + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.substr(0, starts[size_t(lo)]) + dots;
}

void WriteTextEh(TCanvas* canvas, const TRect& r, bool fillRect, int dx, int dy, const std::string& text,
                 TAlignment alignment, bool multiLine, bool endEllipsis, int leftMargin, int rightMargin) {
    if (fillRect && canvas->Brush()->Style() != bsClear) canvas->FillRect(r);
    TRect tr = r;
    tr.Left += leftMargin;
    tr.Right -= rightMargin;
    if (tr.Right <= tr.Left) return;
    const int saved = canvas->SaveDC();
    canvas->IntersectClipRect(r);
    const TBrushStyle oldStyle = canvas->Brush()->Style();
    canvas->Brush()->SetStyle(bsClear);
    if (!multiLine) {
        std::string t = text;
        // One line: control characters would draw as boxes.
        for (char& ch : t)
            if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
        if (endEllipsis) t = ShortenTextToWidth(canvas, t, tr.Width() - dx - 3);
        int x;
        switch (alignment) {
        case taRightJustify: x = tr.Right - canvas->TextWidth(t) - 3; break;
        case taCenter: x = tr.Left + (tr.Width() - canvas->TextWidth(t)) / 2; break;
        default: x = tr.Left + dx; break;
        }
        canvas->TextOut(x, tr.Top + dy, t);
    } else {
        TRect dr{tr.Left + dx, tr.Top + dy, tr.Right - dx, tr.Bottom};
        unsigned fmt = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
        if (alignment == taRightJustify) fmt |= DT_RIGHT;
        if (alignment == taCenter) fmt |= DT_CENTER;
        if (endEllipsis) fmt |= DT_END_ELLIPSIS;
        canvas->DrawText(text, -1, dr, fmt);
    }
    canvas->Brush()->SetStyle(oldStyle);
    canvas->RestoreDC(saved);
}

int WriteTextVerticalEh(TCanvas* canvas, const TRect& r, bool fillRect, int dx, int dy, const std::string& text,
                        TAlignment alignment, bool measureOnly) {
    const int w = canvas->TextHeight(text);
    if (measureOnly) return w;
    if (fillRect) canvas->FillRect(r);
    const int saved = canvas->SaveDC();
    canvas->IntersectClipRect(r);
    const int oldOrientation = canvas->Font()->Orientation();
    canvas->Font()->SetOrientation(900);
    const TBrushStyle oldStyle = canvas->Brush()->Style();
    canvas->Brush()->SetStyle(bsClear);
    const int tw = canvas->TextWidth(text);
    int y;
    switch (alignment) {
    case taCenter: y = r.Bottom - (r.Height() - tw) / 2; break;
    case taRightJustify: y = r.Top + tw + dy; break;
    default: y = r.Bottom - dy; break;
    }
    canvas->TextOut(r.Left + (r.Width() - w) / 2, y, text);
    canvas->Brush()->SetStyle(oldStyle);
    canvas->Font()->SetOrientation(oldOrientation);
    canvas->RestoreDC(saved);
    return w;
}
