// The standard controls on their Qt widgets. Each keeps the class library's
// behaviour where Qt differs: OnChange also for text set by code, Checked
// setters firing OnClick, radio buttons grouped by parent, owner-drawn list
// items painted through TCanvas.
#include "StdCtrls.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextBlock>

#include "Canvas_p.h"
#include "Controls_p.h"
#include "StdCtrls_p.h"

namespace {

template <class W>
W* Widget(const TControl* c) {
    return static_cast<W*>(TControlPrivate::get(c)->widget.data());
}

// An item list the control follows: every change of the list re-fills the
// widget; the widget's own changes (typing) never touch the list.
class FollowedList : public TStringList {
public:
    std::function<void()> changed;

protected:
    void Changed() override {
        TStringList::Changed();
        if (changed && UpdateCount() == 0) changed();
    }
};

class LabelPrivate : public TControlPrivate {
public:
    LabelPrivate() : TControlPrivate(NewWidget<QLabel>()) {
        label()->setFocusPolicy(Qt::NoFocus);
        label()->setTextFormat(Qt::PlainText);
        label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        fillBackground = false;
    }
    QLabel* label() const { return static_cast<QLabel*>(widget.data()); }
    bool autoSize = true;
    TAlignment alignment = taLeftJustify;
    TTextLayout layout = tlTop;
    TWinControl* focusControl = nullptr;
    void align() {
        Qt::Alignment a = alignment == taCenter         ? Qt::AlignHCenter
                          : alignment == taRightJustify ? Qt::AlignRight
                                                        : Qt::AlignLeft;
        a |= layout == tlCenter ? Qt::AlignVCenter : layout == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
        label()->setAlignment(a);
    }
};

class MemoPrivate : public EditPrivate {
public:
    MemoPrivate() : EditPrivate(NewWidget<QPlainTextEdit>()) {}
    QPlainTextEdit* edit() const { return static_cast<QPlainTextEdit*>(widget.data()); }
    // Presses and double-clicks land on the text area inside the frame.
    QWidget* mouseTarget() const override { return edit()->viewport(); }
    FollowedList lines;
    bool syncing = false;
    bool wantReturns = true;
    bool wantTabs = false;
    TScrollStyle bars = ssNone;
    TAlignment alignment = taLeftJustify;
};

class ComboPrivate : public TControlPrivate {
public:
    ComboPrivate() : TControlPrivate(NewWidget<QComboBox>()) {}
    QComboBox* combo() const { return static_cast<QComboBox*>(widget.data()); }
    FollowedList items;
    TComboBoxStyle style = csDropDown;
    bool filling = false;
    int maxLength = 0;
    int itemHeight = 16;
};

class ListPrivate;

class ListDelegate : public QStyledItemDelegate {
public:
    ListPrivate* d = nullptr;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override;
};

class ListPrivate : public TControlPrivate {
public:
    ListPrivate() : TControlPrivate(NewWidget<QListWidget>()) {
        delegate = new ListDelegate;
        delegate->d = this;
        canvas = new TCanvas;
    }
    ~ListPrivate() override { delete delegate; }
    QListWidget* list() const { return static_cast<QListWidget*>(widget.data()); }
    // Presses, moves and releases over the items reach MouseDown and the
    // others in the items' coordinates (ItemAtPos, ItemRect).
    QWidget* mouseTarget() const override { return list()->viewport(); }
    FollowedList items;
    TListBoxStyle style = lbStandard;
    int itemHeight = 16;
    bool filling = false;
    ListDelegate* delegate;
};

void ListDelegate::paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const {
    auto* lb = static_cast<TListBox*>(d->q);
    if (d->style == lbStandard || !lb->OnDrawItem) {
        QStyledItemDelegate::paint(p, opt, index);
        return;
    }
    TOwnerDrawState state;
    if (opt.state & QStyle::State_Selected) state << odSelected;
    if (opt.state & QStyle::State_HasFocus) state << odFocused;
    if (!(opt.state & QStyle::State_Enabled)) state << odDisabled;
    QRect r = opt.rect;
    CanvasPainterScope scope(d->canvas, p, d->list()->viewport()->rect());
    d->canvas->Font()->Assign(lb->Font());
    d->canvas->Brush()->SetColor((opt.state & QStyle::State_Selected) ? clHighlight : lb->Color());
    int row = index.row();
    DispatchSafely(lb, [&] { lb->OnDrawItem(lb, row, Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), state); });
}

