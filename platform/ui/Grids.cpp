// The grid base, the in-place editor, TDrawGrid and TStringGrid. Geometry is
// recomputed from the extents on every use (nothing is cached but the
// extents themselves), so painting and hit tests never disagree. The data
// grid on top lives in DBGrids.cpp.
#include "Grids.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>   // the in-place editor's widget
#include <QListWidget> // the editor's drop-down list
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTimer> // auto-scroll while dragging outside the cells
#include <QWidget>

#include <algorithm>
#include <climits>

#include "Mask.h"
#include "ScopeExit.h"
#include "Controls_p.h"

namespace {

const char* const kIndexOutOfRange = "Grid index out of range";

void CheckIndex(int index, int count) {
    if (index < 0 || index >= count) throw EInvalidGridOperation(kIndexOutOfRange);
}

// Cells of a grid rectangle, normalised so Left <= Right and Top <= Bottom.
TGridRect Normalized(TGridCoord a, TGridCoord b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool InGridRect(int c, int r, const TGridRect& g) { return c >= g.Left && c <= g.Right && r >= g.Top && r <= g.Bottom; }

bool Intersects(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// A cell's share of its axis: extent plus line, never negative (-1 + 1
// line = 0 hides the line too).
int Step(const TGridAxisDrawInfo& axis, int cell) {
    return std::max(0, axis.GetExtent(cell) + axis.EffectiveLineWidth);
}

} // namespace

// ------------------------------------------------------------ private parts

// The editor's line edit with room for a button at its right edge. The
// button is only painted here; presses on it reach TInplaceEdit::MouseDown
// like any other, so a real click and a test's click take one path.
class TGridLineEdit : public QLineEdit {
public:
    int buttonWidth = 0;
    QString buttonText;

protected:
    void paintEvent(QPaintEvent* e) override {
        QLineEdit::paintEvent(e);
        if (buttonWidth <= 0) return;
        QPainter p(this);
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = QRect(width() - buttonWidth, 0, buttonWidth, height());
        opt.text = buttonText;
        opt.state |= QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
    }
};

struct TInplaceEditPrivate {
    static TInplaceEditPrivate* get(const TInplaceEdit* e) { return e ? e->e_.get() : nullptr; }
    TGridLineEdit* edit = nullptr;
    // Parented to the top-level window so the list may hang below the grid;
    // the window may go first, hence the guard.
    QPointer<QListWidget> list;
    TCustomGrid* grid_ = nullptr;
    TEditStyle editStyle_ = esSimple;
    std::vector<std::string> pickList_;
    std::string editMask_;
    int maxLength_ = 0;
    bool loading_ = false;
};

namespace {
constexpr int kEditButtonWidth = 16;
}

// Watches the client widget: its size settles after the control's own
// resize (the scroll area lays it out), and the grid's layout needs it.
struct TCustomGridPrivate : QObject {
    explicit TCustomGridPrivate(TCustomGrid* grid) : q(grid) {}
    static TCustomGridPrivate* get(const TCustomGrid* g) { return g ? g->g_.get() : nullptr; }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Resize) DispatchSafely(q, [this] { q->ClientResized(); });
        return false;
    }
    TCustomGrid* q;
    QTimer timer;
    TPoint lastMouse;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    TGridCoord topLeft_{1, 1};
    TGridState gridState_ = gsNormal;
    TInplaceEdit* inplaceEdit_ = nullptr;
    int inplaceCol_ = -1;
    int inplaceRow_ = -1;
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    std::vector<int> colWidths_; // empty while every column has the default
    std::vector<int> rowHeights_;
    std::vector<bool> tabStops_;
    TColor fixedColor_ = clBtnFace;
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool defaultDrawing_ = true;
    bool editorMode_ = false;
    bool canEditModify_ = true;
    int sizingIndex_ = 0;
    int sizingPos_ = 0;
    int sizingOfs_ = 0;
    int moveIndex_ = 0;
    int movePos_ = 0;
};

// ------------------------------------------------------------ TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner)
    : TWinControl(AOwner, new TControlPrivate(NewWidget<TGridLineEdit>())),
      e_(std::make_unique<TInplaceEditPrivate>()) {
    e_->edit = static_cast<TGridLineEdit*>(d_->widget.data());
    e_->edit->setFrame(false);
    e_->edit->setTextMargins(2, 0, 2, 0);
    d_->clickOnRelease = false;
    SetTabStop(false);
    SetVisible(false);
    QObject::connect(e_->edit, &QLineEdit::textChanged, e_->edit, [this](const QString&) { textEdited(); });
}

TCustomGrid* TInplaceEdit::Grid() const { return e_->grid_; }
const std::string& TInplaceEdit::EditMask() const { return e_->editMask_; }
void TInplaceEdit::SetEditMask(const std::string& v) { e_->editMask_ = v; }
int TInplaceEdit::MaxLength() const { return e_->maxLength_; }
TEditStyle TInplaceEdit::EditStyle() const { return e_->editStyle_; }
const std::vector<std::string>& TInplaceEdit::PickList() const { return e_->pickList_; }

TInplaceEdit::~TInplaceEdit() { delete e_->list; }

TRect TInplaceEdit::ButtonRect() const {
    if (e_->editStyle_ == esSimple) return {};
    return {Width() - kEditButtonWidth, 0, Width(), Height()};
}

void TInplaceEdit::layoutButton() {
    const bool button = e_->editStyle_ != esSimple;
    e_->edit->buttonWidth = button ? kEditButtonWidth : 0;
    e_->edit->buttonText = e_->editStyle_ == esEllipsis ? QStringLiteral("...") : QString(QChar(0x25BE));
    e_->edit->setTextMargins(2, 0, button ? kEditButtonWidth + 2 : 2, 0);
    e_->edit->update();
}

void TInplaceEdit::buttonClicked() {
    if (!e_->grid_) return;
    if (e_->editStyle_ == esPickList) {
        if (ListVisible())
            CloseUp(false);
        else
            DropDown();
    } else if (e_->editStyle_ == esEllipsis || e_->editStyle_ == esDropDown) {
        e_->grid_->EditButtonClick();
    }
}

void TInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TRect b = ButtonRect();
    if (Button == mbLeft && !IsRectEmpty(b) && X >= b.Left && X < b.Right && Y >= b.Top && Y < b.Bottom) {
        buttonClicked();
        return;
    }
    if (ListVisible()) CloseUp(false);
    TWinControl::MouseDown(Button, Shift, X, Y);
}

bool TInplaceEdit::ListVisible() const { return e_->list && e_->list->isVisible(); }

int TInplaceEdit::ItemIndex() const { return ListVisible() ? e_->list->currentRow() : -1; }

void TInplaceEdit::DropDown() {
    if (e_->editStyle_ != esPickList || e_->pickList_.empty() || !Visible() || ListVisible()) return;
    QWidget* top = e_->edit->window();
    if (!e_->list || e_->list->parentWidget() != top) {
        delete e_->list;
        e_->list = new QListWidget(top);
        // The editor keeps the focus: the list is driven from its keys.
        e_->list->setFocusPolicy(Qt::NoFocus);
        e_->list->setSelectionMode(QAbstractItemView::SingleSelection);
        QObject::connect(e_->list, &QListWidget::itemClicked, e_->list, [this](QListWidgetItem* item) {
            DispatchSafely(this, [this, item] {
                e_->list->setCurrentItem(item);
                CloseUp(true);
            });
        });
    }
    e_->list->clear();
    const std::string text = GetText();
    int current = -1;
    e_->list->setFont(e_->edit->font());
    // Every row holds a whole line of the editor's font with a little air:
    // the style's own hint can be shorter than the text on some platforms.
    const QFontMetrics fm(e_->edit->font());
    const int rowH = std::max(e_->list->sizeHintForRow(0), fm.height() + 4);
    for (size_t i = 0; i < e_->pickList_.size(); ++i) {
        auto* item = new QListWidgetItem(ToQt(e_->pickList_[i]), e_->list);
        item->setSizeHint(QSize(fm.horizontalAdvance(item->text()) + 8, rowH));
        if (e_->pickList_[i] == text) current = int(i);
    }
    if (current >= 0) e_->list->setCurrentRow(current);
    const int rows = std::min<int>(int(e_->pickList_.size()), 7);
    const QPoint at = e_->edit->mapTo(top, QPoint(0, e_->edit->height()));
    e_->list->setGeometry(at.x(), at.y(), std::max(e_->edit->width(), 60), rows * rowH + 2 * e_->list->frameWidth());
    e_->list->show();
    e_->list->raise();
}

void TInplaceEdit::CloseUp(bool Accept) {
    if (!ListVisible()) return;
    const int row = e_->list->currentRow();
    e_->list->hide();
    if (!Accept || !e_->grid_ || row < 0 || row >= int(e_->pickList_.size())) return;
    if (!e_->grid_->CanEditModify()) return;
    // Through setText, not SetText: the change must reach SetEditText.
    e_->edit->setText(ToQt(e_->pickList_[size_t(row)]));
    SelectAll();
    e_->grid_->PickListChosen();
}

