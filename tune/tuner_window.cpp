#include "tune/tuner_window.h"

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kImpulseSamples = 128;  // of a recursive design

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString Number(double v, int decimals) { return QString::number(v, 'f', decimals); }

// The zoomer of the response: the rubber band zooms, the right button
// goes back a step; its tracker shows frequency, gain and phase under the
// pointer.
class ResponseZoomer : public QwtPlotZoomer {
 public:
  ResponseZoomer(QWidget* canvas, const TunerWindow* window) : QwtPlotZoomer(canvas), window_(window) {
    setTrackerMode(AlwaysOn);
  }

 protected:
  QwtText trackerTextF(const QPointF& pos) const override {
    QwtText text(window_->TrackerText(pos.x()));
    text.setBackgroundBrush(QBrush(QColor(255, 255, 255, 220)));
    return text;
  }

 private:
  const TunerWindow* window_;
};

// Drags the corner markers of the response plot: a press within a few
// pixels of a marker takes it, and the corner follows the pointer (held
// at its limits) until the release. Other presses go on to the zoomer.
class MarkerDrag : public QObject {
 public:
  MarkerDrag(TunerWindow* window, QwtPlot* plot, std::vector<QwtPlotMarker*> markers)
      : QObject(plot), window_(window), plot_(plot), markers_(std::move(markers)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove &&
        event->type() != QEvent::MouseButtonRelease) {
      return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = mouse->pos().x();
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      // The nearest marker within a few pixels.
      double nearest = 6.5;
      for (size_t i = 0; i < markers_.size(); ++i) {
        QwtPlotMarker* marker = markers_[i];
        const double distance =
            marker && marker->isVisible() ? std::abs(plot_->transform(QwtPlot::xBottom, marker->xValue()) - x) : 1e9;
        if (distance < nearest) {
          nearest = distance;
          dragged_ = static_cast<int>(i);
        }
      }
      return dragged_ >= 0;
    }
    if (dragged_ < 0) {
      if (event->type() == QEvent::MouseMove) {
        bool near = false;
        for (QwtPlotMarker* marker : markers_) {
          near = near || (marker && marker->isVisible() &&
                          std::abs(plot_->transform(QwtPlot::xBottom, marker->xValue()) - x) <= 6);
        }
        plot_->canvas()->setCursor(near ? Qt::SizeHorCursor : Qt::CrossCursor);
      }
      return false;
    }
    // The frequency under the pointer, rounded to a power of ten below a
    // pixel's width, so that a dragged corner gets a short number.
    const double hz = plot_->invTransform(QwtPlot::xBottom, x);
    const double pixel = std::abs(plot_->invTransform(QwtPlot::xBottom, x + 1) - hz);
    const double step = std::pow(10.0, std::floor(std::log10(pixel > 0 ? pixel : 1.0)));
    window_->Change(dragged_, std::round(hz / step) * step);
    if (event->type() == QEvent::MouseButtonRelease) dragged_ = -1;
    return true;
  }

 private:
  TunerWindow* window_;
  QwtPlot* plot_;
  std::vector<QwtPlotMarker*> markers_;
  int dragged_ = -1;
};

QwtPlot* NewPlot(const QString& x_title, const QString& y_title) {
  auto* plot = new QwtPlot;
  plot->setAxisTitle(QwtPlot::xBottom, x_title);
  plot->setAxisTitle(QwtPlot::yLeft, y_title);
  plot->setCanvasBackground(Qt::white);
  auto* grid = new QwtPlotGrid;
  grid->setPen(QColor(220, 220, 220), 0.0, Qt::DotLine);
  grid->attach(plot);
  plot->setMinimumSize(200, 150);
  return plot;
}

}  // namespace

