// The tuners' window: the design form (a row per parameter in the user's
// units, its allowed range beside it, the line that says what held a
// change), the configure line and Save, the menus, and the views of the
// design in tabs (tune/views.cpp's list: response, group delay, poles and
// zeros, impulse response), the shown one drawn on every change.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "tune/tuner_view.h"
#include "tune/tuning.h"

class QLabel;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;

class TunerWindow : public QMainWindow {
 public:
  explicit TunerWindow(Tuner& tuner, QWidget* parent = nullptr);
  ~TunerWindow() override;

  // Asks the tuner for value in the field, as an edit of its control
  // does, and shows the outcome.
  void Change(int field, double value);
  // Writes the design's coefficient file to name. On a failure the window
  // and standard error say why in the designer's words with the system's
  // reason; the design stays.
  bool SaveTo(const QString& name);
  // Writes the design in the layout to name (from the values in memory),
  // and shows the response of the values it holds beside the design's. On
  // a failure the window and standard error say why; the design stays.
  bool ExportTo(const CoeffLayout& layout, const QString& name);
  // What is printed when the window closes: for each file written (saved
  // or exported), in the order first written, "NAME: " and the configure
  // line of the design it holds, a line each; "" if none was written.
  std::string WrittenLines() const;
  // Whether the design differs from the one last saved (from the one it
  // opened on, before a save): closing then asks to save it.
  bool Unsaved() const;

  // How the message under the form reads: nothing, a change held or
  // refused, a file written, a file not written.
  enum class Tone { kNone, kHeld, kDone, kFailed };
  Tone MessageTone() const { return tone_; }

  // What the window shows, for the tests and the benchmark.
  QWidget* Editor(int field) const { return editors_[static_cast<size_t>(field)]; }
  QString Message() const;
  QString RangeText(int field) const;
  QString OptionsText() const;
  // The view of the class V (ResponseView...), null if none.
  template <typename V>
  V* View() const {
    for (const auto& view : views_) {
      if (auto* v = dynamic_cast<V*>(view.get())) return v;
    }
    return nullptr;
  }
  // Shows the view's tab, which draws it, as choosing the tab does.
  void Show(TunerView* view);

 private:
  void closeEvent(QCloseEvent* event) override;
  void BuildMenus();
  void BuildForm(QWidget* panel);
  // The fields' rows, in a scroll area, and the lines and buttons below.
  QWidget* BuildRows();
  void BuildFooter(QVBoxLayout* column);
  // Asks the tuner for the text typed in the field, and shows the outcome.
  void Typed(int field, const QString& text);
  void ShowMessage(const std::string& text, Tone tone);
  // Keeps the configure line of the design just written to name.
  void Record(const QString& name);
  void BuildViews();
  void Refresh();
  // Draws the shown view.
  void RedrawView();

  Tuner& tuner_;
  std::vector<Field> fields_;
  std::vector<QWidget*> editors_;
  std::vector<QLabel*> labels_, ranges_;
  QLabel* words_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* message_icon_ = nullptr;
  QLineEdit* options_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::vector<std::unique_ptr<TunerView>> views_;  // a tab each, in order
  ViewInput drawn_;                                 // what the views draw
  std::string save_message_;
  Tone tone_ = Tone::kNone;
  std::string clean_line_;                                   // of the design last saved, or the first
  std::vector<std::pair<std::string, std::string>> written_;  // file, configure line
  bool refreshing_ = false;
};
