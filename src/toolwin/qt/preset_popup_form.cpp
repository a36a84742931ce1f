#include "toolwin/qt/preset_popup_form.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/preset_lists.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/panel_menus.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/appearance_manager.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/item_pickers.h"
#include "ui/qt/trackbar.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

// The glyphs of the right column: a cross closes, a triangle opens the menu.
constexpr uint8_t kGlyphClose = dgCross;
constexpr uint8_t kGlyphMenu = dgTriangleDown;
constexpr int32_t kMinWidth = 227, kMinHeight = 101;
// The menu's show-all switch and its four preview sizes (hidden, small, medium, large).
constexpr uint32_t kResShowAllItems = 67620, kResPreviewHidden = 67621;

QRect qrect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

// The gradient pop-up's band under the list: a row of attribute controls,
// then the preview. Left edges of the buttons in kGradAttrButtons order, the
// label's and the count edit's span.
constexpr std::array<int, 6> kBandButtonLeft = {2, 22, 42, 66, 147, 171};
constexpr int kBandButtonWidth = 20, kBandRowHeight = 16, kBandRowTop = 2;
constexpr int kBandLabelLeft = 90, kBandEditLeft = 108, kBandEditRight = 145;
// The preview starts under the row; the band ends 2 pixels under the preview.
constexpr int kBandPreviewTop = 22;
int bandHeight(int32_t previewSize) { return kBandPreviewTop + presetPreviewHeight(previewSize) + 2; }

// A "short|long" hint: the short part is the tooltip, the long one the status tip.
void setHint(QWidget* w, uint32_t id) {
  const QString hint = resText(id);
  w->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
  w->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

}  // namespace

TPresetPopupForm::TPresetPopupForm(QWidget* owner, PresetPopupKind kind, std::unique_ptr<CItemList> list,
                                   int32_t fallbackStyle, SPresetPopupCommands commands, SPresetPopupPrefs prefs)
    : TPopupBaseForm(owner), kind_(kind), list_(std::move(list)), commands_(std::move(commands)), prefs_(prefs) {
  setObjectName(QStringLiteral("PresetPopupForm"));
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setMinimumSize(kMinWidth, kMinHeight);
  resize(230, 152);
  setMouseTracking(true);
  view_ = new TItemListView(*list_, this);
  list_->setDisplayStyle(presetPopupStyle(*list_, prefs_.style ? *prefs_.style : -1, fallbackStyle));

  PresetPopupMenu = new QMenu(this);
  PresetPopupMenu->setObjectName(QStringLiteral("PresetPopupMenu"));
  static const char* const kNames[kPresetPopupItemCount] = {"MenuItemAppend", "MenuItemDuplicate", "MenuItemDelete",
                                                           "MenuItemEdit",   "MenuSetRevert",     "MenuSetAppend",
                                                           "MenuSetSave",    "MenuSetOpen"};
  for (int i = 0; i < kPresetPopupItemCount; ++i) {
    if (i == 4) PresetPopupMenu->addSeparator();
    items_[i] = PresetPopupMenu->addAction(QString(), this, [this, i] { runMenuItem(PresetPopupItem(i)); });
    items_[i]->setObjectName(QString::fromLatin1(kNames[i]));
  }
  PresetPopupMenu->addSeparator();
  if (auto* brushes = dynamic_cast<CPenMethodList*>(list_.get())) {
    showAll_ = PresetPopupMenu->addAction(resText(kResShowAllItems), this,
                                          [this, brushes] { brushes->setShowAll(!brushes->showAll()); });
    showAll_->setObjectName(QStringLiteral("MenuDispAll"));
    showAll_->setCheckable(true);
  }
  const auto display = editorDisplayItems();
  for (int k = 0; k < 7; ++k) {
    const int32_t style = display[size_t(k)].style;
    styles_[k] = PresetPopupMenu->addAction(resText(display[size_t(k)].captionId),
                                            this, [this, style] { list_->setDisplayStyle(style); });
    styles_[k]->setObjectName(QString::fromUtf8(display[size_t(k)].name.data(), int(display[size_t(k)].name.size())));
    styles_[k]->setCheckable(true);
  }
  PresetPopupMenu->addSeparator();
  for (int k = 0; k < 4; ++k) {
    previews_[k] = PresetPopupMenu->addAction(resText(kResPreviewHidden + uint32_t(k)), this, [this, k] { setPreviewSize(k); });
    previews_[k]->setCheckable(true);
    previews_[k]->setVisible(false);
  }
  connect(PresetPopupMenu, &QMenu::aboutToShow, this, [this] { preparePresetPopupMenu(); });
  layoutParts();
}

