// Blob streams of the in-memory table and its blob compression events.
#include <gtest/gtest.h>

#include "Forms.h"
#include "vq/VqMemTable.h"

namespace {

std::unique_ptr<TVqMemTable> PicTable() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Pic", ftBlob);
    t->Open();
    t->Append();
    t->FieldByName("Code")->SetAsString("A");
    t->Post();
    return t;
}

std::string ReadAll(TStream& s) {
    std::string r(size_t(s.Size() - s.Position()), '\0');
    s.ReadBuffer(r.data(), int64_t(r.size()));
    return r;
}

std::string EMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

// A visible stand-in for compression: a marker in front of the bytes.
void Compress(TStream* plain, TStream* packed) {
    packed->WriteBuffer(std::string_view("Z:"));
    packed->WriteBuffer(ReadAll(*plain));
}
void Decompress(TStream* packed, TStream* plain) { plain->WriteBuffer(ReadAll(*packed).substr(2)); }

} // namespace

TEST(VqMemTableBlob, streamsWriteAndReadTheField) {
    struct Case {
        const char* name;
        bool events;
        TBlobStreamMode mode;
        std::string written; // appended after the stream was opened
        std::string stored;  // the field's value afterwards ("-" for null)
        std::string read;    // a read stream's content afterwards
    };
    // The field holds "old" (stored "Z:old" with the events) before each case.
    const Case cases[] = {
        {"WritePlain", false, bmWrite, "new", "new", "new"},
        {"ReadWritePlain", false, bmReadWrite, "+", "old+", "old+"},
        {"ReadWriteUntouched", false, bmReadWrite, "", "old", "old"},
        {"WriteEmptyIsNull", false, bmWrite, "", "-", ""},
        {"WriteCompressed", true, bmWrite, "new", "Z:new", "new"},
        {"ReadWriteCompressed", true, bmReadWrite, "+", "Z:old+", "old+"},
        {"ReadWriteUntouchedCompressed", true, bmReadWrite, "", "Z:old", "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = PicTable();
        if (c.events) {
            t->OnCompressBlobStream = Compress;
            t->OnDecompressBlobStream = Decompress;
        }
        TField* pic = t->FieldByName("Pic");
        t->Edit();
        pic->SetAsString(c.events ? "Z:old" : "old");
        t->Post();
        t->Edit();
        {
            auto s = t->CreateBlobStream(pic, c.mode);
            EXPECT_EQ(s->Position(), 0);
            s->Seek(0, soFromEnd);
            if (!c.written.empty()) s->WriteBuffer(std::string_view(c.written));
        }
        t->Post();
        EXPECT_EQ(pic->IsNull() ? std::string("-") : pic->AsString(), c.stored);
        auto r = t->CreateBlobStream(pic, bmRead);
        EXPECT_EQ(ReadAll(*r), c.read);
    }
}

TEST(VqMemTableBlob, decompressGetsACopyOfTheStoredBytes) {
    auto t = PicTable();
    t->Edit();
    t->FieldByName("Pic")->SetAsString("Z:abc");
    t->Post();
    std::string seen;
    int64_t seenPos = -1;
    t->OnDecompressBlobStream = [&](TStream* packed, TStream* plain) {
        seenPos = packed->Position();
        seen = ReadAll(*packed);
        plain->WriteBuffer(std::string_view("xyz"));
    };
    int compressed = 0;
    t->OnCompressBlobStream = [&](TStream*, TStream*) { ++compressed; };
    t->Edit();
    {
        auto s = t->CreateBlobStream(t->FieldByName("Pic"), bmReadWrite);
        EXPECT_EQ(ReadAll(*s), "xyz");
    }
    EXPECT_EQ(seen, "Z:abc");
    EXPECT_EQ(seenPos, 0);
    // Filling the stream is no change: nothing goes back through the event.
    EXPECT_EQ(compressed, 0);
    EXPECT_FALSE(t->Modified());
    t->Cancel();
}

TEST(VqMemTableBlob, cancelKeepsTheStoredBlob) {
    auto t = PicTable();
    TField* pic = t->FieldByName("Pic");
    t->Edit();
    pic->SetAsString("kept");
    t->Post();
    t->Edit();
    t->CreateBlobStream(pic, bmWrite)->WriteBuffer(std::string_view("dropped"));
    EXPECT_EQ(pic->AsString(), "dropped");
    t->Cancel();
    EXPECT_EQ(pic->AsString(), "kept");
}

TEST(VqMemTableBlob, refusedStreams) {
    struct Case {
        const char* name;
        bool editing;
        bool readOnlyField;
        TBlobStreamMode mode;
        std::string message;
    };
    const Case cases[] = {
        {"WriteInBrowse", false, false, bmWrite, "Dataset is not in edit mode."},
        {"ReadWriteInBrowse", false, false, bmReadWrite, "Dataset is not in edit mode."},
        {"ReadInBrowse", false, false, bmRead, "(no exception)"},
        {"ReadOnlyField", true, true, bmWrite, "Field Pic is read only"},
        {"ReadOnlyFieldFirst", false, true, bmReadWrite, "Field Pic is read only"},
        {"ReadOnlyFieldRead", false, true, bmRead, "(no exception)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = PicTable();
        TField* pic = t->FieldByName("Pic");
        if (c.editing) t->Edit();
        pic->SetReadOnly(c.readOnlyField);
        EXPECT_EQ(EMessage([&] { t->CreateBlobStream(pic, c.mode); }), c.message);
    }
    auto t = PicTable();
    auto r = t->CreateBlobStream(t->FieldByName("Pic"), bmRead);
    EXPECT_EQ(EMessage([&] { r->WriteBuffer(std::string_view("x")); }), "Stream write error");
}

TEST(VqMemTableBlob, compressFailureGoesToTheApplication) {
    auto t = PicTable();
    TField* pic = t->FieldByName("Pic");
    t->Edit();
    pic->SetAsString("old");
    t->OnCompressBlobStream = [](TStream*, TStream*) { throw Exception("no room"); };
    std::string reported;
    auto saved = Application->OnException;
    Application->OnException = [&](TObject*, const Exception& e) { reported = e.Message; };
    t->CreateBlobStream(pic, bmWrite)->WriteBuffer(std::string_view("new"));
    Application->OnException = saved;
    EXPECT_EQ(reported, "no room");
    EXPECT_EQ(pic->AsString(), "old");
    t->Cancel();
}
