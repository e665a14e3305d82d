#include "report/model/RM_Utils.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "DB.h"
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "Registry.h"
#include "Screen.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "report/model/RM_Class.h"
#include "report/model/RM_Register.h"
#include "report/model/RM_Report.h"
#include "report/toolkit/RM_Common.h"

// ---------------------------------------------------------------- texts

namespace {
struct TRMText {
    int id;
    const char* text;
};
// Sorted by number.
constexpr TRMText kTexts[] = {
#include "report/model/RM_StringTable.inc"
};
} // namespace

std::string TRMLocale::LoadStr(int id) const {
    if (auto it = replaced_.find(id); it != replaced_.end()) return it->second;
    const TRMText* end = std::end(kTexts);
    const TRMText* t = std::lower_bound(std::begin(kTexts), end, id, [](const TRMText& e, int n) { return e.id < n; });
    return t != end && t->id == id ? t->text : "";
}

TRMLocale* RMGetLocale() {
    static TRMLocale locale;
    return &locale;
}

std::string RMLoadStr(int id) {
    std::string s = RMGetLocale()->LoadStr(id);
    if (!s.empty()) return s;
    switch (id) {
    case 47337: return "1";
    case 47444: return "MS Sans Serif";
    case 47445: return "8";
    case 47483: return "0";
    default: return s;
    }
}

void RMSetStrProp(TObject* object, const std::string& property, int id) {
    std::string text = RMLoadStr(id);
    if (text.empty() || !object) return;
    // The published text properties the engine's dialogs localize.
    if (auto* m = dynamic_cast<TMenuItem*>(object)) {
        if (SameText(property, "Caption")) m->SetCaption(text);
        if (SameText(property, "Hint")) m->SetHint(text);
    } else if (auto* c = dynamic_cast<TControl*>(object)) {
        if (SameText(property, "Caption") || SameText(property, "Text")) c->SetText(text);
        if (SameText(property, "Hint")) c->SetHint(text);
    }
}

void RMSetDialogFont(TFont* font) {
    font->SetName(RMLoadStr(47444));
    int v;
    if (TryStrToInt(RMLoadStr(47445), v)) font->SetSize(v);
    if (TryStrToInt(RMLoadStr(47337), v)) font->SetCharset(TFontCharset(v));
}

// ---------------------------------------------------------------- font sizes

const int RMStandardFontSizes[13] = {42, 36, 26, 24, 22, 18, 16, 15, 14, 12, 11, 9, 8};
const char* const RMChineseFontSizeNames[13] = {"初号", "小初", "一号", "小一", "二号", "小二", "三号",
                                                "小三", "四号", "小四", "五号", "小五", "六号"};
const bool RMChineseFontSizes = RMLoadStr(47483) == "1";

void RMSetFontSize(TComboBox* box, int size) {
    const int* end = std::end(RMStandardFontSizes);
    const int* at = std::find(std::begin(RMStandardFontSizes), end, size);
    std::string text =
        at != end && RMChineseFontSizes ? RMChineseFontSizeNames[at - RMStandardFontSizes] : std::to_string(size);
    int i = box->Items()->IndexOf(text);
    if (i >= 0)
        box->SetItemIndex(i);
    else
        box->SetText(text);
}

int RMGetFontSize(TComboBox* box) {
    int i = box->ItemIndex();
    if (i < 0) {
        int v;
        return TryStrToInt(Trim(box->GetText()), v) ? v : 0;
    }
    // Without the Chinese names the first items show their own numbers.
    if (i < 13 && RMChineseFontSizes) return RMStandardFontSizes[i];
    return StrToInt(Trim(box->Items()->Strings(i)));
}

double RMStrToFloat(const std::string& s) {
    std::string t = Trim(s);
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty()) return 0;
    char* end = nullptr;
    double d = strtod(t.c_str(), &end);
    return d;
}

size_t RMLastDotOutsideQuotes(const std::string& name) {
    size_t dot = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '"')
            quoted = !quoted;
        else if (name[i] == '.' && !quoted)
            dot = i;
    }
    return dot;
}

