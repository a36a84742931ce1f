#include "toolwin/qt/gradient_pick_list.h"

#include <QAction>
#include <QMenu>

#include "brush/gradient_mngr.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {
// The pop-up menu's items: their names, captions and the styles they set.
struct SStyleItem {
  const char* name;
  uint32_t text;
  int32_t style;
};
constexpr std::array<SStyleItem, 7> kStyleItems = {{
    {"MenuText", 68401, kListText},
    {"MenuListS", 68402, kListSmallRows},
    {"MenuList", 68403, kListRows},
    {"MenuListL", 68404, kListLargeRows},
    {"MenuIconS", 68405, kListSmallIcons},
    {"MenuIcon", 68406, kListIcons},
    {"MenuIconL", 68407, kListLargeIcons},
}};
}  // namespace

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
  for (size_t k = 0; k < kStyleItems.size(); ++k) {
    const int32_t style = kStyleItems[k].style;
    // Every style of the menu is allowed.
    styles_[k] = menu_->addAction(resText(kStyleItems[k].text), this, [this, style] { (void)list_.setDisplayStyle(style); });
    styles_[k]->setObjectName(QString::fromLatin1(kStyleItems[k].name));
    styles_[k]->setCheckable(true);
  }
  connect(menu_, &QMenu::aboutToShow, this, [this] {
    for (size_t k = 0; k < kStyleItems.size(); ++k) styles_[k]->setChecked(list_.displayStyle() == kStyleItems[k].style);
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
  (void)list_.unbind();  // false: it was not bound
  // Picking here does not change the tool window's choice (its working copy
  // stays as it was when nothing else was picked).
  if (gradients_.validIndex(savedIndex_) && gradients_.currentIndex() != savedIndex_) gradients_.select(savedIndex_);
}

void TGradientPickList::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (view_ != nullptr) view_->setGeometry(rect());
}

}  // namespace pg
