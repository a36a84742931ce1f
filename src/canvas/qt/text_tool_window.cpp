// The text tool's modal window.
#include "canvas/qt/text_tool_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <set>

#include "brush/text_charsets.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// The window's texts: its caption, the captions of the three number rows, the
// three style boxes, the memo font box and the preview box.
constexpr uint32_t kResTitle = 69300, kResFace = 69301, kResSize = 69302, kResSpacing = 69303, kResLeading = 69304,
                   kResItalic = 69305, kResBold = 69306, kResVertical = 69307, kResUseFont = 69308,
                   kResPreview = 69309;

QString resText(uint32_t id) { return QString::fromStdString(resString(id)); }

// Sizes and spacings the window offers.
constexpr int kMaxTextSize = 500;
constexpr int kMaxSpacing = 1000;

QSpinBox* numberBox(int min, int max, int value, const QString& unit) {
  auto* box = new QSpinBox;
  box->setRange(min, max);
  box->setValue(std::clamp(value, min, max));
  box->setSuffix(" " + unit);
  return box;
}

bool verticalFormExists(const std::string& face, uint8_t charSet) {
  for (const SFontFamily& f : enumFontFamilies(charSet, "@" + face))
    if (f.FaceName == "@" + face) return true;
  return false;
}

}  // namespace

TTextToolWindow::TTextToolWindow(TDrawWindow& window, ITextToolSettingsStore& store, TPoint docPoint,
                                 bool selectMode, QWidget* parent)
    : QDialog(parent), session_(window, docPoint, selectMode), store_(store) {
  setWindowTitle(resText(kResTitle));
  const STextToolSettings s = store_.load();
  face_ = new QComboBox;
  charSet_ = new QComboBox;
  size_ = numberBox(1, kMaxTextSize, s.size > 0 ? s.size : 24, "pt");
  spacing_ = numberBox(-kMaxSpacing, kMaxSpacing, s.charSpacing, "px");
  leading_ = numberBox(-kMaxSpacing, kMaxSpacing, s.lineSpacing, "px");
  italic_ = new QCheckBox(resText(kResItalic));
  bold_ = new QCheckBox(resText(kResBold));
  vertical_ = new QCheckBox(resText(kResVertical));
  text_ = new QPlainTextEdit(QString::fromStdString(s.text));
  useFont_ = new QCheckBox(resText(kResUseFont));
  preview_ = new QCheckBox(resText(kResPreview));
  italic_->setChecked(s.italic);
  bold_->setChecked(s.bold);
  vertical_->setChecked(s.vertical);
  useFont_->setChecked(s.useFont);
  preview_->setChecked(s.preview);

  auto* form = new QFormLayout;
  form->addRow(resText(kResFace), face_);
  form->addRow(QString(), charSet_);
  form->addRow(resText(kResSize), size_);
  form->addRow(resText(kResSpacing), spacing_);
  form->addRow(resText(kResLeading), leading_);
  auto* styles = new QHBoxLayout;
  styles->addWidget(italic_);
  styles->addWidget(bold_);
  styles->addWidget(vertical_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(preview_);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(styles);
  layout->addWidget(text_, 1);
  layout->addWidget(useFont_);
  layout->addLayout(bottom);
  setMinimumSize(384, 256);
  if (s.width > 0 && s.height > 0) resize(s.width, s.height);
  if (s.left > 0 && s.top > 0) move(s.left, s.top);

  keptCharSet_ = s.charSet;
  fillFaces(QString::fromStdString(s.faceName));

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(face_, &QComboBox::currentTextChanged, this, [this] {
    if (filling_) return;
    fillCharSets();
    refresh();
  });
  connect(charSet_, &QComboBox::currentIndexChanged, this, [this] {
    if (filling_) return;
    keptCharSet_ = charSet_->currentData().toInt();
    updateVerticalAllowed();
    refresh();
  });
  connect(vertical_, &QCheckBox::toggled, this, [this] {
    fillFaces(face_->currentText());
    refresh();
  });
  for (QSpinBox* box : {size_, spacing_, leading_}) connect(box, &QSpinBox::valueChanged, this, [this] { refresh(); });
  for (QCheckBox* box : {italic_, bold_, useFont_}) connect(box, &QCheckBox::toggled, this, [this] { refresh(); });
  connect(preview_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      refresh();
    } else {
      session_.removePreview();
    }
  });
  connect(text_, &QPlainTextEdit::textChanged, this, [this] { refresh(); });
  refresh();
  text_->setFocus();
}

