// The page builder: runs the bands of each report page over their data
// sources and writes the printed objects into built pages.
//
// Per report page: the title, then page header and column header on each
// new page; the master header, per master record its group headers (when
// a condition changed), the data band, the detail level and its footers;
// group footers innermost first, seeing the group's last row; the master
// footer and summary; page footers at the bottom of every page, on the
// first and last only when their flags say so. Totals (SUM, COUNT, AVG, MAX,
// MIN) found in footer texts accumulate over the data band they name.
#include <algorithm>
#include <cmath>
#include <map>

#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_Interp.h"

namespace {
struct Acc {
    double Sum = 0, Max = 0, Min = 0;
    int Count = 0;
    void Reset() { *this = Acc(); }
    void Add(double v) {
        if (Count == 0)
            Max = Min = v;
        else {
            Max = std::max(Max, v);
            Min = std::min(Min, v);
        }
        Sum += v;
        ++Count;
    }
};

struct Aggregate {
    std::string Func, Expr;
    TRMBandView* DataBand = nullptr;
    bool IncludeInvisible = false;
    Acc A;
};
} // namespace

class TRMBuilder {
public:
    explicit TRMBuilder(TRMReport* r) : R(r) {}
    TRMReport* R;

    // Build state.
    TRMPage* page = nullptr;
    int designPageNo = 1;
    TRMEMFPageRec* out = nullptr;
    TMemoryStream stream;
    int curY = 0, bottom = 0, colX = 0, column = 0;
    int lineNo = 0, lineThrough = 0;
    bool firstPageOfRun = true;
    bool aggregateSetup = false;
    TRMBandView* curBand = nullptr;
    TRMDataset* curData = nullptr;
    std::map<TRMBandView*, std::vector<Aggregate>> aggs; // per footer band
    std::map<TRMBandView*, std::vector<TRMView*>> objectsOf;
    std::vector<std::unique_ptr<TRMDataset>> ownedDs;

    std::vector<TRMBandView*> bands(TRMBandKind k) {
        std::vector<TRMBandView*> r;
        for (auto& o : page->Objects)
            if (o->ObjectType == rmgtBand && static_cast<TRMBandView*>(o.get())->BandType() == k)
                r.push_back(static_cast<TRMBandView*>(o.get()));
        std::stable_sort(r.begin(), r.end(), [](auto* a, auto* b) { return a->Top < b->Top; });
        return r;
    }
    TRMBandView* band(TRMBandKind k) {
        auto v = bands(k);
        return v.empty() ? nullptr : v.front();
    }
    TRMBandView* bandNamed(const std::string& n) {
        return n.empty() ? nullptr : dynamic_cast<TRMBandView*>(page->FindObject(n));
    }

    TRMDataset* datasetOf(TRMBandView* b) {
        std::string n = Trim(b->DataSet());
        if (n.empty()) n = "1";
        int cnt;
        if (TryStrToInt(n, cnt)) {
            ownedDs.push_back(std::make_unique<TRMCountDataset>(cnt));
            return ownedDs.back().get();
        }
        TRMDataset* d = TRMDataset::Find(n, R->Owner());
        if (!d) R->BuildErrors.push_back("未找到数据集: " + n);
        return d;
    }

    void assignObjects() {
        objectsOf.clear();
        std::vector<TRMBandView*> all;
        for (auto& o : page->Objects)
            if (o->ObjectType == rmgtBand) all.push_back(static_cast<TRMBandView*>(o.get()));
        for (auto& o : page->Objects) {
            if (o->ObjectType == rmgtBand) continue;
            for (TRMBandView* b : all)
                if (o->Top >= b->Top && o->Top < b->Top + b->Height) {
                    objectsOf[b].push_back(o.get());
                    o->ParentBand = reinterpret_cast<TRMBand*>(b);
                    break;
                }
        }
    }

