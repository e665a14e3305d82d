// The base of the word-list windows (book and reader word lists): small
// one-column tables (Code) edited in place in a grid, one list at a time,
// chosen by the buttons on the left. The grid's columns come from the
// layout rows of the table (TableStructure). Enter walks along a row and on
// to a new one, so words can be typed one after another; a row with an
// empty Code is never posted, and switching lists posts a pending row that
// holds a word instead of dropping it.
#pragma once

#include "uBaseD.h"

#include <string>
#include <vector>

class TPanel;
class TSpeedButton;
class TButton;
class TDBGrid;
class TPopupMenu;
class TMenuItem;
class TADOQuery;
class TDataSource;

// One list of a word-list window: its button, its table and the caption
// shown above the grid.
struct TWordListRow {
    const char* Button;
    const char* ButtonCaption;
    const char* Table;
    const char* Caption;
};

class TFrmWordList : public TFrmBaseD {
public:
    TFrmWordList(TComponent* AOwner, const char* name, const char* caption, const std::vector<TWordListRow>& lists);
    std::string ClassName() const override { return "TFrmWordList"; }

    // Opens on the first list.
    void FormShow(TObject* Sender) override;
    // Esc closes; F2, F3 and F4 add, save and delete.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Shows list i (posting a pending row that holds a word first).
    void SelectList(int i);
    void LoadWordList();
    void BtAddClick(TObject* Sender);
    void BtSaveClick(TObject* Sender);
    // Deletes the current row without asking.
    void BtDeleteClick(TObject* Sender);
    // Asks "是否删除此记录？" and deletes on OK.
    void N2Click(TObject* Sender);
    void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void DBGrid1KeyPress(TObject* Sender, char32_t& Key);
    void SBtExitClick(TObject* Sender);

    std::string CurrentTable;
    std::vector<TSpeedButton*> ListButtons;
    TPanel* Panel1;
    TSpeedButton* SBtExit;
    TPanel* Panel3;
    TDBGrid* DBGrid1;
    TPanel* Panel4;
    TButton* BtSave;
    TButton* BtAdd;
    TButton* BtDelete;
    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TMenuItem* N2;
    TADOQuery* AdoqData;
    TADOQuery* AdoqStru;
    TDataSource* DSData;

private:
    bool editing() const;
    bool codeEmpty() const;
    // Posts a pending row holding a word; drops one without.
    void settlePending();
    std::vector<TWordListRow> lists_;
};
