// Clearing old data; see uClearData.h.
#include "uClearData.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);

const char* const everything[] = {
    "Delete from bookInfo ",    "Delete from Bookattch  ", "Delete from Bookgrade ",    "Delete from Booklang ",
    "Delete from Bookposi ",    "Delete from BookPrint ",  "Delete from BookReject ",   "Delete from BookRemark ",
    "Delete from bookshort ",   "Delete from Booksize ",   "Delete from Booksupplier ", "Delete from borrowInfo ",
    "Delete from readerInfo ",  "Delete from ReaderAddr ", "Delete from Readerdept ",   "Delete from ReaderRemark ",
    "Delete from readerType ",  "Delete from Magzinfo ",   "Delete from MagzOrder ",    "Delete from MagzReject ",
    "Delete from borrowinfo1 ",
};
} // namespace

std::vector<TClearStep> ClearDataSteps(TClearScope scope, TDateTime from, TDateTime to) {
    std::vector<TClearStep> steps;
    switch (scope) {
    case TClearScope::Everything:
        for (int i = 0; i < 21; ++i) steps.push_back({i < 6 ? 20 : i < 14 ? 40 : 60, {everything[i], {}}});
        break;
    case TClearScope::AllLoans:
        for (const char* sql : {"Delete from borrowInfo ", "Delete from borrowInfo1 ",
                                "update Bookinfo set isout='',Borrowman='' where isout='外借'",
                                "update magzinfo set isout='',Borrowman='' where isout='外借'",
                                // No loan is left, so no reader may stay counted at a limit.
                                "update Readerinfo set BookQty=0,BookQty1=0"})
            steps.push_back({40, {sql, {}}});
        break;
    case TClearScope::ReturnedLoans:
        for (const char* table : {"borrowInfo", "borrowInfo1"})
            steps.push_back(
                {40,
                 {std::string("Delete from ") + table + " where State='已还' and ReturnDate>=? and ReturnDate<=?",
                  {Variant(TDateTime(int(from))), Variant(TDateTime(int(to)))}}});
        break;
    }
    return steps;
}

void DefaultClearDates(TDateTime businessDate, TDateTime& from, TDateTime& to) {
    Word y, m, d;
    DecodeDate(businessDate, y, m, d);
    to = TDateTime(int(businessDate) - d);
    from = TDateTime(int(to) - 30);
}

TFrmClearData::TFrmClearData(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmClearData");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetClientWidth(400);
    SetClientHeight(250);

    TBuild b(this);
    Label1 = b.Add<TLabel>("Label1").Caption("注意：  清理数据前请先备份数据。").At(24, 14);
    Radio1 = b.Add<TRadioButton>("Radio1").Caption("清理全部数据资料(包括基础资料和借还数据)").At(24, 40, 340, 20);
    Radio2 = b.Add<TRadioButton>("Radio2").Caption("清理全部业务数据(仅借还数据)").At(24, 64, 340, 20);
    Radio3 = b.Add<TRadioButton>("Radio3").Caption("清理指定日期段的还书数据").At(24, 88, 340, 20);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(24, 114, 352, 44);
    auto panel = b.In(Panel1);
    panel.Add<TLabel>("LbFrom").Caption("还书日期 从：").At(8, 15);
    DateFrom = panel.Add<TDateTimePicker>("DateFrom").At(90, 11, 100, 21);
    panel.Add<TLabel>("LbTo").Caption("到：").At(206, 15);
    DateTo = panel.Add<TDateTimePicker>("DateTo").At(236, 11, 100, 21);
    ProgressBar1 = b.Add<TProgressBar>("ProgressBar1")
                       .Set(&TProgressBar::SetMin, 0)
                       .Set(&TProgressBar::SetMax, 100)
                       .At(24, 170, 352, 16)
                       .Visible(false);
    auto [ok, cancel] = b.OkCancel<TBitBtn>({"BitBtn1", "确定", 206}, {"BitBtn2", "取消", 296}, 206, 80, 27);
    BitBtn1 = ok.OnClick(&TFrmClearData::BitBtn1Click);
    BitBtn2 = cancel.OnClick(&TFrmClearData::BitBtn2Click);
    Radio3->SetChecked(true);
}

void TFrmClearData::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("清理数据");
    SetColor(Cream);
    Panel1->SetColor(Cream);
    TDateTime from, to;
    DefaultClearDates(BusinessDate, from, to);
    DateTo->SetDate(to);
    DateFrom->SetDate(from);
}

TClearScope TFrmClearData::Scope() const {
    if (Radio1->Checked()) return TClearScope::Everything;
    if (Radio2->Checked()) return TClearScope::AllLoans;
    return TClearScope::ReturnedLoans;
}

void TFrmClearData::BitBtn1Click(TObject*) {
    // Nothing of this can be undone but by a backup.
    if (Application->MessageBox("清理后的数据不能恢复,是否确定清理数据？", "提示！",
                                MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    TADOConnection* c = DMData->ADOConnection1;
    Screen->SetCursor(crHourGlass);
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetVisible(true);
    try {
        if (!c->Connected()) c->Open();
        TTransaction transaction(c);
        for (const TClearStep& step : ClearDataSteps(Scope(), DateFrom->Date(), DateTo->Date())) {
            ProgressBar1->SetPosition(step.Progress);
            c->Execute(step.Sql);
        }
        transaction.Commit();
    } catch (const Exception&) {
        Screen->SetCursor(crDefault);
        ShowInfoBox("清理不成功!");
        ProgressBar1->SetVisible(false);
        return;
    }
    ProgressBar1->SetPosition(100);
    ShowInfoBox("清理成功!");
    Screen->SetCursor(crDefault);
    Close();
}

void TFrmClearData::BitBtn2Click(TObject*) { Close(); }