TunerWindow::TunerWindow(Tuner& tuner, QWidget* parent) : QMainWindow(parent), tuner_(tuner) {
  setWindowTitle(QString(tuner.Program()) + "-tune");
  fields_ = tuner_.Fields();

  auto* panel = new QWidget;
  BuildForm(panel);
  BuildViews();
  auto* splitter = new QSplitter;
  auto* scroll = new QScrollArea;
  scroll->setWidget(panel);
  scroll->setWidgetResizable(true);
  scroll->setMinimumWidth(300);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFocusPolicy(Qt::NoFocus);
  splitter->addWidget(scroll);
  splitter->addWidget(views_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({360, 640});
  setCentralWidget(splitter);

  QMenu* file = menuBar()->addMenu("&File");
  QAction* save = file->addAction("&Save coeff1.txt", [this] { SaveTo("coeff1.txt"); });
  save->setShortcut(QKeySequence::Save);
  QAction* save_as = file->addAction("Save &as...", [this] {
    const QString name = QFileDialog::getSaveFileName(this, "Save the coefficients as", "coeff1.txt");
    if (!name.isEmpty()) SaveTo(name);
  });
  save_as->setShortcut(QKeySequence("Ctrl+Shift+S"));
  QAction* copy = file->addAction("&Copy the configure line",
                                  [this] { QApplication::clipboard()->setText(options_->text()); });
  copy->setShortcut(QKeySequence("Ctrl+Shift+C"));
  QMenu* export_menu = file->addMenu("&Export");
  for (const CoeffLayout* layout : CoeffLayoutsOf(tuner_.Kind())) {
    const QString name = Text(layout->name);
    export_menu->addAction("As " + name + "...", [this, layout, name] {
      const QString suggested = name + (layout == FindCoeffLayout("biquad-sos") ? ".txt" : ".h");
      const QString file = QFileDialog::getSaveFileName(this, "Export the coefficients as " + name, suggested);
      if (!file.isEmpty()) ExportTo(*layout, file);
    });
  }
  file->addSeparator();
  QAction* quit = file->addAction("&Quit", [this] { close(); });
  quit->setShortcut(QKeySequence("Ctrl+Q"));
  QMenu* view = menuBar()->addMenu("&View");
  view->addAction("&Whole band", [this] { ShowWholeBand(); })->setShortcut(QKeySequence("Ctrl+0"));
  view->addAction("&Logarithmic frequency axis", [this] { logarithmic_->toggle(); })
      ->setShortcut(QKeySequence("Ctrl+L"));

  resize(1000, 560);
  Refresh();
  FullBand();
  editors_[0]->setFocus();
}

void TunerWindow::BuildForm(QWidget* panel) {
  auto* column = new QVBoxLayout(panel);
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    const int field = static_cast<int>(i);
    QWidget* editor = nullptr;
    if (f.kind == FieldKind::kChoice) {
      auto* box = new QComboBox;
      for (const std::string& choice : tuner_.Choices(field)) box->addItem(Text(choice));
      connect(box, QOverload<int>::of(&QComboBox::activated), this, [this, field](int index) {
        if (!refreshing_) Change(field, index);
      });
      editor = box;
    } else if (f.kind == FieldKind::kWhole) {
      auto* box = new QSpinBox;
      box->setRange(static_cast<int>(f.min), static_cast<int>(f.max));
      box->setKeyboardTracking(false);
      connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, field](int value) {
        if (!refreshing_) Change(field, value);
      });
      editor = box;
    } else {
      auto* box = new QDoubleSpinBox;
      box->setDecimals(f.decimals);
      box->setRange(f.min, f.max);
      box->setSingleStep(f.unit == "Hz" ? 1.0 : 0.1);
      if (!f.unit.empty()) box->setSuffix(" " + Text(f.unit));
      box->setKeyboardTracking(false);
      box->setAccelerated(true);
      connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this, field](double value) {
        if (!refreshing_) Change(field, value);
      });
      editor = box;
    }
    editor->setObjectName(Text(f.label));
    auto* range = new QLabel;
    range->setStyleSheet("color: #555");
    range->setWordWrap(true);
    editor->setMinimumWidth(120);
    auto* label = new QLabel;
    label->setBuddy(editor);
    auto* cell = new QVBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(editor);
    cell->addWidget(range);
    form->addRow(label, cell);
    editors_.push_back(editor);
    labels_.push_back(label);
    ranges_.push_back(range);
  }
  column->addLayout(form);
  message_ = new QLabel;
  message_->setWordWrap(true);
  message_->setStyleSheet("color: #a0400a");
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(message_);
  words_ = new QLabel;
  words_->setWordWrap(true);
  column->addWidget(words_);
  column->addWidget(new QLabel("Configure line of this design:"));
  options_ = new QLineEdit;
  options_->setReadOnly(true);
  column->addWidget(options_);
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton("&Copy line");
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(options_->text()); });
  auto* save = new QPushButton("&Save coeff1.txt");
  connect(save, &QPushButton::clicked, this, [this] { SaveTo("coeff1.txt"); });
  buttons->addWidget(copy);
  buttons->addWidget(save);
  column->addLayout(buttons);
  column->addStretch(1);
}

