// The label window; see uPrintBar.h.
#include "uPrintBar.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Forms.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "report/barcode/RM_BarCodeView.h"
#include "report/model/RM_Report.h"
#include "uBarHelp.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "vq/VqMemTable.h"

#include <algorithm>
#include <memory>

namespace {

// Compares two digit strings by the numbers they write.
bool numberLess(const std::string& a, const std::string& b) {
    auto significant = [](const std::string& s) {
        size_t i = s.find_first_not_of('0');
        return i == std::string::npos ? std::string() : s.substr(i);
    };
    const std::string x = significant(a), y = significant(b);
    if (x.size() != y.size()) return x.size() < y.size();
    return x < y;
}

// One more in decimal, at the same width (the caller never steps past the
// end of the range, which has that width too).
void increment(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
}

const char* const BookKind = "图书";
const char* const PeriodicalKind = "期刊";

} // namespace

std::string LabelRangeError(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return "请输入起始或终止号码！";
    if (!IsDigitsOnly(from) || !IsDigitsOnly(to)) return "号码必须是数字！";
    if (numberLess(to, from)) return "起始号码不能大于终止号码！";
    if (from.size() != to.size()) return "起始号码和终止号码长度必须相等！";
    return {};
}

int64_t BarcodeLabelCount(const std::string& from, const std::string& to, int repeat) {
    if (repeat <= 0) return 0;
    // Equal widths: past the digits both share, what is left decides; more
    // than 15 of them differ by far more than any count asked about.
    size_t same = 0;
    while (same < from.size() && same < to.size() && from[same] == to[same]) ++same;
    if (to.size() - same > 15) return LabelsMost + 1;
    const int64_t first = from.size() == same ? 0 : std::stoll(from.substr(same));
    const int64_t last = to.size() == same ? 0 : std::stoll(to.substr(same));
    const int64_t numbers = last - first + 1;
    if (numbers > (LabelsMost + 1) / repeat) return LabelsMost + 1;
    return std::min<int64_t>(numbers * repeat, LabelsMost + 1);
}

std::vector<std::string> BarcodeLabelCodes(const std::string& prefix, const std::string& from,
                                           const std::string& to, int repeat) {
    std::vector<std::string> codes;
    if (repeat <= 0) return codes;
    // Equal widths, so text order is number order.
    for (std::string n = from;; increment(n)) {
        for (int i = 0; i < repeat; ++i) codes.push_back(prefix + n);
        if (n >= to) break;
    }
    return codes;
}

