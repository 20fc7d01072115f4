#include "tune/tune_window.h"

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <deque>
#include <string>
#include <vector>

#include "core/state.h"
#include "plot/frame.h"
#include "plot/response_plot.h"

namespace {

struct TuneWindow;

// A trackbar: its control, its name, the position that the window library
// keeps up to date, and its window.
struct Trackbar {
  TuneWindow* window;
  int control;
  std::string name;
  int position;
};

// The window's state, which its callbacks reach through their user data.
struct TuneWindow {
  const char* title;
  Tuner* tuner;
  const LabelColumn* labels;
  IplImage* canvas;
  std::deque<Trackbar> trackbars;  // stable addresses
  bool following = false;          // trackbars are being set to the design
};

// Sets every trackbar to the position of the design's value: a change held
// at a limit moves its trackbar back to the edge, a click moves the
// trackbar of its corner. The callbacks that this sets off do nothing.
void FollowDesign(TuneWindow& window) {
  window.following = true;
  for (const Trackbar& trackbar : window.trackbars) {
    const int position = window.tuner->Position(trackbar.control);
    if (cvGetTrackbarPos(trackbar.name.c_str(), window.title) != position) {
      cvSetTrackbarPos(trackbar.name.c_str(), window.title, position);
    }
  }
  window.following = false;
}

// Draws the new design and shows it with the status.
void Redraw(TuneWindow& window) {
  DrawDesign(*window.tuner, window.canvas, *window.labels);
  cvShowImage(window.title, window.canvas);
  cvDisplayStatusBar(window.title, window.tuner->Status().c_str(), 0);
}

void OnTrackbar(int position, void* data) {
  const Trackbar& trackbar = *static_cast<Trackbar*>(data);
  if (trackbar.window->following) return;
  trackbar.window->tuner->Move(trackbar.control, position);
  FollowDesign(*trackbar.window);
  Redraw(*trackbar.window);
}

void OnMouse(int event, int x, int y, int, void* data) {
  if (event != CV_EVENT_LBUTTONDOWN || x < kPlotX0 || x > kPlotX0 + kGridWidth || y < kPlotY0 || y > kPlotY0 + kGridHeight) return;
  TuneWindow& window = *static_cast<TuneWindow*>(data);
  window.tuner->Click(static_cast<double>(x - kPlotX0) * static_cast<double>(freq_range) / kGridWidth);
  FollowDesign(window);
  Redraw(window);
}

}  // namespace

void DrawDesign(Tuner& tuner, IplImage* canvas, const LabelColumn& labels) {
  tuner.Respond();
  cvSet(canvas, cvScalarAll(255), nullptr);
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, labels);
}

bool TuneInWindow(const char* title, Tuner& tuner, const LabelColumn& labels) {
  TuneWindow window{title, &tuner, &labels, CreateCanvas(), {}};
  DrawDesign(tuner, window.canvas, labels);

  OpenWindowForInput(title);
  const std::vector<TunerControl> controls = tuner.Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const int control = static_cast<int>(i);
    Trackbar& trackbar =
        window.trackbars.emplace_back(Trackbar{&window, control, controls[i].name, tuner.Position(control)});
    cvCreateTrackbar2(trackbar.name.c_str(), title, &trackbar.position, controls[i].max, OnTrackbar, &trackbar);
  }
  cvSetMouseCallback(title, OnMouse, &window);
  cvShowImage(title, window.canvas);
  cvDisplayStatusBar(title, tuner.Status().c_str(), 0);

  constexpr int kEnter = 13, kLineFeed = 10, kKeypadEnter = 65421, kEscape = 27;
  for (;;) {
    const int key = NextKey(title);
    const bool save = key == kEnter || key == kLineFeed || key == kKeypadEnter || key == 's' || key == 'S';
    if (save || key < 0 || key == kEscape || key == 'q' || key == 'Q') {
      EndWindowInput();
      return save;
    }
  }
}
