// The list of book loans past their due date on the business date
// ("图书逾期未还"), opened at start-up when overdue warnings are on; the
// periodical list (uMagzExccedlist) is the same window on QryBorrow1.
// Not here: the overdue queries of the report menu.
#pragma once

#include "uBaseD.h"
#include "Circulation.h"

class TADOQuery;
class TDataSource;
class TDBGrid;
class TButton;
class TPanel;

class TFrmBookExceedList : public TFrmBaseD {
public:
    explicit TFrmBookExceedList(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookExceedList"; }
    void InitForm() override;
    void BtLookClick(TObject* Sender);
    void BtCloseClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    TADOQuery* AdoqDest;
    TDataSource* DataSource1;
    TDBGrid* DBGrid1;
    TPanel* Panel1;
    TButton* BtLook;
    TButton* BtClose;

protected:
    TFrmBookExceedList(TComponent* AOwner, TItemKind kind);
    TItemKind Kind;
};
