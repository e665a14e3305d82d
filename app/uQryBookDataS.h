// The holdings by class, books ("馆藏图书分类统计"): for every class of the
// level listed the copies and their prices, of one state (in the library,
// on loan, written off) or all, with the sums in the footer. The first
// result is the top level, run when the window first shows. The
// periodical twin is uQryMagzDataS.
#pragma once

#include "uBaseQuery.h"

class TEdit;
class TSpeedButton;
class TComboBox;

class TFrmQryBookDataS : public TMDIBaseQuery {
public:
    explicit TFrmQryBookDataS(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBookDataS"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void SpeedButton1Click(TObject* Sender);
    void EditSortChange(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TEdit* EditSort;
    TSpeedButton* SpeedButton1;
    TComboBox* CmbState;

protected:
    TFrmQryBookDataS(TComponent* AOwner, bool periodicals);
    bool Periodicals;

private:
    bool started_ = false;
};
