// The statistics chart window ("统计图"): one column of the caller's data
// set drawn as a pie, bars or a line, each point labelled from another
// column, its mark showing the label and its share. The kind chosen last
// stays when the column changes (TFrmBorrowStatChart).
#pragma once

#include "uBaseD.h"

#include <string>

class TSpeedButton;
class TLabel;
class TComboBox;
class TDBChart;
class TBitBtn;
class TDataSource;
class TChartSeries;
class TPanel;

class TFrmBaseChart : public TFrmBaseD {
public:
    explicit TFrmBaseChart(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBaseChart"; }

    void FormShow(TObject* Sender) override;
    void SbtType1Click(TObject* Sender);
    void SbtType2Click(TObject* Sender);
    void SbtType3Click(TObject* Sender);
    virtual void CmbItemChange(TObject* Sender) {}
    void BtExitClick(TObject* Sender);

    TPanel* Panel1;
    TSpeedButton* SbtType1;
    TSpeedButton* SbtType2;
    TSpeedButton* SbtType3;
    TLabel* LbItem;
    TComboBox* CmbItem;
    TDBChart* DBChart;
    TBitBtn* BtExit;
    TDataSource* DsChart;

    TChartSeries* PieSeries = nullptr;
    TChartSeries* BarSeries = nullptr;
    TChartSeries* LineSeries = nullptr;
    std::string LabelField;
    std::string ValueField;
    // 1 pie, 2 bar, 3 line.
    int ChartKind = 1;

protected:
    // Replaces the chart's series by a new one of the kind.
    void drawAs(int kind);
};
