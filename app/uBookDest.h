// The reservation list of books ("预约记录"): a modal list whose rows the
// caller chooses (one reader's, every one, or those of returned books),
// with a search box, deletion of one reservation and the contact card.
// The periodical list (uMagzDest) is the same window on the periodical
// tables. Not here: making reservations (the desks).
#pragma once

#include "uBaseD.h"
#include "Circulation.h"

class TADOQuery;
class TADOCommand;
class TDataSource;
class TDBGrid;
class TEdit;
class TButton;
class TPanel;

class TFrmBookDest : public TFrmBaseD {
public:
    explicit TFrmBookDest(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookDest"; }
    void InitForm() override;

    void EditCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // Deletes the current reservation at once, then runs the list again.
    void BtDeleteClick(TObject* Sender);
    void BtLookClick(TObject* Sender);
    void BtCloseClick(TObject* Sender);

    // Closes the list, sets its statement and opens it (the callers' step).
    void OpenList(const TBoundSql& sql);

    TADOQuery* AdoqDest;
    TADOCommand* AdoComm;
    TDataSource* DataSource1;
    TPanel* Panel1;
    TEdit* EditCode;
    TDBGrid* DBGrid1;
    TButton* BtDelete;
    TButton* BtLook;
    TButton* BtClose;

protected:
    TFrmBookDest(TComponent* AOwner, TItemKind kind);
    TItemKind Kind;
};

// Creates the list on the statement, shows it modally and frees it.
void ShowReservationList(TItemKind kind, const TBoundSql& sql);
