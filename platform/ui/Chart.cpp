// The chart on Qt Charts. The QChart is rebuilt from the series at every
// Draw and rendered through a graphics scene onto the canvas's painter (or,
// for a canvas without one such as the recorder, into an image first), so
// screen, printer and bitmap output share one path and hold no Qt state
// between paints.
#include "Chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>
#include <algorithm>

#include "DB.h"
#include "Printers.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "Canvas_p.h"

namespace {

// The palette points take when they bring no colour of their own.
// White comes last so that a slice never vanishes into the background
// before fifteen others have been coloured.
constexpr TColor kPalette[] = {clRed,  clGreen, clYellow, clBlue,   clFuchsia, clTeal, clNavy,  clMaroon,
                               clLime, clOlive, clPurple, clSilver, clAqua,    clGray, clBlack, clWhite};

TColor PaletteColor(int i) { return kPalette[size_t(i) % std::size(kPalette)]; }

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

// ------------------------------------------------------------------ series

TChartSeries::TChartSeries(TComponent* AOwner) : TComponent(AOwner) {}

TChartSeries::~TChartSeries() {
    if (chart_) chart_->RemoveSeries(this);
    if (dataSource_) dataSource_->RemoveFreeNotification(this);
}

void TChartSeries::SetParentChart(TChart* chart) {
    if (chart == chart_) return;
    if (chart_) chart_->RemoveSeries(this);
    if (chart) chart->AddSeries(this);
}

void TChartSeries::Changed() {
    if (chart_) chart_->Invalidate();
}

void TChartSeries::SetTitle(const std::string& v) {
    title_ = v;
    Changed();
}
void TChartSeries::SetSeriesColor(TColor v) {
    color_ = v;
    Changed();
}
void TChartSeries::SetActive(bool v) {
    active_ = v;
    Changed();
}

void TChartSeries::SetDataSource(TDataSet* ds) {
    if (ds == dataSource_) return;
    if (dataSource_) dataSource_->RemoveFreeNotification(this);
    dataSource_ = ds;
    if (ds) ds->FreeNotification(this);
    CheckDataSource();
}

void TChartSeries::SetXLabelsSource(const std::string& field) { xLabels_ = field; }
void TChartSeries::SetYValuesSource(const std::string& field) { yValues_ = field; }

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == dataSource_) {
        dataSource_ = nullptr;
        points_.clear();
        Changed();
    }
}

void TChartSeries::CheckDataSource() {
    if (!dataSource_ || yValues_.empty()) return;
    points_.clear();
    if (!dataSource_->Active()) {
        Changed();
        return;
    }
    TField* yf = dataSource_->FieldByName(yValues_);
    TField* xf = xLabels_.empty() ? nullptr : dataSource_->FieldByName(xLabels_);
    TBookmark mark = dataSource_->GetBookmark();
    {
        TDisableControls still(dataSource_);
        dataSource_->First();
        while (!dataSource_->Eof()) {
            points_.push_back({yf->AsFloat(), xf ? xf->AsString() : std::string(), clDefault});
            dataSource_->Next();
        }
        if (!mark.empty() && dataSource_->BookmarkValid(mark)) dataSource_->GotoBookmark(mark);
    }
    Changed();
}

int TChartSeries::Add(double value, const std::string& label, TColor color) {
    points_.push_back({value, label, color});
    Changed();
    return int(points_.size()) - 1;
}

void TChartSeries::Delete(int index) {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    points_.erase(points_.begin() + index);
    Changed();
}

void TChartSeries::Clear() {
    points_.clear();
    Changed();
}

double TChartSeries::YValue(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return points_[size_t(index)].value;
}

const std::string& TChartSeries::XLabel(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return points_[size_t(index)].label;
}

TColor TChartSeries::ValueColor(int index) const {
    const Point& p = points_.at(size_t(index));
    if (p.color != clDefault) return p.color;
    if (SeriesKind() != skPie && color_ != clDefault) return color_;
    return PaletteColor(index);
}

double TChartSeries::Total() const {
    double t = 0;
    for (auto& p : points_) t += std::abs(p.value);
    return t;
}

