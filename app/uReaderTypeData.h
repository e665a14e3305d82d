// The reader-type list: every type with its lending rules (the two
// restriction flags read "限制" or "不限制"); add and edit through the
// reader-type editor. No search and no printing. A type that readers
// still have cannot be deleted.
#pragma once

#include "uMDIBaseData.h"

class TFrmReaderTypeData : public TMDIBaseData {
public:
    explicit TFrmReaderTypeData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderTypeData"; }

    void InitForm() override;
    bool CanDelete() override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;

private:
    void open();
    void runEditor(int mode);
};
