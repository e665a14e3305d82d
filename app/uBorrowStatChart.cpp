// The loan statistics' chart; see uBorrowStatChart.h.
#include "uBorrowStatChart.h"

#include "StdCtrls.h"

TFrmBorrowStatChart::TFrmBorrowStatChart(TComponent* AOwner) : TFrmBaseChart(AOwner) {
    SetName("FrmBorrowStatChart");
    for (const char* item : {"借书数", "已还数", "未还数"}) CmbItem->Items()->Add(item);
    CmbItem->SetItemIndex(0);
}

void TFrmBorrowStatChart::CmbItemChange(TObject*) {
    const std::string item = CmbItem->Text();
    ValueField = item == "已还数" ? "BeQty" : item == "未还数" ? "NotQty" : "BookQty";
    drawAs(ChartKind);
}
