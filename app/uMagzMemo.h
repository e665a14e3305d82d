// The contents of a periodical issue in a larger box: OK (modal result 1)
// hands the text back to the periodical editor, Cancel and Esc drop it.
#pragma once

#include "uMemoDialog.h"

class TFrmMagzMemo : public TFrmMemoDialog {
public:
    explicit TFrmMagzMemo(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzMemo"; }
};
