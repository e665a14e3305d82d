// Grid printing: the layout of one printout (page box, column widths and
// bands, titles, rows placed page by page with equal heights across bands,
// footers with page sums), the header and footer macros, and the preview
// and direct-print entry points.
#include "gridlib/print/PrnDbgeh.h"

#include <algorithm>
#include <cmath>

#include "Forms.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/print/PrViewEh.h"
#include "gridlib/print/PrnSetupEh.h"

namespace {

int roundHalfEven(double v) { return int(std::nearbyint(v)); }

const char* const kMacros[] = {"&[Page]", "&[ShortDate]", "&[Date]", "&[LongDate]", "&[Time]", "&[Pages]"};

std::string listText(const TStrings* l) {
    std::string s;
    for (int i = 0; i < l->Count(); ++i) {
        if (i) s += "\n";
        s += l->Strings(i);
    }
    return s;
}

// Replaces every occurrence of macro (ignoring letter case) by value; an
// occurrence preceded by the escape '&' stays as written.
std::string replaceMacro(const std::string& s, const std::string& macro, const std::string& value) {
    const std::string up = AnsiUpperCase(s), key = AnsiUpperCase(macro);
    std::string out;
    size_t from = 0;
    while (true) {
        size_t p = up.find(key, from);
        if (p == std::string::npos) {
            out += s.substr(from);
            return out;
        }
        out += s.substr(from, p - from);
        if (p > 0 && s[p - 1] == '&')
            out += s.substr(p, key.size());
        else
            out += value;
        from = p + key.size();
    }
}

} // namespace

// ================================================================ TPageParams / TPageColontitle

void TPageParams::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPageParams*>(Source)) {
        BottomMargin = s->BottomMargin;
        LeftMargin = s->LeftMargin;
        RightMargin = s->RightMargin;
        TopMargin = s->TopMargin;
        return;
    }
    TPersistent::Assign(Source);
}

TPageColontitle::TPageColontitle()
    : center_(std::make_unique<TStringList>()), left_(std::make_unique<TStringList>()),
      right_(std::make_unique<TStringList>()), font_(std::make_unique<TFont>()) {}

void TPageColontitle::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPageColontitle*>(Source)) {
        left_->Assign(s->left_.get());
        center_->Assign(s->center_.get());
        right_->Assign(s->right_.get());
        font_->Assign(s->font_.get());
        return;
    }
    TPersistent::Assign(Source);
}

// ================================================================ TPrintDBGridEh

TPrintDBGridEh::TPrintDBGridEh(TComponent* AOwner)
    : TComponent(AOwner), page_(std::make_unique<TPageParams>()), header_(std::make_unique<TPageColontitle>()),
      footer_(std::make_unique<TPageColontitle>()), title_(std::make_unique<TStringList>()),
      before_(std::make_unique<TStringList>()), after_(std::make_unique<TStringList>()) {}

TPrintDBGridEh::~TPrintDBGridEh() {
    if (grid_) grid_->RemoveFreeNotification(this);
}

void TPrintDBGridEh::SetDBGridEh(TCustomDBGridEh* v) {
    if (grid_) grid_->RemoveFreeNotification(this);
    grid_ = v;
    if (v) v->FreeNotification(this);
}

void TPrintDBGridEh::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == grid_) grid_ = nullptr;
}

void TPrintDBGridEh::SetUnits(TMeasureUnits v) {
    if (v == units_) return;
    units_ = v;
    if (ComponentState().Contains(csLoading)) return;
    const double f = v == Inches ? 0.3937 : 2.54;
    for (Currency* m : {&page_->LeftMargin, &page_->RightMargin, &page_->TopMargin, &page_->BottomMargin})
        *m = Currency::FromDouble(m->ToDouble() * f);
}

std::string TPrintDBGridEh::ExpandMacros(const std::string& text, int page, int pages) {
    const TDateTime now = Now();
    const std::string values[] = {IntToStr(page),
                                  FormatDateTime(FormatSettings.ShortDateFormat, now),
                                  FormatDateTime(FormatSettings.ShortDateFormat, now),
                                  FormatDateTime(FormatSettings.LongDateFormat, now),
                                  FormatDateTime(FormatSettings.LongTimeFormat, now),
                                  IntToStr(pages)};
    std::string s = text;
    for (int i = 0; i < 6; ++i) s = replaceMacro(s, kMacros[i], values[i]);
    return s;
}

