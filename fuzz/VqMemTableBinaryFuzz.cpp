// libFuzzer target: the in-memory table's binary-file reader on arbitrary
// bytes. Any input must either parse or raise EMemTableError, and never read
// outside the buffer (AddressSanitizer watches a copy of exactly `size`
// bytes).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <cstring>

#include "vq/VqMemTableFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace VqMemFile;
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    try {
        const BinaryFile f = ParseBinaryFile(std::string_view(copy.get(), size), 3);
        for (const auto& row : f.Rows)
            for (size_t i = 0; i < row.size(); ++i) {
                const int type = f.Fields.empty() ? int(i % 28) : f.Fields[i].Type;
                try {
                    (void)BinaryToValue(type, row[i], "F");
                } catch (const EMemTableError&) {}
            }
    } catch (const EMemTableError&) {}
    return 0;
}
