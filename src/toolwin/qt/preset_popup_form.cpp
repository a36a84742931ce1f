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
#include "ui/qt/graphic_image.h"
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
  openedIndex_ = list_->getActiveIndex();

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
}

SSize TPresetPopupForm::glyphSize() const {
  const TAppearanceManager* g = appearanceManager();
  if (g == nullptr) return SSize{11, 11};
  const TMemoryGraphic& img = g->glyph(kGlyphMenu, 0);
  return SSize{img.width(), img.height()};
}

void TPresetPopupForm::layoutParts() {
  const int32_t column = glyphSize().W + 4;
  const int32_t band = preview_ && previewSize_ > 0 ? presetPreviewHeight(previewSize_) + 4 : 0;
  if (view_) view_->setGeometry(0, 0, std::max(1, width() - column), std::max(1, height() - band));
  if (preview_) {
    preview_->setVisible(previewSize_ > 0);
    preview_->setGeometry(0, height() - band + 2, std::max(1, width() - column), std::max(1, band - 4));
  }
}

void TPresetPopupForm::enablePreview(CGradMngr& set) {
  gradients_ = &set;
  preview_ = new TGradientPreview(this);
  if (prefs_.previewSize && *prefs_.previewSize >= 0 && *prefs_.previewSize <= 3) previewSize_ = *prefs_.previewSize;
  setMinimumHeight(kMinHeight + std::max(0, presetPreviewHeight(previewSize_) + 4));
  resize(width(), minimumHeight());
  for (QAction* a : previews_) a->setVisible(true);
  auto chained = list_->OnChange;
  list_->OnChange = [this, chained] {
    if (chained) chained();
    showGradient();
  };
  showGradient();
  layoutParts();
}

void TPresetPopupForm::showGradient() {
  if (!preview_ || !gradients_) return;
  const CGradObj* g = gradients_->currentItem();
  preview_->setGradient(g, g ? g->Repeat : SGradRepeat{});
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
    case PresetPopupItem::Duplicate: (void)list_->copyItem(n, a, true); break;
    case PresetPopupItem::Edit:
      if (commands_.editItem && list_->canEditItem(a)) commands_.editItem(a);
      break;
    case PresetPopupItem::Delete: {
      if (!list_->canDeleteKeepOne(a)) break;
      const std::string question = deleteQuestion(presetPopupWords(kind_).kind);
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