TPresetPopupForm::~TPresetPopupForm() {
  delete view_;  // the view goes before the list it shows
  view_ = nullptr;
  // The edit leaves the count before the count goes.
  repeatCount_.onChange = nullptr;
  delete repeatEdit_;
  repeatEdit_ = nullptr;
}

SSize TPresetPopupForm::glyphSize() const {
  const TAppearanceManager* g = appearanceManager();
  if (g == nullptr) return SSize{11, 11};
  const TMemoryGraphic& img = g->glyph(kGlyphMenu, 0);
  return SSize{img.width(), img.height()};
}

void TPresetPopupForm::layoutParts() {
  const int32_t column = glyphSize().W + 4;
  const int32_t band = preview_ ? bandHeight(previewSize_) : 0;
  const int32_t listWidth = std::max(1, width() - column);
  if (view_) view_->setGeometry(0, 0, listWidth, std::max(1, height() - band));
  if (!preview_) return;
  const int32_t top = height() - band;
  preview_->setVisible(previewSize_ > 0);
  preview_->setGeometry(0, top + kBandPreviewTop, listWidth, std::max(1, presetPreviewHeight(previewSize_)));
  for (size_t i = 0; i < attrButtons_.size(); ++i)
    if (attrButtons_[i])
      attrButtons_[i]->setGeometry(kBandButtonLeft[i], top + kBandRowTop, kBandButtonWidth, kBandRowHeight);
  if (repeatLabel_)
    repeatLabel_->setGeometry(kBandLabelLeft, top + kBandRowTop, kBandEditLeft - kBandLabelLeft, kBandRowHeight);
  if (repeatEdit_)
    repeatEdit_->setGeometry(kBandEditLeft, top + kBandRowTop, kBandEditRight - kBandEditLeft, kBandRowHeight);
}

void TPresetPopupForm::enablePreview(CGradMngr& set) {
  gradients_ = &set;
  preview_ = new TGradientPreview(this);
  if (prefs_.previewSize && *prefs_.previewSize >= 0 && *prefs_.previewSize <= 3) previewSize_ = *prefs_.previewSize;
  setMinimumHeight(kMinHeight + bandHeight(previewSize_));
  resize(width(), minimumHeight());
  for (QAction* a : previews_) a->setVisible(true);
  buildGradientBand();
  auto chained = list_->OnChange;
  list_->OnChange = [this, chained] {
    if (chained) chained();
    loadGradientControls();
  };
  loadGradientControls();
  layoutParts();
}

void TPresetPopupForm::buildGradientBand() {
  for (size_t i = 0; i < attrButtons_.size(); ++i) {
    const SGradAttrButton& b = kGradAttrButtons[i];
    auto* button = new TPgGlyphButton(this);
    button->setGlyphType(b.glyph);
    button->setGroupIndex(b.group);
    if (b.group != 1) button->setAllowAllUp(true);
    setHint(button, b.hint);
    button->OnClick = [this] { gradientControlsChanged(); };
    attrButtons_[i] = button;
  }
  repeatLabel_ = new TPgGlyphLabel(this);
  repeatLabel_->setGlyphType(tgGradRepeat);
  repeatLabel_->setReadOnly(true);
  setHint(repeatLabel_, kResGradRepeatLabel);
  (void)repeatCount_.setRange(1.0f, 1.0f, float(kMaxGradRepeatCount));  // a valid range
  repeatCount_.setValueDefault(1.0f);
  repeatCount_.setValueCenter(50.0f);
  repeatCount_.onChange = [this](TNumMngr&) { gradientControlsChanged(); };
  repeatEdit_ = new TNumLabelEditPopup(this);
  repeatEdit_->setFormatString(QStringLiteral("%1.0f"));
  repeatEdit_->setAssociate(&repeatCount_);
  setHint(repeatEdit_, kResGradRepeatLabel);
}

