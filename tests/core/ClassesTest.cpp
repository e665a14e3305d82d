// String lists, pointer lists, collections and component ownership with
// free notification.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Classes.h"
#include "SysUtils.h"

namespace {

TEST(StringList, sortedIgnoresCaseAndAppliesDuplicates) {
    TStringList l;
    l.SetSorted(true);
    l.Add("pear");
    l.Add("Apple");
    l.Add("banana");
    EXPECT_EQ(l.CommaText(), "Apple,banana,pear");
    EXPECT_EQ(l.Add("APPLE"), 0); // dupIgnore: the existing one's index
    EXPECT_EQ(l.Count(), 3);
    l.SetDuplicates(dupAccept);
    l.Add("APPLE");
    EXPECT_EQ(l.Count(), 4);
    l.SetDuplicates(dupError);
    try {
        l.Add("Pear");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "String list does not allow duplicates");
    }
    int index = -1;
    EXPECT_TRUE(l.Find("BANANA", index));
    EXPECT_EQ(l[index], "banana");
    EXPECT_FALSE(l.Find("cherry", index));
    EXPECT_EQ(index, 3);
    EXPECT_THROW(l.Insert(0, "x"), EListError);
}

TEST(StringList, caseSensitiveSortPutsLowerFirst) {
    TStringList l;
    l.SetCaseSensitive(true);
    l.SetSorted(true);
    l.Add("b");
    l.Add("B");
    l.Add("a");
    EXPECT_EQ(l.CommaText(), "a,b,B");
    EXPECT_EQ(l.IndexOf("A"), -1);
}

TEST(StringList, indexErrorsNameTheIndex) {
    TStringList l;
    l.Add("one");
    try {
        l.Strings(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (3)");
    }
    EXPECT_THROW(l.Delete(-1), EListError);
}

TEST(StringList, namesAndValues) {
    TStringList l;
    l.SetText("Path=/data\r\nUser=admin\nflag\r\n");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Values("path"), "/data");
    EXPECT_EQ(l.Names(1), "User");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.ValueFromIndex(1), "admin");
    l.SetValues("USER", "guest");
    EXPECT_EQ(l[1], "USER=guest");
    l.SetValues("New", "1");
    EXPECT_EQ(l[3], "New=1");
    l.SetValues("Path", "");
    EXPECT_EQ(l.IndexOfName("Path"), -1);
    EXPECT_EQ(l.Text(), "USER=guest\r\nflag\r\nNew=1\r\n");
}

struct CommaRow {
    const char* name;
    const char* text;
    std::vector<std::string> items;
    const char* written;
};

class CommaTextTest : public testing::TestWithParam<CommaRow> {};

TEST_P(CommaTextTest, readsAndWrites) {
    const auto& r = GetParam();
    TStringList l;
    l.SetCommaText(r.text);
    EXPECT_EQ(l.ToVector(), r.items);
    EXPECT_EQ(l.CommaText(), r.written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommaTextTest,
    testing::Values(CommaRow{"Plain", "a,b,c", {"a", "b", "c"}, "a,b,c"},
                    CommaRow{"BlanksSplit", "a b,c", {"a", "b", "c"}, "a,b,c"},
                    CommaRow{"QuotedKeepsBlank", "\"a b\",c", {"a b", "c"}, "\"a b\",c"},
                    CommaRow{"DoubledQuote", "\"say \"\"hi\"\"\"", {"say \"hi\""}, "\"say \"\"hi\"\"\""},
                    CommaRow{"EmptyMiddle", "a,,b", {"a", "", "b"}, "a,,b"},
                    CommaRow{"TrailingComma", "a,", {"a", ""}, "a,"},
                    CommaRow{"Chinese", "书名,作者", {"书名", "作者"}, "书名,作者"},
                    CommaRow{"QuotedComma", "\"1,2\",3", {"1,2", "3"}, "\"1,2\",3"}),
    RowName());

TEST(StringList, onChangeFiresOncePerUpdateBlock) {
    TStringList l;
    int changes = 0, changing = 0;
    l.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changes;
    };
    l.OnChanging = [&](TObject*) { ++changing; };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);
    l.BeginUpdate();
    l.Add("b");
    l.Add("c");
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
}

TEST(StringList, customSortAndObjects) {
    TStringList l;
    TObject a, b;
    l.AddObject("10", &a);
    l.AddObject("9", &b);
    l.CustomSort(
        [](TStringList* list, int i, int j) { return StrToInt(list->Strings(i)) - StrToInt(list->Strings(j)); });
    EXPECT_EQ(l[0], "9");
    EXPECT_EQ(l.Objects(0), &b);
    EXPECT_EQ(l.IndexOfObject(&a), 1);
    TStringList copy;
    copy.Assign(&l);
    EXPECT_TRUE(copy.Equals(&l));
}

TEST(StringList, fileIsGbkWithCrLf) {
    std::string path = GetTempFileName();
    TStringList l;
    l.Add("书名");
    l.Add("a");
    l.SaveToFile(path);
    EXPECT_EQ(ReadFileBytes(path), "\xCA\xE9\xC3\xFB\r\na\r\n");
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.ToVector(), (std::vector<std::string>{"书名", "a"}));
    DeleteFile(path);
    try {
        back.LoadFromFile(path);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file \"" + path + "\"");
    }
}

TEST(Persistent, assignOfUnrelatedClassesRaises) {
    TStringList l;
    TComponent c;
    try {
        l.Assign(&c);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TComponent to a TStringList");
    }
}