std::string TInplaceEdit::GetText() const { return FromQt(e_->edit->text()); }

void TInplaceEdit::SetText(const std::string& v) {
    e_->loading_ = true;
    e_->edit->setText(ToQt(v));
    e_->loading_ = false;
}

void TInplaceEdit::SetMaxLength(int v) {
    e_->maxLength_ = v;
    e_->edit->setMaxLength(v > 0 ? v : 32767);
    e_->edit->setReadOnly(v < 0);
}

void TInplaceEdit::SelectAll() { e_->edit->selectAll(); }

void TInplaceEdit::Deselect() {
    // After the text, not at the end of a mask's blanks.
    e_->edit->deselect();
    e_->edit->setCursorPosition(int(e_->edit->text().size()));
}

bool TInplaceEdit::CaretAtLeft() const {
    const QLineEdit* ed = e_->edit;
    if (ed->hasSelectedText()) return ed->selectionStart() == 0 && ed->selectedText().size() == ed->text().size();
    return ed->cursorPosition() == 0;
}

bool TInplaceEdit::CaretAtRight() const {
    const QLineEdit* ed = e_->edit;
    if (ed->hasSelectedText()) return ed->selectionStart() == 0 && ed->selectedText().size() == ed->text().size();
    return ed->cursorPosition() == ed->text().size();
}

void TInplaceEdit::Move(const TRect& r) {
    if (IsRectEmpty(r)) {
        HideEditor();
        return;
    }
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    const bool wasVisible = Visible();
    SetVisible(true);
    layoutButton();
    BoundsChanged();
    if (e_->grid_ && (e_->grid_->Focused() || !wasVisible) && e_->grid_->IsActiveControl() && CanFocus()) SetFocus();
}

void TInplaceEdit::HideEditor() {
    CloseUp(false);
    if (!Visible()) return;
    const bool hadFocus = Focused();
    SetVisible(false);
    if (hadFocus && e_->grid_ && e_->grid_->CanFocus()) e_->grid_->SetFocus();
}

void TInplaceEdit::UpdateContents() {
    if (!e_->grid_) return;
    CloseUp(false);
    e_->editStyle_ = e_->grid_->GetEditStyle(e_->grid_->Col(), e_->grid_->Row());
    e_->pickList_ = e_->editStyle_ == esPickList ? e_->grid_->GetPickList(e_->grid_->Col(), e_->grid_->Row())
                                                 : std::vector<std::string>{};
    layoutButton();
    e_->loading_ = true;
    e_->edit->clear();
    e_->editMask_ = e_->grid_->GetEditMask(e_->grid_->Col(), e_->grid_->Row());
    e_->edit->setInputMask(e_->editMask_.empty() ? QString() : ToQt(QtInputMaskFor(e_->editMask_)));
    SetMaxLength(e_->grid_->GetEditLimit());
    e_->edit->setText(ToQt(e_->grid_->GetEditText(e_->grid_->Col(), e_->grid_->Row())));
    e_->loading_ = false;
}

void TInplaceEdit::textEdited() {
    if (e_->loading_ || !e_->grid_) return;
    e_->grid_->EditorTextChanged(GetText());
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!e_->grid_) {
        TWinControl::KeyDown(Key, Shift);
        return;
    }
    const bool always = e_->grid_->Options().Contains(goAlwaysShowEditor);
    const bool ctrl = Shift.Contains(ssCtrl);
    if (ListVisible()) {
        const int n = e_->list->count();
        const int row = e_->list->currentRow();
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
            if (Shift.Contains(ssAlt))
                CloseUp(true);
            else
                e_->list->setCurrentRow(std::clamp(row + (Key == VK_UP ? -1 : 1), 0, n - 1));
            Key = 0;
            return;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            e_->list->setCurrentRow(Key == VK_PRIOR || Key == VK_HOME ? 0 : n - 1);
            Key = 0;
            return;
        case VK_RETURN:
        case VK_ESCAPE:
            CloseUp(Key == VK_RETURN);
            Key = 0;
            return;
        case VK_TAB: CloseUp(false); break;
        default: break;
        }
    }
    if (e_->editStyle_ == esPickList && Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP)) {
        DropDown();
        Key = 0;
        return;
    }
    if (e_->editStyle_ == esDropDown && Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP)) {
        e_->grid_->EditButtonClick();
        Key = 0;
        return;
    }
    if (e_->editStyle_ == esEllipsis && ctrl && Key == VK_RETURN) {
        e_->grid_->EditButtonClick();
        Key = 0;
        return;
    }
    bool toGrid = false;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: toGrid = true; break;
    case VK_INSERT:
        if (Shift.Empty())
            toGrid = true;
        else if (Shift.Contains(ssShift) && !e_->grid_->CanEditModify())
            Key = 0;
        break;
    case VK_LEFT:
    case VK_HOME: toGrid = always && (ctrl || CaretAtLeft()); break;
    case VK_RIGHT:
    case VK_END: toGrid = always && (ctrl || CaretAtRight()); break;
    case VK_TAB: toGrid = !Shift.Contains(ssAlt); break;
    case VK_DELETE:
        if (!e_->grid_->CanEditModify()) Key = 0;
        break;
    default: break;
    }
    if (toGrid) {
        e_->grid_->EditorKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key && e_->grid_->OnKeyDown) e_->grid_->OnKeyDown(e_->grid_, Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (!e_->grid_) return;
    e_->grid_->EditorKeyPress(Key);
    if (Key >= 32 && !e_->grid_->CanEditAcceptKey(Key)) Key = 0;
    if (Key && (Key == 8 || Key >= 32) && !e_->grid_->CanEditModify()) Key = 0;
    if (Key == '\r') {
        const QLineEdit* ed = e_->edit;
        if (ed->hasSelectedText() && ed->selectedText().size() == ed->text().size())
            Deselect();
        else
            SelectAll();
        Key = 0;
    }
    if (Key == '\t' || Key == 27) Key = 0;
}

void TInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (e_->grid_) e_->grid_->EditorKeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
    if (e_->grid_) e_->grid_->EditorDblClick();
}

void TInplaceEdit::DoExit() {
    CloseUp(false);
    TWinControl::DoExit();
    if (e_->grid_) e_->grid_->EditorExit();
}

// ------------------------------------------------------------ TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner), g_(std::make_unique<TCustomGridPrivate>(this)) {
    if (QWidget* client = ClientWidgetOf(this)) client->installEventFilter(g_.get());
    d_->clickOnRelease = false;
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    SetScrollBars(ssBoth);
    SetBounds(0, 0, g_->colCount_ * g_->defaultColWidth_, g_->rowCount_ * g_->defaultRowHeight_);
    g_->timer.setInterval(60);
    QObject::connect(&g_->timer, &QTimer::timeout, &g_->timer,
                     [this] { DispatchSafely(this, [this] { timerTick(); }); });
}

int TCustomGrid::ColCount() const { return g_->colCount_; }
int TCustomGrid::RowCount() const { return g_->rowCount_; }
int TCustomGrid::FixedCols() const { return g_->fixedCols_; }
int TCustomGrid::FixedRows() const { return g_->fixedRows_; }
int TCustomGrid::DefaultColWidth() const { return g_->defaultColWidth_; }
int TCustomGrid::DefaultRowHeight() const { return g_->defaultRowHeight_; }
int TCustomGrid::GridLineWidth() const { return g_->gridLineWidth_; }
TColor TCustomGrid::FixedColor() const { return g_->fixedColor_; }
bool TCustomGrid::DefaultDrawing() const { return g_->defaultDrawing_; }
void TCustomGrid::SetDefaultDrawing(bool v) {
    g_->defaultDrawing_ = v;
    Invalidate();
}
TGridOptions TCustomGrid::Options() const { return g_->options_; }
int TCustomGrid::Col() const { return g_->current_.X; }
int TCustomGrid::Row() const { return g_->current_.Y; }
int TCustomGrid::LeftCol() const { return g_->topLeft_.X; }
int TCustomGrid::TopRow() const { return g_->topLeft_.Y; }
TGridState TCustomGrid::GridState() const { return g_->gridState_; }
bool TCustomGrid::EditorMode() const { return g_->editorMode_; }
TInplaceEdit* TCustomGrid::InplaceEditor() const { return g_->inplaceEdit_; }
bool TCustomGrid::CanEditModify() { return g_->canEditModify_; }
bool TCustomGrid::WantTabs() const { return g_->options_.Contains(goTabs); }
bool TCustomGrid::WantReturns() const { return g_->options_.Contains(goEditing); }

void TCustomGrid::ForgetEditorCell() { g_->inplaceCol_ = g_->inplaceRow_ = -1; }

void TCustomGrid::SetFrozenCol(int ACol) {
    g_->current_.X = ACol;
    g_->anchor_.X = ACol;
    Invalidate();
}

TCustomGrid::~TCustomGrid() { DestroyEditor(); }

void TCustomGrid::DestroyEditor() {
    if (!g_->inplaceEdit_) return;
    TInplaceEdit* e = g_->inplaceEdit_;
    g_->inplaceEdit_ = nullptr;
    TInplaceEditPrivate::get(e)->grid_ = nullptr;
    delete e;
}