QSize ListDelegate::sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const {
    QSize s = QStyledItemDelegate::sizeHint(opt, index);
    if (d->style == lbStandard) return s;
    int h = d->itemHeight;
    auto* lb = static_cast<TListBox*>(d->q);
    if (d->style == lbOwnerDrawVariable && lb->OnMeasureItem) {
        int row = index.row();
        DispatchSafely(lb, [&] { lb->OnMeasureItem(lb, row, h); });
    }
    return QSize(s.width(), h);
}

void RefillList(ListPrivate* d) {
    d->filling = true;
    int cur = d->list()->currentRow();
    d->list()->clear();
    for (int i = 0; i < d->items.Count(); ++i) d->list()->addItem(ToQt(d->items.Strings(i)));
    if (cur >= 0 && cur < d->list()->count()) d->list()->setCurrentRow(cur);
    d->filling = false;
}

void RefillCombo(ComboPrivate* d) {
    d->filling = true;
    QString text = d->combo()->currentText();
    int cur = d->combo()->currentIndex();
    d->combo()->clear();
    for (int i = 0; i < d->items.Count(); ++i) d->combo()->addItem(ToQt(d->items.Strings(i)));
    if (d->style == csDropDownList)
        d->combo()->setCurrentIndex(cur < d->combo()->count() ? cur : -1);
    else {
        d->combo()->setCurrentIndex(-1);
        d->combo()->setEditText(text);
    }
    d->filling = false;
}

} // namespace

// ------------------------------------------------------------ TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner, new LabelPrivate) { SetBounds(0, 0, 65, 13); }

static LabelPrivate* LD(const TLabel* l) { return static_cast<LabelPrivate*>(TControlPrivate::get(l)); }

static void FitLabel(TLabel* l) {
    auto* d = LD(l);
    if (!d->autoSize || d->label()->wordWrap()) return;
    QSize s = d->label()->sizeHint();
    l->SetBounds(l->Left(), l->Top(), s.width(), s.height());
}

void TLabel::SetText(const std::string& v) {
    auto* d = LD(this);
    d->text = v;
    d->label()->setText(ToQt(v).replace("&&", "\x01").remove('&').replace("\x01", "&"));
    FitLabel(this);
}
bool TLabel::AutoSize() const { return LD(this)->autoSize; }
void TLabel::SetAutoSize(bool v) {
    LD(this)->autoSize = v;
    FitLabel(this);
}
bool TLabel::Transparent() const { return !LD(this)->fillBackground; }
void TLabel::SetTransparent(bool v) {
    LD(this)->fillBackground = !v;
    LD(this)->applyColor();
}
TAlignment TLabel::Alignment() const { return LD(this)->alignment; }
void TLabel::SetAlignment(TAlignment v) {
    LD(this)->alignment = v;
    LD(this)->align();
}
TTextLayout TLabel::Layout() const { return LD(this)->layout; }
void TLabel::SetLayout(TTextLayout v) {
    LD(this)->layout = v;
    LD(this)->align();
}
bool TLabel::WordWrap() const { return LD(this)->label()->wordWrap(); }
void TLabel::SetWordWrap(bool v) { LD(this)->label()->setWordWrap(v); }
TWinControl* TLabel::FocusControl() const { return LD(this)->focusControl; }
void TLabel::SetFocusControl(TWinControl* v) {
    LD(this)->focusControl = v;
    LD(this)->label()->setBuddy(v ? WidgetOf(v) : nullptr);
}
void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    FitLabel(this);
}

// ------------------------------------------------------------ edits

static EditPrivate* ED(const TControl* c) { return static_cast<EditPrivate*>(TControlPrivate::get(c)); }

TCustomEdit::TCustomEdit(TComponent* AOwner, TControlPrivate* dd) : TWinControl(AOwner, dd) {
    d_->parentColor = false;
    d_->color = clWindow;
    d_->applyColor();
    d_->widget->setFocusPolicy(Qt::StrongFocus);
}

