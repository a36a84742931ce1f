#include "toolwin/qt/tool_form.h"

#include "core/colour.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "canvas/qt/draw_window_widget.h"
#include "core/lookup_mask.h"
#include "platform/qt/qt_desktop.h"
#include "canvas/draw_window.h"
#include "document/paper.h"
#include "platform/string_table.h"
#include "platform/message_service.h"
#include "io/qt/file_dialog.h"
#include "toolwin/qt/colour_panel_view.h"
#include "io/gradient_file.h"
#include "toolwin/qt/gradient_editor_form.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/panel_menu_builder.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_colour_cell.h"
#include "toolwin/qt/tool_glyph_painter.h"
#include "toolwin/qt/tool_options_panel.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

// The hints of the swatch panel's two buttons.
constexpr uint32_t kResNewSwatchHint = 69370, kResDeleteSwatchHint = 69371;

constexpr int kClientWidth = 56;
constexpr int kClientHeight = 294;
const QRect kColourCellRect(9, 190, 40, 40);
const QRect kOpacityEditRect(3, 236, 37, 16);
const QRect kOpacityUnitRect(41, 238, 15, 14);
const QRect kGradientListRect(1, 260, 54, 32);

QRect boundsOf(const SToolButtonDef& d) { return QRect(d.left, d.top, d.right - d.left, d.bottom - d.top); }

QString hintOf(const SToolButtonDef& d) { return QString::fromStdString(resString(d.hintId)); }

}  // namespace

int32_t toolShortcutKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_BracketLeft: return kVkBracketLeft;
    case Qt::Key_BracketRight: return kVkBracketRight;
    case Qt::Key_Backtab: return virtualKeyOf(Qt::Key_Tab);
    default: return virtualKeyOf(qtKey);
  }
}

namespace {
// The tool window whose cursors the document windows show.
TToolForm* gCursorOwner = nullptr;
}  // namespace

uint32_t toolShortcutShiftOf(Qt::KeyboardModifiers modifiers) {
  uint32_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShortcutShift;
  if (modifiers & Qt::AltModifier) shift |= kShortcutAlt;
  if (modifiers & Qt::ControlModifier) shift |= kShortcutCtrl;
  return shift;
}

TToolForm::TToolForm(QWidget* parent) : QWidget(parent) {
  ensureToolGlyphs();
  setFixedSize(kClientWidth, kClientHeight);
  buildButtons();

  colourCell_ = new TToolColourCell(model_, this);
  colourCell_->setGeometry(kColourCellRect);

  opacityEdit_ = new QSpinBox(this);
  opacityEdit_->setGeometry(kOpacityEditRect);
  opacityEdit_->setRange(1, 100);
  opacityEdit_->setButtonSymbols(QAbstractSpinBox::NoButtons);
  opacityEdit_->setAlignment(Qt::AlignRight);
  opacityUnit_ = new QLabel(QStringLiteral("%"), this);
  opacityUnit_->setGeometry(kOpacityUnitRect);
  connect(opacityEdit_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) model_.setToolOpacity(static_cast<float>(value));
  });

  // Built-in sets until the main window loads the stored ones.
  brushes_.addMissingKinds();
  nibs_.addDefaults();
  gradients_.addBuiltins();
  gradients_.select(0);
  brushes_.setModified(false);
  nibs_.setModified(false);
  gradients_.setModified(false);
  toolOptions_.bind(&brushes_, nullptr, &penSettings_);
  // The tool window's gradient list edits on a double click whatever the
  // options' preference says.
  toolOptions_.toolGradientList().setOptions(kListKeepActive | kListDoubleClickEdit);
  toolOptions_.toolGradientList().setDisplayStyle(kListCompactButton);
  toolOptions_.bindGradients(&gradients_);
  presetSets_.OnPushStrokeParams = [this] { model_.pushStrokeParams(); };
  gradientView_ = new TItemListView(toolOptions_.toolGradientList(), this);
  gradientView_->setMinimumSize(1, 1);
  gradientView_->setGeometry(kGradientListRect);
  // Laid out now: the list answers hit tests before the window is first shown.
  toolOptions_.toolGradientList().setBounds(kGradientListRect.width(), kGradientListRect.height());
  optionsPanel_ = new TToolOptionsPanel(model_, toolOptions_);
  optionsPanel_->setNibSet(&nibs_);
  buildPanels();
  buildSwatchButtons();
  buildBrushSetPanel();
  wirePresetLists();
  buildListMenus();
  bindValueLabels();
  model_.setView(this);
  wireShortcutLists();
  // Every document window shows the cursors this window chooses.
  gCursorOwner = this;
  TDrawWindowWidget::setCursorFactory(
      [this](const SCursorChoice& c, float brushRadius) { return cursors_.cursorFor(c, brushRadius); });
  toolWindowChanged(~0u);
  previousLink_ = setToolWindowLink(this);
}

