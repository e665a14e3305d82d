#include "report/model/RM_Utils.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "report/model/RM_Class.h"

double RMStrToFloat(const std::string& s) {
    std::string t = Trim(s);
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty()) return 0;
    char* end = nullptr;
    double d = strtod(t.c_str(), &end);
    return d;
}

double RMRound(int decimals, double x) {
    double p = std::pow(10.0, decimals);
    double v = std::fabs(x) * p;
    double r = std::floor(v + 0.5 + 1e-9);
    return std::copysign(r / p, x) + 0.0;
}

size_t RMUtf8CharLen(uint8_t c) { return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4; }

size_t RMGbkFind(const std::string& text, const std::string& sub) {
    if (sub.empty() || sub.size() > text.size()) return std::string::npos;
    for (size_t i = 0; i + sub.size() <= text.size();) {
        if (text.compare(i, sub.size(), sub) == 0) return i;
        i += uint8_t(text[i]) >= 0x81 && i + 1 < text.size() ? 2 : 1;
    }
    return std::string::npos;
}

namespace {
std::vector<std::string> chars(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        size_t n = std::min(RMUtf8CharLen(uint8_t(s[i])), s.size() - i);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}
} // namespace

std::string RMFormatMaskText(const std::string& editMask, const std::string& value) {
    // The mask runs to its first field separator not written as "\;"; the
    // next field says whether the text keeps the literals.
    std::string mask;
    bool saveLiterals = true;
    for (size_t i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == '\\' && i + 1 < editMask.size()) {
            mask += editMask.substr(i, 2);
            ++i;
            continue;
        }
        if (editMask[i] == ';') {
            saveLiterals = !(i + 1 < editMask.size() && editMask[i + 1] == '0');
            break;
        }
        mask += editMask[i];
    }
    // Each mask position: a literal to insert, or a place for one
    // character of the text. "!" fills from the right.
    struct Pos {
        bool literal;
        std::string ch;
    };
    std::vector<Pos> pos;
    bool fromRight = false;
    std::vector<std::string> m = chars(mask);
    for (size_t i = 0; i < m.size(); ++i) {
        const std::string& c = m[i];
        if (c == "\\") {
            if (i + 1 < m.size()) pos.push_back({true, m[++i]});
        } else if (c == "!") {
            fromRight = true;
        } else if (c == ">" || c == "<") {
            // Case directives change what is typed, not what is shown.
        } else if (c == "0" || c == "9" || c == "#" || c == "L" || c == "l" || c == "A" || c == "a" || c == "C" ||
                   c == "c") {
            pos.push_back({false, {}});
        } else {
            pos.push_back({true, c});
        }
    }
    std::vector<std::string> v = chars(value);
    std::string out;
    if (saveLiterals) {
        // The text holds the literals: it is padded to the mask's length.
        for (size_t i = 0; i < pos.size(); ++i) out += i < v.size() ? v[i] : pos[i].literal ? pos[i].ch : " ";
        for (size_t i = pos.size(); i < v.size(); ++i) out += v[i];
        return out;
    }
    size_t slots = 0;
    for (auto& p : pos) slots += !p.literal;
    // Characters beyond the mask's places follow at the end, as typed.
    size_t skip = fromRight && slots > v.size() ? slots - v.size() : 0, k = 0;
    for (auto& p : pos) {
        if (p.literal) {
            out += p.ch;
        } else if (skip) {
            out += ' ';
            --skip;
        } else {
            out += k < v.size() ? v[k++] : std::string(" ");
        }
    }
    for (; k < v.size(); ++k) out += v[k];
    return out;
}

std::string RMParamStr(int n) {
    if (n < 0) return {};
    if (n == 0) {
        char buf[4096];
        ssize_t len = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return len > 0 ? std::string(buf, size_t(len)) : std::string();
    }
    std::ifstream f("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    int i = 0;
    for (size_t p = 0; p < all.size(); ++i) {
        size_t e = all.find('\0', p);
        if (e == std::string::npos) e = all.size();
        if (i == n) return all.substr(p, e - p);
        p = e + 1;
    }
    return {};
}

std::string RMExtractFilePath(const std::string& fileName) {
    size_t p = fileName.find_last_of("\\/:");
    return p == std::string::npos ? std::string() : fileName.substr(0, p + 1);
}

TComponent* RMFindComponentIn(TComponent* owner, const std::string& name) {
    try {
        size_t dot = name.find('.');
        if (owner && dot == std::string::npos) return owner->FindComponent(name);
        std::string first = name.substr(0, dot);
        TComponent* form = nullptr;
        for (int i = 0; i < Screen->FormCount() && !form; ++i)
            if (SameText(Screen->Forms(i)->Name(), first)) form = Screen->Forms(i);
        if (!form && Application)
            for (int i = 0; i < Application->ComponentCount() && !form; ++i)
                if (SameText(Application->Components(i)->Name(), first)) form = Application->Components(i);
        if (!form || dot == std::string::npos) return form;
        std::string rest = name.substr(dot + 1);
        size_t dot2 = rest.find('.');
        if (dot2 == std::string::npos) return form->FindComponent(rest);
        TComponent* c = form->FindComponent(rest.substr(0, dot2));
        std::string last = rest.substr(rest.rfind('.') + 1);
        return c ? c->FindComponent(last) : nullptr;
    } catch (const Exception&) {
        throw EClassNotFound("Missing " + name);
    }
}

Variant RMGetPropValue(TComponent* owner, const std::string& componentPath, const std::string& prop) {
    TComponent* c = RMFindComponentIn(owner, componentPath);
    if (!c) return 0;
    std::string p = UpperCase(Trim(prop));
    // The published properties a report reads from a form, by name.
    if (p == "NAME") return c->Name();
    if (p == "TAG") return int(c->Tag());
    if (auto* k = dynamic_cast<TCheckBox*>(c); k && p == "CHECKED") return int(k->Checked());
    if (auto* k = dynamic_cast<TRadioButton*>(c); k && p == "CHECKED") return int(k->Checked());
    if (auto* k = dynamic_cast<TComboBox*>(c); k && p == "ITEMINDEX") return k->ItemIndex();
    if (auto* k = dynamic_cast<TListBox*>(c); k && p == "ITEMINDEX") return k->ItemIndex();
    if (auto* k = dynamic_cast<TControl*>(c)) {
        if (p == "CAPTION" || p == "TEXT") return k->GetText();
        if (p == "HINT") return k->Hint();
        if (p == "LEFT") return k->Left();
        if (p == "TOP") return k->Top();
        if (p == "WIDTH") return k->Width();
        if (p == "HEIGHT") return k->Height();
        if (p == "VISIBLE") return int(k->Visible());
        if (p == "ENABLED") return int(k->Enabled());
    }
    return 0;
}
