// The import wizard; see uImportData.h.
//
// Pages, and what moves between them:
//
//   ImportType ──下一步 (file read)──► PreData ──下一步──► SetField ──下一步──► import, close
//        ▲                               │   ▲                │
//        └───────────上一步──────────────┘   └─────上一步─────┘
//
// Going back never reads the file again: what was read stays in the
// import table until the next 下一步 on the source page.
#include "uImportData.h"

#include "ADODB.h"
#include "Build.h"
#include "ComCtrls.h"
#include "DB.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "vq/VqMemTable.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/data/VqTableCopy.h"
#include "vq/data/VqTextUtils.h"
#include "vq/grid/VQDBGrid.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace {

constexpr const char* kImportType = "ImportType";
constexpr const char* kPreData = "PreData";
constexpr const char* kSetField = "SetField";
constexpr const char* kDigits = "0123456789";

// Grids and lists the program has always shown these fields of: the
// stock and order position columns are the list's own bookkeeping.
bool neverImported(const std::string& field) {
    return AnsiSameText(field, "ItemIndex") || AnsiSameText(field, "StockIndex");
}

bool blank(const std::string& s) { return Trim(s).empty(); }

// The key columns are declared COLLATE NOCASE: the engine compares their
// ASCII letters without case, so the keys already seen must too.
std::string foldKey(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
    return s;
}

// One mapping row that names a column of the target.
struct Mapped {
    std::string column; // the target's own spelling
    TFieldType type = ftString;
    int size = 0;
    std::string prefix;
    TField* source = nullptr; // nullptr: the source has no such column
    std::string fallback;
    bool regDate = false;
};

// The text a mapping row gives for the current source record: the source
// value (a registration date's day serial written as a date), the prefix
// before it, the default when that leaves nothing. False when a
// registration date is neither a day serial nor a date.
bool mappedText(const Mapped& m, std::string& out) {
    std::string v = m.source && !m.source->IsNull() ? m.source->AsString() : std::string();
    if (m.regDate && !blank(v)) {
        const std::string t = Trim(v);
        int serial = 0;
        TDateTime day;
        if (TryStrToInt(t, serial))
            v = FormatDateTime("yyyy-mm-dd", TDateTime(serial));
        else if (TryStrToDate(t, day))
            v = FormatDateTime("yyyy-mm-dd", day);
        else
            return false;
    }
    v = m.prefix + v;
    if (blank(v)) v = m.fallback;
    out = v;
    return true;
}

bool isTrue(const std::string& t, bool& value) {
    if (t == "是" || t == "1") return value = true, true;
    if (t == "否" || t == "0") return value = false, true;
    if (AnsiSameText(t, "T") || AnsiSameText(t, "Y")) return value = true, true;
    if (AnsiSameText(t, "F") || AnsiSameText(t, "N")) return value = false, true;
    return TryStrToBool(t, value);
}

// The text as a value of the column's type: text cut to the column's width
// (in GBK bytes, never inside a character), whole numbers, money as the
// exact decimal, dates, yes/no. False when the column cannot hold it.
bool typedValue(const Mapped& m, const std::string& text, Variant& out) {
    const std::string t = Trim(text);
    switch (m.type) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
        out = m.size > 0 ? GbkLeftBytes(text, m.size) : text;
        return true;
    case ftMemo:
    case ftFmtMemo: out = text; return true;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint:
    case ftAutoInc: {
        int64_t n = 0;
        if (!TryStrToInt64(t, n)) return false;
        out = static_cast<long long>(n);
        return true;
    }
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: {
        Currency c;
        if (!TryStrToCurr(t, c)) return false;
        out = c;
        return true;
    }
    case ftDate:
    case ftDateTime:
    case ftTimeStamp: {
        TDateTime d;
        if (!TryStrToDate(t, d) && !TryStrToDateTime(t, d)) return false;
        out = d;
        return true;
    }
    case ftBoolean: {
        bool b = false;
        if (!isTrue(t, b)) return false;
        out = b;
        return true;
    }
    default: return false; // pictures and other binary columns take no text
    }
}