void TPresetPopupForm::loadGradientControls() {
  if (!preview_) return;
  const bool was = updating_;
  updating_ = true;
  const SGradAttrView v = commands_.gradAttrs ? commands_.gradAttrs() : SGradAttrView{};
  for (size_t i = 0; i < 3; ++i) {
    attrButtons_[i]->setEnabled(v.hasGradient);
    attrButtons_[i]->setDown(static_cast<size_t>(v.repeat.Shape) == i);
  }
  attrButtons_[kGradButtonRoundTrip]->setEnabled(v.hasGradient);
  attrButtons_[kGradButtonRoundTrip]->setDown(v.repeat.Mirror != 0);
  attrButtons_[kGradButtonEndless]->setEnabled(v.hasGradient);
  attrButtons_[kGradButtonEndless]->setDown(v.repeat.Wrap != 0);
  attrButtons_[kGradButtonOwn]->setEnabled(v.ownEnabled);
  attrButtons_[kGradButtonOwn]->setDown(v.ownDown);
  repeatEdit_->setEnabled(v.hasGradient);
  repeatCount_.setValue(float(v.repeat.Count));
  shownRepeat_ = v.repeat;
  updating_ = was;
  showGradient();
}

void TPresetPopupForm::gradientControlsChanged() {
  if (updating_ || !preview_) return;
  SGradAttrControls c;
  c.own = attrButtons_[kGradButtonOwn]->isDown();
  c.shape = 3;
  for (size_t i = 0; i < 3; ++i)
    if (attrButtons_[i]->isDown()) c.shape = static_cast<int32_t>(i);
  c.roundTrip = attrButtons_[kGradButtonRoundTrip]->isDown();
  c.endless = attrButtons_[kGradButtonEndless]->isDown();
  c.count = repeatCount_.value();
  // Taken or not, the band shows what the gradient has now.
  if (commands_.gradAttrChange) (void)commands_.gradAttrChange(c);
  loadGradientControls();
  list_->redraw();
}

void TPresetPopupForm::showGradient() {
  if (!preview_ || !gradients_) return;
  const CGradObj* g = gradients_->currentItem();
  // Without the tool options' attributes the gradient's own repeat is shown.
  preview_->setGradient(g, g ? (commands_.gradAttrs ? shownRepeat_ : g->Repeat) : SGradRepeat{});
}

void TPresetPopupForm::setPreviewSize(int32_t size) {
  if (!preview_ || size < 0 || size > 3 || size == previewSize_) return;
  // The difference moves between the preview and the list; the form grows or
  // shrinks by it.
  const int32_t delta = presetPreviewHeight(size) - presetPreviewHeight(previewSize_);
  previewSize_ = size;
  const int32_t target = height() + delta;  // before the minimum moves the form
  setMinimumHeight(std::max(kMinHeight, minimumHeight() + delta));
  resize(width(), std::max(minimumHeight(), target));
  layoutParts();
  list_->redraw();
}

