// The dialog seam. Production paths build the real Qt dialogs (message box
// with the system's Chinese button texts, input dialog, file dialogs); the
// scripted path never opens anything modal that could wait for a person.
// The drivers that press keys and click for a test live in the test kit,
// which the program does not link.
#include "DialogSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "StdCtrls.h"
#include "Activation_p.h"
#include "Controls_p.h"
#include "Forms_p.h"

// The form's C++ class name ("TFrmLogin"), namespaces dropped, so scripts
// can name a window class that does not override ClassName().
static std::string DynamicClassName(const TCustomForm* form) {
    int status = 0;
    char* raw = abi::__cxa_demangle(typeid(*form).name(), nullptr, nullptr, &status);
    std::string name = status == 0 && raw ? raw : typeid(*form).name();
    std::free(raw);
    size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

TDialogSeam& TDialogSeam::Instance() {
    static TDialogSeam seam;
    return seam;
}

void TDialogSeam::Install() {
    scripted_ = true;
    leftOver_.clear();
    script_.clear();
    shown_.clear();
    failures_.clear();
}

void TDialogSeam::Uninstall() {
    leftOver_ = Unused();
    scripted_ = false;
    script_.clear();
    OnFailure = nullptr;
}

void TDialogSeam::Expect(TSeamAnswer answer) { script_.push_back({std::move(answer), false}); }

std::vector<TSeamAnswer> TDialogSeam::Unused() const {
    std::vector<TSeamAnswer> out;
    for (const Entry& e : script_)
        if (!e.used && !e.answer.Repeat) out.push_back(e.answer);
    return out;
}

void TDialogSeam::fail(const std::string& message) {
    if (!scripted_) return;
    failures_.push_back(message);
    if (OnFailure) OnFailure(message);
}

TSeamAnswer* TDialogSeam::match(TSeamKind kind, const std::string& caption, const std::string& text,
                                TCustomForm* form) {
    for (Entry& e : script_) {
        const TSeamAnswer& a = e.answer;
        if (a.Kind != kind || (e.used && !a.Repeat)) continue;
        if (!a.Caption.empty() && a.Caption != caption) continue;
        if (!a.Text.empty() && text.find(a.Text) == std::string::npos) continue;
        if (!a.Form.empty() &&
            (!form || (a.Form != form->Name() && a.Form != form->ClassName() && a.Form != DynamicClassName(form))))
            continue;
        e.used = true;
        return &e.answer;
    }
    return nullptr;
}

// ------------------------------------------------------------ message boxes

// With QUILLORY_LOG_DIALOGS set, every box the program really shows is also
// written to standard error ("dialog-shown", caption, text; tab-separated,
// one line), so that a script driving the program from outside can read
// what the box said.
static void LogShown(const std::string& caption, const std::string& text) {
    static const bool on = std::getenv("QUILLORY_LOG_DIALOGS") != nullptr;
    if (!on) return;
    std::string line;
    for (char c : text) line += c == '\n' ? std::string("\\n") : c == '\t' ? std::string(" ") : std::string(1, c);
    std::fprintf(stderr, "dialog-shown\t%s\t%s\n", caption.c_str(), line.c_str());
    std::fflush(stderr);
}

namespace {
// Gives the keyboard back to the window that was active before a dialog,
// on every way out. A window manager would; without one nothing else does,
// and the opener's typing would go nowhere.
class OpenerFocusScope {
public:
    OpenerFocusScope() : opener_(DialogOpener()) {}
    ~OpenerFocusScope() {
        if (opener_ && opener_->isVisible()) ActivateTopLevel(opener_);
    }
    OpenerFocusScope(const OpenerFocusScope&) = delete;
    OpenerFocusScope& operator=(const OpenerFocusScope&) = delete;

private:
    QPointer<QWidget> opener_;
};
} // namespace

static int ProductionMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    OpenerFocusScope focusBack;
    QMessageBox box;
    box.setWindowTitle(ToQt(caption));
    box.setText(ToQt(text));
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct B {
        int id;
        const char* text;
        QMessageBox::ButtonRole role;
    };
    std::vector<B> buttons;
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{IDOK, "确定", QMessageBox::AcceptRole}, {IDCANCEL, "取消", QMessageBox::RejectRole}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{IDABORT, "中止(&A)", QMessageBox::RejectRole},
                   {IDRETRY, "重试(&R)", QMessageBox::AcceptRole},
                   {IDIGNORE, "忽略(&I)", QMessageBox::AcceptRole}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{IDYES, "是(&Y)", QMessageBox::YesRole},
                   {IDNO, "否(&N)", QMessageBox::NoRole},
                   {IDCANCEL, "取消", QMessageBox::RejectRole}};
        break;
    case MB_YESNO: buttons = {{IDYES, "是(&Y)", QMessageBox::YesRole}, {IDNO, "否(&N)", QMessageBox::NoRole}}; break;
    case MB_RETRYCANCEL:
        buttons = {{IDRETRY, "重试(&R)", QMessageBox::AcceptRole}, {IDCANCEL, "取消", QMessageBox::RejectRole}};
        break;
    default: buttons = {{IDOK, "确定", QMessageBox::AcceptRole}}; break;
    }
    std::vector<QAbstractButton*> made;
    for (const B& b : buttons) made.push_back(box.addButton(ToQt(b.text), b.role));
    size_t def = (flags & MB_DEFMASK) >> 8;
    if (def < made.size()) box.setDefaultButton(static_cast<QPushButton*>(made[def]));
    LogShown(caption, text);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return buttons[i].id;
    // Closed by the window's close button: the class library answers Cancel
    // where there is one, else the only button.
    for (const B& b : buttons)
        if (b.id == IDCANCEL || b.id == IDNO) return b.id;
    return buttons.back().id;
}

