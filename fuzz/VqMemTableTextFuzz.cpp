// libFuzzer target: the in-memory table's text-file reader on arbitrary
// bytes. Any input must either parse or raise EMemTableError; converting
// every parsed cell for every field type must do the same.
#include <cstddef>
#include <cstdint>

#include "vq/VqMemTableFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace VqMemFile;
    try {
        const TextFile f = ParseTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
        for (const auto& row : f.Rows)
            for (size_t i = 0; i < row.size(); ++i) {
                if (!row[i]) continue;
                const int type = f.Fields.empty() ? int(i % 28) : f.Fields[i % f.Fields.size()].Type;
                try {
                    (void)CellToValue(type, 0, *row[i], "F");
                } catch (const EMemTableError&) {}
            }
    } catch (const EMemTableError&) {}
    return 0;
}