void TToolForm::wireShortcutLists() {
  // E and R: the option panel's brush list when it is shown, else its
  // gradient list when that is.
  model_.OnStepBrushList = [this](int32_t step) {
    // Past either end selects nothing.
    const auto stepIn = [step](CItemList& list) { (void)list.selectItem(list.getActiveIndex() + step, true); };
    if (optionsPanel_->brushList() != nullptr && optionsPanel_->brushList()->isVisible())
      stepIn(toolOptions_.brushList());
    else if (optionsPanel_->gradientList() != nullptr && optionsPanel_->gradientList()->isVisible())
      stepIn(toolOptions_.gradientList());
  };
  // False: nothing changed.
  model_.OnNibScale = [this](float percent) { (void)toolOptions_.paramChange(kFieldNibScale, percent); };
  model_.OnLayerKey = [this](CToolWindowModel::LayerKey key) {
    if (!layerPanel_ || layerPanel_->layers().paper() == nullptr) return;  // no document: the key is used all the same
    CLayerList& list = layerPanel_->layers();
    const int32_t active = list.getActiveIndex();
    switch (key) {
      case CToolWindowModel::LayerKey::MoveUp:
        (void)list.moveItemTo(active + list.groupSize(active), active, true);  // the top layer stays where it is
        break;
      case CToolWindowModel::LayerKey::MoveDown:
        (void)list.moveItemTo(std::max(active - 1, 0), active, true);  // the bottom layer stays where it is
        break;
      case CToolWindowModel::LayerKey::NextVisibleAbove:
        (void)list.selectNextVisible();  // none above: the selection stays
        break;
      case CToolWindowModel::LayerKey::NextVisibleBelow:
        (void)list.selectPrevVisible();  // none below: the selection stays
        break;
    }
  };
}

TToolForm::~TToolForm() {
  if (gCursorOwner == this) {
    gCursorOwner = nullptr;
    TDrawWindowWidget::setCursorFactory({});
  }
  setToolWindowLink(previousLink_);
  model_.setView(nullptr);
  // The gradient list's view goes before the list it shows (a member).
  delete gradientView_;
  gradientView_ = nullptr;
  delete grabber_.data();
  delete optionsPanel_.data();
  delete swatchPanel_.data();
  delete brushSetPanel_.data();
  delete infoPanel_.data();
  delete navigatorPanel_.data();
  delete colourPanel_.data();
  delete layerPanel_.data();
}

void TToolForm::buildPanels() {
  layerPanel_ = new TLayerPanelView();
  colourPanel_ = new TColourPanelView(model_);
  navigatorPanel_ = new TNavigatorPanelView();
  infoPanel_ = new TInfoPanelView();
  swatches_.setOptions(kListKeepActive | kListAddByClick | kListDeleteCtrl | kListDraggable);
  swatches_.setAcceptBits(1);
  auto colours = std::make_unique<TSwatchMngr>();
  colours->addDefaultColors();
  colours->setModified(false);
  swatches_.bind(std::move(colours));
  swatches_.OnCurrentColor = [this] { return model_.activeColor(); };
  swatches_.OnChange = [this] {
    int32_t i = swatches_.getActiveIndex();
    if (swatches_.isValidIndex(i) && !model_.replayDisplay()) model_.setActiveColor(0xFF000000u | swatches_.colorAt(i));
  };
  swatchPanel_ = new TItemListView(swatches_);
  // The grabber and the navigator show each other's changes.
  navigatorPanel_->OnGrabberShow = [this](float scale, float degrees) {
    if (!grabber_) return;
    grabber_->setScale(scale);
    grabber_->setRotation(degrees);
  };
  makeGrabber();
  // The panels follow the document at the pace of the main window's panel
  // refresh; the pointer's colour a little faster.
  panelTimer_ = new QTimer(this);
  panelTimer_->setInterval(100);
  connect(panelTimer_, &QTimer::timeout, this, [this] { refreshPanels(); });
  panelTimer_->start();
}

