#include "app/qt/preference_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/app_profile.h"
#include "app/dialog_texts.h"
#include "app/qt/main_form.h"
#include "app/qt/value_dialog.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

QCheckBox* check(const char* name, uint32_t text, QWidget* parent) {
  auto* c = new QCheckBox(resText(text), parent);
  c->setObjectName(QString::fromLatin1(name));
  return c;
}

QComboBox* list(const char* name, const QStringList& items, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->addItems(items);
  return c;
}

QStringList split(uint32_t id) { return resText(id).split(QLatin1Char('|')); }

void setSwatch(QPushButton* button, uint32_t rgb) {
  QColor c((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  button->setStyleSheet(QStringLiteral("background-color: %1; min-width: 40px;").arg(c.name()));
}

}  // namespace

TFormPreference::TFormPreference(const SPreferenceValues& values, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormPreference"));
  setWindowTitle(resText(kResPrefCaption));
  auto* outer = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  pages_ = new QListWidget(this);
  pages_->setObjectName(QStringLiteral("LstPage"));
  for (uint32_t id : {kResPrefPageTool, kResPrefPageCursor, kResPrefPageDocument, kResPrefPageStart, kResPrefPageAvi})
    pages_->addItem(resText(id));
  pages_->setFixedWidth(130);
  stack_ = new QStackedWidget(this);
  body->addWidget(pages_);
  body->addWidget(stack_, 1);
  outer->addLayout(body);

  // ---- page 1: tools
  auto* page1 = new QWidget;
  auto* p1 = new QVBoxLayout(page1);
  auto* tools = new QGroupBox(resText(kResPrefPageTool), page1);
  auto* f1 = new QFormLayout(tools);
  shortcut_ = list("CmbShortCut", {QStringLiteral("Pigmora4.5"), QStringLiteral("Pigmora2")}, tools);
  middle_ = list("CmbMButtonProc", split(kResPrefMiddleItems), tools);
  undo_ = new QSpinBox(tools);
  undo_->setObjectName(QStringLiteral("EdtUndo"));
  undo_->setRange(0, 1000);
  undo_->setSuffix(QLatin1Char(' ') + resText(kResPrefTimes));
  f1->addRow(resText(kResPrefShortcut), shortcut_);
  f1->addRow(resText(kResPrefMiddle), middle_);
  f1->addRow(resText(kResPrefUndo), undo_);
  rightButton_ = check("ChkRightButton", kResPrefRightButton, tools);
  grabCtrl_ = check("ChkUseGrabCtrl", kResPrefGrabCtrl, tools);
  findNext_ = check("ChkToolFindNext", kResPrefFindNext, tools);
  f1->addRow(rightButton_);
  f1->addRow(grabCtrl_);
  f1->addRow(findNext_);
  auto* palette = new QGroupBox(resText(kResPrefPalette), page1);
  auto* fp = new QVBoxLayout(palette);
  autoSave_ = check("ChkDrawToolAutoSave", kResPrefAutoSave, palette);
  grabDbl_ = check("ChkGrabToolDblClk", kResPrefGrabDbl, palette);
  zoomDbl_ = check("ChkZoomToolDblClk", kResPrefZoomDbl, palette);
  exColour_ = check("ChkExColor", kResPrefExColor, palette);
  freeHand_ = check("ChkAutoFreeHand", kResPrefFreeHand, palette);
  vertPopup_ = check("ChkVerticalPopup", kResPrefVertPopup, palette);
  for (QCheckBox* c : {autoSave_, grabDbl_, zoomDbl_, exColour_, freeHand_, vertPopup_}) fp->addWidget(c);
  p1->addWidget(tools);
  p1->addWidget(palette);
  p1->addStretch(1);
  stack_->addWidget(page1);

  // ---- page 2: cursors and grid
  auto* page2 = new QWidget;
  auto* p2 = new QVBoxLayout(page2);
  auto* draw = new QGroupBox(resText(kResPrefDrawCursor), page2);
  auto* fd = new QGridLayout(draw);
  drawStd_ = new QRadioButton(resText(kResPrefCursorStd), draw);
  drawStd_->setObjectName(QStringLiteral("RadDrawCursorS"));
  drawFine_ = new QRadioButton(resText(kResPrefCursorFine), draw);
  drawFine_->setObjectName(QStringLiteral("RadDrawCursorP"));
  cursorPath_ = new QLineEdit(draw);
  cursorPath_->setObjectName(QStringLiteral("EdtCursorPath"));
  cursorBrowse_ = new QPushButton(resText(kResPrefBrowse), draw);
  cursorBrowse_->setObjectName(QStringLiteral("BtnCursorPath"));
  ghost_ = check("ChkBrushGhost", kResPrefGhost, draw);
  ghostCentre_ = check("ChkGhostCenter", kResPrefGhostCentre, draw);
  fd->addWidget(drawStd_, 0, 0);
  fd->addWidget(cursorPath_, 0, 1);
  fd->addWidget(cursorBrowse_, 0, 2);
  fd->addWidget(drawFine_, 1, 0);
  fd->addWidget(ghost_, 2, 0);
  fd->addWidget(ghostCentre_, 2, 1);
  auto* other = new QGroupBox(resText(kResPrefOtherCursor), page2);
  auto* fo = new QHBoxLayout(other);
  otherStd_ = new QRadioButton(resText(kResPrefOtherStd), other);
  otherStd_->setObjectName(QStringLiteral("RadOtherCursorT"));
  otherFine_ = new QRadioButton(resText(kResPrefOtherFine), other);
  otherFine_->setObjectName(QStringLiteral("RadOtherCursorE"));
  fo->addWidget(otherStd_);
  fo->addWidget(otherFine_);
  fo->addStretch(1);
  auto* grid = new QGroupBox(resText(kResPrefGrid), page2);
  auto* fg = new QHBoxLayout(grid);
  gridX_ = new QSpinBox(grid);
  gridX_->setObjectName(QStringLiteral("NumGridX"));
  gridY_ = new QSpinBox(grid);
  gridY_->setObjectName(QStringLiteral("NumGridY"));
  for (QSpinBox* s : {gridX_, gridY_}) {
    s->setRange(2, 10000);
    s->setSuffix(QStringLiteral(" px"));
  }
  gridColour_ = new QPushButton(grid);
  gridColour_->setObjectName(QStringLiteral("BoxGridColor"));
  gridOpacity_ = new QDoubleSpinBox(grid);
  gridOpacity_->setObjectName(QStringLiteral("NumGridOpaque"));
  gridOpacity_->setRange(0, 100);
  gridOpacity_->setDecimals(1);
  gridOpacity_->setSuffix(QStringLiteral(" %"));
  fg->addWidget(gridX_);
  fg->addWidget(new QLabel(QString::fromUtf8("×"), grid));
  fg->addWidget(gridY_);
  fg->addWidget(new QLabel(resText(kResPrefGridColour), grid));
  fg->addWidget(gridColour_);
  fg->addWidget(gridOpacity_);
  p2->addWidget(draw);
  p2->addWidget(other);
  p2->addWidget(grid);
  p2->addStretch(1);
  stack_->addWidget(page2);

  // ---- page 3: documents
  auto* page3 = new QWidget;
  auto* p3 = new QVBoxLayout(page3);
  auto* docs = new QGroupBox(resText(kResPrefDocs), page3);
  auto* f3 = new QVBoxLayout(docs);
  scrollBar_ = check("ChkDispScrollBar", kResPrefScrollBar, docs);
  fullPath_ = check("ChkDispFullPath", kResPrefFullPath, docs);
  autoScroll_ = check("ChkUseAutoScroll", kResPrefAutoScroll, docs);
  forceDisp_ = check("ChkForceDisp", kResPrefForceDisp, docs);
  autoSize_ = check("ChkAutoSize", kResPrefAutoSize, docs);
  autoSizeOut_ = check("ChkAutoSizeOnlyZoomOut", kResPrefAutoSizeOut, docs);
  autoSizeEvent_ = check("ChkAutoSizeOnlyEvent", kResPrefAutoSizeEvent, docs);
  for (QCheckBox* c : {scrollBar_, fullPath_, autoScroll_, forceDisp_, autoSize_}) f3->addWidget(c);
  for (QCheckBox* c : {autoSizeOut_, autoSizeEvent_}) {
    c->setContentsMargins(24, 0, 0, 0);
    f3->addWidget(c);
  }
  auto* save = new QGroupBox(resText(kResPrefSave), page3);
  auto* fs = new QVBoxLayout(save);
  saveConfirm_ = check("ChkSaveConfirm", kResPrefSaveConfirm, save);
  otherPath_ = check("ChkImageIOOtherPath", kResPrefOtherPath, save);
  filePath_ = check("ChkPriorityFilePath", kResPrefFilePath, save);
  for (QCheckBox* c : {saveConfirm_, otherPath_, filePath_}) fs->addWidget(c);
  p3->addWidget(docs);
  p3->addWidget(save);
  p3->addStretch(1);
  stack_->addWidget(page3);

  // ---- page 4: start-up files
  auto* page4 = new QWidget;
  auto* p4 = new QVBoxLayout(page4);
  const uint32_t fileTexts[4] = {kResPrefBrushFile, kResPrefNibFile, kResPrefSwatchFile, kResPrefGradFile};
  const char* editNames[4] = {"EdtPMT", "EdtPSH", "EdtOPL", "EdtOGS"};
  const char* buttonNames[4] = {"BtnPMT", "BtnPSH", "BtnOPL", "BtnOGS"};
  for (int i = 0; i < 4; ++i) {
    auto* row = new QGroupBox(resText(fileTexts[i]), page4);
    auto* rl = new QHBoxLayout(row);
    files_[i] = new QLineEdit(row);
    files_[i]->setObjectName(QString::fromLatin1(editNames[i]));
    auto* browse = new QPushButton(resText(kResPrefBrowse), row);
    browse->setObjectName(QString::fromLatin1(buttonNames[i]));
    rl->addWidget(files_[i], 1);
    rl->addWidget(browse);
    p4->addWidget(row);
    fileRows_[i] = row;
    // Preset kinds 3 to 6 of the file dialogs, in the folder of the present file.
    connect(browse, &QPushButton::clicked, this, [this, i] {
      SFileDialogRequest request;
      request.kind = 3 + i;
      request.fileName = files_[i]->text().toStdString();
      request.folder = QFileInfo(files_[i]->text()).path().toStdString();
      if (executeFileDialog(this, request)) files_[i]->setText(QString::fromStdString(request.fileName));
    });
  }
  useLast_ = check("ChkUseLastFile", kResPrefUseLast, page4);
  saveAsQuit_ = list("CmbSaveAsQuit", split(kResPrefSaveAsQuitItems), page4);
  p4->addWidget(useLast_);
  auto* quitRow = new QFormLayout;
  quitRow->addRow(resText(kResPrefSaveAsQuit), saveAsQuit_);
  p4->addLayout(quitRow);
  p4->addStretch(1);
  stack_->addWidget(page4);
  // The AVI page is never shown: an empty place keeps the indexes.
  auto* none = new QWidget;
  stack_->addWidget(none);

  auto* buttons = new QHBoxLayout;
  auto* init = new QPushButton(resText(kResPrefInitialize), this);
  init->setObjectName(QStringLiteral("BtnInitialize"));
  buttons->addWidget(init);
  buttons->addStretch(1);
  buttons->addWidget(makeOkCancelButtons(this));
  outer->addLayout(buttons);

  connect(pages_, &QListWidget::currentRowChanged, this, [this](int row) {
    int page = preferencePageShown(row);
    stack_->setCurrentIndex(page < 0 ? kPageAvi : page);
  });
  connect(init, &QPushButton::clicked, this, &TFormPreference::initializeControls);
  connect(cursorBrowse_, &QPushButton::clicked, this, [this] {
    QString dir = QFileDialog::getExistingDirectory(this, QString(), cursorPath_->text());
    if (!dir.isEmpty()) cursorPath_->setText(dir);
  });
  connect(gridColour_, &QPushButton::clicked, this, [this] {
    QColor c = QColorDialog::getColor(QColor((gridRgb_ >> 16) & 0xFF, (gridRgb_ >> 8) & 0xFF, gridRgb_ & 0xFF), this);
    if (!c.isValid()) return;
    gridRgb_ = (uint32_t(c.red()) << 16) | (uint32_t(c.green()) << 8) | uint32_t(c.blue());
    setSwatch(gridColour_, gridRgb_);
  });
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{drawStd_, drawFine_, ghost_, useLast_, autoSize_})
    connect(b, &QAbstractButton::toggled, this, &TFormPreference::applyRules);

  showValues(values);
  pages_->setCurrentRow(0);
}

