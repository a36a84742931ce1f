#include "toolwin/qt/brush_editor_form.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "toolwin/qt/editor_texts.h"
#include "ui/qt/res_text.h"
#include "brush/paint_param.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "brush/shape_values.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/qt/file_dialog.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/preset_lists.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/pen_editor_frames.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/small_controls.h"

namespace pg {

std::unique_ptr<CPenMethodList> editorPenMethodList(CPenMethodMngr& methods) {
  auto list = std::make_unique<CPenMethodList>();
  list->setAllowedStyles(kEditorListStyles);
  list->setOptions(kListKeepActive | kListDraggable);
  list->bind(&methods, nullptr, nullptr);
  list->setShowAll(true);
  list->selectItem(list->getActiveIndex(), false);
  return list;
}

std::unique_ptr<CPenNibList> editorPenNibList(CPenShapeMngr& nibs) {
  auto list = std::make_unique<CPenNibList>();
  list->setAllowedStyles(kEditorListStyles);
  list->setLeadingEntry(false);
  list->setOptions(kListKeepActive);
  list->bind(&nibs);
  return list;
}

std::unique_ptr<CGradientList> editorGradientList(CGradMngr& gradients) {
  auto list = std::make_unique<CGradientList>();
  list->setAllowedStyles(kEditorListStyles);
  list->setOptions(kListKeepActive);
  list->bind(&gradients);
  return list;
}

PresetFileDialog presetFileDialogOf(QWidget* parent) {
  return [parent](int32_t kind, const std::string& folder, std::string& path) {
    SFileDialogRequest request;
    request.kind = kind;
    request.folder = folder;
    request.initialName = path;
    if (!executeFileDialog(parent, request)) return false;
    path = request.fileName;
    return true;
  };
}

TFormBrushEditor::TFormBrushEditor(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context)
    : TFormPresetEditor(context.parent), methods_(methods), nibs_(nibs), context_(context) {
  setObjectName(QStringLiteral("FormBrushEditor"));
  bool ok = false;
  working_ = TPaintParam::CreateFromPenMethod(methods_.current(), ok);
  if (!ok) working_ = std::make_unique<TPaintParam>(uint8_t(9));
  auto* area = new QVBoxLayout(editArea());
  area->setContentsMargins(0, 0, 0, 0);
  tabBox_ = new QWidget(editArea());
  tabBox_->setObjectName(QStringLiteral("BoxTab"));
  tabBox_->setFixedHeight(19);
  new QVBoxLayout(tabBox_);
  tabBox_->layout()->setContentsMargins(0, 0, 0, 0);
  area->addWidget(tabBox_);
  GrpPenMtd = new TFramePenMtdEditor(editArea());
  GrpPenNib = new TFramePenNibEditor(editArea());
  GrpPenNib->hide();
  area->addWidget(GrpPenMtd);
  area->addWidget(GrpPenNib);
  preview_ = new TPenNibPreview(this);
  setPreview(preview_);
  GrpPenMtd->OnFrameChange = [this] { onFrameChange(); };
  GrpPenNib->OnFrameChange = [this] { onFrameChange(); };
  setMode(kBrushMode);
}

TFormBrushEditor::~TFormBrushEditor() {
  GrpPenMtd->OnFrameChange = nullptr;
  GrpPenNib->OnFrameChange = nullptr;
  setListView(nullptr);  // the view goes before the list it shows
}

void TFormBrushEditor::setMode(uint8_t mode) {
  if (mode == mode_ || (mode != kBrushMode && mode != kNibMode)) return;
  setListView(nullptr);
  view_ = nullptr;
  methodList_.reset();
  nibList_.reset();
  delete tabs_;
  tabs_ = nullptr;
  mode_ = mode;
  if (mode == kBrushMode) {
    setWindowTitle(resText(kResBrushEditorCaption));
    tabs_ = new TGraphicTabControl(tabBox_);
    tabs_->addTab(resText(kResBrushTab));
    tabs_->addTab(resText(kResNibTab));
    tabs_->OnChange = [this] { onTabChange(); };
    tabBox_->layout()->addWidget(tabs_);
    tabBox_->show();
    GrpPenMtd->show();
    GrpPenNib->hide();
    GrpPenMtd->OnFrameChange = [this] { onFrameChange(); };
    methodList_ = editorPenMethodList(methods_);
    methodList_->setDisplayStyle(kListSmallRows);
    methodList_->OnChange = [this] { onPenMethodSelect(); };
    view_ = new TItemListView(*methodList_);
    setListView(view_);
    methodList_->selectItem(methodList_->getActiveIndex(), true);
  } else {
    setWindowTitle(resText(kResNibEditorCaption));
    tabBox_->hide();  // the nib frame takes the tabs' place
    GrpPenMtd->hide();
    GrpPenMtd->OnFrameChange = nullptr;
    GrpPenNib->show();
    nibList_ = editorPenNibList(nibs_);
    nibList_->setDisplayStyle(kListRows);
    nibList_->OnChange = [this] { onPenNibSelect(); };
    view_ = new TItemListView(*nibList_);
    setListView(view_);
    nibList_->selectItem(nibList_->getActiveIndex(), true);
  }
  updatePathLabel();
}

void TFormBrushEditor::onPenMethodSelect() {
  if (updating_ || !methodList_) return;
  updating_ = true;
  (void)working_->assign(&methodList_->paintParam());  // refused only for null
  // A brush whose icon could not be copied is shown but cannot be edited:
  // storing the frame's values back would drop its icon.
  const bool loaded = GrpPenMtd->load(working_.get());
  GrpPenMtd->setEnabled(loaded);
  if (!loaded) showWarning(resString(kResEdNoMemory));
  // No kind may lose its last pen method through a change of kind.
  GrpPenMtd->CmbType->setEnabled(methodList_->canDeleteKeepOne(methodList_->getActiveIndex()));
  (void)GrpPenNib->load(working_.get());  // refused only for null
  showPreview();
  setApplyEnabled(false);
  updating_ = false;
}

void TFormBrushEditor::onPenNibSelect() {
  if (updating_ || !nibList_) return;
  updating_ = true;
  // With no nib selected the working brush keeps the nib it has.
  if (const CPenShapeObj* nib = nibList_->currentShape()) (void)working_->loadNib(nib);
  (void)GrpPenNib->load(working_.get());  // refused only for null
  showPreview();
  setApplyEnabled(false);
  updating_ = false;
}

void TFormBrushEditor::onFrameChange() {
  if (updating_) return;
  updating_ = true;
  if (mode_ == kBrushMode) GrpPenMtd->store(*working_);
  GrpPenNib->store(*working_);
  showPreview();
  setApplyEnabled(true);
  updating_ = false;
}

void TFormBrushEditor::onTabChange() {
  if (!tabs_) return;
  GrpPenMtd->setVisible(tabs_->activeIndex() == 0);
  GrpPenNib->setVisible(tabs_->activeIndex() == 1);
}

void TFormBrushEditor::showPreview() { preview_->setNib(shapeValuesOf(*working_)); }

void TFormBrushEditor::beforeShow() {
  if (context_.listStyle != nullptr && activeList() != nullptr) applyStoredListStyle(*activeList(), *context_.listStyle);
}

void TFormBrushEditor::afterShow() {
  if (context_.listStyle != nullptr && activeList() != nullptr) *context_.listStyle = activeList()->displayStyle();
}

CItemList* TFormBrushEditor::activeList() {
  if (mode_ == kBrushMode) return methodList_.get();
  return nibList_.get();
}

void TFormBrushEditor::updatePathLabel() {
  showPath(getSetPath(), setModified());
}

QString TFormBrushEditor::getSetPath() const {
  return QString::fromStdString(mode_ == kBrushMode ? methods_.fileName() : nibs_.fileName());
}

bool TFormBrushEditor::setModified() const { return mode_ == kBrushMode ? methods_.modified() : nibs_.modified(); }

void TFormBrushEditor::applyEdits() {
  if (mode_ == kBrushMode && methodList_) {
    (void)methodList_->paintParam().assign(working_.get());  // refused only for null
    if (!methodList_->storeCurrent()) debugOutput("brush editor: the edited brush could not be stored");
  } else if (nibList_) {
    // Without a selected nib nothing was stored and the set is not modified.
    if (working_->storeToPenShape(nibs_.getItem(nibList_->getActiveIndex()))) nibs_.setModified(true);
    nibList_->redraw();
  }
  updatePathLabel();
}

void TFormBrushEditor::setLoad(bool revert, bool append) {
  bool loaded = false;
  if (mode_ == kBrushMode) {
    loaded = revert ? methods_.loadFromFile(methods_.fileName(), false)
                    : methods_.openDialog(append, context_.fileDialog);
  } else {
    loaded = revert ? nibs_.loadFromFile(nibs_.fileName(), false) : nibs_.openDialog(append, context_.fileDialog);
  }
  (void)loaded;  // a failed load shows its code; the list shows what the set holds either way
  CItemList* list = activeList();
  if (list == nullptr) return;
  if (!append)
    list->selectItem(0, true);
  else
    list->redraw();
}

void TFormBrushEditor::setSave() {
  if (mode_ == kBrushMode)
    (void)methods_.saveAsDialog(context_.fileDialog);  // a cancel changes nothing; a failed save shows the path
  else
    (void)nibs_.saveAsDialog(context_.fileDialog);  // as above
}

namespace {

[[nodiscard]] bool runBrushEditor(CPenMethodMngr& methods, CPenShapeMngr& nibs, uint8_t mode, const SPresetEditorContext& context) {
  TFormBrushEditor editor(methods, nibs, context);
  editor.setMode(mode);
  (void)editor.showModalEditor();  // closing never stores; applied() says whether Apply did
  return editor.applied();
}

}  // namespace

bool editPenMethod(CPenMethodMngr& methods, CPenShapeMngr& nibs, int32_t index, const SPresetEditorContext& context) {
  if (!methods.isValidIndex(index)) return false;
  methods.setCurrentIndex(index);
  return runBrushEditor(methods, nibs, TFormBrushEditor::kBrushMode, context);
}

bool newPenMethod(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context) {
  std::unique_ptr<CPenMethodList> list = editorPenMethodList(methods);
  if (!list->copyItem(list->getCount(), list->getActiveIndex(), false)) return false;
  // The copy is there whether or not it was edited.
  (void)editPenMethod(methods, nibs, methods.currentIndex(), context);
  return true;
}

bool editPenNib(CPenMethodMngr& methods, CPenShapeMngr& nibs, int32_t index, const SPresetEditorContext& context) {
  if (!nibs.isValidIndex(index)) return false;
  nibs.select(index);
  return runBrushEditor(methods, nibs, TFormBrushEditor::kNibMode, context);
}

bool newPenNib(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context) {
  std::unique_ptr<CPenNibList> list = editorPenNibList(nibs);
  if (!list->copyItem(list->getCount(), list->getActiveIndex(), false)) return false;
  (void)editPenNib(methods, nibs, nibs.currentIndex(), context);  // the copy stays, edited or not
  return true;
}

}  // namespace pg