std::string RMRemoveQuotes(const std::string& s) {
    if (s.size() > 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

std::string RMGetNextItem(const std::string& s, size_t& pos) {
    size_t end = s.find(';', pos);
    if (end == std::string::npos) end = s.size();
    std::string item = s.substr(std::min(pos, s.size()), end - std::min(pos, s.size()));
    pos = end + 1;
    return item;
}

std::vector<std::string> RMSplitSemicolonList(const std::string& s) {
    std::vector<std::string> items;
    for (size_t pos = 0; pos < s.size();) items.push_back(RMGetNextItem(s, pos));
    return items;
}

std::string RMReverseString(const std::string& s) { return std::string(s.rbegin(), s.rend()); }

int RMGetTextHeight(const std::string& text, const TFont* font) {
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas()->Font()->Assign(const_cast<TFont*>(font));
    return b.Canvas()->TextHeight(text);
}

std::string RMGetWindowsVersion() { return {}; }

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

TComponent* RMFindComponent(const std::string& name) {
    return RMFindComponentIn(CurReport ? CurReport->Owner() : nullptr, name);
}

namespace {
// The open forms and the data modules, in that order.
std::vector<TComponent*> globalComponents() {
    std::vector<TComponent*> out;
    for (int i = 0; i < Screen->FormCount(); ++i) out.push_back(Screen->Forms(i));
    if (Application)
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            TComponent* c = Application->Components(i);
            if (!dynamic_cast<TCustomForm*>(c)) out.push_back(c);
        }
    return out;
}
} // namespace

void RMGetComponents(TComponent* owner, const std::function<bool(const TComponent*)>& isOfClass, TStrings* list,
                     TComponent* skip) {
    list->Clear();
    auto listOf = [&](TComponent* holder) {
        for (int i = 0; i < holder->ComponentCount(); ++i) {
            TComponent* c = holder->Components(i);
            if (c == skip || !isOfClass(c) || c->Name().empty()) continue;
            list->Add(holder == owner ? c->Name() : holder->Name() + "." + c->Name());
        }
    };
    if (owner) listOf(owner);
    for (TComponent* g : globalComponents())
        if (g != owner) listOf(g);
}

void RMParseDataField(TComponent* owner, const std::string& text, TDataSet*& dataSet, std::string& field) {
    std::vector<std::string> parts;
    size_t from = 0;
    while (true) {
        size_t dot = text.find('.', from);
        size_t quote = text.find('"', from);
        if (dot == std::string::npos || (quote != std::string::npos && quote < dot)) break;
        parts.push_back(text.substr(from, dot - from));
        from = dot + 1;
    }
    parts.push_back(text.substr(from));
    if (parts.size() > 1) {
        std::string path = parts[0];
        for (size_t i = 1; i + 1 < parts.size() && i < 3; ++i) path += "." + parts[i];
        TComponent* c = RMFindComponentIn(owner, path);
        if (auto* source = dynamic_cast<TRMDBDataSet*>(c))
            dataSet = source->DataSet();
        else
            dataSet = dynamic_cast<TDataSet*>(c);
    }
    field = RMCheckFieldName(dataSet, RMRemoveQuotes(parts.back()));
}

std::string RMCheckFieldName(TDataSet* dataSet, const std::string& name) {
    if (!dataSet) return {};
    TStringList names;
    RMGetFieldNames(dataSet, &names);
    for (int i = 0; i < names.Count(); ++i)
        if (SameText(names.Strings(i), name)) return name;
    return {};
}

void RMGetFieldNames(TDataSet* dataSet, TStrings* list) {
    try {
        dataSet->GetFieldNames(list);
    } catch (const Exception&) {
    }
}

bool RMIsBlob(TField* field) {
    if (!field) return false;
    switch (field->DataType()) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return true;
    default: return false;
    }
}

void RMAssignBlob(TField* field, TStrings* target) { target->SetText(field->AsString()); }

void RMAssignBlob(TField* field, TStream& target) {
    target.WriteBuffer(field->AsString());
    target.SetPosition(0);
}

bool RMIsSameRecord(TDataSet* dataSet, const std::string& bookmark1, const std::string& bookmark2) {
    return dataSet->CompareBookmarks(bookmark1, bookmark2) == 0;
}