    // ---- totals
    TRMBandView* defaultDataBandFor(TRMBandView* footer) {
        switch (footer->BandType()) {
        case bkDetailFooter: return band(bkDetailData);
        case bkSubDetailFooter: return band(bkSubDetailData);
        default: return band(bkMasterData);
        }
    }
    void registerAggregates() {
        aggs.clear();
        aggregateSetup = true;
        for (auto& [b, objs] : objectsOf) {
            curBand = b;
            for (TRMView* o : objs) {
                if (o->ObjectType != rmgtMemo && o->ObjectType != rmgtCalcMemo) continue;
                for (auto& line : o->Memo) {
                    try {
                        R->ExpandVariables(line, o);
                    } catch (...) {}
                }
            }
        }
        R->BuildErrors.clear();
        aggregateSetup = false;
        curBand = nullptr;
    }
    Aggregate* findAgg(TRMBandView* footer, const std::string& f, const std::string& e) {
        auto it = aggs.find(footer);
        if (it == aggs.end()) return nullptr;
        for (auto& a : it->second)
            if (a.Func == f && a.Expr == e) return &a;
        return nullptr;
    }
    bool aggregate(const TRMFuncCall& c, Variant& r) {
        const std::string& f = c.Name;
        if (f != "SUM" && f != "AVG" && f != "MAX" && f != "MIN" && f != "COUNT") return false;
        std::string expr = f == "COUNT" ? std::string() : (c.Count() > 0 ? c.ArgTexts[0] : "");
        std::string bandName =
            f == "COUNT" ? (c.Count() > 0 ? c.ArgTexts[0] : "") : (c.Count() > 1 ? c.ArgTexts[1] : "");
        std::string flag = f == "COUNT" ? (c.Count() > 1 ? c.ArgTexts[1] : "") : (c.Count() > 2 ? c.ArgTexts[2] : "");
        if (!curBand) {
            r = 0;
            return true;
        }
        if (aggregateSetup) {
            if (!findAgg(curBand, f, expr)) {
                Aggregate a;
                a.Func = f;
                a.Expr = expr;
                a.DataBand = bandName.empty() ? defaultDataBandFor(curBand) : bandNamed(Trim(bandName));
                a.IncludeInvisible = Trim(flag) == "1";
                aggs[curBand].push_back(a);
            }
            r = 0;
            return true;
        }
        Aggregate* a = findAgg(curBand, f, expr);
        if (!a) {
            r = 0;
            return true;
        }
        const Acc& x = a->A;
        if (f == "SUM")
            r = x.Sum;
        else if (f == "COUNT")
            r = x.Count;
        else if (f == "AVG")
            r = x.Count ? x.Sum / x.Count : 0.0;
        else if (x.Count == 0)
            r = std::string(); // MIN or MAX over no rows
        else
            r = f == "MAX" ? x.Max : x.Min;
        return true;
    }
    // ---- aggregate memos
    std::vector<TRMCalcMemoView*> calcMemos;
    void prepareCalcMemos() {
        calcMemos.clear();
        for (auto& o : page->Objects) {
            auto* c = dynamic_cast<TRMCalcMemoView*>(o.get());
            if (!c) continue;
            calcMemos.push_back(c);
            // The first pass of a build starts the saved values afresh; the
            // final pass reads them from the start.
            if (!R->FinalPass || !R->DoublePass) c->SavedValues.clear();
            c->SavedIndex = 0;
            c->Started = false;
            c->CalcValue = 0;
            c->CalcExpression.clear();
            if (c->Memo.empty()) continue;
            const std::string& l = c->Memo[0];
            size_t a = l.find('['), b = bracketEnd(l, a);
            if (a == std::string::npos || b == std::string::npos) continue;
            std::string e = l.substr(a + 1, b - a - 1);
            int code = 0;
            std::string ft;
            RMSplitFormatSuffix(e, code, ft);
            c->CalcExpression = "[" + e + "]";
        }
    }
    // The closing bracket of the outermost bracket opening at a (npos when
    // unclosed); quoted texts inside do not count.
    static size_t bracketEnd(const std::string& t, size_t a) {
        if (a == std::string::npos) return a;
        int depth = 0;
        bool q = false;
        for (size_t j = a; j < t.size(); ++j) {
            char d = t[j];
            if (d == '\'') q = !q;
            if (q) continue;
            if (d == '[')
                ++depth;
            else if (d == ']' && --depth == 0)
                return j;
        }
        return std::string::npos;
    }
    void accumulateCalc(TRMBandView* dataBand, bool visible) {
        for (TRMCalcMemoView* c : calcMemos) {
            if (!SameText(c->DataBand, dataBand->Name)) continue;
            if (!c->Started) {
                c->AvgTotal = 0;
                c->AvgCount = 0;
                switch (c->DBCalcType) {
                case rmdcMax: c->CalcValue = -1e300; break;
                case rmdcMin: c->CalcValue = 1e300; break;
                case rmdcUser: try { c->CalcValue = RMToNumber(R->Calc(c->IntalizeValue));
                    } catch (const Exception& e) {
                        R->BuildErrors.push_back(e.Message);
                        c->CalcValue = 0;
                    }
                    break;
                default: c->CalcValue = 0; break;
                }
                c->Started = true;
            }
            if (!visible && !c->CalcNoVisible()) continue;
            try {
                if (!Trim(c->Filter).empty() && RMToNumber(R->Calc(c->Filter)) == 0) continue;
                double v = 0;
                if (c->DBCalcType != rmdcCount && !c->CalcExpression.empty()) {
                    Variant x = R->Calc(c->CalcExpression);
                    v = VarIsClear(x) || (VarIsStr(x) && Trim(VarToStr(x)).empty()) ? 0 : RMToNumber(x);
                }
                switch (c->DBCalcType) {
                case rmdcSum: c->CalcValue += v; break;
                case rmdcCount: c->CalcValue += 1; break;
                case rmdcAvg:
                    c->AvgTotal += v;
                    ++c->AvgCount;
                    c->CalcValue = c->AvgTotal / c->AvgCount;
                    break;
                case rmdcMax: c->CalcValue = std::max(c->CalcValue, v); break;
                case rmdcMin: c->CalcValue = std::min(c->CalcValue, v); break;
                case rmdcUser: c->CalcValue = RMToNumber(R->Calc(c->AggregateValue)); break;
                default: break;
                }
            } catch (const Exception& e) {
                R->BuildErrors.push_back(e.Message);
            }
        }
    }
    // The shown value: a MAX or MIN that never saw a row reads 0, not the
    // start marker.
    static double shownValue(TRMCalcMemoView* c) {
        double v = c->GetValue();
        return std::fabs(v) >= 1e300 ? 0 : v;
    }
    std::string formatCalc(TRMCalcMemoView* c, double v, int code, const std::string& text) {
        if (v == 0 && (c->Flags & flHideZeros)) return "";
        std::string s = code == 0x22E ? FormatFloat("0.########", v) : RMFormatValue(v, code, text);
        if (c->OutBigNum()) s = RMCurrToBigNum(RMStrToFloat(s));
        return s;
    }
    TRMLines expandCalcMemo(TRMCalcMemoView* c) {
        std::string line = c->Memo.empty() ? std::string() : c->Memo[0];
        double v = shownValue(c);
        std::string out;
        bool anyBracket = false;
        for (size_t i = 0; i < line.size();) {
            size_t a = line.find('[', i), b = bracketEnd(line, a);
            if (a == std::string::npos || b == std::string::npos) {
                out += line.substr(i);
                break;
            }
            anyBracket = true;
            out += line.substr(i, a - i);
            std::string e = line.substr(a + 1, b - a - 1);
            int code = c->FormatCode;
            std::string ft = c->FormatText;
            RMSplitFormatSuffix(e, code, ft);
            out += formatCalc(c, v, code, ft);
            i = b + 1;
        }
        if (!anyBracket && (c->DBCalcType == rmdcCount || c->DBCalcType == rmdcUser)) {
            if (v == 0 && (c->Flags & flHideZeros))
                out.clear();
            else
                out += formatCalc(c, v, c->FormatCode == 0x22E ? 0x22E : c->FormatCode, c->FormatText);
        }
        return {out};
    }
    // After the memo is written: the two-pass bookkeeping and the reset.
    void calcWritten(TRMCalcMemoView* c) {
        if (R->DoublePass) {
            if (!c->TotalCalc()) {
                if (!R->FinalPass) c->SavedValues.push_back(c->CalcValue);
                ++c->SavedIndex;
            } else if (!R->FinalPass) {
                if (c->SavedValues.empty()) {
                    c->SavedValues.push_back(c->CalcValue);
                    ++c->SavedIndex;
                } else {
                    c->SavedValues[0] = c->CalcValue;
                }
            } else {
                c->SavedIndex = 0;
            }
        }
        if (c->ResetAfterPrint && !c->TotalCalc()) c->Started = false;
    }