bool wholeRecordBlank(TDataSet* source) {
    for (int i = 0; i < source->FieldCount(); ++i) {
        TField* f = source->Fields().Fields(i);
        if (!f->IsNull() && !blank(f->AsString())) return false;
    }
    return true;
}

} // namespace

std::string ImportKeyColumn(const std::string& targetTable) {
    static const std::pair<const char*, const char*> keys[] = {
        {"BookInfo", "Code"}, {"BookInfoPre", "Name"}, {"ReaderInfo", "Code"},
        {"MagzInfo", "Code"}, {"Bookshort", "Code"},   {"MagzOrder", "Code"},
    };
    for (const auto& [table, key] : keys)
        if (AnsiSameText(targetTable, table)) return key;
    return "";
}

std::string ImportResultMessage(const TImportResult& r) {
    std::string text = "导入完成: 新增 " + IntToStr(r.Inserted) + " 条, 更新 " + IntToStr(r.Updated) + " 条。";
    if (r.SkippedExisting)
        text += "\n跳过 " + IntToStr(r.SkippedExisting) + " 条关键字段重复的记录(已存在,未选择覆盖)。";
    if (r.SkippedBlankKey) text += "\n跳过 " + IntToStr(r.SkippedBlankKey) + " 条关键字段为空的记录。";
    if (r.Failed) text += "\n跳过 " + IntToStr(r.Failed) + " 条无法写入的记录(数据与字段类型不符或被数据库拒绝)。";
    return text;
}