static QLineEdit* LineOf(const TControl* c) { return qobject_cast<QLineEdit*>(TControlPrivate::get(c)->widget.data()); }
static QPlainTextEdit* PlainOf(const TControl* c) {
    return qobject_cast<QPlainTextEdit*>(TControlPrivate::get(c)->widget.data());
}

std::string TCustomEdit::GetText() const {
    if (auto* e = LineOf(this)) return FromQt(e->text());
    if (auto* p = PlainOf(this)) return FromQt(p->toPlainText());
    return {};
}

void TCustomEdit::SetText(const std::string& v) {
    if (auto* e = LineOf(this)) {
        if (e->text() != ToQt(v)) e->setText(ToQt(v));
    } else if (auto* p = PlainOf(this)) {
        p->setPlainText(ToQt(v));
    }
}

bool TCustomEdit::ReadOnly() const {
    if (auto* e = LineOf(this)) return e->isReadOnly();
    if (auto* p = PlainOf(this)) return p->isReadOnly();
    return false;
}
void TCustomEdit::SetReadOnly(bool v) {
    if (auto* e = LineOf(this)) e->setReadOnly(v);
    if (auto* p = PlainOf(this)) p->setReadOnly(v);
}
int TCustomEdit::MaxLength() const {
    auto* e = LineOf(this);
    return e && e->maxLength() != 32767 ? e->maxLength() : 0;
}
void TCustomEdit::SetMaxLength(int v) {
    if (auto* e = LineOf(this)) e->setMaxLength(v > 0 ? v : 32767);
}
int TCustomEdit::SelStart() const {
    if (auto* e = LineOf(this)) return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    if (auto* p = PlainOf(this)) return p->textCursor().selectionStart();
    return 0;
}
void TCustomEdit::SetSelStart(int v) {
    if (auto* e = LineOf(this)) e->setCursorPosition(v);
    if (auto* p = PlainOf(this)) {
        QTextCursor c = p->textCursor();
        c.setPosition(v);
        p->setTextCursor(c);
    }
}
int TCustomEdit::SelLength() const {
    if (auto* e = LineOf(this)) return int(e->selectedText().size());
    if (auto* p = PlainOf(this)) return int(p->textCursor().selectedText().size());
    return 0;
}
void TCustomEdit::SetSelLength(int v) {
    if (auto* e = LineOf(this)) e->setSelection(SelStart(), v);
    if (auto* p = PlainOf(this)) {
        QTextCursor c = p->textCursor();
        c.setPosition(c.selectionStart());
        c.setPosition(c.position() + v, QTextCursor::KeepAnchor);
        p->setTextCursor(c);
    }
}
std::string TCustomEdit::SelText() const {
    if (auto* e = LineOf(this)) return FromQt(e->selectedText());
    if (auto* p = PlainOf(this)) return FromQt(p->textCursor().selectedText());
    return {};
}
void TCustomEdit::SetSelText(const std::string& v) {
    if (auto* e = LineOf(this)) e->insert(ToQt(v));
    if (auto* p = PlainOf(this)) p->insertPlainText(ToQt(v));
}
void TCustomEdit::SelectAll() {
    if (auto* e = LineOf(this)) e->selectAll();
    if (auto* p = PlainOf(this)) p->selectAll();
}
void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SetSelText(""); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
bool TCustomEdit::Modified() const {
    if (auto* e = LineOf(this)) return e->isModified();
    if (auto* p = PlainOf(this)) return p->document()->isModified();
    return false;
}
void TCustomEdit::SetModified(bool v) {
    if (auto* e = LineOf(this)) e->setModified(v);
    if (auto* p = PlainOf(this)) p->document()->setModified(v);
}
TBorderStyle TCustomEdit::BorderStyle() const { return ED(this)->border; }
void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    ED(this)->border = v;
    if (auto* e = LineOf(this)) e->setFrame(v != bsNone);
    if (auto* p = PlainOf(this))
        p->setFrameStyle(v == bsNone ? QFrame::NoFrame : int(QFrame::StyledPanel) | int(QFrame::Sunken));
}
TEditCharCase TCustomEdit::CharCase() const { return ED(this)->charCase; }
void TCustomEdit::SetCharCase(TEditCharCase v) {
    ED(this)->charCase = v;
    SetText(GetText());
}
TAlignment TCustomEdit::Alignment() const {
    auto* e = LineOf(this);
    if (!e) return taLeftJustify;
    Qt::Alignment a = e->alignment() & Qt::AlignHorizontal_Mask;
    return a == Qt::AlignRight ? taRightJustify : a == Qt::AlignHCenter ? taCenter : taLeftJustify;
}
void TCustomEdit::SetAlignment(TAlignment v) {
    auto* e = LineOf(this);
    if (!e) return;
    Qt::Alignment h = v == taRightJustify ? Qt::AlignRight : v == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    e->setAlignment(h | Qt::AlignVCenter);
}
void TCustomEdit::SetTextMargins(int Left, int Right) {
    if (auto* e = LineOf(this)) e->setTextMargins(std::max(0, Left), 0, std::max(0, Right), 0);
}
bool TCustomEdit::AutoSelect() const { return ED(this)->autoSelect; }
void TCustomEdit::SetAutoSelect(bool v) { ED(this)->autoSelect = v; }

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (ED(this)->autoSelect && LineOf(this)) LineOf(this)->selectAll();
    TWinControl::DoEnter();
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner, new EditPrivate(NewWidget<QLineEdit>())) {
    auto* e = LineOf(this);
    QObject::connect(e, &QLineEdit::textChanged, e, [this, e](const QString& t) {
        auto* d = ED(this);
        if (d->charCase != ecNormal && !d->settingText) {
            QString c = d->charCase == ecUpperCase ? t.toUpper() : t.toLower();
            if (c != t) {
                d->settingText = true;
                int pos = e->cursorPosition();
                e->setText(c);
                e->setCursorPosition(pos);
                d->settingText = false;
            }
        }
        if (d->settingText) return;
        DispatchSafely(this, [this] { Change(); });
    });
    SetBounds(0, 0, 121, 21);
}
namespace {
// Echoes the edit's own password character instead of the style's dot.
class PasswordCharStyle : public QProxyStyle {
public:
    explicit PasswordCharStyle(char c) : ch(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return int(uchar(ch));
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
    char ch;
};
} // namespace

char TEdit::PasswordChar() const {
    auto* e = LineOf(this);
    if (e->echoMode() != QLineEdit::Password) return 0;
    auto* style = dynamic_cast<PasswordCharStyle*>(e->style());
    return style ? style->ch : '*';
}
void TEdit::SetPasswordChar(char v) {
    auto* e = LineOf(this);
    if (v) {
        auto* style = new PasswordCharStyle(v);
        style->setParent(e);
        QStyle* old = e->style();
        e->setStyle(style);
        if (dynamic_cast<PasswordCharStyle*>(old) && old->parent() == e) delete old;
    }
    e->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal);
}

