// Forms, the application object and the screen on Qt top-level widgets and
// an MDI area. Modal shows and message boxes are handed to the dialog seam
// (DialogSeam.cpp), which comes back to RunModalLoop for real windows.
#include "Forms_p.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QTranslator>
#include <QWindow>
#include <QLayout>
#include <QLocale>
#include <algorithm>
#include <cctype>
#include <functional>
#include <ranges>
#include <unistd.h>

#include "ActnList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Activation_p.h"
#include "Canvas_p.h"
#include "DialogKeys.h"
#include "DialogSeam.h"
#include "Menus_p.h"
#include "ScopeExit.h"
#include "SysUtils.h"

// ------------------------------------------------------------ globals

namespace {
std::vector<TCustomForm*>& AllForms() {
    static std::vector<TCustomForm*> forms;
    return forms;
}
// The two objects behind Application and Screen, made on first use.
TApplication* g_app = nullptr;
TScreen* g_screen = nullptr;

QApplication* EnsureQt() {
    if (auto* a = qobject_cast<QApplication*>(QCoreApplication::instance())) return a;
    static int argc = 1;
    static char arg0[] = "quillory";
    static char* argv[] = {arg0, nullptr};
    auto* a = new QApplication(argc, argv);
    InstallFontSubstitutions();
    // A Chinese program whatever the system's language: calendars, dates
    // and numbers the toolkit writes itself follow this locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Child windows' captions are Chinese: measured in the toolkit's Latin
    // default face, the taller fallback glyphs lost their tops and the last
    // one its right half.
    QFont caption(QStringLiteral("宋体"), 9);
    caption.setBold(true);
    QApplication::setFont(caption, "QMdiSubWindowTitleBar");
    return a;
}

// The toolkit's own texts (file dialogs, standard buttons) from the
// Chinese catalogues shipped beside the program; a missing catalogue
// leaves the toolkit's English.
void LoadToolkitTranslations(const std::string& dir) {
    static std::vector<QTranslator*> loaded;
    for (QTranslator* t : loaded) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    loaded.clear();
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* t = new QTranslator;
        if (t->load(QString::fromLatin1(name), ToQt(dir)) && QCoreApplication::installTranslator(t))
            loaded.push_back(t);
        else
            delete t;
    }
}
} // namespace

class TApplicationPrivate {
public:
    // The application's part, or nullptr before Application was first used
    // (a form may be destroyed without ever making it).
    static TApplicationPrivate* get() { return g_app ? g_app->d_.get() : nullptr; }
    static TCustomForm* theMainForm() { return g_app ? g_app->d_->mainForm : nullptr; }
    static bool isTerminated() { return g_app && g_app->d_->terminated; }

    TCustomForm* mainForm = nullptr;
    bool terminated = false;
    // The loop Run is in; Terminate quits it.
    QEventLoop* runLoop = nullptr;
    std::string title;
    std::string helpFile;
    bool showHint = true;
    TColor hintColor = clInfoBk;
    int hintPause = 500, hintHidePause = 2500, hintShortPause = 50;
};

template <>
TApplication* TGlobalRef<TApplication>::get() const {
    if (!g_app) {
        EnsureQt();
        g_app = new TApplication;
    }
    return g_app;
}

template <>
TScreen* TGlobalRef<TScreen>::get() const {
    if (!g_screen) {
        Application.get();
        g_screen = new TScreen;
    }
    return g_screen;
}

TGlobalRef<TApplication> Application;

void EnsureApplication() { Application.get(); }
TGlobalRef<TScreen> Screen;

bool DispatchSafely(TObject* Sender, const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        Application->HandleException(Sender, e);
    } catch (const std::exception& e) {
        Application->HandleException(Sender, Exception(e.what()));
    }
    return false;
}

TCustomForm* GetParentForm(TControl* c) {
    for (; c; c = c->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            if (!f->Parent()) return f;
    return nullptr;
}

// ------------------------------------------------------------ form widget

void FormWidget::layoutParts() {
    int top = 0;
    if (menuBar && menuBar->isVisibleTo(this)) {
        int h = menuBar->sizeHint().height();
        menuBar->setGeometry(0, 0, width(), h);
        top = h;
    }
    if (clientArea) clientArea->setGeometry(0, top, width(), std::max(0, height() - top));
}

void FormWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutParts();
}

void FormWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (!form) return;
    TCustomForm* f = form;
    DispatchSafely(f, [f] { f->Close(); });
}

void FormWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !form) return;
    TCustomForm* f = form;
    if (FormD(f)->sub) return;
    if (isActiveWindow())
        DispatchSafely(f, [f] { TFormPrivate::activate(f, true); });
    else
        DispatchSafely(f, [f] { TFormPrivate::activate(f, false); });
}

void FormWidget::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    layoutParts();
}

void TFormPrivate::activate(TCustomForm* f, bool active) {
    if (active)
        f->Activate();
    else
        f->Deactivate();
}

TFormPrivate::TFormPrivate() : TControlPrivate(NewWidget<FormWidget>()) {
    auto* w = top();
    w->setWindowFlag(Qt::Window, true);
    w->clientArea = new QWidget(w);
    w->clientArea->setFocusPolicy(Qt::NoFocus);
    w->setFocusPolicy(Qt::NoFocus);
    w->resize(320, 240);
    visible = false;
    tabStop = false;
}

// ------------------------------------------------------------ TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner, new TFormPrivate) {
    auto* d = FormD(this);
    d->top()->form = this;
    d->parentColor = false;
    d->parentFont = false;
    d->color = clBtnFace;
    d->applyColor();
    d->applyFont();
    d->tabStop = false;
    d->bridge(d->top()->clientArea);
    AllForms().push_back(this);
}

TCustomForm::~TCustomForm() {
    // Taking the window out of its MDI frame moves focus too; see ~TControl.
    Destroying();
    auto* d = FormD(this);
    if (!d->destroyFired) {
        d->destroyFired = true;
        DispatchSafely(this, [this] {
            if (OnDestroy) OnDestroy(this);
        });
    }
    if (d->loop) d->loop->quit();
    auto& all = AllForms();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (auto* app = TApplicationPrivate::get(); app && app->mainForm == this) app->mainForm = nullptr;
    if (d->menu) d->menu->OnChangedInternal = nullptr;
    if (d->mdiArea) {
        // Children outlive their frame's window as hidden windows of their
        // own, so that deleting them later stays safe.
        for (QMdiSubWindow* s : d->mdiArea->subWindowList()) {
            auto* fw = dynamic_cast<FormWidget*>(s->widget());
            if (!fw || !fw->form) continue;
            TFormPrivate* cd = FormD(fw->form);
            cd->visible = false;
            s->setWidget(nullptr);
            fw->setParent(nullptr);
            fw->hide();
            cd->sub = nullptr;
            delete s;
        }
    }
    d->top()->form = nullptr;
    if (d->sub) {
        d->sub->setWidget(nullptr);
        d->top()->setParent(nullptr);
        delete d->sub.data();
    }
}

void TCustomForm::SetText(const std::string& v) {
    d_->text = v;
    d_->widget->setWindowTitle(ToQt(v));
}

std::string TCustomForm::GetText() const { return d_->text; }

// An MDI child that asked for a client size gets a frame around it: the
// title bar and borders of its sub-window are known only once the
// sub-window exists and is polished.
static void FitMdiFrameToClient(TCustomForm* form) {
    auto* d = FormD(form);
    if (!d->sub || (d->wantedClient.width() <= 0 && d->wantedClient.height() <= 0)) return;
    // The sub-window lays its frame out only when it shows; the style
    // gives the same title bar and border (the sub-window adds 4 pixels of
    // border to a title bar).
    QMdiSubWindow* sub = d->sub;
    QStyleOptionTitleBar opt;
    opt.initFrom(sub);
    opt.titleBarFlags = sub->windowFlags();
    opt.titleBarState = sub->windowState();
    opt.text = sub->windowTitle();
    const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub) + 4;
    QLayout* frameLayout = sub->layout();
    QMargins frame = frameLayout ? frameLayout->contentsMargins() : QMargins();
    if (frame.isNull()) frame = QMargins(border, title, border, border);
    // The form's own parts (a menu) around its client area.
    const QSize parts = d->top()->size() - d->client()->size();
    const int w = d->wantedClient.width() > 0 ? d->wantedClient.width() + parts.width() + frame.left() + frame.right()
                                              : d->sub->width();
    const int h = d->wantedClient.height() > 0
                      ? d->wantedClient.height() + parts.height() + frame.top() + frame.bottom()
                      : d->sub->height();
    d->sub->resize(w, h);
    if (frameLayout) frameLayout->activate();
}