TEST(List, pointersAndBounds) {
    TList l;
    int a, b, c;
    l.Add(&a);
    l.Add(&b);
    l.Insert(0, &c);
    EXPECT_EQ(l.IndexOf(&a), 1);
    EXPECT_EQ(l.Remove(&a), 1);
    EXPECT_EQ(l.Count(), 2);
    l.Move(0, 1);
    EXPECT_EQ(l[0], &b);
    l.Add(nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    try {
        l.Items(2);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (2)");
    }
}

class NamedItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Caption;
    void Assign(TPersistent* source) override {
        if (auto* o = dynamic_cast<NamedItem*>(source)) {
            Caption = o->Caption;
            return;
        }
        TCollectionItem::Assign(source);
    }
    void Rename(const std::string& c) {
        Caption = c;
        Changed(false);
    }
};

TEST(Collection, ownsItemsAndNotifies) {
    std::vector<TCollectionItem*> updates;
    TCollection coll([](TCollection* c) { return new NamedItem(c); });
    coll.OnUpdate = [&](TCollectionItem* item) { updates.push_back(item); };
    auto* first = static_cast<NamedItem*>(coll.Add());
    auto* second = static_cast<NamedItem*>(coll.Add());
    EXPECT_EQ(updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));
    EXPECT_EQ(second->Index(), 1);
    second->Rename("B");
    EXPECT_EQ(updates.back(), second);
    updates.clear();
    coll.BeginUpdate();
    coll.Add();
    coll.Delete(0);
    EXPECT_TRUE(updates.empty());
    coll.EndUpdate();
    EXPECT_EQ(updates, (std::vector<TCollectionItem*>{nullptr}));
    EXPECT_EQ(coll.Count(), 2);
    EXPECT_EQ(coll.Items(0), second);
    second->SetIndex(1);
    EXPECT_EQ(coll.Items(1), second);
    EXPECT_NE(coll.FindItemID(second->ID()), nullptr);
    EXPECT_EQ(coll.FindItemID(first == nullptr ? -1 : 0), nullptr); // deleted item's id
    TCollection copy([](TCollection* c) { return new NamedItem(c); });
    copy.Assign(&coll);
    EXPECT_EQ(static_cast<NamedItem*>(copy.Items(1))->Caption, "B");
    delete coll.Items(0); // an item deleted directly leaves its collection
    EXPECT_EQ(coll.Count(), 1);
}

// Records what it is told, to check ownership and free notification.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>* log, std::string name) : TComponent(owner), log_(log) {
        SetName(name);
    }
    ~Probe() override {
        log_->push_back("~" + Name());
        if (destroyFirst) {
            Destroying();
            DestroyComponents();
        }
    }
    bool destroyFirst = false;
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        log_->push_back(Name() + (op == opInsert ? " +" : " -") + c->Name());
        if (op == opRemove && c == watched) watched = nullptr;
    }
    std::string ClassName() const override { return "Probe"; }
    TComponent* watched = nullptr;

private:
    std::vector<std::string>* log_;
};

TEST(Component, ownerFreesItsComponentsLastFirst) {
    std::vector<std::string> log;
    auto* form = new Probe(nullptr, &log, "Form");
    new Probe(form, &log, "Edit1");
    new Probe(form, &log, "Button1");
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->FindComponent("button1")->Name(), "Button1");
    EXPECT_EQ(form->FindComponent("nothing"), nullptr);
    EXPECT_EQ(form->Components(1)->ComponentIndex(), 1);
    log.clear();
    delete form;
    // The form's own override is gone by the time its base destructor runs;
    // the siblings still hear of each removal.
    EXPECT_EQ(log, (std::vector<std::string>{"~Form", "Edit1 -Button1", "~Button1", "~Edit1"}));
}

TEST(Component, subclassThatDestroysFirstHearsEachRemoval) {
    std::vector<std::string> log;
    auto* form = new Probe(nullptr, &log, "Form");
    form->destroyFirst = true;
    new Probe(form, &log, "Edit1");
    new Probe(form, &log, "Button1");
    log.clear();
    delete form;
    EXPECT_EQ(log, (std::vector<std::string>{"~Form", "Form -Button1", "Edit1 -Button1", "~Button1", "Form -Edit1",
                                             "~Edit1"}));
}

TEST(Component, freeNotificationClearsDanglingPointers) {
    std::vector<std::string> log;
    Probe grid(nullptr, &log, "Grid");
    auto* source = new Probe(nullptr, &log, "Source");
    grid.watched = source;
    source->FreeNotification(&grid);
    delete source;
    EXPECT_EQ(grid.watched, nullptr);
    // After RemoveFreeNotification nothing is told.
    auto* other = new Probe(nullptr, &log, "Other");
    other->FreeNotification(&grid);
    other->RemoveFreeNotification(&grid);
    grid.watched = other;
    delete other;
    EXPECT_NE(grid.watched, nullptr);
}

TEST(Component, namesAreUniqueWithinTheOwner) {
    TComponent owner;
    auto* a = new TComponent(&owner);
    a->SetName("Edit1");
    auto* b = new TComponent(&owner);
    try {
        b->SetName("EDIT1");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message, "A component named EDIT1 already exists");
    }
    owner.RemoveComponent(b);
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 1);
    delete b;
}

TEST(Component, loadingState) {
    TComponent owner;
    auto* child = new TComponent(&owner);
    owner.Loading();
    EXPECT_TRUE(child->ComponentState().Contains(csLoading));
    child->Loaded();
    owner.Loaded();
    EXPECT_FALSE(owner.ComponentState().Contains(csLoading));
    EXPECT_FALSE(child->ComponentState().Contains(csLoading));
}

} // namespace
