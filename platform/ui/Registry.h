// The registry as per-user settings: keys are paths such as
// "Software\Quillory\Designer", values are typed (string, integer, boolean, float). Everything
// lives in one settings file in the user's configuration folder; tests move
// it with SetRegistryFileForTesting.
#pragma once

#include <cstdint>
#include <string>

#include "Classes.h"

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

// Raised for values of the wrong type ("Invalid data type for '%s'").
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    TRegistry();
    ~TRegistry() override;
    std::string ClassName() const override { return "TRegistry"; }

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY v) { root_ = v; }
    // Key is relative to the current key unless it starts with "\".
    // Returns false when the key is missing and CanCreate is false.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key) { return OpenKey(Key, false); }
    void CloseKey();
    std::string CurrentPath() const { return path_; }
    bool KeyExists(const std::string& Key) const;
    bool DeleteKey(const std::string& Key);
    bool ValueExists(const std::string& Name) const;
    bool DeleteValue(const std::string& Name);
    void GetValueNames(TStrings* Strings) const;
    void GetKeyNames(TStrings* Strings) const;

    std::string ReadString(const std::string& Name) const;
    void WriteString(const std::string& Name, const std::string& Value);
    int ReadInteger(const std::string& Name) const;
    void WriteInteger(const std::string& Name, int Value);
    bool ReadBool(const std::string& Name) const;
    void WriteBool(const std::string& Name, bool Value);
    double ReadFloat(const std::string& Name) const;
    void WriteFloat(const std::string& Name, double Value);

private:
    std::string full(const std::string& key) const;
    HKEY root_ = HKEY_CURRENT_USER;
    std::string path_;
    bool open_ = false;
};

// An INI-like view of one registry key: sections are sub-keys.
class TRegIniFile : public TObject {
public:
    // FileName is the key under HKEY_CURRENT_USER ("Software\Quillory").
    explicit TRegIniFile(const std::string& FileName);
    std::string ClassName() const override { return "TRegIniFile"; }
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void ReadSection(const std::string& Section, TStrings* Strings) const;
    void ReadSections(TStrings* Strings) const;
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);

private:
    std::string key_;
};

// Points the settings file somewhere else ("" restores the default).
void SetRegistryFileForTesting(const std::string& path);