int TDialogSeam::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (!scripted_) return ProductionMessageBox(text, caption, flags);
    record({TSeamKind::MessageBox, caption, text, "", ""});
    if (TSeamAnswer* a = match(TSeamKind::MessageBox, caption, text, nullptr)) return a->Result;
    fail("unexpected message box: [" + caption + "] " + text);
    return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

int TDialogSeam::ButtonBox(const std::string& text, const std::string& caption, unsigned iconFlags,
                           const std::vector<std::pair<int, std::string>>& buttons) {
    if (scripted_) {
        record({TSeamKind::MessageBox, caption, text, "", ""});
        if (TSeamAnswer* a = match(TSeamKind::MessageBox, caption, text, nullptr)) return a->Result;
        fail("unexpected message box: [" + caption + "] " + text);
        return buttons.empty() ? IDCANCEL : buttons.back().first;
    }
    QMessageBox box;
    box.setWindowTitle(ToQt(caption));
    box.setText(ToQt(text));
    switch (iconFlags & MB_ICONMASK) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    std::vector<QAbstractButton*> made;
    for (const auto& [id, label] : buttons) made.push_back(box.addButton(ToQt(label), QMessageBox::ActionRole));
    LogShown(caption, text);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return buttons[i].first;
    return IDCANCEL;
}

// ------------------------------------------------------------ modal forms

static void SetField(TCustomForm* form, const std::string& name, const std::string& value) {
    TControl* c = FindControl(form, name);
    if (!c) {
        TDialogSeam::Instance().ReportFailure("form " + form->Name() + " has no control " + name);
        return;
    }
    if (auto* cb = dynamic_cast<TCheckBox*>(c))
        cb->SetChecked(value == "True");
    else if (auto* rb = dynamic_cast<TRadioButton*>(c))
        rb->SetChecked(value == "True");
    else
        c->SetText(value);
}

TModalResult TDialogSeam::ShowModal(TCustomForm* form) {
    if (!scripted_) return RunModalLoop(form);
    record({TSeamKind::ModalForm, form->Caption(), form->Caption(), form->Name(), DynamicClassName(form)});
    TSeamAnswer* a = match(TSeamKind::ModalForm, form->Caption(), form->Caption(), form);
    QPointer<QWidget> alive(WidgetOf(form));
    if (!a) {
        fail("unexpected modal form: " + DynamicClassName(form) + " " + form->Name() + " [" + form->Caption() + "]");
        QTimer::singleShot(0, WidgetOf(form), [form] { ForceCloseModal(form, mrCancel); });
        return RunModalLoop(form);
    }
    TSeamAnswer answer = *a;
    QTimer::singleShot(0, WidgetOf(form), [form, answer, alive] {
        DispatchSafely(form, [&] {
            for (const auto& [name, value] : answer.Fields) SetField(form, name, value);
            if (answer.Action) answer.Action(form);
        });
        if (alive && form->Modal() && form->ModalResult() == mrNone)
            form->SetModalResult(answer.Result != mrNone ? answer.Result : mrCancel);
        // Queued behind the close check: when the form refused to close, end
        // the loop anyway so that the test goes on.
        QTimer::singleShot(0, WidgetOf(form), [form, alive] {
            if (!alive || !form->Modal() || FormD(form)->closeAccepted) return;
            TDialogSeam::Instance().ReportFailure("form " + form->Name() +
                                                  " refused to close after its scripted answer");
            ForceCloseModal(form, mrCancel);
        });
    });
    return RunModalLoop(form);
}

// ------------------------------------------------------------ other dialogs