QWidget* TToolForm::maskPanel() const { return layerPanel_ ? layerPanel_->maskPanel() : nullptr; }

void TToolForm::setDocWindow(IToolTarget* window) {
  model_.setDocWindow(window);
  bindPanels();
}

void TToolForm::releaseDocWindow(IToolTarget* window) {
  model_.releaseDocWindow(window);
  bindPanels();
}

void TToolForm::bindPanels() {
  IToolTarget* target = model_.docWindow();
  TDrawWindow* w = target ? target->drawWindow() : nullptr;
  if (w && !w->paper().isReady()) w = nullptr;
  if (layerPanel_) {
    layerPanel_->panel().setReplayDisplay(model_.replayDisplay());
    layerPanel_->bind(w);
  }
  if (navigatorPanel_) navigatorPanel_->bind(w);
  if (infoPanel_) infoPanel_->updateInfo(w, 0, 0, 0);
  // The move button follows the cursor-key move mode of the window.
  if (optionsPanel_) optionsPanel_->refresh();
  lastPointer_ = QPoint(-1, -1);
  updateGrabber();
}

void TToolForm::setGrabberHost(QWidget* host) {
  grabberHost_ = host;
  updateGrabber();
}

void TToolForm::setViewPreferences(bool useGrabCtrl, bool forceDispParam) {
  useGrabCtrl_ = useGrabCtrl;
  if (navigatorPanel_) navigatorPanel_->setForceDispParam(forceDispParam);
  forceDispParam_ = forceDispParam;
  if (grabber_) grabber_->SwapAdjustKey = forceDispParam;
  updateGrabber();
}

void TToolForm::makeGrabber() {
  grabber_ = new TViewGrabber();
  grabber_->hide();
  grabber_->SwapAdjustKey = forceDispParam_;
  if (navigatorPanel_) {
    grabber_->setScale(navigatorPanel_->model().grabberScale());
    grabber_->setRotation(navigatorPanel_->model().grabberRotation());
  }
  grabber_->OnChange = [this] {
    if (grabber_ && navigatorPanel_) navigatorPanel_->model().grabberChange(grabber_->scale(), grabber_->rotation());
  };
}

void TToolForm::updateGrabber() {
  // A window that went without handing the grabber back took it along.
  if (!grabber_) makeGrabber();
  IToolTarget* target = model_.docWindow();
  bool haveWindow = target != nullptr && target->drawWindow() != nullptr && grabberHost_ != nullptr;
  placeViewGrabber(*grabber_, grabberHost_,
                   viewGrabberShown(useGrabCtrl_, model_.toolMode(), model_.replayDisplay(), haveWindow));
}

bool TToolForm::resetGrabberScale() {
  if (!grabber_ || !grabber_->isVisible()) return false;
  grabber_->setScale(1.0f);
  return true;
}

void TToolForm::refreshPanels() {
  TDrawWindow* w = layerPanel_ ? layerPanel_->layers().window() : nullptr;
  if (!w) return;
  if (navigatorPanel_ && navigatorPanel_->isVisible()) {
    navigatorPanel_->windowViewChanged();
    // The picture at most every half second.
    if (++panelTicks_ % 5 == 0) navigatorPanel_->updateImage();
  }
  TPoint p = w->pointerPosition();
  if (navigatorPanel_ && navigatorPanel_->isVisible()) navigatorPanel_->updateLoupe(p);
  if (infoPanel_ && QPoint(p.X, p.Y) != lastPointer_) {
    lastPointer_ = QPoint(p.X, p.Y);
    infoPanel_->updateInfo(w, 1, static_cast<float>(p.X), static_cast<float>(p.Y));
  }
}

int32_t TToolForm::layerThumbHeight() const {
  return layerPanel_ ? layerPanel_->layers().thumbHeight() : kDefaultThumbEdge;
}

