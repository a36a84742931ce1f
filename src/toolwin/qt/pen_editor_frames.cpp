#include "toolwin/qt/pen_editor_frames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "toolwin/qt/editor_texts.h"
#include "ui/qt/res_text.h"
#include "brush/paint_param.h"
#include "brush/shape_values.h"
#include "io/image_codecs.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/qt/editor_num_row.h"
#include "ui/qt/air_map_controls.h"
#include "ui/qt/panel_controls.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {

// The pen-method kinds' names are the paint kind names' texts, in kind order.
constexpr uint32_t kResPenKindNames = 66400;
// An icon file that does not open: the picture-file message with its path.
constexpr uint32_t kResIconUnreadable = 66546;

QImage imageOfPlane(const TMTC& plane) {
  QImage img(plane.Width, plane.Height, QImage::Format_ARGB32);
  for (int32_t y = 0; y < plane.Height; ++y) {
    auto* dst = reinterpret_cast<uint32_t*>(img.scanLine(y));
    for (int32_t x = 0; x < plane.Width; ++x) {
      const uint8_t* p = plane.PixelAddress(x, y);
      dst[x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
  }
  return img;
}

// A falloff button's face: the profile of its type.
QIcon falloffIcon(uint8_t type) {
  TMTC plane(28, 16);
  if (!plane.IsAllocated()) return {};
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 28; ++x) {
      uint8_t* p = plane.PixelAddress(x, y);
      p[0] = p[1] = p[2] = 255;
      p[3] = 255;
    }
  // A curve that cannot be drawn leaves the icon blank.
  (void)drawFalloffCurve(plane, TRect{1, 1, 27, 15}, type, 0x404040u, 0.0f, 0.0f);
  return QIcon(QPixmap::fromImage(imageOfPlane(plane)));
}

// An editor frame's name and least size, and its outer column without margins.
QVBoxLayout* frameColumn(QWidget& frame, const QString& name) {
  frame.setObjectName(name);
  frame.setMinimumSize(352, 384);
  auto* outer = new QVBoxLayout(&frame);
  outer->setContentsMargins(0, 0, 0, 0);
  return outer;
}

}  // namespace

// ---- pen method frame ---------------------------------------------------------------