    void accumulate(TRMBandView* dataBand, bool visible) {
        accumulateCalc(dataBand, visible);
        for (auto& [footer, list] : aggs)
            for (auto& a : list) {
                if (a.DataBand != dataBand || (!visible && !a.IncludeInvisible)) continue;
                if (a.Func == "COUNT") {
                    a.A.Add(0);
                    continue;
                }
                try {
                    Variant v = R->Calc(a.Expr);
                    if (VarIsClear(v) || (VarIsStr(v) && Trim(VarToStr(v)).empty())) continue;
                    a.A.Add(RMToNumber(v));
                } catch (const Exception& e) {
                    R->BuildErrors.push_back(e.Message);
                }
            }
    }
    void resetTotals(TRMBandView* footer) {
        auto it = aggs.find(footer);
        if (it != aggs.end())
            for (auto& a : it->second) a.A.Reset();
    }

    // ---- pages
    int bandHeight(TRMBandView* b) {
        int h = b->Height;
        if (!(b->Flags & bfStretched)) return h;
        for (TRMView* o : objectsOf[b]) {
            if (auto* m = dynamic_cast<TRMMemoView*>(o); m && (m->Flags & flStretched)) {
                m->Memo1 = expandMemo(m);
                h = std::max(h, (m->Top - b->Top) + m->CalcHeight());
            }
        }
        return h;
    }
    TRMLines expandMemo(TRMView* o) {
        TRMLines out;
        if (o->Flags & flTextOnly) return o->Memo;
        for (auto& line : o->Memo) {
            std::string t = R->ExpandVariables(line, o);
            size_t start = 0;
            for (;;) {
                size_t p = t.find('\n', start);
                std::string l = t.substr(start, p == std::string::npos ? std::string::npos : p - start);
                if (!l.empty() && l.back() == '\r') l.pop_back();
                out.push_back(l);
                if (p == std::string::npos) break;
                start = p + 1;
            }
        }
        return out;
    }
    int footerReserve() {
        int h = 0;
        if (auto* f = band(bkPageFooter)) h += f->Height;
        if (auto* f = band(bkColumnFooter)) h += f->Height;
        return h;
    }
    int pageBottom() { return page->PrintableTop() + page->PrintableHeight() - footerReserve(); }
    int columnWidth() {
        int cols = std::max(1, page->Columns);
        int gap = RMToPixels(page->ColumnGap / 1000.0);
        return (page->PrintableWidth() - gap * (cols - 1)) / cols;
    }

