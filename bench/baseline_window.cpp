// The least a program of the suite does to show its canvas: a white
// 640 x 360 canvas in an OpenCV window, shown by the plain loop of window
// creation, image display and 1 ms key wait until a key is pressed. The
// window benchmark measures every program against it.

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

int main() {
  IplImage* canvas = cvCreateImage(cvSize(640, 360), 8, 3);
  cvSet(canvas, cvScalarAll(255), nullptr);
  const char* title = "Frequency Response";
  do {
    cvNamedWindow(title, 1);
    cvShowImage(title, canvas);
  } while (cvWaitKey(1) < 0);
  return 0;
}
