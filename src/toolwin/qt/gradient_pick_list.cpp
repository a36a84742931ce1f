#include "toolwin/qt/gradient_pick_list.h"

#include <QAction>
#include <QMenu>

#include "brush/gradient_mngr.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/qt/item_list_view.h"

namespace pg {

TGradientPickList::TGradientPickList(CGradMngr& gradients, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), gradients_(gradients), savedIndex_(gradients.currentIndex()) {
  setObjectName(QStringLiteral("GradientPickList"));
  // The pick is the set's current gradient; nothing is added, moved or
  // deleted from here.
  list_.setOptions(kListKeepActive);
  list_.bind(&gradients_);
  list_.OnChange = std::move(changed);
  view_ = new TItemListView(list_, this);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopMenu"));
  const auto display = editorDisplayItems();
  for (size_t k = 0; k < styles_.size() && k < display.size(); ++k) {
    const int32_t style = display[k].style;
    styles_[k] = menu_->addAction(QString::fromUtf8(display[k].caption.data(), int(display[k].caption.size())), this,
                                  [this, style] { (void)list_.setDisplayStyle(style); });
    styles_[k]->setObjectName(QString::fromUtf8(display[k].name.data(), int(display[k].name.size())));
    styles_[k]->setCheckable(true);
  }
  connect(menu_, &QMenu::aboutToShow, this, [this] {
    const auto items = editorDisplayItems();
    for (size_t k = 0; k < styles_.size() && k < items.size(); ++k)
      styles_[k]->setChecked(list_.displayStyle() == items[k].style);
  });
  connect(view_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(view_->mapToGlobal(at)); });
  setMinimumSize(160, 96);
}

TGradientPickList::~TGradientPickList() {
  // The view goes first: it paints from the list.
  delete view_;
  view_ = nullptr;
  list_.OnChange = nullptr;
  (void)list_.unbind();
  // Picking here does not change the tool window's choice (its working copy
  // stays as it was when nothing else was picked).
  if (gradients_.validIndex(savedIndex_) && gradients_.currentIndex() != savedIndex_) gradients_.select(savedIndex_);
}

void TGradientPickList::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (view_ != nullptr) view_->setGeometry(rect());
}

}  // namespace pg