    void startPage() {
        out = &R->EMFPages.AddPage(page, designPageNo);
        if (!page->BackPicture.Empty()) {
            // One background entry per design page, shared by its pages.
            auto it = bkIndex.find(page);
            if (it == bkIndex.end()) {
                TRMBkPicture b{page->BackGroundLeft, page->BackGroundTop, page->BackGroundWidth, page->BackGroundHeight,
                               page->BackPicture};
                it = bkIndex.emplace(page, R->EMFPages.AddBkPicture(b)).first;
            }
            out->BkPictureIndex = uint8_t(std::min(it->second, 254));
        }
        stream.Clear();
        RMWriteByte(stream, RMCurrentVersion);
        if (R->OnBeginPage) R->OnBeginPage(R->PageNo);
        curY = page->PrintableTop();
        colX = 0;
        column = 0;
        bottom = pageBottom();
        if (auto* ov = band(bkOverlay)) printAt(ov, ov->Top, 0);
        if (firstPageOfRun) {
            if (auto* t = band(bkTitle)) printBand(t);
        }
        if (auto* ph = band(bkPageHeader))
            if (!firstPageOfRun || (ph->Flags & bfOnFirstPage)) printBand(ph);
        if (auto* ch = band(bkColumnHeader)) printBand(ch);
        firstPageOfRun = false;
    }
    void finishPage(bool last) {
        if (auto* cf = band(bkColumnFooter)) printAt(cf, bottom, colX);
        if (auto* pf = band(bkPageFooter)) {
            bool first = R->PageNo == pageRunStart;
            bool ok = true;
            if (first && !(pf->Flags & bfOnFirstPage)) ok = false;
            if (last && !(pf->Flags & bfOnLastPage)) ok = false;
            if (first && last) ok = (pf->Flags & bfOnFirstPage) || (pf->Flags & bfOnLastPage);
            if (ok) {
                curBand = pf;
                printAt(pf, page->PrintableTop() + page->PrintableHeight() - pf->Height, 0);
            }
            resetTotals(pf);
        }
        out->Stream = stream.Bytes();
        ++R->PageNo;
        if (R->OnProgress) R->OnProgress(R->PageNo);
    }
    void newPage() {
        finishPage(false);
        startPage();
    }
    int pageRunStart = 0;
    std::map<TRMPage*, int> bkIndex;

    // Room for h pixels, moving to the next column or page when needed.
    void need(int h, TRMBandView* repeatHeader = nullptr) {
        if (curY + h <= bottom) return;
        if (page->Columns > 1 && column + 1 < page->Columns) {
            if (auto* cf = band(bkColumnFooter)) printAt(cf, bottom, colX);
            ++column;
            colX = column * (columnWidth() + RMToPixels(page->ColumnGap / 1000.0));
            curY = columnTop;
            if (auto* ch = band(bkColumnHeader)) printBand(ch);
        } else {
            newPage();
            columnTop = curY;
        }
        if (repeatHeader && (repeatHeader->Flags & bfRepeatHeader)) printBand(repeatHeader, false);
    }
    int columnTop = 0;

    void writeObject(TRMView* o, int top, int height, int dx) {
        int l = o->Left, t = o->Top, h = o->Height;
        o->Left += dx;
        o->Top = top;
        o->Height = height;
        // A memo's highlight condition gives it its other look for this
        // record only.
        auto* m = dynamic_cast<TRMMemoView*>(o);
        bool lit = false;
        TRMFont font;
        TColor fill = clNone;
        if (m && !Trim(m->HighlightStr).empty()) {
            try {
                lit = RMToNumber(R->Calc(m->HighlightStr)) != 0;
            } catch (const Exception& e) {
                R->BuildErrors.push_back(e.Message);
            }
            if (lit) {
                font = m->Font;
                fill = m->FillColor;
                m->Font.Style = m->HighlightStyle;
                m->Font.Color = m->HighlightColor;
                m->FillColor = m->HighlightFill;
            }
        }
        o->StreamOut(stream);
        if (lit) {
            m->Font = font;
            m->FillColor = fill;
        }
        o->Left = l;
        o->Top = t;
        o->Height = h;
    }

