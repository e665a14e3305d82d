// The grid base, the in-place editor, TDrawGrid and TStringGrid. Geometry is
// recomputed from the extents on every use (nothing is cached but the
// extents themselves), so painting and hit tests never disagree. The data
// grid on top lives in DBGrids.cpp.
#include "Grids.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>   // the in-place editor's widget
#include <QListWidget> // the editor's drop-down list
#include <QMenu>       // the editor's context menu, whose paste the grid may take over
#include <QPainter>
#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit> // the editor's word-wrap mode
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTimer> // auto-scroll while dragging outside the cells
#include <QWidget>

#include <algorithm>
#include <climits>

#include "Clipbrd.h"
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
    bool buttonDown = false;
    // Pixels right of the button, kept for the derived editor's buttons.
    int buttonRight = 0;
    QString buttonText;
    // Runs in place of the line edit's own paste from its context menu.
    std::function<void()> paste;
    // Shown over the text area in word-wrap mode; the line edit keeps the
    // text (what the grid reads and hears of), this one shows and edits it.
    QPlainTextEdit* memo = nullptr;

    void placeMemo() {
        if (memo) memo->setGeometry(0, 0, std::max(0, width() - buttonWidth - buttonRight), height());
    }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QLineEdit::resizeEvent(e);
        placeMemo();
    }
    void contextMenuEvent(QContextMenuEvent* e) override {
        QMenu* menu = createStandardContextMenu();
        const QString pasteKeys = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        for (QAction* a : menu->actions()) {
            if (!paste || (a->objectName() != QLatin1String("edit-paste") && !a->text().endsWith(pasteKeys))) continue;
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            QObject::connect(a, &QAction::triggered, this, [this] { paste(); });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(e->globalPos());
    }
    void paintEvent(QPaintEvent* e) override {
        QLineEdit::paintEvent(e);
        if (buttonWidth <= 0) return;
        QPainter p(this);
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = QRect(width() - buttonRight - buttonWidth, 0, buttonWidth, height());
        opt.text = buttonText;
        opt.state |= buttonDown ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
    }
};

// The editor's private part: the control's, and the editor's state.
struct TInplaceEditPrivate : TControlPrivate {
    TInplaceEditPrivate() : TControlPrivate(NewWidget<TGridLineEdit>()) {}
    static TInplaceEditPrivate* get(const TInplaceEdit* e) {
        return static_cast<TInplaceEditPrivate*>(TControlPrivate::get(e));
    }
    TGridLineEdit* edit = nullptr;
    // Parented to the top-level window so the list may hang below the grid;
    // the window may go first, hence the guard.
    QPointer<QListWidget> list;
    TCustomGrid* grid_ = nullptr;
    TEditStyle editStyle_ = esSimple;
    std::vector<std::string> pickList_;
    int dropDownRows_ = 7;
    int listItemHeight_ = 0;
    int chosen_ = -1;
    std::string editMask_;
    int maxLength_ = 0;
    int outerButtons_ = 0;
    int buttonWidth_ = 16;
    bool loading_ = false;
    bool wordWrap_ = false;
    // While one of the two text holders copies the other's text.
    bool syncing_ = false;
    bool multiLine() const { return wordWrap_ && edit->memo && !edit->memo->isHidden(); }
    // Presses on the word-wrap editor's text reach the editor's own mouse
    // handling first, as presses on the line edit do (an open list closes,
    // a double click is the grid's); the text box then places the caret.
    bool eventFilter(QObject* o, QEvent* e) override;
};

bool TInplaceEditPrivate::eventFilter(QObject* o, QEvent* e) {
    if (!edit || !edit->memo || o != edit->memo->viewport()) return TControlPrivate::eventFilter(o, e);
    const QEvent::Type t = e->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonDblClick && t != QEvent::MouseButtonRelease)
        return false;
    auto* me = static_cast<QMouseEvent*>(e);
    const QPointF at = edit->memo->viewport()->mapTo(edit, me->position().toPoint());
    QMouseEvent onEdit(t, at, me->scenePosition(), me->globalPosition(), me->button(), me->buttons(),
                       me->modifiers());
    TControlPrivate::eventFilter(edit, &onEdit);
    return false;
}

// Watches the client widget: its size settles after the control's own
// resize (the scroll area lays it out), and the grid's layout needs it.
// The grid lets go of it before its own parts are destroyed.
struct TGridClientWatch : QObject {
    TCustomGrid* grid = nullptr;
    bool eventFilter(QObject*, QEvent* e) override;
};

// The grid's private part: the custom control's, and the grid's state.
struct TCustomGridPrivate : CustomControlPrivate {
    static TCustomGridPrivate* get(const TCustomGrid* g) {
        return static_cast<TCustomGridPrivate*>(TControlPrivate::get(g));
    }
    // The grid's protected hook, reached by the watch as a friend.
    static void clientResized(TCustomGrid* g) { g->ClientResized(); }
    TGridClientWatch clientWatch;
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
    bool flatBorder_ = false;
};

bool TGridClientWatch::eventFilter(QObject*, QEvent* e) {
    if (grid && e->type() == QEvent::Resize)
        DispatchSafely(grid, [this] { TCustomGridPrivate::get(grid)->clientResized(grid); });
    return false;
}

// ------------------------------------------------------------ TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner)
    : TWinControl(AOwner, new TInplaceEditPrivate) {
    ed()->edit = static_cast<TGridLineEdit*>(d_->widget.data());
    ed()->edit->setFrame(false);
    ed()->edit->setTextMargins(2, 0, 2, 0);
    d_->clickOnRelease = false;
    SetTabStop(false);
    SetVisible(false);
    QObject::connect(ed()->edit, &QLineEdit::textChanged, ed()->edit, [this](const QString& t) {
        TInplaceEditPrivate* d = ed();
        if (d->multiLine() && !d->syncing_) {
            d->syncing_ = true;
            ScopeExit done([d] { d->syncing_ = false; });
            d->edit->memo->setPlainText(t);
            d->edit->memo->moveCursor(QTextCursor::End);
        }
        textEdited();
    });
    ed()->edit->paste = [this] { DispatchSafely(this, [this] { pasteFromClipboard(); }); };
}

TInplaceEditPrivate* TInplaceEdit::ed() const { return TInplaceEditPrivate::get(this); }

TCustomGrid* TInplaceEdit::Grid() const { return ed()->grid_; }
const std::string& TInplaceEdit::EditMask() const { return ed()->editMask_; }
void TInplaceEdit::SetEditMask(const std::string& v) { ed()->editMask_ = v; }
int TInplaceEdit::MaxLength() const { return ed()->maxLength_; }
TEditStyle TInplaceEdit::EditStyle() const { return ed()->editStyle_; }
const std::vector<std::string>& TInplaceEdit::PickList() const { return ed()->pickList_; }

TInplaceEdit::~TInplaceEdit() { delete ed()->list; }

TRect TInplaceEdit::ButtonRect() const {
    if (ed()->editStyle_ == esSimple) return {};
    const int right = Width() - ed()->outerButtons_;
    return {right - ed()->buttonWidth_, 0, right, Height()};
}

int TInplaceEdit::ButtonWidth() const { return ed()->buttonWidth_; }

void TInplaceEdit::SetButtonWidth(int px) {
    px = std::max(1, px);
    if (px == ed()->buttonWidth_) return;
    ed()->buttonWidth_ = px;
    layoutButton();
}

bool TInplaceEdit::ButtonDown() const { return ed()->edit->buttonDown; }

void TInplaceEdit::SetButtonDown(bool v) {
    if (v == ed()->edit->buttonDown) return;
    ed()->edit->buttonDown = v;
    ed()->edit->update();
}

int TInplaceEdit::OuterButtonsWidth() const { return ed()->outerButtons_; }

void TInplaceEdit::SetOuterButtonsWidth(int px) {
    px = std::max(0, px);
    if (px == ed()->outerButtons_) return;
    ed()->outerButtons_ = px;
    layoutButton();
}

void TInplaceEdit::layoutButton() {
    const bool button = ed()->editStyle_ != esSimple;
    ed()->edit->buttonWidth = button ? ed()->buttonWidth_ : 0;
    ed()->edit->buttonRight = ed()->outerButtons_;
    ed()->edit->buttonText = ed()->editStyle_ == esEllipsis ? QStringLiteral("...") : QString(QChar(0x25BE));
    ed()->edit->setTextMargins(2, 0, (button ? ed()->buttonWidth_ : 0) + ed()->outerButtons_ + 2, 0);
    ed()->edit->placeMemo();
    ed()->edit->update();
}

