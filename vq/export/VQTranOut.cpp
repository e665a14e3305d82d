#include "VQTranOut.h"

#include <filesystem>

#include "Build.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "VQExcelExport.h"
#include "VQGridChart.h"
#include "VQWordExport.h"
#include "vq/grid/VQDBGrid.h"

namespace {

struct FormatRow {
    const char* item;
    const char* ext; // default extension of the save dialog
    const char* filter;
};

constexpr FormatRow kFormats[] = {
    {"Word     OFFICE的Word格式", "rtf", "RTF 文档 (*.rtf)|*.rtf"},
    {"Excel    OFFICE的Excel格式", "xlsx", "Excel 工作簿 (*.xlsx)|*.xlsx"},
    {"Txt      本文格式", "txt", "文本文件 (*.txt)|*.txt"},
    {"Html     网页格式", "htm", "网页 (*.htm;*.html)|*.htm;*.html"},
    {"DBF      文件数据库格式", "dbf", "dBase 表 (*.dbf)|*.dbf"},
};

bool HasExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    const auto slash = name.rfind('/');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < name.size();
}

} // namespace

TFrmTranOut::TFrmTranOut(TComponent* AOwner, TVQCustomDBGrid* grid) : TForm(AOwner), grid_(grid) {
    SetName("FrmTranOut");
    SetCaption("数据导出窗口");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 452, 225);
    Font()->SetName("宋体");
    Font()->SetHeight(-14);
    TBuild b(this);
    RGPSelect = b.Add<TRadioGroup>("RGPSelect").At(8, 6, 428, 96).Caption("导出格式");
    for (const auto& f : kFormats) RGPSelect->Items()->Add(f.item);
    RGPSelect->SetColumns(2);
    RGPSelect->SetItemIndex(-1);
    RGPSelect->OnClick = [this](TObject*) { RGPSelectClick(); };
    VQLabel1 = b.Add<TLabel>("VQLabel1").At(12, 118, 100, 18).Caption("导出文件名：");
    EdtFileName = b.Add<TEdit>("EdtFileName").At(110, 114, 300, 22);
    BtnFileName = b.Add<TButton>("BtnFileName")
                      .At(410, 114, 24, 22)
                      .Caption("...")
                      .Hint("请点击此按钮选定或设定数据...")
                      .OnClick([this](TObject*) { EdtFileNameButtonClick(); });
    BtnFileName->SetShowHint(true);
    BtnOK = b.Add<TButton>("BtnOK").At(270, 156, 75, 27).Caption("确定").Default().OnClick([this](TObject*) {
        BtnOKClick();
    });
    BtnCancel = b.Add<TButton>("BtnCancel").At(356, 156, 75, 27).Caption("取消").Cancel().ModalResult(mrCancel);
    Savedlg = new TSaveDialog(this);
    Savedlg->SetName("Savedlg");
    Savedlg->SetOptions(TOpenOptions{ofOverwritePrompt});
    RGPSelectClick();
}

// Every format takes its file name here; the choice only sets what the
// save dialog proposes.
void TFrmTranOut::RGPSelectClick() {
    const int i = RGPSelect->ItemIndex();
    EdtFileName->SetEnabled(true);
    BtnFileName->SetEnabled(true);
    if (i >= 0 && i < int(std::size(kFormats))) {
        Savedlg->SetDefaultExt(kFormats[i].ext);
        Savedlg->SetFilter(kFormats[i].filter);
    }
}

void TFrmTranOut::EdtFileNameButtonClick() {
    Savedlg->SetFileName(Trim(EdtFileName->Text()));
    if (!Savedlg->Execute()) return;
    EdtFileName->SetText(Savedlg->FileName());
    confirmedName_ = Savedlg->FileName();
}

void TFrmTranOut::BtnOKClick() {
    const int choice = RGPSelect->ItemIndex();
    if (choice < 0) {
        SetModalResult(mrCancel);
        return;
    }
    std::string name = Trim(EdtFileName->Text());
    if (name.empty()) {
        Application->MessageBox("文件名不能为空", "提示", MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string ext = kFormats[choice].ext;
    if (choice != tofHtml && !HasExtension(name)) name += "." + ext;
    if (name != confirmedName_ && std::filesystem::exists(name) &&
        Application->MessageBox("文件 " + name + " 已经存在，是否替换？", "询问",
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    try {
        switch (choice) {
        case tofWord: ExportGridToRtf(grid_, "", "", name); break;
        case tofExcel: GridToExcel("", "", grid_, name); break;
        case tofText: name = DataSetToTextFile(&Text, grid_, name); break;
        case tofHtml: DataSetToHTMLFile(&Html, grid_, name); break;
        case tofDbf:
            dbf.DataSet = grid_ ? grid_->DataSet() : nullptr;
            dbf.ExportToFile(name);
            if (!dbf.Warnings.empty()) {
                std::string text = "导出完成：";
                for (const auto& w : dbf.Warnings) text += "\n" + w;
                Application->MessageBox(text, "提示", MB_OK | MB_ICONINFORMATION);
            }
            break;
        default: break;
        }
    } catch (const Exception& e) {
        Application->MessageBox(e.Message, "提示", MB_OK | MB_ICONSTOP);
        return;
    }
    written_ = name;
    SetModalResult(mrOk);
}

void ShowTranOut(TVQCustomDBGrid* grid) {
    if (!grid) return;
    TFrmTranOut frm(Application, grid);
    frm.ShowModal();
}

void InstallGridTitleMenu() {
    TVQCustomDBGrid::DefaultExportDialog = ShowTranOut;
    TVQCustomDBGrid::DefaultChartDialog = ShowGridChart;
}