// Found whatever its letter case, as it is replaced: "&[pages]" once
// printed 1 on every page.
bool TPrintDBGridEh::UsesPagesMacro() const {
    const std::string key = AnsiUpperCase("&[Pages]");
    for (TPageColontitle* t : {header_.get(), footer_.get()})
        for (TStrings* l : {t->LeftText(), t->CenterText(), t->RightText()})
            if (AnsiUpperCase(listText(l)).find(key) != std::string::npos) return true;
    return false;
}

// ---------------------------------------------------------------- the layout

struct TPrintDBGridEh::Render {
    TPrintDBGridEh* self;
    TCustomDBGridEh* grid;
    TVirtualPrinter* pr;
    TDataSet* ds;
    TCanvas* c = nullptr;
    bool counting = false;
    int pageCount = 1; // pages of the counting pass
    int pages = 1;     // "&[Pages]"
    int pX = 600, pY = 600;
    double scaleX = 1, scaleY = 1, fit = 1;
    int left = 0, top = 0, right = 0, bottom = 0;
    int hPad = 0, vPad = 0, lineExtra = 0, lineWidth = 1;
    std::vector<TColumnEh*> cols;
    std::vector<int> cw;
    std::vector<std::pair<int, int>> bands; // first, last index into cols
    int headerH = 0, footerH = 0, tableTop = 0, tableBottom = 0;
    int defaultRowH = 0, titleH = 0, titleTextH = 0, rowsTop = 0, levelH = 0, levels = 1;
    bool wrap = false;
    bool freshPage = true;
    int Y = 0;
    struct Row {
        TBookmark bookmark;
        int footer = -1; // footer row number, -1 for a data row
    };
    std::vector<Row> rows;
    std::vector<std::vector<int64_t>> sums; // [footer row][printed column]

    void setFont(TFont* src) {
        c->Font()->Assign(src);
        c->Font()->SetPixelsPerInch(pY);
        const int px = std::max(1, roundHalfEven(src->Size() * pY / 72.0 * fit));
        c->Font()->SetHeight(-px);
        if (!self->printFontName_.empty()) c->Font()->SetName(self->printFontName_);
    }
    int sx(double v) const { return roundHalfEven(v * scaleX * fit); }
    int sy(double v) const { return roundHalfEven(v * scaleY * fit); }

    // Writes (or measures) text in r; returns the measured height.
    int text(TRect r, bool fill, int dx, int dy, const std::string& t, TAlignment align, int layout, bool wrapText,
             bool ellipsis, int lm, int rm, bool measure) {
        TRect tr{r.Left + dx + lm, r.Top + dy, r.Right - dx - rm, r.Bottom - dy};
        unsigned fmt = DT_NOPREFIX | DT_EXPANDTABS;
        if (wrapText) fmt |= DT_WORDBREAK;
        if (align == taRightJustify) fmt |= DT_RIGHT;
        if (align == taCenter) fmt |= DT_CENTER;
        if (measure || counting) {
            TRect m = tr;
            if (m.Right <= m.Left) m.Right = m.Left + 1;
            c->DrawText(t.empty() ? " " : t, -1, m, fmt | DT_CALCRECT);
            return m.Height() + 2 * dy;
        }
        if (fill) c->FillRect(r);
        if (ellipsis) fmt |= DT_END_ELLIPSIS;
        if (layout != 0) {
            TRect m = tr;
            c->DrawText(t, -1, m, fmt | DT_CALCRECT);
            const int h = m.Height();
            tr.Top = layout == 1 ? r.Top + r.Height() / 2 - h / 2 : r.Bottom - dy - h;
        }
        const int saved = c->SaveDC();
        c->IntersectClipRect(r);
        const TBrushStyle bs = c->Brush()->Style();
        c->Brush()->SetStyle(bsClear);
        c->DrawText(t, -1, tr, fmt);
        c->Brush()->SetStyle(bs);
        c->RestoreDC(saved);
        return 0;
    }

    void line(int x1, int y1, int x2, int y2) {
        if (counting) return;
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    }

