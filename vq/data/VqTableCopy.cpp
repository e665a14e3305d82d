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
#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <shapefil.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

// ------------------------------------------------------------------ sheet

TVqSheetCell TVqSheet::Cell(int row, int col) const {
    if (row < 1 || col < 1 || row > int(rows_.size())) return {};
    const auto& r = rows_[size_t(row - 1)];
    if (col > int(r.size())) return {};
    const Span& c = r[size_t(col - 1)];
    if (!c.present) return {};
    return {true, std::string_view(c.data, c.length)};
}

TVqSheet::Span& TVqSheet::slot(int row, int col) {
    if (int(rows_.size()) < row) {
        // Rows come in order: grow like a vector, not one row at a time.
        if (rows_.capacity() < size_t(row)) rows_.reserve(std::max(size_t(row), 2 * rows_.capacity()));
        rows_.resize(size_t(row));
    }
    auto& r = rows_[size_t(row - 1)];
    if (int(r.size()) < col) {
        // A new row takes the width of the one above it at once.
        if (r.capacity() < size_t(col))
            r.reserve(std::max(size_t(col), row > 1 ? rows_[size_t(row - 2)].size() : size_t(0)));
        r.resize(size_t(col));
    }
    return r[size_t(col - 1)];
}

TVqSheet::Span TVqSheet::keep(std::string_view text) {
    constexpr size_t kBlock = 32 * 1024;
    if (text.size() > UINT32_MAX) throw EVqSheetError("单元格的文字超过 4 GB");
    if (blockSize_ - blockUsed_ < text.size()) {
        // A text longer than a block gets a block of its own.
        blockSize_ = std::max(kBlock, text.size());
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    blockUsed_ += text.size();
    return {at, uint32_t(text.size()), true};
}

void TVqSheet::Set(int row, int col, std::string_view text) {
    if (row < 1 || col < 1) return;
    const Span s = keep(text);
    slot(row, col) = s;
}

void TVqSheet::Reserve(int rows) {
    // A sheet's own claim of its size is only a hint: a damaged or hostile
    // one must not make the reader take much before the first cell.
    if (rows > 0) rows_.reserve(std::min(size_t(rows), size_t(1) << 20));
}

int TVqSheet::AddShared(std::string_view text) {
    shared_.push_back(keep(text));
    return int(shared_.size()) - 1;
}

void TVqSheet::SetShared(int row, int col, int index) {
    if (row < 1 || col < 1 || index < 0 || index >= int(shared_.size())) return;
    slot(row, col) = shared_[size_t(index)];
}

namespace {

// Numbers as the spreadsheet shows them in its formula bar: 15 significant
// digits, no trailing zeros, no exponent for everyday magnitudes.
std::string numberText(double v) {
    char buf[40];
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
        return std::string(buf, end);
    }
    // As printf's "%.15g" (the standard defines it so), without its cost.
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, end);
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

// The two big parts (shared strings and the sheet) go through libxml2's
// SAX parser: no node objects and no strings per element, which is what
// makes a large sheet read in a few times the time of its CSV. Callbacks
// never throw across the C parser: they record the fault and stop it.
struct SaxRun {
    xmlParserCtxtPtr ctxt = nullptr;
    std::string fault;
    void Stop(std::string why) {
        if (fault.empty()) fault = std::move(why);
        xmlStopParser(ctxt);
    }
};

bool Is(const xmlChar* name, const char* local) { return std::strcmp(reinterpret_cast<const char*>(name), local) == 0; }

// The value of attribute local among SAX2's (localname, prefix, URI,
// value, end) quintuples; null when absent.
const xmlChar* AttrValue(int count, const xmlChar** attrs, const char* local, size_t& len) {
    for (int i = 0; i < count; ++i) {
        const xmlChar** a = attrs + 5 * i;
        if (Is(a[0], local)) {
            len = size_t(a[4] - a[3]);
            return a[3];
        }
    }
    return nullptr;
}

// Streams one part of the archive through the SAX parser, which pulls it
// from the zip as it goes: neither the inflated part nor a copy of it is
// ever held whole. (Pulling is several times cheaper than pushing pieces
// into the parser, which searches each piece for complete tags first.)
// False when the archive has no such part.
template <class State>
bool RunSax(zip_t* archive, const std::string& name, State& state, xmlSAXHandler& h) {
    zip_stat_t st;
    if (zip_stat(archive, name.c_str(), 0, &st) != 0) return false;
    struct Source {
        zip_file_t* file;
        bool failed = false;
    } src{zip_fopen(archive, name.c_str(), 0)};
    if (!src.file) throw EVqSheetError("无法读取表格中的 " + name);
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> f(src.file, zip_fclose);
    h.initialized = XML_SAX2_MAGIC;
    auto read = [](void* ctx, char* buffer, int len) -> int {
        auto* s = static_cast<Source*>(ctx);
        const zip_int64_t n = zip_fread(s->file, buffer, zip_uint64_t(len));
        if (n < 0) s->failed = true;
        return int(n);
    };
    state.ctxt = xmlCreateIOParserCtxt(&h, &state, read, nullptr, &src, XML_CHAR_ENCODING_NONE);
    if (!state.ctxt) throw EVqSheetError("表格的 XML 无法读取");
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> guard(state.ctxt, xmlFreeParserCtxt);
    xmlCtxtUseOptions(state.ctxt, XML_PARSE_NONET | XML_PARSE_HUGE);
    const int rc = xmlParseDocument(state.ctxt);
    const bool wellFormed = state.ctxt->wellFormed != 0;
    state.ctxt = nullptr;
    if (src.failed) throw EVqSheetError("表格中的 " + name + " 已损坏");
    if (!state.fault.empty()) throw EVqSheetError(state.fault);
    if (rc != 0 || !wellFormed) throw EVqSheetError("表格的 XML 已损坏");
    return true;
}

struct StringsSax : SaxRun {
    TVqSheet* sheet = nullptr;
    std::string text;
    int phonetic = 0;
    bool inSi = false, inT = false;
};

// The shared strings go straight into the sheet, once each; cells then
// refer to them by number.
void sharedStrings(zip_t* archive, TVqSheet& sheet) {
    StringsSax st;
    st.sheet = &sheet;
    xmlSAXHandler h{};
    h.startElementNs = [](void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**, int,
                          int, const xmlChar**) {
        auto& s = *static_cast<StringsSax*>(ctx);
        if (Is(name, "si")) {
            s.inSi = true;
            s.text.clear();
            s.phonetic = 0;
        } else if (Is(name, "rPh")) {
            // Phonetic runs are reading aids, not cell text.
            ++s.phonetic;
        } else if (Is(name, "t")) {
            s.inT = s.inSi && s.phonetic == 0;
        }
    };
    h.endElementNs = [](void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*) {
        auto& s = *static_cast<StringsSax*>(ctx);
        if (Is(name, "t"))
            s.inT = false;
        else if (Is(name, "rPh"))
            --s.phonetic;
        else if (Is(name, "si")) {
            s.sheet->AddShared(s.text);
            s.text.clear();
            s.inSi = false;
        }
    };
    h.characters = [](void* ctx, const xmlChar* ch, int len) {
        auto& s = *static_cast<StringsSax*>(ctx);
        if (s.inT) s.text.append(reinterpret_cast<const char*>(ch), size_t(len));
    };
    h.cdataBlock = h.characters;
    RunSax(archive, "xl/sharedStrings.xml", st, h);
}

// "BC12" -> column 55, row 12.
bool parseRef(const char* ref, size_t n, int& row, int& col) {
    col = 0;
    size_t i = 0;
    for (; i < n && std::isalpha(uint8_t(ref[i])); ++i) col = col * 26 + (std::toupper(ref[i]) - 'A' + 1);
    if (i == 0 || i == n) return false;
    row = 0;
    for (; i < n; ++i) {
        if (!std::isdigit(uint8_t(ref[i]))) return false;
        row = row * 10 + (ref[i] - '0');
    }
    return row > 0 && col > 0;
}

// A number cell's text as the spreadsheet shows it, made in place; a plain
// integer of fewer than 15 digits is already that.
void numberCell(std::string& value) {
    bool plain = !value.empty() && value.size() < 15 && (value[0] != '0' || value.size() == 1);
    for (size_t i = value[0] == '-' ? 1 : 0; plain && i < value.size(); ++i) plain = std::isdigit(uint8_t(value[i]));
    if (plain && value != "-") return;
    double d = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), d);
    if (ec == std::errc() && end == value.data() + value.size()) value = numberText(d);
}

