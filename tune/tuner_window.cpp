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
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tune/number_box.h"
#include "tune/plot_tools.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kImpulseSamples = 128;  // of a recursive design

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString Number(double v, int decimals) { return QString::number(v, 'f', decimals); }

}  // namespace

TunerWindow::TunerWindow(Tuner& tuner, QWidget* parent) : QMainWindow(parent), tuner_(tuner) {
  setWindowTitle(QString(tuner.Program()) + "-tune");
  fields_ = tuner_.Fields();

  auto* panel = new QWidget;
  BuildForm(panel);
  BuildViews();
  auto* splitter = new QSplitter;
  panel->setMinimumWidth(300);
  splitter->addWidget(panel);
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

  // No larger than the screen's free area, less room for a title bar.
  const QSize free = QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(0, 40);
  resize(QSize(1000, 560).boundedTo(free));
  Refresh();
  clean_line_ = tuner_.OptionsLine();
  FullBand();
  editors_[0]->setFocus();
}

void TunerWindow::BuildForm(QWidget* panel) {
  // The rows of the fields (scrolled if a screen is too small for them),
  // then the message, the design in words, the configure line and the
  // buttons, always in view. Every text that changes has a fixed height
  // and does not wrap beyond it, so that no row moves when it changes.
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(6, 4, 2, 4);
  column->setSpacing(4);
  auto* rows = new QWidget;
  auto* grid = new QGridLayout(rows);
  grid->setContentsMargins(0, 0, 4, 0);
  grid->setVerticalSpacing(0);
  grid->setColumnStretch(1, 1);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  const int range_height = QFontMetrics(small).height() + 4;
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
    } else {
      editor = new NumberBox([this, field](const QString& text) { Typed(field, text); },
                             [this, field](double value) { Change(field, value); });
    }
    editor->setObjectName(Text(f.label));
    editor->setMinimumWidth(120);
    // The allowed range under the field, in a smaller font, on one line
    // (in full in its tooltip).
    auto* range = new QLabel;
    range->setFont(small);
    range->setStyleSheet("color: #555");
    range->setFixedHeight(range_height);
    range->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    range->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* label = new QLabel;
    label->setBuddy(editor);
    grid->addWidget(label, 2 * field, 0);
    grid->addWidget(editor, 2 * field, 1);
    grid->addWidget(range, 2 * field + 1, 1);
    editors_.push_back(editor);
    labels_.push_back(label);
    ranges_.push_back(range);
  }
  grid->setRowStretch(2 * static_cast<int>(fields_.size()), 1);
  auto* scroll = new QScrollArea;
  scroll->setWidget(rows);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setObjectName("form");
  column->addWidget(scroll, 1);

  const int line = fontMetrics().lineSpacing();
  const auto fixed_lines = [line](QLabel* label, int lines) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedHeight(lines * line + 2);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  };
  auto* said = new QHBoxLayout;
  message_icon_ = new QLabel;
  message_icon_->setFixedSize(16, 16);
  message_icon_->setAlignment(Qt::AlignTop);
  message_ = new QLabel;
  fixed_lines(message_, 3);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  said->addWidget(message_icon_, 0, Qt::AlignTop);
  said->addWidget(message_, 1);
  column->addLayout(said);
  words_ = new QLabel;
  fixed_lines(words_, 3);
  words_->setStyleSheet("color: #333");
  column->addWidget(words_);
  auto* configure = new QHBoxLayout;
  configure->addWidget(new QLabel("Configure line:"));
  options_ = new QLineEdit;
  options_->setReadOnly(true);
  configure->addWidget(options_, 1);
  column->addLayout(configure);
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton("&Copy line");
  copy->setObjectName("copy line");
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(options_->text()); });
  auto* save = new QPushButton("&Save coeff1.txt");
  save->setObjectName("save");
  connect(save, &QPushButton::clicked, this, [this] { SaveTo("coeff1.txt"); });
  buttons->addWidget(copy);
  buttons->addWidget(save);
  column->addLayout(buttons);
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
  // A design of many taps turns its phase through many cycles: wrapped, it
  // would fill the plot. Unwrapped is the taps' default.
  unwrapped_ = new QCheckBox("&Unwrapped");
  unwrapped_->setToolTip("The phase without its jumps of 360 degrees");
  unwrapped_->setChecked(tuner_.Kind() == CoeffKind::kFir);
  connect(unwrapped_, &QCheckBox::toggled, this, [this] { RedrawResponse(); });
  auto* whole = new QPushButton("&Whole band");
  connect(whole, &QPushButton::clicked, this, [this] { ShowWholeBand(); });
  bar->addWidget(logarithmic_);
  bar->addWidget(phase);
  bar->addWidget(unwrapped_);
  bar->addStretch(1);
  bar->addWidget(whole);
  layout->addLayout(bar);
  response_plot_ = NewPlot("frequency (Hz)", "gain (dB)");
  response_plot_->enableAxis(QwtPlot::yRight);
  response_plot_->setAxisTitle(QwtPlot::yRight, "phase (degrees)");
  response_plot_->insertLegend(new QwtLegend, QwtPlot::TopLegend);
  curve("phase", response_plot_, QColor(60, 160, 60))->setYAxis(QwtPlot::yRight);
  curve("gain of coeff1.txt", response_plot_, QColor(230, 120, 0), Qt::DashLine);
  // Shown, in the plot and its legend, once something was exported.
  QwtPlotCurve* exported = curve("gain as exported", response_plot_, QColor(150, 40, 150), Qt::DotLine);
  exported->setVisible(false);
  exported->setItemAttribute(QwtPlotItem::Legend, false);
  response_plot_->updateLegend(exported);  // takes its entry away: Qwt updates only items shown in the legend
  curve("gain", response_plot_, QColor(20, 60, 200));
  connect(phase, &QCheckBox::toggled, this, [this](bool on) {
    for (auto& [name, c] : curves_) {
      if (name == "phase") c->setVisible(on);
    }
    response_plot_->enableAxis(QwtPlot::yRight, on);
    response_plot_->replot();
  });
  // ::CornerMarker, the class (TunerWindow::CornerMarker is a member).
  const auto corners = std::make_shared<std::vector<::CornerMarker*>>();
  for (size_t i = 0; i < fields_.size(); ++i) {
    QwtPlotMarker* marker = nullptr;
    if (fields_[i].frequency) {
      marker = new ::CornerMarker(corners);
      marker->setLinePen(QColor(200, 0, 0), 1.5, Qt::DashDotLine);
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
  // The rubber band zooms, the right button goes back a step; the pointer's
  // values are in the readout, not the zoomer's tracker.
  zoomer_ = new QwtPlotZoomer(response_plot_->canvas());
  zoomer_->setTrackerMode(QwtPicker::AlwaysOff);
  zoomer_->setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton);
  HoldWithinBand(response_plot_, [this] {
    const double half = tuner_.Fsamp() / 2.0;
    return std::pair{logarithmic_->isChecked() ? half / 1e4 : 0.0, half};
  });
  // Installed after the zoomer, so that it sees a press before the zoomer
  // does; the readout last, to see every move, a marker's drag included.
  DragMarkers(response_plot_, markers_, [this](int field, double hz) { Change(field, hz); });
  // On the canvas's frame, beyond the band's ends by a pixel, the end's values.
  response_readout_ = new PointerReadout(response_plot_, [this](const QPointF& at) {
    return TrackerText(std::min(std::max(at.x(), 0.0), tuner_.Fsamp() / 2.0));
  });
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
  KeepSquare(pz_plot_);
  pz_readout_ = new PointerReadout(pz_plot_, [this](const QPointF& at) { return NearestRootText(at); });
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

void TunerWindow::Typed(int field, const QString& text) {
  save_message_.clear();
  tuner_.SetTyped(field, text.toStdString());
  Refresh();
}

void TunerWindow::Refresh() {
  refreshing_ = true;
  fields_ = tuner_.Fields();
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    const int field = static_cast<int>(i);
    const double value = tuner_.Value(field);
    labels_[i]->setText("&" + Text(f.label));  // the unit is the field's, after its number
    editors_[i]->setEnabled(tuner_.Uses(field));
    if (auto* box = qobject_cast<QComboBox*>(editors_[i])) {
      box->setCurrentIndex(static_cast<int>(value));
    } else if (auto* number = dynamic_cast<NumberBox*>(editors_[i])) {
      const bool whole = f.kind == FieldKind::kWhole;
      number->Show(value, whole ? 0 : f.decimals, Text(f.unit), whole || f.unit == "Hz" ? 1.0 : 0.1);
    }
    ranges_[i]->setText(RangeText(field));
    ranges_[i]->setToolTip(RangeText(field));
  }
  words_->setText(Text(tuner_.Words()));
  words_->setToolTip(words_->text());
  ShowMessage(Message().toStdString(),
              !save_message_.empty() ? tone_ : tuner_.Held().empty() ? Tone::kNone : Tone::kHeld);
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
  return "allowed " + Text(FieldText(low, decimals)) + " to " + Text(FieldText(high, decimals)) + unit;
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
    if (name == "phase" && unwrapped_->isChecked()) {
      const std::vector<double> unwrapped = UnwrappedPhase(design_, hz, tuner_.Fsamp(), design.phase_deg);
      c->setSamples(hz.data(), unwrapped.data(), static_cast<int>(hz.size()));
    }
  }
  if (unwrapped_->isChecked()) {
    response_plot_->setAxisAutoScale(QwtPlot::yRight);
  } else {
    response_plot_->setAxisScale(QwtPlot::yRight, -180, 180, 45);
  }
  response_plot_->replot();
  response_readout_->Update();
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
      if (name != "group delay" && name != "group delay of coeff1.txt") continue;
      // Finite values only: a curve drawn to a value that is not a number
      // would be a vertical line.
      QVector<QPointF> points;
      const std::vector<double>& delay = name == "group delay" ? design : file;
      for (size_t i = 0; i < hz.size(); ++i) {
        if (std::isfinite(delay[i])) points.append(QPointF(hz[i], delay[i]));
      }
      c->setSamples(points);
    }
    // At least a sample either side: a constant delay reads as its value,
    // not rounding's wiggles magnified.
    std::vector<double> both = design;
    both.insert(both.end(), file.begin(), file.end());
    double step = 0.0;
    const auto [low, high] = ReadableBounds(both, 1.0, &step);
    delay_plot_->setAxisScale(QwtPlot::yLeft, low, high, step);
    delay_plot_->replot();
  } else if (shown == pz_plot_) {
    const PoleZero pz = PolesAndZeros(design_);
    // Roots a thousandth apart are one mark on the plot: counted as one.
    roots_ = MergeRoots(pz, 1e-3);
    ShowCounts(pz_plot_, roots_);
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
    SquareScales(pz_plot_, QPointF(0.0, 0.0), extent);
    pz_readout_->Update();
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
  QString text = Number(hz, 1) + " Hz: " + Number(20.0 * std::log10(std::abs(h)), 2) + " dB, " +
                 Number(PhaseDegAt(design_, hz, tuner_.Fsamp()), 1) + "\u00b0\ncoeff1.txt: " +
                 Number(20.0 * std::log10(std::abs(f)), 2) + " dB";
  // The exported values' gain once something was exported.
  for (const auto& [name, c] : curves_) {
    if (name != "gain as exported" || !c->isVisible()) continue;
    const std::complex<double> e = ResponseAt(exported_, hz, tuner_.Fsamp());
    text += "\n" + Text(export_layout_->name) + ": " + Number(20.0 * std::log10(std::abs(e)), 2) + " dB";
  }
  return text;
}

