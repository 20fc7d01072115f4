// The tuners' window: the design form (a row per parameter in the user's
// units, its allowed range beside it, the line that says what held a
// change), the configure line and Save, and the views of the design:
// gain and phase with the file's response beside the design's, draggable
// corner markers, group delay, poles and zeros, impulse response.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QVector>
#include <string>
#include <vector>

#include "tune/analysis.h"
#include "tune/tuning.h"

class QLabel;
class QLineEdit;
class QTabWidget;
class QCheckBox;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotZoomer;
class PointerReadout;

class TunerWindow : public QMainWindow {
 public:
  explicit TunerWindow(Tuner& tuner, QWidget* parent = nullptr);

  // Asks the tuner for value in the field, as an edit of its control
  // does, and shows the outcome.
  void Change(int field, double value);
  // Writes the design's coefficient file to name. On a failure the window
  // and standard error say why in the designer's words with the system's
  // reason; the design stays.
  bool SaveTo(const QString& name);
  // Writes the design in the layout to name (from the values in memory),
  // and shows the response of the values it holds beside the design's. On
  // a failure the window and standard error say why; the design stays.
  bool ExportTo(const CoeffLayout& layout, const QString& name);
  // What is printed when the window closes: for each file written (saved
  // or exported), in the order first written, "NAME: " and the configure
  // line of the design it holds, a line each; "" if none was written.
  std::string WrittenLines() const;
  // Whether the design differs from the one last saved (from the one it
  // opened on, before a save): closing then asks to save it.
  bool Unsaved() const;

  // How the message under the form reads: nothing, a change held or
  // refused, a file written, a file not written.
  enum class Tone { kNone, kHeld, kDone, kFailed };
  Tone MessageTone() const { return tone_; }

  // What the window shows, for the tests and the benchmark.
  QWidget* Editor(int field) const { return editors_[static_cast<size_t>(field)]; }
  QString Message() const;
  QString RangeText(int field) const;
  QString OptionsText() const;
  QwtPlot* ResponsePlot() const { return response_plot_; }
  QwtPlotMarker* CornerMarker(int field) const { return markers_[static_cast<size_t>(field)]; }
  void SetLogarithmic(bool logarithmic);
  void ShowWholeBand();
  // The curves: design and file gain, phase, group delay, impulse
  // response, zeros and poles (x: Hz, sample or real part).
  QVector<QPointF> CurvePoints(const char* name) const;
  // What the tracker shows at the frequency.
  QString TrackerText(double hz) const;

 private:
  void closeEvent(QCloseEvent* event) override;
  void BuildForm(QWidget* panel);
  // Asks the tuner for the text typed in the field, and shows the outcome.
  void Typed(int field, const QString& text);
  void ShowMessage(const std::string& text, Tone tone);
  // Keeps the configure line of the design just written to name.
  void Record(const QString& name);
  void BuildViews();
  void Refresh();
  void RedrawResponse();
  void RedrawOtherViews();
  void FullBand();
  // The pointer's nearest pole or zero: its count, frequency and radius.
  QString NearestRootText(const QPointF& at) const;

  Tuner& tuner_;
  std::vector<Field> fields_;
  std::vector<QWidget*> editors_;
  std::vector<QLabel*> labels_, ranges_;
  QLabel* words_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* message_icon_ = nullptr;
  QLineEdit* options_ = nullptr;
  QTabWidget* views_ = nullptr;
  QCheckBox* logarithmic_ = nullptr;
  QwtPlot* response_plot_ = nullptr;
  QwtPlot* delay_plot_ = nullptr;
  QwtPlot* pz_plot_ = nullptr;
  QwtPlot* impulse_plot_ = nullptr;
  QwtPlotZoomer* zoomer_ = nullptr;
  QCheckBox* unwrapped_ = nullptr;
  PointerReadout* response_readout_ = nullptr;
  PointerReadout* pz_readout_ = nullptr;
  std::vector<MergedRoot> roots_;  // those of the poles and zeros view
  std::vector<QwtPlotMarker*> markers_;
  QwtPlotMarker* attenuation_ = nullptr;
  std::vector<std::pair<std::string, QwtPlotCurve*>> curves_;
  Cascade design_, file_, exported_;
  const CoeffLayout* export_layout_ = nullptr;  // whose values' response is shown
  std::string save_message_;
  Tone tone_ = Tone::kNone;
  std::string clean_line_;                                   // of the design last saved, or the first
  std::vector<std::pair<std::string, std::string>> written_;  // file, configure line
  bool refreshing_ = false;
  bool redrawing_ = false;
};
