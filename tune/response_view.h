// Gain and phase over 0 to half the sampling frequency, the gain of
// coeff1.txt's values dashed beside the design's (and of the values last
// exported, once something was), on a linear or logarithmic frequency
// axis; a dashed line at each corner or edge in use, dragged to change it;
// a line at the attenuation asked; the pointer's values in a readout.
#pragma once

#include <vector>

#include "tune/tuner_view.h"

class QCheckBox;
class QwtPlotMarker;
class QwtPlotZoomer;
class PointerReadout;

class ResponseView : public TunerView {
 public:
  explicit ResponseView(const ViewContext& context);
  QString Title() const override { return "&Response"; }
  QWidget* Widget() override { return page_; }
  void Redraw(const ViewInput& input) override;
  void AddActions(QMenu* menu) override;

  QwtPlot* Plot() const { return plot_; }
  // The field's corner line; null for a field that is not a frequency.
  QwtPlotMarker* CornerMarker(int field) const { return markers_[static_cast<size_t>(field)]; }
  void SetLogarithmic(bool logarithmic);
  // The whole band, 0 (a ten-thousandth of it on a logarithmic axis) to
  // half the sampling frequency, and the gain from -120 to 10 dB.
  void ShowWholeBand();
  // What the readout shows at the frequency: the design's gain and phase,
  // the file's gain, and the exported values' once something was exported.
  QString TrackerText(double hz) const;

 private:
  void BuildBar(QWidget* page);
  void BuildMarkers();
  void BuildTools();
  void PlaceMarkers();
  // The design's band requirement as the design tools draw it: the pass
  // bands' floor and ceiling, the stop bands' ceiling.
  void PlaceRequirement();
  // The curves over the visible band, at two points per pixel.
  void RedrawCurves();

  ViewContext context_;
  const ViewInput* input_ = nullptr;  // the last drawn
  QWidget* page_ = nullptr;
  QwtPlot* plot_ = nullptr;
  QCheckBox* logarithmic_ = nullptr;
  QCheckBox* unwrapped_ = nullptr;
  QwtPlotCurve *gain_ = nullptr, *phase_ = nullptr, *file_gain_ = nullptr, *exported_ = nullptr;
  QwtPlotZoomer* zoomer_ = nullptr;
  PointerReadout* readout_ = nullptr;
  std::vector<QwtPlotMarker*> markers_;
  QwtPlotMarker* attenuation_ = nullptr;
  QwtPlotCurve *pass_floor_ = nullptr, *pass_ceiling_ = nullptr, *stop_ceiling_ = nullptr;
  bool redrawing_ = false;
};
