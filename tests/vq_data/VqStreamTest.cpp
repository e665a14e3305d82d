// Components kept in a blob: the list end, renaming on reading, a refused
// component, an old longer blob, and a bill structure through a blob field.
#include "vq/data/VqStream.h"

#include "DB.h"
#include "vq/VqMemTable.h"
#include "vq/data/VqRctStr.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(TVQStream& s) {
    TMemoryStream m;
    s.WriteComponents(&m);
    return m.Bytes();
}

TEST(VqStream, anEmptyListIsOneZeroByteAndReadsBackAsNothing) {
    TComponent owner;
    TVQStream s(&owner);
    int writes = 0;
    s.OnWriteToStream = [&](TObject*) { ++writes; };
    EXPECT_EQ(Bytes(s), std::string(1, '\0'));
    EXPECT_EQ(writes, 1);
    int registers = 0, reads = 0;
    s.OnRegister = [&](TObject*) { ++registers; };
    s.OnReadFromStream = [&](TObject*) { ++reads; };
    TMemoryStream m;
    m.WriteBuffer(std::string(1, '\0'));
    m.SetPosition(0);
    EXPECT_TRUE(s.ReadComponents(&m).empty());
    EXPECT_EQ(registers, 1);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(owner.ComponentCount(), 1); // only the stream itself
}

TEST(VqStream, aComponentBeginsWithTPF0AndItsClassAndName) {
    TComponent owner;
    TVQStream s(&owner);
    auto* t = new TVQRctStr(&owner);
    t->SetName("TblMaterial");
    s.AddComponent(t);
    const std::string b = Bytes(s);
    EXPECT_EQ(b.substr(0, 4), "TPF0");
    EXPECT_EQ(b.substr(4, 10), std::string("\x09TVQRctStr", 10));
    EXPECT_EQ(b.substr(14, 12), std::string("\x0bTblMaterial", 12));
    EXPECT_EQ(b.back(), '\0');
}

TEST(VqStream, aTakenNameBecomesTheClassNameWithoutItsFirstLetterAndAFreeNumber) {
    TComponent source;
    TVQStream out(&source);
    auto* t = new TVQRctStr(&source);
    t->SetName("TblMaterial");
    t->MstTableName = "tMaterial";
    out.AddComponent(t);
    TMemoryStream m;
    out.WriteComponents(&m);

    TComponent owner;
    (new TVQRctStr(&owner))->SetName("TblMaterial");
    (new TVQRctStr(&owner))->SetName("VQRctStr1");
    TVQStream in(&owner);
    std::vector<std::string> seen;
    in.OnReadComponent = [&](TObject*, TComponent* c) { seen.push_back(c->Name()); };
    m.SetPosition(0);
    const auto read = in.ReadComponents(&m);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->Name(), "VQRctStr2");
    EXPECT_EQ(read[0]->Owner(), &owner);
    EXPECT_EQ(seen, (std::vector<std::string>{"VQRctStr2"}));
    EXPECT_EQ(static_cast<TVQRctStr*>(read[0])->MstTableName, "tMaterial");
}

TEST(VqStream, aRefusedComponentIsNotWrittenButStillAnnounced) {
    TComponent owner;
    TVQStream s(&owner);
    auto* a = new TVQRctStr(&owner);
    a->SetName("A");
    auto* b = new TVQRctStr(&owner);
    b->SetName("B");
    s.AddComponent(a);
    s.AddComponent(b);
    std::vector<std::string> written;
    s.OnWritingComponent = [](TObject*, TComponent* c, bool& allow) { allow = c->Name() != "A"; };
    s.OnWriteComponent = [&](TObject*, TComponent* c) { written.push_back(c->Name()); };
    const std::string bytes = Bytes(s);
    EXPECT_EQ(written, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(bytes.find("TPF0", 1), std::string::npos); // one component only
    EXPECT_NE(bytes.find("\x01" "B"), std::string::npos);
    int removed = 0;
    s.OnRemoveComponent = [&](TObject*, TComponent*) { ++removed; };
    s.ClearComponents();
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(owner.FindComponent("A"), a); // the components stay
}

// A bill structure kept in a blob field, then a shorter list saved over
// it: the old tail stays after the list end and reading ignores it.
TEST(VqStream, aStructureGoesThroughABlobFieldAndAShorterListOverALongerOneStillReads) {
    TComponent owner;
    TVqMemTable table(&owner);
    table.FieldDefs().Add("RctData", ftBlob);
    table.Open();
    table.Append();
    auto* bill = new TVQRctStr(&owner);
    bill->SetName("BillA");
    bill->MstTableName = "tStock";
    TMstSection* sec = bill->MstSections().Add();
    sec->FieldName = "ItemCode";
    sec->CFieldName = "编号";
    sec->Visible = true;
    sec->displaySize = 300;
    TFindsection* f = bill->FindSections().Add();
    f->FieldName = "ItemName";
    f->OperateChar = "包含于";
    auto* second = new TVQRctStr(&owner);
    second->SetName("BillB");
    TVQStream s(&owner);
    s.SetDataSet(&table);
    s.FieldName = "RctData";
    s.AddComponent(bill);
    s.AddComponent(second);
    s.SaveToField();
    table.Post();
    const size_t longSize = table.FieldByName("RctData")->AsString().size();

    table.Edit();
    s.ClearComponents();
    s.AddComponent(bill);
    s.SaveToField();
    table.Post();
    EXPECT_EQ(table.FieldByName("RctData")->AsString().size(), longSize);

    TComponent other;
    TVQStream in(&other);
    in.SetDataSet(&table);
    in.FieldName = "RctData";
    std::vector<TComponent*> got;
    in.OnReadComponent = [&](TObject*, TComponent* c) { got.push_back(c); };
    in.LoadFromField();
    ASSERT_EQ(got.size(), 1u);
    auto* back = static_cast<TVQRctStr*>(got[0]);
    EXPECT_EQ(back->Name(), "BillA");
    EXPECT_EQ(back->MstTableName, "tStock");
    ASSERT_EQ(back->MstSections().Count(), 1);
    EXPECT_EQ(back->MstSections().Items(0)->CFieldName, "编号");
    EXPECT_TRUE(back->MstSections().Items(0)->Visible);
    EXPECT_EQ(back->MstSections().Items(0)->displaySize, 300);
    ASSERT_EQ(back->FindSections().Count(), 1);
    EXPECT_EQ(back->FindSections().Items(0)->OperateChar, "包含于");
}

TEST(VqStream, aCutStreamIsRefusedAndCreatesNothing) {
    TComponent source;
    TVQStream out(&source);
    auto* t = new TVQRctStr(&source);
    t->SetName("T1");
    out.AddComponent(t);
    const std::string b = Bytes(out);
    TComponent owner;
    TVQStream in(&owner);
    TMemoryStream m;
    m.WriteBuffer(b.substr(0, b.size() - 3));
    m.SetPosition(0);
    EXPECT_THROW(in.ReadComponents(&m), EVQStreamError);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

} // namespace