Variant RMGetFieldValue(TField* field) {
    if (field->OnGetText || field->DataType() == ftLargeint) return field->DisplayText();
    if (!field->IsNull()) return field->Value();
    switch (field->DataType()) {
    case ftString:
    case ftWideString: return std::string();
    case ftBoolean: return false;
    default: return 0;
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

// ---------------------------------------------------------------- windows

void RMEnableControls(const std::vector<TControl*>& controls, bool enabled) {
    for (TControl* c : controls) {
        c->SetEnabled(enabled);
        if (auto* l = dynamic_cast<TLabel*>(c))
            l->Font()->SetColor(enabled ? clWindowText : clGrayText);
        else if (dynamic_cast<TWinControl*>(c))
            c->SetColor(enabled ? clWindow : clBtnFace);
    }
}

void RMEnableChildControls(TWinControl* parent, bool enabled) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->ControlCount() > 0) {
            RMEnableChildControls(w, enabled);
            continue;
        }
        c->SetEnabled(enabled);
        if (dynamic_cast<TCustomEdit*>(c) || dynamic_cast<TComboBox*>(c))
            c->SetColor(enabled ? clWindow : clInactiveBorder);
    }
}

namespace {
std::string formKey(TCustomForm* form) { return "Form\\" + form->ClassName(); }
} // namespace

void RMSaveFormPosition(TCustomForm* form) {
    TRegIniFile ini(RMRegRootKey);
    const std::string key = formKey(form);
    ini.WriteInteger(key, "XPosition", form->Left());
    ini.WriteInteger(key, "YPosition", form->Top());
    ini.WriteInteger(key, "Width", form->Width());
    ini.WriteInteger(key, "Height", form->Height());
    ini.WriteBool(key, "Maximized", form->WindowState() == wsMaximized);
}

void RMRestoreFormPosition(TCustomForm* form) {
    TRegIniFile ini(RMRegRootKey);
    const std::string key = formKey(form);
    if (!ini.ReadBool(key, "Maximized", true)) form->SetWindowState(wsNormal);
    form->SetBounds(ini.ReadInteger(key, "XPosition", form->Left()), ini.ReadInteger(key, "YPosition", form->Top()),
                    ini.ReadInteger(key, "Width", form->Width()), ini.ReadInteger(key, "Height", form->Height()));
}

// ---------------------------------------------------------------- pictures

namespace {
using TRMDrawPicture = void (*)(TCanvas*);

void frame(TCanvas* c, TColor fill, TRect r) {
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(fill);
    c->Rectangle(r);
}
void lines(TCanvas* c, TColor color, std::initializer_list<std::pair<TPoint, TPoint>> ls) {
    c->Pen()->SetColor(color);
    for (auto& [a, b] : ls) {
        c->MoveTo(a.X, a.Y);
        c->LineTo(b.X, b.Y);
    }
}
// A colour button's face: a letter or mark above a bar that shows the
// chosen colour, which the button paints over rows 12-15.
void colourFace(TCanvas* c, const char* mark) {
    c->Font()->SetSize(8);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(4, 0, mark);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlack);
    c->FillRect(TRect(0, 12, 16, 16));
}

struct TRMNamedPicture {
    const char* name;
    int width, height;
    TRMDrawPicture draw;
};

