#include "toolwin/qt/navigator_panel_view.h"

#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "canvas/draw_window.h"
#include "document/paper.h"
#include "ui/qt/navigator.h"
#include "ui/glyph_types.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/res_text.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {

// The composite box-sampled into the thumbnail (nearest pixel; the
// thumbnail only has to show where things are).
void renderThumbnail(const TPaper& paper, TMemoryGraphic& g, int32_t w, int32_t h) {
  const TTC& c = paper.composite();
  if (!c.IsAllocated() || w < 1 || h < 1 || !g.setSize(w, h)) return;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = g.scanLine(y);
    int32_t sy = std::min(c.Height - 1, static_cast<int32_t>(static_cast<int64_t>(y) * c.Height / h));
    for (int32_t x = 0; x < w; ++x) {
      int32_t sx = std::min(c.Width - 1, static_cast<int32_t>(static_cast<int64_t>(x) * c.Width / w));
      row[x] = c.getPixel(sx, sy) | 0xFF000000u;
    }
  }
}

// The rotation slider runs over -180 .. 180 degrees.
double degreesOfRotationSlider(double position) { return -180.0 + 360.0 * position; }
float rotationSliderOfDegrees(double degrees) { return static_cast<float>((degrees + 180.0) / 360.0); }

constexpr double kScaleMin = 6.25, kScaleMax = 1600.0;

}  // namespace

TNavigatorPanelView::TNavigatorPanelView(QWidget* parent) : QWidget(parent) {
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(2);
  preview_ = new TPreviewControl(this);
  preview_->setMinimumSize(120, 90);
  v->addWidget(preview_, 1);
  auto* row = new QHBoxLayout();
  scale_ = new QDoubleSpinBox(this);
  scale_->setRange(6.25, 1600.0);
  scale_->setDecimals(1);
  scale_->setSuffix(QStringLiteral("%"));
  scale_->setKeyboardTracking(false);
  zoomOut_ = new QToolButton(this);
  zoomOut_->setText(QStringLiteral("−"));
  zoomIn_ = new QToolButton(this);
  zoomIn_->setText(QStringLiteral("+"));
  rotation_ = new QDoubleSpinBox(this);
  rotation_->setRange(-180.0, 180.0);
  rotation_->setDecimals(1);
  rotation_->setWrapping(true);
  rotation_->setSuffix(QStringLiteral("°"));
  rotation_->setKeyboardTracking(false);
  scaleLabel_ = new TPgGlyphLabel(this);
  scaleLabel_->setGlyphType(tgZoom);
  scaleLabel_->setFixedSize(18, 18);
  rotationLabel_ = new TPgGlyphLabel(this);
  rotationLabel_->setGlyphType(tgDegree);
  rotationLabel_->setFixedSize(18, 18);
  row->addWidget(scaleLabel_);
  row->addWidget(zoomOut_);
  row->addWidget(scale_, 1);
  row->addWidget(zoomIn_);
  row->addWidget(rotationLabel_);
  row->addWidget(rotation_, 1);
  v->addLayout(row);
  // The sliders under the fields: the zoom slider's position is the zoom
  // mapping of the field's value fraction, the rotation slider snaps to
  // 15-degree steps; Shift (or the preference) asks for the snapping.
  auto* sliders = new QHBoxLayout();
  scaleSlider_ = new TGraphicTrackbar(this);
  scaleSlider_->setFixedHeight(14);
  scaleSlider_->setCenterLine(true);
  scaleSlider_->OnInFilter = [](QObject*, float& p) { p = static_cast<float>(dispScaleInFilter(p)); };
  scaleSlider_->OnOutFilter = [this](QObject*, float& p) { p = static_cast<float>(dispScaleOutFilter(p, snaps())); };
  rotationSlider_ = new TGraphicTrackbar(this);
  rotationSlider_->setFixedHeight(14);
  rotationSlider_->setCenterLine(true);
  rotationSlider_->OnOutFilter = [this](QObject*, float& p) {
    if (snaps()) p = static_cast<float>(snapRotationSlider(p));
  };
  sliders->addWidget(scaleSlider_, 1);
  sliders->addWidget(rotationSlider_, 1);
  v->addLayout(sliders);
  loupeView_ = new TLoupeControl(this);
  loupeView_->setMinimumSize(60, 60);
  loupeView_->setContextMenuPolicy(Qt::CustomContextMenu);
  v->addWidget(loupeView_, 1);
  // A right drag turns the view in the preview: no menu there.
  preview_->setContextMenuPolicy(Qt::PreventContextMenu);

  model_.OnShow = [this] { show(); };
  preview_->OnThumbnail = [this](TMemoryGraphic& g, int32_t w, int32_t h) {
    if (model_.window()) renderThumbnail(model_.window()->paper(), g, w, h);
  };
  // The preview reports what show() gives it too: only the user's drags count.
  preview_->OnCentre = [this](int32_t x, int32_t y) {
    if (!showing_) model_.navSetCentre(NavSender::Preview, x, y);
  };
  preview_->OnRotation = [this](float radians) {
    if (!showing_) model_.navSetRotation(NavSender::Preview, -radians);
  };
  connect(scale_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (!showing_) model_.scaleFieldChanged(v);
  });
  connect(rotation_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (!showing_) model_.rotationFieldChanged(v);
  });
  scaleSlider_->OnChange = [this] {
    if (!showing_ && model_.window())
      model_.scaleFieldChanged(kScaleMin + (kScaleMax - kScaleMin) * scaleSlider_->getPosition());
  };
  rotationSlider_->OnChange = [this] {
    if (!showing_) model_.rotationFieldChanged(degreesOfRotationSlider(rotationSlider_->getPosition()));
  };
  connect(loupeView_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    QMenu menu;
    fillLoupeMenu(menu);
    menu.exec(loupeView_->mapToGlobal(at));
  });
  connect(zoomIn_, &QToolButton::clicked, this, [this] { model_.zoomIn(); });
  connect(zoomOut_, &QToolButton::clicked, this, [this] { model_.zoomOut(); });
  show();
}