// ------------------------------------------------------------ memo

static MemoPrivate* MD(const TMemo* m) { return static_cast<MemoPrivate*>(TControlPrivate::get(m)); }

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner, new MemoPrivate) {
    auto* d = MD(this);
    d->edit()->setTabChangesFocus(true);
    d->edit()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->edit()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->lines.changed = [d] {
        if (d->syncing) return;
        d->syncing = true;
        QString text;
        for (int i = 0; i < d->lines.Count(); ++i) {
            if (i) text += '\n';
            text += ToQt(d->lines.Strings(i));
        }
        d->edit()->setPlainText(text);
        d->syncing = false;
    };
    QObject::connect(d->edit(), &QPlainTextEdit::textChanged, d->edit(), [this, d] {
        if (!d->syncing) {
            d->syncing = true;
            d->lines.BeginUpdate();
            d->lines.Clear();
            QString t = d->edit()->toPlainText();
            if (!t.isEmpty())
                for (const QString& l : t.split('\n')) d->lines.Add(FromQt(l));
            d->lines.EndUpdate();
            d->syncing = false;
        }
        DispatchSafely(this, [this] { Change(); });
    });
    SetBounds(0, 0, 185, 89);
}
TMemo::~TMemo() { MD(this)->lines.changed = nullptr; }
// The control's own text: lines joined by CR LF, with no break after the
// last one (Lines()->Text() adds one, as a list's text does).
std::string TMemo::GetText() const {
    return FromQt(MD(this)->edit()->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}
void TMemo::SetText(const std::string& v) { MD(this)->lines.SetText(v); }
TStrings* TMemo::Lines() const { return &MD(this)->lines; }
bool TMemo::WordWrap() const { return MD(this)->edit()->lineWrapMode() != QPlainTextEdit::NoWrap; }
void TMemo::SetWordWrap(bool v) {
    MD(this)->edit()->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}
TScrollStyle TMemo::ScrollBars() const { return MD(this)->bars; }
void TMemo::SetScrollBars(TScrollStyle v) {
    auto* d = MD(this);
    d->bars = v;
    d->edit()->setHorizontalScrollBarPolicy(v == ssHorizontal || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                             : Qt::ScrollBarAlwaysOff);
    d->edit()->setVerticalScrollBarPolicy(v == ssVertical || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
}
TAlignment TMemo::Alignment() const { return MD(this)->alignment; }
void TMemo::SetAlignment(TAlignment v) { MD(this)->alignment = v; }
bool TMemo::WantReturns() const { return MD(this)->wantReturns; }
void TMemo::SetWantReturns(bool v) { MD(this)->wantReturns = v; }
bool TMemo::WantTabs() const { return MD(this)->wantTabs; }
void TMemo::SetWantTabs(bool v) {
    MD(this)->wantTabs = v;
    MD(this)->edit()->setTabChangesFocus(!v);
}

// ------------------------------------------------------------ buttons

TButton::TButton(TComponent* AOwner) : TButton(AOwner, new TControlPrivate(NewWidget<QPushButton>())) {}

TButton::TButton(TComponent* AOwner, TControlPrivate* dd) : TWinControl(AOwner, dd) {
    d_->clickOnRelease = false;
    d_->enterClicks = true;
    d_->fillBackground = false;
    d_->widget->setFocusPolicy(Qt::StrongFocus);
    if (auto* b = qobject_cast<QAbstractButton*>(d_->widget.data()))
        QObject::connect(b, &QAbstractButton::clicked, b, [this] { DispatchSafely(this, [this] { Click(); }); });
    if (auto* pb = qobject_cast<QPushButton*>(d_->widget.data())) pb->setAutoDefault(false);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetText(const std::string& v) {
    d_->text = v;
    if (auto* b = qobject_cast<QAbstractButton*>(d_->widget.data())) b->setText(ToQt(v));
}
bool TButton::Default() const { return d_->isDefault; }
void TButton::SetDefault(bool v) {
    d_->isDefault = v;
    if (auto* pb = qobject_cast<QPushButton*>(d_->widget.data())) pb->setDefault(v);
}
bool TButton::Cancel() const { return d_->isCancel; }
void TButton::SetCancel(bool v) { d_->isCancel = v; }
TModalResult TButton::ModalResult() const { return modalResult_; }
void TButton::SetModalResult(TModalResult v) { modalResult_ = v; }

void TButton::Click() {
    if (TCustomForm* f = GetParentForm()) f->SetModalResult(modalResult_);
    TWinControl::Click();
}

// ------------------------------------------------------------ check/radio

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, new TControlPrivate(NewWidget<QCheckBox>())) {
    d_->clickOnRelease = false;
    d_->fillBackground = false;
    auto* b = Widget<QCheckBox>(this);
    b->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(b, &QCheckBox::stateChanged, b, [this](int) { DispatchSafely(this, [this] { Click(); }); });
    SetBounds(0, 0, 97, 17);
}
void TCheckBox::SetText(const std::string& v) {
    d_->text = v;
    Widget<QCheckBox>(this)->setText(ToQt(v));
}
bool TCheckBox::Checked() const { return Widget<QCheckBox>(this)->checkState() == Qt::Checked; }
void TCheckBox::SetChecked(bool v) { Widget<QCheckBox>(this)->setCheckState(v ? Qt::Checked : Qt::Unchecked); }
TCheckBoxState TCheckBox::State() const {
    switch (Widget<QCheckBox>(this)->checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}
void TCheckBox::SetState(TCheckBoxState v) {
    Widget<QCheckBox>(this)->setCheckState(v == cbChecked  ? Qt::Checked
                                           : v == cbGrayed ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
}
bool TCheckBox::AllowGrayed() const { return Widget<QCheckBox>(this)->isTristate(); }
void TCheckBox::SetAllowGrayed(bool v) { Widget<QCheckBox>(this)->setTristate(v); }
TAlignment TCheckBox::Alignment() const {
    return Widget<QCheckBox>(this)->layoutDirection() == Qt::RightToLeft ? taLeftJustify : taRightJustify;
}
void TCheckBox::SetAlignment(TAlignment v) {
    Widget<QCheckBox>(this)->setLayoutDirection(v == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner, new TControlPrivate(NewWidget<QRadioButton>())) {
    d_->clickOnRelease = false;
    d_->fillBackground = false;
    auto* b = Widget<QRadioButton>(this);
    b->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(b, &QRadioButton::toggled, b, [this](bool on) {
        if (on) DispatchSafely(this, [this] { Click(); });
    });
    SetBounds(0, 0, 113, 17);
}
void TRadioButton::SetText(const std::string& v) {
    d_->text = v;
    Widget<QRadioButton>(this)->setText(ToQt(v));
}
bool TRadioButton::Checked() const { return Widget<QRadioButton>(this)->isChecked(); }
void TRadioButton::SetChecked(bool v) {
    if (v && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && r != this) {
                QSignalBlocker block(WidgetOf(r));
                Widget<QRadioButton>(r)->setChecked(false);
            }
    }
    Widget<QRadioButton>(this)->setChecked(v);
}

// ------------------------------------------------------------ group box

namespace {
class GroupPrivate : public TControlPrivate {
public:
    GroupPrivate() : TControlPrivate(NewWidget<QGroupBox>()) {
        inner = new QWidget(widget);
        widget->installEventFilter(this);
    }
    QWidget* client() const override { return inner; }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == widget && e->type() == QEvent::Resize) placeInner();
        return TControlPrivate::eventFilter(o, e);
    }
    void placeInner() {
        QFontMetrics fm(widget->font());
        int top = fm.height();
        inner->setGeometry(2, top, std::max(0, widget->width() - 4), std::max(0, widget->height() - top - 2));
    }
    QWidget* inner;
};
} // namespace

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner, new GroupPrivate) {
    d_->tabStop = false;
    SetBounds(0, 0, 185, 105);
    static_cast<GroupPrivate*>(d_)->placeInner();
}
void TGroupBox::SetText(const std::string& v) {
    d_->text = v;
    Widget<QGroupBox>(this)->setTitle(ToQt(v));
}

// ------------------------------------------------------------ combo box

static ComboPrivate* CD(const TComboBox* c) { return static_cast<ComboPrivate*>(TControlPrivate::get(c)); }

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new ComboPrivate) {
    auto* d = CD(this);
    d->parentColor = false;
    d->color = clWindow;
    d->applyColor();
    d->clickOnRelease = false;
    d->combo()->setEditable(true);
    d->combo()->setInsertPolicy(QComboBox::NoInsert);
    d->combo()->setFocusPolicy(Qt::StrongFocus);
    d->items.changed = [d] { RefillCombo(d); };
    QObject::connect(d->combo(), &QComboBox::currentTextChanged, d->combo(), [this, d](const QString&) {
        if (d->filling) return;
        DispatchSafely(this, [this] {
            if (OnChange) OnChange(this);
        });
    });
    QObject::connect(d->combo(), QOverload<int>::of(&QComboBox::activated), d->combo(), [this, d](int) {
        if (d->filling) return;
        DispatchSafely(this, [this] {
            if (OnSelect) OnSelect(this);
            Click();
        });
    });
    SetBounds(0, 0, 145, 21);
}
TComboBox::~TComboBox() { CD(this)->items.changed = nullptr; }
std::string TComboBox::GetText() const { return FromQt(CD(this)->combo()->currentText()); }
void TComboBox::SetText(const std::string& v) {
    auto* d = CD(this);
    if (d->style == csDropDownList)
        d->combo()->setCurrentIndex(d->combo()->findText(ToQt(v)));
    else
        d->combo()->setEditText(ToQt(v));
}
TStrings* TComboBox::Items() const { return &CD(this)->items; }
int TComboBox::ItemIndex() const {
    auto* d = CD(this);
    if (d->style != csDropDownList && d->combo()->currentIndex() >= 0 &&
        d->combo()->currentText() != d->combo()->itemText(d->combo()->currentIndex()))
        return -1;
    return d->combo()->currentIndex();
}
void TComboBox::SetItemIndex(int v) {
    auto* d = CD(this);
    if (v < -1 || v >= d->combo()->count()) v = -1;
    d->combo()->setCurrentIndex(v);
    if (v < 0 && d->combo()->isEditable()) d->combo()->setEditText("");
}
TComboBoxStyle TComboBox::Style() const { return CD(this)->style; }
void TComboBox::SetStyle(TComboBoxStyle v) {
    auto* d = CD(this);
    d->style = v;
    d->combo()->setEditable(v != csDropDownList && v != csOwnerDrawFixed && v != csOwnerDrawVariable);
    if (d->combo()->lineEdit()) d->bridge(d->combo()->lineEdit());
}
int TComboBox::DropDownCount() const { return CD(this)->combo()->maxVisibleItems(); }
void TComboBox::SetDropDownCount(int v) { CD(this)->combo()->setMaxVisibleItems(v); }
int TComboBox::MaxLength() const { return CD(this)->maxLength; }
void TComboBox::SetMaxLength(int v) {
    auto* d = CD(this);
    d->maxLength = v;
    if (d->combo()->lineEdit()) d->combo()->lineEdit()->setMaxLength(v > 0 ? v : 32767);
}
bool TComboBox::Sorted() const { return CD(this)->items.Sorted(); }
void TComboBox::SetSorted(bool v) { CD(this)->items.SetSorted(v); }
bool TComboBox::DroppedDown() const { return CD(this)->combo()->view()->isVisible(); }
void TComboBox::SetDroppedDown(bool v) {
    if (v) {
        DispatchSafely(this, [this] {
            if (OnDropDown) OnDropDown(this);
        });
        CD(this)->combo()->showPopup();
    } else {
        CD(this)->combo()->hidePopup();
    }
}
void TComboBox::SelectAll() {
    if (auto* e = CD(this)->combo()->lineEdit()) e->selectAll();
}
void TComboBox::Clear() {
    CD(this)->items.Clear();
    SetText("");
}
int TComboBox::ItemHeight() const { return CD(this)->itemHeight; }
void TComboBox::SetItemHeight(int v) { CD(this)->itemHeight = v; }

