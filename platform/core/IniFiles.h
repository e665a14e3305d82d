// INI files ("ConSQL.ini", "ConnectSQL.ini" and the windows' settings):
// sections and keys matched without regard to case, text in GBK with CR LF
// on disk. TIniFile writes every change to disk at once and sees changes
// another copy of the program made; TMemIniFile keeps changes in memory
// until UpdateFile. Lines the program does not touch (comments, order,
// other sections) are kept as they were.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "System.h"

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string fileName);
    ~TCustomIniFile() override;
    const std::string& FileName() const { return fileName_; }

    // Values are trimmed; one pair of enclosing quotes ("..." or '...') is
    // removed. Missing section, key or file gives def.
    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
    // Raises EIniFileException "Unable to write to %s" when the file cannot
    // be written (TIniFile) — nothing is half written.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    // Decimal or "0x" hex; def when missing or not a number.
    int ReadInteger(const std::string& section, const std::string& ident, int def);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    // Nonzero number is true; def when missing or not a number. Written as
    // "1"/"0".
    bool ReadBool(const std::string& section, const std::string& ident, bool def);
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    double ReadFloat(const std::string& section, const std::string& ident, double def);
    void WriteFloat(const std::string& section, const std::string& ident, double value);
    // Dates as "yyyy-MM-dd"; def when missing or not a date.
    TDateTime ReadDate(const std::string& section, const std::string& ident, TDateTime def);
    void WriteDate(const std::string& section, const std::string& ident, TDateTime value);
    TDateTime ReadDateTime(const std::string& section, const std::string& ident, TDateTime def);
    void WriteDateTime(const std::string& section, const std::string& ident, TDateTime value);
    TDateTime ReadTime(const std::string& section, const std::string& ident, TDateTime def);
    void WriteTime(const std::string& section, const std::string& ident, TDateTime value);

    // Key names of a section, in file order.
    void ReadSection(const std::string& section, TStrings* strings);
    // Section names, in file order.
    void ReadSections(TStrings* strings);
    // "key=value" lines of a section.
    void ReadSectionValues(const std::string& section, TStrings* strings);
    bool SectionExists(const std::string& section);
    bool ValueExists(const std::string& section, const std::string& ident);
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& ident);
    // Writes pending changes (TMemIniFile); nothing to do for TIniFile.
    virtual void UpdateFile();

protected:
    struct Data;
    // Brings the in-memory copy up to date before a read (TIniFile re-reads
    // a file changed on disk).
    virtual void refresh() = 0;
    // Called after every change.
    virtual void changed() = 0;
    void load();
    void save();
    std::unique_ptr<Data> d_;

private:
    std::string fileName_;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& fileName);

protected:
    void refresh() override;
    void changed() override;

private:
    int64_t stamp_ = -2;
    int64_t size_ = -2;
};

class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& fileName);
    void UpdateFile() override;

protected:
    void refresh() override {}
    void changed() override {}
};
