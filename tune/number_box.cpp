#include "tune/number_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <cmath>
#include <utility>

#include "tune/tuning.h"

NumberBox::NumberBox(std::function<void(const QString&)> typed, std::function<void(double)> stepped)
    : typed_(std::move(typed)), stepped_(std::move(stepped)) {
  setAccelerated(true);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void NumberBox::Show(double value, int decimals, const QString& unit, double step, const QString& word) {
  value_ = value;
  decimals_ = decimals;
  unit_ = unit;
  step_ = step;
  shown_ = value == 0.0 && !word.isEmpty()
               ? word
               : QString::fromStdString(FieldText(value, decimals)) + (unit.isEmpty() ? "" : " " + unit);
  if (lineEdit()->text() != shown_) lineEdit()->setText(shown_);
}

QString NumberBox::Typed() const {
  QString text = lineEdit()->text().trimmed();
  if (!unit_.isEmpty() && text.endsWith(unit_, Qt::CaseInsensitive)) text.chop(unit_.size());
  return text.trimmed();
}

void NumberBox::Commit() {
  // Text as the field showed it is no change: the design's value may have
  // more digits than are shown.
  if (lineEdit()->text() == shown_) return;
  typed_(Typed());
  // Shown again, if the design (and so Show) left it as typed.
  if (lineEdit()->text() != shown_) lineEdit()->setText(shown_);
}

void NumberBox::stepBy(int steps) {
  // A number typed and not yet taken is taken first; then the value shown
  // moves to the neighbouring value on the field's steps.
  Commit();
  const double scale = std::pow(10.0, decimals_);
  stepped_(std::round((value_ + steps * step_) * scale) / scale);
  if (lineEdit()->text() != shown_) lineEdit()->setText(shown_);
  selectAll();
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const {
  // The design holds a step beyond a limit at the limit, and says so.
  return isEnabled() ? StepUpEnabled | StepDownEnabled : StepNone;
}

QValidator::State NumberBox::validate(QString&, int&) const {
  // Any text may be typed: what it says is judged when it is taken.
  return QValidator::Intermediate;
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Commit();
    selectAll();
    return;
  }
  QAbstractSpinBox::keyPressEvent(event);
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
  Commit();
  QAbstractSpinBox::focusOutEvent(event);
}