    // Prints band b with its top at y (no page logic).
    void printAt(TRMBandView* b, int y, int dx, int height = -1) {
        TRMBandView* was = curBand;
        curBand = b;
        int bh = height >= 0 ? height : b->Height;
        for (TRMView* o : objectsOf[b]) {
            if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
            if (!o->Visible) continue;
            int top = y + (o->Top - b->Top);
            int h = o->Height;
            if (auto* c = dynamic_cast<TRMCalcMemoView*>(o)) {
                c->Memo1 = expandCalcMemo(c);
                writeObject(o, top, h, dx);
                calcWritten(c);
                continue;
            }
            if (auto* m = dynamic_cast<TRMMemoView*>(o)) {
                // A blank row shows only the memos marked to print there.
                m->Memo1 = noDataMode && !(m->Flags2 & 0x10) ? TRMLines{} : expandMemo(m);
                if ((m->Flags & flStretched) && (b->Flags & bfStretched)) h = std::max(h, bh - (o->Top - b->Top));
                if (m->Flags & flWordWrap) {
                    // Written wrapped, so every device shows the lines the
                    // page was measured with.
                    uint16_t f = m->Flags;
                    m->Memo1 = m->WrapLines(m->Memo1, m->Width - m->GapX * 2);
                    m->Flags &= ~flWordWrap;
                    writeObject(o, top, h, dx);
                    m->Flags = f;
                    continue;
                }
            } else {
                o->Memo1.clear();
                for (auto& l : o->Memo) o->Memo1.push_back(R->ExpandVariables(l, o));
            }
            writeObject(o, top, h, dx);
        }
        curBand = was;
    }

    // Prints b at the current position, breaking the page first when it
    // does not fit; then its child band.
    void printBand(TRMBandView* b, bool withChild = true, TRMBandView* repeatHeader = nullptr) {
        if (!b) return;
        curBand = b;
        if (!b->OnBeforePrint.empty()) R->RunScript(b->OnBeforePrint, b);
        if (!b->Visible) return;
        int h = bandHeight(b);
        need(h, repeatHeader);
        printAt(b, curY, colX, h);
        curY += h;
        if (b->Flags & bfFormNewPage) {
            if (b->BandType() != bkMasterData && b->BandType() != bkDetailData) newPage();
        }
        if (withChild)
            if (auto* c = bandNamed(b->ChildBand)) printBand(c, false);
    }

    // ---- blank rows
    bool noDataMode = false;
    // Empty rows of the data band fill the page down to its footers (or up
    // to LinesPerPage rows), so ruled forms keep their lines.
    void appendBlanks(TRMBandView* data, TRMBandView* footer, int& rowsOnPage) {
        if (!data->Visible) return;
        int h = bandHeight(data);
        int reserve = footer ? bandHeight(footer) : 0;
        if (data->BandType() == bkMasterData)
            if (auto* s = band(bkSummary)) reserve += bandHeight(s);
        noDataMode = true;
        while (!R->Terminated && h > 0) {
            bool more = data->LinesPerPage ? rowsOnPage < data->LinesPerPage : curY + h + reserve <= bottom;
            if (!more) break;
            printAt(data, curY, colX, h);
            curY += h;
            ++rowsOnPage;
        }
        noDataMode = false;
    }

    // ---- data levels
    std::vector<std::string> groupKeys(const std::vector<TRMBandView*>& groups) {
        std::vector<std::string> k;
        for (auto* g : groups) {
            try {
                k.push_back(VarToStr(R->Calc(g->DataSet())));
            } catch (const Exception& e) {
                R->BuildErrors.push_back(e.Message);
                k.push_back({});
            }
        }
        return k;
    }

