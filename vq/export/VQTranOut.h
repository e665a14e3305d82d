// The export window ("数据导出窗口") of the data grid's title menu: one of
// five formats and a file name, then the grid's contents written there.
// Every format takes the file name (the word-processor and spreadsheet
// formats too, so no export ends in an unsaved document); the name is
// trimmed, an existing file typed by hand is replaced only after asking,
// and a failure leaves the window open with the cause shown.
#pragma once

#include <string>

#include "Forms.h"
#include "VQDBTrans.h"

class TVQCustomDBGrid;
class TRadioGroup;
class TLabel;
class TEdit;
class TButton;
class TSaveDialog;

enum TTranOutFormat { tofNone = -1, tofWord, tofExcel, tofText, tofHtml, tofDbf };

class TFrmTranOut : public TForm {
public:
    TFrmTranOut(TComponent* AOwner, TVQCustomDBGrid* grid);
    std::string ClassName() const override { return "TFrmTranOut"; }

    TRadioGroup* RGPSelect;
    TLabel* VQLabel1;
    TEdit* EdtFileName;
    TButton* BtnFileName; // the name box's button
    TButton* BtnOK;
    TButton* BtnCancel;
    TSaveDialog* Savedlg;
    TVQDataSetToHTML Html;
    TVQDatasetToText Text;
    TVQDataSetToDBF dbf;

    void RGPSelectClick();
    void EdtFileNameButtonClick();
    // Exports and closes; on an empty name or a failure the window stays.
    void BtnOKClick();
    // The name the last export wrote ("" when none).
    const std::string& Written() const { return written_; }

private:
    TVQCustomDBGrid* grid_;
    std::string confirmedName_; // chosen in the save dialog, which asked
    std::string written_;
};

// Shows the window modally for the grid.
void ShowTranOut(TVQCustomDBGrid* grid);

// Sets the data grid's title-menu defaults: "数据输出" opens the export
// window, "数据图表" the chart dialog. Called once at start-up.
void InstallGridTitleMenu();
