#include "VQDBTrans.h"

#include <shapefil.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "Classes.h"
#include "Gbk.h"
#include "ScopeExit.h"
#include "vq/grid/VQDBGrid.h"

namespace {

bool HasExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    const auto slash = name.rfind('/');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < name.size();
}

std::string WithExtension(const std::string& name, const std::string& ext) {
    return HasExtension(name) ? name : name + ext;
}

// list.txt -> list.mem; a name without a dot gets ".mem" appended.
std::string SideFileName(const std::string& name) {
    const auto dot = name.rfind('.');
    const auto slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ".mem";
    return name.substr(0, dot) + ".mem";
}

void WriteAll(const std::string& path, const std::string& bytes, const std::string& shownName) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (f) f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f.good()) throw EVQExportError("无法写入文件 " + shownName);
}

void CheckSource(const TVQExportSource& src) {
    if (!src.DataSet || !src.DataSet->Active()) throw TVQDBToTextError("Dataset is not active");
}

// A streaming line writer into the scratch file: the export never holds
// more than one line.
class TLineFile {
public:
    explicit TLineFile(const std::string& path, std::string shownName)
        : f_(path, std::ios::binary | std::ios::trunc), shown_(std::move(shownName)) {
        if (!f_) throw EVQExportError("无法写入文件 " + shown_);
    }
    void Line(const std::string& utf8) {
        const std::string g = Utf8ToGbk(utf8);
        f_.write(g.data(), std::streamsize(g.size()));
        f_.write("\r\n", 2);
    }
    void Close() {
        f_.close();
        if (f_.fail()) throw EVQExportError("无法写入文件 " + shown_);
    }

private:
    std::ofstream f_;
    std::string shown_;
};

} // namespace

std::string QuoteText(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string HtmlEscape(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        default: r += c;
        }
    }
    return r;
}

// ------------------------------------------------------------------ text

std::string DataSetToTextFile(TVQDatasetToText* exporter, const TVQExportSource& src, const std::string& fileName) {
    CheckSource(src);
    const char delim = exporter ? exporter->Delimiter : '\t';
    const std::string name = WithExtension(fileName, ".txt");
    TVQAtomicFile out(name);
    TLineFile lines(out.TempName(), name);
    TMemoryStream side;
    TDataSet* ds = src.DataSet;
    ds->First();
    while (!ds->Eof()) {
        std::string line;
        for (size_t c = 0; c < src.Columns.size(); ++c) {
            TField* f = src.Columns[c].Field;
            std::string text;
            if (f && IsBlobKind(f->DataType())) {
                const int64_t before = side.Size();
                if (auto* b = dynamic_cast<TBlobField*>(f)) b->SaveToStream(&side);
                text = std::to_string(side.Size() - before);
            } else if (f) {
                text = f->AsString();
            }
            if (c) line += delim;
            line += QuoteText(text);
        }
        lines.Line(line);
        ds->Next();
    }
    lines.Close();
    const std::string sideName = SideFileName(name);
    if (side.Size() > 0) {
        TVQAtomicFile sideOut(sideName);
        WriteAll(sideOut.TempName(), side.Bytes(), sideName);
        out.Commit();
        sideOut.Commit();
    } else {
        out.Commit();
        // An older export's blob bytes would no longer match these counts.
        std::remove(sideName.c_str());
    }
    return name;
}

std::string DataSetToTextFile(TVQDatasetToText* exporter, TVQCustomDBGrid* grid, const std::string& fileName) {
    if (!grid) throw TVQDBToTextError("网格参数不存在");
    return DataSetToTextFile(exporter, grid->ExportSource(), fileName);
}

// ------------------------------------------------------------------ HTML

