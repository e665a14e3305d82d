// The supplier lookup: picks a supplier name from the word list
// Booksupplier. One column, no search box; ChosenCode is the name.
#pragma once

#include "uFindCode.h"

class TFrmFindSupplier : public TFrmFindCode {
public:
    explicit TFrmFindSupplier(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindSupplier"; }
    void InitForm() override;
};