TImportResult UpsertByKey(TADOConnection* c, const std::string& table, const std::string& key, TDataSet* source,
                          TDataSet* mapping, bool overwrite, const std::function<void(int, int)>& progress) {
    TImportResult result;
    // The table name goes into the statements as it is, so only the
    // wizard's own targets are taken.
    if (ImportKeyColumn(table).empty()) throw EDatabaseError("不能导入到表 " + table);

    // The target's columns, their types and widths.
    TADOQuery meta;
    meta.SetConnection(c);
    meta.SQL()->SetText("select * from " + table + " where 1=0");
    meta.Open();
    TField* keyField = meta.FindField(key);
    if (!keyField) throw EDatabaseError("表 " + table + " 没有关键字段 " + key);

    // A target with a name and its input codes gets the codes the editors'
    // saves give that name; the codes follow the name, never the sheet.
    struct CodeColumn {
        std::string column;
        int size = 0;
    };
    std::vector<CodeColumn> codeColumns;
    TField* nameField = meta.FindField("Name");
    for (const char* name : {"Py", "Wbh", "Wb"})
        if (TField* f = meta.FindField(name)) codeColumns.push_back({f->FieldName(), f->Size()});
    if (!nameField || codeColumns.size() != 3) codeColumns.clear();
    std::optional<TInputCodeDictionary> dictionary;
    if (!codeColumns.empty()) dictionary.emplace();
    auto isCodeColumn = [&](const std::string& column) {
        return std::any_of(codeColumns.begin(), codeColumns.end(),
                           [&](const CodeColumn& code) { return code.column == column; });
    };

    std::vector<Mapped> columns;
    int keyIndex = -1;
    for (mapping->First(); !mapping->Eof(); mapping->Next()) {
        TField* target = meta.FindField(mapping->FieldByName("FieldName")->AsString());
        if (!target || isCodeColumn(target->FieldName())) continue;
        Mapped m;
        m.column = target->FieldName();
        m.type = target->DataType();
        m.size = target->Size();
        m.prefix = mapping->FieldByName("PreValue")->AsString();
        const std::string from = mapping->FieldByName("SFieldName")->AsString();
        m.source = from.empty() || !source->Active() ? nullptr : source->FindField(from);
        m.fallback = mapping->FieldByName("DefaultValue")->AsString();
        m.regDate = AnsiSameText(m.column, "RegDate");
        // A column named twice takes the later row, as writing them in
        // order would.
        auto same = std::find_if(columns.begin(), columns.end(), [&](const Mapped& o) { return o.column == m.column; });
        if (same != columns.end()) {
            *same = m;
        } else {
            columns.push_back(m);
        }
    }
    int nameIndex = -1;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].column == keyField->FieldName()) keyIndex = int(i);
        if (nameField && columns[i].column == nameField->FieldName()) nameIndex = int(i);
    }
    if (keyIndex < 0 || !columns[size_t(keyIndex)].source) {
        result.KeyMapped = false;
        return result;
    }
    meta.Close();

    TTransaction transaction(c);
    // Every key there is, with the first row that carries it: the rows are
    // looked up here rather than one statement per source row, and rows
    // this import adds join them, so a key repeated in the source finds the
    // row its first occurrence made.
    std::unordered_map<std::string, int64_t> rows;
    {
        TADOQuery keys;
        keys.SetConnection(c);
        keys.SQL()->SetText("select rowid as ImportRowId, " + keyField->FieldName() + " as ImportKey from " + table +
                            " order by rowid");
        keys.Open();
        TField* id = keys.FieldByName("ImportRowId");
        TField* value = keys.FieldByName("ImportKey");
        for (; !keys.Eof(); keys.Next())
            if (!value->IsNull()) rows.emplace(foldKey(value->AsString()), id->AsLargeInt());
    }

    const int total = source->Active() ? source->RecordCount() : 0;
    int done = 0;
    std::vector<Variant> values;
    std::string names, marks, sets;
    if (source->Active()) source->First();
    for (; source->Active() && !source->Eof(); source->Next()) {
        ++done;
        if (progress) progress(done, total);
        // Rows past the end of the data (a sheet read to its estimated
        // row count) are no records at all.
        if (wholeRecordBlank(source)) continue;

        const Mapped& keyMap = columns[size_t(keyIndex)];
        std::string keyText;
        Variant keyValue;
        if (!mappedText(keyMap, keyText)) {
            ++result.Failed;
            continue;
        }
        if (blank(keyText)) {
            ++result.SkippedBlankKey;
            continue;
        }
        if (!typedValue(keyMap, Trim(keyText), keyValue)) {
            ++result.Failed;
            continue;
        }
        const std::string folded = foldKey(keyValue.AsString());
        const auto found = rows.find(folded);
        if (found != rows.end() && !overwrite) {
            ++result.SkippedExisting;
            continue;
        }

        values.clear();
        names.clear();
        marks.clear();
        sets.clear();
        auto add = [&](const std::string& column) {
            const std::string sep = names.empty() ? "" : ",";
            names += sep + column;
            marks += sep + "?";
            sets += sep + column + "=?";
        };
        bool ok = true;
        for (size_t i = 0; i < columns.size() && ok; ++i) {
            Variant v;
            if (int(i) == keyIndex) {
                v = keyValue;
            } else {
                std::string text;
                if (!mappedText(columns[i], text)) {
                    ok = false;
                    break;
                }
                // Blank values never overwrite what the row holds.
                if (blank(text)) continue;
                if (!typedValue(columns[i], text, v)) {
                    ok = false;
                    break;
                }
            }
            values.push_back(v);
            add(columns[i].column);
            if (int(i) == nameIndex && dictionary) {
                std::string codes[3];
                dictionary->Build(v.AsString(), codes[0], codes[1], codes[2]);
                for (size_t k = 0; k < 3; ++k) {
                    const int size = codeColumns[k].size;
                    values.emplace_back(size > 0 ? GbkLeftBytes(codes[k], size) : codes[k]);
                    add(codeColumns[k].column);
                }
            }
        }
        if (!ok) {
            ++result.Failed;
            continue;
        }
        try {
            if (found != rows.end()) {
                values.emplace_back(static_cast<long long>(found->second));
                c->Execute("update " + table + " set " + sets + " where rowid=?", values);
                ++result.Updated;
            } else {
                c->Execute("insert into " + table + " (" + names + ") values (" + marks + ")", values);
                rows.emplace(folded, c->LastInsertRowId());
                ++result.Inserted;
            }
        } catch (const EDatabaseError&) {
            ++result.Failed;
        }
    }
    transaction.Commit();
    return result;
}