int32_t TToolForm::maskThumbHeight() const {
  return layerPanel_ ? layerPanel_->masks().getThumbSize(0).H : kDefaultThumbEdge;
}

void TToolForm::updateLayerPanel() {
  if (layerPanel_) layerPanel_->panel().updateLayerPanel();
}

void TToolForm::updateMaskPanel() {
  if (layerPanel_) layerPanel_->panel().updateMaskPanel();
}

void TToolForm::refreshLayerList() {
  if (layerPanel_) layerPanel_->layers().redraw();
}

void TToolForm::refreshMaskList() {
  if (layerPanel_) layerPanel_->masks().redraw();
}

void TToolForm::buildButtons() {
  for (int b = 0; b < kToolButtonCount; ++b) {
    const SToolButtonDef& def = toolButtonDef(b);
    auto* button = new TToolButton(b, this);
    button->setGeometry(boundsOf(def));
    button->setToolTip(hintOf(def));
    if (!def.menu.empty()) button->setVariantMenu(buildVariantMenu(b));
    connect(button, &TToolButton::clicked, this,
            [this](int index, bool alt) { model_.buttonClicked(index, alt, false); });
    connect(button, &TToolButton::doubleClicked, this, [this](int index) {
      if (model_.docWindow() != nullptr) toolButtonDoubleClicked(index, buttonPrefs_, viewCommands_);
    });
    buttons_[b] = button;
  }
}

QMenu* TToolForm::buildVariantMenu(int button) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QString::fromLatin1(toolButtonDef(button).menu.data(), toolButtonDef(button).menu.size()));
  std::array<ToolMode, 5> modes{};
  int count = modesOfButton(button, modes);
  for (int i = 0; i < count; ++i) {
    const SToolModeDef* def = toolModeDef(modes[i]);
    // The mode's name from the string tables, so that the language module
    // names it too.
    std::string caption;
    (void)modeDisplayName(modes[i], caption);  // every mode of the table has a name
    QAction* item = menu->addAction(QString::fromStdString(caption));
    item->setObjectName(QString::fromLatin1(def->menuItem.data(), def->menuItem.size()));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, item] { model_.menuClicked(item->objectName().toStdString()); });
  }
  // The item of the current mode is checked each time the menu opens.
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    for (QAction* item : menu->actions()) {
      ToolMode m;
      bool known = modeOfMenuItem(item->objectName().toStdString(), m);
      item->setChecked(known && m == model_.toolMode());
      item->setEnabled(known && model_.modeAvailable(m));
    }
  });
  return menu;
}

void TToolForm::applyPreferences(const SCursorPrefs& prefs) {
  valueLabels_.enableAll();
  cursors_.applyPreferences(prefs);
  refreshDocCursor();
}

void TToolForm::refreshDocCursor() {
  if (IToolTarget* target = model_.docWindow()) target->updateCursorAtPointer();
}

TToolButton* TToolForm::toolButton(int index) const {
  int i = index & kByteLookupMask;
  return i < kToolButtonCount ? buttons_[i] : nullptr;
}

bool TToolForm::isVariantMenuOpen(int button) const {
  TToolButton* b = toolButton(button);
  return b && b->variantMenuOpen();
}

bool TToolForm::handleShortcutKey(const QKeyEvent& event) {
  int32_t vk = toolShortcutKeyOf(event.key());
  if (vk == 0) return false;
  return model_.handleShortcutKey(vk, toolShortcutShiftOf(event.modifiers()));
}

