#include "tune/response_view.h"

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "tune/analysis.h"
#include "tune/plot_tools.h"

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString Decibels(std::complex<double> h) { return QString::number(20.0 * std::log10(std::abs(h)), 'f', 2); }

}  // namespace

ResponseView::ResponseView(const ViewContext& context) : context_(context), page_(new QWidget) {
  // The bar's controls come first in the tab order, then the plot.
  BuildBar(page_);
  plot_ = NewPlot("frequency (Hz)", "gain (dB)");
  plot_->enableAxis(QwtPlot::yRight);
  plot_->setAxisTitle(QwtPlot::yRight, "phase (degrees)");
  plot_->insertLegend(new QwtLegend, QwtPlot::TopLegend);
  phase_ = AddCurve("phase", plot_, QColor(60, 160, 60));
  phase_->setYAxis(QwtPlot::yRight);
  file_gain_ = AddCurve("gain of coeff1.txt", plot_, QColor(230, 120, 0), Qt::DashLine);
  // Shown, in the plot and its legend, once something was exported.
  exported_ = AddCurve("gain as exported", plot_, QColor(150, 40, 150), Qt::DotLine);
  exported_->setVisible(false);
  exported_->setItemAttribute(QwtPlotItem::Legend, false);
  plot_->updateLegend(exported_);  // takes its entry away: Qwt updates only items shown in the legend
  gain_ = AddCurve("gain", plot_, QColor(20, 60, 200));
  // The requirement's lines, in the legend while the design has one
  // (the pass band's floor and ceiling as one entry).
  for (QwtPlotCurve** line : {&pass_floor_, &pass_ceiling_, &stop_ceiling_}) {
    const QString name = line == &pass_floor_     ? "pass band"
                         : line == &pass_ceiling_ ? "pass band ceiling"
                                                  : "stop band";
    *line = AddCurve(name, plot_, line == &stop_ceiling_ ? QColor(200, 30, 30) : QColor(0, 140, 70));
    (*line)->setPen((*line)->pen().color(), 2.0);
    (*line)->setItemAttribute(QwtPlotItem::Legend, false);
    plot_->updateLegend(*line);  // takes its entry away
  }
  BuildMarkers();
  plot_->setAxisScale(QwtPlot::yLeft, -120, 10);
  BuildTools();
  static_cast<QVBoxLayout*>(page_->layout())->addWidget(plot_, 1);
}

void ResponseView::BuildBar(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  auto* bar = new QHBoxLayout;
  logarithmic_ = new QCheckBox("&Logarithmic frequency axis");
  QObject::connect(logarithmic_, &QCheckBox::toggled, [this](bool on) { SetLogarithmic(on); });
  auto* phase = new QCheckBox("&Phase");
  phase->setChecked(true);
  QObject::connect(phase, &QCheckBox::toggled, [this](bool on) {
    phase_->setVisible(on);
    plot_->enableAxis(QwtPlot::yRight, on);
    plot_->replot();
  });
  // A design of many taps turns its phase through many cycles: wrapped, it
  // would fill the plot. Unwrapped is the taps' default.
  unwrapped_ = new QCheckBox("&Unwrapped");
  unwrapped_->setToolTip("The phase without its jumps of 360 degrees");
  unwrapped_->setChecked(context_.tuner.Kind() == CoeffKind::kFir);
  QObject::connect(unwrapped_, &QCheckBox::toggled, [this] { RedrawCurves(); });
  auto* whole = new QPushButton("&Whole band");
  QObject::connect(whole, &QPushButton::clicked, [this] { ShowWholeBand(); });
  bar->addWidget(logarithmic_);
  bar->addWidget(phase);
  bar->addWidget(unwrapped_);
  bar->addStretch(1);
  bar->addWidget(whole);
  layout->addLayout(bar);
}

