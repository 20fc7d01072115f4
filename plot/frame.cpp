#include "plot/frame.h"

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

IplImage* CreateCanvas() {
  IplImage* canvas = cvCreateImage(cvSize(kCanvasWidth, kCanvasHeight), 8, 3);
  cvSet(canvas, cvScalarAll(255), nullptr);
  return canvas;
}

void ShowUntilKey(const char* title, IplImage* canvas) {
  do {
    cvNamedWindow(title, 1);
    cvShowImage(title, canvas);
  } while (cvWaitKey(1) < 0);
}