void TToolForm::toolWindowChanged(uint32_t parts) {
  refreshing_ = true;
  if (parts & kToolViewButtons) {
    for (int b = 0; b < kToolButtonCount; ++b) {
      buttons_[b]->setGlyph(model_.buttonGlyph(b));
      buttons_[b]->setDown(b == model_.currentButton());
      buttons_[b]->setEnabled(model_.buttonEnabled(b));
    }
  }
  if (parts & (kToolViewOpacity | kToolViewButtons)) {
    opacityEdit_->setValue(static_cast<int>(std::lround(model_.toolOpacity())));
    bool editable = model_.opacityApplies() && !model_.replayDisplay();
    opacityEdit_->setEnabled(editable);
    opacityUnit_->setEnabled(editable);
  }
  if (parts & kToolViewColours) {
    colourCell_->update();
    // The gradients' colour markers take the colour pair (red low there).
    toolOptions_.gradientList().setColors(pixelToColor(model_.fgColor()), pixelToColor(model_.bgColor()));
    toolOptions_.toolGradientList().redraw();
  }
  // The replay display comes and goes with the buttons.
  if ((parts & (kToolViewColours | kToolViewButtons)) && colourPanel_) colourPanel_->refresh();
  if ((parts & kToolViewButtons) && layerPanel_) layerPanel_->panel().setReplayDisplay(model_.replayDisplay());
  if (parts & kToolViewButtons) updateGrabber();
  if ((parts & kToolViewButtons) && model_.toolMode() != optionsMode_) {
    optionsMode_ = model_.toolMode();
    toolOptions_.followMode();
  }
  if (optionsPanel_) optionsPanel_->refresh();
  // The brush outline follows the size once the stroke has taken it.
  if (parts & kToolViewSize) QMetaObject::invokeMethod(this, [this] { refreshDocCursor(); }, Qt::QueuedConnection);
  refreshing_ = false;
}

TToolForm* createToolWindow(QWidget* mainForm) {
  auto* form = new TToolForm(mainForm);
  form->model().finishCreation();
  return form;
}

void destroyToolWindow(TToolForm*& form) {
  delete form;
  form = nullptr;
}

void TToolForm::bindPanelMenus(std::function<QAction*(std::string_view name)> action, std::function<void()> refresh) {
  if (layerPanel_) layerPanel_->bindPanelMenus(std::move(action), std::move(refresh));
}

void TToolForm::addPresetSet(SPresetSetEntry set) {
  auto at = std::find_if(exitQuerySets_.begin(), exitQuerySets_.end(),
                         [&](const SPresetSetEntry& e) { return int32_t(e.kind) > int32_t(set.kind); });
  exitQuerySets_.insert(at, std::move(set));
}

bool TToolForm::querySavePresets(int32_t mode, SPresetExitQuery query) {
  query.mode = mode;
  if (!query.fileExists)
    query.fileExists = [](const std::string& path) {
      std::error_code ec;
      return std::filesystem::is_regular_file(path, ec);
    };
  if (!query.ask)
    query.ask = [](const std::string& question) {
      switch (askYesNoCancel(question)) {
        case kMrYes: return SaveAnswer::Yes;
        case kMrNo: return SaveAnswer::No;
        default: return SaveAnswer::Cancel;
      }
    };
  if (!query.chooseSavePath)
    query.chooseSavePath = [this](PresetSetKind kind, const std::string& path) {
      // The save dialogs of the four sets have the kinds' own numbers.
      SFileDialogRequest request;
      request.kind = int32_t(kind);
      const std::filesystem::path p(path);
      request.folder = p.parent_path().string();
      request.initialName = p.filename().string();
      return executeFileDialog(window(), request) ? request.fileName : std::string();
    };
  return pg::querySavePresets(exitQuerySets_, query);
}

