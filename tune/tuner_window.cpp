#include "tune/tuner_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "tune/number_box.h"

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TunerWindow::TunerWindow(Tuner& tuner, QWidget* parent) : QMainWindow(parent), tuner_(tuner) {
  setWindowTitle(QString(tuner.Program()) + "-tune");
  fields_ = tuner_.Fields();

  auto* panel = new QWidget;
  BuildForm(panel);
  BuildViews();
  auto* splitter = new QSplitter;
  panel->setMinimumWidth(300);
  splitter->addWidget(panel);
  splitter->addWidget(tabs_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({360, 640});
  setCentralWidget(splitter);
  BuildMenus();

  // No larger than the screen's free area, less room for a title bar.
  const QSize free = QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(0, 40);
  resize(QSize(1000, 560).boundedTo(free));
  Refresh();
  clean_line_ = tuner_.OptionsLine();
  editors_[0]->setFocus();
}

TunerWindow::~TunerWindow() {
  // The pages go before the views that draw them, and no change of tab
  // reaches a view meanwhile.
  disconnect(tabs_, nullptr, this, nullptr);
  delete centralWidget();
}

void TunerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  QAction* save = file->addAction("&Save coeff1.txt", [this] { SaveTo("coeff1.txt"); });
  save->setShortcut(QKeySequence::Save);
  QAction* save_as = file->addAction("Save &as...", [this] {
    const QString name = QFileDialog::getSaveFileName(this, "Save the coefficients as", "coeff1.txt");
    if (!name.isEmpty()) SaveTo(name);
  });
  save_as->setShortcut(QKeySequence("Ctrl+Shift+S"));
  QAction* copy = file->addAction("&Copy the configure line",
                                  [this] { QApplication::clipboard()->setText(options_->text()); });
  copy->setShortcut(QKeySequence("Ctrl+Shift+C"));
  QMenu* export_menu = file->addMenu("&Export");
  for (const CoeffLayout* layout : CoeffLayoutsOf(tuner_.Kind())) {
    const QString name = Text(layout->name);
    export_menu->addAction("As " + name + "...", [this, layout, name] {
      const QString suggested = name + layout->suffix;
      const QString file = QFileDialog::getSaveFileName(this, "Export the coefficients as " + name, suggested);
      if (!file.isEmpty()) ExportTo(*layout, file);
    });
  }
  file->addSeparator();
  QAction* quit = file->addAction("&Quit", [this] { close(); });
  quit->setShortcut(QKeySequence("Ctrl+Q"));
  QMenu* view = menuBar()->addMenu("&View");
  for (const auto& v : views_) v->AddActions(view);
}

void TunerWindow::BuildForm(QWidget* panel) {
  // The rows of the fields (scrolled if a screen is too small for them),
  // then the message, the design in words, the configure line and the
  // buttons, always in view. Every text that changes has a fixed height
  // and does not wrap beyond it, so that no row moves when it changes.
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(6, 4, 2, 4);
  column->setSpacing(4);
  column->addWidget(BuildRows(), 1);
  BuildFooter(column);
}

QWidget* TunerWindow::BuildRows() {
  auto* rows = new QWidget;
  auto* grid = new QGridLayout(rows);
  grid->setContentsMargins(0, 0, 4, 0);
  grid->setVerticalSpacing(0);
  grid->setHorizontalSpacing(8);
  grid->setColumnStretch(0, 1);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  const int range_height = QFontMetrics(small).height() + 4;
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    const int field = static_cast<int>(i);
    QWidget* editor = nullptr;
    if (f.kind == FieldKind::kChoice) {
      auto* box = new QComboBox;
      for (const std::string& choice : tuner_.Choices(field)) box->addItem(Text(choice));
      connect(box, QOverload<int>::of(&QComboBox::activated), this, [this, field](int index) {
        if (!refreshing_) Change(field, index);
      });
      editor = box;
    } else {
      editor = new NumberBox([this, field](const QString& text) { Typed(field, text); },
                             [this, field](double value) { Change(field, value); });
    }
    editor->setObjectName(Text(f.label));
    editor->setMinimumWidth(120);
    editor->setMaximumWidth(150);  // the rest to the names and ranges
    // The allowed range under the field's name, in a smaller font, on one
    // line (in full in its tooltip), the field beside both: a row a field.
    auto* range = new QLabel;
    range->setFont(small);
    range->setStyleSheet("color: #555");
    range->setFixedHeight(range_height);
    range->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    range->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* label = new QLabel;
    label->setBuddy(editor);
    grid->addWidget(label, 2 * field, 0, Qt::AlignBottom);
    grid->addWidget(editor, 2 * field, 1, 2, 1, Qt::AlignVCenter);
    grid->addWidget(range, 2 * field + 1, 0);
    editors_.push_back(editor);
    labels_.push_back(label);
    ranges_.push_back(range);
  }
  grid->setRowStretch(2 * static_cast<int>(fields_.size()), 1);
  auto* scroll = new QScrollArea;
  scroll->setWidget(rows);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setObjectName("form");
  return scroll;
}

