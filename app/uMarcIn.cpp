// The MARC import; see uMarcIn.h.
#include "uMarcIn.h"

#include "Build.h"
#include "Buttons.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Gbk.h"
#include "Marc.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "vq/data/VqTextUtils.h"

namespace {

constexpr int MaxListedLines = 20;

// The width of the input-code columns.
constexpr int InputCodeBytes = 50;

void insertBook(TADOConnection* c, const TMarcBook& book, TDateTime regDate, const TInputCodeDictionary& codes) {
    std::string columns = "RegDate", marks = "?";
    std::vector<Variant> values{regDate};
    for (const auto& [column, value] : book.Columns) {
        columns += "," + column;
        marks += ",?";
        values.emplace_back(value);
        // The title's input codes, as the editors' saves make them, so that
        // imported books are found by pinyin and wubi like typed ones.
        if (column == "Name" && !value.empty()) {
            std::string py, wbh, wb;
            codes.Build(value, py, wbh, wb);
            columns += ",Py,Wbh,Wb";
            marks += ",?,?,?";
            for (const std::string* code : {&py, &wbh, &wb}) values.emplace_back(GbkLeftBytes(*code, InputCodeBytes));
        }
    }
    if (book.Price) {
        columns += ",BookPrice";
        marks += ",?";
        values.emplace_back(*book.Price);
    }
    c->Execute("insert into BookinfoPre (" + columns + ") values (" + marks + ")", values);
}

} // namespace

TMarcImportResult ImportMarc(TADOConnection* c, std::string_view fileBytes, TDateTime regDate) {
    TMarcImportResult result;
    const TInputCodeDictionary codes;
    TTransaction transaction(c);
    for (const TMarcChunk& chunk : SplitMarcRecords(fileBytes)) {
        TMarcBook book;
        const TMarcParse parsed = ParseMarcRecord(chunk.Bytes, book);
        if (parsed == TMarcParse::Blank) continue;
        if (parsed == TMarcParse::Damaged) {
            result.Skipped.push_back(chunk.Number);
            continue;
        }
        try {
            insertBook(c, book, regDate, codes);
            ++result.Imported;
        } catch (const EDatabaseError&) {
            result.Skipped.push_back(chunk.Number);
        }
    }
    transaction.Commit();
    return result;
}

std::string MarcImportMessage(const TMarcImportResult& r) {
    std::string text = "导入完成: 共导入 " + IntToStr(r.Imported) + " 条记录。";
    if (r.Skipped.empty()) return text;
    text += "\n跳过 " + IntToStr(int(r.Skipped.size())) + " 条损坏的记录(第 ";
    for (size_t i = 0; i < r.Skipped.size() && i < MaxListedLines; ++i) text += (i ? "," : "") + IntToStr(r.Skipped[i]);
    if (r.Skipped.size() > MaxListedLines) text += ",...";
    return text + " 行)。";
}

TFrmMarcIn::TFrmMarcIn(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmMarcIn");
    SetBorderStyle(bsDialog);
    SetClientWidth(420);
    SetClientHeight(130);

    TBuild b(this);
    LbFile = b.Add<TLabel>("LbFile").Caption("选择Marc文件:").At(16, 24);
    EditFile = b.Add<TEdit>("EditFile").At(100, 20, 270, 21).TabOrder(0).OnKeyDown(KeyDownHandler());
    SbtFile = b.Add<TSpeedButton>("SbtFile")
                  .Caption("...")
                  .Hint("选择文件")
                  .At(374, 19, 26, 23)
                  .OnClick(&TFrmMarcIn::SbtFileClick);
    Label1 = b.Add<TLabel>("Label1").Caption("正在导入数据,请稍后...").At(100, 56).Visible(false);
    auto [confirm, cancel] =
        b.OkCancel<TButton>({"BtConfirm", "确定(&C)", 220}, {"BtCancel", "取消(&E)", 310}, 88, 80, 25);
    BtConfirm = confirm.OnClick(&TFrmMarcIn::BtConfirmClick).OnKeyDown(KeyDownHandler());
    BtCancel = cancel.OnClick(&TFrmMarcIn::BtCancelClick).OnKeyDown(KeyDownHandler());
    ODGSource = b.Add<TOpenDialog>("ODGSource");
}

void TFrmMarcIn::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("从Marc数据导入");
    SetActiveControl(EditFile);
}

void TFrmMarcIn::SbtFileClick(TObject*) {
    ODGSource->SetTitle("选择Marc文件");
    if (ODGSource->Execute()) EditFile->SetText(ODGSource->FileName());
}

void TFrmMarcIn::BtConfirmClick(TObject*) {
    const std::string file = Trim(EditFile->Text());
    if (file.empty()) {
        ShowInfoBox("请选择要导入的Marc文件!");
        return;
    }
    std::string bytes;
    try {
        bytes = ReadFileBytes(file);
    } catch (const Exception&) {
        ShowInfoBox("无法读取文件: " + file);
        return;
    }
    Label1->SetVisible(true);
    Repaint();
    Screen->SetCursor(crHourGlass);
    TMarcImportResult result;
    try {
        result = ImportMarc(DMData->ADOConnection1, bytes, Date());
    } catch (const Exception&) {
        Screen->SetCursor(crDefault);
        Label1->SetVisible(false);
        ShowInfoBox("导入不成功!");
        return;
    }
    Screen->SetCursor(crDefault);
    Label1->SetVisible(false);
    ShowInfoBox(MarcImportMessage(result));
    Close();
}

void TFrmMarcIn::BtCancelClick(TObject*) { Close(); }
