// Spreadsheet and dBase readers, the dictionary-labelled query and the
// shared data module's failure values; see VqTableCopy.h.
//
// .xlsx is a zip of XML parts: libzip opens the archive and libxml2's
// streaming reader walks the parts, so a sheet is read once, in one pass,
// whatever its size. Cells carry their last computed value beside any
// formula: the value is read, never the formula text. .xls goes through
// libfreexl, .dbf through shapelib.
#include "vq/data/VqTableCopy.h"

#include "Dialogs.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "vq/VqMemTable.h"

#include <freexl.h>
#include <libxml/xmlreader.h>
#include <shapefil.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

// ------------------------------------------------------------------ sheet

const TVqSheetCell& TVqSheet::Cell(int row, int col) const {
    static const TVqSheetCell none;
    if (row < 1 || col < 1 || row > int(rows_.size())) return none;
    const auto& r = rows_[size_t(row - 1)];
    return col > int(r.size()) ? none : r[size_t(col - 1)];
}

void TVqSheet::Set(int row, int col, std::string text) {
    if (row < 1 || col < 1) return;
    if (int(rows_.size()) < row) rows_.resize(size_t(row));
    auto& r = rows_[size_t(row - 1)];
    if (int(r.size()) < col) r.resize(size_t(col));
    r[size_t(col - 1)] = {true, std::move(text)};
}

