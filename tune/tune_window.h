// The live tuners' window: the response plot of the tuner's design, one
// trackbar per control below it, and the design in words on the status
// bar. A trackbar moved or a click in the plot changes the design; the
// plot, the trackbars and the status follow before the next input is
// handled.
#pragma once

#include "plot/frame.h"
#include "plot/response_plot.h"
#include "tune/tuning.h"

// Makes the tuner's design and its response, and draws the plot of it on
// the canvas, whitened first, with the designer's labels: what the window
// shows after each change.
void DrawDesign(Tuner& tuner, IplImage* canvas, const LabelColumn& labels);

// Shows the tuner's design, plotted with `labels`, in a window titled
// `title` until a key ends it.
// A left click inside the plot's grid moves the nearest corner or edge to
// the frequency under the pointer. Enter or 's' returns true (save); Esc
// or 'q', or closing the window, returns false. Without a display it
// prints one line on standard error and exits with kNoWindowStatus.
bool TuneInWindow(const char* title, Tuner& tuner, const LabelColumn& labels);