// ------------------------------------------------------------ list box

static ListPrivate* LBD(const TListBox* l) { return static_cast<ListPrivate*>(TControlPrivate::get(l)); }

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner, new ListPrivate) {
    auto* d = LBD(this);
    d->parentColor = false;
    d->color = clWindow;
    d->applyColor();
    d->list()->setFocusPolicy(Qt::StrongFocus);
    d->list()->setItemDelegate(d->delegate);
    // A click on an item is reported by the list (below), not by the release.
    d->clickOnRelease = false;
    d->items.changed = [d] { RefillList(d); };
    d->bridge(d->list()->viewport());
    QObject::connect(d->list(), &QListWidget::itemClicked, d->list(), [this, d](QListWidgetItem*) {
        if (d->filling) return;
        DispatchSafely(this, [this] { Click(); });
    });
    SetBounds(0, 0, 121, 97);
}
TListBox::~TListBox() { LBD(this)->items.changed = nullptr; }
TStrings* TListBox::Items() const { return &LBD(this)->items; }
int TListBox::ItemIndex() const { return LBD(this)->list()->currentRow(); }
void TListBox::SetItemIndex(int v) { LBD(this)->list()->setCurrentRow(v); }
bool TListBox::MultiSelect() const {
    return LBD(this)->list()->selectionMode() == QAbstractItemView::ExtendedSelection;
}
void TListBox::SetMultiSelect(bool v) {
    LBD(this)->list()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}
