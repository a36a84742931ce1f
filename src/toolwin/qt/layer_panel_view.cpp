#include "toolwin/qt/layer_panel_view.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "core/blend_modes.h"
#include "ui/glyph_types.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/res_text.h"
#include "platform/message_service.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/panel_menu_builder.h"
#include "canvas/draw_window.h"
#include "document/paper.h"
#include <QContextMenuEvent>

namespace pg {

namespace {

constexpr int kTimerTick = 100;  // ms between looks at the opacity edit

// The hints of the panels' buttons, the delete question and the captions of
// the four ways a mask merges into the selected one.
constexpr uint32_t kResProtectHint = 69360, kResNewLayerHint = 69361, kResDeleteLayerHint = 69362,
                   kResNewMaskHint = 69363, kResDeleteMaskHint = 69364, kResDeleteQuestion = 68164;
constexpr std::array<uint32_t, 4> kResMergeModes = {64920, 64921, 64922, 64923};

QToolButton* textButton(const QString& text, const QString& tip, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(tip);
  b->setAutoRaise(true);
  return b;
}

bool altHeld() { return QApplication::keyboardModifiers() & Qt::AltModifier; }

}  // namespace

TLayerPanelView::TLayerPanelView(QWidget* parent) : QWidget(parent) {
  panel_ = std::make_unique<CLayerPanel>(layers_, masks_);
  layers_.setOptions(kListKeepActive | kListDraggable);
  // Drops, and a double click opens the item's options.
  layers_.setAcceptBits(3);
  masks_.setOptions(kListKeepActive | kListDraggable);
  masks_.setAcceptBits(3);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(2);
  blend_ = new QComboBox(this);
  for (int32_t m = 0; m < static_cast<int32_t>(kBlendModeCount); ++m) blend_->addItem(QString::fromStdString(layerBlendName(m)));
  grid->addWidget(blend_, 0, 0, 1, 4);
  opacitySlider_ = new QSlider(Qt::Horizontal, this);
  opacitySlider_->setRange(0, 100);
  auto* opacityRow = new QHBoxLayout();
  opacityLabel_ = new TPgGlyphLabel(this);
  opacityLabel_->setGlyphType(tgDensity);
  opacityLabel_->setFixedSize(18, 18);
  opacityRow->addWidget(opacityLabel_);
  opacityRow->addWidget(opacitySlider_, 1);
  grid->addLayout(opacityRow, 1, 0, 1, 2);
  opacityEdit_ = new QSpinBox(this);
  opacityEdit_->setRange(0, 100);
  opacityEdit_->setSuffix(QStringLiteral("%"));
  opacityEdit_->setAlignment(Qt::AlignRight);
  grid->addWidget(opacityEdit_, 1, 2);
  protect_ = textButton(QStringLiteral("α"), resText(kResProtectHint), this);
  protect_->setCheckable(true);
  grid->addWidget(protect_, 1, 3);
  layerView_ = new TItemListView(layers_, this);
  grid->addWidget(layerView_, 2, 0, 1, 4);
  grid->setRowStretch(2, 1);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  newLayer_ = textButton(QStringLiteral("+"), resText(kResNewLayerHint), this);
  deleteLayer_ = textButton(QStringLiteral("−"), resText(kResDeleteLayerHint), this);
  buttons->addWidget(newLayer_);
  buttons->addWidget(deleteLayer_);
  grid->addLayout(buttons, 3, 0, 1, 4);
  grid->setColumnStretch(0, 1);

  // The mask panel: a list and its two buttons.
  maskPanel_ = new QWidget();
  auto* mv = new QVBoxLayout(maskPanel_);
  mv->setContentsMargins(2, 2, 2, 2);
  mv->setSpacing(2);
  maskView_ = new TItemListView(masks_, maskPanel_);
  mv->addWidget(maskView_, 1);
  auto* mb = new QHBoxLayout();
  mb->addStretch(1);
  newMask_ = textButton(QStringLiteral("+"), resText(kResNewMaskHint), maskPanel_);
  deleteMask_ = textButton(QStringLiteral("−"), resText(kResDeleteMaskHint), maskPanel_);
  mb->addWidget(newMask_);
  mb->addWidget(deleteMask_);
  mv->addLayout(mb);

  timer_ = new QTimer(this);
  timer_->setInterval(kTimerTick);
  connect(timer_, &QTimer::timeout, this, [this] { panel_->opacityTimer(); });
  panel_->OnTimer = [this](bool on) {
    if (on)
      timer_->start();
    else
      timer_->stop();
  };
  panel_->OnUpdate = [this] {
    show(panel_->state());
    showMasks(panel_->maskState());
  };
  panel_->OnConfirm = [this](const std::string& word) {
    const QString text = QString::fromStdString(formatRes(kResDeleteQuestion, {word}));
    return QMessageBox::question(this, QString(), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };

  layerView_->OnPress = [this](int32_t x, int32_t y, uint32_t m) {
    int32_t part = layers_.press(x, y, m);
    panel_->updateLayerPanel();
    panel_->updateMaskPanel();
    return part;
  };
  maskView_->OnPress = [this](int32_t x, int32_t y, uint32_t m) {
    int32_t part = masks_.press(x, y, m);
    panel_->updateMaskPanel();
    return part;
  };
  maskView_->OnContextItem = [this](int32_t index, QPoint global) {
    if (!masks_.canEdit() || index == masks_.getActiveIndex()) return;
    maskMergeAsked_ = true;  // the panel's menu does not follow this one
    QMenu menu;
    for (int mode = 0; mode < 4; ++mode) menu.addAction(resText(kResMergeModes[size_t(mode)]))->setData(mode);
    if (QAction* chosen = menu.exec(global)) masks_.mergeInto(index, chosen->data().toInt());
    panel_->updateMaskPanel();
  };
  // A layer or mask dragged onto the new or delete button under its list.
  auto dropOn = [](QToolButton* button, QPoint global) {
    return button->isVisible() && button->rect().contains(button->mapFromGlobal(global));
  };
  layerView_->OnDropOutside = [this, dropOn](QPoint global) {
    if (dropOn(newLayer_, global)) return panel_->newDrop(&layers_);
    if (dropOn(deleteLayer_, global)) return panel_->deleteDrop(&layers_);
    return false;
  };
  maskView_->OnDropOutside = [this, dropOn](QPoint global) {
    if (dropOn(newMask_, global)) return panel_->newDrop(&masks_);
    if (dropOn(deleteMask_, global)) return panel_->deleteDrop(&masks_);
    return false;
  };
  layers_.OnChange = [this] {
    panel_->updateLayerPanel();
    panel_->updateMaskPanel();
  };

  connect(blend_, &QComboBox::currentIndexChanged, this, [this](int mode) {
    if (!showing_) panel_->blendModeChange(mode);
  });
  connect(opacitySlider_, &QSlider::sliderPressed, this, [this] { panel_->opacityStart(); });
  connect(opacitySlider_, &QSlider::sliderReleased, this, [this] { panel_->opacityEnd(); });
  connect(opacitySlider_, &QSlider::valueChanged, this, [this](int v) {
    if (showing_) return;
    showing_ = true;
    opacityEdit_->setValue(v);
    showing_ = false;
    // A click on the groove is an edit of its own.
    bool own = !panel_->opacityEditOpen();
    if (own) panel_->opacityStart();
    panel_->opacityChange(v);
    if (own) panel_->opacityEnd();
  });
  connect(opacityEdit_, &QSpinBox::valueChanged, this, [this](int v) {
    if (showing_) return;
    showing_ = true;
    opacitySlider_->setValue(v);
    showing_ = false;
    panel_->opacityStart();
    panel_->opacityChange(v);
  });
  connect(opacityEdit_, &QSpinBox::editingFinished, this, [this] { panel_->opacityEnd(); });
  connect(protect_, &QToolButton::clicked, this, [this](bool down) { panel_->protectAlphaChange(down); });
  connect(newLayer_, &QToolButton::clicked, this, [this] { panel_->newLayer(altHeld()); });
  connect(deleteLayer_, &QToolButton::clicked, this, [this] { panel_->deleteLayer(altHeld()); });
  connect(newMask_, &QToolButton::clicked, this, [this] { panel_->newMask(); });
  connect(deleteMask_, &QToolButton::clicked, this, [this] { panel_->deleteMask(altHeld()); });
  refresh();
}

TLayerPanelView::~TLayerPanelView() {
  panel_->OnTimer = nullptr;
  panel_->OnUpdate = nullptr;
  delete maskPanel_.data();
}

void TLayerPanelView::bind(TDrawWindow* window) {
  // An open opacity edit ends with the window it belongs to.
  if (panel_->opacityEditOpen()) panel_->opacityEnd();
  if (window) {
    layers_.bind(window);
    masks_.bind(window);
  } else {
    layers_.unbind();
    masks_.unbind();
  }
  refresh();
}

void TLayerPanelView::refresh() {
  panel_->updateLayerPanel();
  panel_->updateMaskPanel();
}

void TLayerPanelView::show(const SLayerPanelState& s) {
  showing_ = true;
  blend_->setEnabled(s.attached);
  opacitySlider_->setEnabled(s.attached);
  opacityEdit_->setEnabled(s.attached);
  protect_->setEnabled(s.attached);
  newLayer_->setEnabled(s.editable);
  layerView_->setEnabled(s.editable || s.attached);
  // Without a document no mode is shown at all.
  blend_->setCurrentIndex(s.attached ? s.blendMode : -1);
  if (!opacitySlider_->isSliderDown()) opacitySlider_->setValue(s.opacity);
  if (!opacityEdit_->hasFocus()) opacityEdit_->setValue(s.opacity);
  protect_->setChecked(s.protectAlpha);
  deleteLayer_->setEnabled(s.canDelete);
  showing_ = false;
}

void TLayerPanelView::showMasks(const SMaskPanelState& s) {
  newMask_->setEnabled(s.editable);
  deleteMask_->setEnabled(s.canDelete);
}

void TLayerPanelView::bindPanelMenus(std::function<QAction*(std::string_view name)> action, std::function<void()> refresh) {
  delete layerMenu_;
  delete maskMenu_;
  SPanelActionMenuBinding b;
  b.action = std::move(action);
  b.refresh = std::move(refresh);
  // The gate of the layer menu's submenus: the document may be edited
  // (background mode ignored, not while replaying unless paused).
  b.canEdit = [this] { return layers_.window() != nullptr && layers_.paper() != nullptr && layers_.window()->canEdit(true, false, true); };
  b.standardMode = [this] { return layers_.paper() != nullptr && layers_.paper()->isStandardMode(); };
  // A double click on a layer or mask opens its options, Alt with the new
  // button the new-layer dialog: the main window's commands.
  auto run = [act = b.action, refresh = b.refresh](const char* name) {
    return [act, refresh, name](auto&&...) {
      if (refresh) refresh();
      if (QAction* a = act ? act(name) : nullptr; a != nullptr && a->isEnabled()) a->trigger();
    };
  };
  layers_.OnEditItem = run("ActLyrOpt");
  masks_.OnEditItem = run("ActMaskOption");
  panel_->OnNewLayerDialog = run("ActLyrNew");
  layerMenu_ = buildPanelActionMenu(this, PanelActionMenu::Layer, layers_, b);
  layerMenu_->setObjectName(QStringLiteral("PopLayer"));
  maskMenu_ = buildPanelActionMenu(this, PanelActionMenu::Mask, masks_, b);
  maskMenu_->setObjectName(QStringLiteral("PopMask"));
  layerView_->installEventFilter(this);
  maskView_->installEventFilter(this);
}

bool TLayerPanelView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ContextMenu && (watched == layerView_ || watched == maskView_)) {
    const bool merged = maskMergeAsked_;
    maskMergeAsked_ = false;
    QMenu* menu = watched == layerView_ ? layerMenu_ : maskMenu_;
    if (menu != nullptr && !merged) menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pg
