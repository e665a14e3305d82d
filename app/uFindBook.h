// The book lookup: picks a book copy by code, title (or its input codes)
// or class, showing whether it is on loan and until when. Usage as in
// uFindModes.h; ChosenCode is the copy's code, ChosenName its title.
#pragma once

#include "uFindModes.h"

class TFrmFindBook : public TFrmFindByModes {
public:
    explicit TFrmFindBook(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindBook"; }

protected:
    std::string AllRowsSql() const override;
    std::string SearchSql(const std::string& condition) const override;
};
