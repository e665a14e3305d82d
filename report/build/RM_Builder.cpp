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
#include <string_view>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "Application.h"
#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"
#include "ScopeExit.h"
#include "report/model/RM_Control.h"
#include "report/model/RM_Register.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_FuncLib.h"
#include "report/script/RM_Interp.h"

namespace {
// The stream a built page is written into. Its bytes move into the page
// when the page ends, and the next page writes into spare memory of the
// report's earlier pages (TRMEMFPages::TakeSpareBytes), never copied.
class TRMPageBytes : public TMemoryStream {
public:
    std::string Swap(std::string fresh) {
        std::string b = std::exchange(data_, std::move(fresh));
        data_.clear();
        pos_ = 0;
        return b;
    }
    void Give(std::string bytes) {
        data_ = std::move(bytes);
        pos_ = int64_t(data_.size());
    }
};

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
    // For a cross cell: the cross band (column) the cell stands in.
    TRMBandView* Cross = nullptr;
    Acc A;
    std::map<int, Acc> Col; // per cross column, for a cell under the data column
    void Reset() {
        A.Reset();
        Col.clear();
    }
};
} // namespace

class TRMBuilder {
public:
    explicit TRMBuilder(TRMReport* r) : R(r), was_{CurReport, MasterReport, CurPage, CurBand, CurView} {
        CurReport = MasterReport = r;
        page = nullptr;
        curBand = nullptr;
        curView = nullptr;
        RMWatchers().clear();
    }
    ~TRMBuilder() {
        RMWatchers().clear();
        CurReport = was_.Report;
        MasterReport = was_.Master;
        CurPage = was_.Page;
        CurBand = was_.Band;
        CurView = was_.View;
    }
    TRMReport* R;

private:
    // What the engine was working on before this build, put back after it.
    struct {
        TRMReport* Report;
        TRMReport* Master;
        TRMPage* Page;
        TRMBandView* Band;
        TRMView* View;
    } was_;

public:
    // Build state. The page, band and object being worked on are the
    // engine's own (CurPage, CurBand, CurView), which scripts and the
    // designer's services read.
    TRMPage*& page = CurPage;
    int designPageNo = 1;
    TRMEMFPageRec* out = nullptr;
    TRMPageBytes stream;
    int curY = 0, bottom = 0, colX = 0, column = 0;
    int lineNo = 0, lineThrough = 0;
    int recordCount = 0; // records printed in this pass, every level ("Current#")
    bool firstPageOfRun = true;
    bool aggregateSetup = false;
    TRMBandView*& curBand = CurBand;
    TRMDataset* curData = nullptr;
    std::map<TRMBandView*, std::vector<Aggregate>> aggs; // per footer band
    std::map<TRMBandView*, std::vector<TRMView*>> objectsOf;
    std::vector<std::unique_ptr<TRMDataset>> ownedDs;

    // ---- build errors
    // The object being printed, named by the error that stops the build.
    TRMView*& curView = CurView;
    void fail(const std::string& message) { RMDataSetError(R, message, curView); }

    // The first pass of a two-pass build lays the bands out and counts the
    // pages, but of the objects only runs their scripts (and lets the
    // aggregate memos keep their values): no text is filled in, so a text
    // that asks (INPUT) asks once, in the final pass. A split band is the
    // exception: where it splits depends on its texts.
    bool firstPass() const { return R->DoublePass && !R->FinalPass; }

