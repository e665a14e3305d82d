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
#include <optional>

#include "SysUtils.h"
#include "ScopeExit.h"
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

    void assignObjects(bool clear = true) {
        if (clear) objectsOf.clear();
        if (clear) crossCells.clear();
        // Horizontal bands hold the objects; an object that also lies
        // within a cross-tab column is a cell of both.
        std::vector<TRMBandView*> all;
        for (auto& o : page->Objects)
            if (o->ObjectType == rmgtBand) {
                auto* b = static_cast<TRMBandView*>(o.get());
                if (!isCross(b)) all.push_back(b);
            }
        for (auto& o : page->Objects) {
            if (o->ObjectType == rmgtBand) continue;
            for (TRMBandView* b : all)
                if (o->Top >= b->Top && o->Top < b->Top + b->Height) {
                    o->ParentBand = reinterpret_cast<TRMBand*>(b);
                    if (TRMBandView* cb = crossBandAt(o->Left))
                        crossCells[b].push_back({cb, o.get()});
                    else
                        objectsOf[b].push_back(o.get());
                    break;
                }
        }
    }

    // ---- cross-tabs
    static bool isCross(TRMBandView* b) { return b->BandType() >= bkCrossHeader && b->BandType() <= bkCrossFooter; }
    // The vertical band of a kind: the last of it in the page's list.
    TRMBandView* crossBand(TRMBandKind k) {
        TRMBandView* r = nullptr;
        for (auto& o : page->Objects)
            if (o->ObjectType == rmgtBand && static_cast<TRMBandView*>(o.get())->BandType() == k)
                r = static_cast<TRMBandView*>(o.get());
        return r;
    }
    TRMBandView* crossBandAt(int x) {
        for (TRMBandKind k : {bkCrossHeader, bkCrossData, bkCrossFooter})
            if (TRMBandView* cb = crossBand(k); cb && x >= cb->Left && x < cb->Left + cb->Width) return cb;
        return nullptr;
    }
    std::map<TRMBandView*, std::vector<std::pair<TRMBandView*, TRMView*>>> crossCells;
    int crossColumn = 0;
    // While a cross column prints: the row's data set, for row fields.
    TRMDataset* rowData = nullptr;

    // The cells of row band b: the header column, one column per record of
    // the cross data band's data set side by side, then the footer column.
    // Columns that would pass the printable right edge are left out.
    void printCross(TRMBandView* b, int y, int dx) {
        auto it = crossCells.find(b);
        if (it == crossCells.end()) return;
        int right = page->PrintableLeft() + page->PrintableWidth() + dx;
        auto cells = [&](TRMBandView* cb, int shift) {
            for (auto& [band, o] : it->second) {
                if (band != cb) continue;
                if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
                if (!o->Visible) continue;
                if (auto* m = dynamic_cast<TRMMemoView*>(o))
                    m->Memo1 = noDataMode ? TRMLines{} : expandMemo(m);
                else {
                    o->Memo1.clear();
                    for (auto& l : o->Memo) o->Memo1.push_back(R->ExpandVariables(l, o));
                }
                writeObject(o, y + (o->Top - b->Top), o->Height, dx + shift);
            }
        };
        int x = 0;
        crossColumn = 0;
        if (TRMBandView* h = crossBand(bkCrossHeader)) {
            if (!h->OnBeforePrint.empty()) R->RunScript(h->OnBeforePrint, h);
            cells(h, 0);
            x = h->Left + h->Width;
        }
        if (TRMBandView* d = crossBand(bkCrossData)) {
            if (x == 0) x = d->Left;
            if (TRMDataset* ds = datasetOf(d)) {
                TRMDataset* was = curData;
                try {
                    ds->Init();
                    ds->First();
                    while (!ds->Eof() && !R->Terminated) {
                        ++crossColumn;
                        curData = ds;
                        rowData = was;
                        if (!d->OnBeforePrint.empty()) R->RunScript(d->OnBeforePrint, d);
                        if (x + d->Width + dx > right) break;
                        cells(d, x - d->Left);
                        x += d->Width;
                        curData = was;
                        ds->Next();
                    }
                } catch (const Exception& e) {
                    R->BuildErrors.push_back(e.Message);
                }
                curData = was;
                rowData = nullptr;
                ds->Exit();
            }
        }
        if (TRMBandView* f = crossBand(bkCrossFooter)) {
            if (x == 0) x = f->Left;
            if (!f->OnBeforePrint.empty()) R->RunScript(f->OnBeforePrint, f);
            if (x + f->Width + dx <= right) cells(f, x - f->Left);
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
    void registerAggregates(bool clear = true) {
        if (clear) aggs.clear();
        size_t errors = R->BuildErrors.size();
        aggregateSetup = true;
        for (auto& [b, objs] : objectsOf) {
            if (b->Parent && b->Parent != page) continue;
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
        R->BuildErrors.resize(errors); // found while registering, not errors of the build
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
    void prepareCalcMemos(bool clear = true) {
        if (clear) calcMemos.clear();
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

    // Page-level work (new pages, their headers and footers, columns)
    // belongs to the page being built, also while a sub-report's page
    // prints its bands inside it.
    TRMPage* runPage = nullptr;
    int subDx = 0;
    struct OnRunPage {
        TRMBuilder& b;
        TRMPage* page;
        int dx;
        explicit OnRunPage(TRMBuilder& x) : b(x), page(x.page), dx(x.subDx) {
            if (b.runPage) b.page = b.runPage;
            b.subDx = 0;
        }
        ~OnRunPage() {
            b.page = page;
            b.subDx = dx;
        }
    };

    void startPage() {
        OnRunPage on(*this);
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
        // Cleared first: a title whose sub-report runs onto the next page
        // must not start the run again there.
        bool first = firstPageOfRun;
        firstPageOfRun = false;
        if (first)
            if (auto* t = band(bkTitle)) printBand(t);
        if (auto* ph = band(bkPageHeader))
            if (!first || (ph->Flags & bfOnFirstPage)) printBand(ph);
        if (auto* ch = band(bkColumnHeader)) printBand(ch);
    }
    void finishPage(bool last) {
        OnRunPage on(*this);
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
        std::optional<OnRunPage> on(std::in_place, *this);
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
        on.reset();
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

    // The field a picture object is bound to: its text "[Field]".
    static std::optional<std::string> blobField(TRMPictureView* p) {
        if (p->Memo.empty()) return std::nullopt;
        std::string t = Trim(p->Memo[0]);
        if (t.size() < 3 || t.front() != '[' || t.back() != ']') return std::nullopt;
        return t;
    }

    // Prints band b with its top at y (no page logic).
    void printAt(TRMBandView* b, int y, int dx, int height = -1) {
        TRMBandView* was = curBand;
        curBand = b;
        int bh = height >= 0 ? height : b->Height;
        dx += subDx;
        for (TRMView* o : objectsOf[b]) {
            if (o->ObjectType == rmgtSubReport) continue;
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
            } else if (auto* pv = dynamic_cast<TRMPictureView*>(o); pv && blobField(pv)) {
                // A picture bound to a field shows the field's picture for
                // this row and keeps its own for the design.
                TRMPictureData own = pv->Picture;
                uint8_t blobType = pv->BlobType;
                try {
                    pv->GetBlob(R->Calc(*blobField(pv)), noDataMode);
                } catch (const Exception& e) {
                    R->BuildErrors.push_back(e.Message);
                    pv->Picture = TRMPictureData();
                }
                pv->Memo1.clear();
                writeObject(o, top, h, dx);
                pv->Picture = own;
                pv->BlobType = blobType;
                continue;
            } else {
                o->Memo1.clear();
                for (auto& l : o->Memo) o->Memo1.push_back(R->ExpandVariables(l, o));
            }
            writeObject(o, top, h, dx);
        }
        printCross(b, y, dx);
        curBand = was;
    }

    // The band's sub-reports print their pages' bands inside it, from the
    // sub-report's place on: one after another, and below the band when
    // they end lower. Their rows break pages as the band's own would.
    int subDepth = 0;
    void runSubReports(TRMBandView* b, int bandTop) {
        std::vector<TRMSubReportView*> subs;
        for (TRMView* o : objectsOf[b])
            if (o->ObjectType == rmgtSubReport && o->Visible) subs.push_back(static_cast<TRMSubReportView*>(o));
        if (subs.empty()) return;
        if (subDepth >= 8) {
            R->BuildErrors.push_back("子报表嵌套过深: " + b->Name);
            return;
        }
        int startPageNo = R->PageNo;
        int lowest = curY;
        for (TRMSubReportView* sr : subs) {
            if (sr->SubPage < 0 || sr->SubPage >= R->Pages.Count() || R->Pages[sr->SubPage] == page) continue;
            TRMPage* sp = R->Pages[sr->SubPage];
            TRMPage* was = page;
            int wasDx = subDx;
            TRMDataset* wasData = curData;
            TRMBandView* wasBand = curBand;
            bool samePage = R->PageNo == startPageNo;
            curY = samePage ? bandTop + (sr->Top - b->Top) : curY;
            subDx += sr->Left - sp->PrintableLeft();
            page = sp;
            ++subDepth;
            assignObjects(false);
            registerAggregates(false);
            prepareCalcMemos(false);
            if (auto* t = band(bkTitle)) printBand(t);
            if (TRMBandView* md = band(bkMasterData))
                runLevel(md, band(bkMasterHeader), band(bkMasterFooter), bkDetailData);
            if (auto* s = band(bkSummary)) printBand(s);
            --subDepth;
            page = was;
            subDx = wasDx;
            curData = wasData;
            curBand = wasBand;
            lowest = R->PageNo == startPageNo ? std::max(lowest, curY) : curY;
        }
        curY = R->PageNo == startPageNo ? std::max(lowest, bandTop + b->Height) : lowest;
    }

    // A band that may be split and does not fit: what fits prints here,
    // memos cut between lines, and the rest continues at the top of the
    // next page; an object that cannot be cut moves there whole.
    void printSplit(TRMBandView* b, int bh) {
        struct Piece {
            TRMView* o;
            int top, height;
            TRMLines lines; // memos: the lines still to print
            bool memo = false;
        };
        std::vector<Piece> pending;
        for (TRMView* o : objectsOf[b]) {
            if (o->ObjectType == rmgtSubReport) continue;
            if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
            if (!o->Visible) continue;
            Piece pc{o, o->Top - b->Top, o->Height, {}};
            if (auto* c = dynamic_cast<TRMCalcMemoView*>(o)) {
                c->Memo1 = expandCalcMemo(c);
                pc.lines = c->Memo1;
            } else if (auto* m = dynamic_cast<TRMMemoView*>(o)) {
                m->Memo1 = noDataMode && !(m->Flags2 & 0x10) ? TRMLines{} : expandMemo(m);
                if (m->Flags & flWordWrap) m->Memo1 = m->WrapLines(m->Memo1, m->Width - m->GapX * 2);
                pc.lines = m->Memo1;
                pc.memo = true;
                if ((m->Flags & flStretched) && (b->Flags & bfStretched)) pc.height = std::max(pc.height, bh - pc.top);
            } else {
                o->Memo1.clear();
                for (auto& l : o->Memo) o->Memo1.push_back(R->ExpandVariables(l, o));
            }
            pending.push_back(pc);
        }
        auto put = [&](Piece& pc, const TRMLines& lines, int height) {
            pc.o->Memo1 = lines;
            uint16_t f = pc.o->Flags;
            pc.o->Flags &= ~flWordWrap; // written wrapped
            writeObject(pc.o, curY + pc.top, height, colX + subDx);
            pc.o->Flags = f;
            if (auto* c = dynamic_cast<TRMCalcMemoView*>(pc.o)) calcWritten(c);
        };
        bool afterBreak = false;
        while (!pending.empty() && !R->Terminated) {
            int room = bottom - curY;
            int used = 0;
            std::vector<Piece> rest;
            for (Piece& pc : pending) {
                if (pc.top >= room) {
                    pc.top -= room;
                    rest.push_back(pc);
                } else if (pc.top + pc.height <= room) {
                    put(pc, pc.lines, pc.height);
                    used = std::max(used, pc.top + pc.height);
                } else if (pc.memo) {
                    auto* m = static_cast<TRMMemoView*>(pc.o);
                    int k = std::min<int>(m->LinesFitting(room - pc.top), int(pc.lines.size()));
                    if (k > 0 && k < int(pc.lines.size())) {
                        put(pc, TRMLines(pc.lines.begin(), pc.lines.begin() + k), room - pc.top);
                        used = room;
                        pc.lines.erase(pc.lines.begin(), pc.lines.begin() + k);
                        m->Memo1 = pc.lines;
                        pc.height = std::max(pc.height - (room - pc.top), m->CalcHeight());
                        pc.top = 0;
                    } else if (k > 0) {
                        put(pc, pc.lines, room - pc.top);
                        used = room;
                        continue;
                    } else if (afterBreak && pc.top == 0) {
                        put(pc, pc.lines, room); // taller than a page: cut
                        used = room;
                        continue;
                    } else {
                        pc.top = 0;
                    }
                    rest.push_back(pc);
                } else if (afterBreak && pc.top == 0) {
                    put(pc, pc.lines, room);
                    used = room;
                } else {
                    pc.top = 0;
                    rest.push_back(pc);
                }
            }
            pending = std::move(rest);
            if (pending.empty()) {
                curY += used;
                break;
            }
            newPage();
            afterBreak = true;
        }
    }

    // Prints b at the current position, breaking the page first when it
    // does not fit; then its child band.
    void printBand(TRMBandView* b, bool withChild = true, TRMBandView* repeatHeader = nullptr) {
        if (!b) return;
        curBand = b;
        if (!b->OnBeforePrint.empty()) R->RunScript(b->OnBeforePrint, b);
        if (!b->Visible) return;
        int h = bandHeight(b);
        if ((b->Flags & bfBreaked) && curY + h > bottom && h > 0 && b->BandType() != bkPageFooter &&
            b->BandType() != bkOverlay && b->BandType() != bkColumnFooter) {
            printSplit(b, h);
        } else {
            need(h, repeatHeader);
            printAt(b, curY, colX, h);
            int top = curY;
            curY += h;
            runSubReports(b, top);
        }
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
        for (int i = 0; i < R->Pages.Count(); ++i)
            for (auto& o : R->Pages[i]->Objects)
                if (o->ObjectType == rmgtSubReport) {
                    int sp = static_cast<TRMSubReportView*>(o.get())->SubPage;
                    if (sp >= 0 && sp < R->Pages.Count() && sp != i) R->Pages[sp]->IsSubReportPage = true;
                }
        for (int i = 0; i < R->Pages.Count() && !R->Terminated; ++i) {
            TRMPage* p = R->Pages[i];
            if (p->PageType != 0 || p->IsSubReportPage) continue;
            runPage = p;
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
        {
            ScopeExit restore([&] { evaluating_.erase(u); });
            v = Trim(dv->Value).empty() ? Variant(Null()) : Calc(dv->Value);
        }
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
    if (builder_ && builder_->rowData) {
        v = builder_->rowData->FieldValue(n);
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
    if (ok && !Terminated && PrintPagePerPage && EMFPages.Count() > 0) EMFPages.RegroupPagePerPage();
    return ok && !Terminated;
}