const TRMNamedPicture kPictures[] = {
    {"RM_SCRIPT", 16, 16,
     [](TCanvas* c) {
         frame(c, clWhite, TRect(2, 1, 14, 15));
         lines(c, clNavy, {{{4, 4}, {12, 4}}, {{6, 7}, {12, 7}}, {{6, 10}, {11, 10}}, {{4, 13}, {9, 13}}});
     }},
    {"RM_HIGHLIGHT", 16, 16,
     [](TCanvas* c) {
         c->Brush()->SetColor(clYellow);
         c->FillRect(TRect(1, 9, 15, 14));
         lines(c, clBlack, {{{3, 12}, {7, 2}}, {{7, 2}, {11, 12}}, {{5, 8}, {9, 8}}});
     }},
    {"RM_PENCIL", 16, 16,
     [](TCanvas* c) {
         c->Pen()->SetColor(clBlack);
         c->Brush()->SetColor(clYellow);
         c->Polygon({TPoint(2, 14), TPoint(3, 10), TPoint(12, 1), TPoint(15, 4), TPoint(6, 13)});
     }},
    {"RM_INSPPANEL1", 16, 16, [](TCanvas* c) { lines(c, clBlack, {{{5, 4}, {10, 8}}, {{10, 8}, {5, 12}}}); }},
    {"RM_INSPPANEL2", 16, 16, [](TCanvas* c) { lines(c, clBlack, {{{4, 6}, {8, 10}}, {{8, 10}, {12, 6}}}); }},
    {"RM_FLD1", 16, 16,
     [](TCanvas* c) {
         frame(c, clWhite, TRect(1, 3, 15, 13));
         lines(c, clBlack, {{{1, 7}, {15, 7}}, {{6, 3}, {6, 13}}});
     }},
    {"RM_FLD2", 16, 16,
     [](TCanvas* c) {
         frame(c, clYellow, TRect(1, 3, 15, 13));
         lines(c, clBlack, {{{1, 7}, {15, 7}}});
     }},
    {"RM_TOOLSINSFIELDS", 16, 16,
     [](TCanvas* c) {
         frame(c, clWhite, TRect(1, 1, 11, 15));
         lines(c, clBlack, {{{1, 5}, {11, 5}}, {{1, 10}, {11, 10}}, {{11, 8}, {15, 8}}, {{13, 6}, {15, 8}}, {{13, 10}, {15, 8}}});
     }},
    {"RM_BARCODEOBJECT", 16, 16,
     [](TCanvas* c) {
         for (int x : {2, 3, 5, 8, 9, 11, 13}) lines(c, clBlack, {{{x, 2}, {x, 14}}});
     }},
    {"RM_TRUETYPE_FNT", 16, 16,
     [](TCanvas* c) {
         lines(c, clGray, {{{2, 3}, {10, 3}}, {{6, 3}, {6, 12}}});
         lines(c, clBlack, {{{7, 6}, {14, 6}}, {{10, 6}, {10, 15}}});
     }},
    {"RM_DEVICE_FNT", 16, 16,
     [](TCanvas* c) {
         frame(c, clWhite, TRect(2, 6, 14, 13));
         lines(c, clBlack, {{{5, 2}, {11, 2}}, {{5, 2}, {5, 6}}, {{11, 2}, {11, 6}}});
     }},
    {"RM_FONTCOLOR", 16, 16, [](TCanvas* c) { colourFace(c, "A"); }},
    {"RM_FILLCOLOR", 16, 16, [](TCanvas* c) { colourFace(c, "\u25A0"); }},
    {"RM_LINECOLOR", 16, 16, [](TCanvas* c) { colourFace(c, "\u2571"); }},
    {"RM_HIGHLIGHTCOLOR", 16, 16, [](TCanvas* c) { colourFace(c, "\u270E"); }},
    {"RM_DROPDOWN", 8, 16,
     [](TCanvas* c) {
         c->Pen()->SetColor(clBlack);
         c->Brush()->SetColor(clBlack);
         c->Polygon({TPoint(1, 6), TPoint(6, 6), TPoint(3, 9)});
     }},
    {"RM_EMPTY", 16, 16,
     [](TCanvas* c) {
         frame(c, clWhite, TRect(0, 0, 16, 16));
         lines(c, clRed, {{{3, 3}, {13, 13}}, {{13, 3}, {3, 13}}});
     }},
    {"RM_BAND", 16, 16,
     [](TCanvas* c) {
         frame(c, clSilver, TRect(1, 2, 15, 14));
         lines(c, clBlack, {{{1, 6}, {15, 6}}, {{1, 10}, {15, 10}}});
     }},
};
} // namespace

std::unique_ptr<TBitmap> RMLoadBitmap(const std::string& name) {
    auto b = std::make_unique<TBitmap>();
    for (const TRMNamedPicture& p : kPictures)
        if (SameText(name, p.name)) {
            b->SetSize(p.width, p.height);
            // Olive is the see-through colour of the engine's pictures.
            b->Canvas()->Brush()->SetColor(clOlive);
            b->Canvas()->FillRect(TRect(0, 0, p.width, p.height));
            p.draw(b->Canvas());
            b->SetTransparentColor(clOlive);
            break;
        }
    return b;
}

void RMGetBitmapPixelsPerInch(TGraphic* graphic, int& x, int& y) {
    x = y = 96;
    if (!graphic) return;
    TMemoryStream m;
    try {
        graphic->SaveToStream(m);
    } catch (const Exception&) {
        return;
    }
    const std::string bytes(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    if (bytes.size() < 14 + 40 || bytes.compare(0, 2, "BM") != 0) return;
    auto i32 = [&](size_t at) {
        return int32_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8 | uint8_t(bytes[at + 2]) << 16 |
                       uint32_t(uint8_t(bytes[at + 3])) << 24);
    };
    // Pixels per metre; 39.37 inches make a metre (dividing by 39 read 96
    // dpi as 97).
    x = int(std::lround(i32(14 + 24) / 39.37));
    y = int(std::lround(i32(14 + 28) / 39.37));
    if (x <= 0) x = 96;
    if (y <= 0) y = 96;
}