QString TunerWindow::NearestRootText(const QPointF& at) const {
  const MergedRoot* nearest = nullptr;
  for (const MergedRoot& root : roots_) {
    if (!nearest || std::abs(root.z - std::complex<double>(at.x(), at.y())) <
                        std::abs(nearest->z - std::complex<double>(at.x(), at.y()))) {
      nearest = &root;
    }
  }
  if (!nearest) return "";
  // Its angle as a frequency at the design's rate (negative below the real
  // axis: a conjugate's), and its distance from the origin.
  // A real root's rounding off the axis is no conjugate: -1 is at half the
  // rate, not minus half.
  const std::complex<double> z = nearest->z;
  const double angle = std::atan2(std::abs(z.imag()) <= 1e-12 * std::abs(z) ? 0.0 : z.imag(), z.real());
  const QString what = nearest->pole ? "pole" : "zero";
  return (nearest->count > 1 ? QString::number(nearest->count) + " " + what + "s" : what) + " at " +
         Number(angle * tuner_.Fsamp() / (2.0 * kPi), 1) + " Hz, radius " + Number(std::abs(z), 6);
}

bool TunerWindow::SaveTo(const QString& name) {
  const std::string failure = tuner_.SaveTo(name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept; the earlier file is as it was.";
    tone_ = Tone::kFailed;
  } else {
    clean_line_ = tuner_.OptionsLine();
    Record(name);
    save_message_ = name.toStdString() + " written. The configure line below makes " + tuner_.Program() +
                    " this design.";
    tone_ = Tone::kDone;
  }
  ShowMessage(save_message_, tone_);
  return failure.empty();
}