    void canvasSetup() {
        c = pr->GetCanvas();
        // A recording canvas has no device extent: start from the page, so
        // that cell clips intersect with something.
        c->SetClipRect({0, 0, pr->GetPageWidth(), pr->GetPageHeight()});
        c->Pen()->SetWidth(std::max(1, int(lineWidth * fit)));
        c->Pen()->SetColor(clBlack);
        c->Pen()->SetStyle(psSolid);
        c->Brush()->SetStyle(bsClear);
        c->Brush()->SetColor(clWhite);
        setFont(grid->Font());
    }

    int colontitle(bool isHeader, bool measure) {
        TPageColontitle* t = isHeader ? self->header_.get() : self->footer_.get();
        setFont(t->Font());
        int h = 0;
        const TRect r = isHeader ? TRect{left, top, right, tableTop} : TRect{left, tableBottom, right, bottom};
        const TAlignment aligns[] = {taLeftJustify, taCenter, taRightJustify};
        TStrings* lists[] = {t->LeftText(), t->CenterText(), t->RightText()};
        for (int i = 0; i < 3; ++i) {
            if (lists[i]->Count() == 0) continue;
            const std::string s = ExpandMacros(listText(lists[i]), pr->GetPageNumber(), pages);
            const int mh =
                text({r.Left, r.Top, r.Right, r.Top + 100000}, false, 0, 0, s, aligns[i], 0, false, false, 0, 0, true);
            h = std::max(h, mh);
            if (!measure && !counting) {
                TRect dr = r;
                if (isHeader)
                    dr.Bottom = dr.Top + mh;
                else
                    dr.Top = dr.Bottom - mh;
                text(dr, false, 0, 0, s, aligns[i], 0, false, false, 0, 0, false);
            }
        }
        if (h > 0) h += pY / 20;
        int rule = 0;
        if (t->LineType != pcltNon) rule = pY / 20 + (t->LineType == pcltDoubleLine ? pY / 30 : 0);
        if (!measure && t->LineType != pcltNon) {
            const int y = isHeader ? r.Bottom - pY / 20 : r.Top + pY / 20;
            line(left, y, right, y);
            if (t->LineType == pcltDoubleLine) {
                const int y2 = isHeader ? y - pY / 30 : y + pY / 30;
                line(left, y2, right, y2);
            }
        }
        return h + rule;
    }

    void newPage() {
        if (counting) {
            ++pageCount;
            return;
        }
        pr->NewPage();
        canvasSetup();
        colontitle(true, false);
        colontitle(false, false);
    }

    // ---- the printed columns and their widths
    void chooseColumns() {
        TDBGridEhSelection* sel = grid->Selection();
        if (sel->Kind() == gstRectangle) {
            for (int i = sel->Rect()->LeftCol(); i <= sel->Rect()->RightCol(); ++i)
                if (grid->Columns()->Items(i)->Visible()) cols.push_back(grid->Columns()->Items(i));
        } else if (sel->Kind() == gstColumns) {
            for (int i = 0; i < sel->Columns()->Count(); ++i) cols.push_back(sel->Columns()->Items(i));
        } else {
            cols = grid->VisibleColumns();
        }
    }

    void chooseRows() {
        TDBGridEhSelection* sel = grid->Selection();
        if (sel->Kind() == gstRecordBookmarks) {
            for (int i = 0; i < sel->Rows()->Count(); ++i) rows.push_back({sel->Rows()->BookmarkAt(i)});
        } else if (sel->Kind() == gstRectangle) {
            ds->GotoBookmark(sel->Rect()->TopRow());
            const TBookmark last = sel->Rect()->BottomRow();
            while (!ds->Eof()) {
                rows.push_back({ds->GetBookmark()});
                if (ds->GetBookmark() == last) break;
                ds->Next();
            }
        } else {
            ds->First();
            while (!ds->Eof()) {
                rows.push_back({ds->GetBookmark()});
                ds->Next();
            }
        }
        for (int n = 0; n < grid->FooterRowCount(); ++n) rows.push_back({"", n});
    }