TFrmPrintBar::TFrmPrintBar(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmPrintBar");
    SetCaption("打印条码书标");
    SetBorderStyle(bsDialog);
    SetClientWidth(460);
    SetClientHeight(316);

    TBuild b(this);
    PageControl1 = b.Add<TPageControl>("PageControl1").At(8, 8, 444, 256).TabOrder(0).OnChange(
        &TFrmPrintBar::PageControl1Change);
    auto sheet = [&](const char* name, const char* caption) {
        return static_cast<TTabSheet*>(
            b.In(nullptr).Add<TTabSheet>(name).Set(&TTabSheet::SetPageControl, PageControl1).Caption(caption));
    };
    // Alt+P and Alt+B turn to a page as Ctrl+Tab does.
    TabSheet1 = sheet("TabSheet1", "打印(&P)");
    TabSheet2 = sheet("TabSheet2", "补打(&B)");
    const TKeyEvent keys = KeyDownHandler();

    auto print = b.In(TabSheet1);
    print.Add<TLabel>("LbFront").Caption("前缀:").At(24, 27);
    EditFront = print.Add<TEdit>("EditFront").At(104, 24, 120, 21).OnKeyDown(keys);
    print.Add<TLabel>("LbFrom").Caption("号码从：").At(24, 63);
    EditFrom = print.Add<TEdit>("EditFrom").At(104, 60, 120, 21).OnKeyDown(keys).OnExit(&TFrmPrintBar::EditFromExit);
    print.Add<TLabel>("LbTo").Caption("到").At(236, 63);
    EditTo = print.Add<TEdit>("EditTo").At(256, 60, 120, 21).OnKeyDown(keys).OnExit(&TFrmPrintBar::EditToExit);
    print.Add<TLabel>("LbQty").Caption("重复个数：").At(24, 99);
    EditQty = print.Add<TEdit>("EditQty").At(104, 96, 50, 21).ReadOnly().OnKeyDown(&TFrmPrintBar::EditQtyKeyDown);
    UpDown1 = print.Add<TUpDown>("UpDown1").Width(16).TabStop(false);
    UpDown1->SetMin(0);
    UpDown1->SetMax(100);
    UpDown1->SetPosition(1);
    UpDown1->SetAssociate(EditQty);
    Rb1 = print.Add<TRadioButton>("Rb1").Caption("条形码").At(104, 148, 70, 20).Checked().OnClick(
        &TFrmPrintBar::Rb1Click).OnKeyDown(keys);
    Rb2 = print.Add<TRadioButton>("Rb2").Caption("书标").At(184, 148, 60, 20).OnClick(&TFrmPrintBar::Rb2Click).OnKeyDown(
        keys);
    Cbxtype = print.Add<TComboBox>("Cbxtype").At(256, 147, 80, 21).Visible(false).OnKeyDown(keys);

    auto reprint = b.In(TabSheet2);
    reprint.Add<TLabel>("LbFrontb").Caption("前缀:").At(16, 19);
    EditFrontb = reprint.Add<TEdit>("EditFrontb").At(88, 16, 110, 21).OnKeyDown(keys);
    Rbb1 = reprint.Add<TRadioButton>("Rbb1").Caption("条形码").At(216, 17, 70, 20).Checked().OnClick(
        &TFrmPrintBar::Rbb1Click).OnKeyDown(keys);
    Rbb2 = reprint.Add<TRadioButton>("Rbb2").Caption("书标").At(292, 17, 56, 20).OnClick(&TFrmPrintBar::Rbb2Click).OnKeyDown(
        keys);
    Cbxtypeb = reprint.Add<TComboBox>("Cbxtypeb").At(352, 16, 72, 21).Visible(false).OnKeyDown(keys);
    reprint.Add<TLabel>("LbCode").Caption("图书编号：").At(16, 51);
    EditCode = reprint.Add<TEdit>("EditCode").At(88, 48, 110, 21).OnKeyDown(keys).OnExit(&TFrmPrintBar::EditFromExit);
    reprint.Add<TLabel>("LbEnter").Caption("(回车)").At(204, 51);
    DBGrid1 = reprint.Add<TDBGrid>("DBGrid1")
                  .At(16, 80, 408, 140)
                  .ReadOnly()
                  .Columns({{"Barcode", "图书编号", 205}})
                  .OnKeyDown(keys);
    // One column to read: Tab goes on to the buttons instead of holding the
    // keyboard in the list.
    DBGrid1->SetOptions(DBGrid1->Options() >> dgTabs);
    for (TComboBox* kind : {Cbxtype, Cbxtypeb}) {
        kind->SetStyle(csDropDownList);
        kind->Items()->Add(BookKind);
        kind->Items()->Add(PeriodicalKind);
        kind->SetItemIndex(0);
    }

    const TToolRow<TFrmPrintBar> buttons[] = {
        {"Btmake", "生成", "", 64, &TFrmPrintBar::BtmakeClick},
        {"Btpreview", "预览", "", 64, &TFrmPrintBar::BtpreviewClick},
        {"Btprint", "打印", "", 64, &TFrmPrintBar::BtprintClick},
        {"Btdesign", "报表设计", "", 72, &TFrmPrintBar::BtdesignClick},
    };
    int x = 8;
    std::vector<TButton*> made;
    for (const auto& row : buttons) {
        made.push_back(b.Add<TButton>(row.Name).Caption(row.Caption).At(x, 276, row.Width, 27).OnClick(row.Click).OnKeyDown(
            keys));
        x += row.Width + 6;
    }
    Btmake = made[0];
    Btpreview = made[1];
    Btprint = made[2];
    Btdesign = made[3];
    SbtHelp = b.Add<TSpeedButton>("SbtHelp").Caption("报表帮助").At(304, 276, 72, 27).OnClick(&TFrmPrintBar::SbtHelpClick);
    BtExit = b.Add<TButton>("BtExit").Caption("退出").At(384, 276, 68, 27).OnClick(&TFrmPrintBar::BtExitClick).OnKeyDown(
        keys);

    // Widths of the columns the rows come from, so nothing is cut: a label
    // must carry the whole code.
    TblBarcode = b.Add<TVqMemTable>("TblBarcode");
    TblBarcode->FieldDefs().Add("Barcode", ftString, LabelCodeWidth);
    TblBarcode->Open();
    TblBookmark = b.Add<TVqMemTable>("TblBookmark");
    TblBookmark->FieldDefs().Add("Scode1", ftString, 20);
    TblBookmark->FieldDefs().Add("Scode2", ftString, 30);
    TblBookmark->FieldDefs().Add("Scode3", ftString, 20);
    TblBookmark->FieldDefs().Add("BarCode", ftString, LabelCodeWidth);
    TblBookmark->Open();
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(TblBarcode);
    DBGrid1->SetDataSource(DataSource1);

    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1");
    if (DMData) ADOQuery1->SetConnection(DMData->ADOConnection1);
    RMReport1 = b.Add<TRMReport>("RMReport1");
    RMDBDataSet1 = b.Add<TRMDBDataSet>("RMDBDataSet1");
    RMDBDataSet1->SetDataSet(TblBarcode);
    RMBarCodeObject1 = b.Add<TRMBarCodeObject>("RMBarCodeObject1");
}