void TunerWindow::BuildFooter(QVBoxLayout* column) {
  const int line = fontMetrics().lineSpacing();
  const auto fixed_lines = [line](QLabel* label, int lines) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedHeight(lines * line + 2);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  };
  auto* said = new QHBoxLayout;
  message_icon_ = new QLabel;
  message_icon_->setFixedSize(16, 16);
  message_icon_->setAlignment(Qt::AlignTop);
  message_ = new QLabel;
  fixed_lines(message_, 3);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  said->addWidget(message_icon_, 0, Qt::AlignTop);
  said->addWidget(message_, 1);
  column->addLayout(said);
  words_ = new QLabel;
  fixed_lines(words_, 4);
  words_->setStyleSheet("color: #333");
  column->addWidget(words_);
  auto* configure = new QHBoxLayout;
  configure->addWidget(new QLabel("Configure line:"));
  options_ = new QLineEdit;
  options_->setReadOnly(true);
  configure->addWidget(options_, 1);
  column->addLayout(configure);
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton("&Copy line");
  copy->setObjectName("copy line");
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(options_->text()); });
  auto* save = new QPushButton("&Save coeff1.txt");
  save->setObjectName("save");
  connect(save, &QPushButton::clicked, this, [this] { SaveTo("coeff1.txt"); });
  buttons->addWidget(copy);
  buttons->addWidget(save);
  column->addLayout(buttons);
}

void TunerWindow::BuildViews() {
  tabs_ = new QTabWidget;
  views_ = MakeViews({tuner_, [this](int field, double value) { Change(field, value); }});
  for (const auto& view : views_) tabs_->addTab(view->Widget(), view->Title());
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { RedrawView(); });
}

void TunerWindow::Show(TunerView* view) { tabs_->setCurrentWidget(view->Widget()); }

void TunerWindow::RedrawView() {
  for (const auto& view : views_) {
    if (view->Widget() == tabs_->currentWidget()) view->Redraw(drawn_);
  }
}

void TunerWindow::Change(int field, double value) {
  save_message_.clear();
  tuner_.Set(field, value);
  Refresh();
}

void TunerWindow::Typed(int field, const QString& text) {
  save_message_.clear();
  tuner_.SetTyped(field, text.toStdString());
  Refresh();
}

void TunerWindow::Refresh() {
  refreshing_ = true;
  fields_ = tuner_.Fields();
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    const int field = static_cast<int>(i);
    const double value = tuner_.Value(field);
    labels_[i]->setText("&" + Text(f.label));  // the unit is the field's, after its number
    editors_[i]->setEnabled(tuner_.Uses(field));
    for (QWidget* part : {static_cast<QWidget*>(labels_[i]), editors_[i], static_cast<QWidget*>(ranges_[i])})
      part->setVisible(tuner_.Offered(field));
    if (auto* box = qobject_cast<QComboBox*>(editors_[i])) {
      box->setCurrentIndex(static_cast<int>(value));
    } else if (auto* number = dynamic_cast<NumberBox*>(editors_[i])) {
      const bool whole = f.kind == FieldKind::kWhole;
      number->Show(value, whole ? 0 : f.decimals, Text(f.unit), whole || f.unit == "Hz" ? 1.0 : 0.1, Text(f.word));
    }
    ranges_[i]->setText(RangeText(field));
    ranges_[i]->setToolTip(RangeText(field));
  }
  words_->setText(Text(tuner_.Words()));
  words_->setToolTip(words_->text());
  ShowMessage(Message().toStdString(),
              !save_message_.empty() ? tone_ : tuner_.Held().empty() ? Tone::kNone : Tone::kHeld);
  options_->setText(OptionsText());
  options_->setCursorPosition(0);
  refreshing_ = false;

  drawn_.design = tuner_.Design();
  drawn_.file = tuner_.FromFile(tuner_.FileText());
  if (drawn_.exported_layout) drawn_.exported = tuner_.Exported(*drawn_.exported_layout);
  RedrawView();
}