void TToolForm::buildSwatchButtons() {
  // The list goes into a panel of its own with the two buttons under it.
  swatchView_ = static_cast<TItemListView*>(swatchPanel_.data());
  swatchPanel_ = new QWidget();
  swatchPanel_->setObjectName(QStringLiteral("SwatchPanel"));
  auto* swatchColumn = new QVBoxLayout(swatchPanel_);
  swatchColumn->setContentsMargins(0, 0, 0, 0);
  swatchColumn->setSpacing(1);
  swatchView_->setParent(swatchPanel_);
  swatchColumn->addWidget(swatchView_, 1);
  auto* swatchButtons = new QHBoxLayout;
  swatchButtons->addStretch(1);
  swatchNew_ = new QToolButton(swatchPanel_);
  swatchNew_->setObjectName(QStringLiteral("FBtnSwtNew"));
  swatchNew_->setText(QStringLiteral("+"));
  swatchNew_->setToolTip(resText(kResNewSwatchHint));
  swatchNew_->setAutoRaise(true);
  swatchDelete_ = new QToolButton(swatchPanel_);
  swatchDelete_->setObjectName(QStringLiteral("FBtnSwtDel"));
  swatchDelete_->setText(QStringLiteral("−"));
  swatchDelete_->setToolTip(resText(kResDeleteSwatchHint));
  swatchDelete_->setAutoRaise(true);
  swatchDelete_->setEnabled(false);
  swatchButtons->addWidget(swatchNew_);
  swatchButtons->addWidget(swatchDelete_);
  swatchColumn->addLayout(swatchButtons);
  SPresetSetEntry swatchSet;
  swatchSet.kind = PresetSetKind::Swatches;
  swatchSet.word = resString(65035);
  swatchSet.modified = [this] { return swatches_.manager().modified(); };
  swatchSet.path = [this] { return swatches_.manager().fileName(); };
  swatchSet.save = [this](const std::string& path) { return swatches_.manager().saveToFile(path); };
  addPresetSet(std::move(swatchSet));
  connect(swatchNew_, &QToolButton::clicked, this, [this] { swatches_.addNewColor(); });
  swatchView_->OnDragStart = [this] { swatchDelete_->setEnabled(swatches_.acceptsDeleteDrop(&swatches_)); };
  swatchView_->OnDragEnd = [this] { swatchDelete_->setEnabled(false); };
  swatchView_->OnDropOutside = [this](QPoint global) {
    auto over = [global](QWidget* w) { return w->isVisible() && w->rect().contains(w->mapFromGlobal(global)); };
    if (over(swatchNew_)) return swatches_.newFromDrop(&swatches_);
    if (over(swatchDelete_)) return swatches_.deleteFromDrop(&swatches_);
    return false;
  };
}

}  // namespace pg

