// Platform-only side of forms: the top-level widget with its menu bar and
// client area, the MDI area of a frame, the sub-window of a child, and the
// modal loop the dialog seam drives.
#pragma once

#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include "Forms.h"
#include "Controls_p.h"

class FormWidget : public QWidget {
public:
    TCustomForm* form = nullptr;
    QWidget* clientArea = nullptr;
    QMenuBar* menuBar = nullptr;
    void layoutParts();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
};

class TFormPrivate : public TControlPrivate {
public:
    TFormPrivate();
    static TFormPrivate* get(const TCustomForm* form) { return static_cast<TFormPrivate*>(TControlPrivate::get(form)); }
    // Entry points to the form's protected virtuals.
    static void activate(TCustomForm* form, bool active);
    static void doClose(TCustomForm* form, TCloseAction& action);
    FormWidget* top() const { return static_cast<FormWidget*>(widget.data()); }
    QWidget* outer() const override { return sub ? static_cast<QWidget*>(sub.data()) : widget.data(); }
    QWidget* client() const override { return top() ? top()->clientArea : nullptr; }

    QMdiArea* mdiArea = nullptr;
    QPointer<QMdiSubWindow> sub;
    TFormBorderStyle borderStyle = bsSizeable;
    TBorderIcons borderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition position = poDesigned;
    TWindowState windowState = wsNormal;
    TFormStyle formStyle = fsNormal;
    bool keyPreview = false;
    // Never takes the activation; floats over owner's window (see
    // SetNoActivate, SetOwnerForm).
    bool noActivate = false;
    QPointer<QWidget> owner;
    TModalResult modalResult = mrNone;
    TWinControl* pendingActive = nullptr;
    // The control whose OnEnter ran last without an OnExit since. Focus
    // given while the window is inactive reaches Qt only as a window
    // activation; this keeps OnExit/OnEnter following the control that has
    // the focus, whatever the window's activation did.
    QPointer<QWidget> enteredWidget;
    // The client size the form asked for (-1: none). An MDI child's frame
    // is known only once it shows; it then grows around this size.
    QSize wantedClient{-1, -1};
    TMainMenu* menu = nullptr;
    bool createdFired = false;
    bool destroyFired = false;
    bool positioned = false;
    bool inModal = false;
    bool closing = false;
    bool released = false;
    QEventLoop* loop = nullptr;
    bool closeAccepted = false;
    TCloseAction closeAction = caHide;
    TIcon* icon = nullptr;
};

// Presses the form's Default (Enter) or Cancel (Esc) button when one is
// visible and enabled, or lets the first control whose dialog-key handler
// answers take the key; true when taken.
bool FormPressDialogButton(TCustomForm* form, Word key, TShiftState shift);
// Alt and a character: the first control whose handler answers takes it.
bool FormDialogChar(TCustomForm* form, char32_t ch);
// Shows form modally with a real nested loop; returns its ModalResult, or
// mrCancel when the form was destroyed inside the loop. On every way out,
// exceptions from OnShow included, the form is hidden and no longer modal.
TModalResult RunModalLoop(TCustomForm* form);
// The window a dialog shown now comes from: the active window, or while
// none is active yet (the keyboard on its way back after another dialog),
// the main form's window.
QWidget* DialogOpener();
void ApplyWindowFlags(TCustomForm* form);
void LockFormSize(TCustomForm* form);
// Asks CloseQuery/OnClose whether a modal form may close with its
// ModalResult; ends the loop when it may, clears ModalResult when not.
void TryCloseModal(TCustomForm* form);
// Ends a modal loop at once with result (used when a script's answer is
// refused, so a test never waits).
void ForceCloseModal(TCustomForm* form, TModalResult result);
// Rebuilds the menu bar from the form's main menu.
void RebuildMenuBar(TCustomForm* form);
inline TFormPrivate* FormD(const TCustomForm* form) { return TFormPrivate::get(form); }
