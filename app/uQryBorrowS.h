// The loan statistics by class, books ("图书借阅分类统计"): for every class
// of the level listed (the top level, or the children of the class in the
// box) the loans of the date range, returned and still out, with their sums
// in the footer and a chart of a column. The dates start at the first day
// of the business month once, when the window first shows; the operator's
// dates then stay. The periodical twin is uQryBorrowqS.
#pragma once

#include "uBaseQuery.h"

class TDateTimePicker;
class TEdit;
class TSpeedButton;

class TFrmQryBorrowS : public TMDIBaseQuery {
public:
    explicit TFrmQryBorrowS(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBorrowS"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void SpeedButton1Click(TObject* Sender);
    void EditSortChange(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void BtChartClick(TObject* Sender);

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TBitBtn* BtChart;

protected:
    TFrmQryBorrowS(TComponent* AOwner, bool periodicals);
    bool Periodicals;

private:
    bool started_ = false;
};
