// The book word lists: suppliers, accompanying material, shelf places,
// grades, languages, printing and sizes, offered by the book editors'
// drop-downs. A word-list window (uWordList.h) that opens on the suppliers.
#pragma once

#include "uWordList.h"

class TFrmFirstData : public TFrmWordList {
public:
    explicit TFrmFirstData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFirstData"; }
};