bool TListBox::Selected(int i) const {
    auto* it = LBD(this)->list()->item(i);
    if (!it) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return it->isSelected();
}
void TListBox::SetSelected(int i, bool v) {
    auto* it = LBD(this)->list()->item(i);
    if (!it) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    it->setSelected(v);
}
int TListBox::SelCount() const { return int(LBD(this)->list()->selectedItems().size()); }
bool TListBox::Sorted() const { return LBD(this)->items.Sorted(); }
void TListBox::SetSorted(bool v) { LBD(this)->items.SetSorted(v); }
TListBoxStyle TListBox::Style() const { return LBD(this)->style; }
void TListBox::SetStyle(TListBoxStyle v) {
    LBD(this)->style = v;
    LBD(this)->list()->doItemsLayout();
}
int TListBox::ItemHeight() const { return LBD(this)->itemHeight; }
void TListBox::SetItemHeight(int v) {
    LBD(this)->itemHeight = v;
    LBD(this)->list()->doItemsLayout();
}
int TListBox::TopIndex() const {
    auto* l = LBD(this)->list();
    QListWidgetItem* it = l->itemAt(2, 2);
    return it ? l->row(it) : 0;
}
void TListBox::SetTopIndex(int v) {
    auto* l = LBD(this)->list();
    if (auto* it = l->item(v)) l->scrollToItem(it, QAbstractItemView::PositionAtTop);
}
int TListBox::Columns() const { return 0; }
void TListBox::SetColumns(int) {}
TCanvas* TListBox::Canvas() const { return d_->canvas; }
TRect TListBox::ItemRect(int i) const {
    auto* l = LBD(this)->list();
    QRect r = l->visualItemRect(l->item(i));
    return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}