// ---- axis geometry

void TCustomGrid::calcAxis(TGridAxisDrawInfo& a) const {
    a.FixedBoundary = 0;
    for (int i = 0; i < a.FixedCellCount && i < a.GridCellCount; ++i) a.FixedBoundary += Step(a, i);
    a.GridBoundary = a.FixedBoundary;
    a.FullVisBoundary = a.FixedBoundary;
    a.LastFullVisibleCell = a.FirstGridCell;
    for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
        a.GridBoundary += Step(a, i);
        if (a.GridBoundary > a.GridExtent + a.EffectiveLineWidth) {
            a.GridBoundary = a.GridExtent;
            break;
        }
        a.LastFullVisibleCell = i;
        a.FullVisBoundary = a.GridBoundary;
    }
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& info) const {
    const TRect cr = ClientRect();
    auto& h = info.Horz;
    h.EffectiveLineWidth =
        (g_->options_.Contains(goFixedVertLine) || g_->options_.Contains(goVertLine)) ? g_->gridLineWidth_ : 0;
    h.FixedCellCount = g_->fixedCols_;
    h.FirstGridCell = g_->topLeft_.X;
    h.GridCellCount = g_->colCount_;
    h.GridExtent = cr.Width();
    h.GetExtent = [this](int i) { return ColWidths(i); };
    calcAxis(h);
    auto& v = info.Vert;
    v.EffectiveLineWidth =
        (g_->options_.Contains(goFixedHorzLine) || g_->options_.Contains(goHorzLine)) ? g_->gridLineWidth_ : 0;
    v.FixedCellCount = g_->fixedRows_;
    v.FirstGridCell = g_->topLeft_.Y;
    v.GridCellCount = g_->rowCount_;
    v.GridExtent = cr.Height();
    v.GetExtent = [this](int i) { return RowHeights(i); };
    calcAxis(v);
}

// The largest first scrolling cell that still fills the view to the last
// cell; cells of no extent do not count.
int TCustomGrid::maxTopLeft(const TGridAxisDrawInfo& a) const {
    int room = a.GridExtent + a.EffectiveLineWidth - a.FixedBoundary;
    int result = a.GridCellCount - 1;
    for (int i = a.GridCellCount - 1; i >= a.FixedCellCount; --i) {
        room -= Step(a, i);
        if (room < 0) break;
        result = i;
    }
    while (result > a.FixedCellCount && a.GetExtent(result) <= 0 && result < a.GridCellCount - 1) ++result;
    return std::max(a.FixedCellCount, std::min(result, a.GridCellCount - 1));
}

bool TCustomGrid::cellStart(const TGridAxisDrawInfo& a, int cell, int& start) const {
    if (cell < a.FixedCellCount) {
        start = 0;
        for (int i = 0; i < cell; ++i) start += Step(a, i);
        return true;
    }
    if (cell < a.FirstGridCell) return false;
    start = a.FixedBoundary;
    for (int i = a.FirstGridCell; i < cell; ++i) {
        start += Step(a, i);
        if (start >= a.GridBoundary) return false;
    }
    return start < a.GridExtent;
}

int TCustomGrid::GridWidth() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Horz.GridBoundary;
}

int TCustomGrid::GridHeight() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Vert.GridBoundary;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const { return BoxRect(ACol, ARow, ACol, ARow); }

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
    if (ARight < ALeft) std::swap(ALeft, ARight);
    if (ABottom < ATop) std::swap(ATop, ABottom);
    if (ALeft < 0 || ATop < 0 || ARight >= g_->colCount_ || ABottom >= g_->rowCount_) return {};
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto span = [this](const TGridAxisDrawInfo& a, int first, int last, int& lo, int& hi) {
        // Clip the block to the visible cells of the axis.
        if (last >= a.FixedCellCount && first < a.FixedCellCount && a.FirstGridCell > first) {
            if (last < a.FirstGridCell) last = a.FixedCellCount - 1;
        }
        if (first >= a.FixedCellCount && first < a.FirstGridCell) first = a.FirstGridCell;
        if (last < first) return false;
        if (!cellStart(a, first, lo)) return false;
        int endCell = last;
        int s = 0;
        while (endCell >= first && !cellStart(a, endCell, s)) --endCell;
        if (endCell < first) return false;
        hi = s + std::max(0, a.GetExtent(endCell));
        hi = std::min(hi, a.GridBoundary);
        return hi > lo || a.GetExtent(endCell) <= 0;
    };
    int l = 0, r = 0, t = 0, b = 0;
    if (!span(info.Horz, ALeft, ARight, l, r) || !span(info.Vert, ATop, ABottom, t, b)) return {};
    return {l, t, r, b};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto hit = [](const TGridAxisDrawInfo& a, int pos) {
        if (pos < 0 || pos >= a.GridBoundary) return -1;
        int start = 0;
        for (int i = 0; i < a.FixedCellCount && i < a.GridCellCount; ++i) {
            int end = start + Step(a, i);
            if (pos < end) return i;
            start = end;
        }
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
            int end = start + Step(a, i);
            if (pos < end) return i;
            start = end;
        }
        return -1;
    };
    TGridCoord c{hit(info.Horz, X), hit(info.Vert, Y)};
    if (c.X < 0 || c.Y < 0) return {-1, -1};
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

int TCustomGrid::VisibleColCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (g_->topLeft_.X >= g_->colCount_) return 0;
    return info.Horz.LastFullVisibleCell - g_->topLeft_.X + 1;
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (g_->topLeft_.Y >= g_->rowCount_) return 0;
    return info.Vert.LastFullVisibleCell - g_->topLeft_.Y + 1;
}

// ---- extents and counts

int TCustomGrid::ColWidths(int ACol) const {
    if (ACol >= 0 && ACol < int(g_->colWidths_.size())) return g_->colWidths_[size_t(ACol)];
    return g_->defaultColWidth_;
}

void TCustomGrid::SetColWidths(int ACol, int v) {
    CheckIndex(ACol, g_->colCount_);
    if (v == ColWidths(ACol)) return;
    if (g_->colWidths_.empty()) g_->colWidths_.assign(size_t(g_->colCount_), g_->defaultColWidth_);
    g_->colWidths_[size_t(ACol)] = v;
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int ARow) const {
    if (ARow >= 0 && ARow < int(g_->rowHeights_.size())) return g_->rowHeights_[size_t(ARow)];
    return g_->defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int ARow, int v) {
    CheckIndex(ARow, g_->rowCount_);
    if (v == RowHeights(ARow)) return;
    if (g_->rowHeights_.empty()) g_->rowHeights_.assign(size_t(g_->rowCount_), g_->defaultRowHeight_);
    g_->rowHeights_[size_t(ARow)] = v;
    RowHeightsChanged();
}

bool TCustomGrid::TabStops(int ACol) const {
    if (ACol >= 0 && ACol < int(g_->tabStops_.size())) return g_->tabStops_[size_t(ACol)];
    return true;
}

void TCustomGrid::SetTabStops(int ACol, bool v) {
    CheckIndex(ACol, g_->colCount_);
    if (g_->tabStops_.empty()) {
        if (v) return;
        g_->tabStops_.assign(size_t(g_->colCount_), true);
    }
    g_->tabStops_[size_t(ACol)] = v;
}

void TCustomGrid::SetDefaultColWidth(int v) {
    g_->colWidths_.clear();
    g_->defaultColWidth_ = v;
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    g_->rowHeights_.clear();
    g_->defaultRowHeight_ = v;
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int v) {
    if (v == g_->gridLineWidth_) return;
    g_->gridLineWidth_ = v;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor v) {
    if (v == g_->fixedColor_) return;
    g_->fixedColor_ = v;
    InvalidateGrid();
}

