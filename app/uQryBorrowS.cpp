// The loan statistics by class; see uQryBorrowS.h.
#include "uQryBorrowS.h"

#include "Build.h"
#include "Buttons.h"
#include "ClassBox.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/grid/DBGridEh.h"
#include "uBorrowStatChart.h"
#include "uGlobal.h"

#include <memory>

TFrmQryBorrowS::TFrmQryBorrowS(TComponent* AOwner) : TFrmQryBorrowS(AOwner, false) {}

TFrmQryBorrowS::TFrmQryBorrowS(TComponent* AOwner, bool periodicals)
    : TMDIBaseQuery(AOwner), Periodicals(periodicals) {
    SetName(periodicals ? "FrmQryBorrowqS" : "FrmQryBorrowS");
    SetCaption(periodicals ? "期刊借阅分类统计" : "图书借阅分类统计");
    ADOQueryBill->SetCursorType(ctStatic);
    TBuild b(this);
    BtChart = b.In(ToolBar1)
                  .Add<TBitBtn>("BtChart")
                  .Caption("统计图(&T)")
                  .At(BtExit->Left() + BtExit->Width() + 2, BtExit->Top(), 80, BtExit->Height())
                  .TabStop(false)
                  .OnClick(&TFrmQryBorrowS::BtChartClick);
    Panel1->SetHeight(56);
    auto p = b.In(Panel1);
    p.Add<TLabel>("LbFrom").Caption("借书日期：从").At(10, 10);
    DateFrom = p.Add<TDateTimePicker>("DateFrom").At(90, 6, 110, 21);
    p.Add<TLabel>("LbTo").Caption("到").At(208, 10);
    DateTo = p.Add<TDateTimePicker>("DateTo").At(226, 6, 110, 21);
    p.Add<TLabel>("LbSort").Caption("类别：").At(350, 10);
    EditSort = p.Add<TEdit>("EditSort")
                   .At(390, 6, 120, 21)
                   .OnChange(&TFrmQryBorrowS::EditSortChange)
                   .OnKeyDown(&TFrmQryBorrowS::EditSortKeyDown);
    SpeedButton1 = p.Add<TSpeedButton>("SpeedButton1")
                       .Caption("...")
                       .Hint("点击按钮或按+/F5键选择设定数据")
                       .At(512, 5, 22, 23)
                       .OnClick(&TFrmQryBorrowS::SpeedButton1Click);
    LbCaption->SetTop(36);
    DBGridEh1->Columns()->Clear();
    AddColumns(DBGridEh1, {{"Sortcode", "分类编号", 97},
                           {"SortName", "分类名称", 168},
                           {"BookQty", "借书数", 111},
                           {"BeQty", "已还数", 103},
                           {"NotQty", "未还数", 103}});
}

void TFrmQryBorrowS::InitForm() {
    TMDIBaseQuery::InitForm();
    // Once: coming back from the picker, the chart or the preview keeps the
    // operator's dates and list.
    if (started_) return;
    started_ = true;
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    ReportTitle = Periodicals ? "期刊借阅分类统计" : "图书借阅分类统计";
    SumFooters({"BookQty", "BookSum"});
    BtFindClick(BtFind);
}

void TFrmQryBorrowS::BtFindClick(TObject*) {
    const TDateTime from = DateFrom->Date(), to = DateTo->Date();
    std::string parent = "00";
    if (!EditSort->Text().empty()) {
        parent = EditSort->Hint();
        if (parent.empty()) {
            ShowInfoBox("无此类别");
            return;
        }
    }
    SetConditionCaption(DateRangeCaption("借书日期", from, to));
    RunQuery(ClassLoanStatsSql(Periodicals, parent, from, to));
}

void TFrmQryBorrowS::SpeedButton1Click(TObject*) { PickClassInto(this, EditSort); }

void TFrmQryBorrowS::EditSortChange(TObject*) { EditSort->SetHint(ClassKeyOf(EditSort->Text())); }

void TFrmQryBorrowS::EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton1Click(SpeedButton1);
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmQryBorrowS::BtChartClick(TObject*) {
    if (!ADOQueryBill->Active()) return;
    std::unique_ptr<TFrmBorrowStatChart> chart(new TFrmBorrowStatChart(this));
    chart->DsChart->SetDataSet(ADOQueryBill);
    chart->LabelField = "Sortcode";
    chart->ValueField = "BookQty";
    chart->ShowModal();
}
