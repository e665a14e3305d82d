// Registry values in a QSettings INI file. Key paths use "\" as the class
// library writes them; they become "/" groups in the file. Each value is
// stored with its type so that a string read of an integer fails as the
// registry does.
#include "Registry.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include "Controls_p.h"

namespace {
std::string g_testFile;

std::unique_ptr<QSettings> Open() {
    QString path = g_testFile.empty() ? QDir::homePath() + "/.config/quillory/registry.ini" : ToQt(g_testFile);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString Group(HKEY root, const std::string& path) {
    QString p = ToQt(path);
    p.replace('\\', '/');
    QString r = root == HKEY_LOCAL_MACHINE ? "HKLM" : root == HKEY_CLASSES_ROOT ? "HKCR" : "HKCU";
    return p.isEmpty() ? r : r + "/" + p;
}

std::string Join(const std::string& base, const std::string& key) {
    if (!key.empty() && key.front() == '\\') return key.substr(1);
    if (base.empty()) return key;
    if (key.empty()) return base;
    return base + "\\" + key;
}
} // namespace

void SetRegistryFileForTesting(const std::string& path) { g_testFile = path; }

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

std::string TRegistry::full(const std::string& key) const { return Join(path_, key); }

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    std::string p = full(Key);
    if (!CanCreate && !KeyExists("\\" + p)) return false;
    if (CanCreate) {
        auto s = Open();
        s->setValue(Group(root_, p) + "/.key", 1);
    }
    path_ = p;
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    path_.clear();
    open_ = false;
}

bool TRegistry::KeyExists(const std::string& Key) const {
    auto s = Open();
    return s->contains(Group(root_, full(Key)) + "/.key");
}

bool TRegistry::DeleteKey(const std::string& Key) {
    auto s = Open();
    QString g = Group(root_, full(Key));
    bool had = s->contains(g + "/.key");
    s->remove(g);
    return had;
}

static QString ValueKey(HKEY root, const std::string& path, const std::string& name) {
    return Group(root, path) + "/" + ToQt(name.empty() ? std::string("@") : name);
}

bool TRegistry::ValueExists(const std::string& Name) const { return Open()->contains(ValueKey(root_, path_, Name)); }

bool TRegistry::DeleteValue(const std::string& Name) {
    auto s = Open();
    QString k = ValueKey(root_, path_, Name);
    bool had = s->contains(k);
    s->remove(k);
    return had;
}

void TRegistry::GetValueNames(TStrings* Strings) const {
    Strings->Clear();
    auto s = Open();
    s->beginGroup(Group(root_, path_));
    for (const QString& k : s->childKeys())
        if (k != ".key") Strings->Add(FromQt(k == "@" ? QString() : k));
}

void TRegistry::GetKeyNames(TStrings* Strings) const {
    Strings->Clear();
    auto s = Open();
    s->beginGroup(Group(root_, path_));
    for (const QString& k : s->childGroups()) Strings->Add(FromQt(k));
}

static QVariant Read(HKEY root, const std::string& path, const std::string& name, const char* type) {
    auto s = Open();
    QVariant v = s->value(ValueKey(root, path, name));
    if (!v.isValid()) return v;
    QString text = v.toString();
    QString prefix = QString(type) + ":";
    if (!text.startsWith(prefix)) throw ERegistryException("Invalid data type for '" + name + "'");
    return text.mid(prefix.size());
}

static void Write(HKEY root, const std::string& path, const std::string& name, const char* type, const QString& value) {
    Open()->setValue(ValueKey(root, path, name), QString(type) + ":" + value);
}

std::string TRegistry::ReadString(const std::string& Name) const {
    QVariant v = Read(root_, path_, Name, "s");
    return v.isValid() ? FromQt(v.toString()) : std::string();
}
void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    Write(root_, path_, Name, "s", ToQt(Value));
}
int TRegistry::ReadInteger(const std::string& Name) const {
    QVariant v = Read(root_, path_, Name, "i");
    if (!v.isValid()) throw ERegistryException("Invalid data type for '" + Name + "'");
    return v.toString().toInt();
}
void TRegistry::WriteInteger(const std::string& Name, int Value) {
    Write(root_, path_, Name, "i", QString::number(Value));
}
bool TRegistry::ReadBool(const std::string& Name) const { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }
double TRegistry::ReadFloat(const std::string& Name) const {
    QVariant v = Read(root_, path_, Name, "f");
    if (!v.isValid()) throw ERegistryException("Invalid data type for '" + Name + "'");
    return v.toString().toDouble();
}
void TRegistry::WriteFloat(const std::string& Name, double Value) {
    Write(root_, path_, Name, "f", QString::number(Value, 'g', 17));
}

TRegIniFile::TRegIniFile(const std::string& FileName) : key_(FileName) {}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    TRegistry r;
    if (!r.OpenKey(Join(key_, Section), false) || !r.ValueExists(Ident)) return Default;
    try {
        return r.ReadString(Ident);
    } catch (const ERegistryException&) {
        return Default;
    }
}
void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    TRegistry r;
    r.OpenKey(Join(key_, Section), true);
    r.WriteString(Ident, Value);
}
int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    TRegistry r;
    if (!r.OpenKey(Join(key_, Section), false) || !r.ValueExists(Ident)) return Default;
    try {
        return r.ReadInteger(Ident);
    } catch (const ERegistryException&) {
        return Default;
    }
}
void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    TRegistry r;
    r.OpenKey(Join(key_, Section), true);
    r.WriteInteger(Ident, Value);
}
bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}
void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}
void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) const {
    TRegistry r;
    Strings->Clear();
    if (r.OpenKey(Join(key_, Section), false)) r.GetValueNames(Strings);
}
void TRegIniFile::ReadSections(TStrings* Strings) const {
    TRegistry r;
    Strings->Clear();
    if (r.OpenKey(key_, false)) r.GetKeyNames(Strings);
}
void TRegIniFile::EraseSection(const std::string& Section) {
    TRegistry r;
    r.DeleteKey("\\" + Join(key_, Section));
}
void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    TRegistry r;
    if (r.OpenKey(Join(key_, Section), false)) r.DeleteValue(Ident);
}