    // ---- cells
    std::string footerText(int n, int ci) {
        TColumnEh* col = cols[size_t(ci)];
        TColumnFooterEh* f = col->FooterOfRow(n);
        if (f->ValueType() != fvtSum && f->ValueType() != fvtCount) return grid->GetFooterValue(n, col);
        const double v = double(sums[size_t(n)][size_t(ci)]) / 10000.0;
        if (f->ValueType() == fvtCount) return FloatToStr(v);
        TField* field = ds->FindField(f->FieldName().empty() ? col->FieldName() : f->FieldName());
        if (!field) return {};
        const std::string& fmt = field->DisplayFormat();
        switch (field->DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint: return fmt.empty() ? IntToStr(int64_t(std::nearbyint(v))) : FormatFloat(fmt, v);
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftFMTBcd: {
            if (!fmt.empty()) return FormatFloat(fmt, v);
            auto* ff = dynamic_cast<TFloatField*>(field);
            if (field->DataType() == ftCurrency || (ff && ff->Currency()))
                return FloatToStrF(v, ffCurrency, 15, FormatSettings.CurrencyDecimals);
            return FloatToStr(v);
        }
        default: return {};
        }
    }

    // Draws (or measures) the cell of printed column ci in r for row.
    int cell(int ci, const TRect& r, const Row& row, bool measure) {
        TColumnEh* col = cols[size_t(ci)];
        const bool colored = self->options_.Contains(pghColored);
        std::string t;
        TAlignment align;
        TColor bg = clWhite;
        bool ellipsis = false;
        if (row.footer < 0) {
            setFont(col->Font());
            bg = colored ? col->Color() : clWhite;
            if (grid->OnGetCellParams) grid->OnGetCellParams(grid, col, c->Font(), bg, {});
            TColCellParamsEh params;
            params.Background = bg;
            params.Font = c->Font();
            params.Alignment = col->Alignment();
            params.Text = col->DisplayText();
            if (col->OnGetCellParams) col->OnGetCellParams(col, false, &params);
            bg = params.Background;
            t = params.Text;
            align = params.Alignment;
            ellipsis = col->EndEllipsis();
            if (!measure && !counting && col->GetColumnType() == ctCheckboxes) {
                if (bg != clWhite) {
                    c->Brush()->SetStyle(bsSolid);
                    c->Brush()->SetColor(bg);
                    c->FillRect(r);
                }
                const int st = col->CheckboxState();
                const int w = std::min(sx(13), r.Width() - 2 * hPad), h = std::min(sy(13), r.Height() - 2 * vPad);
                TRect box{r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2, 0, 0};
                box.Right = box.Left + w;
                box.Bottom = box.Top + h;
                unsigned state = DFCS_BUTTONCHECK;
                if (st == 1) state |= DFCS_CHECKED;
                if (st == 2) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
                c->DrawFrameControl(box, DFC_BUTTON, state);
                return 0;
            }
        } else {
            TColumnFooterEh* f = col->FooterOfRow(row.footer);
            setFont(f->Font());
            bg = colored ? f->Color() : clWhite;
            align = f->Alignment();
            t = footerText(row.footer, ci);
            if (grid->OnGetFooterParams)
                grid->OnGetFooterParams(grid, col->Index(), row.footer, col, c->Font(), bg, align, {}, t);
            ellipsis = f->EndEllipsis();
        }
        const bool wrapNow = measure ? self->options_.Contains(pghRowAutoStretch) : wrap;
        if (!measure && !counting && bg != clWhite) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(bg);
            c->FillRect(r);
            c->Brush()->SetStyle(bsClear);
        }
        const int h = text(r, false, hPad, vPad, t, align, 0, wrapNow, ellipsis, 0, 0, measure);
        return measure ? h : 0;
    }

    void position(const Row& row) {
        if (row.footer < 0 && !row.bookmark.empty()) ds->GotoBookmark(row.bookmark);
    }

    // ---- titles
    void measureTitles() {
        int h1 = 0;
        for (TColumnEh* col : cols) {
            setFont(col->Title()->Font());
            h1 = std::max(h1, c->TextHeight("Wg"));
        }
        if (cols.empty()) {
            setFont(grid->TitleFont());
            h1 = c->TextHeight("Wg");
        }
        if (grid->UseMultiTitle()) {
            levels = 1;
            for (TColumnEh* col : cols) {
                const std::string cap = col->Title()->Caption();
                levels = std::max(levels, int(std::count(cap.begin(), cap.end(), '|')) + 1);
            }
            levelH = h1 + sy(grid->VTitleMargin());
            titleH = levels * levelH;
        } else {
            titleH = h1 + 2 * vPad;
            if (grid->TitleLines() > 0 || grid->TitleHeight() > 0)
                titleH = vPad + std::max(1, grid->TitleLines()) * h1 + sy(grid->TitleHeight()) + lineExtra;
        }
        titleTextH = 0;
        if (self->title_->Count() > 0) {
            setFont(grid->TitleFont());
            int total = 0;
            for (int w : cw) total += w;
            titleTextH = text({left, 0, left + std::min(total, right - left), 100000}, false, hPad, vPad,
                              listText(self->title_.get()), taCenter, 0, true, false, 0, 0, true);
        }
    }

    std::vector<std::string> captionPath(TColumnEh* col) const {
        std::vector<std::string> parts;
        const std::string cap = col->Title()->Caption();
        size_t start = 0;
        while (true) {
            size_t p = cap.find('|', start);
            parts.push_back(cap.substr(start, p == std::string::npos ? std::string::npos : p - start));
            if (p == std::string::npos) break;
            start = p + 1;
        }
        return parts;
    }

    void drawTitles(int first, int last) {
        const bool colored = self->options_.Contains(pghColored);
        int bandW = 0;
        for (int i = first; i <= last; ++i) bandW += cw[size_t(i)];
        const int titleBottom = rowsTop + Y;
        const int titleTop = titleBottom - titleH;
        // The Title text over the whole table: each band shows its part.
        if (titleTextH > 0) {
            int before = 0, after = 0;
            for (int i = 0; i < first; ++i) before += cw[size_t(i)];
            for (size_t i = size_t(last) + 1; i < cw.size(); ++i) after += cw[i];
            setFont(grid->TitleFont());
            TRect r{left, titleTop - titleTextH, left + bandW, titleTop};
            if (colored && !counting) {
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(grid->FixedColor());
                c->FillRect(r);
            }
            text(r, false, 0, vPad, listText(self->title_.get()), taCenter, 0, true, false, hPad - before, hPad - after,
                 false);
            line(r.Left, r.Top, r.Right, r.Top);
            line(r.Left, r.Top, r.Left, r.Bottom);
            line(r.Right, r.Top, r.Right, r.Bottom);
        }
        auto fillTitle = [&](const TRect& r) {
            if (colored && !counting) {
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(grid->FixedColor());
                c->FillRect(r);
                c->Brush()->SetStyle(bsClear);
            }
        };
        if (!grid->UseMultiTitle()) {
            int x = left;
            for (int i = first; i <= last; ++i) {
                TColumnEh* col = cols[size_t(i)];
                TRect r{x, titleTop, x + cw[size_t(i)], titleBottom};
                setFont(col->Title()->Font());
                fillTitle(r);
                text(r, false, hPad, vPad, col->Title()->Caption(), col->Title()->Alignment(), 0, false,
                     col->Title()->EndEllipsis(), 0, 0, false);
                line(r.Left, r.Top, r.Right, r.Top);
                line(r.Left, r.Top, r.Left, r.Bottom);
                line(r.Right, r.Top, r.Right, r.Bottom);
                line(r.Left, r.Bottom, r.Right, r.Bottom);
                x += cw[size_t(i)];
            }
            return;
        }
        // Multi-level: each level merges neighbours whose paths agree down
        // to that level; a group cut by the band shows its part.
        std::vector<std::vector<std::string>> paths;
        for (int i = first; i <= last; ++i) paths.push_back(captionPath(cols[size_t(i)]));
        const int n = last - first + 1;
        std::vector<int> xs(size_t(n) + 1, left);
        for (int i = 0; i < n; ++i) xs[size_t(i) + 1] = xs[size_t(i)] + cw[size_t(first + i)];
        for (int lvl = 0; lvl < levels; ++lvl) {
            int i = 0;
            while (i < n) {
                const auto& p = paths[size_t(i)];
                const bool leafHere = lvl + 1 >= int(p.size());
                if (lvl >= int(p.size())) {
                    ++i;
                    continue;
                }
                int j = i + 1;
                if (!leafHere)
                    while (j < n) {
                        const auto& q = paths[size_t(j)];
                        if (int(q.size()) <= lvl + 1 || !std::equal(p.begin(), p.begin() + lvl + 1, q.begin())) break;
                        ++j;
                    }
                const int cellTop = titleTop + lvl * levelH;
                const int cellBottom = leafHere ? titleBottom : cellTop + levelH;
                TRect r{xs[size_t(i)], cellTop, xs[size_t(j)], cellBottom};
                setFont(leafHere ? cols[size_t(first + i)]->Title()->Font() : grid->TitleFont());
                fillTitle(r);
                text(r, false, hPad, 0, p[size_t(lvl)], taCenter, 1, true, false, 0, 0, false);
                line(r.Left, r.Top, r.Right, r.Top);
                line(r.Left, r.Top, r.Left, r.Bottom);
                line(r.Right, r.Top, r.Right, r.Bottom);
                line(r.Left, r.Bottom, r.Right, r.Bottom);
                i = j;
            }
        }
    }

    // ---- rows
    void addSums(const Row& row) {
        if (row.footer >= 0) return;
        for (size_t n = 0; n < sums.size(); ++n)
            for (size_t ci = 0; ci < cols.size(); ++ci) {
                TColumnFooterEh* f = cols[ci]->FooterOfRow(int(n));
                if (f->ValueType() != fvtSum && f->ValueType() != fvtCount) continue;
                TField* field = ds->FindField(f->FieldName().empty() ? cols[ci]->FieldName() : f->FieldName());
                if (!field) continue;
                if (f->ValueType() == fvtCount)
                    sums[n][ci] += 10000;
                else if (!field->IsNull())
                    sums[n][ci] += int64_t(std::nearbyint(field->AsFloat() * 10000.0));
            }
    }

    int rowHeight(const Row& row) {
        position(row);
        int h = defaultRowH;
        if (self->options_.Contains(pghRowAutoStretch))
            for (size_t ci = 0; ci < cols.size(); ++ci)
                h = std::max(h, cell(int(ci), {0, 0, cw[ci], 100000}, row, true));
        return h;
    }

    // Places rows from `from` down from y; returns their heights.
    std::vector<int> measureRows(size_t from, int y, int limit) {
        std::vector<int> hs;
        for (size_t i = from; i < rows.size(); ++i) {
            const int h = rowHeight(rows[i]);
            if (y + h > limit) break;
            y += h;
            addSums(rows[i]);
            hs.push_back(h);
        }
        return hs;
    }

    int printBands(size_t from, const std::vector<int>& hs) {
        int lastBottom = rowsTop + Y;
        for (auto [first, last] : bands) {
            if (pr->GetAborted()) throw EAbort("");
            if (freshPage)
                freshPage = false;
            else
                newPage();
            drawTitles(first, last);
            int y = rowsTop + Y;
            for (size_t k = 0; k < hs.size(); ++k) {
                const Row& row = rows[from + k];
                position(row);
                int x = left;
                const int h = hs[k];
                for (int ci = first; ci <= last; ++ci) {
                    TRect r{x, y, x + cw[size_t(ci)], std::min(y + h, tableBottom)};
                    if (!counting) {
                        const int saved = c->SaveDC();
                        c->IntersectClipRect(r);
                        cell(ci, r, row, false);
                        c->RestoreDC(saved);
                    }
                    line(r.Left, r.Bottom, r.Right, r.Bottom);
                    line(r.Right, r.Top, r.Right, r.Bottom);
                    if (ci == first) line(r.Left, r.Top, r.Left, r.Bottom);
                    x += cw[size_t(ci)];
                }
                y = std::min(y + h, tableBottom);
            }
            lastBottom = y;
        }
        return lastBottom - tableTop;
    }

    void body() {
        Y = 0;
        freshPage = true;
        for (auto& s : sums) std::fill(s.begin(), s.end(), 0);
        size_t next = 0;
        if (rows.empty()) {
            // Titles only.
            printBands(0, {});
            return;
        }
        while (next < rows.size()) {
            std::vector<int> hs = measureRows(next, rowsTop + Y, tableBottom);
            if (hs.empty()) {
                if (Y > 0 || !freshPage) {
                    // Nothing more fits below what this page holds: go on
                    // on a fresh page.
                    if (Y > 0) {
                        Y = 0;
                        hs = measureRows(next, rowsTop, tableBottom);
                    }
                }
                if (hs.empty()) {
                    // A row taller than the page prints alone, cut at the
                    // table's bottom, and the printout goes on.
                    addSums(rows[next]);
                    hs.push_back(tableBottom - rowsTop - Y);
                }
            }
            printBands(next, hs);
            next += hs.size();
            Y = 0;
        }
    }

    // Widths measured from what is printed: the title (its last level with
    // multi-level titles), every printed row's text and the footers.
    std::vector<int> optimalWidths() {
        std::vector<int> w(cols.size(), 10);
        auto widthOf = [&](const std::string& t) {
            TRect m{0, 0, 100000, 100000};
            c->DrawText(t, -1, m, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE);
            return m.Width() + 2 * hPad;
        };
        for (size_t ci = 0; ci < cols.size(); ++ci) {
            TColumnEh* col = cols[ci];
            std::string cap = col->Title()->Caption();
            if (grid->UseMultiTitle())
                if (size_t p = cap.rfind('|'); p != std::string::npos) cap = cap.substr(p + 1);
            setFont(col->Title()->Font());
            w[ci] = std::max(w[ci], widthOf(cap));
        }
        for (const Row& row : rows) {
            position(row);
            for (size_t ci = 0; ci < cols.size(); ++ci) {
                TColumnEh* col = cols[ci];
                if (row.footer < 0) {
                    setFont(col->Font());
                    w[ci] = std::max(w[ci], widthOf(col->DisplayText()));
                } else {
                    setFont(col->FooterOfRow(row.footer)->Font());
                    w[ci] = std::max(w[ci], widthOf(grid->GetFooterValue(row.footer, col)));
                }
            }
        }
        return w;
    }

    void run() {
        pX = pr->GetXDpi();
        pY = pr->GetYDpi();
        const int sX = 96, sY = 96;
        scaleX = double(std::max(sX, pX)) / std::min(sX, pX);
        scaleY = double(std::max(sY, pY)) / std::min(sY, pY);
        const int offX = (pr->GetFullPageWidth() - pr->GetPageWidth()) / 2;
        const int offY = (pr->GetFullPageHeight() - pr->GetPageHeight()) / 2;
        const double u = self->units_ == MM ? 2.54 : 1.0;
        TPageParams* pg = self->page_.get();
        left = roundHalfEven(pX * pg->LeftMargin.ToDouble() / u) - offX;
        top = roundHalfEven(pY * pg->TopMargin.ToDouble() / u) - offY;
        right = pr->GetPageWidth() + offX - roundHalfEven(pX * pg->RightMargin.ToDouble() / u);
        bottom = pr->GetPageHeight() + offY - roundHalfEven(pY * pg->BottomMargin.ToDouble() / u);
        hPad = roundHalfEven(2 * scaleX);
        vPad = grid->Flat() ? roundHalfEven(scaleY) : roundHalfEven(2 * scaleY);
        lineExtra = grid->Flat() ? roundHalfEven(scaleY / 2) : roundHalfEven(scaleY);
        lineWidth = std::max(1, (pX + pY) / 200);
        chooseColumns();
        canvasSetup();
        chooseRows();
        std::vector<int> w;
        int total = 0;
        if (self->options_.Contains(pghOptimalColWidths)) {
            w = optimalWidths();
            for (int x : w) total += x;
        } else {
            for (TColumnEh* col : cols) {
                w.push_back(roundHalfEven((col->Width() + 1) * scaleX));
                total += w.back();
            }
        }
        const int avail = right - left - lineWidth;
        const bool fitOpt = self->options_.Contains(pghFitGridToPageWidth);
        if (fitOpt && self->options_.Contains(pghFitingByColWidths) && avail < total && total > 0) {
            int sum = 0;
            for (int& x : w) {
                x = int(int64_t(x) * avail / total);
                sum += x;
            }
            if (sum > avail && !w.empty()) w.back() -= sum - avail;
        } else if (fitOpt && total + lineWidth > right - left && total > 0) {
            // Shrink the whole drawing: widths, fonts, insets and lines by
            // one factor, so the table keeps its look at the page's width.
            fit = double(right - left - lineWidth) / total;
            for (int& x : w) x = int(x * fit);
        }
        hPad = std::max(1, int(hPad * fit));
        vPad = std::max(1, int(vPad * fit));
        for (int x : w) cw.push_back(std::min(x, right - left));
        int x = left + lineWidth;
        int bandStart = 0;
        for (size_t i = 0; i < cw.size(); ++i) {
            x += cw[i];
            if (x > right && int(i) != bandStart) {
                bands.push_back({bandStart, int(i) - 1});
                bandStart = int(i);
                x = left + lineWidth + cw[i];
            }
        }
        if (!cw.empty()) bands.push_back({bandStart, int(cw.size()) - 1});
        if (bands.empty()) bands.push_back({0, -1});
        sums.assign(size_t(grid->FooterRowCount()), std::vector<int64_t>(cols.size(), 0));
        canvasSetup();
        tableTop = top; // the header is measured against the page's top
        tableBottom = bottom;
        headerH = colontitle(true, true);
        footerH = colontitle(false, true);
        tableTop = top + headerH;
        tableBottom = bottom - footerH;
        setFont(grid->Font());
        const int th = c->TextHeight("Wg");
        if (grid->RowHeight() != 0 || grid->RowLines() != 0)
            defaultRowH = std::max(1, grid->RowLines()) * th + sy(grid->RowHeight()) + 2 * vPad;
        else
            defaultRowH = th + 2 * vPad;
        wrap = defaultRowH > th + 2 * vPad || self->options_.Contains(pghRowAutoStretch);
        measureTitles();
        rowsTop = tableTop + titleTextH + titleH;
        if (self->UsesPagesMacro()) {
            counting = true;
            pageCount = 1;
            body();
            counting = false;
            pages = pageCount;
        }
        canvasSetup();
        colontitle(true, false);
        colontitle(false, false);
        body();
    }
};