void TCustomForm::SetVisible(bool v) {
    auto* d = FormD(this);
    if (v) {
        DoCreate();
        if (d->formStyle == fsMDIChild && !d->sub) SetFormStyle(fsMDIChild);
        if (!d->positioned) {
            d->positioned = true;
            QRect avail = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                           : QRect(0, 0, 1024, 768);
            QWidget* o = d->outer();
            QRect area = avail;
            if (d->sub && d->sub->mdiArea()) area = d->sub->mdiArea()->viewport()->rect();
            if (d->position == poMainFormCenter && TApplicationPrivate::theMainForm() &&
                TApplicationPrivate::theMainForm() != this)
                area = WidgetOf(TApplicationPrivate::theMainForm())->geometry();
            if (d->position == poScreenCenter || d->position == poDesktopCenter || d->position == poMainFormCenter ||
                d->position == poOwnerFormCenter)
                o->move(area.x() + (area.width() - o->width()) / 2, area.y() + (area.height() - o->height()) / 2);
        }
        if (d->visible && d->outer()->isVisible()) return;
        d->visible = true;
        QWidget* o = d->outer();
        if (d->owner && !d->sub) {
            d->top()->winId();
            d->top()->windowHandle()->setTransientParent(d->owner->windowHandle());
        }
        switch (d->windowState) {
        case wsMaximized:
            // Without a window manager nobody honours the request: the
            // window fills the screen's working area itself.
            if (!d->sub) {
                QScreen* screen = o->screen() ? o->screen() : QGuiApplication::primaryScreen();
                if (screen) o->setGeometry(screen->availableGeometry());
            }
            o->showMaximized();
            break;
        case wsMinimized: o->showMinimized(); break;
        default: o->show(); break;
        }
        d->top()->show();
        FitMdiFrameToClient(this);
        d->top()->layoutParts();
        Realign();
        if (d->noActivate) {
            // Focus given here would activate the window.
        } else if (d->pendingActive && d->pendingActive->CanFocus())
            d->pendingActive->SetFocus();
        else if (!ActiveControl() || ActiveControl() == this)
            if (TWinControl* first = FindNextControl(nullptr, true, true)) first->SetFocus();
        DoShow();
    } else {
        if (!d->visible) return;
        d->visible = false;
        d->outer()->hide();
        DoHide();
    }
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    auto* d = FormD(this);
    if (!d->sub) {
        d->top()->setMinimumSize(0, 0);
        d->top()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    LockFormSize(this);
    FormD(this)->top()->layoutParts();
}

TRect TCustomForm::ClientRect() const {
    auto* d = FormD(this);
    d->top()->layoutParts();
    QWidget* c = d->client();
    return Rect(0, 0, c->width(), c->height());
}

TFormBorderStyle TCustomForm::BorderStyle() const { return FormD(this)->borderStyle; }
void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    FormD(this)->borderStyle = v;
    ApplyWindowFlags(this);
}
TBorderIcons TCustomForm::BorderIcons() const { return FormD(this)->borderIcons; }
void TCustomForm::SetBorderIcons(TBorderIcons v) {
    FormD(this)->borderIcons = v;
    ApplyWindowFlags(this);
}