void TunerWindow::BuildViews() {
  views_ = new QTabWidget;
  const auto curve = [this](const char* name, QwtPlot* plot, QColor color, Qt::PenStyle style = Qt::SolidLine) {
    auto* c = new QwtPlotCurve(name);
    c->setPen(color, 1.0, style);
    c->setRenderHint(QwtPlotItem::RenderAntialiased, false);
    c->attach(plot);
    curves_.emplace_back(name, c);
    return c;
  };

  // Gain and phase, the file's gain beside the design's.
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* bar = new QHBoxLayout;
  logarithmic_ = new QCheckBox("&Logarithmic frequency axis");
  connect(logarithmic_, &QCheckBox::toggled, this, [this](bool on) { SetLogarithmic(on); });
  auto* phase = new QCheckBox("&Phase");
  phase->setChecked(true);
  auto* whole = new QPushButton("&Whole band");
  connect(whole, &QPushButton::clicked, this, [this] { ShowWholeBand(); });
  bar->addWidget(logarithmic_);
  bar->addWidget(phase);
  bar->addStretch(1);
  bar->addWidget(whole);
  layout->addLayout(bar);
  response_plot_ = NewPlot("frequency (Hz)", "gain (dB)");
  response_plot_->enableAxis(QwtPlot::yRight);
  response_plot_->setAxisTitle(QwtPlot::yRight, "phase (degrees)");
  response_plot_->setAxisScale(QwtPlot::yRight, -180, 180, 45);
  response_plot_->insertLegend(new QwtLegend, QwtPlot::TopLegend);
  curve("phase", response_plot_, QColor(60, 160, 60))->setYAxis(QwtPlot::yRight);
  curve("gain of coeff1.txt", response_plot_, QColor(230, 120, 0), Qt::DashLine);
  curve("gain as exported", response_plot_, QColor(150, 40, 150), Qt::DotLine);
  curve("gain", response_plot_, QColor(20, 60, 200));
  connect(phase, &QCheckBox::toggled, this, [this](bool on) {
    for (auto& [name, c] : curves_) {
      if (name == "phase") c->setVisible(on);
    }
    response_plot_->enableAxis(QwtPlot::yRight, on);
    response_plot_->replot();
  });
  for (size_t i = 0; i < fields_.size(); ++i) {
    QwtPlotMarker* marker = nullptr;
    if (fields_[i].frequency) {
      marker = new QwtPlotMarker;
      marker->setLineStyle(QwtPlotMarker::VLine);
      marker->setLinePen(QColor(200, 0, 0), 1.5, Qt::DashDotLine);
      marker->setLabelAlignment(Qt::AlignRight | Qt::AlignBottom);
      marker->attach(response_plot_);
    }
    markers_.push_back(marker);
  }
  if (tuner_.Attenuation() > 0.0) {
    attenuation_ = new QwtPlotMarker;
    attenuation_->setLineStyle(QwtPlotMarker::HLine);
    attenuation_->setLinePen(QColor(120, 0, 160), 1.0, Qt::DashLine);
    attenuation_->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    attenuation_->attach(response_plot_);
  }
  response_plot_->setAxisScale(QwtPlot::yLeft, -120, 10);
  zoomer_ = new ResponseZoomer(response_plot_->canvas(), this);
  zoomer_->setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton);
  auto* panner = new QwtPlotPanner(response_plot_->canvas());
  panner->setMouseButton(Qt::MiddleButton);
  auto* magnifier = new QwtPlotMagnifier(response_plot_->canvas());
  magnifier->setAxisEnabled(QwtPlot::yRight, false);
  // Installed last, so that it sees a press before the zoomer does.
  response_plot_->canvas()->installEventFilter(new MarkerDrag(this, response_plot_, markers_));
  response_plot_->canvas()->setFocusPolicy(Qt::StrongFocus);
  // A zoomed or panned band is computed anew at its own resolution.
  connect(response_plot_->axisWidget(QwtPlot::xBottom), &QwtScaleWidget::scaleDivChanged, this,
          [this] { RedrawResponse(); });
  layout->addWidget(response_plot_, 1);
  views_->addTab(page, "&Response");

  delay_plot_ = NewPlot("frequency (Hz)", "group delay (samples)");
  curve("group delay of coeff1.txt", delay_plot_, QColor(230, 120, 0), Qt::DashLine);
  curve("group delay", delay_plot_, QColor(20, 60, 200));
  views_->addTab(delay_plot_, "&Group delay");

  pz_plot_ = NewPlot("real part", "imaginary part");
  QwtPlotCurve* circle = curve("unit circle", pz_plot_, QColor(150, 150, 150));
  QVector<QPointF> points;
  for (int i = 0; i <= 360; ++i) points.append(QPointF(std::cos(i * kPi / 180), std::sin(i * kPi / 180)));
  circle->setSamples(points);
  QwtPlotCurve* zeros = curve("zeros", pz_plot_, QColor(20, 60, 200));
  zeros->setStyle(QwtPlotCurve::NoCurve);
  zeros->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, Qt::NoBrush, QPen(QColor(20, 60, 200), 1.5), QSize(9, 9)));
  QwtPlotCurve* poles = curve("poles", pz_plot_, QColor(200, 0, 0));
  poles->setStyle(QwtPlotCurve::NoCurve);
  poles->setSymbol(new QwtSymbol(QwtSymbol::XCross, Qt::NoBrush, QPen(QColor(200, 0, 0), 1.5), QSize(9, 9)));
  pz_plot_->insertLegend(new QwtLegend, QwtPlot::TopLegend);
  new QwtPlotMagnifier(pz_plot_->canvas());
  new QwtPlotPanner(pz_plot_->canvas());
  views_->addTab(pz_plot_, tuner_.Attenuation() > 0.0 ? "&Poles and zeros" : "&Zeros");

  impulse_plot_ = NewPlot("sample", "amplitude");
  QwtPlotCurve* impulse = curve("impulse response", impulse_plot_, QColor(20, 60, 200));
  impulse->setStyle(QwtPlotCurve::Sticks);
  impulse->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(QColor(20, 60, 200)), Qt::NoPen, QSize(4, 4)));
  views_->addTab(impulse_plot_, "&Impulse response");
  connect(views_, &QTabWidget::currentChanged, this, [this] { RedrawOtherViews(); });
}

