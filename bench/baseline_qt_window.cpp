// The least a Qt widget program does to show a canvas: a white 640 x 360
// widget in a window, shown until the window is closed. The window
// benchmark measures the live tuners' start against it.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget canvas;
  canvas.setWindowTitle("tuner baseline");
  canvas.setStyleSheet("background: white");
  canvas.setAutoFillBackground(true);
  QPalette palette = canvas.palette();
  palette.setColor(QPalette::Window, Qt::white);
  canvas.setPalette(palette);
  canvas.resize(640, 360);
  canvas.show();
  return app.exec();
}