// ------------------------------------------------------------------ window

TFrmImportData::TFrmImportData(TComponent* AOwner) : TFrmDlgBase(AOwner) {
    SetName("FrmImportData");
    SetCaption("数据导入");
    SetBorderStyle(bsDialog);
    SetClientWidth(620);
    SetClientHeight(440);
    OnShow = [this](TObject* s) { FormShow(s); };

    TBuild b(this);
    auto* bottom = b.Add<TPanel>("PnlBottom").Align(alBottom).Height(44).Caption("").Get();
    auto bar = b.In(bottom);
    Process = bar.Add<TProgressBar>("Process").At(12, 14, 250, 16);
    BtnPre = bar.Add<TVQBitBtn>("BtnPre").Caption("<<上一步").At(300, 9, 96, 26).OnClick(&TFrmImportData::BtnPreClick);
    BtnNext =
        bar.Add<TVQBitBtn>("BtnNext").Caption("下一步>>").At(404, 9, 96, 26).OnClick(&TFrmImportData::BtnNextClick);
    BtnCancel =
        bar.Add<TVQBitBtn>("BtnCancel").Caption("取消").At(508, 9, 96, 26).OnClick(&TFrmImportData::BtnCancelClick);

    Notebook = b.Add<TNotebook>("Notebook").Align(alClient);
    for (const char* page : {kImportType, kPreData, kSetField}) Notebook->Pages()->Add(page);
    for (int i = 0; i < 3; ++i) Notebook->Page(i)->SetName(std::string("Page") + Notebook->Pages()->Strings(i));
    // Reading order: the page, then the buttons under it.
    Notebook->SetTabOrder(bottom->TabOrder());

    // Source page.
    auto src = b.In(Notebook->Page(0));
    LbFile = src.Add<TVQLabel>("LbFile").Caption("选择源文件:").At(24, 28);
    EdtFile = src.Add<TVQEdit>("EdtFile").At(110, 24, 470, 21).TabOrder(0);
    EdtFile->SetDataType(edtFind);
    EdtFile->OnButtonClick = [this](TObject* s) { EdtFileButtonClick(s); };
    auto* kinds = src.Add<TGroupBox>("GbSource").Caption("源文件类型").At(24, 64, 556, 56).TabOrder(1).Get();
    auto k = b.In(kinds);
    RbBtnExcel = k.Add<TRadioButton>("RbBtnExcel").Caption("Excel").At(16, 22, 70, 20).Checked();
    RbBtnWord = k.Add<TRadioButton>("RbBtnWord").Caption("Word").At(96, 22, 70, 20).Enabled(false);
    RbBtnHtml = k.Add<TRadioButton>("RbBtnHtml").Caption("HTML").At(176, 22, 70, 20).Enabled(false);
    RbBtnTxt = k.Add<TRadioButton>("RbBtnTxt").Caption("Txt").At(256, 22, 60, 20).Enabled(false);
    RbBtndbf = k.Add<TRadioButton>("RbBtndbf").Caption("DBF").At(326, 22, 60, 20);
    RBtnDefault = k.Add<TRadioButton>("RBtnDefault").Caption("本系统格式").At(396, 22, 110, 20);
    auto* sheet = src.Add<TGroupBox>("GbSheet").Caption("Excel参数").At(24, 136, 556, 96).TabOrder(2).Get();
    auto p = b.In(sheet);
    const TFieldColumn left{16, 96, 80};
    const TFieldColumn right{296, 376, 80};
    auto digits = [](TVQEdit* e, const char* text) {
        e->SetValidChars(kDigits);
        e->SetText(text);
        return e;
    };
    EdtFirstRow = digits(p.Field<TVQEdit>(left, "LbFirstRow", "开始行：", "EdtFirstRow", 24).TabOrder(0), "1");
    EdtRows = digits(p.Field<TVQEdit>(right, "LbRows", "估计行数:", "EdtRows", 24).TabOrder(1), "30");
    EdtFirstCol = digits(p.Field<TVQEdit>(left, "LbFirstCol", "开始列：", "EdtFirstCol", 56).TabOrder(2), "1");
    EdtCols = digits(p.Field<TVQEdit>(right, "LbCols", "估计列数：", "EdtCols", 56).TabOrder(3), "20");

    tblImportData = b.Add<TVqMemTable>("tblImportData");
    dsImportData = b.Add<TDataSource>("dsImportData");
    dsImportData->SetDataSet(tblImportData);
    tblSetFields = b.Add<TVqMemTable>("tblSetFields");
    for (auto [name, size] : {std::pair{"FieldName", 30}, {"CFieldName", 30}, {"PreValue", 20}, {"SFieldName", 30},
                              {"DefaultValue", 30}})
        tblSetFields->FieldDefs().Add(name, ftString, size, false);
    tblSetFields->CreateTable();
    tblSetFields->Open();
    dsSetFields = b.Add<TDataSource>("dsSetFields");
    dsSetFields->SetDataSet(tblSetFields);

    // Preview page.
    dbgImportdata = b.In(Notebook->Page(1))
                        .Add<TVQDBGrid>("dbgImportdata")
                        .Align(alClient)
                        .ReadOnly()
                        .Set(&TVQDBGrid::SetDataSource, dsImportData);

    // Mapping page.
    auto map = b.In(Notebook->Page(2));
    auto* tools = map.Add<TPanel>("PnlSetTools").Align(alTop).Height(36).Caption("").Get();
    auto t = b.In(tools);
    BtnSave = t.Add<TVQBitBtn>("BtnSave").Caption("保存模板").At(12, 5, 90, 26).OnClick(&TFrmImportData::BtnSaveClick);
    BtnDelete =
        t.Add<TVQBitBtn>("BtnDelete").Caption("删除模板").At(110, 5, 90, 26).OnClick(&TFrmImportData::BtnDeleteClick);
    ckbUpdate = t.Add<TVQCheckBox>("ckbUpdate").Caption("覆盖").At(220, 8, 80, 20);
    dbgSetFields = map.Add<TVQDBGrid>("dbgSetFields")
                       .Align(alClient)
                       .Set(&TVQDBGrid::SetDataSource, dsSetFields)
                       .Columns({{"FieldName", "字段名称", 100},
                                 {"CFieldName", "字段描述", 150},
                                 {"PreValue", "前导码", 90},
                                 {"SFieldName", "导入字段", 150},
                                 {"DefaultValue", "默认值", 120}});
    // The mapping has one row per target column: no rows added or removed.
    TVQDBGridOptions options = dbgSetFields->Options();
    options >> TVQDBGridOption::dgAllowAdd >> TVQDBGridOption::dgAllowDelete << TVQDBGridOption::dgEditing;
    // Tab leaves the grids for the wizard's buttons; Enter and the arrows
    // move between cells.
    options >> TVQDBGridOption::dgTabs;
    dbgSetFields->SetOptions(options);
    dbgImportdata->SetOptions(dbgImportdata->Options() >> TVQDBGridOption::dgTabs);
    dbgSetFields->Columns()->Items(0)->SetVisible(false);

    OpenDialog1 = b.Add<TOpenDialog>("OpenDialog1");
}