std::string TChartSeries::MarkText(int index) const {
    const Point& p = points_.at(size_t(index));
    double total = Total();
    std::string percent = FormatFloat("##0.## %", total == 0 ? 0.0 : std::abs(p.value) * 100.0 / total);
    std::string value = FormatFloat("#,##0.###", p.value);
    switch (marks_.Style) {
    case smsValue: return value;
    case smsPercent: return percent;
    case smsLabel:
    case smsLegend: return p.label.empty() ? value : p.label;
    case smsLabelPercent: return p.label + " " + percent;
    case smsLabelValue: return p.label + " " + value;
    case smsPercentTotal: return percent + " of " + FormatFloat("#,##0.###", total);
    case smsLabelPercentTotal: return p.label + " " + percent + " of " + FormatFloat("#,##0.###", total);
    case smsXValue: return std::to_string(index);
    }
    return value;
}

// ------------------------------------------------------------------ chart

TChartTitle::TChartTitle() : text_(std::make_unique<TStringList>()), font_(std::make_unique<TFont>()) {
    font_->SetColor(clBlue);
}

// The widget behind the control needs the application object first.
TChart::TChart(TComponent* AOwner) : TCustomControl((EnsureGuiApplication(), AOwner)) { SetColor(clBtnFace); }

TChart::~TChart() {
    for (auto* s : series_) s->chart_ = nullptr;
}

TChartSeries* TChart::Series(int index) const {
    if (index < 0 || index >= SeriesCount()) throw EListError(Format("List index out of bounds (%d)", index));
    return series_[size_t(index)];
}

void TChart::AddSeries(TChartSeries* s) {
    if (!s || s->chart_ == this) return;
    if (s->chart_) s->chart_->RemoveSeries(s);
    series_.push_back(s);
    s->chart_ = this;
    Invalidate();
}

void TChart::RemoveSeries(TChartSeries* s) {
    auto it = std::find(series_.begin(), series_.end(), s);
    if (it == series_.end()) return;
    series_.erase(it);
    s->chart_ = nullptr;
    Invalidate();
}

void TChart::RemoveAllSeries() {
    while (!series_.empty()) RemoveSeries(series_.back());
}

void TChart::FreeAllSeries() {
    std::vector<TChartSeries*> all = series_;
    RemoveAllSeries();
    for (auto* s : all) delete s;
}

void TDBChart::RefreshData() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i)->CheckDataSource();
    Invalidate();
}

namespace {

// Builds the Qt chart for the series; the caller owns the result.
QChart* BuildChart(TChart* c, const std::vector<TChartSeries*>& series, int dpi) {
    auto* chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(ToQColor(c->Color()));
    QFont font = ToQFont(*c->Font(), dpi);
    TChartTitle* title = c->Title();
    if (title->Visible && title->Text()->Count() > 0) {
        QStringList lines;
        for (int i = 0; i < title->Text()->Count(); ++i) lines << Q(title->Text()->Strings(i));
        chart->setTitle(lines.join('\n'));
        TFont tf;
        tf.Assign(title->Font());
        chart->setTitleFont(ToQFont(tf, dpi));
        chart->setTitleBrush(ToQColor(title->Font()->Color()));
    }
    chart->legend()->setVisible(c->Legend()->Visible);
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignRight);

