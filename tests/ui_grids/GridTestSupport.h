// Fixtures of the grid tests: an in-memory data set over a vector of rows
// (or over generated rows, for a million records without the memory), and
// helpers that drive a grid with the mouse through the window system.
// Not a mock: the data set runs the real TDataSet cursor and data links.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "DB.h"
#include "Forms.h"
#include "Grids.h"
#include "SysUtils.h"
#include "Controls_p.h"
#include "TestKit.h"

// Rows of (Code, Name) text fields. Generated sets compute row i's values
// from i and keep edits in a side table; stored sets hold every row.
class TVectorDataSet : public TDataSet {
public:
    explicit TVectorDataSet(TComponent* owner) : TDataSet(owner) {}
    std::string ClassName() const override { return "TVectorDataSet"; }

    void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
        rows_.clear();
        for (const auto& r : rows) rows_.push_back({nextId_++, {Variant(r.first), Variant(r.second)}});
    }
    void Generate(int count) { generated_ = count; }
    // The stored value of a row by position (for checking what was posted).
    std::string Stored(int pos, int field) const { return VarToStr(value(StoreRecordId(pos), field)); }
    int Count() const { return StoreRecordCount(); }

protected:
    void StoreOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add("Code", ftString, 20);
        FieldDefs().Add("Name", ftString, 40);
    }
    void StoreClose() override {}
    int StoreRecordCount() const override { return generated_ ? generated_ : int(rows_.size()); }
    TRecordId StoreRecordId(int pos) const override { return generated_ ? pos : rows_[size_t(pos)].id; }
    int StorePosition(TRecordId id) const override {
        if (generated_) return id >= 0 && id < generated_ ? int(id) : -1;
        for (size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].id == id) return int(i);
        return -1;
    }
    Variant StoreValue(TRecordId id, const TField& field) const override { return value(id, field.StoreIndex()); }
    TRecordId StorePost(const PostRequest& r) override {
        if (generated_) {
            edits_[r.id] = r.values;
            return r.id;
        }
        if (r.inserting) {
            rows_.insert(rows_.begin() + r.position, Row{nextId_, r.values});
            return nextId_++;
        }
        rows_[size_t(StorePosition(r.id))].values = r.values;
        return r.id;
    }
    void StoreDelete(TRecordId id) override {
        if (generated_) return;
        rows_.erase(rows_.begin() + StorePosition(id));
    }

private:
    Variant value(TRecordId id, int field) const {
        if (generated_) {
            if (auto it = edits_.find(id); it != edits_.end()) return it->second[size_t(field)];
            return field == 0 ? Variant(Format("B%.7d", int(id))) : Variant(Format("书名%d", int(id)));
        }
        return rows_[size_t(StorePosition(id))].values[size_t(field)];
    }
    struct Row {
        TRecordId id;
        std::vector<Variant> values;
    };
    std::vector<Row> rows_;
    TRecordId nextId_ = 1;
    int generated_ = 0;
    std::map<TRecordId, std::vector<Variant>> edits_;
};

// A drag with the left button across a control's client area, and a
// click with modifiers, through the window system (the grid's own mouse
// handling runs, with the mouse captured by the grid while the button is down).
inline void Drag(TControl* c, int x0, int y0, int x1, int y1) {
    SendMouseDown(c, x0, y0);
    SendMouseMove(c, (x0 + x1) / 2, (y0 + y1) / 2);
    SendMouseMove(c, x1, y1);
    SendMouseUp(c, x1, y1);
}

inline void Press(TControl* c, int x, int y, TShiftState shift = {}) {
    SendMouseDown(c, x, y, mbLeft, shift);
    SendMouseUp(c, x, y, mbLeft, shift);
}
