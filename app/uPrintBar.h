// The label window "打印条码书标": barcode labels made up from a prefix and a
// number range (no item is looked up), spine labels with the call numbers
// of the catalogued books or periodicals in a code range, and single labels
// collected again code by code (补打). The rows go into two in-memory tables
// that the report templates report/PrintBar.rmf and report/PrintLab.rmf run
// over. The range rules are plain functions below, so a test can call them
// without the window.
// Not here: the templates themselves (tools/MakeReportTemplates.cpp) or the
// report engine's preview, print dialog and designer.
#pragma once

#include "uBaseD.h"

#include <cstdint>
#include <string>
#include <vector>

class TPageControl;
class TTabSheet;
class TLabel;
class TEdit;
class TUpDown;
class TRadioButton;
class TComboBox;
class TDBGrid;
class TDataSource;
class TButton;
class TSpeedButton;
class TADOQuery;
class TVqMemTable;
class TRMReport;
class TRMDBDataSet;
class TRMBarCodeObject;

// The longest label code: an item code (Bookinfo.Code, Magzinfo.Code) is 30
// characters, and a longer label could never be scanned back to an item.
inline constexpr int LabelCodeWidth = 30;

// The first of the checks of "生成" that the typed range fails, as the
// message the window shows, or "" when it passes: both given, digits only,
// start not above end, the same number of digits. Numbers of any length
// compare by value (no integer conversion that could overflow).
std::string LabelRangeError(const std::string& from, const std::string& to);

// The barcode label codes of a range that passed LabelRangeError: prefix
// followed by every number from `from` to `to`, each kept at the width of
// `from` with leading zeros and repeated `repeat` times (0 gives none).
std::vector<std::string> BarcodeLabelCodes(const std::string& prefix, const std::string& from,
                                           const std::string& to, int repeat);

// Ranges that make more labels than a sheet run usually holds are asked
// about first: a slipped digit in "到" would otherwise fill the printer.
// Past the most, nothing is made: such a run is always a typing error, and
// making it would stall the window.
inline constexpr int64_t LabelsAskedAbove = 1000;
inline constexpr int64_t LabelsMost = 100000;

// How many labels a range that passed LabelRangeError makes with `repeat`
// copies of each code; counts past LabelsMost come back as LabelsMost + 1.
int64_t BarcodeLabelCount(const std::string& from, const std::string& to, int repeat);

class TFrmPrintBar : public TFrmBaseD {
public:
    explicit TFrmPrintBar(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmPrintBar"; }

    void FormShow(TObject* Sender) override;
    // Esc closes; Enter in the reprint page's boxes collects the code typed
    // in EditCode (see ReprintStep).
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    void Rb1Click(TObject* Sender);
    void Rb2Click(TObject* Sender);
    void Rbb1Click(TObject* Sender);
    void Rbb2Click(TObject* Sender);
    void PageControl1Change(TObject* Sender);
    // "生成": the checks, then the barcode or spine labels of the range.
    void BtmakeClick(TObject* Sender);
    void EditFromExit(TObject* Sender);
    void EditToExit(TObject* Sender);
    void EditQtyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void BtpreviewClick(TObject* Sender);
    void BtprintClick(TObject* Sender);
    void BtdesignClick(TObject* Sender);
    void BtExitClick(TObject* Sender);
    void SbtHelpClick(TObject* Sender);
    // Adds the label of the code in EditCode to the reprint page's table
    // (a spine label only for an item that exists) and empties EditCode; an
    // empty code adds nothing.
    void ReprintStep();

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TEdit* EditFront;
    TEdit* EditFrom;
    TEdit* EditTo;
    TEdit* EditQty;
    TUpDown* UpDown1;
    TRadioButton* Rb1;
    TRadioButton* Rb2;
    TComboBox* Cbxtype;
    TTabSheet* TabSheet2;
    TEdit* EditFrontb;
    TEdit* EditCode;
    TRadioButton* Rbb1;
    TRadioButton* Rbb2;
    TComboBox* Cbxtypeb;
    TDBGrid* DBGrid1;
    TDataSource* DataSource1;
    TButton* Btmake;
    TButton* Btpreview;
    TButton* Btprint;
    TButton* Btdesign;
    TSpeedButton* SbtHelp;
    TButton* BtExit;

    // Barcode labels: Barcode. Spine labels: Scode1 (class code), Scode2
    // (book number), Scode3 (volume) and BarCode (item code).
    TVqMemTable* TblBarcode;
    TVqMemTable* TblBookmark;
    TADOQuery* ADOQuery1;
    TRMReport* RMReport1;
    TRMDBDataSet* RMDBDataSet1;
    TRMBarCodeObject* RMBarCodeObject1;

    // "PrintBar.rmf" or "PrintLab.rmf" in the "report" folder.
    std::string ReportFile;

private:
    // Barcode or spine-label mode: the template, the report's table and
    // whether the item kind box of that page shows.
    void barcodeMode(TComboBox* kind);
    void spineMode(TComboBox* kind);
    // The reprint grid on `table`, emptied.
    void showInGrid(TVqMemTable* table);
    void makeSpineLabels(const std::string& from, const std::string& to);
    void addSpineRow(const std::string& code);
    // Loads the template; a missing one says so. False when nothing loaded.
    bool load();
};