void TPresetPopupForm::preparePresetPopupMenu() {
  SPresetPopupContext c;
  c.kind = kind_;
  c.setFileExists = commands_.setFileExists && commands_.setFileExists();
  c.setModified = commands_.setModified && commands_.setModified();
  c.previewSupported = preview_ != nullptr;
  c.previewSize = previewSize_;
  if (auto* brushes = dynamic_cast<CPenMethodList*>(list_.get())) {
    c.showAllSupported = true;
    c.showAll = brushes->showAll();
  }
  const SPresetPopupMenuState s = presetPopupMenuState(*list_, c);
  // An item whose command the opener did not give stays disabled: no dead click.
  auto hasCommand = [this](PresetPopupItem item) {
    switch (item) {
      case PresetPopupItem::Append: return static_cast<bool>(commands_.newItem);
      case PresetPopupItem::Duplicate: return true;
      case PresetPopupItem::Delete: return static_cast<bool>(commands_.confirm);
      case PresetPopupItem::Edit: return static_cast<bool>(commands_.editItem);
      case PresetPopupItem::SetRevert: return static_cast<bool>(commands_.revert);
      case PresetPopupItem::SetAppend:
      case PresetPopupItem::SetOpen: return static_cast<bool>(commands_.open);
      case PresetPopupItem::SetSave: return static_cast<bool>(commands_.save);
    }
    return false;
  };
  for (int i = 0; i < kPresetPopupItemCount; ++i) {
    items_[i]->setText(QString::fromStdString(s.items[size_t(i)].caption));
    items_[i]->setEnabled(s.items[size_t(i)].enabled && hasCommand(static_cast<PresetPopupItem>(i)));
  }
  if (showAll_) {
    showAll_->setVisible(s.showAllVisible);
    showAll_->setChecked(s.showAllChecked);
  }
  for (int k = 0; k < 7; ++k) {
    styles_[k]->setVisible(s.styleVisible[size_t(k)]);
    styles_[k]->setChecked(s.styleChecked[size_t(k)]);
  }
  for (int k = 0; k < 4; ++k) {
    previews_[k]->setVisible(s.previewVisible);
    previews_[k]->setChecked(s.previewChecked[size_t(k)]);
  }
}

void TPresetPopupForm::runMenuItem(PresetPopupItem item) {
  const int32_t a = list_->getActiveIndex(), n = list_->getCount();
  switch (item) {
    case PresetPopupItem::Append:
      if (commands_.newItem) commands_.newItem(a);
      break;
    case PresetPopupItem::Duplicate: (void)list_->copyItem(n, a, true); break;  // a refused copy changes nothing
    case PresetPopupItem::Edit:
      if (commands_.editItem && list_->canEditItem(a)) commands_.editItem(a);
      break;
    case PresetPopupItem::Delete: {
      if (!list_->canDeleteKeepOne(a)) break;
      const std::string question = deleteQuestion(presetPopupWords(kind_).kind);
      // Checked by canDeleteKeepOne above.
      if (commands_.confirm && commands_.confirm(question)) (void)list_->deleteItem(a, true);
      break;
    }
    case PresetPopupItem::SetRevert:
      if (commands_.revert) commands_.revert();
      list_->selectItem(list_->getActiveIndex(), true);
      break;
    case PresetPopupItem::SetAppend:
    case PresetPopupItem::SetOpen:
      if (commands_.open) commands_.open(item == PresetPopupItem::SetAppend);
      list_->selectItem(list_->getActiveIndex(), true);
      break;
    case PresetPopupItem::SetSave:
      if (commands_.save) commands_.save();
      break;
  }
  list_->redraw();
}

void TPresetPopupForm::popupOpened() {
  if (prefs_.width && prefs_.height && *prefs_.width > 0 && *prefs_.height > 0)
    resize(std::max(*prefs_.width, minimumWidth()), std::max(*prefs_.height, minimumHeight()));
  layoutParts();
}

void TPresetPopupForm::doPopupClose() {
  if (prefs_.style) *prefs_.style = list_->displayStyle();
  if (prefs_.width) *prefs_.width = width();
  if (prefs_.height) *prefs_.height = height();
  if (prefs_.previewSize && preview_) *prefs_.previewSize = previewSize_;
  TPopupBaseForm::doPopupClose();
}

void TPresetPopupForm::paintEvent(QPaintEvent* e) {
  TPopupBaseForm::paintEvent(e);
  const TAppearanceManager* g = appearanceManager();
  if (g == nullptr) return;
  QPainter p(this);
  const SSize s = glyphSize();
  const TRect closeRect = presetPopupCloseGlyph(width(), s), menuRect = presetPopupMenuGlyph(width(), s);
  p.drawImage(closeRect.Left, closeRect.Top, graphicImageConst(g->glyph(kGlyphClose, hoverClose_ ? gsActive : gsNone)));
  p.drawImage(menuRect.Left, menuRect.Top, graphicImageConst(g->glyph(kGlyphMenu, hoverMenu_ ? gsActive : gsNone)));
}

