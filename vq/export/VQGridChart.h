// The chart dialog of the data grid's title menu ("图形分析表"). Way one:
// one series per ticked numeric column over all records, labelled by the
// X column. Way two: one series comparing the ticked numeric columns by
// one value each: the last record's, the current record's, or the total
// ("合计", summed as money to four decimals). The grid's current record is
// the same after the dialog as before it.
#pragma once

#include <string>

#include "System.h"
#include "Forms.h"

class TVQCustomDBGrid;
class TNotebook;
class TGroupBox;
class TLabel;
class TListBox;
class TComboBox;
class TButton;
class TPanel;
class TDBChart;
class TChartSeries;
class TVQGridCheckList;

class TFrmdbGridChart : public TForm {
public:
    TFrmdbGridChart(TComponent* AOwner, TVQCustomDBGrid* grid);
    std::string ClassName() const override { return "TFrmdbGridChart"; }

    TNotebook* Notebook1;
    TGroupBox* VQGroupBox2;
    TGroupBox* VQGroupBox1;
    TListBox* lbx1X;
    TVQGridCheckList* lbx1Y;
    TVQGridCheckList* lbxCurr;
    TComboBox* cbxGType1;
    TComboBox* cbxGType;
    TComboBox* cbxData;
    TButton* BtnOK1;
    TButton* BtnOK2;
    TButton* BtnClose;
    TButton* BtnPrint;
    TButton* SpeedButton1;
    TDBChart* dbchart;

    void FillFieldLists();
    void BtnOK1Click();
    void BtnOK2Click();
    void BtnPrintClick();
    void SpeedButton1Click();
    // The value of way two for a field by cbxData's text.
    Currency GetChartValue(const std::string& fieldName);

private:
    TChartSeries* newSeries(const std::string& kind);
    TVQCustomDBGrid* grid_;
};

void ShowGridChart(TVQCustomDBGrid* grid);
