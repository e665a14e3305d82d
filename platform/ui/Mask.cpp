// Masked edit on QLineEdit's input mask, translating the class library's
// mask language.
#include "Mask.h"

#include <QLineEdit>

#include "Controls_p.h"
#include "StdCtrls_p.h"

std::string QtInputMaskFor(const std::string& editMask, bool* saveLiterals, char* blank) {
    std::string mask = editMask;
    bool save = true;
    char blankChar = '_';
    // Split off ";1;_" from the end (a mask may contain escaped ';').
    size_t last = mask.rfind(';');
    if (last != std::string::npos && last > 0 && mask[last - 1] != '\\') {
        size_t prev = mask.rfind(';', last - 1);
        if (prev != std::string::npos && (prev == 0 || mask[prev - 1] != '\\')) {
            save = mask.substr(prev + 1, last - prev - 1) != "0";
            if (last + 1 < mask.size()) blankChar = mask[last + 1];
            mask = mask.substr(0, prev);
        } else {
            save = mask.substr(last + 1) != "0";
            mask = mask.substr(0, last);
        }
    }
    std::string out;
    const std::string qtSpecial = "AaNnXx90DdHhBb#>!<\\[]{}";
    for (size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        switch (c) {
        case '0': out += '9'; break;
        case '9': out += '0'; break;
        case '#': out += '#'; break;
        case 'L': out += 'A'; break;
        case 'l': out += 'a'; break;
        case 'A': out += 'N'; break;
        case 'a': out += 'n'; break;
        case 'C': out += 'X'; break;
        case 'c': out += 'x'; break;
        case '!': break;
        case '>': out += '>'; break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                out += '!';
                ++i;
            } else {
                out += '<';
            }
            break;
        case '\\':
            if (i + 1 < mask.size()) {
                out += '\\';
                out += mask[++i];
            }
            break;
        default:
            if (qtSpecial.find(c) != std::string::npos) out += '\\';
            out += c;
            break;
        }
    }
    if (saveLiterals) *saveLiterals = save;
    if (blank) *blank = blankChar;
    out += ';';
    out += blankChar;
    return out;
}

static QLineEdit* Line(const TControl* c) { return static_cast<QLineEdit*>(TControlPrivate::get(c)->widget.data()); }

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner, new EditPrivate(NewWidget<QLineEdit>())) {
    auto* e = Line(this);
    QObject::connect(e, &QLineEdit::textChanged, e,
                     [this](const QString&) { DispatchSafely(this, [this] { Change(); }); });
    SetBounds(0, 0, 121, 21);
}

void TMaskEdit::SetEditMask(const std::string& v) {
    mask_ = v;
    Line(this)->setInputMask(v.empty() ? QString() : ToQt(QtInputMaskFor(v, &saveLiterals_)));
}

std::string TMaskEdit::EditText() const { return FromQt(Line(this)->displayText()); }

void TMaskEdit::SetEditText(const std::string& v) { Line(this)->setText(ToQt(v)); }

std::string TMaskEdit::GetText() const {
    QString t = Line(this)->text();
    if (mask_.empty() || saveLiterals_) return FromQt(t);
    // Keep only what was typed into mask positions.
    std::string qtMask = QtInputMaskFor(mask_);
    QString display = Line(this)->displayText();
    std::string out;
    int pos = 0;
    for (size_t i = 0; i < qtMask.size() && qtMask[i] != ';'; ++i) {
        char m = qtMask[i];
        if (m == '>' || m == '<' || m == '!') continue;
        bool literal = m == '\\' || std::string("AaNnXx90DdHhBb#").find(m) == std::string::npos;
        if (m == '\\') ++i;
        if (pos >= display.size()) break;
        if (!literal) {
            QChar ch = display[pos];
            if (ch != QChar(QtInputMaskFor(mask_).back())) out += FromQt(QString(ch));
        }
        ++pos;
    }
    return out;
}

void TMaskEdit::SetText(const std::string& v) { Line(this)->setText(ToQt(v)); }

void TMaskEdit::ValidateEdit() {
    if (!mask_.empty() && !Line(this)->hasAcceptableInput())
        throw EConvertError("Invalid input value.  Use escape key to abandon changes");
}

char TMaskEdit::PasswordChar() const { return Line(this)->echoMode() == QLineEdit::Password ? '*' : 0; }
void TMaskEdit::SetPasswordChar(char v) { Line(this)->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal); }