void TPrintDBGridEh::RenderGridPages(TVirtualPrinter* printer) {
    if (OnBeforePrint) OnBeforePrint(this);
    TDataSet* ds = grid_ && grid_->DataSource() ? grid_->DataSource()->DataSet() : nullptr;
    if (!ds || !ds->Active()) return;
    // A printout processes no window messages, so neither the grid nor this
    // component can be freed under it; the flag lets owners refuse to close
    // when a caller's event handler runs one from within.
    printing_ = true;
    Render r{this, grid_, printer, ds};
    const TBookmark back = ds->GetBookmark();
    printer->SetTitle("Tabular information");
    printer->BeginDoc();
    ds->DisableControls();
    bool ok = false;
    {
        ScopeExit finish([&] {
            if (!back.empty() && ds->BookmarkValid(back)) ds->GotoBookmark(back);
            ds->EnableControls();
            if (ok) lastPageCount_ = printer->GetPageNumber();
            printer->EndDoc();
            printing_ = false;
            if (!ok) lastPageCount_ = r.counting ? 0 : printer->GetPageNumber();
        });
        r.run();
        ok = true;
    }
    if (OnAfterPrint) OnAfterPrint(this);
}

void TPrintDBGridEh::PrintDirect() { RenderGridPages(SharedVirtualPrinter()); }