bool TDialogSeam::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (!scripted_) {
        OpenerFocusScope focusBack;
        bool ok = false;
        QString r = QInputDialog::getText(QApplication::activeWindow(), ToQt(caption), ToQt(prompt), QLineEdit::Normal,
                                          ToQt(value), &ok);
        if (ok) value = FromQt(r);
        return ok;
    }
    record({TSeamKind::InputQuery, caption, prompt, "", ""});
    if (TSeamAnswer* a = match(TSeamKind::InputQuery, caption, prompt, nullptr)) {
        if (a->Result == 0) return false;
        value = a->Value;
        return true;
    }
    fail("unexpected input box: [" + caption + "] " + prompt);
    return false;
}

static QString QtFilter(const std::string& filter) {
    // "Bck file (*.RKB)|*.RKB|All (*.*)|*.*" -> "Bck file (*.RKB);;All (*.*)"
    QStringList parts = ToQt(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString pattern = QString(parts[i + 1]).replace(';', ' ');
        out << (name.contains('(') ? name : name + " (" + pattern + ")");
    }
    return out.join(";;");
}

bool TDialogSeam::FileDialog(TSeamKind kind, const std::string& title, const std::string& filter,
                             const std::string& initialDir, std::string& fileName, bool confirmOverwrite) {
    if (!scripted_) {
        OpenerFocusScope focusBack;
        QString dir = ToQt(initialDir.empty() ? fileName : initialDir + "/" + fileName);
        LogShown(title, kind == TSeamKind::SaveDialog ? "save file" : "open file");
        const QFileDialog::Options options =
            confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
        QString r =
            kind == TSeamKind::SaveDialog
                ? QFileDialog::getSaveFileName(QApplication::activeWindow(), ToQt(title), dir, QtFilter(filter),
                                               nullptr, options)
                : QFileDialog::getOpenFileName(QApplication::activeWindow(), ToQt(title), dir, QtFilter(filter));
        if (r.isEmpty()) return false;
        fileName = FromQt(r);
        return true;
    }
    record({kind, title, title, "", ""});
    if (TSeamAnswer* a = match(kind, title, title, nullptr)) {
        if (a->Result == 0) return false;
        fileName = a->Value;
        return true;
    }
    fail(std::string("unexpected ") + (kind == TSeamKind::SaveDialog ? "save" : "open") + " dialog: " + title);
    return false;
}

bool TDialogSeam::PrintDialog(const std::string& title) {
    if (!scripted_) return true;
    record({TSeamKind::PrintDialog, title, title, "", ""});
    if (TSeamAnswer* a = match(TSeamKind::PrintDialog, title, title, nullptr)) return a->Result != 0;
    fail("unexpected print dialog: " + title);
    return false;
}

void TDialogSeam::Beep(unsigned type) {
    if (!scripted_) {
        QApplication::beep();
        return;
    }
    record({TSeamKind::Beep, "", std::to_string(type), "", ""});
}

// ------------------------------------------------------------ script

TSeamScript::TSeamScript() { TDialogSeam::Instance().Install(); }
TSeamScript::~TSeamScript() { TDialogSeam::Instance().Uninstall(); }

void TSeamScript::ExpectMessage(const std::string& textContains, int result, const std::string& caption) {
    TSeamAnswer a;
    a.Kind = TSeamKind::MessageBox;
    a.Text = textContains;
    a.Caption = caption;
    a.Result = result;
    Expect(std::move(a));
}

void TSeamScript::ExpectForm(const std::string& form, TModalResult result,
                             std::vector<std::pair<std::string, std::string>> fields,
                             std::function<void(TCustomForm*)> action) {
    TSeamAnswer a;
    a.Kind = TSeamKind::ModalForm;
    a.Form = form;
    a.Result = result;
    a.Fields = std::move(fields);
    a.Action = std::move(action);
    Expect(std::move(a));
}

void TSeamScript::ExpectInput(const std::string& caption, const std::string& value, bool ok) {
    TSeamAnswer a;
    a.Kind = TSeamKind::InputQuery;
    a.Caption = caption;
    a.Value = value;
    a.Result = ok ? 1 : 0;
    Expect(std::move(a));
}

void TSeamScript::ExpectFile(TSeamKind kind, const std::string& fileName, bool ok) {
    TSeamAnswer a;
    a.Kind = kind;
    a.Value = fileName;
    a.Result = ok ? 1 : 0;
    Expect(std::move(a));
}

std::vector<std::string> TSeamScript::Texts() const {
    std::vector<std::string> out;
    for (const TSeamRecord& r : Shown()) out.push_back(r.Text);
    return out;
}

// ------------------------------------------------------------ lookup

TControl* FindControl(TComponent* root, const std::string& name) {
    if (!root) return nullptr;
    if (TComponent* c = root->FindComponent(name))
        if (auto* ctl = dynamic_cast<TControl*>(c)) return ctl;
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (TControl* c = FindControl(root->Components(i), name)) return c;
    return nullptr;
}