void TunerWindow::Change(int field, double value) {
  save_message_.clear();
  tuner_.Set(field, value);
  Refresh();
}

void TunerWindow::Refresh() {
  refreshing_ = true;
  fields_ = tuner_.Fields();
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    const int field = static_cast<int>(i);
    const double value = tuner_.Value(field);
    labels_[i]->setText("&" + Text(f.label) + (f.unit.empty() ? "" : " (" + Text(f.unit) + ")"));
    editors_[i]->setEnabled(tuner_.Uses(field));
    if (auto* box = qobject_cast<QComboBox*>(editors_[i])) {
      box->setCurrentIndex(static_cast<int>(value));
    } else if (auto* whole = qobject_cast<QSpinBox*>(editors_[i])) {
      whole->setValue(static_cast<int>(value));
    } else if (auto* number = qobject_cast<QDoubleSpinBox*>(editors_[i])) {
      number->setMaximum(f.max);
      number->setValue(value);
    }
    ranges_[i]->setText(RangeText(field));
  }
  words_->setText(Text(tuner_.Words()));
  message_->setText(Message());
  options_->setText(OptionsText());
  options_->setCursorPosition(0);
  refreshing_ = false;

  tuner_.Make();
  design_ = tuner_.Design();
  file_ = tuner_.FromFile(tuner_.FileText());
  if (!export_layout_) export_layout_ = CoeffLayoutsOf(tuner_.Kind()).front();
  exported_ = tuner_.Exported(*export_layout_);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (!markers_[i]) continue;
    const int field = static_cast<int>(i);
    markers_[i]->setVisible(tuner_.Uses(field));
    markers_[i]->setXValue(tuner_.Value(field));
    markers_[i]->setLabel(QwtText(Text(ShortestDecimal(static_cast<float>(tuner_.Value(field)))) + " Hz"));
  }
  if (attenuation_) {
    attenuation_->setYValue(-tuner_.Attenuation());
    attenuation_->setLabel(QwtText("-" + Text(ShortestDecimal(static_cast<float>(tuner_.Attenuation()))) + " dB"));
  }
  // The whole band follows a new sampling frequency.
  const double half = tuner_.Fsamp() / 2.0;
  if (std::abs(zoomer_->zoomBase().right() - half) > 1e-9 * half) {
    FullBand();
  } else {
    RedrawResponse();
  }
  RedrawOtherViews();
}