void ResponseView::BuildMarkers() {
  // A line for each field that is a frequency, placed with the others'
  // labels; the attenuation's line where the designer asks one.
  const auto corners = std::make_shared<std::vector<::CornerMarker*>>();
  for (const Field& field : context_.tuner.Fields()) {
    QwtPlotMarker* marker = nullptr;
    if (field.frequency) {
      marker = new ::CornerMarker(corners);
      marker->setLinePen(QColor(200, 0, 0), 1.5, Qt::DashDotLine);
      marker->attach(plot_);
    }
    markers_.push_back(marker);
  }
  if (context_.tuner.Attenuation() > 0.0) {
    attenuation_ = new QwtPlotMarker;
    attenuation_->setLineStyle(QwtPlotMarker::HLine);
    attenuation_->setLinePen(QColor(120, 0, 160), 1.0, Qt::DashLine);
    attenuation_->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    attenuation_->attach(plot_);
  }
}

void ResponseView::BuildTools() {
  // The rubber band zooms, the right button goes back a step; the pointer's
  // values are in the readout, not the zoomer's tracker.
  zoomer_ = new QwtPlotZoomer(plot_->canvas());
  zoomer_->setTrackerMode(QwtPicker::AlwaysOff);
  zoomer_->setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton);
  HoldWithinBand(plot_, [this] {
    const double half = context_.tuner.Fsamp() / 2.0;
    return std::pair{logarithmic_->isChecked() ? half / 1e4 : 0.0, half};
  });
  // Installed after the zoomer, so that it sees a press before the zoomer
  // does; the readout last, to see every move, a marker's drag included.
  DragMarkers(plot_, markers_, context_.change);
  // On the canvas's frame, beyond the band's ends by a pixel, the end's values.
  readout_ = new PointerReadout(plot_, [this](const QPointF& at) {
    return TrackerText(std::min(std::max(at.x(), 0.0), context_.tuner.Fsamp() / 2.0));
  });
  plot_->canvas()->setFocusPolicy(Qt::StrongFocus);
  // A zoomed or panned band is computed anew at its own resolution.
  QObject::connect(plot_->axisWidget(QwtPlot::xBottom), &QwtScaleWidget::scaleDivChanged, [this] { RedrawCurves(); });
}

void ResponseView::AddActions(QMenu* menu) {
  menu->addAction("&Whole band", [this] { ShowWholeBand(); })->setShortcut(QKeySequence("Ctrl+0"));
  menu->addAction("&Logarithmic frequency axis", [this] { logarithmic_->toggle(); })
      ->setShortcut(QKeySequence("Ctrl+L"));
}

void ResponseView::Redraw(const ViewInput& input) {
  const bool first = !input_;
  input_ = &input;
  const bool exported = input.exported_layout != nullptr;
  if (exported_->isVisible() != exported) {
    exported_->setVisible(exported);
    exported_->setItemAttribute(QwtPlotItem::Legend, exported);
  }
  PlaceMarkers();
  // The whole band at first, and after a new sampling frequency.
  const double half = context_.tuner.Fsamp() / 2.0;
  if (first || std::abs(zoomer_->zoomBase().right() - half) > 1e-9 * half) {
    ShowWholeBand();
  } else {
    RedrawCurves();
  }
}

void ResponseView::PlaceMarkers() {
  const Tuner& tuner = context_.tuner;
  for (size_t i = 0; i < markers_.size(); ++i) {
    if (!markers_[i]) continue;
    const int field = static_cast<int>(i);
    markers_[i]->setVisible(tuner.Uses(field));
    markers_[i]->setXValue(tuner.Value(field));
    markers_[i]->setLabel(QwtText(Text(ShortestDecimal(static_cast<float>(tuner.Value(field)))) + " Hz"));
  }
  PlaceRequirement();
  if (attenuation_) {
    attenuation_->setYValue(-tuner.Attenuation());
    attenuation_->setLabel(QwtText("-" + Text(ShortestDecimal(static_cast<float>(tuner.Attenuation()))) + " dB"));
  }
}

void ResponseView::PlaceRequirement() {
  // Each line one curve over its bands, leaving the plot (to 1000 dB above
  // or below) between them, so that a band's ends are its mask's edges.
  const std::vector<SpecBand> bands = context_.tuner.Requirement();
  for (QwtPlotCurve* line : {pass_floor_, pass_ceiling_, stop_ceiling_}) {
    const bool pass = line != stop_ceiling_;
    const double away = line == pass_floor_ ? -1000.0 : 1000.0;
    QVector<QPointF> points;
    for (const SpecBand& band : bands) {
      if (band.pass != pass) continue;
      const double db = line == pass_floor_ ? band.low_db : band.high_db;
      if (!points.isEmpty()) points << QPointF(points.back().x(), away) << QPointF(band.from_hz, away);
      points << QPointF(band.from_hz, db) << QPointF(band.to_hz, db);
    }
    line->setSamples(points);
    const bool shown = !points.isEmpty() && line != pass_ceiling_;  // one entry for the pass band
    if (line->testItemAttribute(QwtPlotItem::Legend) != shown) {
      line->setItemAttribute(QwtPlotItem::Legend, shown);
      plot_->updateLegend(line);
    }
  }
}