struct SheetSax : SaxRun {
    TVqSheet* sheet = nullptr;
    int row = 0, nextCol = 1;
    int cellRow = 0, cellCol = 0;
    char type[8] = {};
    bool inCell = false, inV = false, inIs = false, inT = false, hasValue = false;
    std::string value;
};

TVqSheet readXlsx(const std::string& fileName) {
    int error = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> archive(zip_open(fileName.c_str(), ZIP_RDONLY, &error), zip_discard);
    if (!archive) throw EVqSheetError("文件不是 Excel 工作簿: " + fileName);
    const std::string part = activeSheetPart(archive.get());
    TVqSheet sheet;
    sharedStrings(archive.get(), sheet);
    SheetSax sax;
    sax.sheet = &sheet;
    xmlSAXHandler h{};
    h.startElementNs = [](void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                          int nAttrs, int, const xmlChar** attrs) {
        auto& s = *static_cast<SheetSax*>(ctx);
        if (!s.fault.empty()) return;
        size_t len = 0;
        if (Is(name, "dimension")) {
            // "A1:T10001": room for the whole block at once.
            if (const xmlChar* ref = AttrValue(nAttrs, attrs, "ref", len)) {
                const std::string_view v(reinterpret_cast<const char*>(ref), len);
                const size_t colon = v.find(':');
                int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
                if (colon != std::string_view::npos && parseRef(v.data(), colon, r1, c1) &&
                    parseRef(v.data() + colon + 1, v.size() - colon - 1, r2, c2) && r2 >= r1 && c2 >= c1)
                    s.sheet->Reserve(r2);
            }
        } else if (Is(name, "row")) {
            const xmlChar* r = AttrValue(nAttrs, attrs, "r", len);
            s.row = r ? std::atoi(std::string(reinterpret_cast<const char*>(r), len).c_str()) : s.row + 1;
            s.nextCol = 1;
        } else if (Is(name, "c")) {
            s.cellRow = s.row;
            s.cellCol = s.nextCol;
            if (const xmlChar* r = AttrValue(nAttrs, attrs, "r", len);
                r && !parseRef(reinterpret_cast<const char*>(r), len, s.cellRow, s.cellCol)) {
                s.Stop("单元格引用有误: " + std::string(reinterpret_cast<const char*>(r), len));
                return;
            }
            s.nextCol = s.cellCol + 1;
            s.type[0] = 0;
            if (const xmlChar* t = AttrValue(nAttrs, attrs, "t", len)) {
                const size_t n = std::min(len, sizeof s.type - 1);
                std::memcpy(s.type, t, n);
                s.type[n] = 0;
            }
            s.inCell = true;
            s.hasValue = false;
            s.value.clear();
        } else if (s.inCell && Is(name, "v")) {
            // <f> holds the formula: skipped, its value is in <v>.
            s.inV = true;
            s.value.clear();
        } else if (s.inCell && Is(name, "is")) {
            s.inIs = true;
            s.value.clear();
        } else if (s.inIs && Is(name, "t")) {
            s.inT = true;
        }
    };
    h.endElementNs = [](void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*) {
        auto& s = *static_cast<SheetSax*>(ctx);
        if (!s.fault.empty()) return;
        if (Is(name, "v")) {
            if (s.inV) s.hasValue = true;
            s.inV = false;
        } else if (Is(name, "t")) {
            s.inT = false;
        } else if (Is(name, "is")) {
            if (s.inIs) s.hasValue = true;
            s.inIs = false;
        } else if (Is(name, "c")) {
            s.inCell = false;
            if (!s.hasValue) return;
            const std::string_view type = s.type;
            std::string& v = s.value;
            if (type == "s") {
                int index = -1;
                const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), index);
                if (ec != std::errc() || index < 0 || index >= s.sheet->SharedCount()) {
                    s.Stop("共享字符串编号有误");
                    return;
                }
                s.sheet->SetShared(s.cellRow, s.cellCol, index);
                return;
            }
            if (type == "b") {
                v = v == "1" ? "TRUE" : "FALSE";
            } else if (type.empty() || type == "n") {
                numberCell(v);
            }
            s.sheet->Set(s.cellRow, s.cellCol, v);
        }
    };
    h.characters = [](void* ctx, const xmlChar* ch, int len) {
        auto& s = *static_cast<SheetSax*>(ctx);
        if (s.inV || s.inT) s.value.append(reinterpret_cast<const char*>(ch), size_t(len));
    };
    h.cdataBlock = h.characters;
    if (!RunSax(archive.get(), part, sax, h)) throw EVqSheetError("工作簿中找不到工作表 " + part);
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
    std::string head(8, '\0');
    {
        std::ifstream f(fileName, std::ios::binary);
        f.read(head.data(), 8);
        head.resize(size_t(f.gcount()));
    }
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
            const std::string header(sheet.Cell(firstRow, col).text);
            if (Trim(header).empty()) continue;
            std::string name = header;
            for (int n = 1; taken(name); ++n) name = header + std::to_string(n);
            columns.push_back({col, name});
        }
        for (const Column& c : columns) {
            // Wide enough for the longest cell: text is never cut.
            int size = 100;
            for (int row = firstRow + 1; row <= firstRow + rowCount; ++row)
                size = std::max(size, int(Utf8ToGbk(std::string(sheet.Cell(row, c.col).text)).size()));
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
                const std::string text(sheet.Cell(row, columns[i].col).text);
                if (!Trim(text).empty()) table->FieldByName(columns[i].name)->SetValue(text);
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