TTextToolWindow::~TTextToolWindow() {
  if (!saved_) store_.save(settings());
}

void TTextToolWindow::fillFaces(const QString& keep) {
  filling_ = true;
  face_->clear();
  std::set<std::string> seen;
  const bool vertical = vertical_->isChecked();
  for (const SFontFamily& f : enumFontFamilies(kDefaultCharSet)) {
    const bool at = !f.FaceName.empty() && f.FaceName.front() == '@';
    if (at != vertical) continue;
    const std::string name = at ? f.FaceName.substr(1) : f.FaceName;
    if (seen.insert(name).second) face_->addItem(QString::fromStdString(name));
  }
  const int i = face_->findText(keep);
  face_->setCurrentIndex(i >= 0 ? i : (face_->count() > 0 ? 0 : -1));
  filling_ = false;
  fillCharSets();
}

void TTextToolWindow::fillCharSets() {
  filling_ = true;
  const int keep = charSet_->count() > 0 ? charSet_->currentData().toInt() : keptCharSet_;
  charSet_->clear();
  std::set<uint8_t> seen;
  const std::string face = face_->currentText().toStdString();
  if (!face.empty()) {
    for (const SFontFamily& f : enumFontFamilies(kDefaultCharSet, face))
      if (f.FaceName == face && seen.insert(f.CharSet).second)
        charSet_->addItem(QString::fromStdString(charSetName(f.CharSet)), static_cast<int>(f.CharSet));
  }
  const int i = charSet_->findData(keep);
  charSet_->setCurrentIndex(i >= 0 ? i : (charSet_->count() > 0 ? 0 : -1));
  filling_ = false;
  updateVerticalAllowed();
}

void TTextToolWindow::updateVerticalAllowed() {
  // Vertical writing only where the face has a vertical form for the set.
  const std::string face = face_->currentText().toStdString();
  const uint8_t set = charSet_->count() > 0 ? static_cast<uint8_t>(charSet_->currentData().toInt()) : kDefaultCharSet;
  const bool possible = !face.empty() && verticalFormExists(face, set);
  vertical_->setEnabled(possible);
  if (!possible && vertical_->isChecked()) vertical_->setChecked(false);
}

STextToolSettings TTextToolWindow::settings() const {
  STextToolSettings s;
  s.faceName = face_->currentText().toStdString();
  s.size = size_->value();
  s.charSpacing = spacing_->value();
  s.lineSpacing = leading_->value();
  s.charSet = charSet_->count() > 0 ? static_cast<uint8_t>(charSet_->currentData().toInt()) : kDefaultCharSet;
  s.italic = italic_->isChecked();
  s.bold = bold_->isChecked();
  s.vertical = vertical_->isChecked();
  s.useFont = useFont_->isChecked();
  s.preview = preview_->isChecked();
  s.text = text_->toPlainText().toStdString();
  s.left = x();
  s.top = y();
  s.width = width();
  s.height = height();
  return s;
}

void TTextToolWindow::refresh() {
  const STextToolSettings s = settings();
  if (s.useFont) {
    QFont f(QString::fromStdString(s.faceName));
    f.setItalic(s.italic);
    f.setBold(s.bold);
    text_->setFont(f);
  } else {
    text_->setFont(font());
  }
  if (s.preview) session_.updatePreview(s);
}

void TTextToolWindow::accept() {
  const STextToolSettings s = settings();
  (void)session_.commit(s);  // nothing placed: the document shows a failure of memory itself
  store_.save(s);
  saved_ = true;
  QDialog::accept();
}

void TTextToolWindow::done(int result) {
  if (result != QDialog::Accepted) {
    session_.removePreview();
    store_.save(settings());
    saved_ = true;
  }
  QDialog::done(result);
}

void installTextToolWindow(CCanvasShared& shared) {
  shared.runTextTool = [&shared](TDrawWindow& window, TPoint at, bool selectMode) {
    if (shared.textSettings == nullptr) return;
    TTextToolWindow dialog(window, *shared.textSettings, at, selectMode);
    (void)dialog.exec();  // accept() and reject() do the work
  };
}

}  // namespace pg
