// libFuzzer target: both file readers of the in-memory table applied to a
// live table with a unique index. The first byte picks the reader; a load
// either succeeds or raises EMemTableError / EDatabaseError, and a failed
// load must leave the table's records as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "vq/VqMemTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("Code", ftString, 6);
    t.FieldDefs().Add("Qty", ftInteger);
    t.FieldDefs().Add("Day", ftDateTime);
    t.FieldDefs().Add("Pic", ftBlob);
    t.IndexDefs().Add("ByCode", "Code", ixUnique);
    t.Open();
    t.Append();
    t.FieldByName("Code")->SetAsString("K");
    t.Post();
    const std::string before = t.SaveToText(mtfSaveData | mtfSaveBlobs | mtfSaveDef);
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        if (data[0] & 1)
            t.LoadFromBinary(input);
        else
            t.LoadFromText(input);
    } catch (const EDatabaseError&) {
        if (t.SaveToText(mtfSaveData | mtfSaveBlobs | mtfSaveDef) != before) std::abort();
    } catch (const Exception&) {}
    return 0;
}