int TFormPreference::shownPage() const {
  int i = stack_->currentIndex();
  return i == kPageAvi ? -1 : i;
}

void TFormPreference::showValues(const SPreferenceValues& v) {
  shortcut_->setCurrentIndex(v.shortcutScheme);
  middle_->setCurrentIndex(v.middleButton);
  undo_->setValue(v.undoCount);
  rightButton_->setChecked(v.rightButtonPicks);
  grabCtrl_->setChecked(v.useGrabCtrl);
  findNext_->setChecked(v.toolFindNext);
  autoSave_->setChecked(v.drawToolAutoSave);
  grabDbl_->setChecked(v.grabToolDblClk);
  zoomDbl_->setChecked(v.zoomToolDblClk);
  exColour_->setChecked(v.exchangeColour);
  freeHand_->setChecked(v.autoFreeHand);
  vertPopup_->setChecked(v.verticalPopup);
  (v.drawCursorFine ? drawFine_ : drawStd_)->setChecked(true);
  cursorPath_->setText(QString::fromStdString(v.cursorPath));
  ghost_->setChecked(v.brushGhost);
  ghostCentre_->setChecked(v.ghostCentre);
  (v.otherCursorFine ? otherFine_ : otherStd_)->setChecked(true);
  gridX_->setValue(v.gridX);
  gridY_->setValue(v.gridY);
  gridRgb_ = v.gridColour;
  setSwatch(gridColour_, gridRgb_);
  gridOpacity_->setValue(v.gridOpacity);
  scrollBar_->setChecked(v.showScrollBar);
  fullPath_->setChecked(v.fullPath);
  autoScroll_->setChecked(v.autoScroll);
  forceDisp_->setChecked(v.forceDisplay);
  autoSize_->setChecked(v.autoSize);
  autoSizeOut_->setChecked(v.autoSizeOnlyZoomOut);
  autoSizeEvent_->setChecked(v.autoSizeOnlyEvent);
  saveConfirm_->setChecked(v.saveConfirm);
  otherPath_->setChecked(v.otherIoPath);
  filePath_->setChecked(v.priorityFilePath);
  const std::string* paths[4] = {&v.brushFile, &v.nibFile, &v.swatchFile, &v.gradientFile};
  for (int i = 0; i < 4; ++i) files_[i]->setText(QString::fromStdString(*paths[i]));
  useLast_->setChecked(v.useLastFile);
  saveAsQuit_->setCurrentIndex(v.saveAsQuit);
  applyRules();
}