void TInplaceEdit::buttonClicked() {
    if (!ed()->grid_) return;
    if (ed()->editStyle_ == esPickList) {
        if (ListVisible())
            CloseUp(false);
        else
            DropDown();
    } else if (ed()->editStyle_ == esEllipsis || ed()->editStyle_ == esDropDown) {
        ed()->grid_->EditButtonClick();
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

bool TInplaceEdit::ListVisible() const { return ed()->list && ed()->list->isVisible(); }

int TInplaceEdit::ItemIndex() const { return ListVisible() ? ed()->list->currentRow() : -1; }

void TInplaceEdit::DropDown() {
    if (ed()->editStyle_ != esPickList || ed()->pickList_.empty() || !Visible() || ListVisible()) return;
    QWidget* top = ed()->edit->window();
    if (!ed()->list || ed()->list->parentWidget() != top) {
        delete ed()->list;
        ed()->list = new QListWidget(top);
        // The editor keeps the focus: the list is driven from its keys.
        ed()->list->setFocusPolicy(Qt::NoFocus);
        ed()->list->setSelectionMode(QAbstractItemView::SingleSelection);
        QObject::connect(ed()->list, &QListWidget::itemClicked, ed()->list, [this](QListWidgetItem* item) {
            DispatchSafely(this, [this, item] {
                ed()->list->setCurrentItem(item);
                CloseUp(true);
            });
        });
    }
    ed()->list->clear();
    const std::string text = GetText();
    int current = -1;
    ed()->list->setFont(ed()->edit->font());
    // Every row holds a whole line of the editor's font with a little air:
    // the style's own hint can be shorter than the text on some platforms.
    const QFontMetrics fm(ed()->edit->font());
    const int fixedH = ed()->listItemHeight_;
    // A set item height is kept unless the font needs more: text never
    // overlaps the next item.
    const int rowH = fixedH > 0 ? std::max(fixedH, fm.height()) : std::max(ed()->list->sizeHintForRow(0), fm.height() + 4);
    ed()->list->setStyleSheet(fixedH > 0 ? QStringLiteral("QListWidget { border: 2px solid palette(mid); }") : QString());
    for (size_t i = 0; i < ed()->pickList_.size(); ++i) {
        auto* item = new QListWidgetItem(ToQt(ed()->pickList_[i]), ed()->list);
        item->setSizeHint(QSize(fm.horizontalAdvance(item->text()) + 8, rowH));
        if (ed()->pickList_[i] == text) current = int(i);
    }
    if (current >= 0) ed()->list->setCurrentRow(current);
    const int rows = std::min<int>(int(ed()->pickList_.size()), std::max(1, ed()->dropDownRows_));
    const int h = rows * rowH + (fixedH > 0 ? 4 : 2 * ed()->list->frameWidth());
    QPoint at = ed()->edit->mapTo(top, QPoint(0, ed()->edit->height()));
    // Above the editor when there is no room below it in the window.
    if (at.y() + h > top->height() && at.y() - ed()->edit->height() - h >= 0) at.ry() -= ed()->edit->height() + h;
    ed()->list->setGeometry(at.x(), at.y(), std::max(ed()->edit->width(), 60), h);
    ed()->list->show();
    ed()->list->raise();
}

void TInplaceEdit::SetItemIndex(int i) {
    if (!ListVisible()) return;
    ed()->list->setCurrentRow(i >= 0 && i < ed()->list->count() ? i : -1);
}

int TInplaceEdit::ChosenIndex() const { return ed()->chosen_; }
int TInplaceEdit::DropDownRows() const { return ed()->dropDownRows_; }
void TInplaceEdit::SetDropDownRows(int v) { ed()->dropDownRows_ = v; }
int TInplaceEdit::ListItemHeight() const { return ed()->listItemHeight_; }
void TInplaceEdit::SetListItemHeight(int h) { ed()->listItemHeight_ = std::max(0, h); }

TRect TInplaceEdit::ListRect() const {
    if (!ListVisible()) return {};
    const QPoint g = ed()->list->mapToGlobal(QPoint(0, 0));
    return {g.x(), g.y(), g.x() + ed()->list->width(), g.y() + ed()->list->height()};
}

void TInplaceEdit::CloseUp(bool Accept) {
    if (!ListVisible()) return;
    const int row = ed()->list->currentRow();
    ed()->chosen_ = -1;
    ed()->list->hide();
    if (!Accept || !ed()->grid_ || row < 0 || row >= int(ed()->pickList_.size())) return;
    ed()->chosen_ = row;
    // The text goes into a cell that can take it; the grid hears of the
    // choice either way (a lookup cell writes its key, not this text).
    if (ed()->grid_->CanEditModify()) {
        // Through setText, not SetText: the change must reach SetEditText.
        ed()->edit->setText(ToQt(ed()->pickList_[size_t(row)]));
        SelectAll();
    }
    ed()->grid_->PickListChosen();
}

std::string TInplaceEdit::GetText() const { return FromQt(ed()->edit->text()); }

void TInplaceEdit::SetText(const std::string& v) {
    ed()->loading_ = true;
    ed()->edit->setText(ToQt(v));
    ed()->loading_ = false;
}

void TInplaceEdit::SetMaxLength(int v) {
    ed()->maxLength_ = v;
    ed()->edit->setMaxLength(v > 0 ? v : 32767);
    ed()->edit->setReadOnly(v < 0);
    if (ed()->edit->memo) ed()->edit->memo->setReadOnly(v < 0);
}

void TInplaceEdit::SelectAll() {
    if (ed()->multiLine())
        ed()->edit->memo->selectAll();
    else
        ed()->edit->selectAll();
}

void TInplaceEdit::Deselect() {
    if (ed()->multiLine()) {
        ed()->edit->memo->moveCursor(QTextCursor::End);
        return;
    }
    // After the text, not at the end of a mask's blanks.
    ed()->edit->deselect();
    ed()->edit->setCursorPosition(int(ed()->edit->text().size()));
}

namespace {

// Text positions in characters against the toolkit's UTF-16 units.
int unitsOfChars(const QString& s, int chars) {
    int u = 0;
    for (int n = 0; n < chars && u < s.size(); ++n) u += s.at(u).isHighSurrogate() && u + 1 < s.size() ? 2 : 1;
    return u;
}

int charsOfUnits(const QString& s, int units) {
    int n = 0;
    for (int u = 0; u < units && u < s.size(); ++n) u += s.at(u).isHighSurrogate() && u + 1 < s.size() ? 2 : 1;
    return n;
}

} // namespace

namespace {

// The selection of whichever widget edits the text, in UTF-16 units:
// start, end, and the caret.
struct EditSelection {
    int start, end, caret;
};

EditSelection selectionOf(const TInplaceEditPrivate* d) {
    if (d->multiLine()) {
        const QTextCursor c = d->edit->memo->textCursor();
        return {c.selectionStart(), c.selectionEnd(), c.position()};
    }
    const QLineEdit* le = d->edit;
    if (!le->hasSelectedText()) return {le->cursorPosition(), le->cursorPosition(), le->cursorPosition()};
    return {le->selectionStart(), le->selectionEnd(), le->cursorPosition()};
}

bool wholeTextSelected(const TInplaceEditPrivate* d) {
    const EditSelection s = selectionOf(d);
    return s.end > s.start && s.start == 0 && s.end == d->edit->text().size();
}

} // namespace

int TInplaceEdit::SelStart() const {
    return charsOfUnits(ed()->edit->text(), selectionOf(ed()).start);
}

int TInplaceEdit::SelLength() const {
    const EditSelection sel = selectionOf(ed());
    const QString t = ed()->edit->text();
    return charsOfUnits(t, sel.end) - charsOfUnits(t, sel.start);
}

void TInplaceEdit::SetSel(int Start, int Length) {
    TGridLineEdit* le = ed()->edit;
    const QString t = le->text();
    const int a = unitsOfChars(t, std::max(0, Start)), b = unitsOfChars(t, std::max(0, Start) + std::max(0, Length));
    if (ed()->multiLine()) {
        QTextCursor c = le->memo->textCursor();
        c.setPosition(b);
        c.setPosition(a, QTextCursor::KeepAnchor);
        le->memo->setTextCursor(c);
        return;
    }
    if (b > a) {
        // Selected backwards: the caret stays at the start.
        le->setSelection(b, a - b);
    } else {
        le->deselect();
        le->setCursorPosition(a);
    }
}

bool TInplaceEdit::CaretAtLeft() const {
    const EditSelection s = selectionOf(ed());
    if (s.end > s.start) return wholeTextSelected(ed());
    return s.caret == 0;
}

bool TInplaceEdit::CaretAtRight() const {
    const EditSelection s = selectionOf(ed());
    if (s.end > s.start) return wholeTextSelected(ed());
    return s.caret == ed()->edit->text().size();
}

bool TInplaceEdit::WordWrap() const { return ed()->wordWrap_; }

void TInplaceEdit::SetWordWrap(bool v) {
    TInplaceEditPrivate* d = ed();
    d->wordWrap_ = v;
    TGridLineEdit* le = d->edit;
    const bool on = v && le->inputMask().isEmpty();
    if (on && !le->memo) {
        auto* memo = new QPlainTextEdit(le);
        memo->setFrameShape(QFrame::NoFrame);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // Chinese runs have no spaces: a long one breaks where it must.
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->document()->setDocumentMargin(2);
        memo->setContextMenuPolicy(Qt::NoContextMenu);
        memo->hide();
        le->memo = memo;
        // Keys pass through the control as they do for the line edit, and
        // presses on the text as they do on the line edit.
        d->bridge(memo);
        memo->viewport()->installEventFilter(d);
        QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [d, le, memo] {
            if (d->syncing_) return;
            d->syncing_ = true;
            ScopeExit done([d] { d->syncing_ = false; });
            le->setText(memo->toPlainText());
            // The line edit's limit cut the text: show what was kept.
            if (le->text() != memo->toPlainText()) {
                const int caret = std::min<int>(memo->textCursor().position(), int(le->text().size()));
                memo->setPlainText(le->text());
                QTextCursor c = memo->textCursor();
                c.setPosition(caret);
                memo->setTextCursor(c);
            }
        });
    }
    QPlainTextEdit* memo = le->memo;
    if (!memo || on == !memo->isHidden()) return;
    const bool focused = le->hasFocus() || memo->hasFocus();
    if (on) {
        const int caret = le->cursorPosition();
        const bool all = le->hasSelectedText() && le->selectedText().size() == le->text().size();
        d->syncing_ = true;
        memo->setPlainText(le->text());
        d->syncing_ = false;
        memo->setReadOnly(le->isReadOnly());
        le->placeMemo();
        memo->lower();
        memo->show();
        le->setFocusProxy(memo);
        if (all)
            memo->selectAll();
        else
            SetSel(charsOfUnits(le->text(), caret), 0);
    } else {
        le->setFocusProxy(nullptr);
        memo->hide();
    }
    // The focus changes hands inside the control, which is neither left
    // nor entered: the reason says so to the control's focus handling.
    if (focused) (on ? static_cast<QWidget*>(memo) : le)->setFocus(Qt::PopupFocusReason);
}

namespace {

// Lines of the word-wrap editor's blocks before block b, and in it.
int wrappedLines(QPlainTextEdit* memo, const QTextBlock& b) {
    memo->document()->documentLayout()->blockBoundingRect(b); // lays it out
    return std::max(1, b.layout() ? b.layout()->lineCount() : 1);
}

} // namespace

int TInplaceEdit::LineCount() const {
    if (!ed()->multiLine()) return 1;
    QPlainTextEdit* memo = ed()->edit->memo;
    int n = 0;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) n += wrappedLines(memo, b);
    return n;
}