TFramePenMtdEditor::TFramePenMtdEditor(QWidget* parent) : QWidget(parent) {
  auto* outer = frameColumn(*this, QStringLiteral("GrpPenMtd"));

  auto* general = new QGroupBox(resText(kResPenGeneral), this);
  auto* g = new QGridLayout(general);
  auto* typeLabel = new QLabel(resText(kResPenKind), general);
  CmbType = new QComboBox(general);
  CmbType->setObjectName(QStringLiteral("CmbType"));
  for (int32_t k = 0; k < kPenMtdKindCount; ++k) CmbType->addItem(resText(kResPenKindNames + uint32_t(k)));
  typeLabel->setBuddy(CmbType);
  auto* nameLabel = new QLabel(resText(kResPenName), general);
  EdtName = new QLineEdit(general);
  EdtName->setObjectName(QStringLiteral("EdtName"));
  nameLabel->setBuddy(EdtName);
  g->addWidget(typeLabel, 0, 0);
  g->addWidget(CmbType, 0, 1);
  g->addWidget(nameLabel, 1, 0);
  g->addWidget(EdtName, 1, 1);
  g->addWidget(new QLabel(resText(kResPenIcon), general), 2, 0, Qt::AlignTop);
  auto* iconRow = new QHBoxLayout;
  BoxIcon = new QLabel(general);
  BoxIcon->setObjectName(QStringLiteral("BoxIcon"));
  BoxIcon->setFixedSize(88, 64);
  BoxIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  BoxIcon->setAlignment(Qt::AlignCenter);
  auto* iconButtons = new QVBoxLayout;
  BtnIconLoad = new QPushButton(resText(kResPenIconLoad), general);
  BtnIconRemove = new QPushButton(resText(kResPenIconRemove), general);
  iconButtons->addWidget(BtnIconLoad);
  iconButtons->addWidget(BtnIconRemove);
  iconButtons->addStretch(1);
  iconRow->addWidget(BoxIcon);
  iconRow->addLayout(iconButtons);
  iconRow->addStretch(1);
  g->addLayout(iconRow, 2, 1);
  outer->addWidget(general);

  auto* brush = new QGroupBox(resText(kResPenBrush), this);
  auto* b = new QGridLayout(brush);
  density_ = std::make_unique<TEditorNumRow>(brush, b, 0, resText(kResPenDensity), values_.NumDensity,
                                             QStringLiteral("%1.0f"), QStringLiteral("%"));
  space_ = std::make_unique<TEditorNumRow>(brush, b, 1, resText(kResPenSpacing), values_.NumSpace,
                                           QStringLiteral("%1.0f"), QStringLiteral("%"));
  for (int i = 0; i < 3; ++i)
    effects_[size_t(i)] = std::make_unique<TEditorNumRow>(brush, b, 2 + i, QString::fromStdString(formatRes(kResPenEffect, {i + 1, i + 1})),
                                                          values_.NumEffect[i], QStringLiteral("%1.0f"), QString());
  outer->addWidget(brush);

  auto* pressure = new QGroupBox(resText(kResPenPressure), this);
  auto* p = new QGridLayout(pressure);
  gamma_ = std::make_unique<TEditorNumRow>(pressure, p, 0, resText(kResPenGamma), values_.NumGamma,
                                           QStringLiteral("%1.2f"), QString());
  gamma_->slider()->hide();
  BoxPrsGamma = new TPressureGamma(pressure);
  BoxPrsGamma->setObjectName(QStringLiteral("BoxPrsGamma"));
  BoxPrsGamma->setFixedSize(48, 48);
  p->addWidget(BoxPrsGamma, 0, 3, 3, 1);
  ChkPrsDensity = new QCheckBox(resText(kResPenPressureOpacity), pressure);
  ChkPrsRadius = new QCheckBox(resText(kResPenPressureSize), pressure);
  p->addWidget(ChkPrsDensity, 1, 0, 1, 3);
  p->addWidget(ChkPrsRadius, 2, 0, 1, 3);
  outer->addWidget(pressure);
  outer->addStretch(1);

  for (TEditorNumRow* row : {density_.get(), space_.get(), effects_[0].get(), effects_[1].get(), effects_[2].get()})
    row->OnUserChange = [this] { changed(); };
  gamma_->OnUserChange = [this] {
    BoxPrsGamma->setGamma(values_.NumGamma.value());
    changed();
  };
  BoxPrsGamma->OnChange = [this] {
    if (updating_) return;
    values_.NumGamma.setValue(BoxPrsGamma->gamma());
  };
  connect(CmbType, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (updating_ || !values_.setKindIndex(index)) return;
    kindRefresh();
    changed();
  });
  connect(EdtName, &QLineEdit::textEdited, this, [this](const QString& text) {
    values_.name = text.toStdString();
    changed();
  });
  connect(ChkPrsDensity, &QCheckBox::clicked, this, [this](bool on) {
    values_.pressureDensity = on;
    changed();
  });
  connect(ChkPrsRadius, &QCheckBox::clicked, this, [this](bool on) {
    values_.pressureRadius = on;
    changed();
  });
  connect(BtnIconLoad, &QPushButton::clicked, this, [this] {
    SFileDialogRequest request;
    request.kind = 1;  // pictures
    // A picture that cannot be used is reported by loadIconFile itself.
    if (executeFileDialog(this, request)) (void)loadIconFile(QString::fromStdString(request.fileName));
  });
  connect(BtnIconRemove, &QPushButton::clicked, this, [this] { BtnIconRemoveClick(); });
  kindRefresh();
}

TFramePenMtdEditor::~TFramePenMtdEditor() { OnFrameChange = nullptr; }

void TFramePenMtdEditor::changed() {
  if (updating_) return;
  if (OnFrameChange) OnFrameChange();
}

bool TFramePenMtdEditor::load(const TPaintParam* param) {
  if (param == nullptr) return false;
  updating_ = true;
  TEditorNumRow::setLoading(true);
  const bool loaded = values_.load(param);
  CmbType->setCurrentIndex(values_.kindIndex());
  EdtName->setText(QString::fromStdString(values_.name));
  ChkPrsDensity->setChecked(values_.pressureDensity);
  ChkPrsRadius->setChecked(values_.pressureRadius);
  BoxPrsGamma->setGamma(values_.NumGamma.value());
  TEditorNumRow::setLoading(false);
  kindRefresh();
  updating_ = false;
  return loaded;
}