namespace {

// Numbers as the spreadsheet shows them in its formula bar: 15 significant
// digits, no trailing zeros, no exponent for everyday magnitudes.
std::string numberText(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

// ------------------------------------------------------------------ .xlsx

std::string readZipEntry(zip_t* archive, const std::string& name) {
    zip_stat_t st;
    if (zip_stat(archive, name.c_str(), 0, &st) != 0) return {};
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> f(zip_fopen(archive, name.c_str(), 0), zip_fclose);
    if (!f) throw EVqSheetError("无法读取表格中的 " + name);
    std::string bytes(size_t(st.size), '\0');
    zip_int64_t got = 0;
    while (got < zip_int64_t(st.size)) {
        const zip_int64_t n = zip_fread(f.get(), bytes.data() + got, st.size - zip_uint64_t(got));
        if (n <= 0) throw EVqSheetError("表格中的 " + name + " 已损坏");
        got += n;
    }
    return bytes;
}

// A streaming walk over one XML part.
class XmlWalk {
public:
    explicit XmlWalk(const std::string& xml)
        : reader_(xmlReaderForMemory(xml.data(), int(xml.size()), nullptr, "UTF-8", XML_PARSE_NONET | XML_PARSE_HUGE)) {
        if (!reader_) throw EVqSheetError("表格的 XML 无法读取");
    }
    ~XmlWalk() { xmlFreeTextReader(reader_); }
    XmlWalk(const XmlWalk&) = delete;
    XmlWalk& operator=(const XmlWalk&) = delete;

    bool Next() {
        const int r = xmlTextReaderRead(reader_);
        if (r < 0) throw EVqSheetError("表格的 XML 已损坏");
        return r == 1;
    }
    bool IsStart(const char* local) const { return type() == XML_READER_TYPE_ELEMENT && name() == local; }
    bool IsEnd(const char* local) const { return type() == XML_READER_TYPE_END_ELEMENT && name() == local; }
    bool IsEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    bool IsText() const {
        return type() == XML_READER_TYPE_TEXT || type() == XML_READER_TYPE_SIGNIFICANT_WHITESPACE ||
               type() == XML_READER_TYPE_CDATA;
    }
    std::string Value() const {
        const xmlChar* v = xmlTextReaderConstValue(reader_);
        return v ? reinterpret_cast<const char*>(v) : "";
    }
    std::string Attr(const char* local) const {
        xmlChar* v = xmlTextReaderGetAttribute(reader_, BAD_CAST local);
        if (!v) {
            // Namespaced attributes (r:id) by their local name.
            for (int ok = xmlTextReaderMoveToFirstAttribute(reader_); ok == 1;
                 ok = xmlTextReaderMoveToNextAttribute(reader_)) {
                const xmlChar* n = xmlTextReaderConstLocalName(reader_);
                if (n && std::string(reinterpret_cast<const char*>(n)) == local) {
                    std::string s = Value();
                    xmlTextReaderMoveToElement(reader_);
                    return s;
                }
            }
            xmlTextReaderMoveToElement(reader_);
            return {};
        }
        std::string s(reinterpret_cast<const char*>(v));
        xmlFree(v);
        return s;
    }
    // The text inside the current element up to its end.
    std::string InnerText(const char* local) {
        if (IsEmptyElement()) return {};
        std::string text;
        while (Next() && !IsEnd(local))
            if (IsText()) text += Value();
        return text;
    }

private:
    int type() const { return xmlTextReaderNodeType(reader_); }
    std::string name() const {
        const xmlChar* n = xmlTextReaderConstLocalName(reader_);
        return n ? reinterpret_cast<const char*>(n) : "";
    }
    xmlTextReaderPtr reader_;
};

// "BC12" -> column 55, row 12.
bool parseRef(const std::string& ref, int& row, int& col) {
    col = 0;
    size_t i = 0;
    for (; i < ref.size() && std::isalpha(uint8_t(ref[i])); ++i) col = col * 26 + (std::toupper(ref[i]) - 'A' + 1);
    if (i == 0 || i == ref.size()) return false;
    row = std::atoi(ref.c_str() + i);
    return row > 0 && col > 0;
}

std::string activeSheetPart(zip_t* archive) {
    const std::string workbook = readZipEntry(archive, "xl/workbook.xml");
    if (workbook.empty()) throw EVqSheetError("文件不是 Excel 工作簿");
    int activeTab = 0;
    std::vector<std::string> sheetIds;
    {
        XmlWalk w(workbook);
        while (w.Next()) {
            if (w.IsStart("workbookView")) {
                const std::string a = w.Attr("activeTab");
                if (!a.empty()) activeTab = std::max(0, std::atoi(a.c_str()));
            } else if (w.IsStart("sheet")) {
                sheetIds.push_back(w.Attr("id"));
            }
        }
    }
    if (sheetIds.empty()) throw EVqSheetError("工作簿中没有工作表");
    if (activeTab >= int(sheetIds.size())) activeTab = 0;
    const std::string rels = readZipEntry(archive, "xl/_rels/workbook.xml.rels");
    XmlWalk w(rels);
    while (w.Next()) {
        if (!w.IsStart("Relationship") || w.Attr("Id") != sheetIds[size_t(activeTab)]) continue;
        std::string target = w.Attr("Target");
        if (!target.empty() && target[0] == '/') return target.substr(1);
        return "xl/" + target;
    }
    throw EVqSheetError("工作簿中找不到工作表");
}

std::vector<std::string> sharedStrings(zip_t* archive) {
    std::vector<std::string> strings;
    const std::string xml = readZipEntry(archive, "xl/sharedStrings.xml");
    if (xml.empty()) return strings;
    XmlWalk w(xml);
    while (w.Next()) {
        if (!w.IsStart("si")) continue;
        std::string text;
        if (!w.IsEmptyElement()) {
            int phonetic = 0;
            while (w.Next() && !w.IsEnd("si")) {
                // Phonetic runs are reading aids, not cell text.
                if (w.IsStart("rPh") && !w.IsEmptyElement()) ++phonetic;
                if (w.IsEnd("rPh")) --phonetic;
                if (phonetic == 0 && w.IsStart("t")) text += w.InnerText("t");
            }
        }
        strings.push_back(std::move(text));
    }
    return strings;
}

TVqSheet readXlsx(const std::string& fileName) {
    int error = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> archive(zip_open(fileName.c_str(), ZIP_RDONLY, &error), zip_discard);
    if (!archive) throw EVqSheetError("文件不是 Excel 工作簿: " + fileName);
    const std::string part = activeSheetPart(archive.get());
    const std::vector<std::string> strings = sharedStrings(archive.get());
    const std::string xml = readZipEntry(archive.get(), part);
    if (xml.empty()) throw EVqSheetError("工作簿中找不到工作表 " + part);

    TVqSheet sheet;
    XmlWalk w(xml);
    int row = 0, nextCol = 1;
    while (w.Next()) {
        if (w.IsStart("row")) {
            const std::string r = w.Attr("r");
            row = r.empty() ? row + 1 : std::atoi(r.c_str());
            nextCol = 1;
            continue;
        }
        if (!w.IsStart("c")) continue;
        int cellRow = row, col = nextCol;
        const std::string ref = w.Attr("r");
        if (!ref.empty() && !parseRef(ref, cellRow, col)) throw EVqSheetError("单元格引用有误: " + ref);
        nextCol = col + 1;
        const std::string type = w.Attr("t");
        std::string value;
        bool hasValue = false;
        if (!w.IsEmptyElement()) {
            while (w.Next() && !w.IsEnd("c")) {
                if (w.IsStart("v")) {
                    value = w.InnerText("v");
                    hasValue = true;
                } else if (w.IsStart("is")) {
                    while (w.Next() && !w.IsEnd("is"))
                        if (w.IsStart("t")) value += w.InnerText("t");
                    hasValue = true;
                }
                // <f> holds the formula: skipped, its value is in <v>.
            }
        }
        if (!hasValue) continue;
        if (type == "s") {
            const int index = std::atoi(value.c_str());
            if (index < 0 || index >= int(strings.size())) throw EVqSheetError("共享字符串编号有误");
            value = strings[size_t(index)];
        } else if (type == "b") {
            value = value == "1" ? "TRUE" : "FALSE";
        } else if (type.empty() || type == "n") {
            double d = 0;
            if (TryStrToFloat(value, d)) value = numberText(d);
        }
        sheet.Set(cellRow, col, std::move(value));
    }
    return sheet;
}

// ------------------------------------------------------------------- .xls

TDateTime isoDate(const std::string& text) {
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &m, &d, &hh, &mm, &ss) >= 3)
        return EncodeDate(Word(y), Word(m), Word(d)) + (hh * 3600 + mm * 60 + ss) / 86400.0;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &hh, &mm, &ss) == 3) return (hh * 3600 + mm * 60 + ss) / 86400.0;
    return 0;
}

