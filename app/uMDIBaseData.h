// The base of the master-data list windows (books, pre-catalogue, ordering,
// write-offs, periodicals, readers, reader types, publishers): one table's
// rows in a read-only in-house grid whose columns come from the layout rows
// of the window's table, a tool bar for add, edit, delete, find, the report
// menu and the layout menu, and sorting by a click on a column title.
// Not here: the derived window's statement, search boxes, editor and
// delete guard (CanDelete, BeforeDelete and the Add/Edit handlers are theirs).
//
// Opening: InitForm reads the window's table from ModuleTable by its
// component name; a window without a row closes at once (Release, then a
// silent abort of the request that was opening it), so no empty list is
// ever left on the desktop.
#pragma once

#include "uBaseD.h"

#include <string>
#include <vector>

class TPanel;
class TToolBar;
class TToolButton;
class TPopupMenu;
class TMenuItem;
class TADOQuery;
class TADOCommand;
class TDataSource;
class TVQDBGrid;
class TVQColumn;
class TRMDBDataSet;
class TRMDesigner;
struct TLayoutRow;

class TMDIBaseData : public TFrmBaseD {
public:
    explicit TMDIBaseData(TComponent* AOwner);
    std::string ClassName() const override { return "TMDIBaseData"; }

    // Colours, the table and key column from the layout tables, and the
    // grid's columns; aborts (window released) when the window has no
    // ModuleTable row.
    void InitForm() override;
    // The delete guard; false refuses the delete (after the override's own
    // message). The base allows every delete.
    virtual bool CanDelete();
    // Runs inside the delete transaction before the row goes; derived
    // windows delete or update dependent rows here.
    virtual void BeforeDelete();

    // Guard, question, then BeforeDelete and the delete in one transaction;
    // a database error rolls back and says "删除出错！". Afterwards the list
    // is read again and shows the row that followed (by Code).
    virtual void BtDeleteClick(TObject* Sender);
    // Empty: derived windows open their condition dialog.
    virtual void BtFindClick(TObject* Sender);
    // Read the list again; derived windows run their editor first.
    virtual void BtAddClick(TObject* Sender);
    virtual void BtEditClick(TObject* Sender);
    void BtExitClick(TObject* Sender);
    void BtHelpClick(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);
    void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Sorts by the column in memory: ascending first, then alternating;
    // the title carries "▲" or "▼", and only the last sorted column does.
    void DBGrid1TitleClick(TVQColumn* Column);

    // 保存界面: widths and visual order into the layout rows.
    void N1Click(TObject* Sender);
    // 显示控制: the layout editor, then the columns again on OK.
    void N2Click(TObject* Sender);
    // 报表打印, 报表预览, 报表设计 of report/ReportFile.
    void N3Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N5Click(TObject* Sender);
    // 导出Excel: the grid into a workbook the operator names.
    void NExcelClick(TObject* Sender);

    // Reads the list again and shows the row whose Code is LocateCode.
    void RequeryAndLocate();
    // The grid's columns from the visible layout rows of TableCode.
    void BuildColumns();

    TPanel* Panel2;
    TPanel* Panel1;
    TPanel* Panel3;
    TToolBar* ToolBar1;
    TToolButton* BtAdd;
    TToolButton* BtEdit;
    TToolButton* BtDelete;
    TToolButton* BtFind;
    TToolButton* BtPrint;
    TToolButton* BtInterface;
    TToolButton* BtExit;
    TToolButton* BtHelp;
    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TMenuItem* N2;
    TPopupMenu* PopupMenu2;
    TMenuItem* N4;
    TMenuItem* N3;
    TMenuItem* N5;
    TMenuItem* NExcel;
    TADOQuery* ADOqData;
    TADOQuery* Adoqtemp;
    TADOQuery* ADOqSql;
    TADOQuery* Adoqueryset;
    TADOCommand* ADOCommand1;
    TDataSource* DSData;
    TRMDBDataSet* RMDBDataSet1;
    // The designer's settings ("报表设计"): no restrictions.
    TRMDesigner* RMDesigner1;
    TVQDBGrid* DBGrid1;

    std::string TableCode;
    std::string KeyColumn;
    std::string ReportFile;
    std::string HelpTopic;
    std::string LocateCode;
    std::string SortColumn;

protected:
    // The question, then BeforeDelete and the delete of the current row in
    // one transaction; false when the operator did not confirm. A database
    // error rolls back, says "删除出错！" and aborts; any other error rolls
    // back and propagates.
    bool DeleteCurrentRow();
    // The report template's full path.
    std::string reportPath() const;

private:
    void buildColumns(const std::vector<TLayoutRow>& rows);
};