void TFrmImportData::FormShow(TObject* Sender) {
    TFrmBase::FormShow(Sender);
    Notebook->SetActivePage(kImportType);
    TemplateFile = ExeDir() + "bmp/" + (Grid && Grid->Owner() ? Grid->Owner()->Name() : std::string()) + "-" +
                   (Grid ? Grid->Name() : std::string());
    LoadImportTemplate();
    if (EdtFile->CanFocus()) EdtFile->SetFocus();
}

void TFrmImportData::LoadImportTemplate() {
    tblSetFields->EmptyTable();
    if (FileExists(TemplateFile)) {
        try {
            tblSetFields->LoadFromFile(TemplateFile);
            tblSetFields->First();
            return;
        } catch (const Exception& e) {
            tblSetFields->EmptyTable();
            ShowInfoBox("导入模板无法读取,已改用默认设置: " + e.Message);
        }
    }
    TDataSet* data = Grid && Grid->DataSource() ? Grid->DataSource()->DataSet() : nullptr;
    if (!data) return;
    tblSetFields->DisableControls();
    for (int i = 0; i < data->FieldCount(); ++i) {
        TField* f = data->Fields().Fields(i);
        if (neverImported(f->FieldName())) continue;
        TVQColumn* column = Grid->FindColumnByFieldName(f->FieldName());
        if (!column) continue;
        tblSetFields->Append();
        tblSetFields->FieldByName("FieldName")->SetAsString(f->FieldName());
        tblSetFields->FieldByName("CFieldName")->SetAsString(column->Title()->GetCaption());
        tblSetFields->Post();
    }
    tblSetFields->First();
    tblSetFields->EnableControls();
}