void TFrmPrintBar::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    ReportFile = "PrintBar.rmf";
    // The designer is not part of the program yet.
    Btdesign->SetEnabled(bool(RMDesignerClass));
    SetActiveControl(EditFront);
}

void TFrmPrintBar::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in any tabbed dialog.
    if (Key == VK_TAB && Shift.Contains(ssCtrl)) {
        PageControl1->SelectNextPage(!Shift.Contains(ssShift));
        Key = 0;
        return;
    }
    // Enter collects a reprint only where its code is typed: elsewhere it
    // would add a label nobody asked for.
    if (Key == VK_RETURN && (Sender == EditCode || Sender == EditFrontb)) {
        ReprintStep();
        Key = 0;
        return;
    }
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
}

void TFrmPrintBar::barcodeMode(TComboBox* kind) {
    ReportFile = "PrintBar.rmf";
    RMDBDataSet1->SetDataSet(TblBarcode);
    kind->SetVisible(false);
}

void TFrmPrintBar::spineMode(TComboBox* kind) {
    ReportFile = "PrintLab.rmf";
    RMDBDataSet1->SetDataSet(TblBookmark);
    kind->SetVisible(true);
}

void TFrmPrintBar::showInGrid(TVqMemTable* table) {
    DataSource1->SetDataSet(table);
    table->EmptyTable();
}

void TFrmPrintBar::Rb1Click(TObject*) { barcodeMode(Cbxtype); }

void TFrmPrintBar::Rb2Click(TObject*) { spineMode(Cbxtype); }

void TFrmPrintBar::Rbb1Click(TObject*) {
    barcodeMode(Cbxtypeb);
    showInGrid(TblBarcode);
}

void TFrmPrintBar::Rbb2Click(TObject*) {
    spineMode(Cbxtypeb);
    showInGrid(TblBookmark);
}

void TFrmPrintBar::PageControl1Change(TObject*) {
    // The radio button the page shows decides the mode, so what prints is
    // what the operator sees selected.
    if (PageControl1->ActivePage() == TabSheet2) {
        Rbb2->Checked() ? Rbb2Click(Rbb2) : Rbb1Click(Rbb1);
        Btmake->SetEnabled(false);
    } else {
        if (Rb2->Checked()) {
            spineMode(Cbxtype);
            TblBookmark->EmptyTable();
        } else {
            barcodeMode(Cbxtype);
            TblBarcode->EmptyTable();
        }
        Btmake->SetEnabled(true);
    }
    // However the page was turned (tab, accelerator or Ctrl+Tab), the
    // keyboard goes to its first box rather than staying on a hidden one.
    TEdit* first = PageControl1->ActivePage() == TabSheet2 ? EditFrontb : EditFront;
    if (first->CanFocus()) first->SetFocus();
}

void TFrmPrintBar::EditFromExit(TObject* Sender) {
    auto* edit = dynamic_cast<TEdit*>(Sender);
    if (edit) edit->SetText(Trim(edit->Text()));
}

void TFrmPrintBar::EditToExit(TObject*) { EditTo->SetText(Trim(EditTo->Text())); }

