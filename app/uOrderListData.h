// What the book ordering list and the periodical subscription list share:
// the search box (Enter searches), add and edit through the list's editor,
// and "清除购齐", which asks first, deletes the lines whose ordered copies
// have all come and reads the list again.
// Not here: each list's statement, search columns, condition dialog and
// editor (the derived window's).
#pragma once

#include "uMDIBaseData.h"

struct TBoundSql;
class TEdit;
class TSpeedButton;
class TFrmOrderDataEdit;

class TFrmOrderListData : public TMDIBaseData {
public:
    // table: the lines' table; caption: the window's and its header's.
    TFrmOrderListData(TComponent* AOwner, const std::string& table, const char* caption);
    std::string ClassName() const override { return "TFrmOrderListData"; }

    // The base's, then every line by code.
    void InitForm() override;
    void BtAddClick(TObject* Sender) override;
    void BtEditClick(TObject* Sender) override;
    void EditcodeKeyPress(TObject* Sender, char32_t& Key);
    void SbtFindClick(TObject* Sender);
    void BtClearClick(TObject* Sender);

    TEdit* Editcode;
    TSpeedButton* SbtFind;
    TSpeedButton* BtClear;

protected:
    // The list's statement for the search box's text.
    virtual TBoundSql SearchSql(const std::string& typed) const = 0;
    // A new editor owned by the window.
    virtual TFrmOrderDataEdit* CreateEditor() = 0;
    // Reads the list with statement.
    void Reload(const TBoundSql& statement);

    std::string table_;

private:
    void runEditor(int mode);
};
