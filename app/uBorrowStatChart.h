// The loan statistics' chart: the column drawn is chosen from 借书数,
// 已还数 and 未还数; changing it keeps the kind of chart.
#pragma once

#include "uBaseChart.h"

class TFrmBorrowStatChart : public TFrmBaseChart {
public:
    explicit TFrmBorrowStatChart(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowStatChart"; }

    void CmbItemChange(TObject* Sender) override;
};