SPreferenceValues TFormPreference::values() const {
  SPreferenceValues v;
  v.shortcutScheme = shortcut_->currentIndex();
  v.middleButton = middle_->currentIndex();
  v.undoCount = undo_->value();
  v.rightButtonPicks = rightButton_->isChecked();
  v.useGrabCtrl = grabCtrl_->isChecked();
  v.toolFindNext = findNext_->isChecked();
  v.drawToolAutoSave = autoSave_->isChecked();
  v.grabToolDblClk = grabDbl_->isChecked();
  v.zoomToolDblClk = zoomDbl_->isChecked();
  v.exchangeColour = exColour_->isChecked();
  v.autoFreeHand = freeHand_->isChecked();
  v.verticalPopup = vertPopup_->isChecked();
  v.drawCursorFine = drawFine_->isChecked();
  v.cursorPath = cursorPath_->text().toStdString();
  v.brushGhost = ghost_->isChecked();
  v.ghostCentre = ghostCentre_->isChecked();
  v.otherCursorFine = otherFine_->isChecked();
  v.gridX = gridX_->value();
  v.gridY = gridY_->value();
  v.gridColour = gridRgb_;
  v.gridOpacity = gridOpacity_->value();
  v.showScrollBar = scrollBar_->isChecked();
  v.fullPath = fullPath_->isChecked();
  v.autoScroll = autoScroll_->isChecked();
  v.forceDisplay = forceDisp_->isChecked();
  v.autoSize = autoSize_->isChecked();
  v.autoSizeOnlyZoomOut = autoSizeOut_->isChecked();
  v.autoSizeOnlyEvent = autoSizeEvent_->isChecked();
  v.saveConfirm = saveConfirm_->isChecked();
  v.otherIoPath = otherPath_->isChecked();
  v.priorityFilePath = filePath_->isChecked();
  std::string* paths[4] = {&v.brushFile, &v.nibFile, &v.swatchFile, &v.gradientFile};
  for (int i = 0; i < 4; ++i) *paths[i] = files_[i]->text().toStdString();
  v.useLastFile = useLast_->isChecked();
  v.saveAsQuit = saveAsQuit_->currentIndex();
  return v;
}

void TFormPreference::initializeControls() {
  SPreferenceValues v = values();
  v.initialize();
  showValues(v);
}

void TFormPreference::applyRules() {
  SPreferenceValues v;
  v.drawCursorFine = drawFine_->isChecked();
  v.brushGhost = ghost_->isChecked();
  v.useLastFile = useLast_->isChecked();
  v.autoSize = autoSize_->isChecked();
  cursorPath_->setEnabled(v.cursorPathEnabled());
  cursorBrowse_->setEnabled(v.cursorPathEnabled());
  ghostCentre_->setEnabled(v.ghostCentreEnabled());
  for (QWidget* row : fileRows_) row->setEnabled(v.startFilesEnabled());
  autoSizeOut_->setEnabled(v.autoSizeOptionsEnabled());
  autoSizeEvent_->setEnabled(v.autoSizeOptionsEnabled());
}

bool showPreferences(TMainForm& form) {
  CAppProfile& prefs = appProfile();
  TFormPreference dialog(SPreferenceValues::load(prefs), &form);
  if (form.showModalDialog(dialog) != kMrOk) return false;
  dialog.values().store(prefs);
  return true;
}

}  // namespace pg
