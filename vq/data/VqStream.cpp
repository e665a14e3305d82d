// Components in the binary component form; see VqStream.h.
#include "vq/data/VqStream.h"

#include <cstring>
#include <map>

#include "Controls.h"
#include "DB.h"
#include "SysUtils.h"

namespace {

const char kSignature[] = "TPF0";

std::map<std::string, TVQComponentFactory>& Registry() {
    static std::map<std::string, TVQComponentFactory> r;
    return r;
}

// A name the owner has no component of: the class name without its first
// letter and the smallest number from 1.
std::string FreeName(TComponent* owner, const std::string& className) {
    const std::string base = className.size() > 1 ? className.substr(1) : className;
    for (int i = 1;; ++i) {
        const std::string name = base + std::to_string(i);
        if (!owner || !owner->FindComponent(name)) return name;
    }
}

} // namespace

void RegisterVQStreamClass(const std::string& className, TVQComponentFactory factory) {
    Registry()[className] = std::move(factory);
}

// ------------------------------------------------------------ writer

void TVQWriter::ShortString(const std::string& s) {
    if (s.size() > 255) throw EVQStreamError("名称过长: " + s);
    Byte(uint8_t(s.size()));
    out_ += s;
}

void TVQWriter::Int32(int32_t v) {
    for (int i = 0; i < 4; ++i) Byte(uint8_t(uint32_t(v) >> (8 * i)));
}

void TVQWriter::PropName(const std::string& name) { ShortString(name); }

// The smallest form that holds the value.
void TVQWriter::IntegerValue(int64_t v) {
    if (v >= -128 && v <= 127) {
        Byte(vaInt8);
        Byte(uint8_t(int8_t(v)));
    } else if (v >= -32768 && v <= 32767) {
        Byte(vaInt16);
        Byte(uint8_t(v));
        Byte(uint8_t(v >> 8));
    } else if (v >= INT32_MIN && v <= INT32_MAX) {
        Byte(vaInt32);
        Int32(int32_t(v));
    } else {
        Byte(vaInt64);
        for (int i = 0; i < 8; ++i) Byte(uint8_t(uint64_t(v) >> (8 * i)));
    }
}

void TVQWriter::StringValue(const std::string& v) {
    Byte(vaUTF8String);
    Int32(int32_t(v.size()));
    out_ += v;
}

void TVQWriter::WriteInteger(const std::string& name, int64_t v) {
    PropName(name);
    IntegerValue(v);
}

void TVQWriter::WriteBoolean(const std::string& name, bool v) {
    PropName(name);
    Byte(v ? vaTrue : vaFalse);
}

void TVQWriter::WriteString(const std::string& name, const std::string& v) {
    PropName(name);
    StringValue(v);
}

void TVQWriter::WriteCollection(const std::string& name, int count, const std::function<void(int, TVQWriter&)>& item) {
    PropName(name);
    Byte(vaCollection);
    for (int i = 0; i < count; ++i) {
        Byte(vaList);
        item(i, *this);
        Byte(0);
    }
    Byte(0);
}

// ------------------------------------------------------------ reader

void TVQReader::need(size_t n) const {
    if (pos_ + n > in_.size()) throw EVQStreamError("组件流已损坏");
}

uint8_t TVQReader::Byte() {
    need(1);
    return uint8_t(in_[pos_++]);
}

int32_t TVQReader::Int32() {
    need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in_[pos_ + size_t(i)])) << (8 * i);
    pos_ += 4;
    return int32_t(v);
}

std::string TVQReader::ShortString() {
    const size_t n = Byte();
    need(n);
    std::string s = in_.substr(pos_, n);
    pos_ += n;
    return s;
}

TVQValueType TVQReader::NextValue() const {
    need(1);
    return TVQValueType(uint8_t(in_[pos_]));
}

