#include "report/script/RM_Variables.h"

#include <algorithm>

#include "Graphics.h"
#include "SysUtils.h"

void TRMVariables::Assign(const TRMVariables& other) {
    if (&other == this) return;
    Clear();
    for (auto& e : other.items_) add(e.Name, e.Value);
}

void TRMVariables::Clear() {
    items_.clear();
    index_.clear();
}

size_t TRMVariables::add(const std::string& name, const Variant& value) {
    std::string key = UpperCase(name);
    auto it = index_.find(key);
    if (it != index_.end()) return it->second;
    size_t at = items_.size();
    if (sorted_)
        at = size_t(std::lower_bound(items_.begin(), items_.end(), key,
                                     [](const Entry& e, const std::string& k) { return UpperCase(e.Name) < k; }) -
                    items_.begin());
    items_.insert(items_.begin() + long(at), Entry{name, value});
    if (at + 1 == items_.size())
        index_.emplace(std::move(key), at);
    else
        reindex();
    return at;
}

void TRMVariables::reindex() {
    index_.clear();
    for (size_t i = 0; i < items_.size(); ++i) index_.emplace(UpperCase(items_[i].Name), i);
}

const Variant* TRMVariables::Find(const std::string& name) const {
    auto it = index_.find(UpperCase(name));
    return it == index_.end() ? nullptr : &items_[it->second].Value;
}

Variant TRMVariables::GetVariable(const std::string& name) const {
    const Variant* v = Find(name);
    return v ? *v : Variant(Null());
}

void TRMVariables::SetVariable(const std::string& name, const Variant& value) { (*this)[name] = value; }

Variant& TRMVariables::operator[](const std::string& name) { return items_[add(name, Variant())].Value; }

Variant TRMVariables::GetValue(int i) const {
    return i >= 0 && i < Count() ? items_[size_t(i)].Value : Variant(0);
}

void TRMVariables::SetValue(int i, const Variant& value) {
    if (i >= 0 && i < Count()) items_[size_t(i)].Value = value;
}

std::string TRMVariables::GetName(int i) const { return i >= 0 && i < Count() ? items_[size_t(i)].Name : ""; }

void TRMVariables::SetName(int i, const std::string& name) {
    if (i < 0 || i >= Count()) return;
    // A name another entry has already would make two entries one.
    int other = IndexOf(name);
    if (other >= 0 && other != i) return;
    items_[size_t(i)].Name = name;
    if (sorted_) {
        Entry e = std::move(items_[size_t(i)]);
        items_.erase(items_.begin() + i);
        index_.clear();
        reindex();
        add(e.Name, e.Value);
        return;
    }
    reindex();
}

int TRMVariables::IndexOf(const std::string& name) const {
    auto it = index_.find(UpperCase(name));
    return it == index_.end() ? -1 : int(it->second);
}

void TRMVariables::Insert(int position, const std::string& name) {
    if (IndexOf(name) >= 0) return;
    size_t at = add(name, Variant(0));
    if (sorted_) return;
    position = std::clamp(position, 0, Count() - 1);
    if (int(at) == position) return;
    Entry e = std::move(items_[at]);
    items_.erase(items_.begin() + long(at));
    items_.insert(items_.begin() + position, std::move(e));
    reindex();
}

void TRMVariables::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    items_.erase(items_.begin() + i);
    reindex();
}

void TRMVariables::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    if (!sorted) return;
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Entry& a, const Entry& b) { return UpperCase(a.Name) < UpperCase(b.Name); });
    reindex();
}

TRMVariables& RMGetConstants() {
    static TRMVariables list = [] {
        TRMVariables l;
        TRMVariables* c = &l;
        c->SetSorted(true);
        struct Int {
            const char* Name;
            int Value;
        };
        static const Int colours[] = {
            {"clWhite", int(clWhite)},
            {"clBlack", int(clBlack)},
            {"clMaroon", int(clMaroon)},
            {"clGreen", int(clGreen)},
            {"clOlive", int(clOlive)},
            {"clNavy", int(clNavy)},
            {"clPurple", int(clPurple)},
            {"clTeal", int(clTeal)},
            {"clGray", int(clGray)},
            {"clSilver", int(clSilver)},
            {"clRed", int(clRed)},
            {"clLime", int(clLime)},
            {"clYellow", int(clYellow)},
            {"clBlue", int(clBlue)},
            {"clFuchsia", int(clFuchsia)},
            {"clAqua", int(clAqua)},
            {"clTransparent", int(clNone)},
        };
        for (auto& e : colours) c->SetVariable(e.Name, e.Value);
        static const char* const system[] = {
            "clScrollBar",   "clBackground",      "clActiveCaption", "clInactiveCaption",
            "clMenu",        "clWindow",          "clWindowFrame",   "clMenuText",
            "clWindowText",  "clCaptionText",     "clActiveBorder",  "clInactiveBorder",
            "clAppWorkSpace", "clHighlight",      "clHighlightText", "clBtnFace",
            "clBtnShadow",   "clGrayText",        "clBtnText",       "clInactiveCaptionText",
            "clBtnHighlight", "cl3DDkShadow",     "cl3DLight",       "clInfoText",
            "clInfoBk",
        };
        for (int i = 0; i < int(std::size(system)); ++i) c->SetVariable(system[i], int(SystemColor(i)));
        static const Int others[] = {
            {"rmtaLeftJustify", 0}, {"rmtaRightJustify", 1}, {"rmtaCenterJustify", 2}, {"rmtaEuqalJustify", 3},
            {"rmtlTop", 0},         {"rmtlCenter", 1},       {"rmtlBottom", 2},        {"mrNone", 0},
            {"mrOk", 1},            {"mrCancel", 2},         {"mrYes", 6},             {"mrNo", 7},
            {"fsBold", 2},          {"fsItalic", 1},         {"fsUnderline", 4},       {"RMftNone", 0},
            {"RMftRight", 1},       {"RMftBottom", 2},       {"RMftLeft", 4},          {"RMftTop", 8},
            {"RMtaLeft", 0},        {"RMtaRight", 1},        {"RMtaCenter", 2},        {"RMtaVertical", 4},
            {"RMtaMiddle", 8},      {"RMtaDown", 16},        {"baNone", 0},            {"baLeft", 1},
            {"baRight", 2},         {"baCenter", 3},         {"baWidth", 4},           {"baBottom", 5},
            {"psSolid", 0},         {"psDash", 1},           {"psDot", 2},             {"psDashDot", 3},
            {"psDashDotDot", 4},    {"psDouble", 7},         {"rbFirst", 0},           {"rbCurrent", 1},
            {"rbDefault", 2},       {"reLast", 0},           {"reCurrent", 1},         {"reCount", 2},
            {"reDefault", 3},       {"mb_Ok", 0},            {"mb_OkCancel", 1},       {"mb_YesNo", 4},
            {"mb_YesNoCancel", 3},  {"mb_IconError", 16},    {"mb_IconQuestion", 32},  {"mb_IconInformation", 64},
            {"mb_IconWarning", 48},
        };
        for (auto& e : others) c->SetVariable(e.Name, e.Value);
        c->SetVariable("CRLF", std::string("\r\n"));
        c->SetVariable("Null", Null());
        return l;
    }();
    return list;
}

TRMVariables& RMVariables() {
    static TRMVariables list;
    return list;
}