QString TunerWindow::Message() const {
  return Text(save_message_.empty() ? tuner_.Held() : save_message_);
}

QString TunerWindow::RangeText(int field) const {
  const Field& f = fields_[static_cast<size_t>(field)];
  if (f.kind == FieldKind::kChoice || !tuner_.Uses(field)) return "";
  const auto [low, high] = tuner_.Range(field);
  const int decimals = f.kind == FieldKind::kWhole ? 0 : f.decimals;
  const QString unit = f.unit.empty() ? "" : " " + Text(f.unit);
  return "allowed " + Number(low, decimals) + " to " + Number(high, decimals) + unit;
}

QString TunerWindow::OptionsText() const { return Text(tuner_.OptionsLine()); }

void TunerWindow::FullBand() {
  const double half = tuner_.Fsamp() / 2.0;
  const bool log = logarithmic_->isChecked();
  response_plot_->setAxisScaleEngine(QwtPlot::xBottom, log ? static_cast<QwtScaleEngine*>(new QwtLogScaleEngine)
                                                           : new QwtLinearScaleEngine);
  response_plot_->setAxisScale(QwtPlot::xBottom, log ? half / 1e4 : 0.0, half);
  response_plot_->setAxisScale(QwtPlot::yLeft, -120, 10);
  delay_plot_->setAxisScale(QwtPlot::xBottom, 0.0, half);
  response_plot_->replot();
  zoomer_->setZoomBase(true);
  RedrawResponse();
}

void TunerWindow::SetLogarithmic(bool logarithmic) {
  if (logarithmic_->isChecked() != logarithmic) {
    logarithmic_->setChecked(logarithmic);  // comes back here through toggled
    return;
  }
  FullBand();
}

void TunerWindow::ShowWholeBand() { FullBand(); }

void TunerWindow::RedrawResponse() {
  if (redrawing_ || design_.empty()) return;
  redrawing_ = true;
  // The visible band, at two points per pixel of the canvas (at least 1024
  // points), within 0 to half the sampling frequency.
  const double half = tuner_.Fsamp() / 2.0;
  const QwtScaleDiv& div = response_plot_->axisScaleDiv(QwtPlot::xBottom);
  const bool log = logarithmic_->isChecked();
  const double from = std::max(std::min(div.lowerBound(), div.upperBound()), log ? half / 1e6 : 0.0);
  const double to = std::min(std::max(div.lowerBound(), div.upperBound()), half);
  const int points = std::max(1024, 2 * response_plot_->canvas()->width());
  const std::vector<double> hz = FrequencyGrid(from, to > from ? to : half, points, log);
  const Response design = ResponseOn(design_, hz, tuner_.Fsamp());
  const Response file = ResponseOn(file_, hz, tuner_.Fsamp());
  const Response exported = ResponseOn(exported_, hz, tuner_.Fsamp());
  for (auto& [name, c] : curves_) {
    const std::vector<double>* y = name == "gain" ? &design.gain_db
                                   : name == "phase" ? &design.phase_deg
                                   : name == "gain of coeff1.txt" ? &file.gain_db
                                   : name == "gain as exported" ? &exported.gain_db : nullptr;
    if (name == "gain as exported") c->setTitle("gain as exported (" + Text(export_layout_->name) + ")");
    if (y) c->setSamples(hz.data(), y->data(), static_cast<int>(hz.size()));
  }
  response_plot_->replot();
  redrawing_ = false;
}

