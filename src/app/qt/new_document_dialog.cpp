#include "app/qt/new_document_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/qt/value_dialog.h"
#include "core/units.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

// A length field that shows its number as the model formats it.
class TLengthSpinBox : public QDoubleSpinBox {
 public:
  TLengthSpinBox(const CNewDocumentModel& model, QWidget* parent) : QDoubleSpinBox(parent), model_(model) {
    setDecimals(6);
    setKeyboardTracking(false);
  }
  QString textFromValue(double value) const override {
    return QString::fromStdString(model_.lengthText(static_cast<float>(value)));
  }

 private:
  const CNewDocumentModel& model_;
};

// The type list draws each preset's size right-aligned beside its name.
class TPaperTypeDelegate : public QStyledItemDelegate {
 public:
  TPaperTypeDelegate(const CNewDocumentModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    QString size = QString::fromStdString(model_.typeSizeText(index.row()));
    if (size.isEmpty()) return;
    painter->save();
    painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                               : QPalette::Text));
    painter->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, size);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.rwidth() += option.fontMetrics.horizontalAdvance(QString::fromStdString(model_.typeSizeText(index.row()))) + 24;
    return s;
  }

 private:
  const CNewDocumentModel& model_;
};

QComboBox* unitCombo(QWidget* parent) {
  auto* combo = new QComboBox(parent);
  for (int32_t u = kUnitPixel; u <= kUnitMm; ++u) combo->addItem(QString::fromLatin1(unitName(u).data()));
  return combo;
}

}  // namespace

TFormNew::TFormNew(const std::array<SPaperPreset, kUserPaperPresetCount>& userPresets, int32_t clipboardWidth,
                   int32_t clipboardHeight, const QString& fileName, QWidget* parent)
    : QDialog(parent), model_(std::make_unique<CNewDocumentModel>(userPresets, clipboardWidth, clipboardHeight)) {
  setWindowTitle(resText(66500));
  auto* column = new QVBoxLayout(this);

  fileName_ = new QLineEdit(fileName, this);
  column->addWidget(fileName_);

  auto* sizeGroup = new QGroupBox(resText(66501), this);
  auto* grid = new QGridLayout(sizeGroup);
  buildTypeCombo();
  grid->addWidget(type_, 0, 0, 1, 3);
  width_ = new TLengthSpinBox(*model_, sizeGroup);
  height_ = new TLengthSpinBox(*model_, sizeGroup);
  widthUnit_ = unitCombo(sizeGroup);
  heightUnit_ = unitCombo(sizeGroup);
  resolution_ = new QDoubleSpinBox(sizeGroup);
  resolution_->setDecimals(0);
  resolution_->setKeyboardTracking(false);
  grid->addWidget(width_, 1, 0);
  grid->addWidget(widthUnit_, 1, 1);
  grid->addWidget(height_, 2, 0);
  grid->addWidget(heightUnit_, 2, 1);
  grid->addWidget(resolution_, 3, 0);
  grid->addWidget(new QLabel(QStringLiteral("pixels/inch"), sizeGroup), 3, 1);
  landscape_ = new QRadioButton(resText(66502), sizeGroup);
  portrait_ = new QRadioButton(resText(66503), sizeGroup);
  grid->addWidget(landscape_, 1, 2);
  grid->addWidget(portrait_, 2, 2);
  column->addWidget(sizeGroup);

  auto* paperGroup = new QGroupBox(resText(66504), this);
  auto* paperRow = new QHBoxLayout(paperGroup);
  white_ = new QRadioButton(resText(66505), paperGroup);
  transparent_ = new QRadioButton(resText(66506), paperGroup);
  paperRow->addWidget(white_);
  paperRow->addWidget(transparent_);
  column->addWidget(paperGroup);

  buttons_ = makeOkCancelButtons(this);
  column->addWidget(buttons_);

  connect(type_, &QComboBox::currentIndexChanged, this, [this](int i) { edit([&] { model_->selectType(i); }); });
  connect(width_, &QDoubleSpinBox::valueChanged, this,
          [this](double v) { edit([&] { model_->setWidth(static_cast<float>(v)); }); });
  connect(height_, &QDoubleSpinBox::valueChanged, this,
          [this](double v) { edit([&] { model_->setHeight(static_cast<float>(v)); }); });
  for (QComboBox* combo : {widthUnit_, heightUnit_})
    connect(combo, &QComboBox::currentIndexChanged, this, [this](int u) { edit([&] { model_->setUnit(u); }); });
  connect(resolution_, &QDoubleSpinBox::valueChanged, this,
          [this](double v) { edit([&] { model_->setResolution(static_cast<float>(v)); }); });
  connect(landscape_, &QRadioButton::toggled, this, [this](bool on) { edit([&] { model_->setLandscape(on); }); });
  connect(transparent_, &QRadioButton::toggled, this,
          [this](bool on) { edit([&] { model_->setTransparent(on); }); });
  refresh();
}

TFormNew::~TFormNew() = default;

void TFormNew::buildTypeCombo() {
  type_ = new QComboBox(this);
  for (int i = 0; i < paperTypeCount(); ++i) {
    const SPaperType& t = paperType(i);
    if (t.kind == PaperTypeKind::Separator)
      type_->insertSeparator(i);
    else
      type_->addItem(QString::fromStdString(paperTypeCaption(t.name)));
  }
  type_->setItemDelegate(new TPaperTypeDelegate(*model_, type_));
}

template <typename Edit>
void TFormNew::edit(Edit&& change) {
  if (refreshing_) return;
  change();
  refresh();
}

void TFormNew::refresh() {
  refreshing_ = true;
  const CNewDocumentModel& m = *model_;
  type_->setCurrentIndex(m.typePosition());
  widthUnit_->setCurrentIndex(m.unit());
  heightUnit_->setCurrentIndex(m.unit());
  float lo, hi;
  m.resolutionLimits(lo, hi);
  resolution_->setRange(lo, hi);
  resolution_->setValue(m.resolution());
  m.sizeLimits(lo, hi);
  for (QDoubleSpinBox* side : {width_, height_}) side->setRange(lo, hi);
  width_->setValue(m.width());
  height_->setValue(m.height());
  landscape_->setChecked(m.landscape());
  portrait_->setChecked(!m.landscape());
  transparent_->setChecked(m.transparent());
  white_->setChecked(!m.transparent());
  refreshing_ = false;
}

SNewDocumentSettings TFormNew::settings() const { return model_->result(fileName_->text().toStdString()); }

bool showNewDocumentDialog(QWidget* parent, SNewDocumentSettings& settings,
                           std::array<SPaperPreset, kUserPaperPresetCount>& userPresets) {
  QImage clip = QApplication::clipboard()->image();
  TFormNew form(userPresets, clip.width(), clip.height(), QString::fromStdString(settings.fileName), parent);
  bool confirmed = form.exec() == QDialog::Accepted;
  userPresets = form.model().userPresets();
  if (confirmed) settings = form.settings();
  return confirmed;
}

}  // namespace pg
