#include "VQExportSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

std::string ExcelColumnLetter(int column) {
    std::string s;
    while (column > 0) {
        const int d = (column - 1) % 26;
        s.insert(s.begin(), char('A' + d));
        column = (column - 1) / 26;
    }
    return s;
}

bool IsBlobKind(TFieldType t) {
    switch (t) {
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

bool IsNumericKind(TFieldType t) {
    switch (t) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD: return true;
    default: return false;
    }
}

TVQAtomicFile::TVQAtomicFile(std::string finalName, const std::string& tempSuffix) : final_(std::move(finalName)) {
    const auto slash = final_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : final_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? final_ : final_.substr(slash + 1);
    temp_ = dir + "." + base + ".part" + std::to_string(getpid()) + tempSuffix;
}

TVQAtomicFile::~TVQAtomicFile() {
    if (!committed_) std::remove(temp_.c_str());
}

void TVQAtomicFile::Commit() {
    if (std::rename(temp_.c_str(), final_.c_str()) != 0)
        throw EVQExportError("无法写入文件 " + final_ + "：" + std::strerror(errno));
    committed_ = true;
}