void ApplyWindowFlags(TCustomForm* form) {
    auto* d = FormD(form);
    if (d->sub) return;
    QWidget* w = d->top();
    bool wasVisible = w->isVisible();
    Qt::WindowFlags f = Qt::Window;
    switch (d->borderStyle) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    default: f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint; break;
    }
    if (d->borderIcons.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (d->borderStyle != bsDialog && d->borderStyle != bsToolWindow && d->borderStyle != bsSizeToolWin) {
        if (d->borderIcons.Contains(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
        if (d->borderIcons.Contains(biMaximize)) f |= Qt::WindowMaximizeButtonHint;
    }
    if (d->formStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    if (d->noActivate) {
        // The offscreen platform activates every window it shows but a
        // tooltip.
        bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
        f = (f & ~Qt::WindowType_Mask) | (offscreen ? Qt::ToolTip : Qt::Tool) | Qt::WindowDoesNotAcceptFocus;
    }
    w->setAttribute(Qt::WA_ShowWithoutActivating, d->noActivate);
    QRect g = w->geometry();
    w->setWindowFlags(f);
    w->setGeometry(g);
    LockFormSize(form);
    if (wasVisible) w->show();
}

// A fixed border stops the user from resizing, never the code: the lock is
// lifted around every size the program sets.
void LockFormSize(TCustomForm* form) {
    auto* d = FormD(form);
    if (d->sub) return;
    QWidget* w = d->top();
    if (d->borderStyle == bsSingle || d->borderStyle == bsDialog || d->borderStyle == bsToolWindow) {
        w->setFixedSize(w->size());
    } else {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

bool TCustomForm::NoActivate() const { return FormD(this)->noActivate; }
void TCustomForm::SetNoActivate(bool v) {
    auto* d = FormD(this);
    if (v == d->noActivate) return;
    d->noActivate = v;
    ApplyWindowFlags(this);
}

void TCustomForm::SetOwnerForm(TCustomForm* owner) {
    auto* d = FormD(this);
    d->owner = owner ? FormD(owner)->top() : nullptr;
    if (d->sub) return;
    // Set again before every show: a change of flags makes a new window.
    if (d->top()->windowHandle())
        d->top()->windowHandle()->setTransientParent(d->owner ? d->owner->windowHandle() : nullptr);
}

TPosition TCustomForm::Position() const { return FormD(this)->position; }
void TCustomForm::SetPosition(TPosition v) { FormD(this)->position = v; }
TWindowState TCustomForm::WindowState() const { return FormD(this)->windowState; }
void TCustomForm::SetWindowState(TWindowState v) {
    auto* d = FormD(this);
    d->windowState = v;
    if (!d->outer()->isVisible()) return;
    if (v == wsMaximized)
        d->outer()->showMaximized();
    else if (v == wsMinimized)
        d->outer()->showMinimized();
    else
        d->outer()->showNormal();
}

TFormStyle TCustomForm::FormStyle() const { return FormD(this)->formStyle; }

void TCustomForm::SetFormStyle(TFormStyle v) {
    auto* d = FormD(this);
    d->formStyle = v;
    if (v == fsMDIForm && !d->mdiArea) {
        d->mdiArea = new QMdiArea(d->client());
        d->mdiArea->setBackground(QBrush(QColor(128, 128, 128)));
        // Closing the front child brings forward the one used before it.
        d->mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
        d->mdiArea->show();
        QObject::connect(d->mdiArea, &QMdiArea::subWindowActivated, d->mdiArea, [](QMdiSubWindow* s) {
            if (!s) return;
            auto* fw = dynamic_cast<FormWidget*>(s->widget());
            if (fw && fw->form) {
                TCustomForm* f = fw->form;
                DispatchSafely(f, [f] { TFormPrivate::activate(f, true); });
            }
        });
        Realign();
    } else if (v == fsMDIChild && !d->sub) {
        TCustomForm* frame = TApplicationPrivate::theMainForm();
        if (!frame || !FormD(frame)->mdiArea) {
            for (TCustomForm* f : AllForms())
                if (f != this && FormD(f)->mdiArea) frame = f;
        }
        if (!frame || !FormD(frame)->mdiArea)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        QSize size = d->top()->size();
        QPoint pos = d->top()->pos();
        d->sub = FormD(frame)->mdiArea->addSubWindow(d->top());
        d->sub->setAttribute(Qt::WA_DeleteOnClose, false);
        // No toolkit logo in the child's caption: an empty icon of its own.
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        d->sub->setWindowIcon(QIcon(blank));
        // Keys belong to the forms' own pipeline: the child's system menu
        // must not take Ctrl+F4 (the reader window's command key) or Ctrl+W
        // to close the child.
        if (QMenu* system = d->sub->systemMenu())
            for (QAction* a : system->actions()) a->setShortcuts({});
        d->sub->setProperty("_tcontrol", QVariant::fromValue<void*>(this));
        d->sub->resize(size);
        d->sub->move(pos);
        d->sub->installEventFilter(d);
        FitMdiFrameToClient(this);
        if (!d->visible) d->sub->hide();
    }
    ApplyWindowFlags(this);
}

void TCustomForm::AlignControls(TRect& r) {
    TWinControl::AlignControls(r);
    auto* d = FormD(this);
    if (d->mdiArea) d->mdiArea->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

bool TCustomForm::KeyPreview() const { return FormD(this)->keyPreview; }
void TCustomForm::SetKeyPreview(bool v) { FormD(this)->keyPreview = v; }
TModalResult TCustomForm::ModalResult() const { return FormD(this)->modalResult; }
void TCustomForm::SetModalResult(TModalResult v) {
    auto* d = FormD(this);
    d->modalResult = v;
    // The check waits until the current event is handled: a button's
    // OnClick runs after it set ModalResult and may still clear it.
    if (v != mrNone && d->inModal && !d->closeAccepted) {
        QPointer<QWidget> alive(d->top());
        QTimer::singleShot(0, d->top(), [this, alive] {
            if (alive) TryCloseModal(this);
        });
    }
}

TWinControl* TCustomForm::ActiveControl() const {
    auto* d = FormD(this);
    QWidget* fw = d->top()->focusWidget();
    if (fw) {
        TControl* c = ControlOfWidget(fw);
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc != this) return wc;
    }
    return d->pendingActive;
}

void TCustomForm::SetActiveControl(TWinControl* v) {
    auto* d = FormD(this);
    d->pendingActive = v;
    if (v && d->outer()->isVisible() && v->CanFocus()) v->SetFocus();
}

TMainMenu* TCustomForm::Menu() const { return FormD(this)->menu; }
void TCustomForm::SetMenu(TMainMenu* v) {
    auto* d = FormD(this);
    if (d->menu) d->menu->OnChangedInternal = nullptr;
    d->menu = v;
    if (v) v->OnChangedInternal = [this] { RebuildMenuBar(this); };
    RebuildMenuBar(this);
}

void RebuildMenuBar(TCustomForm* form) {
    auto* d = FormD(form);
    FormWidget* w = d->top();
    if (!d->menu) {
        if (w->menuBar) w->menuBar->hide();
        w->layoutParts();
        return;
    }
    if (!w->menuBar) w->menuBar = new QMenuBar(w);
    w->menuBar->clear();
    TMenuItem* root = d->menu->Items();
    for (int i = 0; i < root->Count(); ++i) w->menuBar->addAction(MenuItemAction(root->Items(i)));
    w->menuBar->show();
    w->layoutParts();
    form->Realign();
}

TIcon* TCustomForm::Icon() const { return FormD(this)->icon; }

bool TCustomForm::Active() const {
    auto* d = FormD(this);
    if (d->sub) return d->sub->mdiArea() && d->sub->mdiArea()->activeSubWindow() == d->sub;
    return d->top()->isActiveWindow();
}

bool TCustomForm::Modal() const { return FormD(this)->inModal; }

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

TModalResult TCustomForm::ShowModal() {
    auto* d = FormD(this);
    if ((d->visible && d->outer()->isVisible()) || d->inModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    DoCreate();
    return TDialogSeam::Instance().ShowModal(this);
}

// Undo in the reverse order of doing: the form is hidden while it is still
// modal, so that Qt takes it off its modal list and unblocks every other
// window, and only then is its modality cleared. Clearing first left every
// window of the program blocked for good. The same unwinding runs when
// OnShow or the loop throws, so no modal window outlives the call. The window
// that was active before gets the keyboard back: without a window manager
// nobody else would give it.
QWidget* DialogOpener() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    TCustomForm* mainForm = TApplicationPrivate::theMainForm();
    if (mainForm && WidgetOf(mainForm) && WidgetOf(mainForm)->isVisible()) return WidgetOf(mainForm)->window();
    return nullptr;
}

TModalResult RunModalLoop(TCustomForm* form) {
    auto* d = FormD(form);
    QPointer<QWidget> alive(d->top());
    // The window to give the keyboard back to. A modal form shown from
    // another one's OnShow opens before the window system has made that one
    // active: it still counts as the opener, not the window behind it.
    QPointer<QWidget> opener(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : DialogOpener());
    d->modalResult = mrNone;
    d->closeAccepted = false;
    d->closeAction = caHide;
    d->inModal = true;
    d->top()->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    // Hidden while still modal, then modality cleared: the reverse of the
    // way in, on every way out (OnShow throwing included).
    auto unwind = [&] {
        if (!alive) return;
        d->loop = nullptr;
        form->Hide();
        d->top()->setWindowModality(Qt::NonModal);
        d->inModal = false;
        if (opener && opener != alive && opener->isVisible()) ActivateTopLevel(opener);
        RT_ASSERT(!form->Visible() && !form->Modal());
    };
    {
        ScopeExit leave(unwind);
        form->Show();
        if (d->top()) ActivateTopLevel(d->top());
        d->loop = &loop;
        while (!d->closeAccepted) {
            if (TApplicationPrivate::isTerminated()) {
                if (d->modalResult == mrNone) d->modalResult = mrCancel;
                break;
            }
            loop.exec();
            if (!alive) return mrCancel;
        }
    }
    if (d->closeAction == caFree) form->Release();
    return d->modalResult;
}

void TryCloseModal(TCustomForm* form) {
    auto* d = FormD(form);
    if (!d->inModal || d->closeAccepted || d->modalResult == mrNone) return;
    TCloseAction action = caHide;
    bool canClose = true;
    DispatchSafely(form, [&] {
        canClose = form->CloseQuery();
        if (canClose) TFormPrivate::doClose(form, action);
    });
    if (canClose && action != caNone) {
        d->closeAccepted = true;
        d->closeAction = action;
        if (d->loop) d->loop->quit();
    } else {
        d->modalResult = mrNone;
    }
}

void ForceCloseModal(TCustomForm* form, TModalResult result) {
    auto* d = FormD(form);
    if (!d->inModal || d->closeAccepted) return;
    d->modalResult = result;
    d->closeAccepted = true;
    if (d->loop) d->loop->quit();
}

void TFormPrivate::doClose(TCustomForm* f, TCloseAction& a) { f->DoClose(a); }

void TCustomForm::Close() {
    auto* d = FormD(this);
    if (d->inModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (d->closing) return;
    d->closing = true;
    struct Reset {
        TFormPrivate* d;
        ~Reset() { d->closing = false; }
    } reset{d};
    if (!CloseQuery()) return;
    TCloseAction action = d->formStyle == fsMDIChild ? caMinimize : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (this == TApplicationPrivate::theMainForm()) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

bool TCustomForm::CloseQuery() {
    auto* d = FormD(this);
    if (d->mdiArea) {
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    }
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Release() {
    auto* d = FormD(this);
    if (d->released) return;
    d->released = true;
    d->visible = false;
    d->outer()->hide();
    if (!d->destroyFired) {
        d->destroyFired = true;
        if (OnDestroy) OnDestroy(this);
    }
    QPointer<QWidget> w(d->top());
    TCustomForm* self = this;
    QTimer::singleShot(0, [w, self] {
        if (w) delete self;
    });
}

void TCustomForm::SetFocus() {
    auto* d = FormD(this);
    ActivateTopLevel(d->outer());
    if (d->sub && d->sub->mdiArea()) d->sub->mdiArea()->setActiveSubWindow(d->sub);
}

void TCustomForm::BringToFront() {
    auto* d = FormD(this);
    if (d->noActivate) {
        if (!d->sub && QGuiApplication::platformName() != "offscreen") d->outer()->raise();
        return;
    }
    // The offscreen platform cannot stack windows (and says so on stderr).
    if (d->sub || QGuiApplication::platformName() != "offscreen") d->outer()->raise();
    if (d->sub && d->sub->mdiArea()) {
        if (d->windowState == wsMinimized || d->sub->isMinimized()) d->sub->showNormal();
        d->sub->mdiArea()->setActiveSubWindow(d->sub);
    } else if (d->outer()->isVisible()) {
        ActivateTopLevel(d->outer());
    }
}

void TCustomForm::DoCreate() {
    auto* d = FormD(this);
    if (d->createdFired) return;
    d->createdFired = true;
    if (OnCreate) OnCreate(this);
}

bool TCustomForm::IsShortCut(Word Key, TShiftState Shift) {
    auto* d = FormD(this);
    if (d->menu && d->menu->IsShortCut(Key, Shift)) return true;
    std::function<bool(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (auto* al = dynamic_cast<TActionList*>(c); al && al->IsShortCut(Key, Shift)) return true;
        }
        return false;
    };
    if (walk(this)) return true;
    if (d->sub) {
        for (TCustomForm* f : AllForms())
            if (FormD(f)->mdiArea && FormD(f)->mdiArea == d->sub->mdiArea()) return f->IsShortCut(Key, Shift);
    }
    return false;
}

int TCustomForm::MDIChildCount() const {
    auto* d = FormD(this);
    if (!d->mdiArea) return 0;
    int n = 0;
    for (QMdiSubWindow* s : d->mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* fw = dynamic_cast<FormWidget*>(s->widget()); fw && fw->form && !FormD(fw->form)->released) ++n;
    return n;
}

TCustomForm* TCustomForm::MDIChildren(int i) const {
    auto* d = FormD(this);
    if (d->mdiArea) {
        int n = 0;
        // The class library lists the most recently activated child first.
        for (QMdiSubWindow* s : d->mdiArea->subWindowList(QMdiArea::StackingOrder) | std::views::reverse) {
            auto* fw = dynamic_cast<FormWidget*>(s->widget());
            if (!fw || !fw->form || FormD(fw->form)->released) continue;
            if (n++ == i) return fw->form;
        }
    }
    throw EListError("List index out of bounds (" + std::to_string(i) + ")");
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    auto* d = FormD(this);
    if (!d->mdiArea || !d->mdiArea->currentSubWindow()) return nullptr;
    auto* fw = dynamic_cast<FormWidget*>(d->mdiArea->currentSubWindow()->widget());
    return fw ? fw->form : nullptr;
}

void TCustomForm::Cascade() {
    if (auto* a = FormD(this)->mdiArea) a->cascadeSubWindows();
}
void TCustomForm::Tile() {
    if (auto* a = FormD(this)->mdiArea) a->tileSubWindows();
}
void TCustomForm::Next() {
    if (auto* a = FormD(this)->mdiArea) a->activateNextSubWindow();
}
void TCustomForm::Previous() {
    if (auto* a = FormD(this)->mdiArea) a->activatePreviousSubWindow();
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}
void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

namespace {
// The form's controls in order, children after their parent, until visit
// answers true.
TControl* FindInForm(TWinControl* p, const std::function<bool(TControl*)>& visit) {
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (visit(c)) return c;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !dynamic_cast<TCustomForm*>(c))
            if (TControl* r = FindInForm(w, visit)) return r;
    }
    return nullptr;
}
} // namespace

bool FormPressDialogButton(TCustomForm* form, Word key, TShiftState shift) {
    const bool enter = key == VK_RETURN;
    TControl* button = nullptr;
    bool taken = false;
    FindInForm(form, [&](TControl* c) {
        TControlPrivate* cd = TControlPrivate::get(c);
        if ((enter ? cd->isDefault : cd->isCancel) && c->Visible() && c->Enabled()) {
            button = c;
            return true;
        }
        return cd->dialogKeys && (taken = cd->dialogKeys->DialogKey(key, shift));
    });
    if (taken) return true;
    if (!button) return false;
    button->Click();
    return true;
}

bool FormDialogChar(TCustomForm* form, char32_t ch) {
    return FindInForm(form, [&](TControl* c) {
        TControlPrivate* cd = TControlPrivate::get(c);
        return cd->dialogKeys && cd->dialogKeys->DialogChar(ch);
    }) != nullptr;
}

void SetDialogKeyHandler(TControl* control, TDialogKeyHandler* handler) {
    TControlPrivate::get(control)->dialogKeys = handler;
}

bool IsAccel(char32_t Ch, const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(Caption[i + 1]);
        if (c >= 0x80 || Ch >= 0x80) return false;
        return std::toupper(c) == std::toupper(int(Ch));
    }
    return false;
}

// ------------------------------------------------------------ application

TApplication::TApplication() : TComponent(nullptr), d_(std::make_unique<TApplicationPrivate>()) {}
TApplication::~TApplication() = default;

void TApplication::Initialize() {
    EnsureQt();
    LoadToolkitTranslations(ExeDir());
}
std::string TApplication::Title() const { return d_->title; }
void TApplication::SetTitle(const std::string& v) {
    d_->title = v;
    QApplication::setApplicationDisplayName(ToQt(v));
}
TCustomForm* TApplication::MainForm() const { return d_->mainForm; }

void TApplication::FormCreated(TCustomForm* form) {
    if (!d_->mainForm) d_->mainForm = form;
    DispatchSafely(form, [form] { form->DoCreate(); });
}

void TApplication::Run() {
    if (TCustomForm* main = d_->mainForm) DispatchSafely(main, [main] { main->Show(); });
    QEventLoop loop;
    d_->runLoop = &loop;
    ScopeExit forget([this] { d_->runLoop = nullptr; });
    // exec can also return when the window system asks every loop to end;
    // only Terminate ends the program's.
    while (!d_->terminated) loop.exec();
}

void TApplication::Terminate() {
    d_->terminated = true;
    for (TCustomForm* f : AllForms())
        if (FormD(f)->loop) FormD(f)->loop->quit();
    if (d_->runLoop) d_->runLoop->quit();
}

bool TApplication::Terminated() const { return d_->terminated; }

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    return TDialogSeam::Instance().MessageBox(Text, Caption, Flags);
}

void TApplication::HandleException(TObject* Sender, const Exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;
    if (OnException) {
        OnException(Sender, E);
        return;
    }
    ShowException(E);
}

void TApplication::ShowException(const Exception& E) {
    TDialogSeam::Instance().MessageBox(E.Message, Title(), MB_OK | MB_ICONSTOP);
}

std::string TApplication::ExeName() const {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

void TApplication::BringToFront() {
    if (d_->mainForm) d_->mainForm->BringToFront();
}
void TApplication::Minimize() {
    if (d_->mainForm) WidgetOf(d_->mainForm)->showMinimized();
}
void TApplication::Restore() {
    if (d_->mainForm) WidgetOf(d_->mainForm)->showNormal();
}

bool TApplication::ShowHint() const { return d_->showHint; }
void TApplication::SetShowHint(bool v) { d_->showHint = v; }
TColor TApplication::HintColor() const { return d_->hintColor; }
void TApplication::SetHintColor(TColor v) { d_->hintColor = v; }
int TApplication::HintPause() const { return d_->hintPause; }
void TApplication::SetHintPause(int ms) { d_->hintPause = ms; }
int TApplication::HintHidePause() const { return d_->hintHidePause; }
void TApplication::SetHintHidePause(int ms) { d_->hintHidePause = ms; }
int TApplication::HintShortPause() const { return d_->hintShortPause; }
void TApplication::SetHintShortPause(int ms) { d_->hintShortPause = ms; }
std::string TApplication::HelpFile() const { return d_->helpFile; }
void TApplication::SetHelpFile(const std::string& v) { d_->helpFile = v; }

// ------------------------------------------------------------ screen

TScreen::TScreen() : TComponent(nullptr) {}
TScreen::~TScreen() { delete fonts_; }

TCursor TScreen::Cursor() const { return cursor_; }
void TScreen::SetCursor(TCursor v) {
    if (v == cursor_) return;
    if (cursor_ != crDefault) QApplication::restoreOverrideCursor();
    cursor_ = v;
    if (v == crHourGlass || v == crSQLWait || v == crAppStart)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (v != crDefault)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

int TScreen::FormCount() const { return int(AllForms().size()); }
TCustomForm* TScreen::Forms(int i) const {
    if (i < 0 || i >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return AllForms()[size_t(i)];
}

TCustomForm* TScreen::ActiveForm() const {
    QWidget* w = QApplication::activeWindow();
    for (TCustomForm* f : AllForms())
        if (WidgetOf(f) == w || FormD(f)->top() == w) return f;
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    TCustomForm* f = ActiveForm();
    if (f && FormD(f)->mdiArea && f->ActiveMDIChild()) return f->ActiveMDIChild()->ActiveControl();
    return f ? f->ActiveControl() : nullptr;
}

int TScreen::Width() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}
int TScreen::Height() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}
TRect TScreen::WorkAreaRect() const {
    QScreen* s = QGuiApplication::primaryScreen();
    QRect r = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

TStrings* TScreen::Fonts() {
    if (!fonts_) {
        auto* list = new TStringList;
        list->SetSorted(true);
        for (const QString& f : QFontDatabase::families()) list->Add(FromQt(f));
        fonts_ = list;
    }
    return fonts_;
}

// ------------------------------------------------------------ scroll box

namespace {
class ScrollBoxPrivate : public TControlPrivate {
public:
    ScrollBoxPrivate() : TControlPrivate(NewWidget<QScrollArea>()) {
        content = new QWidget;
        area()->setWidget(content);
        area()->setWidgetResizable(false);
        area()->setFocusPolicy(Qt::NoFocus);
    }
    QScrollArea* area() const { return static_cast<QScrollArea*>(widget.data()); }
    QWidget* client() const override { return content; }
    QWidget* content;
};
} // namespace

static QScrollArea* Area(const TScrollBox* b) {
    return static_cast<ScrollBoxPrivate*>(TControlPrivate::get(b))->area();
}

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner, new ScrollBoxPrivate) {
    d_->tabStop = false;
    d_->bridge(static_cast<ScrollBoxPrivate*>(d_)->area()->viewport());
    SetBounds(0, 0, 185, 41);
}

TBorderStyle TScrollBox::BorderStyle() const { return Area(this)->frameShape() == QFrame::NoFrame ? bsNone : bsSingle; }
void TScrollBox::SetBorderStyle(TBorderStyle v) {
    Area(this)->setFrameStyle(v == bsNone ? QFrame::NoFrame : int(QFrame::StyledPanel) | int(QFrame::Sunken));
}
int TScrollBox::HorzPosition() const { return Area(this)->horizontalScrollBar()->value(); }
void TScrollBox::SetHorzPosition(int v) { Area(this)->horizontalScrollBar()->setValue(v); }
int TScrollBox::VertPosition() const { return Area(this)->verticalScrollBar()->value(); }
void TScrollBox::SetVertPosition(int v) { Area(this)->verticalScrollBar()->setValue(v); }
void TScrollBox::ScrollInView(TControl* c) {
    if (c) Area(this)->ensureWidgetVisible(WidgetOf(c), 0, 0);
}

TRect TScrollBox::ClientRect() const {
    QSize s = Area(this)->maximumViewportSize();
    return Rect(0, 0, s.width(), s.height());
}

void TScrollBox::AlignControls(TRect& r) {
    TWinControl::AlignControls(r);
    int w = r.Right, h = r.Bottom;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone) continue;
        w = std::max(w, c->Left() + c->Width());
        h = std::max(h, c->Top() + c->Height());
    }
    static_cast<ScrollBoxPrivate*>(d_)->content->resize(w, h);
}
