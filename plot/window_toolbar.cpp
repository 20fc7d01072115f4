#include "plot/window_toolbar.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>

namespace {

// A blank square icon of the toolbar's size, and a painter on it in the
// window's colours: outlines in its text colour, fills in its base colour.
struct IconCanvas {
  QPixmap pixmap;
  QPainter painter;
  explicit IconCanvas(int size, const QPalette& palette) : pixmap(size, size) {
    pixmap.fill(Qt::transparent);
    painter.begin(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::WindowText), 1.5));
    painter.setBrush(palette.color(QPalette::Base));
  }
  QIcon Icon() {
    painter.end();
    return QIcon(pixmap);
  }
};

// A magnifying glass with a short label in its lens: the zoom tools.
QIcon Magnifier(const QString& label, int size, const QPalette& palette) {
  IconCanvas icon(size, palette);
  const qreal lens = size * 0.74;
  const QRectF circle(1.5, 1.5, lens, lens);
  const QPen outline = icon.painter.pen();
  QPen handle = outline;
  handle.setWidthF(size / 7.0);
  handle.setCapStyle(Qt::RoundCap);
  icon.painter.setPen(handle);
  icon.painter.drawLine(circle.center() + QPointF(lens, lens) * 0.36, QPointF(size - 2.5, size - 2.5));
  icon.painter.setPen(outline);
  icon.painter.drawEllipse(circle);
  QFont font = icon.painter.font();
  font.setPixelSize(label.size() > 1 ? int(lens * 0.5) : int(lens * 0.7));
  font.setBold(true);
  icon.painter.setFont(font);
  icon.painter.drawText(circle, Qt::AlignCenter, label);
  return icon.Icon();
}

// Two overlapping pages: the copy to the clipboard.
QIcon Pages(int size, const QPalette& palette) {
  IconCanvas icon(size, palette);
  const qreal width = size * 0.55, height = size * 0.68;
  icon.painter.drawRect(QRectF(2, 2, width, height));
  icon.painter.drawRect(QRectF(size - 2 - width, size - 2 - height, width, height));
  return icon.Icon();
}

// The icon of a tool of the window library's toolbar that has none, known
// by the start of its words; a null icon for a tool not known here, which
// then keeps its words.
QIcon IconFor(const QString& words, int size, const QWidget& window) {
  const QPalette& palette = window.palette();
  if (words.startsWith("Zoom x1 ")) return Magnifier("1", size, palette);
  if (words.startsWith("Zoom x30")) return Magnifier("30", size, palette);
  if (words.startsWith("Zoom in")) return Magnifier("+", size, palette);
  if (words.startsWith("Zoom out")) return Magnifier(QString::fromUtf8("\u2212"), size, palette);
  if (words.startsWith("Save")) return window.style()->standardIcon(QStyle::SP_DialogSaveButton);
  if (words.startsWith("Copy")) return Pages(size, palette);
  if (words.startsWith("Display properties")) return window.style()->standardIcon(QStyle::SP_FileDialogDetailedView);
  return QIcon();
}

}  // namespace

void CompactWindowToolbar(const char* title) {
  // The window library made the process's QApplication; with another
  // window system there is none, and nothing to change.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->windowTitle() != QString::fromUtf8(title)) continue;
    for (QToolBar* toolbar : window->findChildren<QToolBar*>()) {
      for (QAction* action : toolbar->actions()) {
        // The words stay as the tooltip, which is the text until one is set.
        if (action->icon().isNull()) action->setIcon(IconFor(action->text(), toolbar->iconSize().height(), *window));
      }
      toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
  }
}