TVqSheet readXls(const std::string& fileName) {
    const void* handle = nullptr;
    if (freexl_open(fileName.c_str(), &handle) != FREEXL_OK) {
        if (handle) freexl_close(handle);
        throw EVqSheetError("文件不是 Excel 工作簿: " + fileName);
    }
    std::unique_ptr<const void, int (*)(const void*)> guard(handle, freexl_close);
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK) throw EVqSheetError("工作簿中没有工作表");
    unsigned rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) throw EVqSheetError("工作表无法读取");
    TVqSheet sheet;
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK) throw EVqSheetError("单元格无法读取");
            std::string text;
            switch (cell.type) {
            case FREEXL_CELL_INT: text = std::to_string(cell.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = numberText(cell.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT: text = cell.value.text_value ? cell.value.text_value : ""; break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                // The import expects the serial day number a date cell holds.
                text = numberText(isoDate(cell.value.text_value ? cell.value.text_value : ""));
                break;
            default: continue;
            }
            sheet.Set(int(r) + 1, int(c) + 1, std::move(text));
        }
    }
    return sheet;
}

} // namespace

TVqSheet ReadSheet(const std::string& fileName) {
    if (!FileExists(fileName)) throw EVqSheetError("文件不存在: " + fileName);
    const std::string head = ReadFileBytes(fileName).substr(0, 8);
    if (head.compare(0, 2, "PK") == 0) return readXlsx(fileName);
    if (head == std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return readXls(fileName);
    throw EVqSheetError("文件不是 Excel 工作簿: " + fileName);
}

// -------------------------------------------------------------- to table

bool ExcelToMemTable(const std::string& fileName, int firstRow, int firstCol, int colCount, int rowCount,
                     TVQCustomMemTable* table) {
    table->Close();
    table->FieldDefs().Clear();
    try {
        const TVqSheet sheet = ReadSheet(fileName);
        struct Column {
            int col;
            std::string name;
        };
        std::vector<Column> columns;
        auto taken = [&](const std::string& n) {
            return std::any_of(columns.begin(), columns.end(),
                               [&](const Column& c) { return AnsiSameText(c.name, n); });
        };
        const int first = std::max(1, firstCol);
        for (int col = first; col <= first + colCount; ++col) {
            const TVqSheetCell& cell = sheet.Cell(firstRow, col);
            if (Trim(cell.text).empty()) continue;
            std::string name = cell.text;
            for (int n = 1; taken(name); ++n) name = cell.text + std::to_string(n);
            columns.push_back({col, name});
        }
        for (const Column& c : columns) {
            // Wide enough for the longest cell: text is never cut.
            int size = 100;
            for (int row = firstRow + 1; row <= firstRow + rowCount; ++row)
                size = std::max(size, int(Utf8ToGbk(sheet.Cell(row, c.col).text).size()));
            table->FieldDefs().Add(c.name, ftString, size, false);
        }
        if (!columns.empty()) {
            table->CreateTable();
            table->Open();
        }
        if (!table->Active()) return false;
        for (int row = firstRow + 1; row <= firstRow + rowCount; ++row) {
            table->Append();
            for (size_t i = 0; i < columns.size(); ++i) {
                const TVqSheetCell& cell = sheet.Cell(row, columns[i].col);
                if (!Trim(cell.text).empty()) table->FieldByName(columns[i].name)->SetValue(cell.text);
            }
            table->Post();
        }
    } catch (const Exception&) {
        if (table->Active() && table->State() != dsBrowse) table->Cancel();
        ShowMessage(SheetFailedMessage);
    }
    return false;
}

bool CopyTableToMemTable(const std::string& fileName, TVQCustomMemTable* table) {
    DBFHandle dbf = FileExists(fileName) ? DBFOpen(fileName.c_str(), "rb") : nullptr;
    if (!dbf) throw EDatabaseError("无法打开 dBase 表: " + fileName);
    std::unique_ptr<DBFInfo, void (*)(DBFHandle)> guard(dbf, DBFClose);
    table->Close();
    table->FieldDefs().Clear();
    struct Source {
        int index;
        char native;
        TFieldType type;
        std::string name;
    };
    std::vector<Source> fields;
    for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(dbf, i, name, &width, &decimals);
        const char native = DBFGetNativeFieldType(dbf, i);
        TFieldType type = ftString;
        int size = 0;
        switch (native) {
        case 'N':
        case 'F': type = decimals > 0 ? ftCurrency : width < 10 ? ftInteger : ftLargeint; break;
        case 'L': type = ftBoolean; break;
        case 'D': type = ftDate; break;
        default:
            type = ftString;
            size = std::max(1, width);
            break;
        }
        const std::string utf8 = GbkToUtf8(name);
        table->FieldDefs().Add(utf8, type, size, false);
        fields.push_back({i, native, type, utf8});
    }
    table->CreateTable();
    table->Open();
    for (int r = 0; r < DBFGetRecordCount(dbf); ++r) {
        if (DBFIsRecordDeleted(dbf, r)) continue;
        table->Append();
        for (const Source& f : fields) {
            if (DBFIsAttributeNULL(dbf, r, f.index)) continue;
            TField* field = table->FieldByName(f.name);
            switch (f.type) {
            case ftCurrency: field->SetValue(StrToCurr(Trim(DBFReadStringAttribute(dbf, r, f.index)))); break;
            case ftInteger: field->SetValue(DBFReadIntegerAttribute(dbf, r, f.index)); break;
            case ftLargeint:
                field->SetValue(static_cast<long long>(StrToInt64(Trim(DBFReadStringAttribute(dbf, r, f.index)))));
                break;
            case ftBoolean: {
                const char c = DBFReadLogicalAttribute(dbf, r, f.index)[0];
                field->SetValue(c == 'T' || c == 't' || c == 'Y' || c == 'y');
                break;
            }
            case ftDate: {
                // Dates are stored as "YYYYMMDD".
                const std::string d = Trim(DBFReadStringAttribute(dbf, r, f.index));
                TDateTime date = 0;
                if (d.size() == 8 &&
                    TryEncodeDate(Word(std::atoi(d.substr(0, 4).c_str())), Word(std::atoi(d.substr(4, 2).c_str())),
                                  Word(std::atoi(d.substr(6, 2).c_str())), date))
                    field->SetValue(date);
                break;
            }
            default: field->SetValue(TrimRight(GbkToUtf8(DBFReadStringAttribute(dbf, r, f.index)))); break;
            }
        }
        table->Post();
    }
    table->First();
    return false;
}

bool CopyTableToSqlServer(TDataSet*, const std::string&) { return false; }

int QueryValues(const std::string&, Variant&, bool) { return 0; }

void StartBusinessTransaction() {}
void CommitBusinessTransaction() {}
void RollbackBusinessTransaction() {}

void TVQADOQuery::DoAfterOpen() {
    TADOQuery::DoAfterOpen();
    if (!Active()) return;
    for (int i = 0; i < FieldCount(); ++i) {
        TField* f = Fields().Fields(i);
        if (f->DataType() == ftCurrency || f->DataType() == ftBCD) f->SetDisplayFormat("0.00");
    }
}