int TInplaceEdit::CaretLine() const {
    if (!ed()->multiLine()) return 0;
    QPlainTextEdit* memo = ed()->edit->memo;
    const int pos = selectionOf(ed()).start;
    const QTextBlock at = memo->document()->findBlock(pos);
    int line = 0;
    for (QTextBlock b = memo->document()->begin(); b.isValid() && b != at; b = b.next()) line += wrappedLines(memo, b);
    if (!at.isValid()) return line;
    wrappedLines(memo, at);
    const QTextLine l = at.layout()->lineForTextPosition(pos - at.position());
    return line + (l.isValid() ? l.lineNumber() : 0);
}

bool TInplaceEdit::KeepsLineKey(Word Key) const {
    if (wholeTextSelected(ed())) return false;
    if (Key == VK_UP) return CaretLine() > 0;
    return CaretLine() < LineCount() - 1;
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
    if (ed()->grid_ && (ed()->grid_->Focused() || !wasVisible) && ed()->grid_->IsActiveControl() && CanFocus()) SetFocus();
}

void TInplaceEdit::HideEditor() {
    CloseUp(false);
    if (!Visible()) return;
    const bool hadFocus = Focused();
    SetVisible(false);
    if (hadFocus && ed()->grid_ && ed()->grid_->CanFocus()) ed()->grid_->SetFocus();
}

void TInplaceEdit::UpdateContents() {
    if (!ed()->grid_) return;
    CloseUp(false);
    ed()->editStyle_ = ed()->grid_->GetEditStyle(ed()->grid_->Col(), ed()->grid_->Row());
    ed()->pickList_ = ed()->editStyle_ == esPickList ? ed()->grid_->GetPickList(ed()->grid_->Col(), ed()->grid_->Row())
                                                 : std::vector<std::string>{};
    layoutButton();
    ed()->loading_ = true;
    ed()->edit->clear();
    ed()->editMask_ = ed()->grid_->GetEditMask(ed()->grid_->Col(), ed()->grid_->Row());
    ed()->edit->setInputMask(ed()->editMask_.empty() ? QString() : ToQt(QtInputMaskFor(ed()->editMask_)));
    SetMaxLength(ed()->grid_->GetEditLimit());
    ed()->edit->setText(ToQt(ed()->grid_->GetEditText(ed()->grid_->Col(), ed()->grid_->Row())));
    ed()->loading_ = false;
}

void TInplaceEdit::textEdited() {
    if (ed()->loading_ || !ed()->grid_) return;
    ed()->grid_->EditorTextChanged(GetText());
}

void TInplaceEdit::pasteFromClipboard() {
    if (ed()->grid_ && ed()->grid_->EditorPaste(Clipboard()->AsText())) return;
    if (ed()->edit->isReadOnly() || (ed()->grid_ && !ed()->grid_->CanEditModify())) return;
    if (ed()->multiLine())
        ed()->edit->memo->paste();
    else
        ed()->edit->paste();
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!ed()->grid_) {
        TWinControl::KeyDown(Key, Shift);
        return;
    }
    ed()->grid_->EditorKeyDownFirst(Key, Shift);
    if (!Key) return;
    const bool pasteKeys = (Key == 'V' && Shift == TShiftState{ssCtrl}) || (Key == VK_INSERT && Shift == TShiftState{ssShift});
    if (pasteKeys) {
        pasteFromClipboard();
        Key = 0;
        return;
    }
    const bool always = ed()->grid_->Options().Contains(goAlwaysShowEditor);
    const bool ctrl = Shift.Contains(ssCtrl);
    if (ListVisible()) {
        const int n = ed()->list->count();
        const int row = ed()->list->currentRow();
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
            if (Shift.Contains(ssAlt))
                CloseUp(true);
            else
                ed()->list->setCurrentRow(std::clamp(row + (Key == VK_UP ? -1 : 1), 0, n - 1));
            Key = 0;
            return;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            ed()->list->setCurrentRow(Key == VK_PRIOR || Key == VK_HOME ? 0 : n - 1);
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
    if (ed()->editStyle_ == esPickList && Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP)) {
        DropDown();
        Key = 0;
        return;
    }
    if (ed()->editStyle_ == esDropDown && Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP)) {
        ed()->grid_->EditButtonClick();
        Key = 0;
        return;
    }
    if (ed()->editStyle_ == esEllipsis && ctrl && Key == VK_RETURN) {
        ed()->grid_->EditButtonClick();
        Key = 0;
        return;
    }
    bool toGrid = false;
    switch (Key) {
    case VK_UP:
    case VK_DOWN: toGrid = !(ed()->multiLine() && KeepsLineKey(Key)); break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: toGrid = true; break;
    case VK_INSERT:
        if (Shift.Empty())
            toGrid = true;
        else if (Shift.Contains(ssShift) && !ed()->grid_->CanEditModify())
            Key = 0;
        break;
    case VK_LEFT:
    case VK_HOME: toGrid = always && (ctrl || CaretAtLeft()); break;
    case VK_RIGHT:
    case VK_END: toGrid = always && (ctrl || CaretAtRight()); break;
    case VK_TAB: toGrid = !Shift.Contains(ssAlt); break;
    case VK_DELETE:
        if (!ed()->grid_->CanEditModify()) Key = 0;
        break;
    default: break;
    }
    if (toGrid) {
        ed()->grid_->EditorKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key && ed()->grid_->OnKeyDown) ed()->grid_->OnKeyDown(ed()->grid_, Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (!ed()->grid_) return;
    ed()->grid_->EditorKeyPress(Key);
    if (Key >= 32 && !ed()->grid_->CanEditAcceptKey(Key)) Key = 0;
    if (Key && (Key == 8 || Key >= 32) && !ed()->grid_->CanEditModify()) Key = 0;
    if (Key == '\r') {
        if (wholeTextSelected(ed()))
            Deselect();
        else
            SelectAll();
        Key = 0;
    }
    if (Key == '\t' || Key == 27) Key = 0;
}

void TInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (ed()->grid_) ed()->grid_->EditorKeyUp(Key, Shift);
}

void TInplaceEdit::DblClick() {
    if (ed()->grid_) ed()->grid_->EditorDblClick();
}

void TInplaceEdit::DoExit() {
    CloseUp(false);
    TWinControl::DoExit();
    if (ed()->grid_) ed()->grid_->EditorExit();
}

// ------------------------------------------------------------ TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomGrid(AOwner, new TCustomGridPrivate) {}

TCustomGrid::TCustomGrid(TComponent* AOwner, TCustomGridPrivate* dd) : TCustomControl(AOwner, dd) {
    gd()->clientWatch.grid = this;
    if (QWidget* client = ClientWidgetOf(this)) client->installEventFilter(&gd()->clientWatch);
    d_->clickOnRelease = false;
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    SetScrollBars(ssBoth);
    SetBounds(0, 0, gd()->colCount_ * gd()->defaultColWidth_, gd()->rowCount_ * gd()->defaultRowHeight_);
    gd()->timer.setInterval(60);
    QObject::connect(&gd()->timer, &QTimer::timeout, &gd()->timer,
                     [this] { DispatchSafely(this, [this] { timerTick(); }); });
}

int TCustomGrid::ColCount() const { return gd()->colCount_; }
int TCustomGrid::RowCount() const { return gd()->rowCount_; }
int TCustomGrid::FixedCols() const { return gd()->fixedCols_; }
int TCustomGrid::FixedRows() const { return gd()->fixedRows_; }
int TCustomGrid::DefaultColWidth() const { return gd()->defaultColWidth_; }
int TCustomGrid::DefaultRowHeight() const { return gd()->defaultRowHeight_; }
int TCustomGrid::GridLineWidth() const { return gd()->gridLineWidth_; }
TColor TCustomGrid::FixedColor() const { return gd()->fixedColor_; }
bool TCustomGrid::DefaultDrawing() const { return gd()->defaultDrawing_; }
void TCustomGrid::SetDefaultDrawing(bool v) {
    gd()->defaultDrawing_ = v;
    Invalidate();
}
TGridOptions TCustomGrid::Options() const { return gd()->options_; }
int TCustomGrid::Col() const { return gd()->current_.X; }
int TCustomGrid::Row() const { return gd()->current_.Y; }
int TCustomGrid::LeftCol() const { return gd()->topLeft_.X; }
int TCustomGrid::TopRow() const { return gd()->topLeft_.Y; }
TGridState TCustomGrid::GridState() const { return gd()->gridState_; }
bool TCustomGrid::EditorMode() const { return gd()->editorMode_; }
TInplaceEdit* TCustomGrid::InplaceEditor() const { return gd()->inplaceEdit_; }
bool TCustomGrid::CanEditModify() { return gd()->canEditModify_; }
bool TCustomGrid::WantTabs() const { return gd()->options_.Contains(goTabs); }
bool TCustomGrid::WantReturns() const { return gd()->options_.Contains(goEditing); }

void TCustomGrid::ForgetEditorCell() { gd()->inplaceCol_ = gd()->inplaceRow_ = -1; }

void TCustomGrid::SetFrozenCol(int ACol) {
    gd()->current_.X = ACol;
    gd()->anchor_.X = ACol;
    Invalidate();
}

TCustomGrid::~TCustomGrid() {
    // The private part lives on until the control's own end; nothing in it
    // may call back into the grid from here on.
    gd()->clientWatch.grid = nullptr;
    gd()->timer.stop();
    DestroyEditor();
}

TCustomGridPrivate* TCustomGrid::gd() const { return TCustomGridPrivate::get(this); }

void TCustomGrid::DestroyEditor() {
    if (!gd()->inplaceEdit_) return;
    TInplaceEdit* e = gd()->inplaceEdit_;
    gd()->inplaceEdit_ = nullptr;
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
        (gd()->options_.Contains(goFixedVertLine) || gd()->options_.Contains(goVertLine)) ? gd()->gridLineWidth_ : 0;
    h.FixedCellCount = gd()->fixedCols_;
    h.FirstGridCell = gd()->topLeft_.X;
    h.GridCellCount = gd()->colCount_;
    h.GridExtent = cr.Width();
    h.GetExtent = [this](int i) { return ColWidths(i); };
    calcAxis(h);
    auto& v = info.Vert;
    v.EffectiveLineWidth =
        (gd()->options_.Contains(goFixedHorzLine) || gd()->options_.Contains(goHorzLine)) ? gd()->gridLineWidth_ : 0;
    v.FixedCellCount = gd()->fixedRows_;
    v.FirstGridCell = gd()->topLeft_.Y;
    v.GridCellCount = gd()->rowCount_;
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
    if (ALeft < 0 || ATop < 0 || ARight >= gd()->colCount_ || ABottom >= gd()->rowCount_) return {};
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
    if (gd()->topLeft_.X >= gd()->colCount_) return 0;
    return info.Horz.LastFullVisibleCell - gd()->topLeft_.X + 1;
}

int TCustomGrid::VisibleRowCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (gd()->topLeft_.Y >= gd()->rowCount_) return 0;
    return info.Vert.LastFullVisibleCell - gd()->topLeft_.Y + 1;
}

// ---- extents and counts

int TCustomGrid::ColWidths(int ACol) const {
    if (ACol >= 0 && ACol < int(gd()->colWidths_.size())) return gd()->colWidths_[size_t(ACol)];
    return gd()->defaultColWidth_;
}

void TCustomGrid::SetColWidths(int ACol, int v) {
    CheckIndex(ACol, gd()->colCount_);
    if (v == ColWidths(ACol)) return;
    if (gd()->colWidths_.empty()) gd()->colWidths_.assign(size_t(gd()->colCount_), gd()->defaultColWidth_);
    gd()->colWidths_[size_t(ACol)] = v;
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int ARow) const {
    if (ARow >= 0 && ARow < int(gd()->rowHeights_.size())) return gd()->rowHeights_[size_t(ARow)];
    return gd()->defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int ARow, int v) {
    CheckIndex(ARow, gd()->rowCount_);
    if (v == RowHeights(ARow)) return;
    if (gd()->rowHeights_.empty()) gd()->rowHeights_.assign(size_t(gd()->rowCount_), gd()->defaultRowHeight_);
    gd()->rowHeights_[size_t(ARow)] = v;
    RowHeightsChanged();
}

bool TCustomGrid::TabStops(int ACol) const {
    if (ACol >= 0 && ACol < int(gd()->tabStops_.size())) return gd()->tabStops_[size_t(ACol)];
    return true;
}

void TCustomGrid::SetTabStops(int ACol, bool v) {
    CheckIndex(ACol, gd()->colCount_);
    if (gd()->tabStops_.empty()) {
        if (v) return;
        gd()->tabStops_.assign(size_t(gd()->colCount_), true);
    }
    gd()->tabStops_[size_t(ACol)] = v;
}

void TCustomGrid::SetDefaultColWidth(int v) {
    gd()->colWidths_.clear();
    gd()->defaultColWidth_ = v;
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    gd()->rowHeights_.clear();
    gd()->defaultRowHeight_ = v;
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int v) {
    if (v == gd()->gridLineWidth_) return;
    gd()->gridLineWidth_ = v;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor v) {
    if (v == gd()->fixedColor_) return;
    gd()->fixedColor_ = v;
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
    if (v == gd()->colCount_) return;
    if (gd()->fixedCols_ >= v) gd()->fixedCols_ = v - 1;
    ChangeSize(v, gd()->rowCount_);
}