int64_t TVQReader::ReadInteger() {
    switch (Byte()) {
    case vaInt8: return int8_t(Byte());
    case vaInt16: {
        const uint8_t lo = Byte();
        return int16_t(uint16_t(lo | (uint16_t(Byte()) << 8)));
    }
    case vaInt32: return Int32();
    case vaInt64: {
        need(8);
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t(uint8_t(in_[pos_ + size_t(i)])) << (8 * i);
        pos_ += 8;
        return int64_t(v);
    }
    default: throw EVQStreamError("组件流中应为整数");
    }
}

bool TVQReader::ReadBoolean() {
    const uint8_t t = Byte();
    if (t != vaTrue && t != vaFalse) throw EVQStreamError("组件流中应为布尔值");
    return t == vaTrue;
}

std::string TVQReader::ReadString() {
    const uint8_t t = Byte();
    size_t n = 0;
    if (t == vaString)
        n = Byte();
    else if (t == vaLString || t == vaUTF8String)
        n = size_t(uint32_t(Int32()));
    else
        throw EVQStreamError("组件流中应为文字");
    need(n);
    std::string s = in_.substr(pos_, n);
    pos_ += n;
    return s;
}

Variant TVQReader::ReadValue() {
    switch (NextValue()) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return Variant(ReadInteger());
    case vaTrue:
    case vaFalse: return Variant(ReadBoolean());
    case vaString:
    case vaLString:
    case vaUTF8String: return Variant(ReadString());
    case vaNull: Byte(); return Null();
    case vaBinary: {
        Byte();
        const size_t n = size_t(uint32_t(Int32()));
        need(n);
        pos_ += n;
        return Null();
    }
    case vaCollection:
        ReadCollection([](int, const std::string&, TVQReader& r) { r.ReadValue(); });
        return Null();
    default: throw EVQStreamError("组件流中有未知的值");
    }
}

void TVQReader::ReadCollection(const std::function<void(int, const std::string&, TVQReader&)>& item) {
    if (Byte() != vaCollection) throw EVQStreamError("组件流中应为集合");
    for (int index = 0;; ++index) {
        const uint8_t t = Byte();
        if (t == 0) return;
        if (t != vaList) throw EVQStreamError("组件流中的集合已损坏");
        for (std::string name = ShortString(); !name.empty(); name = ShortString()) item(index, name, *this);
    }
}

// ------------------------------------------------------------ TVQStream

TVQStream::TVQStream(TComponent* AOwner) : TComponent(AOwner), streamWindow_(AOwner) {
    if (streamWindow_) streamWindow_->FreeNotification(this);
}

TVQStream::~TVQStream() {
    if (streamWindow_) streamWindow_->RemoveFreeNotification(this);
    if (dataSet_) dataSet_->RemoveFreeNotification(this);
}

void TVQStream::SetStreamWindow(TComponent* v) {
    if (streamWindow_) streamWindow_->RemoveFreeNotification(this);
    streamWindow_ = v;
    if (v) v->FreeNotification(this);
}

void TVQStream::SetDataSet(TDataSet* v) {
    if (dataSet_) dataSet_->RemoveFreeNotification(this);
    dataSet_ = v;
    if (v) v->FreeNotification(this);
}

void TVQStream::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == streamWindow_) streamWindow_ = nullptr;
    if (component == dataSet_) dataSet_ = nullptr;
    list_.erase(std::remove(list_.begin(), list_.end(), component), list_.end());
}

void TVQStream::AddComponent(TComponent* component) {
    if (!component) return;
    list_.push_back(component);
    component->FreeNotification(this);
    if (OnAddComponent) OnAddComponent(this, component);
}

void TVQStream::ClearComponents() {
    while (!list_.empty()) {
        TComponent* c = list_.front();
        if (OnRemoveComponent) OnRemoveComponent(this, c);
        list_.erase(list_.begin());
    }
}

