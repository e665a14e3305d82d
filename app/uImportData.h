// The import wizard: rows of a spreadsheet (.xls, .xlsx) or a dBase table
// go into a master-data table (books, pre-catalogue, readers, periodicals),
// each source column mapped onto a target column with a fixed prefix and a
// default, the mapping kept as a template per window and grid under
// "bmp/", and every row inserted, or updated when its key is there already
// and 覆盖 is ticked. Rows without a key, rows whose key is taken and rows
// the database refuses are skipped and counted; the closing message says
// how many of each.
// Not here: the readers (vq/data/VqTableCopy.h), the list windows that
// open it (each reloads its own counters afterwards).
#pragma once

#include "vq/controls/VqBase.h"

#include <functional>
#include <string>

class TADOConnection;
class TDataSet;
class TDataSource;
class TLabel;
class TNotebook;
class TProgressBar;
class TRadioButton;
class TVQCheckBox;
class TVQBitBtn;
class TVQDBGrid;
class TVQEdit;
class TVQLabel;
class TVqMemTable;
class TOpenDialog;

// Opens the wizard modally over the list whose grid is `grid` (the template
// is named after the grid's form and the grid), importing into
// targetTable ("BookInfo", "BookInfoPre", "ReaderInfo", "MagzInfo") in
// mode "Share"; `extra` is kept and not read. When it closes after an
// import, the grid's data set has been read again.
void OpenImportWizard(TVQDBGrid* grid, const std::string& mode, const std::string& targetTable,
                      const std::string& extra);

// The key column the rows of a target are found by ("Code", or "Name" for
// the pre-catalogue); "" for a table the wizard does not import into.
std::string ImportKeyColumn(const std::string& targetTable);

// What an import did with the source's rows.
struct TImportResult {
    // False when the key is not mapped onto a column of the source: then
    // nothing was imported.
    bool KeyMapped = true;
    int Inserted = 0;
    int Updated = 0;
    // The key is in the table already and 覆盖 was not ticked.
    int SkippedExisting = 0;
    // The key came out blank.
    int SkippedBlankKey = 0;
    // A value the column cannot hold, or a row the database refused.
    int Failed = 0;
};

// The closing message, for example "导入完成: 新增 3 条, 更新 1 条。" and a
// line for each kind of row skipped.
std::string ImportResultMessage(const TImportResult& r);

// The import itself, on a connection, in one transaction that it commits:
// for each record of `source`, the values of the mapping rows of `mapping`
// (fields FieldName, PreValue, SFieldName, DefaultValue) whose FieldName is
// a column of `table`, each as prefix + source value, or the default when
// that is blank; blank values are not written. The row whose `key` equals
// the key's value so made is updated (overwrite) or left alone; otherwise a
// row is inserted. `progress`, when given, hears (rows done, rows in all).
// Raises EDatabaseError, writing nothing, when the transaction cannot be
// had or committed or the table is unknown.
TImportResult UpsertByKey(TADOConnection* c, const std::string& table, const std::string& key, TDataSet* source,
                          TDataSet* mapping, bool overwrite, const std::function<void(int, int)>& progress = {});

class TFrmImportData : public TFrmDlgBase {
public:
    explicit TFrmImportData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmImportData"; }

    // The source page, the template's name, then the mapping.
    void FormShow(TObject* Sender);
    // The mapping from the template file when there is one, else a row for
    // each field of the grid's data set that has a column in the grid
    // (ItemIndex and StockIndex left out).
    void LoadImportTemplate();
    void EdtFileButtonClick(TObject* Sender);
    void BtnNextClick(TObject* Sender);
    void BtnPreClick(TObject* Sender);
    void BtnSaveClick(TObject* Sender);
    void BtnDeleteClick(TObject* Sender);
    void BtnCancelClick(TObject* Sender);
    // Runs the import on the mapping, says what it did, and reads the
    // calling grid's data set again. False when nothing could be imported
    // (no key in the mapping, an unknown target).
    bool ImportToTable();

    TVQDBGrid* Grid = nullptr;
    std::string ImportMode;
    std::string TargetTable;
    std::string Extra;
    // ExeDir() + "bmp/" + form name + "-" + grid name, no extension.
    std::string TemplateFile;

    TNotebook* Notebook;
    // Source page.
    TVQLabel* LbFile;
    TVQEdit* EdtFile;
    TRadioButton* RbBtnExcel;
    TRadioButton* RbBtnWord;
    TRadioButton* RbBtnHtml;
    TRadioButton* RbBtnTxt;
    TRadioButton* RbBtndbf;
    TRadioButton* RBtnDefault;
    TVQEdit* EdtFirstRow;
    TVQEdit* EdtRows;
    TVQEdit* EdtFirstCol;
    TVQEdit* EdtCols;
    // Preview and mapping pages.
    TVQDBGrid* dbgImportdata;
    TVQDBGrid* dbgSetFields;
    TVQBitBtn* BtnSave;
    TVQBitBtn* BtnDelete;
    TVQCheckBox* ckbUpdate;
    // Bottom.
    TProgressBar* Process;
    TVQBitBtn* BtnPre;
    TVQBitBtn* BtnNext;
    TVQBitBtn* BtnCancel;

    TVqMemTable* tblImportData;
    TVqMemTable* tblSetFields;
    TDataSource* dsImportData;
    TDataSource* dsSetFields;
    TOpenDialog* OpenDialog1;

private:
    // Reads the chosen file into the import table; false (and said why)
    // when the file is not what its source choice reads.
    bool loadSource();
    // "本系统格式": a workbook the lists' "导出Excel" wrote. Its first row
    // holds the grid's column captions, so it is read whole from its first
    // cell, and each mapping row still without a source takes the column
    // of its own caption.
    bool loadOwnExport(const std::string& file);
};