void TCustomGrid::SetRowCount(int v) {
    if (v < 1) v = 1;
    if (v == gd()->rowCount_) return;
    if (gd()->fixedRows_ >= v) gd()->fixedRows_ = v - 1;
    ChangeSize(gd()->colCount_, v);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int oldCols = gd()->colCount_, oldRows = gd()->rowCount_;
    auto resize = [](std::vector<int>& a, int n, int def) {
        if (!a.empty()) a.resize(size_t(n), def);
    };
    resize(gd()->colWidths_, NewColCount, gd()->defaultColWidth_);
    resize(gd()->rowHeights_, NewRowCount, gd()->defaultRowHeight_);
    if (!gd()->tabStops_.empty()) gd()->tabStops_.resize(size_t(NewColCount), true);
    gd()->colCount_ = NewColCount;
    gd()->rowCount_ = NewRowCount;
    auto clampCoord = [this](TGridCoord& c) {
        c.X = std::clamp(c.X, gd()->fixedCols_, gd()->colCount_ - 1);
        c.Y = std::clamp(c.Y, gd()->fixedRows_, gd()->rowCount_ - 1);
    };
    clampCoord(gd()->current_);
    clampCoord(gd()->anchor_);
    clampCoord(gd()->topLeft_);
    if (gd()->options_.Contains(goRowSelect)) gd()->anchor_.X = gd()->colCount_ - 1;
    InvalidateGrid();
    UpdateScrollRange();
    SizeChanged(oldCols, oldRows);
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    if (v >= gd()->colCount_) throw EInvalidGridOperation("Fixed column count must be less than column count");
    gd()->fixedCols_ = v;
    gd()->current_.X = gd()->anchor_.X = gd()->topLeft_.X = v;
    if (gd()->options_.Contains(goRowSelect)) gd()->anchor_.X = gd()->colCount_ - 1;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
    if (v >= gd()->rowCount_) throw EInvalidGridOperation("Fixed row count must be less than row count");
    gd()->fixedRows_ = v;
    gd()->current_.Y = gd()->anchor_.Y = gd()->topLeft_.Y = v;
    InvalidateGrid();
    UpdateScrollRange();
}

void TCustomGrid::SetOptions(TGridOptions v) {
    if (v == gd()->options_) return;
    if (v.Contains(goRowSelect)) v >> goAlwaysShowEditor;
    gd()->options_ = v;
    if (!gd()->editorMode_) {
        if (v.Contains(goAlwaysShowEditor))
            ShowEditor();
        else
            HideEditor();
    }
    if (v.Contains(goRowSelect)) {
        gd()->current_.X = gd()->fixedCols_;
        gd()->anchor_ = {gd()->colCount_ - 1, gd()->current_.Y};
    }
    InvalidateGrid();
    UpdateScrollRange();
}

// ---- position and selection

TGridRect TCustomGrid::Selection() const { return Normalized(gd()->current_, gd()->anchor_); }

void TCustomGrid::SetSelection(const TGridRect& r) {
    TGridRect old = Selection();
    gd()->current_ = {r.Left, r.Top};
    gd()->anchor_ = {r.Right, r.Bottom};
    if (gd()->options_.Contains(goRowSelect)) {
        gd()->current_.X = gd()->fixedCols_;
        gd()->anchor_.X = gd()->colCount_ - 1;
    }
    ClampInView(gd()->current_);
    selectionMoved(old);
}

void TCustomGrid::SetCol(int v) {
    if (v == gd()->current_.X) return;
    FocusCell(v, gd()->current_.Y, true);
}

void TCustomGrid::SetRow(int v) {
    if (v == gd()->current_.Y) return;
    FocusCell(gd()->current_.X, v, true);
}

void TCustomGrid::SetLeftCol(int v) {
    if (v != gd()->topLeft_.X) MoveTopLeft(v, gd()->topLeft_.Y);
}

void TCustomGrid::SetTopRow(int v) {
    if (v != gd()->topLeft_.Y) MoveTopLeft(gd()->topLeft_.X, v);
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchorToo, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= gd()->colCount_ || ARow >= gd()->rowCount_)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (!SelectCell(ACol, ARow)) return;
    const TGridRect oldSel = Selection();
    const TGridCoord oldCurrent = gd()->current_;
    gd()->current_ = {ACol, ARow};
    if (!gd()->options_.Contains(goAlwaysShowEditor)) HideEditor();
    if (MoveAnchorToo || !gd()->options_.Contains(goRangeSelect)) {
        gd()->anchor_ = gd()->current_;
        if (gd()->options_.Contains(goRowSelect)) gd()->anchor_.X = gd()->colCount_ - 1;
    }
    if (gd()->options_.Contains(goRowSelect)) gd()->current_.X = gd()->fixedCols_;
    // The current cell's invariant (class comment): inside the counts and
    // outside the fixed band, the anchor inside the counts.
    RT_ASSERT(gd()->current_.X >= gd()->fixedCols_ && gd()->current_.X < gd()->colCount_ && gd()->current_.Y >= gd()->fixedRows_ &&
              gd()->current_.Y < gd()->rowCount_);
    RT_ASSERT(gd()->anchor_.X >= 0 && gd()->anchor_.X < gd()->colCount_ && gd()->anchor_.Y >= 0 &&
              gd()->anchor_.Y < gd()->rowCount_);
    if (Show) ClampInView(gd()->current_);
    selectionMoved(oldSel);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(gd()->current_.X, gd()->current_.Y);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
    if (!gd()->options_.Contains(goRangeSelect) || gd()->options_.Contains(goEditing)) {
        MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
        return;
    }
    const TGridRect oldSel = Selection();
    gd()->anchor_ = NewAnchor;
    if (gd()->options_.Contains(goRowSelect)) gd()->anchor_.X = gd()->colCount_ - 1;
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
    int left = gd()->topLeft_.X, top = gd()->topLeft_.Y;
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
    clampAxis(info.Horz, Coord.X, gd()->topLeft_.X, left);
    clampAxis(info.Vert, Coord.Y, gd()->topLeft_.Y, top);
    if (left != gd()->topLeft_.X || top != gd()->topLeft_.Y) MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    ALeft = std::clamp(ALeft, gd()->fixedCols_, std::max(gd()->fixedCols_, maxTopLeft(info.Horz)));
    ATop = std::clamp(ATop, gd()->fixedRows_, std::max(gd()->fixedRows_, maxTopLeft(info.Vert)));
    if (ALeft == gd()->topLeft_.X && ATop == gd()->topLeft_.Y) return;
    const TGridCoord old = gd()->topLeft_;
    gd()->topLeft_ = {ALeft, ATop};
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
    const int dx = distance(info.Horz, old.X, gd()->topLeft_.X);
    const int dy = distance(info.Vert, old.Y, gd()->topLeft_.Y);
    const int areaW = info.Horz.GridExtent - info.Horz.FixedBoundary;
    const int areaH = info.Vert.GridExtent - info.Vert.FixedBoundary;
    if (std::abs(dx) >= areaW || std::abs(dy) >= areaH || (dx && dy))
        InvalidateGrid();
    else
        ScrollData(dx, dy);
    if (gd()->options_.Contains(goRowSelect)) invalidateGridRect(Selection());
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
        const int visible = std::max(1, info.Vert.LastFullVisibleCell - gd()->topLeft_.Y + 1);
        SetScrollRange(sbVertical, 0, std::max(0, maxTop - gd()->fixedRows_) + visible - 1, visible);
        SetScrollPos(sbVertical, gd()->topLeft_.Y - gd()->fixedRows_);
    }
    if (bars == ssHorizontal || bars == ssBoth) {
        const int maxLeft = maxTopLeft(info.Horz);
        const int visible = std::max(1, info.Horz.LastFullVisibleCell - gd()->topLeft_.X + 1);
        SetScrollRange(sbHorizontal, 0, std::max(0, maxLeft - gd()->fixedCols_) + visible - 1, visible);
        SetScrollPos(sbHorizontal, gd()->topLeft_.X - gd()->fixedCols_);
    }
}