QString TunerWindow::Message() const {
  return Text(save_message_.empty() ? tuner_.Held() : save_message_);
}

QString TunerWindow::RangeText(int field) const {
  const Field& f = fields_[static_cast<size_t>(field)];
  if (f.kind == FieldKind::kChoice || !tuner_.Uses(field)) return "";
  const auto [low, high] = tuner_.Range(field);
  const int decimals = f.kind == FieldKind::kWhole ? 0 : f.decimals;
  const QString unit = f.unit.empty() ? "" : " " + Text(f.unit);
  const QString word = f.word.empty() ? "" : Text(f.word) + ", or ";
  return "allowed " + word + Text(FieldText(low, decimals)) + " to " + Text(FieldText(high, decimals)) + unit;
}

QString TunerWindow::OptionsText() const { return Text(tuner_.OptionsLine()); }

bool TunerWindow::SaveTo(const QString& name) {
  const std::string failure = tuner_.SaveTo(name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept; the earlier file is as it was.";
    tone_ = Tone::kFailed;
  } else {
    clean_line_ = tuner_.OptionsLine();
    Record(name);
    save_message_ = name.toStdString() + " written. The configure line below makes " + tuner_.Program() +
                    " this design.";
    tone_ = Tone::kDone;
  }
  ShowMessage(save_message_, tone_);
  return failure.empty();
}

void TunerWindow::Record(const QString& name) {
  const std::string file = name.toStdString();
  const auto same = [&file](const auto& written) { return written.first == file; };
  const auto found = std::find_if(written_.begin(), written_.end(), same);
  if (found != written_.end()) {
    found->second = tuner_.OptionsLine();
  } else {
    written_.emplace_back(file, tuner_.OptionsLine());
  }
}

std::string TunerWindow::WrittenLines() const {
  std::string lines;
  for (const auto& [file, line] : written_) lines += file + ": " + line + "\n";
  return lines;
}

bool TunerWindow::Unsaved() const { return tuner_.OptionsLine() != clean_line_; }

void TunerWindow::ShowMessage(const std::string& text, Tone tone) {
  // Told apart by colour and icon: a change held or refused, a file
  // written, a file not written.
  static const char* const kColours[] = {"#000", "#8a5000", "#17711f", "#b00020"};
  static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_CustomBase, QStyle::SP_MessageBoxWarning,
                                                  QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxCritical};
  tone_ = tone;
  const int index = static_cast<int>(tone);
  message_->setText(Text(text));
  message_->setToolTip(Text(text));
  message_->setStyleSheet(QString("color: ") + kColours[index]);
  message_icon_->setPixmap(tone == Tone::kNone || text.empty() ? QPixmap()
                                                                : style()->standardIcon(kIcons[index]).pixmap(16, 16));
}

void TunerWindow::closeEvent(QCloseEvent* event) {
  // Changes not saved: Save (coeff1.txt; the window stays if that fails),
  // Discard, or Cancel, which keeps the window.
  if (!Unsaved()) return event->accept();
  QMessageBox box(QMessageBox::Warning, windowTitle(), "The design has changes that are not saved.",
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setInformativeText("Save it to coeff1.txt in " + QDir::currentPath() + " before closing?");
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && SaveTo("coeff1.txt"))) return event->accept();
  event->ignore();
}

bool TunerWindow::ExportTo(const CoeffLayout& layout, const QString& name) {
  const std::string failure = tuner_.ExportTo(layout, name.toStdString());
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::fflush(stderr);
    save_message_ = failure + " The design is kept.";
    tone_ = Tone::kFailed;
  } else {
    save_message_ = name.toStdString() + " written as " + layout.name + ", every value in single precision.";
    tone_ = Tone::kDone;
    Record(name);
    drawn_.exported_layout = &layout;
    drawn_.exported = tuner_.Exported(layout);
    RedrawView();
  }
  ShowMessage(save_message_, tone_);
  return failure.empty();
}