    // ---- band events
    // OnBeginBand and OnEndBand come once around a band's whole print,
    // its page breaks, child and sub-reports included; a band printed
    // outside such a print (a page footer, an overlay, a repeated header,
    // a blank row) gets its own pair.
    TRMBandView* eventBand = nullptr;
    // SHOWBAND from a script prints the band without asking the program.
    bool askBand = true;
    struct BandEvents {
        TRMBuilder& x;
        TRMBandView* b;
        TRMBandView* was;
        BandEvents(TRMBuilder& x, TRMBandView* b) : x(x), b(b), was(x.eventBand) {
            x.eventBand = b;
            if (x.R->OnBeginBand) x.R->OnBeginBand(b);
        }
        ~BandEvents() {
            x.eventBand = was;
            if (x.R->OnEndBand) x.R->OnEndBand(b);
        }
    };
    // OnBeforePrintBand: false when the program leaves the band out.
    bool bandWanted(TRMBandView* b) {
        if (!R->OnBeforePrintBand || !askBand) return true;
        bool print = true;
        R->OnBeforePrintBand(b, print);
        return print;
    }
    // OnBeforePrint: true when the program gave the object lines of its
    // own, which print as they are.
    bool ownLines(TRMView* o, TRMLines& lines) {
        if (!R->OnBeforePrint || aggregateSetup) return false;
        lines = o->Memo;
        R->OnBeforePrint(lines, o);
        return lines != o->Memo;
    }
    // The lines of an object that is not a memo.
    TRMLines expandLines(TRMView* o) {
        TRMLines out;
        if (ownLines(o, out)) return out;
        out.clear();
        for (auto& l : o->Memo) out.push_back(R->ExpandVariables(l, o));
        return out;
    }

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
        if (n.empty() && b->BandType() == bkMasterData && R->ReportType == rtSimple && R->Dataset())
            return R->Dataset();
        if (n.empty()) n = "1";
        int cnt;
        if (TryStrToInt(n, cnt)) {
            ownedDs.push_back(std::make_unique<TRMCountDataset>(cnt));
            return ownedDs.back().get();
        }
        TRMDataset* d = TRMDataset::Find(n, R->Owner());
        if (!d) fail("未找到数据集: " + n);
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
                // A page assigned again (a sub-report's, once per print)
                // starts its bands afresh.
                objectsOf.erase(b);
                crossCells.erase(b);
            }
        // Objects that watch the others print start with the page.
        for (auto& o : page->Objects)
            if (o->ObjectType != rmgtBand && (o->Flags & flWatcher) &&
                std::find(RMWatchers().begin(), RMWatchers().end(), o.get()) == RMWatchers().end()) {
                RMWatchers().push_back(o.get());
                o->WatchStart();
            }
        std::vector<TRMView*>& loose = looseObjects[page];
        loose.clear();
        for (auto& o : page->Objects) {
            if (o->ObjectType == rmgtBand) continue;
            bool placed = false;
            for (TRMBandView* b : all)
                if (o->Top >= b->Top && o->Top < b->Top + b->Height) {
                    o->ParentBand = reinterpret_cast<TRMBand*>(b);
                    if (TRMBandView* cb = crossBandAt(o->Left))
                        crossCells[b].push_back({cb, o.get()});
                    else
                        objectsOf[b].push_back(o.get());
                    placed = true;
                    break;
                }
            // On no band: printed on every page where it stands.
            if (!placed && o->ObjectType != rmgtSubReport) loose.push_back(o.get());
        }
    }
    std::map<TRMPage*, std::vector<TRMView*>> looseObjects;
    // The objects on no band, at their places, on a page just begun.
    void printLoose(TRMPage* p) {
        auto it = looseObjects.find(p);
        if (it == looseObjects.end()) return;
        TRMBandView* was = curBand;
        curBand = nullptr;
        for (TRMView* o : it->second) {
            curView = o;
            if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
            if (!o->Visible || firstPass()) continue;
            o->Memo1 = dynamic_cast<TRMMemoView*>(o) ? expandMemo(o) : expandLines(o);
            writeObject(o, o->Top, o->Height, 0);
        }
        curView = nullptr;
        curBand = was;
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
    // Columns that pass the printable right edge continue on the following
    // built pages at the same height, as many pages to the right as they
    // need; the header column comes again there when it repeats.
    void printCross(TRMBandView* b, int y, int dx) {
        // The page header printed on a page that columns added holds no
        // columns of its own there.
        auto it = crossCells.find(b);
        if (it == crossCells.end() || b->BandType() == bkPageFooter || inCross) return;
        inCross = true;
        struct Done {
            bool& f;
            ~Done() { f = false; }
        } done{inCross};
        int right = page->PrintableLeft() + page->PrintableWidth();
        const int basePage = R->PageNo;
        int pg = basePage;
        auto cells = [&](TRMBandView* cb, int shift) {
            TRMBandView* wasCross = curCross;
            curCross = cb;
            R->PageNo = pg;
            target = streamOf(pg);
            for (auto& [band, o] : it->second) {
                if (band != cb) continue;
                curView = o;
                if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
                if (!o->Visible || firstPass()) continue;
                if (auto* m = dynamic_cast<TRMMemoView*>(o))
                    m->Memo1 = noDataMode ? TRMLines{} : expandMemo(m);
                else
                    o->Memo1 = expandLines(o);
                if (auto* m = dynamic_cast<TRMMemoView*>(o))
                    writeMemo(m, y + (o->Top - b->Top), o->Height, dx + shift, true);
                else
                    writeObject(o, y + (o->Top - b->Top), o->Height, dx + shift);
            }
            target = &stream;
            R->PageNo = basePage;
            curCross = wasCross;
        };
        if (R->OnBeginColumn) R->OnBeginColumn(b);
        TRMBandView* h = crossBand(bkCrossHeader);
        int x = 0;
        // A column that does not fit moves to the next page to the right.
        auto nextPageCheck = [&](int w) {
            if (x + w + dx <= right) return;
            x = page->PrintableLeft() - dx;
            ++pg;
            crossPage(pg, basePage);
            if (h && (h->Flags & bfRepeatHeader)) {
                cells(h, x - h->Left);
                x += h->Width;
            }
        };
        crossColumn = 0;
        if (h) {
            if (!h->OnBeforePrint.empty()) R->RunScript(h->OnBeforePrint, h);
            cells(h, 0);
            x = h->Left + h->Width;
        }
        if (TRMBandView* d = crossBand(bkCrossData)) {
            if (x == 0) x = d->Left;
            if (TRMDataset* ds = crossDatasetOf(d, b)) {
                TRMDataset* was = curData;
                try {
                    ds->Init();
                    ds->First();
                    // Footers below a list whose columns came from its own
                    // rows keep as many columns as the rows had.
                    if (ds->Eof() && isFooterKind(b) && crossColumnsSeen > 0) {
                        ds->Exit();
                        ownedDs.push_back(std::make_unique<TRMCountDataset>(crossColumnsSeen));
                        ds = ownedDs.back().get();
                        ds->Init();
                        ds->First();
                    }
                    while (!ds->Eof() && !R->Terminated) {
                        ++crossColumn;
                        curData = ds;
                        rowData = was;
                        // The program may give this column another width.
                        int w = d->Width;
                        if (R->OnPrintColumn) R->OnPrintColumn(crossColumn, w);
                        if (!d->OnBeforePrint.empty()) R->RunScript(d->OnBeforePrint, d);
                        nextPageCheck(w);
                        cells(d, x - d->Left);
                        accumulateCross(b, d);
                        x += w;
                        curData = was;
                        ds->Next();
                    }
                } catch (const Exception& e) {
                    fail(e.Message);
                }
                crossColumnsSeen = std::max(crossColumnsSeen, crossColumn);
                curData = was;
                rowData = nullptr;
                ds->Exit();
            }
        }
        if (TRMBandView* f = crossBand(bkCrossFooter)) {
            if (x == 0) x = f->Left;
            if (!f->OnBeforePrint.empty()) R->RunScript(f->OnBeforePrint, f);
            nextPageCheck(f->Width);
            cells(f, x - f->Left);
            // A row's total over its columns starts again on the next row.
            auto ag = aggs.find(b);
            if (ag != aggs.end())
                for (auto& a : ag->second)
                    if (a.Cross == f) a.A.Reset();
        }
    }
    static bool isFooterKind(TRMBandView* b) {
        switch (b->BandType()) {
        case bkMasterFooter:
        case bkDetailFooter:
        case bkSubDetailFooter:
        case bkGroupFooter:
        case bkSummary:
        case bkPageFooter:
        case bkColumnFooter: return true;
        default: return false;
        }
    }
    // The column data set of row band b: the cross data band's own, or
    // the one named for b in a list of "band=data set;" pairs.
    TRMDataset* crossDatasetOf(TRMBandView* d, TRMBandView* b) {
        std::string t = Trim(d->DataSet());
        if (t.find(';') == std::string::npos) return datasetOf(d);
        size_t i = 0;
        while (i < t.size()) {
            size_t eq = t.find('=', i), sc = t.find(';', i);
            if (eq == std::string::npos || sc == std::string::npos || sc < eq) break;
            if (SameText(Trim(t.substr(i, eq - i)), b->Name)) {
                std::string n = Trim(t.substr(eq + 1, sc - eq - 1));
                int cnt;
                if (TryStrToInt(n, cnt)) {
                    ownedDs.push_back(std::make_unique<TRMCountDataset>(cnt));
                    return ownedDs.back().get();
                }
                TRMDataset* r = TRMDataset::Find(n, R->Owner());
                if (!r) fail("未找到数据集: " + n);
                return r;
            }
            i = sc + 1;
        }
        return nullptr;
    }
    // The stream that page pg is written into: the page being built, or a
    // page that cross-tab columns added to its right.
    TMemoryStream* streamOf(int pg) {
        if (pg == curPageIdx) return &stream;
        auto& s = crossStreams[pg];
        if (!s) s = std::make_unique<TMemoryStream>();
        return s.get();
    }
    // Page pg to the right of page basePage, made when it is not there yet:
    // its background, overlay and (not on the report's first page unless
    // it prints there) page header.
    void crossPage(int pg, int basePage) {
        if (pg < R->EMFPages.Count()) return;
        int bk = out->BkPictureIndex;
        TRMEMFPageRec& rec = R->EMFPages.AddPage(page, designPageNo);
        rec.BkPictureIndex = uint8_t(bk);
        auto& s = crossStreams[pg];
        s = std::make_unique<TMemoryStream>();
        RMWriteByte(*s, RMCurrentVersion);
        int savedY = curY;
        int savedPage = R->PageNo;
        R->PageNo = pg;
        target = s.get();
        if (auto* ov = band(bkOverlay)) printAt(ov, ov->Top, 0);
        if (auto* ph = band(bkPageHeader))
            if (basePage != pageRunStart || (ph->Flags & bfOnFirstPage)) printAt(ph, page->PrintableTop(), 0);
        target = &stream;
        R->PageNo = savedPage;
        curY = savedY;
        if (R->OnProgress) R->OnProgress(pg + 1);
    }
    TRMBandView* curCross = nullptr;
    bool inCross = false;
    int crossColumnsSeen = 0;
    TMemoryStream* target = &stream;
    int curPageIdx = 0;
    std::map<int, std::unique_ptr<TMemoryStream>> crossStreams;

    // Totals of cross cells: a footer cell under the data column sums its
    // column over the rows; a cell of the footer column sums its row over
    // the columns; where the footer row meets the footer column, the grand
    // total over rows and columns. Each entry keeps its own count.
    void accumulateCross(TRMBandView* row, TRMBandView* dataColumn) {
        // Only the rows of data count; a footer row shows totals.
        TRMBandKind k = row->BandType();
        if (k != bkMasterData && k != bkDetailData && k != bkSubDetailData) return;
        TRMBandView* footColumn = crossBand(bkCrossFooter);
        for (auto& [owner, list] : aggs)
            for (auto& a : list) {
                bool perColumn = a.Cross == dataColumn && a.DataBand == row && owner != row;
                bool rowTotal = a.Cross == footColumn && footColumn && owner == row;
                bool grand = a.Cross == footColumn && footColumn && owner != row && a.DataBand == row;
                if (!perColumn && !rowTotal && !grand) continue;
                if (a.Func == "COUNT") {
                    (perColumn ? a.Col[crossColumn] : a.A).Add(0);
                    continue;
                }
                try {
                    Variant v = R->Calc(a.Expr);
                    if (VarIsClear(v) || (VarIsStr(v) && Trim(VarToStr(v)).empty())) continue;
                    (perColumn ? a.Col[crossColumn] : a.A).Add(RMToNumber(v));
                } catch (const Exception& e) {
                    fail(e.Message);
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
    void registerAggregates(bool clear = true) {
        if (clear) aggs.clear();
        size_t errors = R->BuildErrors.size();
        aggregateSetup = true;
        TRMView* wasView = curView;
        // Dictionary variables are searched through their expressions.
        TRMVariables dict;
        for (auto& v : R->Dictionary.Variables)
            if (!v.Name.empty() && v.Name[0] != ' ') dict.SetVariable(v.Name, v.Value);
        std::vector<std::string> calls;
        TAggregateFunctionsSplitter split(calls, &dict);
        // Only the totals' calls are evaluated, each once, so that they
        // register with the band (curBand); nothing else of a text or a
        // script runs here.
        auto registerCalls = [&](TRMView* o, bool text) {
            try {
                if (text) split.SplitMemo(o->Memo);
                split.SplitScript(o->OnBeforePrint);
            } catch (const Exception&) {
            }
            curView = o;
            for (const std::string& c : calls) try {
                    R->Calc(c);
                } catch (const Exception&) {
                }
            calls.clear();
        };
        auto isText = [](TRMView* o) { return o->ObjectType == rmgtMemo || o->ObjectType == rmgtCalcMemo; };
        for (auto& [b, objs] : objectsOf) {
            if (b->Parent && b->Parent != page) continue;
            curBand = b;
            registerCalls(b, false);
            for (TRMView* o : objs) registerCalls(o, isText(o));
        }
        for (auto& [b, cells] : crossCells) {
            if (b->Parent && b->Parent != page) continue;
            curBand = b;
            for (auto& [cb, o] : cells) {
                curCross = cb;
                registerCalls(o, isText(o));
            }
        }
        curCross = nullptr;
        curView = wasView;
        R->BuildErrors.resize(errors); // found while registering, not errors of the build
        aggregateSetup = false;
        curBand = nullptr;
    }
    Aggregate* findAgg(TRMBandView* footer, const std::string& f, const std::string& e, bool hidden) {
        auto it = aggs.find(footer);
        if (it == aggs.end()) return nullptr;
        // The header column is a column of the row like any other.
        TRMBandView* cross = curCross && curCross->BandType() != bkCrossHeader ? curCross : nullptr;
        for (auto& a : it->second)
            if (a.Func == f && a.Expr == e && a.Cross == cross && a.IncludeInvisible == hidden) return &a;
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
            if (!findAgg(curBand, f, expr, Trim(flag) == "1")) {
                Aggregate a;
                a.Func = f;
                a.Expr = expr;
                a.DataBand = bandName.empty() ? defaultDataBandFor(curBand) : bandNamed(Trim(bandName));
                a.IncludeInvisible = Trim(flag) == "1";
                if (curCross && curCross->BandType() != bkCrossHeader) a.Cross = curCross;
                aggs[curBand].push_back(a);
            }
            r = 0;
            return true;
        }
        Aggregate* a = findAgg(curBand, f, expr, Trim(flag) == "1");
        if (!a) {
            r = 0;
            return true;
        }
        const Acc& x = a->Cross && a->Cross->BandType() == bkCrossData ? a->Col[crossColumn] : a->A;
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
            // A user total's expressions read the memo's own properties
            // ("CalcValue") by their bare names.
            TRMView* wasView = std::exchange(R->curView_, c);
            ScopeExit restoreView([&] { R->curView_ = wasView; });
            if (!c->Started) {
                c->AvgTotal = 0;
                c->AvgCount = 0;
                switch (c->DBCalcType) {
                case rmdcMax: c->CalcValue = -1e300; break;
                case rmdcMin: c->CalcValue = 1e300; break;
                case rmdcUser: try { c->CalcValue = RMToNumber(R->Calc(c->IntalizeValue));
                    } catch (const Exception& e) {
                        fail(e.Message);
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
                fail(e.Message);
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
        R->currentValue_ = v; // what "VALUE" reads in its highlight condition
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
        if (record([=, this] {
                accumulate(dataBand, visible);
                return false;
            }))
            return;
        accumulateCalc(dataBand, visible);
        for (auto& [footer, list] : aggs)
            for (auto& a : list) {
                if (a.DataBand != dataBand || (!visible && !a.IncludeInvisible)) continue;
                if (a.Cross) continue; // cross cells count per column
                if (a.Func == "COUNT") {
                    a.A.Add(0);
                    continue;
                }
                try {
                    Variant v = R->Calc(a.Expr);
                    if (VarIsClear(v) || (VarIsStr(v) && Trim(VarToStr(v)).empty())) continue;
                    a.A.Add(RMToNumber(v));
                } catch (const Exception& e) {
                    fail(e.Message);
                }
            }
    }
    void resetTotals(TRMBandView* footer) {
        if (record([=, this] {
                resetTotals(footer);
                return false;
            }))
            return;
        auto it = aggs.find(footer);
        if (it != aggs.end())
            for (auto& a : it->second) a.Reset();
    }

    // ---- pages
    int bandHeight(TRMBandView* b) {
        int h = b->Height;
        if (!(b->Flags & bfStretched)) return h;
        for (TRMView* o : objectsOf[b]) {
            if (auto* m = dynamic_cast<TRMMemoView*>(o); m && (m->Flags & flStretched)) {
                curView = m;
                m->Memo1 = expandMemo(m);
                if (suppressedHere(m, colX + subDx)) continue; // prints empty
                h = std::max(h, (m->Top - b->Top) + m->CalcHeight());
            }
        }
        curView = nullptr;
        return h;
    }
    // The data field a text that is one bracketed reference names ("[Name]",
    // "[Books."Name"]"): empty when the text is none or the field is not
    // one of a data set.
    std::string linkedField(TRMView* o) {
        if (o->Flags & flTextOnly) return {};
        std::string t;
        for (size_t i = 0; i < o->Memo.size(); ++i) t += (i ? "\r\n" : "") + o->Memo[i];
        if (t.size() <= 2 || t[0] != '[') return {};
        while (t.size() > 1 && t.back() != ']') t.pop_back();
        if (t.size() <= 2) return {};
        std::string ref = t.substr(1, t.size() - 2);
        // A field the dictionary knows, of the band's data, or of a data
        // set named before a dot.
        R->Dictionary.ResolveField(ref);
        if (R->Dictionary.CachedField(ref)) return ref;
        auto isField = [](TRMDataset* d, const std::string& f) { return d && !VarIsEmpty(d->FieldValue(f)); };
        if (isField(curData, ref)) return ref;
        const size_t dot = RMLastDotOutsideQuotes(ref);
        if (dot == std::string::npos) return {};
        return isField(TRMDataset::Find(ref.substr(0, dot), R->Owner()), RMRemoveQuotes(ref.substr(dot + 1)))
                   ? ref
                   : std::string();
    }
    TRMLines expandMemo(TRMView* o) {
        TRMLines out;
        if (ownLines(o, out)) return out;
        out.clear();
        if (o->Flags & flTextOnly) return o->Memo;
        const TRMLines* text = &o->Memo;
        TRMLines linked;
        if (o->ObjectType == rmgtMemo && (o->Flags2 & mfDataFieldOnly)) {
            // Only the linked field, formatted as any field; nothing else
            // of the text is read.
            std::string f = linkedField(o);
            if (f.empty()) return out;
            linked.push_back("[" + f + "]");
            text = &linked;
        }
        for (auto& line : *text) RMAddTextLines(out, R->ExpandVariables(line, o));
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
        curPageIdx = R->EMFPages.Count() - 1;
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
        groupsOnPage.clear();
        headerPlace.clear();
        if (auto* ov = band(bkOverlay)) printAt(ov, ov->Top, 0);
        printLoose(page);
        // Cleared first: a title whose sub-report runs onto the next page
        // must not start the run again there.
        bool first = firstPageOfRun;
        firstPageOfRun = false;
        if (first && !R->OnManualBuild)
            if (auto* t = band(bkTitle)) printBand(t);
        if (auto* ph = band(bkPageHeader))
            if (!first || (ph->Flags & bfOnFirstPage)) printBand(ph);
        if (auto* ch = band(bkColumnHeader)) printBand(ch);
    }
    void finishPage(bool last, bool footers = true) {
        OnRunPage on(*this);
        if (footers)
            if (auto* cf = band(bkColumnFooter)) printAt(cf, bottom, colX);
        if (auto* pf = footers ? band(bkPageFooter) : nullptr) {
            bool first = R->PageNo == pageRunStart;
            bool ok = true;
            if (first && !(pf->Flags & bfOnFirstPage)) ok = false;
            if (last && !(pf->Flags & bfOnLastPage)) ok = false;
            if (first && last) ok = (pf->Flags & bfOnFirstPage) || (pf->Flags & bfOnLastPage);
            if (ok) {
                curBand = pf;
                printAt(pf, page->PrintableTop() + page->PrintableHeight() - pf->Height, 0);
                // The pages that cross-tab columns added to the right get
                // the footer too, with their own page numbers.
                int here = R->PageNo;
                for (auto& [pg, s] : crossStreams) {
                    R->PageNo = pg;
                    target = s.get();
                    printAt(pf, page->PrintableTop() + page->PrintableHeight() - pf->Height, 0);
                }
                target = &stream;
                R->PageNo = here;
            }
            resetTotals(pf);
        }
        out->Stream = stream.Swap(R->EMFPages.TakeSpareBytes(stream.Bytes().size() + 4096));
        for (auto& [pg, s] : crossStreams) R->EMFPages[pg].Stream = s->Bytes();
        crossStreams.clear();
        if (R->OnEndPage) R->OnEndPage(curPageIdx);
        R->PageNo = R->EMFPages.Count();
        if (R->OnProgress) R->OnProgress(R->PageNo);
    }
    void newPage() {
        finishPage(false);
        startPage();
        clearRepeatedValues();
    }
    int pageRunStart = 0;
    std::map<TRMPage*, int> bkIndex;

    // Room for h pixels, moving to the next column or page when needed;
    // true when it moved.
    bool need(int h, TRMBandView* repeatHeader = nullptr) {
        if (curY + h <= bottom) return false;
        newColumn(repeatHeader);
        return true;
    }
    // The next page column, or a new page after the last column (or when
    // asked for a page), with the headers marked to repeat.
    void newColumn(TRMBandView* repeatHeader, bool wholePage = false) {
        // The group headers that stood at the top of more than one band
        // column here; a new page forgets where headers printed.
        std::map<TRMBandView*, int> spread;
        if (curGroups)
            for (TRMBandView* g : *curGroups)
                if (auto it = headerPlace.find(g); it != headerPlace.end() && it->second.colNo > 1)
                    spread[g] = it->second.height;
        std::optional<OnRunPage> on(std::in_place, *this);
        if (!wholePage && page->Columns > 1 && column + 1 < page->Columns) {
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
        // Headers marked to repeat come again: the group headers above the
        // band that broke the page, then the data header. The groups above
        // it count their groups on the new page or column afresh.
        if (curGroups)
            for (TRMBandView* g : *curGroups) {
                if (g == breaking) break;
                groupsOnPage[g] = 1;
                if (g->Flags & bfRepeatHeader)
                    printBand(g, false);
                else if (auto it = spread.find(g); it != spread.end())
                    curY += it->second; // keeps its place above the columns
            }
        if (repeatHeader && (repeatHeader->Flags & bfRepeatHeader)) printBand(repeatHeader, false);
    }
    const std::vector<TRMBandView*>* curGroups = nullptr; // of the data band running
    TRMBandView* breaking = nullptr;                     // the band that asked for room

    // Bands waiting for the level below to print something: a master row
    // (with its header and group headers) prints only when its detail
    // does, unless it is marked to print with no detail.
    struct Pending {
        TRMBandView *band, *header; // the band and the header it repeats
        TRMDataset* data;           // on the record it waited on
        int lineNo;
    };
    std::vector<Pending> pending;
    bool flushing = false;
    void flushPending() {
        if (flushing || pending.empty()) return;
        flushing = true;
        auto list = std::move(pending);
        pending.clear();
        TRMDataset* wasData = curData;
        int wasLine = lineNo;
        for (auto& p : list) {
            curData = p.data;
            lineNo = p.lineNo;
            printBand(p.band, true, p.header);
        }
        curData = wasData;
        lineNo = wasLine;
        flushing = false;
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
                fail(e.Message);
            }
            if (lit) {
                font = m->Font;
                fill = m->FillColor;
                m->Font.Style = m->HighlightStyle;
                m->Font.Color = m->HighlightColor;
                m->FillColor = m->HighlightFill;
            }
        }
        o->StreamOut(*target);
        if (lit) {
            m->Font = font;
            m->FillColor = fill;
        }
        o->Left = l;
        o->Top = t;
        o->Height = h;
        // A merged record written again is not a new print.
        if (!rewriting)
            for (TRMView* w : RMWatchers()) w->WatchNotify(o);
        if (R->OnAfterPrint && !rewriting) R->OnAfterPrint(o);
    }
    bool rewriting = false;

    // The field a picture object is bound to: its text "[Field]".
    static std::optional<std::string> blobField(TRMPictureView* p) {
        if (p->Memo.empty()) return std::nullopt;
        std::string t = Trim(p->Memo[0]);
        if (t.size() < 3 || t.front() != '[' || t.back() != ']') return std::nullopt;
        return t;
    }

    // Prints band b with its top at y (no page logic).
    void printAt(TRMBandView* b, int y, int dx, int height = -1) {
        std::optional<BandEvents> events;
        if (eventBand != b) events.emplace(*this, b);
        TRMBandView* was = curBand;
        curBand = b;
        int bh = height >= 0 ? height : b->Height;
        dx += subDx;
        for (TRMView* o : objectsOf[b]) {
            if (o->ObjectType == rmgtSubReport) continue;
            curView = o;
            if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
            if (!o->Visible) continue;
            if (firstPass()) {
                if (auto* c = dynamic_cast<TRMCalcMemoView*>(o)) calcWritten(c);
                continue;
            }
            int top = y + (o->Top - b->Top);
            int h = o->Height;
            if (auto* c = dynamic_cast<TRMCalcMemoView*>(o)) {
                c->Memo1 = expandCalcMemo(c);
                writeMemo(c, top, h, dx);
                calcWritten(c);
                continue;
            }
            if (auto* m = dynamic_cast<TRMMemoView*>(o)) {
                // A blank row shows only the memos marked to print there.
                m->Memo1 = noDataMode && !(m->Flags2 & mfPrintAtAppendBlank) ? TRMLines{} : expandMemo(m);
                if ((m->Flags & flStretched) && (b->Flags & bfStretched)) h = std::max(h, bh - (o->Top - b->Top));
                // Written wrapped, so every device shows the lines the
                // page was measured with.
                if (m->Flags & flWordWrap) m->Memo1 = m->PrewrapLines(m->Memo1);
            } else if (auto* pv = dynamic_cast<TRMPictureView*>(o); pv && blobField(pv)) {
                // A picture bound to a field shows the field's picture for
                // this row and keeps its own for the design.
                TRMPictureData own = pv->Picture;
                uint8_t blobType = pv->BlobType;
                try {
                    pv->GetBlob(R->Calc(*blobField(pv)), noDataMode);
                } catch (const Exception& e) {
                    fail(e.Message);
                    pv->Picture = TRMPictureData();
                }
                pv->Memo1.clear();
                writeObject(o, top, h, dx);
                pv->Picture = own;
                pv->BlobType = blobType;
                continue;
            } else {
                o->Memo1 = expandLines(o);
            }
            if (auto* m = dynamic_cast<TRMMemoView*>(o))
                writeMemo(m, top, h, dx);
            else
                writeObject(o, top, h, dx);
        }
        printCross(b, y, dx);
        curView = nullptr;
        curBand = was;
    }

    // ---- sub-reports
    // A sub-report's page is first run without printing: what it would do
    // (data moves, band prints, totals) is recorded in order. The band's
    // sub-reports then replay their records side by side, each in its own
    // lane from its place in the band; a lane stops at the first band that
    // does not fit and goes on at the top of the next page, beside the
    // others, until every lane is done. What follows the band comes below
    // the lowest lane on the last page.
    using Op = std::function<bool()>; // true: the band did not fit, run again
    std::vector<Op>* recording = nullptr;
    bool holdBreaks = false;
    struct SubRun;
    struct Lane {
        TRMSubReportView* sr = nullptr;
        TRMPage* page = nullptr;
        std::vector<Op> ops;
        size_t pos = 0;
        int y = 0, dx = 0;
        bool done = false;
        std::unique_ptr<SubRun> pending; // a band of the lane whose own sub-reports go on
    };
    struct SubRun {
        std::vector<Lane> lanes;
        int bottom = 0; // lowest lane end on the page where the run ended
    };
    // Set by a band printed in a lane whose sub-reports did not finish.
    std::unique_ptr<SubRun> unfinished;
    int subDepth = 0;
    // Where lanes start on a page of their own: a band taller than the
    // page prints there cut rather than wait for a page it never fits.
    int holdTop = -1;

    // The data moves of a run, done now and, while recording, again on
    // replay so that each band sees the record it was recorded with.
    void nav(TRMDataset* ds, int op) {
        auto act = [ds, op] {
            switch (op) {
            case 0: ds->Init(); break;
            case 1: ds->First(); break;
            case 2: ds->Next(); break;
            case 3: ds->Prior(); break;
            default: ds->Exit(); break;
            }
        };
        act();
        if (recording)
            recording->push_back([act] {
                act();
                return false;
            });
    }
    // While recording: keeps f (run on replay with the state of now) and
    // says so.
    bool record(std::function<bool()> f) {
        if (!recording) return false;
        TRMDataset* d = curData;
        bool nd = noDataMode;
        int ln = lineNo, lt = lineThrough;
        recording->push_back([this, f, d, nd, ln, lt] {
            TRMDataset* wasData = curData;
            bool wasNd = noDataMode;
            int wasLn = lineNo;
            curData = d;
            noDataMode = nd;
            lineNo = ln;
            lineThrough = lt;
            bool r = f();
            curData = wasData;
            noDataMode = wasNd;
            lineNo = wasLn;
            return r;
        });
        return true;
    }

    struct LaneState {
        TRMBuilder& b;
        TRMPage* page;
        int dx, y;
        TRMDataset* data;
        TRMBandView* band;
        bool hold;
        std::vector<Op>* rec;
        explicit LaneState(TRMBuilder& x)
            : b(x), page(x.page), dx(x.subDx), y(x.curY), data(x.curData), band(x.curBand), hold(x.holdBreaks),
              rec(x.recording) {}
        ~LaneState() {
            b.page = page;
            b.subDx = dx;
            b.curY = y;
            b.curData = data;
            b.curBand = band;
            b.holdBreaks = hold;
            b.recording = rec;
        }
    };

    // Records the lanes of band b's sub-reports; the band's top is bandTop.
    std::unique_ptr<SubRun> startSubReports(TRMBandView* b, int bandTop) {
        auto run = std::make_unique<SubRun>();
        for (TRMView* o : objectsOf[b]) {
            if (o->ObjectType != rmgtSubReport || !o->Visible) continue;
            auto* sr = static_cast<TRMSubReportView*>(o);
            if (sr->SubPage < 0 || sr->SubPage >= R->Pages.Count() || R->Pages[sr->SubPage] == page) continue;
            Lane lane;
            lane.sr = sr;
            lane.page = R->Pages[sr->SubPage];
            lane.y = bandTop + (sr->Top - b->Top);
            lane.dx = subDx + sr->Left - lane.page->PrintableLeft();
            {
                LaneState keep(*this);
                page = lane.page;
                subDx = lane.dx;
                recording = &lane.ops;
                holdBreaks = true;
                assignObjects(false);
                registerAggregates(false);
                prepareCalcMemos(false);
                // A sub-report prints its page's data levels: the page's
                // title, headers, footers and summary belong to a page of
                // its own.
                if (TRMBandView* md = band(bkMasterData))
                    runLevel(md, band(bkMasterHeader), band(bkMasterFooter), bkDetailData);
            }
            run->lanes.push_back(std::move(lane));
        }
        return run;
    }
    // One page of the lanes; true when every lane is done.
    bool stepSubReports(SubRun& run) {
        bool complete = true;
        run.bottom = curY;
        for (Lane& lane : run.lanes) {
            if (lane.done) continue;
            LaneState keep(*this);
            page = lane.page;
            subDx = lane.dx;
            curY = lane.y;
            holdBreaks = true;
            recording = nullptr;
            bool stuck = false;
            if (lane.pending) {
                // Stuck means a page break came between: the lane's own
                // sub-reports go on from the top of this page.
                for (Lane& l : lane.pending->lanes) l.y = curY;
                if (!stepSubReports(*lane.pending))
                    stuck = true;
                else {
                    curY = lane.pending->bottom;
                    lane.pending.reset();
                }
            }
            while (!stuck && lane.pos < lane.ops.size() && !R->Terminated) {
                if (lane.ops[lane.pos]()) {
                    stuck = true;
                    break;
                }
                ++lane.pos;
                if (unfinished) {
                    lane.pending = std::move(unfinished);
                    stuck = true;
                }
            }
            lane.y = curY;
            if (stuck && !R->Terminated)
                complete = false;
            else {
                lane.done = true;
                run.bottom = std::max(run.bottom, curY);
            }
        }
        return complete;
    }
    // The band's sub-reports, page by page until all are done. Inside a
    // lane the band cannot break the page: an unfinished run is handed to
    // the lane (`unfinished`), which goes on with it on the next page.
    void runSubReports(TRMBandView* b, int bandTop) {
        bool any = false;
        for (TRMView* o : objectsOf[b]) any |= o->ObjectType == rmgtSubReport && o->Visible;
        if (!any) return;
        if (subDepth >= 8) {
            fail("子报表嵌套过深: " + b->Name);
            return;
        }
        ++subDepth;
        std::unique_ptr<SubRun> run = startSubReports(b, bandTop);
        --subDepth;
        int startPageNo = R->PageNo;
        ++subDepth;
        bool complete = stepSubReports(*run);
        while (!complete && !R->Terminated) {
            if (holdBreaks) {
                unfinished = std::move(run);
                --subDepth;
                return;
            }
            newPage();
            holdTop = curY;
            for (Lane& l : run->lanes) l.y = curY;
            complete = stepSubReports(*run);
        }
        --subDepth;
        curY = run->bottom;
        if (R->PageNo == startPageNo) curY = std::max(curY, bandTop + b->Height);
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
            curView = o;
            if (!o->OnBeforePrint.empty()) R->RunScript(o->OnBeforePrint, o);
            if (!o->Visible) continue;
            Piece pc{o, o->Top - b->Top, o->Height, {}};
            if (auto* c = dynamic_cast<TRMCalcMemoView*>(o)) {
                c->Memo1 = expandCalcMemo(c);
                pc.lines = c->Memo1;
            } else if (auto* m = dynamic_cast<TRMMemoView*>(o)) {
                m->Memo1 = noDataMode && !(m->Flags2 & mfPrintAtAppendBlank) ? TRMLines{} : expandMemo(m);
                if (m->Flags & flWordWrap) m->Memo1 = m->PrewrapLines(m->Memo1);
                pc.lines = m->Memo1;
                // A repeated value prints empty or merges with the record
                // above: it is not cut, it moves whole like any object.
                pc.memo = !suppressedHere(m, colX + subDx);
                if ((m->Flags & flStretched) && (b->Flags & bfStretched)) pc.height = std::max(pc.height, bh - pc.top);
            } else {
                o->Memo1 = expandLines(o);
            }
            pending.push_back(pc);
        }
        auto put = [&](Piece& pc, const TRMLines& lines, int height) {
            pc.o->Memo1 = lines;
            uint16_t f = pc.o->Flags;
            // Pieces of a text that was not wrapped are already its lines.
            if (!RMHasLineEnds(lines)) pc.o->Flags &= ~flWordWrap;
            // Memos suppress and merge repeated values here as in a band
            // that is not split.
            if (auto* m = dynamic_cast<TRMMemoView*>(pc.o))
                writeMemo(m, curY + pc.top, height, colX + subDx);
            else
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
    // In a sub-report's lane the band does not break the page: true when
    // it did not fit (nothing printed; it runs again on the next page).
    bool printBand(TRMBandView* b, bool withChild = true, TRMBandView* repeatHeader = nullptr) {
        if (!b) return false;
        flushPending();
        if (record([=, this] { return printBand(b, withChild, repeatHeader); })) return false;
        if (!bandWanted(b)) return false;
        BandEvents events(*this, b);
        curBand = b;
        leaveColumns(b);
        runBandScript(b, repeatHeader);
        curBand = b;
        TRMBandView* child = withChild ? bandNamed(b->ChildBand) : nullptr;
        if (!b->Visible) {
            // A hidden band's child prints when it is marked to.
            if (child && (b->Flags & bfPrintChildIfInvisible)) printBand(child, false);
            return false;
        }
        int h = bandHeight(b);
        if (holdBreaks) {
            int full = h + (child && child->Visible ? bandHeight(child) : 0);
            if (curY + full > bottom && curY != holdTop) return true;
            printAt(b, curY, colX, h);
            int top = curY;
            curY += h;
            runSubReports(b, top);
        } else if ((b->Flags & bfBreaked) && curY + h > bottom && h > 0 && b->BandType() != bkPageFooter &&
                   b->BandType() != bkOverlay && b->BandType() != bkColumnFooter) {
            printSplit(b, h);
        } else {
            breaking = b;
            if (atDesignPos.count(b)) curY = b->Top;
            bool moved = groupLimit(b, repeatHeader) || need(h, repeatHeader);
            if (moved && (b->Flags & bfPrintAtDesignPos) && isDataBand(b)) curY = b->Top;
            breaking = nullptr;
            printAt(b, curY, colX, h);
            int top = curY;
            headerPrinted(b, top, h);
            curY += h;
            runSubReports(b, top);
        }
        if ((b->Flags & bfFormNewPage) && !holdBreaks) {
            if (b->BandType() != bkMasterData && b->BandType() != bkDetailData) newPage();
        }
        if (child) printBand(child, false);
        return false;
    }

    // ---- blank rows
    bool noDataMode = false;
    // Empty rows of the data band fill the page down to its footers (or up
    // to LinesPerPage rows), so ruled forms keep their lines.
    void appendBlanks(TRMBandView* data, TRMBandView* footer, int& rowsOnPage) {
        if (record([=, this] {
                int rows = 0;
                appendBlanks(data, footer, rows);
                return false;
            }))
            return;
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

    // ---- band columns
    // A data band with Columns > 1 (and NewColumnAfter 1) prints its
    // records in band columns: across first (a row of records side by
    // side, then the next row below) or down first (down the page, then
    // from the top of the next column). The run lasts while the band
    // prints record after record; any other band ends it and prints below
    // the columns.
    struct ColumnRun {
        TRMBandView* band = nullptr;
        bool downFirst = false;
        int colNo = 1;       // current band column, from 1
        int originX = 0;     // shift of column 1
        int startY = 0;      // down first: where every column starts
        int savedBottom = 0; // down first: lowest end of a filled column
        int rowH = 0;        // across first: height of the row being filled
        int rows = 0;        // lines in this column (down) or on this page (across)
    } colRun;
    static int bandColumns(TRMBandView* b) { return b->NewColumnAfter == 1 ? std::max(1, b->Columns) : 1; }
    static bool isDataBand(TRMBandView* b) {
        TRMBandKind k = b->BandType();
        return k == bkMasterData || k == bkDetailData || k == bkSubDetailData;
    }
    int columnDx(int colNo) const {
        return colRun.originX + (colRun.band->ColumnWidth + colRun.band->ColumnGap) * (colNo - 1);
    }
    // Band b is about to print: a column run of another band ends, and
    // what follows goes below its lowest column, at the left.
    void leaveColumns(TRMBandView* b) {
        if (!colRun.band || colRun.band == b) return;
        if (colRun.colNo > 1) {
            if (colRun.downFirst)
                curY = std::max(colRun.savedBottom, curY);
            else
                curY += colRun.rowH;
        }
        colRun = ColumnRun();
    }
    // Where each header last printed on this page and in how many band
    // columns it stands (for RepeatHeader1).
    struct HeaderPlace {
        int y = 0, colNo = 1, height = 0;
    };
    std::map<TRMBandView*, HeaderPlace> headerPlace;
    void headerPrinted(TRMBandView* b, int y, int h) { headerPlace[b] = {y, 1, h}; }
    // The band moved into band column colRun.colNo: the headers marked to
    // come at the top of every band column print there again, at the
    // height they printed at.
    void repeatColumnHeaders(TRMBandView* d, TRMBandView* header) {
        std::vector<TRMBandView*> hs = {band(bkPageHeader), band(bkColumnHeader), header};
        if (curGroups) hs.insert(hs.end(), curGroups->begin(), curGroups->end());
        int cols = bandColumns(d);
        for (TRMBandView* hb : hs) {
            if (!hb || !(hb->Flags & bfRepeatHeader1) || !hb->Visible) continue;
            auto it = headerPlace.find(hb);
            if (it == headerPlace.end() || it->second.colNo >= cols) continue;
            printAt(hb, it->second.y, columnDx(colRun.colNo));
            ++it->second.colNo;
        }
        curBand = d;
    }
    // One record of data band d in its band columns.
    void printInColumns(TRMBandView* d, int h, TRMBandView* header) {
        flushPending();
        if (!bandWanted(d)) return;
        BandEvents events(*this, d);
        curBand = d;
        if (colRun.band != d) leaveColumns(d);
        runBandScript(d, header); // its breaks end the run
        curBand = d;
        if (!d->Visible) return;
        if (colRun.band != d) {
            colRun.band = d;
            colRun.downFirst = !(d->Flags & bfPrintColFirst);
            colRun.originX = colX;
            colRun.startY = colRun.savedBottom = curY;
        }
        const int cols = bandColumns(d);
        // A break to the next page column or page: the run starts again
        // there in band column 1.
        auto breakPage = [&] {
            ColumnRun keep = colRun;
            colRun = ColumnRun();
            breaking = d;
            newColumn(header);
            breaking = nullptr;
            colRun = keep;
            colRun.colNo = 1;
            colRun.rows = 0;
            colRun.rowH = 0;
            colRun.originX = colX;
            if (d->Flags & bfPrintAtDesignPos) curY = d->Top;
            colRun.startY = colRun.savedBottom = curY;
            curBand = d;
        };
        if (atDesignPos.count(d)) {
            curY = d->Top;
            if (colRun.colNo == 1) colRun.startY = colRun.savedBottom = curY;
        }
        if (colRun.downFirst) {
            bool limit = d->LinesPerPage && colRun.rows >= d->LinesPerPage;
            if (limit || curY + h > bottom) {
                if (colRun.colNo < cols) {
                    colRun.savedBottom = std::max(colRun.savedBottom, curY);
                    ++colRun.colNo;
                    colRun.rows = 0;
                    curY = colRun.startY;
                    repeatColumnHeaders(d, header);
                } else {
                    breakPage();
                }
            }
            printAt(d, curY, columnDx(colRun.colNo), h);
            curY += h;
            ++colRun.rows;
            return;
        }
        if (colRun.colNo == 1) {
            bool limit = d->LinesPerPage && colRun.rows >= d->LinesPerPage * cols;
            if (limit || curY + h > bottom) breakPage();
            colRun.rowH = 0;
        }
        printAt(d, curY, columnDx(colRun.colNo), h);
        colRun.rowH = std::max(colRun.rowH, h);
        ++colRun.rows;
        if (colRun.colNo < cols) {
            ++colRun.colNo;
            repeatColumnHeaders(d, header);
        } else {
            colRun.colNo = 1;
            curY += colRun.rowH;
            colRun.rowH = 0;
        }
    }

    // ---- data runs and groups per page
    // Data bands whose next record prints at the band's design top.
    std::set<TRMBandView*> atDesignPos;
    // Groups begun on the page (or page column) per group header.
    std::map<TRMBandView*, int> groupsOnPage;
    int& groupsOn(TRMBandView* g) { return groupsOnPage.try_emplace(g, 1).first->second; }
    // A group header with GroupsPerPage whose page holds more groups than
    // that: the group changes even when its value stays.
    bool groupsFull(TRMBandView* g) { return g->LinesPerPage && groupsOn(g) > g->LinesPerPage; }
    // A group header beyond its GroupsPerPage starts a new page (or page
    // column) and is the first group there.
    bool groupLimit(TRMBandView* b, TRMBandView* repeatHeader) {
        if (b->BandType() != bkGroupHeader || !b->LinesPerPage || b->NewColumnAfter != 1) return false;
        if (groupsOn(b) <= b->LinesPerPage) return false;
        groupsOn(b) = 1;
        newColumn(repeatHeader);
        return true;
    }
    void startRun(TRMBandView* data, const std::vector<TRMBandView*>& groups) {
        if (data->Flags & bfPrintAtDesignPos) atDesignPos.insert(data);
        forgetValues(data);
        for (TRMBandView* g : groups) {
            groupsOnPage[g] = 1;
            forgetValues(g);
        }
    }
    // The group changes at groups[g]: it counts one more group on the page
    // (or starts counting again when it was already over its limit); the
    // inner groups, their footers and the data band start their repeated
    // values afresh.
    template <class FooterOf>
    void groupChanged(TRMBandView* data, const std::vector<TRMBandView*>& groups, size_t g, FooterOf footerOf) {
        int& n = groupsOn(groups[g]);
        n = n > groups[g]->LinesPerPage ? 1 : n + 1;
        for (size_t i = g + 1; i < groups.size(); ++i) {
            forgetValues(groups[i]);
            if (TRMBandView* f = footerOf(i)) forgetValues(f);
        }
        forgetValues(data);
    }

    // ---- script requests
    // NEWPAGE and NEWCOLUMN in a band's before-print script are requests
    // the band carries out once the script has run; a CURY the script set
    // while such a request waited holds on the new page or column.
    struct BandRequests {
        int pageBreaks = 0, columnBreaks = 0;
        bool keepY = false;
    };
    BandRequests* requests = nullptr;
    void runBandScript(TRMBandView* b, TRMBandView* repeatHeader) {
        if (b->OnBeforePrint.empty()) return;
        BandRequests req;
        BandRequests* was = requests;
        requests = &req;
        {
            ScopeExit back([&] { requests = was; });
            R->RunScript(b->OnBeforePrint, b);
        }
        // A sub-report's lane cannot break the page; a band that prints on
        // every new page or column would ask again there without end.
        if (holdBreaks || recording || onEveryPage(b)) return;
        int y = curY;
        TRMBandView* wasBreaking = breaking;
        breaking = b;
        for (int i = 0; i < req.pageBreaks && !R->Terminated; ++i) {
            leaveColumns(nullptr);
            newColumn(repeatHeader, true);
        }
        for (int i = 0; i < req.columnBreaks && !R->Terminated; ++i) {
            leaveColumns(nullptr);
            newColumn(repeatHeader);
        }
        breaking = wasBreaking;
        if (req.keepY) curY = y;
    }
    static bool onEveryPage(TRMBandView* b) {
        switch (b->BandType()) {
        case bkPageHeader:
        case bkPageFooter:
        case bkColumnHeader:
        case bkColumnFooter:
        case bkOverlay: return true;
        default: return false;
        }
    }
    // NEWPAGE (page true) or NEWCOLUMN from a script: a request of the band
    // whose before-print script runs, else at once.
    void scriptBreak(bool wholePage) {
        if (requests) {
            ++(wholePage ? requests->pageBreaks : requests->columnBreaks);
            return;
        }
        if (holdBreaks || recording || (curBand && onEveryPage(curBand))) return;
        leaveColumns(nullptr);
        newColumn(nullptr, wholePage);
    }
    void scriptSetCurY(int y) {
        if (requests && (requests->pageBreaks || requests->columnBreaks)) requests->keepY = true;
        curY = y;
    }

    // ---- repeated values
    // A memo marked Suppress prints a value equal to its last one empty;
    // marked MergeRepeated too, it writes nothing and its last record
    // grows down to cover this one, unless its master memo just printed a
    // new value. The last value is kept per memo and column, so that band
    // and cross-tab columns each merge down their own column; a record is
    // merged into only on the page where it was written.
    struct LastRecord {
        bool has = false;
        std::string value;
        TMemoryStream* stream = nullptr;
        int page = -1, top = 0;
        int64_t pos = 0, end = 0;
    };
    std::map<TRMMemoView*, std::map<int, LastRecord>> lastRecords;
    // The text a script sees as LastValue: without the line-end marks.
    static std::string memoText(const TRMLines& marked) {
        TRMLines lines = RMStripLineEnds(marked);
        std::string t;
        for (size_t i = 0; i < lines.size(); ++i) t += (i ? "\r\n" : "") + lines[i];
        return t;
    }
    void forgetValues(TRMBandView* b, bool mergingOnly = false) {
        auto it = objectsOf.find(b);
        if (it == objectsOf.end()) return;
        for (TRMView* o : it->second)
            if (auto* m = dynamic_cast<TRMMemoView*>(o)) {
                if (mergingOnly && !((m->Flags & flSuppress) && (m->Flags & flMergeRepeated))) continue;
                lastRecords.erase(m);
                m->LastValue.clear();
            }
    }
    // A new page: merging memos of the data bands start afresh.
    void clearRepeatedValues() {
        for (TRMBandKind k : {bkMasterData, bkDetailData, bkSubDetailData})
            for (TRMBandView* b : bands(k)) forgetValues(b, true);
    }
    TRMMemoView* masterMemoOf(TRMMemoView* m) {
        if (m->MasterMemoView.empty() || SameText(m->MasterMemoView, m->Name)) return nullptr;
        return dynamic_cast<TRMMemoView*>(page->FindObject(m->MasterMemoView));
    }
    // Whether memo m would print nothing here: Suppress and the same value.
    bool suppressedHere(TRMMemoView* m, int dx) {
        if (!(m->Flags & flSuppress)) return false;
        auto it = lastRecords.find(m);
        if (it == lastRecords.end()) return false;
        auto r = it->second.find(m->Left + dx);
        return r != it->second.end() && r->second.has && r->second.value == memoText(m->Memo1);
    }
    // perPage: the last value counts only on the page it was written on
    // (cross-tab cells, which print onto several pages side by side).
    void writeMemo(TRMMemoView* m, int top, int h, int dx, bool perPage = false) {
        if (!(m->Flags & flSuppress)) {
            writeObject(m, top, h, dx);
            m->ValueChanged = true;
            return;
        }
        m->ValueChanged = false;
        LastRecord& last = lastRecords[m][m->Left + dx];
        if (perPage && last.page != R->PageNo) last.has = false;
        std::string text = memoText(m->Memo1);
        bool same = last.has && last.value == text;
        if (same && !(m->Flags & flMergeRepeated)) {
            TRMLines keep = std::move(m->Memo1);
            m->Memo1.clear();
            writeObject(m, top, h, dx);
            m->Memo1 = std::move(keep);
            return;
        }
        if (same && !noDataMode) {
            TRMMemoView* master = masterMemoOf(m);
            if ((!master || !master->ValueChanged) && mergeInto(m, last, top, h, dx)) return;
        }
        m->ValueChanged = true;
        last.stream = target;
        last.page = R->PageNo;
        last.top = top;
        last.pos = target->Position();
        writeObject(m, top, h, dx);
        last.end = target->Position();
        last.has = true;
        last.value = text;
        m->LastValue = text;
    }
    // The last record of m, written again from its top down to the bottom
    // of this one; false when it is not on this page.
    bool mergeInto(TRMMemoView* m, const LastRecord& last, int top, int h, int dx) {
        if (last.stream != target || last.page != R->PageNo || top < last.top) return false;
        if (last.end > target->Size()) return false;
        TMemoryStream again;
        TMemoryStream* was = target;
        target = &again;
        rewriting = true;
        writeObject(m, last.top, h + (top - last.top), dx);
        rewriting = false;
        target = was;
        if (again.Size() != last.end - last.pos) return false;
        std::copy(again.Memory(), again.Memory() + again.Size(), target->Memory() + last.pos);
        return true;
    }

    // ---- data levels
    std::vector<std::string> groupKeys(const std::vector<TRMBandView*>& groups) {
        std::vector<std::string> k;
        for (auto* g : groups) {
            try {
                k.push_back(VarToStr(R->Calc(g->DataSet())));
            } catch (const Exception& e) {
                fail(e.Message);
                k.push_back({});
            }
        }
        return k;
    }

    // Runs a data band over its data set; prints header/footer around it.
    // Returns the number of records printed.
    int runLevel(TRMBandView* data, TRMBandView* header, TRMBandView* footer, TRMBandKind childKind) {
        if (!data) return 0;
        TRMDataset* first = datasetOf(data);
        if (!first) return 0;
        // The band's run holds its data set: a script may bind another one
        // while the band runs (rebind).
        runs[data] = {first, 0, 0};
        TRMDataset*& ds = runs[data].Data;
        TRMDataset* savedData = curData;
        curData = ds;
        applyRange(data, ds);
        try {
            nav(ds, 0);
        } catch (const Exception& e) {
            fail(e.Message);
            curData = savedData;
            return 0;
        }
        nav(ds, 1);
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
            nav(ds, 4);
            curData = savedData;
            lineNo = saveLine;
            return 0;
        }
        const std::vector<TRMBandView*>* wasGroups = curGroups;
        curGroups = &groups;
        TRMBandView* child = childKind != bkNone ? band(childKind) : nullptr;
        // With a level below, this level's bands wait for it to print.
        const bool deferred = child && !(data->Flags & bfPrintIfSubsetEmpty);
        const size_t pendingBase = pending.size();
        auto show = [&](TRMBandView* b, TRMBandView* repeat = nullptr) {
            if (deferred)
                pending.push_back({b, repeat, curData, lineNo});
            else
                printBand(b, true, repeat);
        };
        if (header) show(header);
        std::vector<std::string> keys = groupKeys(groups);
        startRun(data, groups);
        for (size_t g = 0; g < groups.size(); ++g) show(groups[g]);
        int rowsOnPage = 0;
        while (!ds->Eof() && !R->Terminated) {
            ++lineNo;
            ++lineThrough;
            ++recordCount;
            // Band columns: records side by side across, or down a column
            // and then into the next.
            runs[data].RecordNo = lineNo;
            runs[data].RowOnPage = rowsOnPage + 1;
            int cols = recording ? 1 : bandColumns(data); // no band columns in a lane
            int h = bandHeight(data);
            bool printedHere = true;
            if (cols > 1) printInColumns(data, h, header);
            int before = R->PageNo;
            if (cols <= 1) show(data, header);
            size_t mark = pending.size();
            if (child)
                runLevel(child, band(TRMBandKind(childKind - 1)), band(TRMBandKind(childKind + 1)),
                         childKind == bkDetailData ? bkSubDetailData : bkNone);
            if (deferred && cols <= 1 && pending.size() >= mark && mark > 0 && pending[mark - 1].band == data) {
                // The detail printed nothing: this row is left out.
                pending.erase(pending.begin() + long(mark - 1), pending.end());
                printedHere = false;
            }
            if (R->PageNo != before) rowsOnPage = 0;
            if (printedHere) {
                // A row a script hid counts only in totals marked to count it.
                accumulate(data, data->Visible);
                ++printed;
                ++rowsOnPage;
            }
            // Band columns count their lines per column or row themselves.
            bool breakAfter = (data->Flags & bfFormNewPage) ||
                              (cols <= 1 && data->LinesPerPage && rowsOnPage >= data->LinesPerPage);
            if (!Trim(data->NewPageCondition()).empty()) {
                try {
                    breakAfter |= RMToNumber(R->Calc(data->NewPageCondition())) != 0;
                } catch (const Exception& e) {
                    fail(e.Message);
                }
            }
            nav(ds, 2);
            atDesignPos.erase(data);
            size_t changed = groups.size();
            std::vector<std::string> nk;
            if (!ds->Eof()) {
                nk = groupKeys(groups);
                for (size_t g = 0; g < groups.size(); ++g)
                    if (nk[g] != keys[g] || groupsFull(groups[g])) {
                        changed = g;
                        break;
                    }
            } else {
                changed = 0;
            }
            if (changed < groups.size()) {
                groupChanged(data, groups, changed, footerOf);
                bool moved = false;
                if (!ds->Eof()) {
                    nav(ds, 3); // footers see the group's last row
                    moved = true;
                }
                for (size_t g = groups.size(); g-- > changed;) {
                    if (auto* f = footerOf(g)) {
                        printBand(f);
                        resetTotals(f);
                    }
                }
                if (moved) nav(ds, 2);
                if (!ds->Eof()) {
                    bool np = false;
                    for (size_t g = changed; g < groups.size(); ++g) np |= bool(groups[g]->Flags & bfFormNewPage);
                    if (np && !recording) {
                        newPage();
                        rowsOnPage = 0;
                    }
                    keys = nk;
                    for (size_t g = changed; g < groups.size(); ++g) show(groups[g]);
                }
            }
            if (breakAfter && !ds->Eof() && !recording) {
                leaveColumns(nullptr);
                newPage();
                rowsOnPage = 0;
            }
        }
        leaveColumns(nullptr);
        atDesignPos.erase(data);
        curGroups = wasGroups;
        if (pending.size() > pendingBase) {
            // Nothing of the level printed: neither do its header or footer.
            pending.resize(pendingBase);
        } else {
            if (data->Flags & bfAutoAppendBlank) appendBlanks(data, footer, rowsOnPage);
            if (footer) {
                printBand(footer);
                resetTotals(footer);
            }
        }
        nav(ds, 4);
        curData = savedData;
        lineNo = saveLine;
        return printed;
    }

    // The data run of each data band: its data set and counters, for the
    // band object's properties while it prints.
    struct BandRun {
        TRMDataset* Data = nullptr;
        int RecordNo = 0, RowOnPage = 0;
    };
    std::map<TRMBandView*, BandRun> runs;
    // The band's own range, where it does not keep the data set's.
    static void applyRange(TRMBandView* b, TRMDataset* ds) {
        if (b->RangeBegin != rbDefault) ds->RangeBegin = TRMRangeBegin(b->RangeBegin);
        if (b->RangeEnd != reDefault) ds->RangeEnd = TRMRangeEnd(b->RangeEnd);
        if (b->RangeEndCount) ds->RangeEndCount = b->RangeEndCount;
    }
    // A script named another data source for a running band: the old one
    // is left, the new one starts at its first record, and the band's run
    // goes on over it.
    void rebind(TRMBandView* b) {
        BandRun& run = runs[b];
        TRMDataset* old = run.Data;
        TRMDataset* d = datasetOf(b);
        if (!d || d == old) return;
        nav(old, 4);
        applyRange(b, d);
        nav(d, 0);
        nav(d, 1);
        if (curData == old) curData = d;
        run.Data = d;
    }

    // AutoHCenter: the page's objects move together so that their extent
    // stands in the middle of the paper. Horizontal bands span the paper
    // and neither count nor move. Once per build: the design comes back
    // whole afterwards.
    std::set<TRMPage*> centred;
    void centreObjects(TRMPage* p) {
        if (!p->AutoHCenter || !centred.insert(p).second) return;
        auto counts = [](TRMView* o) {
            return o->ObjectType != rmgtBand || isCross(static_cast<TRMBandView*>(o));
        };
        int lo = 999999, hi = 0;
        for (auto& o : p->Objects)
            if (counts(o.get())) {
                lo = std::min(lo, o->Left);
                hi = std::max(hi, o->Left + o->Width);
            }
        if (hi < lo) return;
        const int offset = (p->PaperWidthPx() - (hi - lo)) / 2;
        for (auto& o : p->Objects)
            if (counts(o.get())) o->Left += offset - lo;
    }
    void buildPage(TRMPage* p, int no) {
        page = p;
        designPageNo = no;
        centreObjects(p);
        assignObjects();
        registerAggregates();
        prepareCalcMemos();
        TRMBandView* md = band(bkMasterData);
        if (!R->PrintIfEmpty && md && masterIsEmpty(md)) {
            // Nothing of this page; a page that was to go on here does not.
            if (continuePage) R->PageNo = R->EMFPages.Count();
            continuePage = false;
            return;
        }
        if (!p->Script.empty()) R->RunScript(p->Script);
        if (!p->Visible) {
            if (continuePage) R->PageNo = R->EMFPages.Count();
            continuePage = false;
            return;
        }
        firstPageOfRun = true;
        // A page run that ended with its page full leaves nothing to go on.
        if (continuePage && savedCurY >= savedBottom) {
            continuePage = false;
            R->PageNo = R->EMFPages.Count();
        }
        pageRunStart = R->PageNo;
        if (continuePage)
            continueLastPage();
        else
            startPage();
        columnTop = curY;
        const bool manual = bool(R->OnManualBuild);
        if (manual) {
            // The handler prints what it wants; page footers come only with
            // the new pages it asks for.
            R->OnManualBuild(p);
        } else {
            if (md) runLevel(md, band(bkMasterHeader), band(bkMasterFooter), bkDetailData);
            if (auto* s = band(bkSummary)) {
                printBand(s);
            }
        }
        OnRunPage on(*this);
        savedCurY = column > 0 ? page->PrintableTop() + page->PrintableHeight() : curY;
        savedBottom = bottom;
        finishPage(true, !manual);
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

    // One pass: the dialog pages first (a Cancel stops here), then every
    // report page in order; an rtMultiple report repeats the report pages
    // once per record of its Dataset.
    bool run() {
        R->EMFPages.ClearForRebuild();
        R->PageNo = 0;
        bkIndex.clear();
        lineThrough = 0;
        recordCount = 0;
        continuePage = false;
        // A member of a composite report may go on below what the member
        // before it left on its last page.
        if (const TRMReport::TRMContinuation& c = R->ContinueFrom; c.Pages && c.Index >= 0 && c.Index < c.Pages->Count()) {
            R->EMFPages.AppendCopy(*c.Pages, c.Index);
            continuePage = true;
            savedCurY = c.CurY;
            savedBottom = c.Bottom;
        }
        for (int i = 0; i < R->Pages.Count(); ++i)
            for (auto& o : R->Pages[i]->Objects)
                if (o->ObjectType == rmgtSubReport) {
                    int sp = static_cast<TRMSubReportView*>(o.get())->SubPage;
                    if (sp >= 0 && sp < R->Pages.Count() && sp != i) R->Pages[sp]->IsSubReportPage = true;
                }
        if (!showDialogPages()) return false;
        TRMDataset* multi = R->ReportType == rtMultiple ? R->Dataset() : nullptr;
        if (multi) {
            try {
                multi->Init();
                multi->First();
            } catch (const Exception& e) {
                fail(e.Message);
                return false;
            }
        }
        ScopeExit leave([multi] {
            if (multi) multi->Exit();
        });
        do {
            for (int i = 0; i < R->Pages.Count() && !R->Terminated; ++i) {
                TRMPage* p = R->Pages[i];
                if (p->PageType != 0 || p->IsSubReportPage) continue;
                runPage = p;
                buildPage(p, i + 1);
                runPage = nullptr;
                // The next design page may go on where this one ended.
                continuePage = i + 1 < R->Pages.Count() && R->Pages[i + 1]->PrintToPrevPage &&
                               R->Pages[i + 1]->PageType == 0 && R->EMFPages.Count() > 0;
                if (continuePage) R->PageNo = R->EMFPages.Count() - 1;
            }
            continuePage = false;
            if (multi) multi->Next();
        } while (multi && !multi->Eof() && !R->Terminated);
        R->LastPageEndY = savedCurY;
        R->LastPageBottom = savedBottom;
        return !R->Terminated;
    }

    // ---- pages that go on where the page before ended
    bool continuePage = false;
    int savedCurY = 0, savedBottom = 0;
    // The last built page opens again below what the previous page run
    // left on it; the title, the first page's header and the column
    // header print as on a new page.
    void continueLastPage() {
        OnRunPage on(*this);
        curPageIdx = R->EMFPages.Count() - 1;
        out = &R->EMFPages[curPageIdx];
        stream.Give(std::move(out->Stream));
        curY = savedCurY;
        colX = 0;
        column = 0;
        bottom = pageBottom();
        continuePage = false;
        firstPageOfRun = false;
        if (!R->OnManualBuild)
            if (auto* t = band(bkTitle)) printBand(t);
        if (R->EMFPages.Count() - 1 == curPageIdx) {
            if (auto* ph = band(bkPageHeader))
                if (ph->Flags & bfOnFirstPage) printBand(ph);
            if (auto* ch = band(bkColumnHeader)) printBand(ch);
        }
    }
    // Whether the master data band has no record (a data set that cannot
    // be opened counts as empty).
    bool masterIsEmpty(TRMBandView* md) {
        TRMDataset* ds = datasetOf(md);
        if (!ds) return true;
        try {
            ds->Init();
            ds->First();
            bool empty = ds->Eof();
            ds->Exit();
            return empty;
        } catch (const Exception&) {
            return true;
        }
    }

    // ---- dialog pages
    // The forms of the dialog pages live until the build ends, so the
    // report pages read what was entered in their controls.
    std::vector<std::unique_ptr<TForm>> dialogs;
    TForm* dialogForm = nullptr; // the one whose script runs now
    // Shows every dialog page in order; false when one was cancelled. The
    // final pass of a two-pass build shows none again.
    bool showDialogPages() {
        if (R->DoublePass && R->FinalPass && !dialogs.empty()) return !R->DialogCancelled;
        R->DialogCancelled = false;
        for (int i = 0; i < R->Pages.Count(); ++i) {
            TRMPage* p = R->Pages[i];
            if (p->PageType != 1) continue;
            if (!showDialogPage(p)) {
                R->DialogCancelled = true;
                return false;
            }
        }
        return true;
    }
    bool showDialogPage(TRMPage* p) {
        auto form = std::make_unique<TForm>(nullptr);
        TForm* f = form.get();
        dialogs.push_back(std::move(form));
        dialogForm = f;
        ScopeExit done([this] { dialogForm = nullptr; });
        std::vector<TRMControl*> placed;
        for (auto& o : p->Objects)
            if (auto* nv = dynamic_cast<TRMNonVisualControl*>(o.get())) {
                // Set up by the program; it has no place on the form.
                if (R->OnCustomizeObject) R->OnCustomizeObject(nv->Component());
            } else if (auto* c = dynamic_cast<TRMControl*>(o.get())) {
                c->PlaceOnForm(f);
                placed.push_back(c);
            }
        if (placed.empty() || !p->Visible) {
            if (!p->Script.empty()) R->RunScript(p->Script);
            return true;
        }
        for (TRMControl* c : placed) {
            Variant t = c->GetPropValue("TabOrder");
            if (auto* w = dynamic_cast<TWinControl*>(c->Control()); w && !VarIsNull(t) && !VarIsEmpty(t))
                if (int n = t.AsInteger(); n >= 0) w->SetTabOrder(n);
        }
        if (!p->Name.empty()) f->SetName(p->Name);
        f->SetBorderStyle(TFormBorderStyle(p->BorderStyle));
        f->SetCaption(p->Caption);
        f->SetColor(p->Color);
        // A page that never had a size gets the dialog's usual one.
        f->SetBounds(p->DlgLeft, p->DlgTop, p->DlgWidth > 0 ? p->DlgWidth : 380, p->DlgHeight > 0 ? p->DlgHeight : 300);
        f->SetPosition(TPosition(p->Position));
        // The page script is the form's activation handler, run once before
        // the form shows; a script that set MODALRESULT decides alone.
        if (!p->Script.empty()) R->RunScript(p->Script);
        TModalResult mr = f->ModalResult();
        if (mr == 0) mr = f->ShowModal();
        return mr != mrCancel;
    }
    // Frees the dialog forms, giving the controls back to their objects
    // first (the objects free them with the design).
    void doneDialogs() {
        for (int i = 0; i < R->Pages.Count(); ++i)
            if (R->Pages[i]->PageType == 1)
                for (auto& o : R->Pages[i]->Objects)
                    if (auto* c = dynamic_cast<TRMControl*>(o.get()); c && c->Control()) {
                        if (c->Control()->Owner()) c->Control()->Owner()->RemoveComponent(c->Control());
                        c->Control()->SetParent(nullptr);
                    }
        dialogs.clear();
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
                // Report variables first, then the dictionary's, then the
                // names with a meaning of their own.
                if (Variables.IndexOf(name) >= 0) {
                    Variables.SetVariable(name, v);
                    return;
                }
                for (auto& dv : Dictionary.Variables)
                    if (SameText(dv.Name, name)) {
                        dv.Value = VarIsStr(v) ? QuotedStr(VarToStr(v)) : VarToStr(v);
                        return;
                    }
                // A dialog page's script closes its form this way.
                if (u == "MODALRESULT" && builder_ && builder_->dialogForm) {
                    builder_->dialogForm->SetModalResult(TModalResult(RMToNumber(v)));
                    return;
                }
                if (u == "PROGRESS") {
                    if (OnProgressText) OnProgressText(VarToStr(v));
                    return;
                }
                if (u == "CURY" && builder_) {
                    builder_->scriptSetCurY(int(std::lround(RMToNumber(v))));
                    return;
                }
                if (scriptView_ && !VarIsNull(scriptView_->GetPropValue(name))) {
                    scriptView_->SetPropValue(name, v);
                    return;
                }
                size_t dot = name.find('.'); // "Memo1.Font.Size": the object ends at the first dot
                if (dot != std::string::npos)
                    if (TRMObject* o = FindPropertyOwner(name.substr(0, dot))) {
                        o->SetPropValue(name.substr(dot + 1), v);
                        return;
                    }
                Variables.SetVariable(name, v);
            },
            [this] { return Terminated; });
    } catch (const Exception& e) {
        // A script that fails while it runs stops the build; one that does
        // not compile was only listed above and does nothing.
        ScriptError = e.Message;
        RMDataSetError(this, e.Message, view);
    }
    scriptView_ = was;
}

TDataSet* RMGetBandDataSet(TRMReport* report) {
    if (!report->builder_) return nullptr;
    auto* source = dynamic_cast<TRMDBDataSet*>(report->builder_->curData);
    return source ? source->DataSet() : nullptr;
}

void RMDataSetError(TRMReport* r, const std::string& message, TRMView* view) {
    r->BuildErrors.push_back(message);
    // Outside a build, and while the totals are looked for in the texts
    // (which evaluates them without rows), nothing stops.
    if (!r->builder_ || r->builder_->aggregateSetup) return;
    r->Terminated = true;
    if (!r->ErrorText.empty()) return;
    std::string t = "计算时发生错误";
    if (view)
        for (auto& l : view->Memo) t += "\r" + l;
    t += "\r\r报表: " + r->Name() + "\r";
    if (view) t += "对象: " + view->Name + "\r";
    r->ErrorText = t + "\r" + message;
}

bool TRMReport::doFunction(const TRMFuncCall& c, Variant& r) {
    if (builder_ && builder_->aggregate(c, r)) return true;
    const std::string& n = c.Name;
    if (n == "INC" || n == "DEC") {
        // Read and stored as an assignment would: a dictionary variable, an
        // object's property or a report variable.
        std::string name = Trim(c.ArgTexts.empty() ? "" : c.ArgTexts[0]);
        if (!name.empty()) RunScript({name + " := " + name + (n == "INC" ? " + 1" : " - 1")}, scriptView_);
        r = Null();
        return true;
    }
    // Name[index] of an object's text list ("Memo1.Memo[2]"): its line.
    if ((n == "GETARRAY" || n == "SETARRAY") && c.Count() >= 2) {
        std::string name = Trim(VarToStr(c.Arg(0)));
        size_t dot = name.find('.');
        if (dot != std::string::npos)
            if (TRMObject* o = FindPropertyOwner(name.substr(0, dot))) {
                std::vector<Variant> p{UpperCase(name.substr(dot + 1)), c.ArgTexts[1],
                                       c.Count() > 2 ? c.ArgTexts[2] : std::string("''")};
                r = o->DoMethod(n == "SETARRAY" ? "SETINDEXPROPERTY" : "GETINDEXPROPERTY", p);
                return true;
            }
    }
    if (n == "STOPREPORT") {
        Terminated = true;
        r = Null();
        return true;
    }
    if ((n == "NEWPAGE" || n == "NEWCOLUMN") && builder_) {
        builder_->scriptBreak(n == "NEWPAGE");
        r = Null();
        return true;
    }
    if (n == "SHOWBAND" && builder_) {
        if (auto* b = builder_->bandNamed(Trim(VarToStr(c.Arg(0))))) {
            builder_->askBand = false;
            ScopeExit ask([this] { builder_->askBand = true; });
            builder_->printBand(b);
        }
        r = Null();
        return true;
    }
    if (n == "SUM" || n == "AVG" || n == "MAX" || n == "MIN" || n == "COUNT") {
        r = 0;
        return true;
    }
    // Boxes a report script may show while it builds; none while the
    // totals are being found in the texts.
    if ((n == "INPUT" || n == "MESSAGEBOX" || n == "SHOWMESSAGE") && builder_ && builder_->aggregateSetup) {
        r = std::string();
        return true;
    }
    if (n == "INPUT") {
        r = InputBox("", VarToStr(c.Arg(0)), c.Count() > 1 ? VarToStr(c.Arg(1)) : std::string());
        return true;
    }
    if (n == "MESSAGEBOX") {
        r = Application->MessageBox(VarToStr(c.Arg(0)), c.Count() > 1 ? VarToStr(c.Arg(1)) : std::string(),
                                    c.Count() > 2 ? unsigned(RMToNumber(c.Arg(2))) : 0u);
        return true;
    }
    if (n == "SHOWMESSAGE") {
        ShowMessage(VarToStr(c.Arg(0)));
        r = Null();
        return true;
    }
    if (n == "GETARRAY") {
        r = Variables.GetVariable("Arr_" + VarToStr(c.Arg(0)) + "_" + VarToStr(c.Arg(1)));
        return true;
    }
    if (n == "SETARRAY") {
        Variables.SetVariable("Arr_" + VarToStr(c.Arg(0)) + "_" + VarToStr(c.Arg(1)), c.Arg(2));
        r = Null();
        return true;
    }
    return libraryFunction(c, r);
}

bool TRMReport::getValue(const std::string& name, bool bracketed, Variant& v) {
    if (OnGetValue && OnGetValue(name, v)) return true;
    std::string n = Trim(name);
    std::string u = UpperCase(n);
    // Every name a memo or condition holds comes through here, most of
    // them a field or a variable: the special names are told apart by
    // their lengths first, not by a text comparison each.
    const std::string_view sn = n, su = u;
    // Names of the build.
    if (su == "PAGE#") return v = PageNoBase + PageNo + 1, true;
    if (su == "TOTALPAGES#") return v = MasterTotalPages >= 0 ? MasterTotalPages : TotalPages, true;
    if (su == "DATE" || su == "DATE#") return v = TDateTime(Date()), true;
    if (su == "TIME" || su == "TIME#") return v = TDateTime(Time()), true;
    if (su == "TOTALPAGES") return v = MasterTotalPages >= 0 ? MasterTotalPages : TotalPages, true;
    if (su == "FREESPACE") return v = builder_ ? builder_->bottom - builder_->curY : 0, true;
    if (su == "DATETIME#") return v = TDateTime(Now()), true;
    if (su == "LINE#") return v = builder_ ? builder_->lineNo : 0, true;
    if (su == "LINETHOUGH#" || su == "LINETHROUGH#") return v = builder_ ? builder_->lineThrough : 0, true;
    if (su == "COLUMN#") return v = builder_ ? builder_->column + 1 : 1, true;
    if (su == "FINALPASS") return v = FinalPass ? 1 : 0, true;
    if (su == "APPLICATIONPATH#") return v = ExeDir(), true;
    if (su == "CURRENT#") return v = builder_ ? builder_->recordCount : 0, true;
    if (sn == "CALCWIDTH") return v = calcWidth(), true;
    if (sn == "VALUE") return v = currentValue_, true;
    // Dictionary variables and the fields they stand for; one that refers
    // to itself, directly or through others, gives Null instead of
    // recursing.
    if (Dictionary.IsVariable(n) || Dictionary.CachedField(n)) {
        Dictionary.ResolveField(n);
        return Dictionary.GetValue(n, v);
    }
    // DataSet."Field" or DataSet.Field.
    size_t dot = RMLastDotOutsideQuotes(n);
    if (dot != std::string::npos) {
        std::string dsn = n.substr(0, dot), f = n.substr(dot + 1);
        if (TRMDataset* d = TRMDataset::Find(dsn, Owner())) {
            v = d->FieldValue(f);
            if (!VarIsEmpty(v)) return true;
        }
        // A data set of the report's owner, as a window's own query.
        if (Owner())
            if (auto* ds = dynamic_cast<TDataSet*>(Owner()->FindComponent(dsn)); ds && ds->Active()) {
                if (TField* fd = ds->FindField(RMRemoveQuotes(f))) {
                    v = VarIsNull(fd->Value()) ? Variant(std::string()) : fd->Value();
                    return true;
                }
            }
        // Object.Property, PAGEn.Property: the object's name ends at the
        // first dot ("Memo1.Font.Size").
        size_t first = n.find('.');
        if (TRMObject* o = FindPropertyOwner(n.substr(0, first))) {
            v = o->GetPropValue(n.substr(first + 1));
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
    // The record an rtMultiple report is built for.
    if (ReportType == rtMultiple && dataset_) {
        v = dataset_->FieldValue(n);
        if (!VarIsEmpty(v)) return true;
    }
    if (const Variant* gv = RMVariables().Find(n)) return v = *gv, true;
    if (const Variant* rv = Variables.Find(n)) return v = *rv, true;
    if (su == "CURY") return v = builder_ ? builder_->curY : 0, true;
    // The page's usable width (less the right margin) and the lowest
    // position bands may reach.
    if (su == "PAGEWIDTH" || su == "PAGEHEIGHT") {
        TRMPage* p = builder_ && builder_->page ? builder_->page : (Pages.Count() ? Pages[0] : nullptr);
        if (su == "PAGEHEIGHT" && builder_ && builder_->page) return v = builder_->bottom, true;
        if (p) return v = su == "PAGEWIDTH" ? p->GetPrintableRight() : p->GetPrintableBottom(), true;
    }
    // A property of the object whose script or text this is.
    if (TRMView* cv = scriptView_ ? scriptView_ : curView_) {
        Variant pv = cv->GetPropValue(n);
        if (!VarIsNull(pv)) return v = pv, true;
    }
    if (const Variant* c = RMGetConstants().Find(n)) return v = *c, true;
    if (bracketed) {
        // Fields of any data set in use.
        if (builder_)
            for (auto& d : builder_->ownedDs) (void)d;
    }
    return false;
}

bool TRMReport::PrepareReport() {
    SelectPrinter(PrinterName);
    CanRebuild = true;
    BuildErrors.clear();
    ErrorText.clear();
    Terminated = false;
    Dictionary.ClearCache();
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
            // A single pass knows no page count: a build again must not
            // show the last build's.
            TotalPages = 0;
            if (DoublePass) {
                FinalPass = false;
                b.run();
                TotalPages = EMFPages.Count();
                // A first pass stopped by Cancel or an error has no final
                // pass.
                if (Terminated) {
                    FinalPass = true;
                    ok = false;
                    return;
                }
            }
            FinalPass = true;
            ok = b.run();
            if (!DoublePass) TotalPages = EMFPages.Count();
        } catch (const Exception& e) {
            RMDataSetError(this, e.Message, b.curView);
            ok = false;
        }
    };
    if (OnBeginDoc) OnBeginDoc();
    if (ShowProgress && RMProgressRunner)
        RMProgressRunner(this, "正在准备报表" + (ReportInfo.Title.empty() ? "" : " - " + ReportInfo.Title), build);
    else
        build();
    if (OnEndDoc) OnEndDoc();
    RMPreparedMode = false;
    EMFPages.DropSpareBytes();
    b.doneDialogs();
    builder_ = nullptr;
    // A dialog closed with Cancel builds nothing.
    if (DialogCancelled) {
        EMFPages.Clear();
        ok = false;
    }
    design.SetPosition(0);
    std::string err = LastError;
    LoadFromStream(design);
    LastError = err;
    if (Terminated && DoublePass) EMFPages.Clear();
    // An error ends the build with nothing built; the box says what and
    // where.
    if (!ErrorText.empty()) {
        EMFPages.Clear();
        Application->MessageBox(ErrorText, "错误", MB_OK | MB_ICONERROR);
        return false;
    }
    if (ok && !Terminated && PrintPagePerPage && EMFPages.Count() > 0) EMFPages.RegroupPagePerPage();
    return ok && !Terminated;
}

// ---------------------------------------------------------------- page operations of a build

bool TRMReport::BandRunValue(TRMBandView* band, const std::string& n, Variant& value) {
    if (!builder_) return false;
    auto it = builder_->runs.find(band);
    if (it == builder_->runs.end() || !it->second.Data) return false;
    if (n == "ROWCOUNT")
        value = it->second.RecordNo;
    else if (n == "ROWNO")
        value = it->second.RowOnPage;
    else if (n == "EOF")
        value = it->second.Data->Eof();
    else
        return false;
    return true;
}

bool TRMReport::BandRunMethod(TRMBandView* band, const std::string& n, const std::vector<Variant>& params) {
    if (!builder_) return false;
    auto it = builder_->runs.find(band);
    if (it == builder_->runs.end() || !it->second.Data) return false;
    TRMDataset* d = it->second.Data;
    if (n == "FIRST")
        d->First();
    else if (n == "NEXT")
        d->Next();
    else if (n == "PRIOR")
        d->Prior();
    else if (n == "MOVEBY" && !params.empty()) {
        // Only a data set over a table moves by a count.
        if (!dynamic_cast<TRMDBDataSet*>(d)) return true;
        int by = int(RMToNumber(Calc(VarToStr(params[0]))));
        for (; by > 0 && !d->Eof(); --by) d->Next();
        for (; by < 0; ++by) d->Prior();
    } else
        return false;
    return true;
}

bool TRMReport::BandRunChanged(TRMBandView* band, const std::string& n) {
    if (!builder_) return false;
    auto it = builder_->runs.find(band);
    if (it == builder_->runs.end() || !it->second.Data) return false;
    TRMDataset* d = it->second.Data;
    // A band's "default" keeps the data set's own setting.
    if (n == "RANGEBEGIN") {
        if (band->RangeBegin < rbDefault) d->RangeBegin = TRMRangeBegin(band->RangeBegin);
    } else if (n == "RANGEEND") {
        if (band->RangeEnd < reDefault) d->RangeEnd = TRMRangeEnd(band->RangeEnd);
    } else if (n == "RANGEENDCOUNT") {
        d->RangeEndCount = band->RangeEndCount;
    } else if (n == "DATASOURCE" || n == "DATASET") {
        builder_->rebind(band);
    } else
        return false;
    return true;
}

void TRMPage::ShowBand(TRMView* band) {
    TRMBuilder* b = Report ? Report->builder_ : nullptr;
    auto* bv = dynamic_cast<TRMBandView*>(band);
    if (!b || !bv || !b->page) return;
    b->printBand(bv);
}

void TRMPage::ShowBandByName(const std::string& name) {
    for (auto& o : Objects)
        if (o->ObjectType == rmgtBand && SameText(o->Name, name)) return ShowBand(o.get());
}

void TRMPage::NewPage() {
    TRMBuilder* b = Report ? Report->builder_ : nullptr;
    if (b && b->page) b->newPage();
}

int TRMPage::CurY() const {
    TRMBuilder* b = Report ? Report->builder_ : nullptr;
    return b && b->page ? b->curY : -1;
}