void TunerWindow::RedrawOtherViews() {
  QWidget* shown = views_->currentWidget();
  if (shown == delay_plot_) {
    const std::vector<double> hz = FrequencyGrid(0.0, tuner_.Fsamp() / 2.0,
                                                 std::max(1024, 2 * delay_plot_->canvas()->width()), false);
    const std::vector<double> design = GroupDelay(design_, hz, tuner_.Fsamp());
    const std::vector<double> file = GroupDelay(file_, hz, tuner_.Fsamp());
    for (auto& [name, c] : curves_) {
      if (name == "group delay") c->setSamples(hz.data(), design.data(), static_cast<int>(hz.size()));
      if (name == "group delay of coeff1.txt") c->setSamples(hz.data(), file.data(), static_cast<int>(hz.size()));
    }
    delay_plot_->replot();
  } else if (shown == pz_plot_) {
    const PoleZero pz = PolesAndZeros(design_);
    double extent = 1.2;
    for (auto& [name, c] : curves_) {
      if (name != "zeros" && name != "poles") continue;
      QVector<QPointF> points;
      for (const auto& z : name == "zeros" ? pz.zeros : pz.poles) {
        points.append(QPointF(z.real(), z.imag()));
        extent = std::max(extent, std::min(1e3, 1.1 * std::abs(z)));
      }
      c->setSamples(points);
    }
    pz_plot_->setAxisScale(QwtPlot::xBottom, -extent, extent);
    pz_plot_->setAxisScale(QwtPlot::yLeft, -extent, extent);
    pz_plot_->replot();
  } else if (shown == impulse_plot_) {
    const bool fir = design_.size() == 1 && design_[0].a.size() == 1;
    const int samples = fir ? static_cast<int>(design_[0].b.size()) : kImpulseSamples;
    const std::vector<double> y = ImpulseResponse(design_, samples);
    QVector<QPointF> points;
    for (int n = 0; n < samples; ++n) points.append(QPointF(n, y[static_cast<size_t>(n)]));
    for (auto& [name, c] : curves_) {
      if (name == "impulse response") c->setSamples(points);
    }
    impulse_plot_->replot();
  }
}

QVector<QPointF> TunerWindow::CurvePoints(const char* name) const {
  QVector<QPointF> points;
  for (const auto& [n, c] : curves_) {
    if (n != name) continue;
    for (size_t i = 0; i < c->dataSize(); ++i) points.append(c->sample(i));
  }
  return points;
}

QString TunerWindow::TrackerText(double hz) const {
  if (hz < 0.0 || hz > tuner_.Fsamp() / 2.0) return "";
  const std::complex<double> h = ResponseAt(design_, hz, tuner_.Fsamp());
  const std::complex<double> f = ResponseAt(file_, hz, tuner_.Fsamp());
  const std::complex<double> e = ResponseAt(exported_, hz, tuner_.Fsamp());
  return Number(hz, 1) + " Hz: " + Number(20.0 * std::log10(std::abs(h)), 2) + " dB, " +
         Number(std::arg(h) * 180.0 / kPi, 1) + "\u00b0\ncoeff1.txt: " + Number(20.0 * std::log10(std::abs(f)), 2) +
         " dB\n" + Text(export_layout_->name) + ": " + Number(20.0 * std::log10(std::abs(e)), 2) + " dB";
}

bool TunerWindow::SaveTo(const QString& name) {
  const std::string failure = tuner_.SaveTo(name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept; the earlier file is as it was.";
  } else {
    saved_line_ = tuner_.OptionsLine();
    save_message_ = name.toStdString() + " written. The configure line below makes " + tuner_.Program() +
                    " this design.";
  }
  message_->setText(Message());
  return failure.empty();
}

bool TunerWindow::ExportTo(const CoeffLayout& layout, const QString& name) {
  const std::string failure = tuner_.ExportTo(layout, name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept.";
  } else {
    save_message_ = name.toStdString() + " written as " + layout.name + ", every value in single precision.";
    export_layout_ = &layout;
    exported_ = tuner_.Exported(layout);
    RedrawResponse();
  }
  message_->setText(Message());
  return failure.empty();
}