void TVQStream::WriteComponents(TStream* stream) {
    std::string out;
    TVQWriter w(out);
    for (TComponent* c : std::vector<TComponent*>(list_)) {
        if (isUseTag)
            if (auto* control = dynamic_cast<TControl*>(c); control && control->Parent())
                c->SetTag(control->Parent()->ComponentIndex());
        bool allow = true;
        if (OnWritingComponent) OnWritingComponent(this, c, allow);
        if (allow) {
            out += kSignature;
            w.ShortString(c->ClassName());
            w.ShortString(c->Name());
            if (c->Tag() != 0) w.WriteInteger("Tag", c->Tag());
            if (auto* s = dynamic_cast<const IVQStreamable*>(c)) s->WriteProperties(w);
            w.Byte(0); // end of properties
            w.Byte(0); // end of children
        }
        if (OnWriteComponent) OnWriteComponent(this, c);
    }
    w.Byte(0); // end of the list
    stream->WriteBuffer(out.data(), int64_t(out.size()));
    if (OnWriteToStream) OnWriteToStream(this);
}

std::vector<TComponent*> TVQStream::ReadComponents(TStream* stream) {
    if (OnRegister) OnRegister(this);
    std::string bytes;
    const int64_t left = stream->Size() - stream->Position();
    bytes.resize(size_t(std::max<int64_t>(0, left)));
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), int64_t(bytes.size()));
    TVQReader r(bytes, 0);
    std::vector<TComponent*> read;
    TComponent* owner = Owner();
    while (true) {
        if (r.AtEnd()) throw EVQStreamError("组件流没有结束标记");
        if (r.NextValue() == 0) {
            r.Byte();
            break;
        }
        std::string sig;
        for (int i = 0; i < 4; ++i) sig += char(r.Byte());
        if (sig != kSignature) throw EVQStreamError("组件流格式无效");
        const std::string className = r.ShortString();
        std::string name = r.ShortString();
        auto it = Registry().find(className);
        if (it == Registry().end()) throw EVQStreamError("类 " + className + " 未注册");
        TComponent* c = it->second(owner);
        try {
            if (owner && !name.empty() && owner->FindComponent(name)) name = FreeName(owner, className);
            c->SetName(name);
            if (auto* control = dynamic_cast<TControl*>(c))
                if (auto* window = dynamic_cast<TWinControl*>(streamWindow_)) control->SetParent(window);
            auto* s = dynamic_cast<IVQStreamable*>(c);
            for (std::string prop = r.ShortString(); !prop.empty(); prop = r.ShortString()) {
                if (prop == "Tag")
                    c->SetTag(intptr_t(r.ReadInteger()));
                else if (s)
                    s->ReadProperty(prop, r);
                else
                    r.ReadValue();
            }
            if (r.Byte() != 0) throw EVQStreamError("组件流中的子组件无法读取");
        } catch (...) {
            delete c;
            throw;
        }
        read.push_back(c);
        if (OnReadComponent) OnReadComponent(this, c);
    }
    if (OnReadFromStream) OnReadFromStream(this);
    return read;
}

void TVQStream::LoadFromField() {
    if (!dataSet_ || !dataSet_->Active()) return;
    TField* f = dataSet_->FieldByName(FieldName);
    TMemoryStream m;
    if (auto* b = dynamic_cast<TBlobField*>(f))
        b->SaveToStream(&m);
    else
        m.WriteBuffer(f->AsString().data(), int64_t(f->AsString().size()));
    m.SetPosition(0);
    ReadComponents(&m);
}

void TVQStream::SaveToField() {
    if (!dataSet_ || !dataSet_->Active()) return;
    TField* f = dataSet_->FieldByName(FieldName);
    TMemoryStream m;
    WriteComponents(&m);
    std::string bytes = m.Bytes();
    // The blob is written over from its start, not emptied first.
    const std::string old = f->IsNull() ? std::string() : f->AsString();
    if (old.size() > bytes.size()) bytes += old.substr(bytes.size());
    TMemoryStream out;
    out.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    out.SetPosition(0);
    if (auto* b = dynamic_cast<TBlobField*>(f))
        b->LoadFromStream(&out);
    else
        f->SetAsString(bytes);
}