void DataSetToHTMLFile(TVQDataSetToHTML* exporter, const TVQExportSource& src, const std::string& fileName) {
    CheckSource(src);
    TVQDataSetToHTML defaults;
    TVQDataSetToHTML* ex = exporter ? exporter : &defaults;
    TVQAtomicFile out(fileName);
    TLineFile lines(out.TempName(), fileName);
    TDataSet* ds = src.DataSet;
    if (ex->Header.empty()) {
        lines.Line("<html>");
        // The bytes below are GBK: say so, or a browser guesses.
        lines.Line("<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"> <title> DataSet "
                   "</title> </head>");
        lines.Line("<body>");
    } else {
        for (const auto& l : ex->Header) lines.Line(l);
    }
    lines.Line("<table border = \"1\" rows = \"" + std::to_string(ds->RecordCount()) +
               "\" bordercolor=\"#000000\" cellspacing=\"0\" cellpadding=\"2\">");
    lines.Line("<tr>");
    for (size_t c = 0; c < src.Columns.size(); ++c) {
        std::string attrs;
        std::string text = HtmlEscape(src.Columns[c].Caption);
        const std::string fieldName = src.Columns[c].Field ? src.Columns[c].Field->FieldName() : std::string();
        if (ex->OnFormatCell) ex->OnFormatCell(ex, 1, int(c) + 1, fieldName, attrs, text);
        lines.Line("<th " + attrs + " >" + text + " </th>");
    }
    lines.Line("</tr>");
    int row = 2;
    ds->First();
    while (!ds->Eof()) {
        lines.Line("<tr>");
        for (size_t c = 0; c < src.Columns.size(); ++c) {
            TField* f = src.Columns[c].Field;
            std::string attrs;
            std::string text;
            if (f && !f->IsNull()) {
                if (f->DataType() == ftCurrency)
                    text = CurrToStrF(f->AsCurrency(), ffCurrency, 2);
                else
                    text = f->AsString();
            }
            text = text.empty() ? "&nbsp;" : HtmlEscape(text);
            if (ex->OnFormatCell) ex->OnFormatCell(ex, row, int(c) + 1, f ? f->FieldName() : "", attrs, text);
            lines.Line("<td nowrap " + attrs + " >" + text + " </td>");
        }
        lines.Line("</tr>");
        ds->Next();
        ++row;
    }
    lines.Line("</table>");
    if (ex->Footer.empty()) {
        lines.Line("</body>");
        lines.Line("</html>");
    } else {
        for (const auto& l : ex->Footer) lines.Line(l);
    }
    lines.Close();
    out.Commit();
}

void DataSetToHTMLFile(TVQDataSetToHTML* exporter, TVQCustomDBGrid* grid, const std::string& fileName) {
    if (!grid) throw TVQDBToTextError("网格参数不存在");
    DataSetToHTMLFile(exporter, grid->ExportSource(), fileName);
}

// ------------------------------------------------------------------ dBase

namespace {

struct TDbfColumn {
    TField* field;
    char kind; // 'C', 'N', 'L', 'D'
    int width;
    int decimals;
    std::string name; // GBK bytes
    bool memo = false;
    bool time = false;
};

// Cuts to at most n GBK bytes without splitting a character.
std::string GbkCut(const std::string& gbk, size_t n) {
    size_t i = 0;
    while (i < gbk.size()) {
        const size_t step = (static_cast<unsigned char>(gbk[i]) >= 0x81 && i + 1 < gbk.size()) ? 2 : 1;
        if (i + step > n) break;
        i += step;
    }
    return gbk.substr(0, i);
}

std::string UniqueName(const std::string& fieldName, std::set<std::string>& used) {
    const std::string gbk = Utf8ToGbk(fieldName);
    std::string base = GbkCut(gbk, 10);
    auto upper = [](std::string s) {
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        return s;
    };
    if (!base.empty() && used.insert(upper(base)).second) return base;
    for (int n = 1;; ++n) {
        const std::string suffix = std::to_string(n);
        std::string cand = GbkCut(gbk, 10 - suffix.size()) + suffix;
        if (used.insert(upper(cand)).second) return cand;
    }
}

std::string Fixed4(Currency v) {
    std::string s = CurrToStrF(v, ffFixed, 4);
    return s;
}

} // namespace