void TNavigatorPanelView::bind(TDrawWindow* window) {
  model_.bind(window);
  updateImage();
}

void TNavigatorPanelView::updateImage() {
  TDrawWindow* w = model_.window();
  preview_->setHasImage(w != nullptr);
  if (w) {
    preview_->setImageSize(w->paper().width(), w->paper().height());
    SSize c = w->clientSize();
    float z = w->paper().zoomValue();
    preview_->setViewSize(static_cast<int32_t>(c.W / z), static_cast<int32_t>(c.H / z));
    // The loupe follows the document's display flags.
    loupeView_->Background = loupeBackgroundOf(w->paper().showCanvasColor(), w->paper().showBgPattern());
  }
  preview_->refreshImage();
  preview_->update();
}

bool TNavigatorPanelView::snaps() const {
  return displaySliderSnaps(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier, forceDispParam_);
}

void TNavigatorPanelView::setCounterRotation(bool on) {
  counterRotation_ = on;
  // Pointer angles are negated unless the preview's turning is reversed.
  preview_->AngleSign = !on;
}

void TNavigatorPanelView::updateLoupe(TPoint clientPointer) {
  TDrawWindow* w = model_.window();
  loupePointer_ = clientPointer;
  if (!w || !loupeView_->isVisible()) return;
  TPointF at = w->clientToImage({static_cast<float>(clientPointer.X), static_cast<float>(clientPointer.Y)});
  // The display flags may have changed since the panel last looked.
  loupeView_->Background = loupeBackgroundOf(w->paper().showCanvasColor(), w->paper().showBgPattern());
  fillLoupePicture(w->paper().composite(), at, loupe_.magnification(), loupeView_->picture(), loupeView_->Background);
  loupeView_->finishPicture();
}

void TNavigatorPanelView::loupeMenuClick(const QString& name) {
  if (!loupe_.menuClick(name.toStdString())) return;
  loupeView_->setMagnification(loupe_.magnification());
  loupeView_->setGrid(loupe_.grid());
  if (model_.window()) updateLoupe(loupePointer_);
}

void TNavigatorPanelView::fillLoupeMenu(QMenu& menu) {
  for (const SLoupeMenuItem& item : loupeMenuItems()) {
    if (item.captionId && item.magnification == 0.0f && item.name == "MenuLoupeC") menu.addSeparator();
    QString caption = item.captionId ? resText(item.captionId) : QString::fromUtf8(item.caption.data(), qsizetype(item.caption.size()));
    QAction* a = menu.addAction(caption);
    QString name = QString::fromLatin1(item.name.data(), qsizetype(item.name.size()));
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(loupe_.itemChecked(item.name));
    a->setEnabled(loupe_.itemEnabled(item.name));
    connect(a, &QAction::triggered, this, [this, name] { loupeMenuClick(name); });
  }
}