void TCustomGrid::ColWidthsChanged() {
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::RowHeightsChanged() {
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::SetColCount(int v) {
    if (v < 1) v = 1;
    if (v == g_->colCount_) return;
    if (g_->fixedCols_ >= v) g_->fixedCols_ = v - 1;
    ChangeSize(v, g_->rowCount_);
}

void TCustomGrid::SetRowCount(int v) {
    if (v < 1) v = 1;
    if (v == g_->rowCount_) return;
    if (g_->fixedRows_ >= v) g_->fixedRows_ = v - 1;
    ChangeSize(g_->colCount_, v);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int oldCols = g_->colCount_, oldRows = g_->rowCount_;
    auto resize = [](std::vector<int>& a, int n, int def) {
        if (!a.empty()) a.resize(size_t(n), def);
    };
    resize(g_->colWidths_, NewColCount, g_->defaultColWidth_);
    resize(g_->rowHeights_, NewRowCount, g_->defaultRowHeight_);
    if (!g_->tabStops_.empty()) g_->tabStops_.resize(size_t(NewColCount), true);
    g_->colCount_ = NewColCount;
    g_->rowCount_ = NewRowCount;
    auto clampCoord = [this](TGridCoord& c) {
        c.X = std::clamp(c.X, g_->fixedCols_, g_->colCount_ - 1);
        c.Y = std::clamp(c.Y, g_->fixedRows_, g_->rowCount_ - 1);
    };
    clampCoord(g_->current_);
    clampCoord(g_->anchor_);
    clampCoord(g_->topLeft_);
    if (g_->options_.Contains(goRowSelect)) g_->anchor_.X = g_->colCount_ - 1;
    InvalidateGrid();
    UpdateScrollRange();
    SizeChanged(oldCols, oldRows);
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    if (v >= g_->colCount_) throw EInvalidGridOperation("Fixed column count must be less than column count");
    g_->fixedCols_ = v;
    g_->current_.X = g_->anchor_.X = g_->topLeft_.X = v;
    if (g_->options_.Contains(goRowSelect)) g_->anchor_.X = g_->colCount_ - 1;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    if (v >= g_->rowCount_) throw EInvalidGridOperation("Fixed row count must be less than row count");
    g_->fixedRows_ = v;
    g_->current_.Y = g_->anchor_.Y = g_->topLeft_.Y = v;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetOptions(TGridOptions v) {
    if (v == g_->options_) return;
    if (v.Contains(goRowSelect)) v >> goAlwaysShowEditor;
    g_->options_ = v;
    if (!g_->editorMode_) {
        if (v.Contains(goAlwaysShowEditor))
            ShowEditor();
        else
            HideEditor();
    }
    if (v.Contains(goRowSelect)) {
        g_->current_.X = g_->fixedCols_;
        g_->anchor_ = {g_->colCount_ - 1, g_->current_.Y};
    }
    InvalidateGrid();
    UpdateScrollRange();
}

// ---- position and selection

TGridRect TCustomGrid::Selection() const { return Normalized(g_->current_, g_->anchor_); }

void TCustomGrid::SetSelection(const TGridRect& r) {
    TGridRect old = Selection();
    g_->current_ = {r.Left, r.Top};
    g_->anchor_ = {r.Right, r.Bottom};
    if (g_->options_.Contains(goRowSelect)) {
        g_->current_.X = g_->fixedCols_;
        g_->anchor_.X = g_->colCount_ - 1;
    }
    ClampInView(g_->current_);
    selectionMoved(old);
}

void TCustomGrid::SetCol(int v) {
    if (v == g_->current_.X) return;
    FocusCell(v, g_->current_.Y, true);
}

void TCustomGrid::SetRow(int v) {
    if (v == g_->current_.Y) return;
    FocusCell(g_->current_.X, v, true);
}

void TCustomGrid::SetLeftCol(int v) {
    if (v != g_->topLeft_.X) MoveTopLeft(v, g_->topLeft_.Y);
}

void TCustomGrid::SetTopRow(int v) {
    if (v != g_->topLeft_.Y) MoveTopLeft(g_->topLeft_.X, v);
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchorToo, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= g_->colCount_ || ARow >= g_->rowCount_)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (!SelectCell(ACol, ARow)) return;
    const TGridRect oldSel = Selection();
    const TGridCoord oldCurrent = g_->current_;
    g_->current_ = {ACol, ARow};
    if (!g_->options_.Contains(goAlwaysShowEditor)) HideEditor();
    if (MoveAnchorToo || !g_->options_.Contains(goRangeSelect)) {
        g_->anchor_ = g_->current_;
        if (g_->options_.Contains(goRowSelect)) g_->anchor_.X = g_->colCount_ - 1;
    }
    if (g_->options_.Contains(goRowSelect)) g_->current_.X = g_->fixedCols_;
    // The current cell's invariant (class comment): inside the counts and
    // outside the fixed band, the anchor inside the counts.
    RT_ASSERT(g_->current_.X >= g_->fixedCols_ && g_->current_.X < g_->colCount_ && g_->current_.Y >= g_->fixedRows_ &&
              g_->current_.Y < g_->rowCount_);
    RT_ASSERT(g_->anchor_.X >= 0 && g_->anchor_.X < g_->colCount_ && g_->anchor_.Y >= 0 &&
              g_->anchor_.Y < g_->rowCount_);
    if (Show) ClampInView(g_->current_);
    selectionMoved(oldSel);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(g_->current_.X, g_->current_.Y);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
    if (!g_->options_.Contains(goRangeSelect) || g_->options_.Contains(goEditing)) {
        MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    const TGridRect oldSel = Selection();
    g_->anchor_ = NewAnchor;
    if (g_->options_.Contains(goRowSelect)) g_->anchor_.X = g_->colCount_ - 1;
    ClampInView(NewAnchor);
    selectionMoved(oldSel);
}

void TCustomGrid::selectionMoved(const TGridRect& oldSel) {
    const TGridRect sel = Selection();
    if (sel == oldSel) return;
    // Only the cells that changed state need paint; the union is simpler
    // and costs one more strip at most.
    invalidateGridRect(oldSel);
    invalidateGridRect(sel);
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    int left = g_->topLeft_.X, top = g_->topLeft_.Y;
    auto clampAxis = [](const TGridAxisDrawInfo& a, int cell, int first, int& newFirst) {
        if (cell < a.FixedCellCount) return;
        if (cell < first) {
            newFirst = cell;
            return;
        }
        if (cell <= a.LastFullVisibleCell && a.GridBoundary > 0 && cell < a.GridCellCount &&
            !(a.LastFullVisibleCell == first && cell == first))
            return;
        if (cell == first) return;
        // Walk back from the cell until the scrolling area is full.
        int room = a.GridExtent + a.EffectiveLineWidth - a.FixedBoundary;
        int f = cell;
        room -= Step(a, cell);
        while (f - 1 >= a.FixedCellCount && room - Step(a, f - 1) >= 0) {
            --f;
            room -= Step(a, f);
        }
        newFirst = std::max(f, first);
    };
    clampAxis(info.Horz, Coord.X, g_->topLeft_.X, left);
    clampAxis(info.Vert, Coord.Y, g_->topLeft_.Y, top);
    if (left != g_->topLeft_.X || top != g_->topLeft_.Y) MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    ALeft = std::clamp(ALeft, g_->fixedCols_, std::max(g_->fixedCols_, maxTopLeft(info.Horz)));
    ATop = std::clamp(ATop, g_->fixedRows_, std::max(g_->fixedRows_, maxTopLeft(info.Vert)));
    if (ALeft == g_->topLeft_.X && ATop == g_->topLeft_.Y) return;
    const TGridCoord old = g_->topLeft_;
    g_->topLeft_ = {ALeft, ATop};
    topLeftMoved(old);
}

// Scrolls the pixels of the scrolling area by the distance of the cells
// that left or entered the view; a jump larger than the view repaints.
void TCustomGrid::topLeftMoved(const TGridCoord& old) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto distance = [](const TGridAxisDrawInfo& a, int from, int to) {
        int d = 0;
        const int lo = std::min(from, to), hi = std::max(from, to);
        const int limit = a.GridExtent - a.FixedBoundary;
        for (int i = lo; i < hi && d <= limit; ++i) d += Step(a, i);
        return from < to ? -d : d;
    };
    const int dx = distance(info.Horz, old.X, g_->topLeft_.X);
    const int dy = distance(info.Vert, old.Y, g_->topLeft_.Y);
    const int areaW = info.Horz.GridExtent - info.Horz.FixedBoundary;
    const int areaH = info.Vert.GridExtent - info.Vert.FixedBoundary;
    if (std::abs(dx) >= areaW || std::abs(dy) >= areaH || (dx && dy))
        InvalidateGrid();
    else
        ScrollData(dx, dy);
    if (g_->options_.Contains(goRowSelect)) invalidateGridRect(Selection());
    UpdateScrollRange();
    TopLeftChanged();
    InvalidateEditor();
}

void TCustomGrid::ScrollData(int DX, int DY) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    QWidget* w = ClientWidgetOf(this);
    if (!w) return;
    if (DX) {
        QRect area(info.Horz.FixedBoundary, 0, info.Horz.GridExtent - info.Horz.FixedBoundary, info.Vert.GridExtent);
        w->scroll(DX, 0, area);
    }
    if (DY) {
        QRect area(0, info.Vert.FixedBoundary, info.Horz.GridExtent, info.Vert.GridExtent - info.Vert.FixedBoundary);
        w->scroll(0, DY, area);
    }
}

void TCustomGrid::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::UpdateScrollRange() {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TScrollStyle bars = ScrollBars();
    if (bars == ssVertical || bars == ssBoth) {
        const int maxTop = maxTopLeft(info.Vert);
        const int visible = std::max(1, info.Vert.LastFullVisibleCell - g_->topLeft_.Y + 1);
        SetScrollRange(sbVertical, 0, std::max(0, maxTop - g_->fixedRows_) + visible - 1, visible);
        SetScrollPos(sbVertical, g_->topLeft_.Y - g_->fixedRows_);
    }
    if (bars == ssHorizontal || bars == ssBoth) {
        const int maxLeft = maxTopLeft(info.Horz);
        const int visible = std::max(1, info.Horz.LastFullVisibleCell - g_->topLeft_.X + 1);
        SetScrollRange(sbHorizontal, 0, std::max(0, maxLeft - g_->fixedCols_) + visible - 1, visible);
        SetScrollPos(sbHorizontal, g_->topLeft_.X - g_->fixedCols_);
    }
}

void TCustomGrid::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (CanFocus() && !IsActiveControl()) SetFocus();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const bool vert = Kind == sbVertical;
    const auto& a = vert ? info.Vert : info.Horz;
    const int first = vert ? g_->topLeft_.Y : g_->topLeft_.X;
    const int fixed = vert ? g_->fixedRows_ : g_->fixedCols_;
    const int page = std::max(1, a.LastFullVisibleCell - first);
    int target = first;
    switch (Code) {
    case scLineUp: target = first - 1; break;
    case scLineDown: target = first + 1; break;
    case scPageUp: target = first - page; break;
    case scPageDown: target = first + page; break;
    case scTop: target = fixed; break;
    case scBottom: target = maxTopLeft(a); break;
    case scTrack:
        if (!g_->options_.Contains(goThumbTracking)) return;
        target = fixed + Pos;
        break;
    case scPosition: target = fixed + Pos; break;
    default: return;
    }
    if (vert)
        MoveTopLeft(g_->topLeft_.X, target);
    else
        MoveTopLeft(target, g_->topLeft_.Y);
    UpdateScrollRange();
}