void TFrmImportData::EdtFileButtonClick(TObject*) {
    OpenDialog1->SetTitle("选择源文件");
    OpenDialog1->SetFilter("Excel文件 (*.xls;*.xlsx)|*.xls;*.xlsx|dBase文件 (*.dbf)|*.dbf|所有文件 (*.*)|*.*");
    if (OpenDialog1->Execute()) EdtFile->SetText(OpenDialog1->FileName());
}

bool TFrmImportData::loadOwnExport(const std::string& file) {
    int rows = 0, columns = 0;
    try {
        const TVqSheet sheet = ReadSheet(file);
        rows = std::max(0, sheet.RowCount() - 1);
        // The export packs its columns from the first: the last caption
        // ends them.
        for (int col = 1, blanks = 0; blanks < 16; ++col) {
            if (blank(std::string(sheet.Cell(1, col).text))) {
                ++blanks;
            } else {
                columns = col;
                blanks = 0;
            }
        }
    } catch (const Exception&) {
        columns = 0;
    }
    if (columns == 0) {
        ShowInfoBox("文件不是本系统导出的Excel文件：" + file);
        return false;
    }
    ExcelToMemTable(file, 1, 1, columns - 1, rows, tblImportData);
    if (!tblImportData->Active()) return false;
    tblSetFields->CheckBrowseMode();
    tblSetFields->DisableControls();
    for (tblSetFields->First(); !tblSetFields->Eof(); tblSetFields->Next()) {
        TField* source = tblSetFields->FieldByName("SFieldName");
        if (!blank(source->AsString())) continue;
        TField* column = tblImportData->FindField(tblSetFields->FieldByName("CFieldName")->AsString());
        if (!column) continue;
        tblSetFields->Edit();
        source->SetAsString(column->FieldName());
        tblSetFields->Post();
    }
    tblSetFields->First();
    tblSetFields->EnableControls();
    return true;
}

bool TFrmImportData::loadSource() {
    const std::string file = Trim(EdtFile->Text());
    if (RBtnDefault->Checked()) {
        if (!loadOwnExport(file)) return false;
    } else if (RbBtnExcel->Checked()) {
        ExcelToMemTable(file, StrToIntDef(EdtFirstRow->Text(), 1), StrToIntDef(EdtFirstCol->Text(), 1),
                        StrToIntDef(EdtCols->Text(), 20), StrToIntDef(EdtRows->Text(), 30), tblImportData);
    } else if (RbBtndbf->Checked()) {
        try {
            CopyTableToMemTable(file, tblImportData);
        } catch (const Exception& e) {
            ShowInfoBox(e.Message);
        }
    }
    std::vector<std::string> names;
    for (int i = 0; i < tblImportData->FieldCount(); ++i)
        names.push_back(tblImportData->Fields().Fields(i)->FieldName());
    if (TVQColumn* pick = dbgSetFields->FindColumnByFieldName("SFieldName")) pick->SetPickList(&names);
    for (int i = 0; i < dbgImportdata->Columns()->Count(); ++i) dbgImportdata->Columns()->Items(i)->SetWidth(130);
    return true;
}

