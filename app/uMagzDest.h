// The reservation list of periodicals ("预约记录"): the book list's window
// on Borrowinfo1 and Magzinfo, with the year and issue columns.
#pragma once

#include "uBookDest.h"

class TFrmMagzDest : public TFrmBookDest {
public:
    explicit TFrmMagzDest(TComponent* AOwner) : TFrmBookDest(AOwner, TItemKind::Periodical) {}
    std::string ClassName() const override { return "TFrmMagzDest"; }
};
