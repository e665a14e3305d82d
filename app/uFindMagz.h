// The periodical lookup: picks a periodical copy by code, title (or its
// input codes) or class, with its year, issue number and the due date of
// its open loan. Usage as in uFindModes.h.
#pragma once

#include "uFindModes.h"

class TFrmFindMagz : public TFrmFindByModes {
public:
    explicit TFrmFindMagz(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindMagz"; }

protected:
    std::string AllRowsSql() const override;
    std::string SearchSql(const std::string& condition) const override;
};
