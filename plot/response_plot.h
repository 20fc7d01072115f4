// The frequency-response plot: a 360 x 240 pixel grid with a darker frame,
// gain scale texts on the left, phase scale texts on the right, frequency
// texts beneath, a legend above, the phase curve in green and the gain
// curve in red.
//
// Scales: 0 dB on grid row y0 + 40, 200 / gain_range pixels per dB, gains
// clipped to the frame (+gain_range / 5 dB at the top, -gain_range dB at
// the bottom); phase 0 on row y0 + 140 at 25.5 pixels per radian, not
// limited; Fsamp / freq_range pixels per response point, so the grid's
// width spans freq_range Hz. Reads Fsamp, freq_range and gain_range.
#pragma once

#include <string>
#include <vector>

#include "plot/frame.h"

// The part of the plot that differs between the programs: the format and
// x offsets of the three frequency texts, and the y offset of the legend
// texts (offsets from the plot origin).
struct LabelColumn {
  const char* freq_format;
  int freq_x[3];  // 0 Hz, freq_range / 2, freq_range
  int legend_y;
};

// Where every program draws its plot: the grid's top-left corner on the
// canvas, and the grid's size in pixels.
constexpr int kPlotX0 = 100, kPlotY0 = 60;
constexpr int kGridWidth = 360, kGridHeight = 240;

// The programs' columns; each program draws with the one it names.
constexpr LabelColumn kPelmoraLabels = {"%10.0f", {-70, 115, 295}, -25};
constexpr LabelColumn kTavrineLabels = {"%8.0f", {-50, 130, 310}, -25};
constexpr LabelColumn kCorvellLabels = {"%8.0f", {-55, 130, 310}, -25};
constexpr LabelColumn kSunnaqLabels = {"%10.0f", {-70, 120, 300}, -30};

// A text of the plot and the left end of its baseline, as offsets from
// the plot origin.
struct PlotText {
  std::string text;
  int dx, dy;
};

// The scale texts, in drawing order: the gain scale (from gain_range), the
// phase scale, and the frequency scale (from freq_range, in the column's
// format and positions).
std::vector<PlotText> ScaleTexts(const LabelColumn& labels);

// Draws the plot of gain (dB) and phase (rad), points 0 to 179, into the
// canvas with the grid's top-left corner at (x0, y0), with the given column
// of labels. Draws no background: the canvas is expected white.
void DrawFres(IplImage* canvas, int x0, int y0, const float* gain, const float* phase, const LabelColumn& labels);
