// A number field of the tuners' form that takes text as typed: any text
// may be typed, and Enter, or the focus leaving the field, hands it over
// as typed (the unit shown after the number may be left or removed) for
// the design to take, hold at a limit or refuse with its words; the
// arrows, Page Up and Page Down and the wheel hand over the value shown
// stepped. The field shows the design's value that it is given, whatever
// was typed, so it never shows a value that the design does not hold.
#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <functional>

class NumberBox : public QAbstractSpinBox {
 public:
  // typed(text) on Enter or leaving the field with text changed;
  // stepped(value) for the value shown (or typed) moved by steps.
  NumberBox(std::function<void(const QString&)> typed, std::function<void(double)> stepped);

  // Shows value with `decimals` decimals and the unit ("Hz", or ""), or
  // the word for 0 (if any), and steps by `step`.
  void Show(double value, int decimals, const QString& unit, double step, const QString& word = "");

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& text, int& position) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The text without the unit and the spaces around it.
  QString Typed() const;
  void Commit();

  std::function<void(const QString&)> typed_;
  std::function<void(double)> stepped_;
  QString shown_, unit_;
  double value_ = 0.0, step_ = 1.0;
  int decimals_ = 0;
};
