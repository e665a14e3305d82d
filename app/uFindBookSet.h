// The chooser of copy cataloguing: the records that share the typed ISBN,
// one of which the operator picks (OK, Enter or a double-click in the
// grid); Confirmed tells the editor whether one was picked. The grid shows
// the rows of the data source the editor points it at.
#pragma once

#include "uBaseCond.h"

class TVQDBGrid;
class TDataSource;

class TFrmFindBookSet : public TFrmBaseCond {
public:
    explicit TFrmFindBookSet(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindBookSet"; }

    void BtConfirmClick(TObject* Sender);
    void DBGrid1KeyPress(TObject* Sender, char32_t& Key);

    TVQDBGrid* DBGrid1;
    TDataSource* DataSource1;
    bool Confirmed = false;
};
