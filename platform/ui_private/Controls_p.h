// Platform-only side of the control hierarchy: the private part each control
// keeps (its widget, parent, children, align, font and colour state) and the
// event bridge that turns Qt events into the controls' virtual methods.
// Brings Qt in; only platform/ui code includes it.
#pragma once

#include <QAbstractScrollArea>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"

class TDialogKeyHandler;


// Lifetime: the control owns its widget. Qt would delete child widgets with
// their parent, so a dying control first hands its child controls' widgets
// back (unparents them); every control's widget dies only with its control.
class TControlPrivate : public QObject {
public:
    explicit TControlPrivate(QWidget* w);
    ~TControlPrivate() override;
    // The private part of any control (nullptr for nullptr); a subclass's
    // own part is reached with its own typed get (TFormPrivate::get).
    static TControlPrivate* get(const TControl* c) { return c ? c->d_ : nullptr; }
    // Entry points the widgets use to reach protected virtuals.
    static void paint(TCustomControl* c);
    static void paint(TGraphicControl* c);
    static void scroll(TCustomControl* c, TScrollBarKind kind, TScrollCode code, int pos);

    // The widget holding the whole control and the one its children go into
    // (a scroll area's viewport, a form's client area, a group box's inside).
    virtual QWidget* outer() const { return widget; }
    virtual QWidget* client() const { return widget; }
    // The widget receiving mouse events in client coordinates.
    virtual QWidget* mouseTarget() const { return client(); }

    // Installs the event bridge on w (and remembers it as belonging to q).
    void bridge(QWidget* w);
    bool eventFilter(QObject* o, QEvent* e) override;
    // The whole key pipeline of TWinControl; true when e was consumed here.
    bool keyPressed(QWidget* target, QKeyEvent* e);
    bool keyReleased(QWidget* target, QKeyEvent* e);
    void applyColor();
    void applyFont();
    // Both at once, in one palette write: a control joining its parent
    // takes its colour and its font's colour together.
    void applyColorAndFont();
    void parentFontChanged();
    void parentColorChanged();

    TControl* q = nullptr;
    QPointer<QWidget> widget;
    TWinControl* parent = nullptr;
    std::vector<TControl*> children;
    TAlign align = alNone;
    bool visible = true;
    bool enabled = true;
    TColor color = clBtnFace;
    bool parentColor = false;
    // Paint the background with color (off for transparent labels).
    bool fillBackground = true;
    std::unique_ptr<TFont> font;
    bool parentFont = true;
    bool inheritingFont = false;
    // A font change waits for applyColorAndFont (SetParent).
    bool holdFont = false;
    std::string text;
    std::string hint;
    bool showHint = false;
    TCursor cursor = crDefault;
    TPopupMenu* popupMenu = nullptr;
    int tabOrder = 0;
    bool tabStop = false;
    // Mouse release inside fires Click (controls without a native click).
    bool clickOnRelease = true;
    // Keys left after the pipeline go to the widget's own editing.
    bool passKeysToWidget = true;
    // Enter on the focused control presses it (buttons).
    bool enterClicks = false;
    // The form's Default / Cancel button (Enter / Esc press it).
    bool isDefault = false;
    bool isCancel = false;
    // Answers Enter, Esc and accelerators for a control that is no push
    // button (DialogKeys.h); not owned.
    TDialogKeyHandler* dialogKeys = nullptr;
    // Last press was the second of a double click: no Click on release.
    bool inDoubleClick = false;
    // Controls whose parent area is a child of ours get their own order.
    std::vector<TWinControl*> tabOrderList;
    bool capture = false;
    TDragMode dragMode = dmManual;
    // A window of its own over its parent's window (SetDropDownWindow).
    bool dropDownWindow = false;
    bool aligning = false;
    TCanvas* canvas = nullptr;
};

// Starts the application (and so the window system) if need be: widgets
// may only be made after it.
void EnsureApplication();
// Every control widget is made through this, since a control's widget is
// made before the control's own constructor runs.
template <class W, class... A>
W* NewWidget(A&&... args) {
    EnsureApplication();
    return new W(std::forward<A>(args)...);
}

// The widget of a custom control: a scroll area whose viewport is the
// client area the control paints; the bars only report, they move nothing.
class CustomArea : public QAbstractScrollArea {
public:
    TCustomControl* control = nullptr;
    void paintEvent(QPaintEvent*) override;
    void scrollContentsBy(int, int) override {}
    void barAction(TScrollBarKind kind, QScrollBar* bar, int action);
};

// A custom control's private part. A control derived from TCustomControl
// (a grid) brings a larger one through the protected constructor.
class CustomControlPrivate : public TControlPrivate {
public:
    CustomControlPrivate();
    CustomArea* area() const { return static_cast<CustomArea*>(widget.data()); }
    QWidget* client() const override { return area() ? area()->viewport() : nullptr; }
    TScrollStyle bars = ssNone;
    TBorderStyle border = bsNone;
};

// The control a widget belongs to, looking up through its parents.
TControl* ControlOfWidget(QWidget* w);
QWidget* WidgetOf(const TControl* c);
QWidget* ClientWidgetOf(const TControl* c);

// Key translation both ways (0 / Qt::Key_unknown when there is none).
Word QtKeyToVK(int qtKey, Qt::KeyboardModifiers mods);
int VKToQtKey(Word vk);
TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
Qt::KeyboardModifiers ModifiersOf(TShiftState shift);
// "&Save" -> "&Save" (Qt shares the ampersand rule); "&&" stays literal.
QString ToQt(const std::string& s);
std::string FromQt(const QString& s);