    // Runs a data band over its data set; prints header/footer around it.
    // Returns the number of records printed.
    int runLevel(TRMBandView* data, TRMBandView* header, TRMBandView* footer, TRMBandKind childKind) {
        if (!data) return 0;
        TRMDataset* ds = datasetOf(data);
        if (!ds) return 0;
        TRMDataset* savedData = curData;
        curData = ds;
        if (data->RangeBegin != rbDefault) ds->RangeBegin = TRMRangeBegin(data->RangeBegin);
        if (data->RangeEnd != reDefault) ds->RangeEnd = TRMRangeEnd(data->RangeEnd);
        if (data->RangeEndCount) ds->RangeEndCount = data->RangeEndCount;
        try {
            ds->Init();
        } catch (const Exception& e) {
            R->BuildErrors.push_back(e.Message);
            curData = savedData;
            return 0;
        }
        ds->First();
        std::vector<TRMBandView*> groups;
        if (data->BandType() == bkMasterData)
            for (auto* g : bands(bkGroupHeader))
                if (g->Master.empty() || SameText(g->Master, data->Name)) groups.push_back(g);
        std::vector<TRMBandView*> gfooters = bands(bkGroupFooter);
        // Group footers pair with headers in reverse order.
        auto footerOf = [&](size_t level) -> TRMBandView* {
            size_t n = gfooters.size();
            size_t idx = groups.size() - 1 - level;
            return idx < n ? gfooters[n - 1 - idx] : nullptr;
        };
        int printed = 0;
        int saveLine = lineNo;
        lineNo = 0;
        if (ds->Eof()) {
            if (data->Flags & bfPrintIfEmpty) {
                if (header) printBand(header);
                if (footer) printBand(footer);
            }
            ds->Exit();
            curData = savedData;
            lineNo = saveLine;
            return 0;
        }
        if (header) printBand(header);
        std::vector<std::string> keys = groupKeys(groups);
        for (size_t g = 0; g < groups.size(); ++g) printBand(groups[g], true, nullptr);
        int bandCol = 0;
        int rowsOnPage = 0;
        while (!ds->Eof() && !R->Terminated) {
            ++lineNo;
            ++lineThrough;
            // Band columns: records side by side across, then down.
            int cols = std::max(1, data->Columns);
            int h = bandHeight(data);
            if (cols > 1) {
                if (bandCol == 0) need(h, header);
                curBand = data;
                int dx = colX + bandCol * (data->ColumnWidth + data->ColumnGap);
                printAt(data, curY, dx, h);
                if (++bandCol == cols) {
                    bandCol = 0;
                    curY += h;
                }
            } else {
                int before = R->PageNo;
                printBand(data, true, header);
                if (R->PageNo != before) rowsOnPage = 0;
            }
            accumulate(data, true);
            ++printed;
            ++rowsOnPage;
            if (childKind != bkNone) {
                TRMBandKind base = childKind;
                runLevel(band(base), band(TRMBandKind(base - 1)), band(TRMBandKind(base + 1)),
                         base == bkDetailData ? bkSubDetailData : bkNone);
            }
            bool breakAfter = (data->Flags & bfFormNewPage) || (data->LinesPerPage && rowsOnPage >= data->LinesPerPage);
            if (!Trim(data->NewPageCondition()).empty()) {
                try {
                    breakAfter |= RMToNumber(R->Calc(data->NewPageCondition())) != 0;
                } catch (const Exception& e) {
                    R->BuildErrors.push_back(e.Message);
                }
            }
            ds->Next();
            size_t changed = groups.size();
            std::vector<std::string> nk;
            if (!ds->Eof()) {
                nk = groupKeys(groups);
                for (size_t g = 0; g < groups.size(); ++g)
                    if (nk[g] != keys[g]) {
                        changed = g;
                        break;
                    }
            } else {
                changed = 0;
            }
            if (changed < groups.size()) {
                if (bandCol) {
                    bandCol = 0;
                    curY += h;
                }
                bool moved = false;
                if (!ds->Eof()) {
                    ds->Prior(); // footers see the group's last row
                    moved = true;
                }
                for (size_t g = groups.size(); g-- > changed;) {
                    if (auto* f = footerOf(g)) {
                        printBand(f);
                        resetTotals(f);
                    }
                }
                if (moved) ds->Next();
                if (!ds->Eof()) {
                    bool np = false;
                    for (size_t g = changed; g < groups.size(); ++g) np |= bool(groups[g]->Flags & bfFormNewPage);
                    if (np) {
                        newPage();
                        rowsOnPage = 0;
                    }
                    keys = nk;
                    for (size_t g = changed; g < groups.size(); ++g) printBand(groups[g]);
                }
            }
            if (breakAfter && !ds->Eof()) {
                if (bandCol) {
                    bandCol = 0;
                    curY += h;
                }
                newPage();
                rowsOnPage = 0;
            }
        }
        if (bandCol) curY += bandHeight(data);
        if (data->Flags & bfAutoAppendBlank) appendBlanks(data, footer, rowsOnPage);
        if (footer) {
            printBand(footer);
            resetTotals(footer);
        }
        ds->Exit();
        curData = savedData;
        lineNo = saveLine;
        return printed;
    }