namespace pg {

// ---- the preset sets and their editors ---------------------------------------------

void TToolForm::setPresetPreferences(IPresetPrefs* prefs, const SPresetEditorPrefs& editorPrefs) {
  presetPrefs_ = prefs;
  editorPrefs_ = editorPrefs;
  presetSets_.setPreferences(prefs);
  presetSets_.setFileDialog(presetFileDialogOf(window()));
  setOptionListDoubleClick(editorPrefs.optionListDoubleClick && *editorPrefs.optionListDoubleClick);
}

void TToolForm::loadPresetSets() {
  // A default load that finds no file adds the built-in presets to what the
  // set holds: it starts empty, so they are not there twice.
  brushes_.clear();
  nibs_.clear();
  gradients_.clearAll();
  swatches_.manager().clear();
  presetSets_.loadDefaultSets();
  if (!brushes_.isValidIndex(brushes_.currentIndex())) brushes_.setCurrentIndex(0);
  if (!nibs_.isValidIndex(nibs_.currentIndex())) nibs_.select(0);
  // What start-up loads (or builds when nothing loads) is no change of the user's.
  brushes_.setModified(false);
  nibs_.setModified(false);
  gradients_.setModified(false);
  swatches_.manager().setModified(false);
  brushesReloaded();
  loadedFiles_ = currentPresetFiles();
  // Asked about at exit only from now on: before, the sets were the
  // built-in ones and nothing would load a saved one again.
  if (exitQuerySets_.size() > 1) return;
  auto entry = [](PresetSetKind kind, uint32_t wordId, auto& set) {
    SPresetSetEntry e;
    e.kind = kind;
    e.word = resString(wordId);
    e.modified = [&set] { return set.modified(); };
    e.path = [&set] { return set.fileName(); };
    return e;
  };
  SPresetSetEntry brushes = entry(PresetSetKind::Brushes, kResPenMethodSetWord, brushes_);
  brushes.save = [this](const std::string& path) { return brushes_.saveToFile(path); };
  SPresetSetEntry nibs = entry(PresetSetKind::Nibs, kResPenShapeSetWord, nibs_);
  nibs.save = [this](const std::string& path) { return nibs_.saveToFile(path); };
  SPresetSetEntry gradients = entry(PresetSetKind::Gradients, kResGradientSetWord, gradients_);
  gradients.save = [this](const std::string& path) { return gradMngrSaveToFile(gradients_, path); };
  addPresetSet(std::move(brushes));
  addPresetSet(std::move(nibs));
  addPresetSet(std::move(gradients));
}

std::array<std::string, 4> TToolForm::currentPresetFiles() {
  return {gradients_.fileName(), nibs_.fileName(), brushes_.fileName(), swatches_.manager().fileName()};
}

void TToolForm::storePresetFiles() {
  if (!presetPrefs_) return;
  // Only a set whose file changed in this session (loaded or saved under
  // another name) replaces the preference: a file chosen in the preference
  // dialog meanwhile stays for the next start.
  const std::array<std::string, 4> now = currentPresetFiles();
  for (PresetSet set : {PresetSet::Gradients, PresetSet::PenShapes, PresetSet::PenMethods, PresetSet::Palette}) {
    const std::string& path = now[size_t(set)];
    if (path == loadedFiles_[size_t(set)]) continue;
    presetPrefs_->setPresetFile(set, path);
    if (!path.empty()) presetPrefs_->setPresetFolder(set, presetFolderOf(path));
  }
}

void TToolForm::brushesReloaded() {
  // The brush list shows the set again from its current brush; a set
  // replaced under it may hold other brushes at the remembered places.
  toolOptions_.followMode();
  toolOptions_.brushList().redraw();
  toolOptions_.brushSetList().redraw();
}

SPresetEditorContext TToolForm::editorContext(int32_t* listStyle) const {
  SPresetEditorContext c;
  c.parent = window();
  c.fileDialog = presetFileDialogOf(window());
  c.listStyle = listStyle;
  return c;
}

bool TToolForm::editBrush(int32_t index) {
  return editPenMethod(brushes_, nibs_, index, editorContext(editorPrefs_.brushListStyle));
}

bool TToolForm::newBrush() { return newPenMethod(brushes_, nibs_, editorContext(editorPrefs_.brushListStyle)); }

bool TToolForm::editNib(int32_t index) {
  return editPenNib(brushes_, nibs_, index, editorContext(editorPrefs_.nibListStyle));
}

bool TToolForm::newNib() { return newPenNib(brushes_, nibs_, editorContext(editorPrefs_.nibListStyle)); }

bool TToolForm::editGradient(int32_t index) {
  const bool applied = pg::editGradient(gradients_, index, editorContext(editorPrefs_.gradientListStyle),
                                        {model_.fgColor(), model_.bgColor()});
  if (applied) model_.pushStrokeParams();
  return applied;
}

bool TToolForm::newGradient() {
  const bool made =
      pg::newGradient(gradients_, editorContext(editorPrefs_.gradientListStyle), {model_.fgColor(), model_.bgColor()});
  if (made) model_.pushStrokeParams();
  return made;
}

void TToolForm::setOptionListDoubleClick(bool on) {
  if (editorPrefs_.optionListDoubleClick) *editorPrefs_.optionListDoubleClick = on;
  // One preference for both lists of the options: a double click edits the
  // brush or the gradient under it.
  for (CItemList* list : {static_cast<CItemList*>(&toolOptions_.brushList()),
                          static_cast<CItemList*>(&toolOptions_.gradientList()),
                          static_cast<CItemList*>(&toolOptions_.gradientDropList())}) {
    const uint16_t options = list->options();
    list->setOptions(on ? uint16_t(options | kListDoubleClickEdit) : uint16_t(options & ~kListDoubleClickEdit));
  }
}

SPanelMenuContext TToolForm::optionMenuContext() {
  SPanelMenuContext c;
  c.list = &brushListMenu_;
  c.set = &brushSetMenu_;
  c.doubleClickEdits = toolOptions_.brushList().options() & kListDoubleClickEdit;
  c.confirm = [](const std::string& question) { return askConfirm(question, MessageButtons::YesNo) == kMrYes; };
  c.setDoubleClickEdits = [this](bool on) { setOptionListDoubleClick(on); };
  return c;
}

void TToolForm::wirePresetLists() {
  CPenMethodList& list = toolOptions_.brushList();
  // A cancelled editor changes nothing.
  list.OnEditItem = [this, &list](int32_t i) { (void)editBrush(list.managerIndexOf(i)); };
  list.OnNewItem = [this] { (void)newBrush(); };  // a cancelled editor adds nothing
  // The gradient list's items are the set's own indices.
  for (CGradientList* gradients :
       {&toolOptions_.gradientList(), &toolOptions_.gradientDropList(), &toolOptions_.toolGradientList()}) {
    gradients->OnEditItem = [this](int32_t i) { (void)editGradient(i); };  // a cancelled editor changes nothing
    gradients->OnNewItem = [this] { (void)newGradient(); };  // a cancelled editor adds nothing
  }
  // The arrow column drops the gradient pop-up down below the list.
  gradientView_->OnOpenPopup = [this]() -> TItemListView::SListPopup {
    if (model_.replayDisplay()) return {};
    TPresetPopupForm* popup = openListPopup(gradientView_, gradientView_->list(),
                                            [this](PresetPopupKind kind) { return popupSetup(kind); });
    return {popup, popup ? &popup->list() : nullptr};
  };
  if (!optionsPanel_ || !optionsPanel_->brushList()) return;
  optionsPanel_->setPopupSetup([this](PresetPopupKind kind) { return popupSetup(kind); });
  optionMenu_ = buildPanelMenu(optionsPanel_->brushList(), PanelMenu::Option, [this] { return optionMenuContext(); });
  optionMenu_->setObjectName(QStringLiteral("PopOption"));
  // The menu belongs to the brushes; the variants of the other tools have none.
  optionsPanel_->brushList()->OnContextItem = [this](int32_t, QPoint global) {
    if (toolOptions_.brushList().sourceKind() == CPenMethodList::kSourcePenMethods) optionMenu_->popup(global);
  };
}

SPresetPopupSetup TToolForm::popupSetup(PresetPopupKind kind) {
  // The pop-up's list shows the set itself: its indices are the set's own.
  struct SKind {
    PresetSet set;
    std::function<std::string()> path;
    std::function<bool()> modified;
    std::function<void()> afterLoad;
  };
  SPresetPopupSetup s;
  SKind k;
  switch (kind) {
    case PresetPopupKind::PenMethod:
      k = {PresetSet::PenMethods, [this] { return brushes_.fileName(); }, [this] { return brushes_.modified(); },
           [this] { brushesReloaded(); }};
      s.commands.newItem = [this](int32_t) { (void)newBrush(); };  // a cancelled editor adds nothing
      s.commands.editItem = [this](int32_t i) { (void)editBrush(i); };  // a cancelled editor changes nothing
      s.prefs = popupPrefs_.brushes;
      break;
    case PresetPopupKind::PenNib:
      k = {PresetSet::PenShapes, [this] { return nibs_.fileName(); }, [this] { return nibs_.modified(); }, {}};
      s.commands.newItem = [this](int32_t) { (void)newNib(); };  // a cancelled editor adds nothing
      s.commands.editItem = [this](int32_t i) { (void)editNib(i); };  // a cancelled editor changes nothing
      s.prefs = popupPrefs_.nibs;
      break;
    case PresetPopupKind::Gradient:
      k = {PresetSet::Gradients, [this] { return gradients_.fileName(); }, [this] { return gradients_.modified(); },
           {}};
      s.commands.newItem = [this](int32_t) { (void)newGradient(); };  // a cancelled editor adds nothing
      s.commands.editItem = [this](int32_t i) { (void)editGradient(i); };  // a cancelled editor changes nothing
      // The band under the list shows and sets what the options panel does.
      s.commands.gradAttrs = [this] { return toolOptions_.gradAttrs(); };
      s.commands.gradAttrChange = [this](const SGradAttrControls& c) { return toolOptions_.gradAttrChange(c); };
      s.prefs = popupPrefs_.gradients;
      break;
    default: return s;
  }
  s.commands.confirm = [](const std::string& question) { return askConfirm(question, MessageButtons::YesNo) == kMrYes; };
  s.commands.setModified = k.modified;
  s.commands.setFileExists = [path = k.path] {
    std::error_code error;
    const std::string p = path();
    return !p.empty() && std::filesystem::is_regular_file(p, error);
  };
  // The set commands run as the panel menus run them, each with its refresh.
  auto menu = [this, k] { return CPresetSetMenu(presetSets_, k.set, k.path, k.modified, k.afterLoad); };
  s.commands.revert = [menu] { menu().revert(); };
  s.commands.open = [menu](bool append) {
    if (append)
      menu().openAppend();
    else
      menu().openReplace();
  };
  s.commands.save = [menu] { menu().saveAs(); };
  return s;
}

}  // namespace pg
