// A minimal data set over a vector of records, for testing the framework
// through the record store protocol alone.
#pragma once

#include <algorithm>
#include <vector>

#include "DB.h"

class TListDataSet : public TDataSet {
public:
    using TDataSet::TDataSet;
    ~TListDataSet() override { Close(); }

    struct Rec {
        TRecordId id;
        std::vector<Variant> vals;
    };
    std::vector<Rec> rows;
    TRecordId nextId = 1;
    bool failPost = false;
    int posts = 0;

    void AddRow(std::vector<Variant> vals) { rows.push_back({nextId++, std::move(vals)}); }

protected:
    void StoreOpen() override {}
    void StoreClose() override {}
    int StoreRecordCount() const override { return int(rows.size()); }
    TRecordId StoreRecordId(int pos) const override { return rows[size_t(pos)].id; }
    Variant StoreValue(TRecordId id, const TField& f) const override {
        int p = StorePosition(id);
        if (p < 0) return Null();
        const auto& v = rows[size_t(p)].vals;
        return size_t(f.StoreIndex()) < v.size() ? v[size_t(f.StoreIndex())] : Null();
    }
    TRecordId StorePost(const PostRequest& r) override {
        if (failPost) throw EDatabaseError("post refused");
        ++posts;
        if (r.inserting) {
            Rec rec{nextId++, r.values};
            rows.insert(rows.begin() + r.position, rec);
            return rec.id;
        }
        rows[size_t(r.position)].vals = r.values;
        return r.id;
    }
    void StoreDelete(TRecordId id) override { rows.erase(rows.begin() + StorePosition(id)); }
};