    QStringList categories;
    bool needAxes = false;
    for (auto* s : series) {
        if (!s->Active()) continue;
        for (int i = 0; i < s->Count() && s->SeriesKind() != TChartSeries::skPie; ++i)
            if (categories.size() <= i) categories << Q(s->XLabel(i));
    }
    QBarCategoryAxis* axisX = nullptr;
    QValueAxis* axisY = nullptr;
    double maxValue = 0, minValue = 0;
    for (auto* s : series) {
        if (!s->Active()) continue;
        for (int i = 0; i < s->Count(); ++i) {
            maxValue = std::max(maxValue, s->YValue(i));
            minValue = std::min(minValue, s->YValue(i));
        }
    }
    for (size_t k = 0; k < series.size(); ++k) {
        TChartSeries* s = series[k];
        if (!s->Active()) continue;
        switch (s->SeriesKind()) {
        case TChartSeries::skPie: {
            auto* pie = new QPieSeries();
            for (int i = 0; i < s->Count(); ++i) {
                auto* slice = pie->append(Q(s->MarkText(i)), std::abs(s->YValue(i)));
                slice->setBrush(ToQColor(s->ValueColor(i)));
                slice->setPen(QPen(Qt::black, 1));
                slice->setLabelVisible(s->Marks().Visible);
                slice->setLabelFont(font);
            }
            pie->setPieSize(0.6);
            chart->addSeries(pie);
            // The legend names the points by their labels, the slices by
            // their marks.
            auto markers = chart->legend()->markers(pie);
            for (int i = 0; i < markers.size() && i < s->Count(); ++i) markers[i]->setLabel(Q(s->XLabel(i)));
            break;
        }
        case TChartSeries::skBar: {
            auto* bars = new QBarSeries();
            auto* set = new QBarSet(Q(s->Title()));
            for (int i = 0; i < s->Count(); ++i) set->append(s->YValue(i));
            TColor col = s->SeriesColor() != clDefault ? s->SeriesColor() : PaletteColor(int(k));
            set->setBrush(ToQColor(col));
            set->setPen(QPen(Qt::black, 1));
            set->setLabelFont(font);
            set->setLabelColor(Qt::black);
            bars->append(set);
            bars->setLabelsVisible(s->Marks().Visible);
            bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
            chart->addSeries(bars);
            needAxes = true;
            break;
        }
        case TChartSeries::skLine: {
            auto* line = new QLineSeries();
            line->setName(Q(s->Title()));
            for (int i = 0; i < s->Count(); ++i) line->append(i, s->YValue(i));
            TColor col = s->SeriesColor() != clDefault ? s->SeriesColor() : PaletteColor(int(k));
            line->setPen(QPen(ToQColor(col), 2));
            line->setPointsVisible(true);
            line->setPointLabelsVisible(s->Marks().Visible);
            line->setPointLabelsFont(font);
            line->setPointLabelsFormat("@yPoint");
            chart->addSeries(line);
            needAxes = true;
            break;
        }
        }
    }
    if (needAxes) {
        axisX = new QBarCategoryAxis();
        axisX->append(categories);
        axisX->setLabelsFont(font);
        axisY = new QValueAxis();
        axisY->setLabelsFont(font);
        axisY->setRange(minValue, maxValue <= minValue ? minValue + 1 : maxValue * 1.1);
        axisY->applyNiceNumbers();
        axisY->setLabelFormat("%g");
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);
        for (auto* qs : chart->series()) {
            if (qs->type() == QAbstractSeries::SeriesTypePie) continue;
            qs->attachAxis(axisX);
            qs->attachAxis(axisY);
        }
    }
    return chart;
}

void Render(QChart* chart, QPainter* p, const QRectF& target) {
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
    scene.setSceneRect(QRectF(QPointF(0, 0), target.size()));
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setRenderHint(QPainter::TextAntialiasing, true);
    scene.render(p, target, scene.sceneRect());
    p->restore();
    scene.removeItem(chart);
}

} // namespace

void TChart::Draw(TCanvas* canvas, const TRect& r) {
    if (IsRectEmpty(r)) return;
    int dpi = canvas->d()->dpi;
    // A printer page is large in pixels; the chart is laid out at screen
    // size and scaled so that text keeps its proportion to the plot.
    double scale = dpi > 96 ? dpi / 96.0 : 1.0;
    std::unique_ptr<QChart> chart(BuildChart(this, series_, 96));
    QRectF logical(0, 0, r.Width() / scale, r.Height() / scale);
    QPainter* p = canvas->d()->recorder ? nullptr : canvas->d()->painter();
    if (p) {
        p->save();
        p->setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
        p->translate(r.Left, r.Top);
        p->scale(scale, scale);
        Render(chart.get(), p, logical);
        p->restore();
        return;
    }
    QImage img(r.Width(), r.Height(), QImage::Format_RGB32);
    img.fill(ToQColor(Color()));
    QPainter ip(&img);
    ip.scale(scale, scale);
    Render(chart.get(), &ip, logical);
    ip.end();
    CanvasDrawImage(canvas, img, r, false, clNone);
}

std::unique_ptr<TBitmap> TChart::CreateBitmap(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w > 0 ? w : Width(), h > 0 ? h : Height());
    Draw(b->Canvas(), Rect(0, 0, b->Width(), b->Height()));
    return b;
}

void TChart::SaveToBitmapFile(const std::string& fileName) { CreateBitmap()->SaveToFile(fileName); }

void TChart::Print() {
    TPrinter* printer = Printer();
    int w = std::max(1, Width()), h = std::max(1, Height());
    int pw = printer->PageWidth(), ph = printer->PageHeight();
    int margin = pw / 20;
    double fit = std::min(double(pw - 2 * margin) / w, double(ph - 2 * margin) / h);
    printer->BeginDoc();
    ScopeExit abort([printer] { printer->Abort(); });
    Draw(printer->Canvas(), Bounds(margin, margin, int(w * fit), int(h * fit)));
    abort.Dismiss();
    printer->EndDoc();
}

void TChart::Paint() { Draw(Canvas(), ClientRect()); }
