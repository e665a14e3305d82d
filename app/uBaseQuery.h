// The base of the query, ranking, daily-list and statistics windows: one
// result query in the second grid library's grid with a footer row of sums,
// the row count under it, a title click that sorts ascending, printing and
// preview with a page header of the library name, the window's own report
// title and its condition line, the layout from ModuleTable/TableStructure
// and the layout editor. Derived windows supply the statement and the
// condition (WhereText, ConditionCaption) and call RunQuery.
// Not here: any condition dialog or statement of a particular window.
//
//   created --show: InitForm (layout columns once)--> shown
//   shown --RunQuery(statement)--> result open, LbQty = its rows
//   A cancelled condition dialog leaves WhereText, the caption and the
//   result as they were (no window clears its condition before asking).
#pragma once

#include "uBaseD.h"

#include "ADODB.h"

#include <memory>
#include <string>
#include <vector>

class TPanel;
class TLabel;
class TDataSource;
class TADOQuery;
class TBitBtn;
class TPopupMenu;
class TMenuItem;
class TDBSumList;
class TPrintDBGridEh;
class TDBGridEh;
class TColumnEh;

class TMDIBaseQuery : public TFrmBaseD {
public:
    explicit TMDIBaseQuery(TComponent* AOwner);
    ~TMDIBaseQuery() override;
    std::string ClassName() const override { return "TMDIBaseQuery"; }

    void InitForm() override;
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    // Derived windows ask for their condition and rerun; the base does
    // nothing, so that a cancelled dialog keeps the previous condition.
    virtual void BtFindClick(TObject* Sender);
    void BtExitClick(TObject* Sender);
    void BtHelpClick(TObject* Sender);
    // The print and layout menus, dropped under their buttons.
    void BtPrintClick(TObject* Sender);
    void BtInterfaceClick(TObject* Sender);
    // "打印报表": straight to the printer; "打印预览": the preview window.
    void N1Click(TObject* Sender);
    void N4Click(TObject* Sender);
    // "导出Excel".
    void N7Click(TObject* Sender);
    // "界面保存": the shown columns' widths and order into the layout.
    void N2Click(TObject* Sender);
    // "界面控制": the layout editor; the columns are rebuilt when confirmed.
    void N3Click(TObject* Sender);
    void DBGridEh1TitleClick(TColumnEh* Column);
    void ADOQueryBillAfterOpen(TDataSet* DataSet);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Closes the result, gives it the statement and opens it.
    void RunQuery(const TBoundSql& statement);
    // Shows caption as the condition line (LbCaption and the printout).
    void SetConditionCaption(const std::string& caption);
    // Gives the grid columns bound to these fields (letter case ignored) a
    // footer with the sum of that field.
    void SumFooters(const std::vector<std::string>& fields);
    // Fills the print component's page header from the current window.
    void PreparePrint();

    std::string TableCode;
    // The condition of the current result; derived windows join it to
    // their statement.
    TBoundSql WhereText;
    std::string ConditionCaption;
    std::string HelpTopic;
    // The second header line of this window's printout ("" for none).
    std::string ReportTitle;

    TPanel* Panel1;
    TLabel* LbCaption;
    TPanel* ToolBar1;
    TBitBtn* BtFind;
    TBitBtn* BtPrint;
    TBitBtn* BtInterface;
    TBitBtn* BtExit;
    TBitBtn* BtHelp;
    TPopupMenu* PopupMenu2;
    TMenuItem* N1;
    TMenuItem* N4;
    TMenuItem* N7;
    TPopupMenu* PopupMenu1;
    TMenuItem* N2;
    TMenuItem* N3;
    TDataSource* DataSource1;
    TADOQuery* ADOQueryBill;
    TADOQuery* ADOqSql;
    TADOQuery* AdoqTemp;
    TDBSumList* DBSumList1;
    TPrintDBGridEh* PrintDBGridEh1;
    TDBGridEh* DBGridEh1;
    TPanel* Panel2;
    TLabel* LbQty;

protected:
    // Rebuilds the columns from the shown rows of TableCode.
    void LayoutColumns(bool replace);

private:
    bool layoutRead_ = false;
};

// A report command of the main menu: the condition dialog; on OK a new
// window that takes the dialog's condition and runs its first result,
// shown modally and released. Cancel opens nothing.
template <class Dialog, class Window>
void RunReportCommand(TComponent* owner) {
    std::unique_ptr<Dialog> dialog(new Dialog(owner));
    if (dialog->ShowModal() != mrOk) return;
    std::unique_ptr<Window> window(new Window(owner));
    window->TakeCondition(*dialog);
    window->ShowModal();
}

// A query window's find button: the dialog again; on OK the window takes
// its condition, on cancel everything stays as it was.
template <class Dialog, class Window>
void AskCondition(Window* window) {
    std::unique_ptr<Dialog> dialog(new Dialog(window));
    if (dialog->ShowModal() == mrOk) window->TakeCondition(*dialog);
}