void TNavigatorPanelView::fillNavigatorMenu(QMenu& menu) {
  // The preview's size limits are not offered; only the reversed turning.
  QAction* a = menu.addAction(resText(kResNavCounterRotate));
  a->setObjectName(QStringLiteral("MenuNavigatorConterRot"));
  a->setCheckable(true);
  a->setChecked(counterRotation_);
  connect(a, &QAction::triggered, this, [this] { setCounterRotation(!counterRotation_); });
}

void TNavigatorPanelView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu;
  fillNavigatorMenu(menu);
  menu.exec(e->globalPos());
}

void TNavigatorPanelView::show() {
  if (showing_) return;
  showing_ = true;
  bool on = model_.enabled();
  scale_->setEnabled(on);
  rotation_->setEnabled(on);
  zoomIn_->setEnabled(on);
  zoomOut_->setEnabled(on);
  scaleSlider_->setEnabled(on);
  rotationSlider_->setEnabled(on);
  scale_->setValue(model_.scalePercent());
  rotation_->setValue(model_.rotationDegrees());
  // While a slider is dragged this puts its thumb where the snapping took it.
  scaleSlider_->setPosition(static_cast<float>((model_.scalePercent() - kScaleMin) / (kScaleMax - kScaleMin)));
  rotationSlider_->setPosition(rotationSliderOfDegrees(model_.rotationDegrees()));
  if (OnGrabberShow) OnGrabberShow(model_.grabberScale(), model_.grabberRotation());
  preview_->setZoom(model_.previewZoom());
  preview_->setRotation(model_.previewRotation());
  preview_->setCentre(model_.previewCentre().X, model_.previewCentre().Y);
  if (TDrawWindow* w = model_.window()) {
    SSize c = w->clientSize();
    float z = w->paper().zoomValue();
    preview_->setViewSize(static_cast<int32_t>(c.W / z), static_cast<int32_t>(c.H / z));
    // The loupe follows the document's display flags.
    loupeView_->Background = loupeBackgroundOf(w->paper().showCanvasColor(), w->paper().showBgPattern());
  }
  showing_ = false;
}

// ---- info ----------------------------------------------------------------------------------

TInfoPanelView::TInfoPanelView(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  static const char* const kCaptions[] = {"X", "Y", "R", "G", "B", "", "X₀", "Y₀", "W", "H", "", ""};
  for (int i = 0; i < 12; ++i) {
    int col = i < 6 ? 0 : 2, row = i % 6;
    grid->addWidget(new QLabel(QString::fromUtf8(kCaptions[i]), this), row, col);
    values_[i] = new QLabel(this);
    values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values_[i]->setMinimumWidth(40);
    grid->addWidget(values_[i], row, col + 1);
  }
  swatch_ = new QWidget(this);
  swatch_->setFixedSize(24, 16);
  grid->addWidget(swatch_, 5, 1, Qt::AlignRight);
  model_.OnColorChanged = [this] {
    show();
    update();
  };
}

void TInfoPanelView::updateInfo(TDrawWindow* window, int32_t mode, float x, float y) {
  model_.updateInfo(window, mode, x, y);
  show();
}

void TInfoPanelView::show() {
  const SInfoTexts& t = model_.texts();
  const std::string* texts[12] = {&t.x, &t.y, &t.r, &t.g, &t.b, nullptr, &t.selX, &t.selY, &t.selW, &t.selH,
                                  &t.opt1, &t.opt2};
  for (int i = 0; i < 12; ++i)
    if (texts[i]) values_[i]->setText(QString::fromStdString(*texts[i]));
}

void TInfoPanelView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect box = swatch_->geometry();
  p.fillRect(box, palette().color(QPalette::WindowText));
  uint32_t c = model_.color();
  p.fillRect(box.adjusted(1, 1, -1, -1), model_.colorValid() ? QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)
                                                             : palette().color(QPalette::Button));
}

}  // namespace pg
