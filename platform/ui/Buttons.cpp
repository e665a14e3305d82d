// Picture buttons on QPushButton/QToolButton with the glyph as an icon.
#include "Buttons.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include "Canvas_p.h"
#include "Controls_p.h"

// The up image of a glyph strip with its transparent colour cut out.
static QIcon GlyphIcon(TBitmap* glyph, int numGlyphs) {
    if (!glyph || glyph->Empty()) return {};
    QImage img = BitmapImage(glyph).convertToFormat(QImage::Format_ARGB32);
    int w = img.width() / std::max(1, numGlyphs);
    img = img.copy(0, 0, w, img.height());
    QRgb key = img.pixel(0, img.height() - 1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == key) img.setPixel(x, y, qRgba(0, 0, 0, 0));
    return QIcon(QPixmap::fromImage(img));
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), glyph_(new TBitmap) {
    glyph_->OnChange = [this](TObject*) { glyphChanged(); };
}

TBitBtn::~TBitBtn() { delete glyph_; }

void TBitBtn::glyphChanged() {
    auto* b = static_cast<QPushButton*>(d_->widget.data());
    QIcon icon = GlyphIcon(glyph_, numGlyphs_);
    b->setIcon(icon);
    if (!icon.isNull()) b->setIconSize(icon.availableSizes().value(0, QSize(16, 16)));
}

void TBitBtn::SetGlyph(TBitmap* v) {
    glyph_->Assign(v);
    glyphChanged();
}

void TBitBtn::SetNumGlyphs(int v) {
    numGlyphs_ = std::max(1, v);
    glyphChanged();
}

void TBitBtn::SetKind(TBitBtnKind v) {
    kind_ = v;
    struct K {
        const char* caption;
        TModalResult mr;
        bool def;
        bool cancel;
    };
    static const K kinds[] = {
        {nullptr, mrNone, false, false},     {"OK", mrOk, true, false},       {"Cancel", mrCancel, false, true},
        {"&Help", mrNone, false, false},     {"&Yes", mrYes, true, false},    {"&No", mrNo, false, true},
        {"&Close", mrNone, false, false},    {"Abort", mrAbort, false, true}, {"&Retry", mrRetry, false, false},
        {"&Ignore", mrIgnore, false, false}, {"&All", mrAll, false, false},
    };
    const K& k = kinds[v];
    if (!k.caption) return;
    SetCaption(k.caption);
    SetModalResult(k.mr);
    SetDefault(k.def);
    SetCancel(k.cancel);
}

void TBitBtn::SetLayout(TButtonLayout v) {
    layout_ = v;
    static_cast<QPushButton*>(d_->widget.data())
        ->setLayoutDirection(v == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TBitBtn::Click() {
    TButton::Click();
    if (kind_ == bkClose)
        if (TCustomForm* f = GetParentForm()) f->Close();
}

// ------------------------------------------------------------ speed button

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TControl(AOwner, new TControlPrivate(NewWidget<QToolButton>())), glyph_(new TBitmap) {
    auto* b = static_cast<QToolButton*>(d_->widget.data());
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    d_->clickOnRelease = false;
    d_->fillBackground = false;
    QObject::connect(b, &QToolButton::clicked, b, [this] { DispatchSafely(this, [this] { Click(); }); });
    glyph_->OnChange = [this](TObject*) { glyphChanged(); };
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { delete glyph_; }

void TSpeedButton::SetText(const std::string& v) {
    d_->text = v;
    static_cast<QToolButton*>(d_->widget.data())->setText(ToQt(v));
}

bool TSpeedButton::Down() const { return down_; }

void TSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0 && v) v = false;
    down_ = v;
    auto* b = static_cast<QToolButton*>(d_->widget.data());
    b->setCheckable(groupIndex_ != 0);
    b->setChecked(v);
    if (v && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* s = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                s && s != this && s->groupIndex_ == groupIndex_ && s->down_)
                s->SetDown(false);
    }
}

bool TSpeedButton::Flat() const { return static_cast<QToolButton*>(d_->widget.data())->autoRaise(); }
void TSpeedButton::SetFlat(bool v) { static_cast<QToolButton*>(d_->widget.data())->setAutoRaise(v); }

void TSpeedButton::glyphChanged() {
    auto* b = static_cast<QToolButton*>(d_->widget.data());
    QIcon icon = GlyphIcon(glyph_, numGlyphs_);
    b->setIcon(icon);
    b->setToolButtonStyle(d_->text.empty()        ? Qt::ToolButtonIconOnly
                          : layout_ == blGlyphTop ? Qt::ToolButtonTextUnderIcon
                                                  : Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::SetGlyph(TBitmap* v) {
    glyph_->Assign(v);
    glyphChanged();
}

void TSpeedButton::SetNumGlyphs(int v) {
    numGlyphs_ = std::max(1, v);
    glyphChanged();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
    layout_ = v;
    glyphChanged();
}

void TSpeedButton::Click() {
    if (groupIndex_ != 0) {
        if (!down_)
            SetDown(true);
        else if (allowAllUp_)
            SetDown(false);
        else
            SetDown(true);
    }
    TControl::Click();
}