int TListBox::ItemAtPos(TPoint p, bool Existing) const {
    auto* l = LBD(this)->list();
    QListWidgetItem* it = l->itemAt(p.X, p.Y);
    if (it) return l->row(it);
    return Existing ? -1 : l->count();
}
void TListBox::Clear() { LBD(this)->items.Clear(); }

// ------------------------------------------------------------ scroll bar

TScrollBar::TScrollBar(TComponent* AOwner)
    : TWinControl(AOwner, new TControlPrivate(NewWidget<QScrollBar>(Qt::Horizontal))) {
    auto* b = Widget<QScrollBar>(this);
    b->setRange(0, 100);
    b->setPageStep(1);
    b->setFocusPolicy(Qt::StrongFocus);
    d_->clickOnRelease = false;
    QObject::connect(b, &QScrollBar::actionTriggered, b, [this, b](int action) {
        TScrollCode code = scPosition;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
        case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
        case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
        case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
        case QAbstractSlider::SliderMove: code = scTrack; break;
        default: break;
        }
        int pos = b->sliderPosition();
        DispatchSafely(this, [&] {
            if (OnScroll) OnScroll(this, code, pos);
        });
        b->setSliderPosition(pos);
    });
    QObject::connect(b, &QScrollBar::valueChanged, b, [this](int) {
        DispatchSafely(this, [this] {
            if (OnChange) OnChange(this);
        });
    });
    SetBounds(0, 0, 121, 17);
}
TScrollBarKind TScrollBar::Kind() const {
    return Widget<QScrollBar>(this)->orientation() == Qt::Horizontal ? sbHorizontal : sbVertical;
}
void TScrollBar::SetKind(TScrollBarKind v) {
    Widget<QScrollBar>(this)->setOrientation(v == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
}
int TScrollBar::Min() const { return Widget<QScrollBar>(this)->minimum(); }
void TScrollBar::SetMin(int v) { Widget<QScrollBar>(this)->setMinimum(v); }
int TScrollBar::Max() const { return Widget<QScrollBar>(this)->maximum(); }
void TScrollBar::SetMax(int v) { Widget<QScrollBar>(this)->setMaximum(v); }
int TScrollBar::Position() const { return Widget<QScrollBar>(this)->value(); }
void TScrollBar::SetPosition(int v) { Widget<QScrollBar>(this)->setValue(v); }
int TScrollBar::PageSize() const { return Widget<QScrollBar>(this)->pageStep(); }
void TScrollBar::SetPageSize(int v) { Widget<QScrollBar>(this)->setPageStep(v); }
int TScrollBar::SmallChange() const { return Widget<QScrollBar>(this)->singleStep(); }
void TScrollBar::SetSmallChange(int v) { Widget<QScrollBar>(this)->setSingleStep(v); }
int TScrollBar::LargeChange() const { return Widget<QScrollBar>(this)->pageStep(); }
void TScrollBar::SetLargeChange(int v) { Widget<QScrollBar>(this)->setPageStep(v); }
void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    auto* b = Widget<QScrollBar>(this);
    b->setRange(AMin, AMax);
    b->setValue(APosition);
}
