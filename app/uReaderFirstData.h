// The reader word lists: departments, addresses and remarks, offered by
// the reader editor and its condition dialog. A word-list window
// (uWordList.h) that opens on the departments. The remarks are the table
// BookRemark, which the reader editor reads too.
#pragma once

#include "uWordList.h"

class TFrmReaderFirstData : public TFrmWordList {
public:
    explicit TFrmReaderFirstData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderFirstData"; }
};