void TCustomGrid::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (CanFocus() && !IsActiveControl()) SetFocus();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const bool vert = Kind == sbVertical;
    const auto& a = vert ? info.Vert : info.Horz;
    const int first = vert ? gd()->topLeft_.Y : gd()->topLeft_.X;
    const int fixed = vert ? gd()->fixedRows_ : gd()->fixedCols_;
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
        if (!gd()->options_.Contains(goThumbTracking)) return;
        target = fixed + Pos;
        break;
    case scPosition: target = fixed + Pos; break;
    default: return;
    }
    if (vert)
        MoveTopLeft(gd()->topLeft_.X, target);
    else
        MoveTopLeft(target, gd()->topLeft_.Y);
    UpdateScrollRange();
}

// ---- invalidation

void TCustomGrid::invalidateGridRect(const TGridRect& r) {
    TRect box = BoxRect(r.Left, r.Top, r.Right, r.Bottom);
    if (IsRectEmpty(box)) return;
    // Lines around the cells belong to them for repainting (focus frames).
    InflateRect(box, gd()->gridLineWidth_, gd()->gridLineWidth_);
    TCustomControl::InvalidateRect(box);
}

void TCustomGrid::InvalidateRect(const TGridRect& r) { invalidateGridRect(r); }

void TCustomGrid::InvalidateCell(int ACol, int ARow) { invalidateGridRect({ACol, ARow, ACol, ARow}); }

void TCustomGrid::InvalidateCol(int ACol) { invalidateGridRect({ACol, 0, ACol, gd()->rowCount_ - 1}); }