void TPresetPopupForm::resizeEvent(QResizeEvent* e) {
  TPopupBaseForm::resizeEvent(e);
  layoutParts();
}

void TPresetPopupForm::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const QPoint pt = e->position().toPoint();
  const SSize s = glyphSize();
  close_.press(qrect(presetPopupCloseGlyph(width(), s)).contains(pt));
  const QRect menuRect = qrect(presetPopupMenuGlyph(width(), s));
  if (menuRect.contains(pt)) {
    hoverMenu_ = false;
    update();
    PresetPopupMenu->popup(mapToGlobal(menuRect.bottomLeft()));
  }
}

void TPresetPopupForm::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  const SSize s = glyphSize();
  const bool c = qrect(presetPopupCloseGlyph(width(), s)).contains(pt);
  const bool m = qrect(presetPopupMenuGlyph(width(), s)).contains(pt);
  if (c != hoverClose_ || m != hoverMenu_) {
    hoverClose_ = c;
    hoverMenu_ = m;
    update();
  }
}

void TPresetPopupForm::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (close_.release(qrect(presetPopupCloseGlyph(width(), glyphSize())).contains(e->position().toPoint()))) {
    setResult(1);
    closePopup();
  }
}

void TPresetPopupForm::wheelEvent(QWheelEvent* e) {
  if (!list_->wheel(e->angleDelta().y())) e->ignore();
}

// ---- openers ---------------------------------------------------------------------

TPresetPopupForm* openPenMethodPopup(QWidget* owner, CPenMethodMngr& set, SPresetPopupCommands commands,
                                     SPresetPopupPrefs prefs) {
  if (set.count() == 0) return nullptr;
  auto* form = new TPresetPopupForm(owner, PresetPopupKind::PenMethod, editorPenMethodList(set),
                                    kListSmallRows, std::move(commands), prefs);
  form->setMinimumHeight(form->minimumHeight());
  form->resize(form->width(), form->minimumHeight() + 96);
  return form;
}

TPresetPopupForm* openPenNibPopup(QWidget* owner, CPenShapeMngr& set, int32_t index, SPresetPopupCommands commands,
                                  SPresetPopupPrefs prefs) {
  auto list = editorPenNibList(set);
  if (list->isValidIndex(index)) list->selectItem(index, false);
  return new TPresetPopupForm(owner, PresetPopupKind::PenNib, std::move(list), kListIcons, std::move(commands), prefs);
}

TPresetPopupForm* openGradientPopup(QWidget* owner, CGradMngr& set, SPresetPopupCommands commands, SPresetPopupPrefs prefs) {
  auto* form = new TPresetPopupForm(owner, PresetPopupKind::Gradient, editorGradientList(set),
                                    kListIcons, std::move(commands), prefs);
  form->enablePreview(set);
  return form;
}

TPresetPopupForm* openListPopup(QWidget* owner, CItemList& list,
                                const std::function<SPresetPopupSetup(PresetPopupKind)>& setup) {
  if (!list.canOpenPopup()) return nullptr;
  auto kindSetup = [&setup](PresetPopupKind kind) { return setup ? setup(kind) : SPresetPopupSetup{}; };
  if (auto* brushes = dynamic_cast<CPenMethodList*>(&list); brushes && brushes->manager()) {
    SPresetPopupSetup s = kindSetup(PresetPopupKind::PenMethod);
    return openPenMethodPopup(owner, *brushes->manager(), std::move(s.commands), s.prefs);
  }
  if (auto* nibs = dynamic_cast<CPenNibList*>(&list); nibs && nibs->manager()) {
    SPresetPopupSetup s = kindSetup(PresetPopupKind::PenNib);
    return openPenNibPopup(owner, *nibs->manager(), nibs->manager()->currentIndex(), std::move(s.commands), s.prefs);
  }
  if (auto* gradients = dynamic_cast<CGradientList*>(&list); gradients && gradients->manager()) {
    SPresetPopupSetup s = kindSetup(PresetPopupKind::Gradient);
    return openGradientPopup(owner, *gradients->manager(), std::move(s.commands), s.prefs);
  }
  return nullptr;
}

}  // namespace pg
