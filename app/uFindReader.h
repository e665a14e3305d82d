// The reader lookup: picks a reader by code, name (or its input codes) or
// department. Usage as in uFindModes.h; ChosenCode is the reader's code,
// ChosenName the reader's name.
#pragma once

#include "uFindModes.h"

class TFrmFindReader : public TFrmFindByModes {
public:
    explicit TFrmFindReader(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindReader"; }

protected:
    std::string AllRowsSql() const override;
    std::string SearchSql(const std::string& condition) const override;
};