void TCustomGrid::InvalidateRow(int ARow) { invalidateGridRect({0, ARow, gd()->colCount_ - 1, ARow}); }

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
        gd()->options_.Contains(goEditing) && gd()->editorMode_ && gd()->inplaceEdit_ && gd()->inplaceEdit_->Visible();
    int top = area.Top;
    for (int row = firstRow; row < gd()->rowCount_ && top < area.Bottom; ++row) {
        const int h = RowHeights(row);
        const int bottom = top + h;
        int left = area.Left;
        for (int col = firstCol; col < gd()->colCount_ && left < area.Right; ++col) {
            const int w = ColWidths(col);
            const TRect where{left, top, left + w, bottom};
            if (w > 0 && h > 0 && Intersects(where, clip)) {
                TGridDrawState state = includeState;
                const bool isFixed = includeState.Contains(gdFixed);
                const bool isFocused = !isFixed && focusedGrid && col == gd()->current_.X && row == gd()->current_.Y;
                if (isFocused) state << gdFocused;
                if (!isFixed && InGridRect(col, row, sel)) state << gdSelected;
                if (!(isFocused && editing)) {
                    if (gd()->defaultDrawing_) {
                        c->SetFont(Font());
                        if (state.Contains(gdSelected) &&
                            (!state.Contains(gdFocused) || gd()->options_.Contains(goDrawFocusSelected) ||
                             gd()->options_.Contains(goRowSelect))) {
                            c->Brush()->SetColor(clHighlight);
                            c->Font()->SetColor(clHighlightText);
                        } else {
                            c->Brush()->SetColor(color);
                        }
                        c->Brush()->SetStyle(bsSolid);
                        c->FillRect(where);
                    }
                    DrawCell(col, row, where, state);
                    if (gd()->defaultDrawing_ && isFixed) {
                        TRect edge = where;
                        unsigned flags = 0;
                        if (gd()->options_.Contains(goFixedVertLine)) flags |= BF_RIGHT;
                        if (gd()->options_.Contains(goFixedHorzLine)) flags |= BF_BOTTOM;
                        if (flags) c->DrawEdge(edge, BDR_RAISEDINNER, flags | BF_TOPLEFT);
                    }
                    if (gd()->defaultDrawing_ && isFocused &&
                        !(gd()->options_.Contains(goEditing) && gd()->options_.Contains(goAlwaysShowEditor)) &&
                        !gd()->options_.Contains(goRowSelect))
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
    const bool fh = gd()->options_.Contains(goFixedHorzLine), fv = gd()->options_.Contains(goFixedVertLine);
    drawLines(h, v, fh, fv, 0, 0, fixedFixed, clBlack, gd()->fixedColor_);
    drawLines(h, v, fh, fv, gd()->topLeft_.X, 0, fixedRows, clBlack, gd()->fixedColor_);
    drawLines(h, v, fh, fv, 0, gd()->topLeft_.Y, fixedCols, clBlack, gd()->fixedColor_);
    drawLines(h, v, gd()->options_.Contains(goHorzLine), gd()->options_.Contains(goVertLine), gd()->topLeft_.X,
              gd()->topLeft_.Y, cells, lineColor, Color());

    drawCells(0, 0, fixedFixed, info, gd()->fixedColor_, {gdFixed}, clip);
    drawCells(gd()->topLeft_.X, 0, fixedRows, info, gd()->fixedColor_, {gdFixed}, clip);
    drawCells(0, gd()->topLeft_.Y, fixedCols, info, gd()->fixedColor_, {gdFixed}, clip);
    drawCells(gd()->topLeft_.X, gd()->topLeft_.Y, cells, info, Color(), {}, clip);

    if (gd()->defaultDrawing_ && gd()->options_.Contains(goRowSelect) && IsActiveControl()) {
        const TGridRect sel = Selection();
        TRect box = BoxRect(std::max(sel.Left, gd()->topLeft_.X), sel.Top, sel.Right, sel.Bottom);
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
    if (gd()->gridState_ != gsColSizing && gd()->gridState_ != gsRowSizing && gd()->gridState_ != gsColMoving &&
        gd()->gridState_ != gsRowMoving)
        return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    if (gd()->gridState_ == gsColSizing) {
        c->MoveTo(gd()->sizingPos_, 0);
        c->LineTo(gd()->sizingPos_, info.Vert.GridBoundary);
    } else if (gd()->gridState_ == gsRowSizing) {
        c->MoveTo(0, gd()->sizingPos_);
        c->LineTo(info.Horz.GridBoundary, gd()->sizingPos_);
    } else if (gd()->gridState_ == gsColMoving) {
        TRect r = CellRect(gd()->movePos_, 0);
        int x = gd()->movePos_ > gd()->moveIndex_ ? r.Right : r.Left;
        c->MoveTo(x, 0);
        c->LineTo(x, info.Vert.GridBoundary);
    } else {
        TRect r = CellRect(0, gd()->movePos_);
        int y = gd()->movePos_ > gd()->moveIndex_ ? r.Bottom : r.Top;
        c->MoveTo(0, y);
        c->LineTo(info.Horz.GridBoundary, y);
    }
    c->Pen()->SetStyle(psSolid);
}

// ---- the editor

bool TCustomGrid::IsActiveControl() const {
    if (Focused()) return true;
    return gd()->inplaceEdit_ && gd()->inplaceEdit_->Focused();
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow() {
    return gd()->options_.Contains(goEditing) && !gd()->options_.Contains(goRowSelect) && gd()->editorMode_ &&
           (gd()->options_.Contains(goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    if (!gd()->inplaceEdit_) {
        gd()->inplaceEdit_ = CreateEditor();
        TInplaceEditPrivate::get(gd()->inplaceEdit_)->grid_ = this;
        gd()->inplaceEdit_->SetParent(this);
        gd()->inplaceEdit_->SetFont(Font());
    }
    auto load = [this] {
        gd()->inplaceCol_ = gd()->current_.X;
        gd()->inplaceRow_ = gd()->current_.Y;
        gd()->inplaceEdit_->UpdateContents();
        gd()->canEditModify_ = gd()->inplaceEdit_->MaxLength() != -1;
        gd()->inplaceEdit_->SelectAll();
    };
    if (gd()->inplaceCol_ == -1)
        load();
    else if (gd()->inplaceCol_ != gd()->current_.X || gd()->inplaceRow_ != gd()->current_.Y) {
        HideEdit();
        load();
    }
    if (CanEditShow()) gd()->inplaceEdit_->Move(CellRect(gd()->current_.X, gd()->current_.Y));
}

void TCustomGrid::UpdateText() {
    if (gd()->inplaceEdit_ && gd()->inplaceCol_ != -1 && gd()->inplaceRow_ != -1)
        SetEditText(gd()->inplaceCol_, gd()->inplaceRow_, gd()->inplaceEdit_->GetText());
}

void TCustomGrid::HideEdit() {
    if (!gd()->inplaceEdit_) return;
    UpdateText();
    gd()->inplaceCol_ = gd()->inplaceRow_ = -1;
    gd()->inplaceEdit_->HideEditor();
}

void TCustomGrid::ShowEditor() {
    gd()->editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    gd()->editorMode_ = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(char32_t ch) {
    ShowEditor();
    if (gd()->inplaceEdit_ && gd()->inplaceEdit_->Visible()) {
        // Typed text goes in as if keyed in the editor, so SetEditText sees it.
        auto* line = static_cast<QLineEdit*>(WidgetOf(gd()->inplaceEdit_));
        line->setText(QString::fromUcs4(&ch, 1));
        gd()->inplaceEdit_->Deselect();
    }
}

void TCustomGrid::SetEditorMode(bool v) {
    if (v == gd()->editorMode_) return;
    if (v) {
        ShowEditor();
        if (gd()->inplaceEdit_) gd()->inplaceEdit_->Deselect();
    } else {
        HideEditor();
    }
}

void TCustomGrid::InvalidateEditor() {
    gd()->inplaceCol_ = gd()->inplaceRow_ = -1;
    UpdateEdit();
}

void TCustomGrid::EditorExit() {
    if (!Focused() && !gd()->options_.Contains(goAlwaysShowEditor)) HideEdit();
}

void TCustomGrid::EditorTextChanged(const std::string& text) {
    if (gd()->inplaceCol_ != -1 && gd()->inplaceRow_ != -1) SetEditText(gd()->inplaceCol_, gd()->inplaceRow_, text);
}

// ---- moving columns and rows

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, gd()->colCount_);
    CheckIndex(ToIndex, gd()->colCount_);
    if (FromIndex == ToIndex) return;
    if (!gd()->colWidths_.empty()) {
        int w = gd()->colWidths_[size_t(FromIndex)];
        gd()->colWidths_.erase(gd()->colWidths_.begin() + FromIndex);
        gd()->colWidths_.insert(gd()->colWidths_.begin() + ToIndex, w);
    }
    if (!gd()->tabStops_.empty()) {
        bool t = gd()->tabStops_[size_t(FromIndex)];
        gd()->tabStops_.erase(gd()->tabStops_.begin() + FromIndex);
        gd()->tabStops_.insert(gd()->tabStops_.begin() + ToIndex, t);
    }
    auto follow = [&](int& x) {
        if (x == FromIndex)
            x = ToIndex;
        else if (FromIndex < ToIndex && x > FromIndex && x <= ToIndex)
            --x;
        else if (FromIndex > ToIndex && x >= ToIndex && x < FromIndex)
            ++x;
    };
    follow(gd()->current_.X);
    if (!gd()->options_.Contains(goRowSelect)) follow(gd()->anchor_.X);
    if (gd()->inplaceCol_ != -1) follow(gd()->inplaceCol_);
    ColumnMoved(FromIndex, ToIndex);
    if (!gd()->colWidths_.empty()) ColWidthsChanged();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, gd()->rowCount_);
    CheckIndex(ToIndex, gd()->rowCount_);
    if (FromIndex == ToIndex) return;
    if (!gd()->rowHeights_.empty()) {
        int h = gd()->rowHeights_[size_t(FromIndex)];
        gd()->rowHeights_.erase(gd()->rowHeights_.begin() + FromIndex);
        gd()->rowHeights_.insert(gd()->rowHeights_.begin() + ToIndex, h);
    }
    auto follow = [&](int& y) {
        if (y == FromIndex)
            y = ToIndex;
        else if (FromIndex < ToIndex && y > FromIndex && y <= ToIndex)
            --y;
        else if (FromIndex > ToIndex && y >= ToIndex && y < FromIndex)
            ++y;
    };
    follow(gd()->current_.Y);
    follow(gd()->anchor_.Y);
    if (gd()->inplaceRow_ != -1) follow(gd()->inplaceRow_);
    RowMoved(FromIndex, ToIndex);
    if (!gd()->rowHeights_.empty()) RowHeightsChanged();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::DeleteColumn(int ACol) {
    MoveColumn(ACol, gd()->colCount_ - 1);
    SetColCount(gd()->colCount_ - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
    MoveRow(ARow, gd()->rowCount_ - 1);
    SetRowCount(gd()->rowCount_ - 1);
}

// ---- keyboard

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!Key || !CanGridAcceptKey(Key, Shift)) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const bool rowSelect = gd()->options_.Contains(goRowSelect);
    const int pageWidth = std::max(1, info.Horz.LastFullVisibleCell - gd()->topLeft_.X);
    const int pageHeight = std::max(1, info.Vert.LastFullVisibleCell - gd()->topLeft_.Y);
    TGridCoord newTopLeft = gd()->topLeft_;
    // Shift+arrows extend the range from its moving corner, the anchor.
    const bool extending = Shift.Contains(ssShift) && Key != VK_TAB && gd()->options_.Contains(goRangeSelect) &&
                           !gd()->options_.Contains(goEditing) && !rowSelect;
    TGridCoord newCurrent = extending ? gd()->anchor_ : gd()->current_;
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
        case VK_PRIOR: newCurrent.Y = gd()->topLeft_.Y; break;
        case VK_NEXT: newCurrent.Y = info.Vert.LastFullVisibleCell; break;
        case VK_HOME:
            newCurrent.X = gd()->fixedCols_;
            newCurrent.Y = gd()->fixedRows_;
            break;
        case VK_END:
            newCurrent.X = gd()->colCount_ - 1;
            newCurrent.Y = gd()->rowCount_ - 1;
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
                newCurrent.Y = gd()->fixedRows_;
            else
                newCurrent.X = gd()->fixedCols_;
            break;
        case VK_END:
            if (rowSelect)
                newCurrent.Y = gd()->rowCount_ - 1;
            else
                newCurrent.X = gd()->colCount_ - 1;
            break;
        case VK_TAB:
            if (!Shift.Contains(ssAlt) && gd()->options_.Contains(goTabs)) {
                const bool back = Shift.Contains(ssShift);
                TGridCoord c = gd()->current_;
                do {
                    if (back) {
                        if (--c.X < gd()->fixedCols_) {
                            c.X = gd()->colCount_ - 1;
                            if (--c.Y < gd()->fixedRows_) c.Y = gd()->rowCount_ - 1;
                        }
                    } else {
                        if (++c.X >= gd()->colCount_) {
                            c.X = gd()->fixedCols_;
                            if (++c.Y >= gd()->rowCount_) c.Y = gd()->fixedRows_;
                        }
                    }
                } while (!(c == gd()->current_) && !TabStops(c.X));
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
    newTopLeft.X = std::clamp(newTopLeft.X, gd()->fixedCols_, std::max(gd()->fixedCols_, maxLeft));
    newTopLeft.Y = std::clamp(newTopLeft.Y, gd()->fixedRows_, std::max(gd()->fixedRows_, maxTop));
    newCurrent.X = std::clamp(newCurrent.X, gd()->fixedCols_, gd()->colCount_ - 1);
    newCurrent.Y = std::clamp(newCurrent.Y, gd()->fixedRows_, gd()->rowCount_ - 1);
    if (!(newTopLeft == gd()->topLeft_)) MoveTopLeft(newTopLeft.X, newTopLeft.Y);
    if (extending) {
        if (!(newCurrent == gd()->anchor_)) {
            MoveAnchor(newCurrent);
            Click();
        }
    } else if (!(newCurrent == gd()->current_)) {
        { MoveCurrent(newCurrent.X, newCurrent.Y, true, true); }
        UpdateEdit();
        Click();
    }
    if (Key == VK_TAB) Key = 0;
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (!Key) return;
    if (!gd()->options_.Contains(goAlwaysShowEditor) && Key == '\r') {
        if (gd()->editorMode_)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
        return;
    }
    if (gd()->options_.Contains(goEditing) && !gd()->editorMode_ && (Key == 8 || Key >= 32) && CanEditShow() == false) {
        // CanEditShow needs EditorMode; decide on the other conditions.
        gd()->editorMode_ = true;
        const bool ok = CanEditShow();
        gd()->editorMode_ = false;
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
    if (!gd()->options_.Contains(goColSizing) && !gd()->options_.Contains(goRowSizing)) return false;
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
    if (gd()->options_.Contains(goColSizing) && Y >= 0 && Y < info.Vert.FixedBoundary && X >= info.Horz.FixedBoundary) {
        if (findZone(info.Horz, X)) State = gsColSizing;
    } else if (gd()->options_.Contains(goRowSizing) && X >= 0 && X < info.Horz.FixedBoundary &&
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
    gd()->lastMouse = {X, Y};
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        TGridState st;
        int idx, pos, ofs;
        if (CalcSizingState(X, Y, st, idx, pos, ofs)) {
            gd()->gridState_ = st;
            gd()->sizingIndex_ = idx;
            gd()->sizingPos_ = pos;
            gd()->sizingOfs_ = ofs;
            SetMouseCapture(true);
            Invalidate();
        } else {
            TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0 && cell.Y >= 0) {
                if (gd()->options_.Contains(goColMoving) && cell.Y < gd()->fixedRows_ && cell.X >= gd()->fixedCols_) {
                    gd()->moveIndex_ = gd()->movePos_ = cell.X;
                    if (BeginColumnDrag(gd()->moveIndex_, gd()->movePos_, {X, Y})) {
                        gd()->gridState_ = gsColMoving;
                        SetMouseCapture(true);
                        gd()->timer.start();
                        Invalidate();
                    }
                } else if (gd()->options_.Contains(goRowMoving) && cell.X < gd()->fixedCols_ && cell.Y >= gd()->fixedRows_) {
                    gd()->moveIndex_ = gd()->movePos_ = cell.Y;
                    if (BeginRowDrag(gd()->moveIndex_, gd()->movePos_, {X, Y})) {
                        gd()->gridState_ = gsRowMoving;
                        SetMouseCapture(true);
                        gd()->timer.start();
                        Invalidate();
                    }
                } else if (cell.X >= gd()->fixedCols_ && cell.Y >= gd()->fixedRows_) {
                    if (gd()->options_.Contains(goEditing)) {
                        if (cell == gd()->current_)
                            ShowEditor();
                        else {
                            MoveCurrent(cell.X, cell.Y, true, true);
                            UpdateEdit();
                        }
                        Click();
                    } else {
                        gd()->gridState_ = gsSelecting;
                        SetMouseCapture(true);
                        gd()->timer.start();
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
    gd()->lastMouse = {X, Y};
    TGridDrawInfo info;
    CalcDrawInfo(info);
    switch (gd()->gridState_) {
    case gsSelecting: {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= gd()->fixedCols_ && cell.Y >= gd()->fixedRows_ && cell.X <= info.Horz.LastFullVisibleCell + 1 &&
            cell.Y <= info.Vert.LastFullVisibleCell + 1 && !(cell == gd()->anchor_))
            MoveAnchor(cell);
        break;
    }
    case gsColSizing:
    case gsRowSizing:
        gd()->sizingPos_ = (gd()->gridState_ == gsColSizing ? X : Y) + gd()->sizingOfs_;
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
    const int first = cols ? gd()->topLeft_.X : gd()->topLeft_.Y;
    int target = cellHit;
    if (mouse < a.FixedBoundary) {
        if (first > a.FixedCellCount) {
            if (cols)
                MoveTopLeft(first - 1, gd()->topLeft_.Y);
            else
                MoveTopLeft(gd()->topLeft_.X, first - 1);
        }
        target = cols ? gd()->topLeft_.X : gd()->topLeft_.Y;
    } else if (mouse >= a.FullVisBoundary || target < 0) {
        if (a.LastFullVisibleCell < a.GridCellCount - 1) {
            if (cols)
                MoveTopLeft(first + 1, gd()->topLeft_.Y);
            else
                MoveTopLeft(gd()->topLeft_.X, first + 1);
        }
        TGridDrawInfo now;
        CalcDrawInfo(now);
        target = cols ? now.Horz.LastFullVisibleCell : now.Vert.LastFullVisibleCell;
    }
    if (target < a.FixedCellCount || target == gd()->movePos_) return;
    int origin = gd()->moveIndex_, dest = target;
    const bool ok = cols ? CheckColumnDrag(origin, dest, pt) : CheckRowDrag(origin, dest, pt);
    if (ok) {
        gd()->movePos_ = dest;
        Invalidate();
    }
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridState st = gd()->gridState_;
    {
        // The drag ends on every way out, a throwing handler included.
        ScopeExit endDrag([this] {
            gd()->gridState_ = gsNormal;
            gd()->timer.stop();
        });
        switch (st) {
        case gsSelecting:
            MouseMove(Shift, X, Y);
            gd()->timer.stop();
            gd()->gridState_ = gsNormal;
            UpdateEdit();
            Click();
            break;
        case gsColSizing:
        case gsRowSizing: {
            gd()->gridState_ = gsNormal;
            const TRect cell = st == gsColSizing ? CellRect(gd()->sizingIndex_, 0) : CellRect(0, gd()->sizingIndex_);
            const int start = st == gsColSizing ? cell.Left : cell.Top;
            const int size = gd()->sizingPos_ - start;
            if (!IsRectEmpty(cell) && size > 1) {
                if (st == gsColSizing)
                    SetColWidths(gd()->sizingIndex_, size);
                else
                    SetRowHeights(gd()->sizingIndex_, size);
            }
            Invalidate();
            UpdateEdit();
            break;
        }
        case gsColMoving:
        case gsRowMoving: {
            gd()->timer.stop();
            gd()->gridState_ = gsNormal;
            int origin = gd()->moveIndex_, dest = gd()->movePos_;
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
    gd()->timer.stop();
    SetMouseCapture(false);
    if (gd()->gridState_ != gsNormal) {
        gd()->gridState_ = gsNormal;
        Invalidate();
    }
}

void TCustomGrid::timerTick() {
    if (gd()->gridState_ == gsSelecting) {
        TGridDrawInfo info;
        CalcDrawInfo(info);
        const TPoint p = gd()->lastMouse;
        TimedScroll(p.X < info.Horz.FixedBoundary, p.X >= info.Horz.FullVisBoundary, p.Y < info.Vert.FixedBoundary,
                    p.Y >= info.Vert.FullVisBoundary);
    } else if (gd()->gridState_ == gsColMoving || gd()->gridState_ == gsRowMoving) {
        MouseMove({}, gd()->lastMouse.X, gd()->lastMouse.Y);
    } else {
        gd()->timer.stop();
    }
}

void TCustomGrid::TimedScroll(bool Left, bool Right, bool Up, bool Down) {
    if (!Left && !Right && !Up && !Down) return;
    TGridCoord a = gd()->anchor_;
    if (Left && a.X > gd()->fixedCols_) --a.X;
    if (Right && a.X < gd()->colCount_ - 1) ++a.X;
    if (Up && a.Y > gd()->fixedRows_) --a.Y;
    if (Down && a.Y < gd()->rowCount_ - 1) ++a.Y;
    if (!(a == gd()->anchor_)) MoveAnchor(a);
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (WheelDelta < 0 && gd()->current_.Y < gd()->rowCount_ - 1)
        FocusCell(gd()->current_.X, gd()->current_.Y + 1, true);
    else if (WheelDelta > 0 && gd()->current_.Y > gd()->fixedRows_)
        FocusCell(gd()->current_.X, gd()->current_.Y - 1, true);
    return true;
}

// ---- focus and size

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    invalidateGridRect(Selection());
    if (!(gd()->inplaceEdit_ && gd()->inplaceEdit_->Focused())) UpdateEdit();
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    invalidateGridRect(Selection());
    if (!gd()->options_.Contains(goAlwaysShowEditor) && !(gd()->inplaceEdit_ && gd()->inplaceEdit_->Focused())) HideEdit();
    CancelMode();
}

void TCustomGrid::Resize() { TCustomControl::Resize(); }

void TCustomGrid::SetFlatBorder(bool Flat) {
    gd()->flatBorder_ = Flat;
    if (BorderStyle() == bsNone) return;
    gd()->area()->setFrameStyle(int(QFrame::Panel) | int(QFrame::Sunken));
    gd()->area()->setLineWidth(Flat ? 1 : 2);
}

bool TCustomGrid::FlatBorder() const { return gd()->flatBorder_; }

void TCustomGrid::ClientResized() {
    UpdateScrollRange();
    if (gd()->inplaceEdit_ && gd()->inplaceEdit_->Visible())
        gd()->inplaceEdit_->Move(CellRect(gd()->current_.X, gd()->current_.Y));
}

void TCustomGrid::FontChanged() {
    TCustomControl::FontChanged();
    if (gd()->inplaceEdit_) gd()->inplaceEdit_->SetFont(Font());
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
