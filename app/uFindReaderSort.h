// The reader-type lookup: every type by name, no typed search; 增加 adds
// one through the reader-type editor and the list shows it at once.
// ChosenCode is the type's name.
#pragma once

#include "uFindCode.h"

class TFrmFindReaderSort : public TFrmFindCode {
public:
    explicit TFrmFindReaderSort(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindReaderSort"; }

    void InitForm() override;
    void BtAddClick(TObject* Sender);
};
