// The primitive encodings of every engine file: little-endian numbers,
// strings with a 16-bit length and a closing 0 byte, string lists, and the
// picture record. Text is UTF-8 in memory and GBK in the stream; these are
// the only places that convert.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TPicture;

using TRMLines = std::vector<std::string>;

// The version of the stream being read or written (43 when writing).
extern uint8_t RMStreamVersion;
constexpr uint8_t RMCurrentVersion = 43;

uint8_t RMReadByte(TStream& s);
bool RMReadBoolean(TStream& s);
uint16_t RMReadWord(TStream& s);
int32_t RMReadInteger(TStream& s);
double RMReadDouble(TStream& s);
void RMWriteByte(TStream& s, uint8_t v);
void RMWriteBoolean(TStream& s, bool v);
void RMWriteWord(TStream& s, uint16_t v);
void RMWriteInteger(TStream& s, int32_t v);
void RMWriteDouble(TStream& s, double v);
// A 16-bit boolean: 0 or -1.
bool RMReadWordBool(TStream& s);
void RMWriteWordBool(TStream& s, bool v);

std::string RMReadString(TStream& s);
void RMWriteString(TStream& s, const std::string& utf8);
// Reads lines until the byte after a line is 0; an empty list is 00 00 00
// and its closing 0 is consumed too.
TRMLines RMReadMemo(TStream& s);
void RMWriteMemo(TStream& s, const TRMLines& lines);
// The forms of streams before version 23: text up to a 0 byte.
std::string RMReadOldString(TStream& s);
TRMLines RMReadOldMemo(TStream& s);
std::string RMReadVersionedString(TStream& s);
TRMLines RMReadVersionedMemo(TStream& s);

// Picture kinds in the stream.
enum TRMPictureKind : uint8_t { pkNone = 0, pkBitmap = 1, pkMetafile = 2, pkIcon = 3, pkJpeg = 4 };

// The bytes of a picture as the file holds them. Kinds the engine cannot
// decode (a Windows metafile, a damaged image) are kept as they are so a
// load and save loses nothing.
struct TRMPictureData {
    uint8_t Kind = pkNone;
    std::string Bytes;
    bool Empty() const { return Kind == pkNone || Bytes.empty(); }
    // Sniffs the content: BM, FFD8, ICO header, WMF/EMF magic.
    static uint8_t KindOf(const std::string& bytes);
    // A decoded graphic, or nullptr when the bytes are not a kind the
    // platform reads.
    std::unique_ptr<TGraphic> Decode() const;
};

// withBlobType: picture objects carry one more byte after the kind.
void RMWritePicture(TStream& s, const TRMPictureData& p, bool withBlobType, uint8_t blobType = 0);
TRMPictureData RMReadPicture(TStream& s, bool withBlobType, uint8_t* blobType = nullptr);

// Writes a placeholder for an absolute end position and returns where it
// is; RMPatchEnd writes the current end there and moves back to the end.
int64_t RMReserveEnd(TStream& s);
void RMPatchEnd(TStream& s, int64_t at);

// Exactly n bytes (EReadError past the end).
std::string RMReadBytes(TStream& s, int64_t n);