void TunerWindow::Record(const QString& name) {
  const std::string file = name.toStdString();
  const auto same = [&file](const auto& written) { return written.first == file; };
  const auto found = std::find_if(written_.begin(), written_.end(), same);
  if (found != written_.end()) {
    found->second = tuner_.OptionsLine();
  } else {
    written_.emplace_back(file, tuner_.OptionsLine());
  }
}

std::string TunerWindow::WrittenLines() const {
  std::string lines;
  for (const auto& [file, line] : written_) lines += file + ": " + line + "\n";
  return lines;
}

bool TunerWindow::Unsaved() const { return tuner_.OptionsLine() != clean_line_; }

void TunerWindow::ShowMessage(const std::string& text, Tone tone) {
  // Told apart by colour and icon: a change held or refused, a file
  // written, a file not written.
  static const char* const kColours[] = {"#000", "#8a5000", "#17711f", "#b00020"};
  static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_CustomBase, QStyle::SP_MessageBoxWarning,
                                                  QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxCritical};
  tone_ = tone;
  const int index = static_cast<int>(tone);
  message_->setText(Text(text));
  message_->setToolTip(Text(text));
  message_->setStyleSheet(QString("color: ") + kColours[index]);
  message_icon_->setPixmap(tone == Tone::kNone || text.empty() ? QPixmap()
                                                                : style()->standardIcon(kIcons[index]).pixmap(16, 16));
}

void TunerWindow::closeEvent(QCloseEvent* event) {
  // Changes not saved: Save (coeff1.txt; the window stays if that fails),
  // Discard, or Cancel, which keeps the window.
  if (!Unsaved()) return event->accept();
  QMessageBox box(QMessageBox::Warning, windowTitle(), "The design has changes that are not saved.",
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setInformativeText("Save it to coeff1.txt in " + QDir::currentPath() + " before closing?");
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && SaveTo("coeff1.txt"))) return event->accept();
  event->ignore();
}

bool TunerWindow::ExportTo(const CoeffLayout& layout, const QString& name) {
  const std::string failure = tuner_.ExportTo(layout, name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept.";
    tone_ = Tone::kFailed;
  } else {
    save_message_ = name.toStdString() + " written as " + layout.name + ", every value in single precision.";
    tone_ = Tone::kDone;
    Record(name);
    export_layout_ = &layout;
    exported_ = tuner_.Exported(layout);
    for (auto& [curve_name, c] : curves_) {
      if (curve_name != "gain as exported") continue;
      c->setVisible(true);
      c->setItemAttribute(QwtPlotItem::Legend, true);
    }
    RedrawResponse();
  }
  ShowMessage(save_message_, tone_);
  return failure.empty();
}
