// The date-picking dialog; see VqQueryDate.h.
#include "vq/controls/VqQueryDate.h"

#include "ComCtrls.h"
#include "DB.h"
#include "SysUtils.h"
#include "vq/controls/VqStdCtrls.h"

TFrmSetQueryDate::TFrmSetQueryDate(TComponent* AOwner) : TFrmDlgBase(AOwner) {
    SetName("FrmSetQueryDate");
    SetCaption("选择日期");
    SetBounds(0, 0, 359, 249);
    PnlTop->SetVisible(false);
    MonthCalendar = new TMonthCalendar(this);
    MonthCalendar->SetName("MonthCalendar");
    MonthCalendar->SetParent(this);
    MonthCalendar->SetAlign(alClient);
    MonthCalendar->Font()->SetName("宋体");
    MonthCalendar->Font()->SetHeight(-16);
    MonthCalendar->OnDblClick = [this](TObject* s) { MonthCalendarDblClick(s); };
    OnKeyDown = [this](TObject* s, Word& key, TShiftState shift) {
        if (key == VK_RETURN) {
            key = 0;
            MonthCalendarDblClick(s);
            return;
        }
        FormKeyDown(s, key, shift);
    };
}

void TFrmSetQueryDate::DoAfterShow() { MonthCalendar->SetDate(Date()); }

void TFrmSetQueryDate::MonthCalendarDblClick(TObject*) {
    if (Field) {
        TDataSet* ds = Field->DataSet();
        if (ds && ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
        Field->SetText(DateToStr(MonthCalendar->Date()));
        SetModalResult(mrOk);
    }
    Close();
}

TControl* SelectFieldDate(TField* field, TControl* control) {
    auto* dialog = new TFrmSetQueryDate(Application);
    dialog->Field = field;
    // The dialog frees itself when it closes.
    dialog->ShowModal();
    return control;
}