void TVQDataSetToDBF::ExportToFile(const std::string& fileName) {
    Warnings.clear();
    if (!DataSet || !DataSet->Active()) throw EVQExportError("导出DBF失败：数据集没有打开");
    const std::string name = WithExtension(fileName, ".dbf");
    TDataSet* ds = DataSet;
    TVQDisabledControls disabled(ds);
    std::vector<TDbfColumn> cols;
    std::set<std::string> used;
    for (TField* f : ds->Fields()) {
        TDbfColumn c{f, 'C', 1, 0, {}};
        switch (f->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftWideString:
        case ftGuid: c.width = std::clamp(f->Size(), 1, 254); break;
        case ftSmallint:
        case ftWord: c = {f, 'N', 6, 0, {}}; break;
        case ftInteger:
        case ftAutoInc: c = {f, 'N', 11, 0, {}}; break;
        case ftLargeint: c = {f, 'N', 20, 0, {}}; break;
        case ftFloat:
        case ftCurrency:
        case ftBCD: c = {f, 'N', 20, 4, {}}; break;
        case ftBoolean: c = {f, 'L', 1, 0, {}}; break;
        case ftDate:
        case ftDateTime: c = {f, 'D', 8, 0, {}}; break;
        case ftTime:
            c.width = 8;
            c.time = true;
            break;
        case ftMemo:
        case ftFmtMemo:
            c.width = 254;
            c.memo = true;
            Warnings.push_back(f->FieldName() + ": 备注字段按 254 字节文本导出");
            break;
        default: Warnings.push_back(f->FieldName() + ": 图形或二进制字段不能导出"); continue;
        }
        cols.push_back(c);
    }
    // Text columns as wide as their longest GBK value: a field's Size counts
    // characters, and a Chinese character is two bytes in the file.
    bool anyText = false;
    for (const auto& c : cols) anyText |= c.kind == 'C' && !c.time && !c.memo;
    if (anyText) {
        ds->First();
        while (!ds->Eof()) {
            for (auto& c : cols)
                if (c.kind == 'C' && !c.time && !c.memo && !c.field->IsNull())
                    c.width = std::clamp(int(Utf8ToGbk(c.field->AsString()).size()), c.width, 254);
            ds->Next();
        }
    }
    for (auto& c : cols) c.name = UniqueName(c.field->FieldName(), used);

    TVQAtomicFile out(name, ".dbf");
    // Language driver 0x7A: the Chinese (GBK) code page.
    DBFHandle h = DBFCreateEx(out.TempName().c_str(), "LDID/122");
    if (!h) throw EVQExportError("导出DBF失败：无法创建文件 " + name);
    {
        ScopeExit closeFile([&] { DBFClose(h); });
        for (const auto& c : cols)
            if (DBFAddNativeFieldType(h, c.name.c_str(), c.kind, c.width, c.decimals) < 0)
                throw EVQExportError("导出DBF失败：无法建立字段 " + c.field->FieldName());
        int rec = 0;
        bool cut = false;
        ds->First();
        while (!ds->Eof()) {
            for (size_t i = 0; i < cols.size(); ++i) {
                const TDbfColumn& c = cols[i];
                TField* f = c.field;
                const int fi = int(i);
                int ok = 1;
                if (f->IsNull()) {
                    ok = DBFWriteNULLAttribute(h, rec, fi);
                } else if (c.kind == 'C') {
                    std::string g = Utf8ToGbk(f->AsString());
                    if (g.size() > size_t(c.width)) {
                        g = GbkCut(g, size_t(c.width));
                        cut = true;
                    }
                    ok = DBFWriteStringAttribute(h, rec, fi, g.c_str());
                } else if (c.kind == 'N') {
                    // Exact digits, right-aligned as dBase keeps numbers:
                    // the library's numeric writer would go through a double.
                    std::string digits;
                    if (c.decimals == 0)
                        digits = std::to_string(f->AsLargeInt());
                    else
                        digits =
                            Fixed4(f->DataType() == ftFloat ? Currency::FromDouble(f->AsFloat()) : f->AsCurrency());
                    if (digits.size() > size_t(c.width))
                        throw EVQExportError("导出DBF失败：字段 " + f->FieldName() + " 的数值太大");
                    digits.insert(0, size_t(c.width) - digits.size(), ' ');
                    ok = DBFWriteAttributeDirectly(h, rec, fi, digits.data());
                } else if (c.kind == 'L') {
                    ok = DBFWriteLogicalAttribute(h, rec, fi, f->AsBoolean() ? 'T' : 'F');
                } else if (c.kind == 'D') {
                    Word y, m, d;
                    DecodeDate(f->AsDateTime(), y, m, d);
                    {
                        std::string dt = Format("%.4d%.2d%.2d", int(y), int(m), int(d));
                        ok = DBFWriteAttributeDirectly(h, rec, fi, dt.data());
                    }
                }
                if (!ok) throw EVQExportError("导出DBF失败：字段 " + f->FieldName() + " 的值写不进去");
            }
            ++rec;
            ds->Next();
        }
        if (cut) Warnings.push_back("有文本超过 254 字节，已截断");
    }
    out.Commit();
}
