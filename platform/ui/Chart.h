// The statistics chart: a control showing pie, bar or line series whose
// points come from a data set's label and value fields (or are added by
// hand), with a title, a legend and marks. It paints on any TCanvas, so
// the same chart shows on screen, prints, and renders into a bitmap.
// Not here: interactive zoom/scroll or 3-D drawing (View3D is kept as a
// setting and drawn flat).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

class TDataSet;
class TChart;

// What a point's mark says. smsLabelPercent, the statistics windows' style,
// reads "文学 25 %": the label, a space, the share of the series total.
enum TSeriesMarksStyle {
    smsValue,
    smsPercent,
    smsLabel,
    smsLabelPercent,
    smsLabelValue,
    smsLegend,
    smsPercentTotal,
    smsLabelPercentTotal,
    smsXValue
};

struct TSeriesMarks {
    bool Visible = true;
    TSeriesMarksStyle Style = smsLabel;
};

// One series of points (label, value, colour). Bound to a data set through
// DataSource + XLabelsSource + YValuesSource, CheckDataSource() replaces
// the points with one per record (the data set's position is kept).
class TChartSeries : public TComponent {
public:
    explicit TChartSeries(TComponent* AOwner);
    ~TChartSeries() override;
    std::string ClassName() const override { return "TChartSeries"; }

    TChart* ParentChart() const { return chart_; }
    // Adds the series to chart (removing it from any other); nullptr detaches.
    void SetParentChart(TChart* chart);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v);
    TColor SeriesColor() const { return color_; }
    void SetSeriesColor(TColor v);
    bool Active() const { return active_; }
    void SetActive(bool v);
    TSeriesMarks& Marks() { return marks_; }

    TDataSet* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSet* ds);
    const std::string& XLabelsSource() const { return xLabels_; }
    void SetXLabelsSource(const std::string& field);
    const std::string& YValuesSource() const { return yValues_; }
    void SetYValuesSource(const std::string& field);
    // Reloads the points from the data set (nothing without one, or when it
    // is closed: the points are then cleared). A missing field raises the
    // data set's EDatabaseError.
    void CheckDataSource();

    // Returns the new point's index; clDefault colours it from the palette.
    int Add(double value, const std::string& label = "", TColor color = clDefault);
    void Delete(int index);
    void Clear();
    int Count() const { return int(points_.size()); }
    double YValue(int index) const;
    const std::string& XLabel(int index) const;
    // The point's colour after palette assignment.
    TColor ValueColor(int index) const;
    // The mark text of point index by Marks().Style.
    std::string MarkText(int index) const;
    double Total() const;

    enum Kind { skPie, skBar, skLine };
    virtual Kind SeriesKind() const = 0;

    // Forgets a data set that is being freed.
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Changed();

private:
    friend class TChart;
    struct Point {
        double value;
        std::string label;
        TColor color;
    };
    TChart* chart_ = nullptr;
    std::string title_;
    TColor color_ = clDefault;
    bool active_ = true;
    TSeriesMarks marks_;
    TDataSet* dataSource_ = nullptr;
    std::string xLabels_;
    std::string yValues_;
    std::vector<Point> points_;
};

class TPieSeries : public TChartSeries {
public:
    explicit TPieSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    std::string ClassName() const override { return "TPieSeries"; }
    Kind SeriesKind() const override { return skPie; }
};

class TBarSeries : public TChartSeries {
public:
    explicit TBarSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    std::string ClassName() const override { return "TBarSeries"; }
    Kind SeriesKind() const override { return skBar; }
};

class TLineSeries : public TChartSeries {
public:
    explicit TLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    std::string ClassName() const override { return "TLineSeries"; }
    Kind SeriesKind() const override { return skLine; }
};

class TChartTitle {
public:
    TChartTitle();
    // Lines of the title, shown one under the other.
    TStringList* Text() { return text_.get(); }
    bool Visible = true;
    TFont* Font() { return font_.get(); }

private:
    std::unique_ptr<TStringList> text_;
    std::unique_ptr<TFont> font_;
};

struct TChartLegend {
    bool Visible = true;
};

// The chart control. Series are not owned by the chart (their Owner frees
// them) except through FreeAllSeries. Draw paints onto any canvas; the
// control's own Paint uses it for the screen.
class TChart : public TCustomControl {
public:
    explicit TChart(TComponent* AOwner);
    ~TChart() override;
    std::string ClassName() const override { return "TChart"; }

    TChartTitle* Title() { return &title_; }
    TChartLegend* Legend() { return &legend_; }
    bool View3D() const { return view3D_; }
    void SetView3D(bool v) {
        view3D_ = v;
        Invalidate();
    }

    int SeriesCount() const { return int(series_.size()); }
    TChartSeries* Series(int index) const;
    void AddSeries(TChartSeries* s);
    // Detaches s (it is not freed).
    void RemoveSeries(TChartSeries* s);
    void RemoveAllSeries();
    // Detaches and frees every series.
    void FreeAllSeries();

    // Paints the chart into r on canvas (screen, printer, bitmap, recorder).
    void Draw(TCanvas* canvas, const TRect& r);
    // A new bitmap of the chart at w x h (the control's size when 0).
    std::unique_ptr<TBitmap> CreateBitmap(int w = 0, int h = 0);
    void SaveToBitmapFile(const std::string& fileName);
    // Prints the chart on one page of the process printer, fitted to the
    // page with its proportions kept.
    void Print();
    void PrintPartialCanvas(TCanvas* canvas, const TRect& r) { Draw(canvas, r); }

protected:
    void Paint() override;

private:
    friend class TChartSeries;
    std::vector<TChartSeries*> series_;
    TChartTitle title_;
    TChartLegend legend_;
    bool view3D_ = true;
};

// The chart whose series read their points from data sets: RefreshData
// reloads every series from its data set.
class TDBChart : public TChart {
public:
    explicit TDBChart(TComponent* AOwner) : TChart(AOwner) {}
    std::string ClassName() const override { return "TDBChart"; }
    void RefreshData();
};