void TFrmPrintBar::EditQtyKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    // The box is read-only: the arrows step the count, as its buttons do.
    if (Key == VK_UP || Key == VK_DOWN) {
        UpDown1->ClickButton(Key == VK_UP ? btNext : btPrev);
        Key = 0;
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmPrintBar::BtmakeClick(TObject*) {
    const std::string from = Trim(EditFrom->Text()), to = Trim(EditTo->Text());
    const std::string error = LabelRangeError(from, to);
    if (!error.empty()) {
        ShowInfoBox(error);
        return;
    }
    if (Rb2->Checked()) {
        makeSpineLabels(from, to);
        return;
    }
    const std::string prefix = Trim(EditFront->Text());
    if (Utf8Length(prefix + from) > LabelCodeWidth) {
        ShowInfoBox("条码长度不能超过" + IntToStr(LabelCodeWidth) + "个字符！");
        return;
    }
    const int64_t count = BarcodeLabelCount(from, to, UpDown1->Position());
    if (count > LabelsMost) {
        ShowInfoBox("一次最多生成" + IntToStr(LabelsMost) + "个标签，请缩小号码范围！");
        return;
    }
    if (count > LabelsAskedAbove &&
        Application->MessageBox("将生成" + IntToStr(count) + "个标签，是否继续？", "询问",
                                MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    TblBarcode->EmptyTable();
    Screen->SetCursor(crHourGlass);
    TblBarcode->DisableControls();
    for (const std::string& code : BarcodeLabelCodes(prefix, from, to, UpDown1->Position())) {
        TblBarcode->Append();
        TblBarcode->FieldByName("Barcode")->SetAsString(code);
        TblBarcode->Post();
    }
    TblBarcode->First();
    TblBarcode->EnableControls();
    Screen->SetCursor(crDefault);
}

void TFrmPrintBar::makeSpineLabels(const std::string& from, const std::string& to) {
    TblBookmark->EmptyTable();
    const std::string table = Cbxtype->ItemIndex() == 1 ? "Magzinfo" : "Bookinfo";
    // Codes compare as text: a range of digits holds no code with a prefix.
    ADOQuery1->Close();
    ADOQuery1->SetStatement({"select * from " + table + " where Code>=? and Code<=? order by Code", {from, to}});
    ADOQuery1->Open();
    TField* volume = ADOQuery1->FindField("CodeSet");
    for (ADOQuery1->First(); !ADOQuery1->Eof(); ADOQuery1->Next()) {
        TblBookmark->Append();
        TblBookmark->FieldByName("Scode1")->SetAsString(ADOQuery1->FieldByName("Sortcode")->AsString());
        TblBookmark->FieldByName("Scode2")->SetAsString(ADOQuery1->FieldByName("SortNum")->AsString());
        // Periodicals have no volume number: their third line stays empty.
        TblBookmark->FieldByName("Scode3")->SetAsString(volume ? volume->AsString() : std::string());
        TblBookmark->Post();
    }
    ADOQuery1->Close();
    TblBookmark->First();
}

void TFrmPrintBar::addSpineRow(const std::string& code) {
    const std::string table = Cbxtypeb->ItemIndex() == 1 ? "Magzinfo" : "Bookinfo";
    ADOQuery1->Close();
    ADOQuery1->SetStatement({"select * from " + table + " where Code=?", {code}});
    ADOQuery1->Open();
    if (!ADOQuery1->IsEmpty()) {
        TField* volume = ADOQuery1->FindField("CodeSet");
        TblBookmark->Append();
        TblBookmark->FieldByName("BarCode")->SetAsString(ADOQuery1->FieldByName("Code")->AsString());
        TblBookmark->FieldByName("Scode1")->SetAsString(ADOQuery1->FieldByName("Sortcode")->AsString());
        TblBookmark->FieldByName("Scode2")->SetAsString(ADOQuery1->FieldByName("SortNum")->AsString());
        TblBookmark->FieldByName("Scode3")->SetAsString(volume ? volume->AsString() : std::string());
        TblBookmark->Post();
    }
    ADOQuery1->Close();
}

void TFrmPrintBar::ReprintStep() {
    const std::string code = Trim(EditCode->Text());
    if (!code.empty()) {
        if (Rbb2->Checked()) {
            addSpineRow(code);
        } else {
            const std::string label = EditFrontb->Text() + code;
            if (Utf8Length(label) > LabelCodeWidth) {
                ShowInfoBox("条码长度不能超过" + IntToStr(LabelCodeWidth) + "个字符！");
                return;
            }
            TblBarcode->Append();
            TblBarcode->FieldByName("Barcode")->SetAsString(label);
            TblBarcode->Post();
        }
    }
    EditCode->SetText("");
    if (EditCode->CanFocus()) EditCode->SetFocus();
}

bool TFrmPrintBar::load() {
    RMReport1->Variables["馆名"] = CorpName;
    if (RMReport1->LoadFromFile(ExeDir() + "report/" + ReportFile)) return true;
    ShowInfoBox(RMReport1->LastError.empty() ? "报表文件不存在：" + ExeDir() + "report/" + ReportFile
                                             : RMReport1->LastError);
    return false;
}

void TFrmPrintBar::BtpreviewClick(TObject*) {
    if (load() && RMReport1->PrepareReport()) RMReport1->ShowPreparedReport();
}

void TFrmPrintBar::BtprintClick(TObject*) {
    if (load() && RMReport1->PrepareReport()) RMReport1->PrintPreparedReport();
}

void TFrmPrintBar::BtdesignClick(TObject*) {
    if (load()) RMReport1->DesignReport();
}

void TFrmPrintBar::BtExitClick(TObject*) { Close(); }

void TFrmPrintBar::SbtHelpClick(TObject*) {
    std::unique_ptr<TFrmBarHelp> help(new TFrmBarHelp(this));
    help->ShowModal();
}