// The focus stays on the button pressed, so that 下一步 can be pressed
// again; the grids are a Shift+Tab away.
void TFrmImportData::BtnNextClick(TObject*) {
    const std::string page = Notebook->ActivePage();
    if (page == kImportType) {
        const std::string file = Trim(EdtFile->Text());
        if (file.empty() || !FileExists(file)) return;
        Screen->SetCursor(crHourGlass);
        const bool loaded = loadSource();
        Screen->SetCursor(crDefault);
        if (loaded) Notebook->SetActivePage(kPreData);
    } else if (page == kPreData) {
        Notebook->SetActivePage(kSetField);
    } else if (ImportToTable()) {
        Close();
    }
}

void TFrmImportData::BtnPreClick(TObject*) {
    const std::string page = Notebook->ActivePage();
    if (page == kSetField) {
        tblSetFields->CheckBrowseMode();
        Notebook->SetActivePage(kPreData);
    } else if (page == kPreData) {
        Notebook->SetActivePage(kImportType);
    }
}

void TFrmImportData::BtnSaveClick(TObject*) {
    tblSetFields->CheckBrowseMode();
    try {
        ForceDirectories(ExtractFilePath(TemplateFile));
        tblSetFields->SaveToFile(TemplateFile, mtfSaveData);
    } catch (const Exception& e) {
        ShowInfoBox("模板保存失败: " + e.Message);
    }
    tblSetFields->First();
}

void TFrmImportData::BtnDeleteClick(TObject*) {
    tblSetFields->CheckBrowseMode();
    if (FileExists(TemplateFile) && !DeleteFile(TemplateFile)) {
        ShowInfoBox("模板删除失败: " + TemplateFile);
        return;
    }
    LoadImportTemplate();
}

void TFrmImportData::BtnCancelClick(TObject*) { Close(); }

bool TFrmImportData::ImportToTable() {
    tblSetFields->CheckBrowseMode();
    const std::string key = ImportKeyColumn(TargetTable);
    if (key.empty() || ImportMode != "Share") return false;
    TImportResult result;
    Process->SetPosition(0);
    Screen->SetCursor(crHourGlass);
    try {
        // The bar moves in steps of one hundredth: painting it for every
        // row would cost more than the row.
        int shown = -1;
        result = UpsertByKey(DMData->ADOConnection1, TargetTable, key, tblImportData, tblSetFields,
                             ckbUpdate->Checked(), [&](int done, int total) {
                                 const int step = total > 0 ? done * 100 / total : 100;
                                 if (step == shown) return;
                                 shown = step;
                                 Process->SetMax(total);
                                 Process->SetPosition(done);
                                 Process->Repaint();
                             });
    } catch (const Exception& e) {
        Screen->SetCursor(crDefault);
        ShowInfoBox("导入失败,没有写入任何数据: " + e.Message);
        return false;
    }
    Screen->SetCursor(crDefault);
    if (!result.KeyMapped) {
        std::string caption = key;
        for (tblSetFields->First(); !tblSetFields->Eof(); tblSetFields->Next())
            if (AnsiSameText(tblSetFields->FieldByName("FieldName")->AsString(), key)) {
                caption = tblSetFields->FieldByName("CFieldName")->AsString();
                break;
            }
        tblSetFields->First();
        ShowInfoBox("请为关键字段“" + caption + "”指定导入字段,否则无法导入!");
        return false;
    }
    ShowInfoBox(ImportResultMessage(result));
    if (Grid && Grid->DataSource() && Grid->DataSource()->DataSet()) {
        TDataSet* data = Grid->DataSource()->DataSet();
        data->Close();
        data->Open();
    }
    return true;
}

void OpenImportWizard(TVQDBGrid* grid, const std::string& mode, const std::string& targetTable,
                      const std::string& extra) {
    auto* wizard = new TFrmImportData(Application);
    wizard->Grid = grid;
    wizard->ImportMode = mode;
    wizard->TargetTable = targetTable;
    wizard->Extra = extra;
    // The wizard frees itself when it closes.
    wizard->ShowModal();
}