    void buildPage(TRMPage* p, int no) {
        page = p;
        designPageNo = no;
        assignObjects();
        registerAggregates();
        prepareCalcMemos();
        firstPageOfRun = true;
        pageRunStart = R->PageNo;
        startPage();
        columnTop = curY;
        TRMBandView* md = band(bkMasterData);
        if (md) runLevel(md, band(bkMasterHeader), band(bkMasterFooter), bkDetailData);
        if (auto* s = band(bkSummary)) {
            printBand(s);
        }
        finishPage(true);
        // The first pass leaves each grand total for the final pass, also
        // for memos that printed before their rows.
        if (R->DoublePass && !R->FinalPass)
            for (TRMCalcMemoView* c : calcMemos)
                if (c->TotalCalc()) {
                    if (c->SavedValues.empty())
                        c->SavedValues.push_back(c->CalcValue);
                    else
                        c->SavedValues[0] = c->CalcValue;
                }
    }

    bool run() {
        R->EMFPages.Clear();
        R->PageNo = 0;
        bkIndex.clear();
        lineThrough = 0;
        for (int i = 0; i < R->Pages.Count() && !R->Terminated; ++i) {
            TRMPage* p = R->Pages[i];
            if (p->PageType != 0 || p->IsSubReportPage) continue;
            buildPage(p, i + 1);
        }
        return !R->Terminated;
    }
};

void TRMReport::RunScript(const TRMLines& script, TRMView* view) {
    std::string key;
    for (auto& l : script) key += l + "\r";
    auto it = scripts_.find(key);
    TRMInterpreter in;
    if (it == scripts_.end()) {
        TRMCode code;
        std::string err = in.CompileScript(script, code);
        if (!err.empty()) {
            ScriptError = err;
            BuildErrors.push_back(err);
            code.clear();
        }
        it = scripts_.emplace(key, std::move(code)).first;
    }
    TRMView* was = scriptView_;
    scriptView_ = view;
    try {
        in.RunScript(
            it->second, Parser,
            [this](const std::string& name, const Variant& v) {
                std::string u = UpperCase(name);
                if (Variables.count(u)) {
                    Variables[u] = v;
                    return;
                }
                for (auto& dv : Dictionary.Variables)
                    if (SameText(dv.Name, name)) {
                        dv.Value = VarIsStr(v) ? QuotedStr(VarToStr(v)) : VarToStr(v);
                        return;
                    }
                if (scriptView_ && !VarIsNull(scriptView_->GetPropValue(name))) {
                    scriptView_->SetPropValue(name, v);
                    return;
                }
                size_t dot = name.rfind('.');
                if (dot != std::string::npos)
                    if (TRMView* o = FindObject(name.substr(0, dot))) {
                        o->SetPropValue(name.substr(dot + 1), v);
                        return;
                    }
                Variables[u] = v;
            },
            [this] { return Terminated; });
    } catch (const Exception& e) {
        ScriptError = e.Message;
        BuildErrors.push_back(e.Message);
    }
    scriptView_ = was;
}

bool TRMReport::doFunction(const TRMFuncCall& c, Variant& r) {
    if (builder_ && builder_->aggregate(c, r)) return true;
    const std::string& n = c.Name;
    if (n == "INC" || n == "DEC") {
        std::string u = UpperCase(Trim(c.ArgTexts.empty() ? "" : c.ArgTexts[0]));
        Variant cur = Variables.count(u) ? Variables[u] : Variant(0);
        Variables[u] = RMToNumber(cur) + (n == "INC" ? 1 : -1);
        r = Null();
        return true;
    }
    if (n == "STOPREPORT") {
        Terminated = true;
        r = Null();
        return true;
    }
    if (n == "NEWPAGE" && builder_) {
        builder_->newPage();
        r = Null();
        return true;
    }
    if (n == "SHOWBAND" && builder_) {
        if (auto* b = builder_->bandNamed(Trim(VarToStr(c.Arg(0))))) builder_->printBand(b);
        r = Null();
        return true;
    }
    if (n == "SUM" || n == "AVG" || n == "MAX" || n == "MIN" || n == "COUNT") {
        r = 0;
        return true;
    }
    if (n == "GETARRAY") {
        auto it = Variables.find(UpperCase("Arr_" + VarToStr(c.Arg(0)) + "_" + VarToStr(c.Arg(1))));
        r = it == Variables.end() ? Variant(Null()) : it->second;
        return true;
    }
    if (n == "SETARRAY") {
        Variables[UpperCase("Arr_" + VarToStr(c.Arg(0)) + "_" + VarToStr(c.Arg(1)))] = c.Arg(2);
        r = Null();
        return true;
    }
    return false;
}