void TFramePenMtdEditor::kindRefresh() {
  for (int i = 0; i < 3; ++i) {
    effects_[size_t(i)]->setCaption(QString::fromStdString(values_.effectCaption(i)));
    effects_[size_t(i)]->setEnabled(values_.effectEnabled(i));
  }
  BtnIconRemove->setEnabled(values_.hasOwnIcon());
  showIcon();
}

void TFramePenMtdEditor::showIcon() {
  const TMTC* icon = values_.shownIcon();
  if (icon == nullptr || !hasPixels(*icon)) {
    BoxIcon->clear();
    return;
  }
  BoxIcon->setPixmap(QPixmap::fromImage(imageOfPlane(*icon).scaled(84, 60, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

bool TFramePenMtdEditor::loadIconFile(const QString& path) {
  int32_t dpi = 0;
  std::unique_ptr<TMTC> image = loadImageFile(path.toStdString(), dpi);
  if (!image || !hasPixels(*image) || !values_.setOwnIcon(*image)) {
    showWarning(formatRes(kResIconUnreadable, {path.toStdString()}));
    return false;
  }
  kindRefresh();
  changed();
  return true;
}

void TFramePenMtdEditor::BtnIconRemoveClick() {
  values_.removeOwnIcon();
  kindRefresh();
  changed();
}

// ---- nib frame -------------------------------------------------------------------------

TFramePenNibEditor::TFramePenNibEditor(QWidget* parent) : QWidget(parent) {
  auto* outer = frameColumn(*this, QStringLiteral("GrpPenNib"));

  auto* shape = new QGroupBox(resText(kResNibShape), this);
  auto* s = new QGridLayout(shape);
  radius_ = std::make_unique<TEditorNumRow>(shape, s, 0, resText(kResNibRadius), values_.NumRadius,
                                            QStringLiteral("%1.1f"), QStringLiteral("px"));
  scale_ = std::make_unique<TEditorNumRow>(shape, s, 1, resText(kResNibRadius), values_.NumScale,
                                           QStringLiteral("%1.0f"), QStringLiteral("%"));
  minRad_ = std::make_unique<TEditorNumRow>(shape, s, 2, resText(kResNibMinRadius), values_.NumMinRad,
                                            QStringLiteral("%1.0f"), QStringLiteral("%"));
  aspect_ = std::make_unique<TEditorNumRow>(shape, s, 3, resText(kResNibAspect), values_.NumAspect,
                                            QStringLiteral("%1.0f"), QStringLiteral("%"));
  degree_ = std::make_unique<TEditorNumRow>(shape, s, 4, resText(kResNibAngle), values_.NumDegree,
                                            QStringLiteral("%1.0f"), QStringLiteral("°"));
  // The radius slider has the tool window's non-linear scale.
  radius_->slider()->OnInFilter = [](QObject*, float& p) { p = float(nibRadiusInFilter(p)); };
  radius_->slider()->OnOutFilter = [](QObject*, float& p) { p = float(nibRadiusOutFilter(p)); };
  radius_->syncSlider();
  ChkAntiAlias = new QCheckBox(resText(kResNibAntiAlias), shape);
  s->addWidget(ChkAntiAlias, 5, 0, 1, 4);
  outer->addWidget(shape);

  auto* dist = new QGroupBox(resText(kResNibFalloff), this);
  auto* d = new QGridLayout(dist);
  BoxDistribute = new TAirMapControl(dist);
  BoxDistribute->setObjectName(QStringLiteral("BoxDistribute"));
  BoxDistribute->setFixedSize(96, 64);
  d->addWidget(BoxDistribute, 0, 0, 2, 1);
  auto* buttons = new QGridLayout;
  for (int i = 0; i < 6; ++i) {
    auto* button = new QToolButton(dist);
    button->setObjectName(QStringLiteral("BoxDistribute%1").arg(i + 1));
    button->setCheckable(true);
    button->setAutoExclusive(true);
    button->setIcon(falloffIcon(kFalloffButtonTypes[i]));
    button->setIconSize(QSize(28, 16));
    buttons->addWidget(button, i / 3, i % 3);
    distributeButtons[size_t(i)] = button;
    connect(button, &QToolButton::clicked, this, [this, i] {
      if (updating_) return;
      BoxDistribute->setKind(kFalloffButtonTypes[i]);
    });
  }
  d->addLayout(buttons, 0, 1);
  d->setColumnStretch(2, 1);
  auto* falloffRows = new QGridLayout;
  d->addLayout(falloffRows, 2, 0, 1, 3);
  flat_ = std::make_unique<TEditorNumRow>(dist, falloffRows, 0, resText(kResNibFlat), values_.NumFlat,
                                          QStringLiteral("%1.0f"), QStringLiteral("%"));
  add_ = std::make_unique<TEditorNumRow>(dist, falloffRows, 1, resText(kResNibLift), values_.NumAdd,
                                         QStringLiteral("%1.0f"), QStringLiteral("%"));
  outer->addWidget(dist);

  auto* bitmap = new QGroupBox(resText(kResNibBitmap), this);
  auto* bm = new QHBoxLayout(bitmap);
  BoxShape = new TPenNibPreview(bitmap);
  BoxShape->setObjectName(QStringLiteral("BoxShape"));
  BoxShape->setFixedSize(96, 72);
  bm->addWidget(BoxShape);
  bm->addStretch(1);
  outer->addWidget(bitmap);
  outer->addStretch(1);

  for (TEditorNumRow* row : {radius_.get(), scale_.get(), minRad_.get(), aspect_.get(), degree_.get()})
    row->OnUserChange = [this] { changed(); };
  flat_->OnUserChange = [this] {
    if (!updating_) BoxDistribute->setValueA(values_.NumFlat.value() / 100.0f);
    changed();
  };
  add_->OnUserChange = [this] {
    if (!updating_) BoxDistribute->setValueB(values_.NumAdd.value() / 100.0f);
    changed();
  };
  BoxDistribute->OnChange = [this] {
    if (updating_) return;
    updating_ = true;
    values_.falloffType = BoxDistribute->kind();
    TEditorNumRow::setLoading(true);
    values_.NumFlat.setValue(BoxDistribute->valueA() * 100.0f);
    values_.NumAdd.setValue(BoxDistribute->valueB() * 100.0f);
    TEditorNumRow::setLoading(false);
    pressFalloffButton();
    updating_ = false;
    changed();
  };
  connect(ChkAntiAlias, &QCheckBox::clicked, this, [this](bool on) {
    values_.antiAlias = on;
    changed();
  });
  showNib();
}

TFramePenNibEditor::~TFramePenNibEditor() {
  OnFrameChange = nullptr;
  BoxDistribute->OnChange = nullptr;
}

void TFramePenNibEditor::pressFalloffButton() {
  const int32_t pressed = falloffButtonOf(values_.falloffType);
  for (int i = 0; i < 6; ++i) {
    distributeButtons[size_t(i)]->setAutoExclusive(false);
    distributeButtons[size_t(i)]->setChecked(i == pressed);
    distributeButtons[size_t(i)]->setAutoExclusive(true);
  }
}

void TFramePenNibEditor::changed() {
  if (updating_) return;
  showNib();
  if (OnFrameChange) OnFrameChange();
}

bool TFramePenNibEditor::load(const TPaintParam* p) {
  if (p == nullptr) return false;
  updating_ = true;
  TEditorNumRow::setLoading(true);
  const bool loaded = values_.load(p);
  scale_->syncSlider();
  radius_->setVisible(!values_.hasImage());
  scale_->setVisible(values_.hasImage());
  ChkAntiAlias->setChecked(values_.antiAlias);
  BoxDistribute->setKind(values_.falloffType);
  BoxDistribute->setValueA(values_.NumFlat.value() / 100.0f);
  BoxDistribute->setValueB(values_.NumAdd.value() / 100.0f);
  pressFalloffButton();
  TEditorNumRow::setLoading(false);
  updating_ = false;
  showNib();
  return loaded;
}

void TFramePenNibEditor::showNib() {
  TPaintParam p(9);
  values_.store(p);
  SShapeValues v = shapeValuesOf(p);
  BoxShape->setNib(v);
}

}  // namespace pg