void TPrintDBGridEh::ShowPreview() {
    TDataSet* ds = grid_ && grid_->DataSource() ? grid_->DataSource()->DataSet() : nullptr;
    if (!ds || !ds->Active()) {
        if (OnBeforePrint) OnBeforePrint(this);
        return;
    }
    TPrinterPreview* pp = GetPreviewPrinter();
    if (OnPrinterSetupDialog)
        pp->PendingSetupDialog = OnPrinterSetupDialog;
    else
        pp->PendingSetupDialog = [this](TObject*) { SetupAndPreview(); };
    pp->PrintDBGridEh = this;
    try {
        RenderGridPages(pp);
    } catch (EAbort&) {
        // Stopped: the pages made so far stay in the preview.
    }
    TPreviewFormEh* form = PreviewForm();
    form->PreviewEh1->SetPageNumber(1);
    form->PreviewEh1->SetViewMode(vmFullPage);
    if (!form->Visible()) form->ShowModal();
}

bool TPrintDBGridEh::ShowSetupDialog() { return RunPrintSetupDialog(this); }

void TPrintDBGridEh::SetupAndPreview() {
    if (!ShowSetupDialog()) return;
    // The window is open already: rebuild its pages in place.
    TPrinterPreview* pp = GetPreviewPrinter();
    pp->PendingSetupDialog = [this](TObject*) { SetupAndPreview(); };
    pp->PrintDBGridEh = this;
    try {
        RenderGridPages(pp);
    } catch (EAbort&) {}
}
