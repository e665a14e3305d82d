// The data set's private part: the cursor, the edit, key and calculation
// buffers, the filter and the data sources of a TDataSet. Only platform/db
// (DataSet.cpp, Filter.cpp, DataLink.cpp, Fields.cpp) and its own tests
// reach it; everyone else goes through TDataSet's API, so a change here
// rebuilds only this layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DB.h"

class TDataSetPrivate {
public:
    static TDataSetPrivate* get(const TDataSet* ds) { return ds ? ds->d_.get() : nullptr; }

    TDataSetState state_ = dsInactive;
    bool bof_ = true, eof_ = true, modified_ = false;
    int cursor_ = -1;
    // Presented index of a record being inserted (cursor_ equals it).
    int insertIndex_ = -1;
    int disableCount_ = 0;
    TDataSetState disableState_ = dsInactive;
    bool autoCalcFields_ = true;
    bool defaultFields_ = true;
    TFields fields_;
    TFieldDefs fieldDefs_;
    int storeFieldCount_ = 0, calcFieldCount_ = 0;
    std::vector<Variant> editBuffer_, oldBuffer_, keyBuffer_;
    std::vector<bool> changed_;
    TRecordId editId_ = kNoRecord;
    // Calculated values of one record, recomputed when another is read.
    std::vector<Variant> calcBuffer_;
    TRecordId calcFor_ = kNoRecord;
    bool calcValid_ = false;
    TRecordId passingRecord_ = kNoRecord; // dsCalcFields / dsFilter target
    // A data link's window row being read (TDataLink::SetActiveRecord).
    TRecordId linkRead_ = kNoRecord;
    bool linkReadSet_ = false;
    const TDataLink* linkReadOwner_ = nullptr;
    std::string filterText_;
    bool filtered_ = false;
    TFilterOptions filterOptions_ = 0;
    std::shared_ptr<TDataSet::FilterExpr> filterExpr_;
    bool viewActive_ = false;
    std::vector<int> view_; // presented index -> store position, when filtering
    std::vector<TDataSource*> dataSources_;
};
