#include "toolwin/qt/preset_editor_form.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <filesystem>

#include "toolwin/qt/editor_texts.h"
#include "ui/qt/res_text.h"
#include "toolwin/item_list.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/qt/small_controls.h"

namespace pg {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

void fill(QWidget* box, QWidget* child) {
  auto* l = new QVBoxLayout(box);
  l->setContentsMargins(0, 0, 0, 0);
  l->addWidget(child);
}

}  // namespace

TFormPresetEditor::TFormPresetEditor(QWidget* parent) : TDialogBaseForm(parent) {
  setWindowTitle(QStringLiteral("FormPresetEditor"));
  auto* row = new QHBoxLayout(content());
  row->setContentsMargins(8, 4, 8, 0);
  auto* left = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  LblPath = new TPathLabel(content());
  LblPath->setObjectName(QStringLiteral("LblPath"));
  LblPath->setMinimumHeight(16);
  Menu = new TDropDownMenu(content());
  Menu->setObjectName(QStringLiteral("Menu"));
  Menu->setFixedSize(16, 16);
  top->addWidget(LblPath, 1);
  top->addWidget(Menu);
  left->addLayout(top);
  listBox_ = new QWidget(content());
  listBox_->setObjectName(QStringLiteral("BoxListView"));
  listBox_->setMinimumSize(210, 291);
  left->addWidget(listBox_, 1);
  previewBox_ = new QWidget(content());
  previewBox_->setObjectName(QStringLiteral("BoxPreview"));
  previewBox_->setFixedSize(210, 84);
  left->addWidget(previewBox_);
  row->addLayout(left);
  editArea_ = new QWidget(content());
  editArea_->setObjectName(QStringLiteral("EditArea"));
  editArea_->setMinimumWidth(352);
  row->addWidget(editArea_, 1);

  Popup = new QMenu(this);
  Popup->setObjectName(QStringLiteral("Popup"));
  MenuItemDuplicate = Popup->addAction(resText(kResEdItemDuplicate), this, [this] { MenuItemDuplicateClick(); });
  MenuItemDelete = Popup->addAction(resText(kResEdItemDelete), this, [this] { MenuItemDeleteClick(); });
  Popup->addSeparator();
  const auto items = editorDisplayItems();
  for (int k = 0; k < 7; ++k) {
    MenuDisp[k] = Popup->addAction(resText(items[size_t(k)].captionId), this, [this, k] { MenuDispClick(k); });
    MenuDisp[k]->setObjectName(qs(items[size_t(k)].name));
    MenuDisp[k]->setCheckable(true);
  }
  Popup->addSeparator();
  MenuSetRevert = Popup->addAction(resText(kResEdSetRevert), this, [this] {
    setLoad(true, false);
    updatePathLabel();
  });
  MenuSetAppend = Popup->addAction(resText(kResEdSetAppend), this, [this] {
    setLoad(false, true);
    updatePathLabel();
  });
  MenuSetSave = Popup->addAction(resText(kResEdSetSave), this, [this] {
    setSave();
    updatePathLabel();
  });
  MenuSetOpen = Popup->addAction(resText(kResEdSetOpen), this, [this] {
    setLoad(false, false);
    updatePathLabel();
  });
  connect(Popup, &QMenu::aboutToShow, this, [this] { PopupPopup(); });
  Menu->PopupMenu = Popup;

  // Apply stays open and is not the default; Close ends with result 1.
  ButtonOK->setText(resText(kResEdApply));
  ButtonOK->setDefault(false);
  ButtonOK->setAutoDefault(false);
  ButtonOK->setEnabled(false);
  ButtonCancel->setText(resText(kResEdClose));
  ButtonCancel->setAutoDefault(false);
  disconnect(ButtonCancel, &QPushButton::clicked, this, nullptr);
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(1); });
}

TFormPresetEditor::~TFormPresetEditor() = default;

int TFormPresetEditor::showModalEditor() {
  beforeShow();
  const int result = exec();
  afterShow();
  return result;
}

void TFormPresetEditor::ButtonOKClick() {
  ButtonOK->setFocus(Qt::OtherFocusReason);  // a focused edit commits its text first
  LblPath->setModified(true);
  setApplyEnabled(false);
  applyEdits();
  applied_ = true;
}

// Esc closes like Close: the editor has nothing to cancel.
void TFormPresetEditor::reject() { done(1); }

void TFormPresetEditor::MenuItemDuplicateClick() {
  if (editorDuplicateItem(activeList())) updatePathLabel();
}

void TFormPresetEditor::MenuItemDeleteClick() {
  if (editorDeleteItem(activeList())) updatePathLabel();
}

void TFormPresetEditor::MenuDispClick(int item) {
  if (item < 0 || item >= 7) return;
  editorSetStyle(activeList(), editorDisplayItems()[size_t(item)].style);
}

void TFormPresetEditor::PopupPopup() {
  const std::string path = getSetPath().toStdString();
  std::error_code ec;
  const bool exists = !path.empty() && std::filesystem::is_regular_file(path, ec);
  const SEditorMenuState s = editorMenuState(activeList(), setModified(), exists);
  MenuItemDuplicate->setEnabled(s.duplicate);
  MenuItemDelete->setEnabled(s.remove);
  for (int k = 0; k < 7; ++k) {
    MenuDisp[k]->setVisible(s.styleVisible[size_t(k)]);
    MenuDisp[k]->setChecked(s.styleChecked[size_t(k)]);
  }
  MenuSetRevert->setEnabled(s.revert);
}

void TFormPresetEditor::wheelEvent(QWheelEvent* e) {
  CItemList* list = activeList();
  if (list != nullptr && list->wheel(e->angleDelta().y())) {
    e->accept();
    return;
  }
  e->ignore();
}

void TFormPresetEditor::setListView(TItemListView* view) {
  if (listView_ != nullptr) delete listView_;
  listView_ = view;
  if (view == nullptr) return;
  view->setParent(listBox_);
  if (listBox_->layout() == nullptr) {
    fill(listBox_, view);
  } else {
    listBox_->layout()->addWidget(view);
  }
  view->show();
}

void TFormPresetEditor::setPreview(QWidget* preview) {
  preview->setParent(previewBox_);
  fill(previewBox_, preview);
}

void TFormPresetEditor::setApplyEnabled(bool on) { ButtonOK->setEnabled(on); }

void TFormPresetEditor::showPath(const QString& path, bool modified) {
  LblPath->setPath(path);
  LblPath->setModified(modified);
}

}  // namespace pg
