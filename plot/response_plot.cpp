#include "plot/response_plot.h"

#include <opencv2/core/core_c.h>
#include <opencv2/imgproc/imgproc_c.h>

#include <cmath>
#include <string>

#include "core/numeric.h"
#include "core/state.h"
#include "core/textio.h"

namespace {

constexpr int kPlottedPoints = 180;  // points 0 to 179: 0 Hz to just below Fsamp / 2
constexpr float kPhasePixelsPerRad = 25.5f;
constexpr int kGainZeroRow = 40;    // 0 dB, from the grid's top
constexpr int kPhaseZeroRow = 140;  // 0 rad, from the grid's top
// The grid's lines: 12 rows and 10 columns in the grid of kGridWidth x
// kGridHeight pixels.
constexpr int kGridRows = 12, kGridColumns = 10;
constexpr int kRowPitch = kGridHeight / kGridRows, kColumnPitch = kGridWidth / kGridColumns;

const CvScalar kBlack = cvScalar(0, 0, 0, 0);
const CvScalar kGridGrey = cvScalar(200, 200, 200, 0);
const CvScalar kFrameGrey = cvScalar(100, 100, 100, 0);
const CvScalar kPhaseGreen = cvScalar(0, 200, 0, 0);
const CvScalar kPhaseLegendGreen = cvScalar(0, 255, 0, 0);
const CvScalar kGainRed = cvScalar(0, 0, 255, 0);

// Pixel offset of a value: truncated toward zero; a value that is not a
// number gives 0.
int PixelOffset(float v) { return std::isnan(v) ? 0 : static_cast<int>(v); }

struct Plot {
  IplImage* canvas;
  int x0, y0;
  CvFont font;

  void Text(const std::string& text, int dx, int dy) {
    cvPutText(canvas, text.c_str(), cvPoint(x0 + dx, y0 + dy), &font, kBlack);
  }
  void Line(int dx1, int dy1, int dx2, int dy2, CvScalar colour) {
    cvLine(canvas, cvPoint(x0 + dx1, y0 + dy1), cvPoint(x0 + dx2, y0 + dy2), colour, 1, 8, 0);
  }
  // One curve of offsets v[0..179] about the given zero row: a segment per
  // pair of neighbouring points, as long as its right end lies inside the
  // grid (s pixels per point).
  void Curve(const float* v, float s, int zero_row, CvScalar colour) {
    for (int i = 0; i < kPlottedPoints - 1; ++i) {
      if (!(static_cast<float>(i + 1) * s < static_cast<float>(kGridWidth))) continue;
      Line(PixelOffset(static_cast<float>(i) * s), zero_row - PixelOffset(v[i]),
           PixelOffset(static_cast<float>(i + 1) * s), zero_row - PixelOffset(v[i + 1]), colour);
    }
  }
};

}  // namespace

std::vector<PlotText> ScaleTexts(const LabelColumn& labels) {
  // The gain numbers are divided in double from the setting. The frequency
  // values are single precision, the middle one divided in double, and each
  // is printed as a double.
  const double range = Widen(gain_range);
  const float f_low = 0.0f;
  const float f_mid = static_cast<float>(0.0 + Widen(freq_range) / 2.0);
  const float f_high = 0.0f + freq_range;
  return {
      {"Gain [dB]", -50, -28},
      {FormatNumber("%5.1f", range / 5.0), -50, 0},
      {"  0", -30, 40},
      {FormatNumber("-%5.1f", range / 2.0), -60, 145},
      {FormatNumber("-%5.1f", range), -60, 240},
      {"Phase [rad]", 350, -20},
      {"  pi ", 370, 60},
      {" pi/2", 370, 100},
      {"   0 ", 370, 140},
      {"-pi/2", 370, 180},
      {" -pi ", 370, 220},
      {FormatNumber(labels.freq_format, f_low), labels.freq_x[0], 255},
      {FormatNumber(labels.freq_format, f_mid), labels.freq_x[1], 255},
      {FormatNumber(labels.freq_format, f_high), labels.freq_x[2], 255},
      {"[Hz]", 400, 255},
  };
}

void DrawFres(IplImage* canvas, int x0, int y0, const float* gain, const float* phase, const LabelColumn& labels) {
  Plot plot{canvas, x0, y0, CvFont()};
  cvInitFont(&plot.font, CV_FONT_HERSHEY_SIMPLEX, 0.5, 0.5, 0.0, 1, 8);

  for (const PlotText& t : ScaleTexts(labels)) plot.Text(t.text, t.dx, t.dy);

  // Grid, then the frame over it.
  for (int k = 0; k <= kGridRows; ++k) plot.Line(0, kRowPitch * k, kGridWidth, kRowPitch * k, kGridGrey);
  for (int k = 0; k <= kGridColumns; ++k) plot.Line(kColumnPitch * k, 0, kColumnPitch * k, kGridHeight, kGridGrey);
  for (int y : {0, kGridHeight}) plot.Line(0, y, kGridWidth, y, kFrameGrey);
  for (int x : {0, kGridWidth}) plot.Line(x, 0, x, kGridHeight, kFrameGrey);

  const float s = Fsamp / freq_range;  // pixels per response point

  float p[kPlottedPoints];
  for (int i = 0; i < kPlottedPoints; ++i) p[i] = phase[i] * kPhasePixelsPerRad;
  plot.Curve(p, s, kPhaseZeroRow, kPhaseGreen);
  plot.Text("Phase", 200, labels.legend_y);
  plot.Line(250, -30, 270, -30, kPhaseLegendGreen);

  // Gains beyond the grid lie on the frame; a gain that is not a number
  // passes both tests and is drawn on the 0 dB row. gain_range dB span the
  // grid below the 0 dB row.
  constexpr float kAbove = float(kGainZeroRow), kBelow = float(kGridHeight - kGainZeroRow);
  const float g = kBelow / gain_range;  // pixels per dB
  float q[kPlottedPoints];
  for (int i = 0; i < kPlottedPoints; ++i) {
    q[i] = gain[i] * g;
    if (q[i] < -kBelow) q[i] = -kBelow;
    if (q[i] > kAbove) q[i] = kAbove;
  }
  plot.Curve(q, s, kGainZeroRow, kGainRed);
  plot.Text("Gain", 100, labels.legend_y);
  plot.Line(140, -30, 160, -30, kGainRed);
}