void ResponseView::SetLogarithmic(bool logarithmic) {
  if (logarithmic_->isChecked() != logarithmic) {
    logarithmic_->setChecked(logarithmic);  // comes back here through toggled
    return;
  }
  ShowWholeBand();
}

void ResponseView::ShowWholeBand() {
  const double half = context_.tuner.Fsamp() / 2.0;
  const bool log = logarithmic_->isChecked();
  plot_->setAxisScaleEngine(QwtPlot::xBottom,
                            log ? static_cast<QwtScaleEngine*>(new QwtLogScaleEngine) : new QwtLinearScaleEngine);
  plot_->setAxisScale(QwtPlot::xBottom, log ? half / 1e4 : 0.0, half);
  plot_->setAxisScale(QwtPlot::yLeft, -120, 10);
  plot_->replot();
  zoomer_->setZoomBase(true);
  RedrawCurves();
}

void ResponseView::RedrawCurves() {
  if (redrawing_ || !input_ || input_->design.empty()) return;
  redrawing_ = true;
  // The visible band, at two points per pixel of the canvas (at least 1024
  // points), within 0 to half the sampling frequency.
  const double fsamp = context_.tuner.Fsamp(), half = fsamp / 2.0;
  const QwtScaleDiv& div = plot_->axisScaleDiv(QwtPlot::xBottom);
  const bool log = logarithmic_->isChecked();
  const double from = std::max(std::min(div.lowerBound(), div.upperBound()), log ? half / 1e6 : 0.0);
  const double to = std::min(std::max(div.lowerBound(), div.upperBound()), half);
  const int points = std::max(1024, 2 * plot_->canvas()->width());
  const std::vector<double> hz = FrequencyGrid(from, to > from ? to : half, points, log);
  const int size = static_cast<int>(hz.size());
  const Response design = ResponseOn(input_->design, hz, fsamp);
  const Response file = ResponseOn(input_->file, hz, fsamp);
  gain_->setSamples(hz.data(), design.gain_db.data(), size);
  file_gain_->setSamples(hz.data(), file.gain_db.data(), size);
  if (input_->exported_layout) {
    exported_->setTitle("gain as exported (" + Text(input_->exported_layout->name) + ")");
    exported_->setSamples(hz.data(), ResponseOn(input_->exported, hz, fsamp).gain_db.data(), size);
  }
  if (unwrapped_->isChecked()) {
    const std::vector<double> unwrapped = UnwrappedPhase(input_->design, hz, fsamp, design.phase_deg);
    phase_->setSamples(hz.data(), unwrapped.data(), size);
    plot_->setAxisAutoScale(QwtPlot::yRight);
  } else {
    phase_->setSamples(hz.data(), design.phase_deg.data(), size);
    plot_->setAxisScale(QwtPlot::yRight, -180, 180, 45);
  }
  plot_->replot();
  readout_->Update();
  redrawing_ = false;
}

QString ResponseView::TrackerText(double hz) const {
  const double fsamp = context_.tuner.Fsamp();
  if (!input_ || hz < 0.0 || hz > fsamp / 2.0) return "";
  QString text = QString::number(hz, 'f', 1) + " Hz: " + Decibels(ResponseAt(input_->design, hz, fsamp)) + " dB, " +
                 QString::number(PhaseDegAt(input_->design, hz, fsamp), 'f', 1) +
                 "\u00b0\ncoeff1.txt: " + Decibels(ResponseAt(input_->file, hz, fsamp)) + " dB";
  // The exported values' gain once something was exported.
  if (input_->exported_layout) {
    text += "\n" + Text(input_->exported_layout->name) + ": " + Decibels(ResponseAt(input_->exported, hz, fsamp)) +
            " dB";
  }
  return text;
}
