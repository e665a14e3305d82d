// Components kept in a blob field: TVQStream writes a list of components
// into a stream (or a blob field of the current record) and reads them
// back, created under the stream's owner and window. Each component is
// written in the binary component form ("TPF0", class name, component
// name, its properties as typed values, the end marks) and the list ends
// with one byte 0.
//
// The class library this stands in for streams every published property
// by run-time type information; here a component says what it holds by
// implementing IVQStreamable (the bill-structure table does), and the
// classes that may be read are registered by name (RegisterVQStreamClass,
// typically from OnRegister). A component that does not implement the
// interface is written with its class and name only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Variants.h"

class TDataSet;
class TWinControl;

// The typed values of the binary form.
enum TVQValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaLString = 12,
    vaCollection = 14,
    vaInt64 = 19,
    vaUTF8String = 20
};

class EVQStreamError : public Exception {
public:
    using Exception::Exception;
};

// Writes one component's properties.
class TVQWriter {
public:
    explicit TVQWriter(std::string& out) : out_(out) {}
    void WriteInteger(const std::string& name, int64_t v);
    void WriteBoolean(const std::string& name, bool v);
    void WriteString(const std::string& name, const std::string& v);
    // A collection: each item a list of properties written by item(i).
    void WriteCollection(const std::string& name, int count, const std::function<void(int, TVQWriter&)>& item);

    // The raw pieces (used by the stream itself).
    void PropName(const std::string& name);
    void ShortString(const std::string& s);
    void Byte(uint8_t b) { out_.push_back(char(b)); }
    void Int32(int32_t v);
    void IntegerValue(int64_t v);
    void StringValue(const std::string& v);

private:
    std::string& out_;
};

// Reads values; a property's value is read by the component that owns it.
class TVQReader {
public:
    TVQReader(const std::string& bytes, size_t pos) : in_(bytes), pos_(pos) {}
    size_t Position() const { return pos_; }
    TVQValueType NextValue() const;
    int64_t ReadInteger();
    bool ReadBoolean();
    std::string ReadString();
    // Any value, as a variant (integers, Booleans, texts); collections and
    // binary values are skipped and give Null.
    Variant ReadValue();
    // Calls item(index, reader, name) for every property of every item.
    void ReadCollection(const std::function<void(int, const std::string&, TVQReader&)>& item);

    uint8_t Byte();
    int32_t Int32();
    std::string ShortString();
    bool AtEnd() const { return pos_ >= in_.size(); }

private:
    void need(size_t n) const;
    const std::string& in_;
    size_t pos_;
};

class IVQStreamable {
public:
    virtual ~IVQStreamable() = default;
    virtual void WriteProperties(TVQWriter& writer) const = 0;
    // An unknown name must still read its value (ReadValue).
    virtual void ReadProperty(const std::string& name, TVQReader& reader) = 0;
};

using TVQComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterVQStreamClass(const std::string& className, TVQComponentFactory factory);

using TVQComponentEvent = std::function<void(TObject* Owner, TComponent* Component)>;
using TVQWritingEvent = std::function<void(TObject* Owner, TComponent* Component, bool& Allow)>;

class TVQStream : public TComponent {
public:
    explicit TVQStream(TComponent* AOwner);
    ~TVQStream() override;
    std::string ClassName() const override { return "TVQStream"; }

    std::string FileName;
    TComponent* StreamWindow() const { return streamWindow_; }
    void SetStreamWindow(TComponent* v);
    bool isUseTag = true;
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* v);
    std::string FieldName;

    TNotifyEvent OnRegister;
    TNotifyEvent OnReadFromStream;
    TNotifyEvent OnWriteToStream;
    TVQComponentEvent OnAddComponent;
    TVQComponentEvent OnRemoveComponent;
    TVQComponentEvent OnReadComponent;
    TVQComponentEvent OnWriteComponent;
    TVQWritingEvent OnWritingComponent;
    TNotifyEvent OnReadFromFile;
    TNotifyEvent OnWriteToFile;
    TVQComponentEvent OnReadingComponent;

    // Ignores a missing component.
    void AddComponent(TComponent* component);
    // Forgets every listed component (they stay where they are).
    void ClearComponents();
    int Count() const { return int(list_.size()); }
    TComponent* Items(int i) const { return list_.at(size_t(i)); }

    // The blob FieldName of the current record of DataSet, when open.
    void LoadFromField();
    // Writes over the blob's bytes from its start; a longer old content
    // keeps its tail after the list end. The caller puts DataSet in edit
    // or insert state.
    void SaveToField();
    // Reads from the stream's position up to the list end; returns the
    // components read.
    std::vector<TComponent*> ReadComponents(TStream* stream);
    void WriteComponents(TStream* stream);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TComponent*> list_;
    TComponent* streamWindow_ = nullptr;
    TDataSet* dataSet_ = nullptr;
};