bool TRMReport::getValue(const std::string& name, bool bracketed, Variant& v) {
    if (OnGetValue && OnGetValue(name, v)) return true;
    std::string n = Trim(name);
    std::string u = UpperCase(n);
    // Names of the build.
    if (u == "PAGE#") return v = PageNo + 1, true;
    if (u == "TOTALPAGES#") return v = TotalPages, true;
    if (u == "DATE") return v = TDateTime(Date()), true;
    if (u == "TIME") return v = TDateTime(Time()), true;
    if (u == "DATETIME#") return v = TDateTime(Now()), true;
    if (u == "LINE#") return v = builder_ ? builder_->lineNo : 0, true;
    if (u == "LINETHOUGH#" || u == "LINETHROUGH#") return v = builder_ ? builder_->lineThrough : 0, true;
    if (u == "COLUMN#") return v = builder_ ? builder_->column + 1 : 1, true;
    if (u == "FINALPASS") return v = FinalPass ? 1 : 0, true;
    if (u == "APPLICATIONPATH#") return v = ExeDir(), true;
    // Dictionary variables are expressions; one that refers to itself,
    // directly or through others, gives Null instead of recursing.
    if (const TRMVariable* dv = Dictionary.FindVariable(n)) {
        if (evaluating_.count(u)) {
            BuildErrors.push_back("变量循环引用: " + n);
            return v = Null(), true;
        }
        evaluating_.insert(u);
        try {
            v = Trim(dv->Value).empty() ? Variant(Null()) : Calc(dv->Value);
        } catch (...) {
            evaluating_.erase(u);
            throw;
        }
        evaluating_.erase(u);
        return true;
    }
    // DataSet."Field" or DataSet.Field (the last dot outside quotes).
    size_t dot = std::string::npos;
    bool q = false;
    for (size_t i = 0; i < n.size(); ++i) {
        if (n[i] == '"')
            q = !q;
        else if (n[i] == '.' && !q)
            dot = i;
    }
    if (dot != std::string::npos) {
        std::string dsn = n.substr(0, dot), f = n.substr(dot + 1);
        if (TRMDataset* d = TRMDataset::Find(dsn, Owner())) {
            v = d->FieldValue(f);
            if (!VarIsEmpty(v)) return true;
        }
        // A data set of the report's owner, as a window's own query.
        if (Owner())
            if (auto* ds = dynamic_cast<TDataSet*>(Owner()->FindComponent(dsn)); ds && ds->Active()) {
                std::string fn = f;
                if (fn.size() >= 2 && fn.front() == '"' && fn.back() == '"') fn = fn.substr(1, fn.size() - 2);
                if (TField* fd = ds->FindField(fn)) {
                    v = VarIsNull(fd->Value()) ? Variant(std::string()) : fd->Value();
                    return true;
                }
            }
        // Object.Property
        if (TRMView* o = FindObject(dsn)) {
            v = o->GetPropValue(f);
            return true;
        }
    }
    // A field of the data set being printed.
    if (builder_ && builder_->curData) {
        v = builder_->curData->FieldValue(n);
        if (!VarIsEmpty(v)) return true;
    }
    auto it = Variables.find(u);
    if (it != Variables.end()) return v = it->second, true;
    if (u == "CURY") return v = builder_ ? builder_->curY : 0, true;
    if (u == "PAGEWIDTH" || u == "PAGEHEIGHT") {
        TRMPage* p = builder_ && builder_->page ? builder_->page : (Pages.Count() ? Pages[0] : nullptr);
        if (p) return v = u == "PAGEWIDTH" ? p->PaperWidthPx() : p->PaperHeightPx(), true;
    }
    if (bracketed) {
        // Fields of any data set in use.
        if (builder_)
            for (auto& d : builder_->ownedDs) (void)d;
    }
    return false;
}

bool TRMReport::PrepareReport() {
    BuildErrors.clear();
    Terminated = false;
    // The design is kept and restored whole, whatever the build changes.
    TMemoryStream design;
    SaveToStream(design);
    Pages.RemoveRegions();
    TRMBuilder b(this);
    builder_ = &b;
    bool ok = true;
    RMPreparedMode = true;
    auto build = [&] {
        try {
            if (DoublePass) {
                FinalPass = false;
                TotalPages = 0;
                b.run();
                TotalPages = EMFPages.Count();
            }
            FinalPass = true;
            ok = b.run();
            if (!DoublePass) TotalPages = EMFPages.Count();
        } catch (const Exception& e) {
            BuildErrors.push_back(e.Message);
            ok = false;
        }
    };
    if (ShowProgress && RMProgressRunner)
        RMProgressRunner(this, "正在生成报表", build);
    else
        build();
    RMPreparedMode = false;
    builder_ = nullptr;
    design.SetPosition(0);
    std::string err = LastError;
    LoadFromStream(design);
    LastError = err;
    if (Terminated && DoublePass) EMFPages.Clear();
    return ok && !Terminated;
}
