// The list of periodical loans past their due date ("期刊逾期未还"): the
// book list's window on QryBorrow1, with the year and issue columns.
#pragma once

#include "uBookExccedlist.h"

class TFrmMagzExceedList : public TFrmBookExceedList {
public:
    explicit TFrmMagzExceedList(TComponent* AOwner) : TFrmBookExceedList(AOwner, TItemKind::Periodical) {}
    std::string ClassName() const override { return "TFrmMagzExceedList"; }
};