// ---- invalidation

void TCustomGrid::invalidateGridRect(const TGridRect& r) {
    TRect box = BoxRect(r.Left, r.Top, r.Right, r.Bottom);
    if (IsRectEmpty(box)) return;
    // Lines around the cells belong to them for repainting (focus frames).
    InflateRect(box, g_->gridLineWidth_, g_->gridLineWidth_);
    TCustomControl::InvalidateRect(box);
}

void TCustomGrid::InvalidateRect(const TGridRect& r) { invalidateGridRect(r); }

void TCustomGrid::InvalidateCell(int ACol, int ARow) { invalidateGridRect({ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) { invalidateGridRect({ACol, 0, ACol, g_->rowCount_ - 1}); }

void TCustomGrid::InvalidateRow(int ARow) { invalidateGridRect({0, ARow, g_->colCount_ - 1, ARow}); }

void TCustomGrid::InvalidateGrid() { Invalidate(); }

// ---- painting

void TCustomGrid::drawLines(const TGridAxisDrawInfo& horz, const TGridAxisDrawInfo& vert, bool doHorz, bool doVert,
                            int firstCol, int firstRow, const TRect& area, TColor lineColor, TColor fillColor) {
    TCanvas* c = Canvas();
    if (area.Right <= area.Left || area.Bottom <= area.Top) return;
    auto lines = [&](const TGridAxisDrawInfo& a, int first, int from, int to, bool vertical, bool wanted) {
        if (a.EffectiveLineWidth <= 0) return;
        std::vector<TPoint> pts;
        std::vector<int> counts;
        int pos = vertical ? area.Left : area.Top;
        const int stop = vertical ? area.Right : area.Bottom;
        for (int i = first; i < a.GridCellCount && pos < stop; ++i) {
            pos += a.GetExtent(i);
            const int at = pos + a.EffectiveLineWidth / 2;
            if (vertical) {
                pts.push_back({at, from});
                pts.push_back({at, to});
            } else {
                pts.push_back({from, at});
                pts.push_back({to, at});
            }
            counts.push_back(2);
            pos += a.EffectiveLineWidth;
        }
        if (pts.empty()) return;
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetMode(pmCopy);
        c->Pen()->SetWidth(a.EffectiveLineWidth);
        c->Pen()->SetColor(wanted ? lineColor : fillColor);
        c->PolyPolyline(pts, counts);
    };
    lines(horz, firstCol, area.Top, area.Bottom, true, doVert);
    lines(vert, firstRow, area.Left, area.Right, false, doHorz);
}

void TCustomGrid::drawCells(int firstCol, int firstRow, const TRect& area, const TGridDrawInfo& info, TColor color,
                            TGridDrawState includeState, const TRect& clip) {
    TCanvas* c = Canvas();
    const bool focusedGrid = IsActiveControl();
    const TGridRect sel = Selection();
    const bool editing =
        g_->options_.Contains(goEditing) && g_->editorMode_ && g_->inplaceEdit_ && g_->inplaceEdit_->Visible();
    int top = area.Top;
    for (int row = firstRow; row < g_->rowCount_ && top < area.Bottom; ++row) {
        const int h = RowHeights(row);
        const int bottom = top + h;
        int left = area.Left;
        for (int col = firstCol; col < g_->colCount_ && left < area.Right; ++col) {
            const int w = ColWidths(col);
            const TRect where{left, top, left + w, bottom};
            if (w > 0 && h > 0 && Intersects(where, clip)) {
                TGridDrawState state = includeState;
                const bool isFixed = includeState.Contains(gdFixed);
                const bool isFocused = !isFixed && focusedGrid && col == g_->current_.X && row == g_->current_.Y;
                if (isFocused) state << gdFocused;
                if (!isFixed && InGridRect(col, row, sel)) state << gdSelected;
                if (!(isFocused && editing)) {
                    if (g_->defaultDrawing_) {
                        c->SetFont(Font());
                        if (state.Contains(gdSelected) &&
                            (!state.Contains(gdFocused) || g_->options_.Contains(goDrawFocusSelected) ||
                             g_->options_.Contains(goRowSelect))) {
                            c->Brush()->SetColor(clHighlight);
                            c->Font()->SetColor(clHighlightText);
                        } else {
                            c->Brush()->SetColor(color);
                        }
                        c->Brush()->SetStyle(bsSolid);
                        c->FillRect(where);
                    }
                    DrawCell(col, row, where, state);
                    if (g_->defaultDrawing_ && isFixed) {
                        TRect edge = where;
                        unsigned flags = 0;
                        if (g_->options_.Contains(goFixedVertLine)) flags |= BF_RIGHT;
                        if (g_->options_.Contains(goFixedHorzLine)) flags |= BF_BOTTOM;
                        if (flags) c->DrawEdge(edge, BDR_RAISEDINNER, flags | BF_TOPLEFT);
                    }
                    if (g_->defaultDrawing_ && isFocused &&
                        !(g_->options_.Contains(goEditing) && g_->options_.Contains(goAlwaysShowEditor)) &&
                        !g_->options_.Contains(goRowSelect))
                        c->DrawFocusRect(where);
                }
            }
            left = std::max(left, where.Right + info.Horz.EffectiveLineWidth);
        }
        top = std::max(top, bottom + info.Vert.EffectiveLineWidth);
    }
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const auto& h = info.Horz;
    const auto& v = info.Vert;
    const TRect clip = c->ClipRect();
    TColor lineColor = clSilver;
    if (ColorToRGB(Color()) == clSilver) lineColor = clGray;

    const TRect fixedFixed{0, 0, h.FixedBoundary, v.FixedBoundary};
    const TRect fixedRows{h.FixedBoundary, 0, h.GridBoundary, v.FixedBoundary};
    const TRect fixedCols{0, v.FixedBoundary, h.FixedBoundary, v.GridBoundary};
    const TRect cells{h.FixedBoundary, v.FixedBoundary, h.GridBoundary, v.GridBoundary};
    const bool fh = g_->options_.Contains(goFixedHorzLine), fv = g_->options_.Contains(goFixedVertLine);
    drawLines(h, v, fh, fv, 0, 0, fixedFixed, clBlack, g_->fixedColor_);
    drawLines(h, v, fh, fv, g_->topLeft_.X, 0, fixedRows, clBlack, g_->fixedColor_);
    drawLines(h, v, fh, fv, 0, g_->topLeft_.Y, fixedCols, clBlack, g_->fixedColor_);
    drawLines(h, v, g_->options_.Contains(goHorzLine), g_->options_.Contains(goVertLine), g_->topLeft_.X,
              g_->topLeft_.Y, cells, lineColor, Color());

    drawCells(0, 0, fixedFixed, info, g_->fixedColor_, {gdFixed}, clip);
    drawCells(g_->topLeft_.X, 0, fixedRows, info, g_->fixedColor_, {gdFixed}, clip);
    drawCells(0, g_->topLeft_.Y, fixedCols, info, g_->fixedColor_, {gdFixed}, clip);
    drawCells(g_->topLeft_.X, g_->topLeft_.Y, cells, info, Color(), {}, clip);

    if (g_->defaultDrawing_ && g_->options_.Contains(goRowSelect) && IsActiveControl()) {
        const TGridRect sel = Selection();
        TRect box = BoxRect(std::max(sel.Left, g_->topLeft_.X), sel.Top, sel.Right, sel.Bottom);
        if (!IsRectEmpty(box)) c->DrawFocusRect(box);
    }

    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    if (h.GridBoundary < h.GridExtent) c->FillRect({h.GridBoundary, 0, h.GridExtent, v.GridExtent});
    if (v.GridBoundary < v.GridExtent) c->FillRect({0, v.GridBoundary, h.GridBoundary, v.GridExtent});
    drawSizingLine();
}

// The sizing or drop line of a mouse operation in progress: a dotted line
// across the grid, drawn as part of the paint so that no XOR drawing
// outside a paint is needed.
void TCustomGrid::drawSizingLine() {
    if (g_->gridState_ != gsColSizing && g_->gridState_ != gsRowSizing && g_->gridState_ != gsColMoving &&
        g_->gridState_ != gsRowMoving)
        return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    if (g_->gridState_ == gsColSizing) {
        c->MoveTo(g_->sizingPos_, 0);
        c->LineTo(g_->sizingPos_, info.Vert.GridBoundary);
    } else if (g_->gridState_ == gsRowSizing) {
        c->MoveTo(0, g_->sizingPos_);
        c->LineTo(info.Horz.GridBoundary, g_->sizingPos_);
    } else if (g_->gridState_ == gsColMoving) {
        TRect r = CellRect(g_->movePos_, 0);
        int x = g_->movePos_ > g_->moveIndex_ ? r.Right : r.Left;
        c->MoveTo(x, 0);
        c->LineTo(x, info.Vert.GridBoundary);
    } else {
        TRect r = CellRect(0, g_->movePos_);
        int y = g_->movePos_ > g_->moveIndex_ ? r.Bottom : r.Top;
        c->MoveTo(0, y);
        c->LineTo(info.Horz.GridBoundary, y);
    }
    c->Pen()->SetStyle(psSolid);
}

// ---- the editor

bool TCustomGrid::IsActiveControl() const {
    if (Focused()) return true;
    return g_->inplaceEdit_ && g_->inplaceEdit_->Focused();
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow() {
    return g_->options_.Contains(goEditing) && !g_->options_.Contains(goRowSelect) && g_->editorMode_ &&
           (g_->options_.Contains(goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    if (!g_->inplaceEdit_) {
        g_->inplaceEdit_ = CreateEditor();
        TInplaceEditPrivate::get(g_->inplaceEdit_)->grid_ = this;
        g_->inplaceEdit_->SetParent(this);
        g_->inplaceEdit_->SetFont(Font());
    }
    auto load = [this] {
        g_->inplaceCol_ = g_->current_.X;
        g_->inplaceRow_ = g_->current_.Y;
        g_->inplaceEdit_->UpdateContents();
        g_->canEditModify_ = g_->inplaceEdit_->MaxLength() != -1;
        g_->inplaceEdit_->SelectAll();
    };
    if (g_->inplaceCol_ == -1)
        load();
    else if (g_->inplaceCol_ != g_->current_.X || g_->inplaceRow_ != g_->current_.Y) {
        HideEdit();
        load();
    }
    if (CanEditShow()) g_->inplaceEdit_->Move(CellRect(g_->current_.X, g_->current_.Y));
}

void TCustomGrid::UpdateText() {
    if (g_->inplaceEdit_ && g_->inplaceCol_ != -1 && g_->inplaceRow_ != -1)
        SetEditText(g_->inplaceCol_, g_->inplaceRow_, g_->inplaceEdit_->GetText());
}

void TCustomGrid::HideEdit() {
    if (!g_->inplaceEdit_) return;
    UpdateText();
    g_->inplaceCol_ = g_->inplaceRow_ = -1;
    g_->inplaceEdit_->HideEditor();
}

void TCustomGrid::ShowEditor() {
    g_->editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    g_->editorMode_ = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(char32_t ch) {
    ShowEditor();
    if (g_->inplaceEdit_ && g_->inplaceEdit_->Visible()) {
        // Typed text goes in as if keyed in the editor, so SetEditText sees it.
        auto* line = static_cast<QLineEdit*>(WidgetOf(g_->inplaceEdit_));
        line->setText(QString::fromUcs4(&ch, 1));
        g_->inplaceEdit_->Deselect();
    }
}

void TCustomGrid::SetEditorMode(bool v) {
    if (v == g_->editorMode_) return;
    if (v) {
        ShowEditor();
        if (g_->inplaceEdit_) g_->inplaceEdit_->Deselect();
    } else {
        HideEditor();
    }
}

void TCustomGrid::InvalidateEditor() {
    g_->inplaceCol_ = g_->inplaceRow_ = -1;
    UpdateEdit();
}

void TCustomGrid::EditorExit() {
    if (!Focused() && !g_->options_.Contains(goAlwaysShowEditor)) HideEdit();
}

void TCustomGrid::EditorTextChanged(const std::string& text) {
    if (g_->inplaceCol_ != -1 && g_->inplaceRow_ != -1) SetEditText(g_->inplaceCol_, g_->inplaceRow_, text);
}

// ---- moving columns and rows

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, g_->colCount_);
    CheckIndex(ToIndex, g_->colCount_);
    if (FromIndex == ToIndex) return;
    if (!g_->colWidths_.empty()) {
        int w = g_->colWidths_[size_t(FromIndex)];
        g_->colWidths_.erase(g_->colWidths_.begin() + FromIndex);
        g_->colWidths_.insert(g_->colWidths_.begin() + ToIndex, w);
    }
    if (!g_->tabStops_.empty()) {
        bool t = g_->tabStops_[size_t(FromIndex)];
        g_->tabStops_.erase(g_->tabStops_.begin() + FromIndex);
        g_->tabStops_.insert(g_->tabStops_.begin() + ToIndex, t);
    }
    auto follow = [&](int& x) {
        if (x == FromIndex)
            x = ToIndex;
        else if (FromIndex < ToIndex && x > FromIndex && x <= ToIndex)
            --x;
        else if (FromIndex > ToIndex && x >= ToIndex && x < FromIndex)
            ++x;
    };
    follow(g_->current_.X);
    if (!g_->options_.Contains(goRowSelect)) follow(g_->anchor_.X);
    if (g_->inplaceCol_ != -1) follow(g_->inplaceCol_);
    ColumnMoved(FromIndex, ToIndex);
    if (!g_->colWidths_.empty()) ColWidthsChanged();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, g_->rowCount_);
    CheckIndex(ToIndex, g_->rowCount_);
    if (FromIndex == ToIndex) return;
    if (!g_->rowHeights_.empty()) {
        int h = g_->rowHeights_[size_t(FromIndex)];
        g_->rowHeights_.erase(g_->rowHeights_.begin() + FromIndex);
        g_->rowHeights_.insert(g_->rowHeights_.begin() + ToIndex, h);
    }
    auto follow = [&](int& y) {
        if (y == FromIndex)
            y = ToIndex;
        else if (FromIndex < ToIndex && y > FromIndex && y <= ToIndex)
            --y;
        else if (FromIndex > ToIndex && y >= ToIndex && y < FromIndex)
            ++y;
    };
    follow(g_->current_.Y);
    follow(g_->anchor_.Y);
    if (g_->inplaceRow_ != -1) follow(g_->inplaceRow_);
    RowMoved(FromIndex, ToIndex);
    if (!g_->rowHeights_.empty()) RowHeightsChanged();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::DeleteColumn(int ACol) {
    MoveColumn(ACol, g_->colCount_ - 1);
    SetColCount(g_->colCount_ - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
    MoveRow(ARow, g_->rowCount_ - 1);
    SetRowCount(g_->rowCount_ - 1);
}

// ---- keyboard

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!Key || !CanGridAcceptKey(Key, Shift)) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const bool rowSelect = g_->options_.Contains(goRowSelect);
    const int pageWidth = std::max(1, info.Horz.LastFullVisibleCell - g_->topLeft_.X);
    const int pageHeight = std::max(1, info.Vert.LastFullVisibleCell - g_->topLeft_.Y);
    TGridCoord newTopLeft = g_->topLeft_;
    // Shift+arrows extend the range from its moving corner, the anchor.
    const bool extending = Shift.Contains(ssShift) && Key != VK_TAB && g_->options_.Contains(goRangeSelect) &&
                           !g_->options_.Contains(goEditing) && !rowSelect;
    TGridCoord newCurrent = extending ? g_->anchor_ : g_->current_;
    bool handled = true;
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP: --newTopLeft.Y; break;
        case VK_DOWN: ++newTopLeft.Y; break;
        case VK_LEFT:
            if (!rowSelect) {
                newCurrent.X -= pageWidth;
                newTopLeft.X -= pageWidth;
            }
            break;
        case VK_RIGHT:
            if (!rowSelect) {
                newCurrent.X += pageWidth;
                newTopLeft.X += pageWidth;
            }
            break;
        case VK_PRIOR: newCurrent.Y = g_->topLeft_.Y; break;
        case VK_NEXT: newCurrent.Y = info.Vert.LastFullVisibleCell; break;
        case VK_HOME:
            newCurrent.X = g_->fixedCols_;
            newCurrent.Y = g_->fixedRows_;
            break;
        case VK_END:
            newCurrent.X = g_->colCount_ - 1;
            newCurrent.Y = g_->rowCount_ - 1;
            break;
        default: handled = false; break;
        }
    } else {
        switch (Key) {
        case VK_UP: --newCurrent.Y; break;
        case VK_DOWN: ++newCurrent.Y; break;
        case VK_LEFT:
            if (rowSelect)
                --newTopLeft.X;
            else
                --newCurrent.X;
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++newTopLeft.X;
            else
                ++newCurrent.X;
            break;
        case VK_NEXT:
            newCurrent.Y += pageHeight;
            newTopLeft.Y += pageHeight;
            break;
        case VK_PRIOR:
            newCurrent.Y -= pageHeight;
            newTopLeft.Y -= pageHeight;
            break;
        case VK_HOME:
            if (rowSelect)
                newCurrent.Y = g_->fixedRows_;
            else
                newCurrent.X = g_->fixedCols_;
            break;
        case VK_END:
            if (rowSelect)
                newCurrent.Y = g_->rowCount_ - 1;
            else
                newCurrent.X = g_->colCount_ - 1;
            break;
        case VK_TAB:
            if (!Shift.Contains(ssAlt) && g_->options_.Contains(goTabs)) {
                const bool back = Shift.Contains(ssShift);
                TGridCoord c = g_->current_;
                do {
                    if (back) {
                        if (--c.X < g_->fixedCols_) {
                            c.X = g_->colCount_ - 1;
                            if (--c.Y < g_->fixedRows_) c.Y = g_->rowCount_ - 1;
                        }
                    } else {
                        if (++c.X >= g_->colCount_) {
                            c.X = g_->fixedCols_;
                            if (++c.Y >= g_->rowCount_) c.Y = g_->fixedRows_;
                        }
                    }
                } while (!(c == g_->current_) && !TabStops(c.X));
                newCurrent = c;
            } else {
                handled = false;
            }
            break;
        case VK_F2: SetEditorMode(true); break;
        default: handled = false; break;
        }
    }
    if (!handled) return;
    // Clamp into the grid and scroll before moving the current cell.
    const int maxLeft = maxTopLeft(info.Horz), maxTop = maxTopLeft(info.Vert);
    newTopLeft.X = std::clamp(newTopLeft.X, g_->fixedCols_, std::max(g_->fixedCols_, maxLeft));
    newTopLeft.Y = std::clamp(newTopLeft.Y, g_->fixedRows_, std::max(g_->fixedRows_, maxTop));
    newCurrent.X = std::clamp(newCurrent.X, g_->fixedCols_, g_->colCount_ - 1);
    newCurrent.Y = std::clamp(newCurrent.Y, g_->fixedRows_, g_->rowCount_ - 1);
    if (!(newTopLeft == g_->topLeft_)) MoveTopLeft(newTopLeft.X, newTopLeft.Y);
    if (extending) {
        if (!(newCurrent == g_->anchor_)) {
            MoveAnchor(newCurrent);
            Click();
        }
    } else if (!(newCurrent == g_->current_)) {
        { MoveCurrent(newCurrent.X, newCurrent.Y, true, true); }
        UpdateEdit();
        Click();
    }
    if (Key == VK_TAB) Key = 0;
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (!Key) return;
    if (!g_->options_.Contains(goAlwaysShowEditor) && Key == '\r') {
        if (g_->editorMode_)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
        return;
    }
    if (g_->options_.Contains(goEditing) && !g_->editorMode_ && (Key == 8 || Key >= 32) && CanEditShow() == false) {
        // CanEditShow needs EditorMode; decide on the other conditions.
        g_->editorMode_ = true;
        const bool ok = CanEditShow();
        g_->editorMode_ = false;
        if (ok && CanEditModify() && CanEditAcceptKey(Key)) {
            ShowEditorChar(Key);
            Key = 0;
        }
    }
}

// ---- mouse

bool TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
    State = gsNormal;
    Index = -1;
    if (!g_->options_.Contains(goColSizing) && !g_->options_.Contains(goRowSizing)) return false;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto findZone = [&](const TGridAxisDrawInfo& a, int pos) {
        const int lw = a.EffectiveLineWidth;
        const int half = lw >= 7 ? 0 : (7 - lw) / 2;
        const int zone = lw >= 7 ? lw : 7;
        int line = a.FixedBoundary;
        int start = 0;
        // Lines after fixed cells are not sizing zones; the scrolling ones are.
        line = 0;
        for (int i = 0; i < a.FixedCellCount; ++i) line += Step(a, i);
        (void)start;
        for (int i = a.FirstGridCell; i < a.GridCellCount; ++i) {
            line += Step(a, i);
            if (line - lw > a.GridExtent) break;
            const int zoneStart = line - lw - half;
            if (pos >= zoneStart && pos < zoneStart + zone) {
                Index = i;
                SizingPos = line - lw;
                SizingOfs = SizingPos - pos;
                return true;
            }
        }
        return false;
    };
    if (g_->options_.Contains(goColSizing) && Y >= 0 && Y < info.Vert.FixedBoundary && X >= info.Horz.FixedBoundary) {
        if (findZone(info.Horz, X)) State = gsColSizing;
    } else if (g_->options_.Contains(goRowSizing) && X >= 0 && X < info.Horz.FixedBoundary &&
               Y >= info.Vert.FixedBoundary) {
        if (findZone(info.Vert, Y)) State = gsRowSizing;
    }
    return State != gsNormal;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    HideEdit();
    if (CanFocus() && !IsActiveControl()) SetFocus();
    if (!IsActiveControl()) {
        SetMouseCapture(false);
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    g_->lastMouse = {X, Y};
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        TGridState st;
        int idx, pos, ofs;
        if (CalcSizingState(X, Y, st, idx, pos, ofs)) {
            g_->gridState_ = st;
            g_->sizingIndex_ = idx;
            g_->sizingPos_ = pos;
            g_->sizingOfs_ = ofs;
            SetMouseCapture(true);
            Invalidate();
        } else {
            TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0 && cell.Y >= 0) {
                if (g_->options_.Contains(goColMoving) && cell.Y < g_->fixedRows_ && cell.X >= g_->fixedCols_) {
                    g_->moveIndex_ = g_->movePos_ = cell.X;
                    if (BeginColumnDrag(g_->moveIndex_, g_->movePos_, {X, Y})) {
                        g_->gridState_ = gsColMoving;
                        SetMouseCapture(true);
                        g_->timer.start();
                        Invalidate();
                    }
                } else if (g_->options_.Contains(goRowMoving) && cell.X < g_->fixedCols_ && cell.Y >= g_->fixedRows_) {
                    g_->moveIndex_ = g_->movePos_ = cell.Y;
                    if (BeginRowDrag(g_->moveIndex_, g_->movePos_, {X, Y})) {
                        g_->gridState_ = gsRowMoving;
                        SetMouseCapture(true);
                        g_->timer.start();
                        Invalidate();
                    }
                } else if (cell.X >= g_->fixedCols_ && cell.Y >= g_->fixedRows_) {
                    if (g_->options_.Contains(goEditing)) {
                        if (cell == g_->current_)
                            ShowEditor();
                        else {
                            MoveCurrent(cell.X, cell.Y, true, true);
                            UpdateEdit();
                        }
                        Click();
                    } else {
                        g_->gridState_ = gsSelecting;
                        SetMouseCapture(true);
                        g_->timer.start();
                        if (Shift.Contains(ssShift))
                            MoveAnchor(cell);
                        else
                            MoveCurrent(cell.X, cell.Y, true, true);
                    }
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    g_->lastMouse = {X, Y};
    TGridDrawInfo info;
    CalcDrawInfo(info);
    switch (g_->gridState_) {
    case gsSelecting: {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= g_->fixedCols_ && cell.Y >= g_->fixedRows_ && cell.X <= info.Horz.LastFullVisibleCell + 1 &&
            cell.Y <= info.Vert.LastFullVisibleCell + 1 && !(cell == g_->anchor_))
            MoveAnchor(cell);
        break;
    }
    case gsColSizing:
    case gsRowSizing:
        g_->sizingPos_ = (g_->gridState_ == gsColSizing ? X : Y) + g_->sizingOfs_;
        Invalidate();
        break;
    case gsColMoving: moveAndScroll(info, X, MouseCoord(X, Y).X, true, {X, Y}); break;
    case gsRowMoving: moveAndScroll(info, Y, MouseCoord(X, Y).Y, false, {X, Y}); break;
    default: {
        TGridState st;
        int idx, pos, ofs;
        CalcSizingState(X, Y, st, idx, pos, ofs);
        SetCursor(st == gsColSizing ? crHSplit : st == gsRowSizing ? crVSplit : crDefault);
        break;
    }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

// While dragging a column or row: the drop position follows the pointer;
// before the first or after the last visible cell the view scrolls one cell.
void TCustomGrid::moveAndScroll(const TGridDrawInfo& info, int mouse, int cellHit, bool cols, const TPoint& pt) {
    const auto& a = cols ? info.Horz : info.Vert;
    const int first = cols ? g_->topLeft_.X : g_->topLeft_.Y;
    int target = cellHit;
    if (mouse < a.FixedBoundary) {
        if (first > a.FixedCellCount) {
            if (cols)
                MoveTopLeft(first - 1, g_->topLeft_.Y);
            else
                MoveTopLeft(g_->topLeft_.X, first - 1);
        }
        target = cols ? g_->topLeft_.X : g_->topLeft_.Y;
    } else if (mouse >= a.FullVisBoundary || target < 0) {
        if (a.LastFullVisibleCell < a.GridCellCount - 1) {
            if (cols)
                MoveTopLeft(first + 1, g_->topLeft_.Y);
            else
                MoveTopLeft(g_->topLeft_.X, first + 1);
        }
        TGridDrawInfo now;
        CalcDrawInfo(now);
        target = cols ? now.Horz.LastFullVisibleCell : now.Vert.LastFullVisibleCell;
    }
    if (target < a.FixedCellCount || target == g_->movePos_) return;
    int origin = g_->moveIndex_, dest = target;
    const bool ok = cols ? CheckColumnDrag(origin, dest, pt) : CheckRowDrag(origin, dest, pt);
    if (ok) {
        g_->movePos_ = dest;
        Invalidate();
    }
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridState st = g_->gridState_;
    {
        // The drag ends on every way out, a throwing handler included.
        ScopeExit endDrag([this] {
            g_->gridState_ = gsNormal;
            g_->timer.stop();
        });
        switch (st) {
        case gsSelecting:
            MouseMove(Shift, X, Y);
            g_->timer.stop();
            g_->gridState_ = gsNormal;
            UpdateEdit();
            Click();
            break;
        case gsColSizing:
        case gsRowSizing: {
            g_->gridState_ = gsNormal;
            const TRect cell = st == gsColSizing ? CellRect(g_->sizingIndex_, 0) : CellRect(0, g_->sizingIndex_);
            const int start = st == gsColSizing ? cell.Left : cell.Top;
            const int size = g_->sizingPos_ - start;
            if (!IsRectEmpty(cell) && size > 1) {
                if (st == gsColSizing)
                    SetColWidths(g_->sizingIndex_, size);
                else
                    SetRowHeights(g_->sizingIndex_, size);
            }
            Invalidate();
            UpdateEdit();
            break;
        }
        case gsColMoving:
        case gsRowMoving: {
            g_->timer.stop();
            g_->gridState_ = gsNormal;
            int origin = g_->moveIndex_, dest = g_->movePos_;
            const bool ok = st == gsColMoving ? EndColumnDrag(origin, dest, {X, Y}) : EndRowDrag(origin, dest, {X, Y});
            if (ok && origin != dest) {
                if (st == gsColMoving)
                    MoveColumn(origin, dest);
                else
                    MoveRow(origin, dest);
            }
            Invalidate();
            UpdateEdit();
            break;
        }
        default: UpdateEdit(); break;
        }
    }
    SetMouseCapture(false);
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::CancelMode() {
    g_->timer.stop();
    if (g_->gridState_ != gsNormal) {
        g_->gridState_ = gsNormal;
        Invalidate();
    }
}

void TCustomGrid::timerTick() {
    if (g_->gridState_ == gsSelecting) {
        TGridDrawInfo info;
        CalcDrawInfo(info);
        const TPoint p = g_->lastMouse;
        TimedScroll(p.X < info.Horz.FixedBoundary, p.X >= info.Horz.FullVisBoundary, p.Y < info.Vert.FixedBoundary,
                    p.Y >= info.Vert.FullVisBoundary);
    } else if (g_->gridState_ == gsColMoving || g_->gridState_ == gsRowMoving) {
        MouseMove({}, g_->lastMouse.X, g_->lastMouse.Y);
    } else {
        g_->timer.stop();
    }
}

void TCustomGrid::TimedScroll(bool Left, bool Right, bool Up, bool Down) {
    if (!Left && !Right && !Up && !Down) return;
    TGridCoord a = g_->anchor_;
    if (Left && a.X > g_->fixedCols_) --a.X;
    if (Right && a.X < g_->colCount_ - 1) ++a.X;
    if (Up && a.Y > g_->fixedRows_) --a.Y;
    if (Down && a.Y < g_->rowCount_ - 1) ++a.Y;
    if (!(a == g_->anchor_)) MoveAnchor(a);
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (WheelDelta < 0 && g_->current_.Y < g_->rowCount_ - 1)
        FocusCell(g_->current_.X, g_->current_.Y + 1, true);
    else if (WheelDelta > 0 && g_->current_.Y > g_->fixedRows_)
        FocusCell(g_->current_.X, g_->current_.Y - 1, true);
    return true;
}

// ---- focus and size

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    invalidateGridRect(Selection());
    if (!(g_->inplaceEdit_ && g_->inplaceEdit_->Focused())) UpdateEdit();
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    invalidateGridRect(Selection());
    if (!g_->options_.Contains(goAlwaysShowEditor) && !(g_->inplaceEdit_ && g_->inplaceEdit_->Focused())) HideEdit();
    CancelMode();
}

void TCustomGrid::Resize() { TCustomControl::Resize(); }

void TCustomGrid::ClientResized() {
    UpdateScrollRange();
    if (g_->inplaceEdit_ && g_->inplaceEdit_->Visible())
        g_->inplaceEdit_->Move(CellRect(g_->current_.X, g_->current_.Y));
}

void TCustomGrid::FontChanged() {
    TCustomControl::FontChanged();
    if (g_->inplaceEdit_) g_->inplaceEdit_->SetFont(Font());
}

// ------------------------------------------------------------ TDrawGrid

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

std::string TDrawGrid::GetEditText(int ACol, int ARow) {
    std::string v;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

std::string TDrawGrid::GetEditMask(int ACol, int ARow) {
    std::string v;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, v);
    return v;
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
    bool ok = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, ok);
    return ok;
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::TopLeftChanged() { TCustomGrid::TopLeftChanged(); }

// ------------------------------------------------------------ TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

TStringGrid::Cell* TStringGrid::cellAt(int ACol, int ARow) {
    CheckIndex(ACol, ColCount());
    CheckIndex(ARow, RowCount());
    if (int(rows_.size()) <= ARow) rows_.resize(size_t(ARow) + 1);
    auto& row = rows_[size_t(ARow)];
    if (int(row.size()) <= ACol) row.resize(size_t(ACol) + 1);
    return &row[size_t(ACol)];
}

const TStringGrid::Cell* TStringGrid::cellAt(int ACol, int ARow) const {
    CheckIndex(ACol, ColCount());
    CheckIndex(ARow, RowCount());
    if (ARow >= int(rows_.size()) || ACol >= int(rows_[size_t(ARow)].size())) return nullptr;
    return &rows_[size_t(ARow)][size_t(ACol)];
}

std::string TStringGrid::Cells(int ACol, int ARow) const {
    const Cell* c = cellAt(ACol, ARow);
    return c ? c->text : std::string();
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& v) {
    cellAt(ACol, ARow)->text = v;
    InvalidateCell(ACol, ARow);
    const TCustomGridPrivate* g = TCustomGridPrivate::get(this);
    if (ACol == g->inplaceCol_ && ARow == g->inplaceRow_ && InplaceEditor() && InplaceEditor()->GetText() != v)
        InvalidateEditor();
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    const Cell* c = cellAt(ACol, ARow);
    return c ? c->object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* v) { cellAt(ACol, ARow)->object = v; }

std::vector<std::string> TStringGrid::Cols(int ACol) const {
    std::vector<std::string> out;
    for (int r = 0; r < RowCount(); ++r) out.push_back(Cells(ACol, r));
    return out;
}

void TStringGrid::SetCols(int ACol, const std::vector<std::string>& v) {
    for (int r = 0; r < int(v.size()) && r < RowCount(); ++r) SetCells(ACol, r, v[size_t(r)]);
}

std::vector<std::string> TStringGrid::Rows(int ARow) const {
    std::vector<std::string> out;
    for (int c = 0; c < ColCount(); ++c) out.push_back(Cells(c, ARow));
    return out;
}

void TStringGrid::SetRows(int ARow, const std::vector<std::string>& v) {
    for (int c = 0; c < int(v.size()) && c < ColCount(); ++c) SetCells(c, ARow, v[size_t(c)]);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string v = Cells(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (Cells(ACol, ARow) != Value) {
        cellAt(ACol, ARow)->text = Value;
        InvalidateCell(ACol, ARow);
    }
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    for (auto& row : rows_) {
        if (int(row.size()) <= std::max(FromIndex, ToIndex)) row.resize(size_t(std::max(FromIndex, ToIndex)) + 1);
        Cell c = row[size_t(FromIndex)];
        row.erase(row.begin() + FromIndex);
        row.insert(row.begin() + ToIndex, c);
    }
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    if (int(rows_.size()) <= std::max(FromIndex, ToIndex)) rows_.resize(size_t(std::max(FromIndex, ToIndex)) + 1);
    auto r = std::move(rows_[size_t(FromIndex)]);
    rows_.erase(rows_.begin() + FromIndex);
    rows_.insert(rows_.begin() + ToIndex, std::move(r));
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::SizeChanged(int, int) {
    if (int(rows_.size()) > RowCount()) rows_.resize(size_t(RowCount()));
    for (auto& row : rows_)
        if (int(row.size()) > ColCount()) row.resize(size_t(ColCount()));
}
