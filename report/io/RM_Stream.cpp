#include "report/io/RM_Stream.h"
#include <cstring>

#include "Gbk.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Metafile.h"
#include "SysUtils.h"

uint8_t RMStreamVersion = RMCurrentVersion;

uint8_t RMReadByte(TStream& s) {
    uint8_t v;
    s.ReadBuffer(&v, 1);
    return v;
}
bool RMReadBoolean(TStream& s) { return RMReadByte(s) != 0; }
uint16_t RMReadWord(TStream& s) {
    uint8_t b[2];
    s.ReadBuffer(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}
int32_t RMReadInteger(TStream& s) {
    uint8_t b[4];
    s.ReadBuffer(b, 4);
    return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
}
double RMReadDouble(TStream& s) {
    uint8_t b[8];
    s.ReadBuffer(b, 8);
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
    double d;
    memcpy(&d, &u, 8);
    return d;
}
void RMWriteByte(TStream& s, uint8_t v) { s.WriteBuffer(&v, 1); }
void RMWriteBoolean(TStream& s, bool v) { RMWriteByte(s, v ? 1 : 0); }
void RMWriteWord(TStream& s, uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    s.WriteBuffer(b, 2);
}
void RMWriteInteger(TStream& s, int32_t v) {
    uint32_t u = uint32_t(v);
    uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    s.WriteBuffer(b, 4);
}
void RMWriteDouble(TStream& s, double d) {
    uint64_t u;
    memcpy(&u, &d, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = uint8_t(u >> (8 * i));
    s.WriteBuffer(b, 8);
}
bool RMReadWordBool(TStream& s) { return RMReadWord(s) != 0; }
void RMWriteWordBool(TStream& s, bool v) { RMWriteWord(s, v ? 0xFFFF : 0); }

std::string RMReadString(TStream& s) {
    uint16_t n = RMReadWord(s);
    std::string raw(n, '\0');
    if (n) s.ReadBuffer(raw.data(), n);
    RMReadByte(s);
    return GbkToUtf8(raw);
}

void RMWriteString(TStream& s, const std::string& utf8) {
    std::string raw = Utf8ToGbk(utf8);
    if (raw.size() > 0xFFFF) raw.resize(0xFFFF);
    RMWriteWord(s, uint16_t(raw.size()));
    if (!raw.empty()) s.WriteBuffer(raw);
    RMWriteByte(s, 0);
}

TRMLines RMReadMemo(TStream& s) {
    TRMLines lines;
    uint16_t count = RMReadWord(s);
    if (count == 0) {
        RMReadByte(s); // the closing 0 of an empty list
        return lines;
    }
    for (;;) {
        uint16_t n = RMReadWord(s);
        std::string raw(n, '\0');
        if (n) s.ReadBuffer(raw.data(), n);
        lines.push_back(GbkToUtf8(raw));
        if (RMReadByte(s) == 0) break;
    }
    return lines;
}

void RMWriteMemo(TStream& s, const TRMLines& lines) {
    size_t count = std::min<size_t>(lines.size(), 0xFFFF);
    RMWriteWord(s, uint16_t(count));
    for (size_t i = 0; i < count; ++i) {
        std::string raw = Utf8ToGbk(lines[i]);
        if (raw.size() > 0xFFFF) raw.resize(0xFFFF);
        RMWriteWord(s, uint16_t(raw.size()));
        if (!raw.empty()) s.WriteBuffer(raw);
        if (i + 1 < count) RMWriteByte(s, 13);
    }
    RMWriteByte(s, 0);
}

std::string RMReadOldString(TStream& s) {
    std::string raw;
    for (uint8_t c; (c = RMReadByte(s)) != 0;) raw += char(c);
    return GbkToUtf8(raw);
}

TRMLines RMReadOldMemo(TStream& s) {
    TRMLines lines;
    std::string cur;
    for (uint8_t c; (c = RMReadByte(s)) != 0;) {
        if (c == 13) {
            lines.push_back(GbkToUtf8(cur));
            cur.clear();
        } else if (c != 10) {
            cur += char(c);
        }
    }
    if (!cur.empty()) lines.push_back(GbkToUtf8(cur));
    return lines;
}

std::string RMReadVersionedString(TStream& s) { return RMStreamVersion < 23 ? RMReadOldString(s) : RMReadString(s); }
TRMLines RMReadVersionedMemo(TStream& s) { return RMStreamVersion < 23 ? RMReadOldMemo(s) : RMReadMemo(s); }

uint8_t TRMPictureData::KindOf(const std::string& b) {
    auto at = [&](size_t i) { return i < b.size() ? uint8_t(b[i]) : 0; };
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return pkBitmap;
    if (at(0) == 0xFF && at(1) == 0xD8) return pkJpeg;
    if (at(0) == 0 && at(1) == 0 && at(2) == 1 && at(3) == 0) return pkIcon;
    // Placeable WMF, plain WMF, EMF.
    if ((at(0) == 0xD7 && at(1) == 0xCD && at(2) == 0xC6 && at(3) == 0x9A) ||
        (at(0) == 1 && at(1) == 0 && at(2) == 9 && at(3) == 0) ||
        (at(0) == 1 && at(1) == 0 && at(2) == 0 && at(3) == 0 && at(40) == ' ' && at(41) == 'E'))
        return pkMetafile;
    return pkNone;
}

std::unique_ptr<TGraphic> TRMPictureData::Decode() const {
    if (Bytes.empty()) return nullptr;
    std::unique_ptr<TGraphic> g;
    switch (KindOf(Bytes)) {
    case pkBitmap: g = std::make_unique<TBitmap>(); break;
    case pkJpeg: g = std::make_unique<TJPEGImage>(); break;
    case pkIcon: g = std::make_unique<TIcon>(); break;
    default: return nullptr; // metafiles of other programs stay bytes
    }
    try {
        TMemoryStream m;
        m.WriteBuffer(Bytes);
        m.SetPosition(0);
        g->LoadFromStream(m);
    } catch (const Exception&) {
        return nullptr;
    }
    return g;
}

int64_t RMReserveEnd(TStream& s) {
    int64_t at = s.Position();
    RMWriteInteger(s, 0);
    return at;
}

void RMPatchEnd(TStream& s, int64_t at) {
    int64_t end = s.Position();
    s.SetPosition(at);
    RMWriteInteger(s, int32_t(end));
    s.SetPosition(end);
}

void RMWritePicture(TStream& s, const TRMPictureData& p, bool withBlobType, uint8_t blobType) {
    uint8_t kind = p.Bytes.empty() ? uint8_t(pkNone) : p.Kind;
    RMWriteByte(s, kind);
    if (withBlobType) RMWriteByte(s, blobType);
    int64_t at = RMReserveEnd(s);
    if (kind != pkNone) s.WriteBuffer(p.Bytes);
    RMPatchEnd(s, at);
}

TRMPictureData RMReadPicture(TStream& s, bool withBlobType, uint8_t* blobType) {
    TRMPictureData p;
    p.Kind = RMReadByte(s);
    uint8_t bt = 0;
    if (withBlobType && RMStreamVersion > 28) bt = RMReadByte(s);
    if (blobType) *blobType = bt;
    int32_t end = RMReadInteger(s);
    int64_t here = s.Position();
    if (end < here || end > s.Size()) throw EReadError("Stream read error");
    if (p.Kind != pkNone && p.Kind <= pkJpeg) {
        p.Bytes.resize(size_t(end - here));
        if (!p.Bytes.empty()) s.ReadBuffer(p.Bytes.data(), int64_t(p.Bytes.size()));
    } else {
        p.Kind = pkNone;
    }
    s.SetPosition(end);
    return p;
}

std::string RMReadBytes(TStream& s, int64_t n) {
    std::string b(size_t(std::max<int64_t>(0, n)), '\0');
    if (n > 0) s.ReadBuffer(b.data(), n);
    return b;
}
