#include "app/qt/mru_menu.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>

namespace pg {

TMRUMenu::TMRUMenu(TMRUFileList& list, QObject* parent) : QObject(parent), list_(list) {
  list_.onChange = [this] { rebuild(); };
}

TMRUMenu::~TMRUMenu() {
  list_.onChange = nullptr;
  removeEntries();
}

void TMRUMenu::setFileMenu(QMenu* menu, QAction* marker) {
  removeEntries();
  menu_ = menu;
  marker_ = marker;
  rebuild();
}

void TMRUMenu::removeEntries() {
  // Later, not now: the entry being clicked may be among them.
  for (auto& action : owned_) {
    if (!action) continue;
    if (menu_) menu_->removeAction(action);
    if (QMenu* sub = action->menu())
      sub->deleteLater();  // its own action goes with it
    else
      action->deleteLater();
  }
  owned_.clear();
  entries_.clear();
}

void TMRUMenu::rebuild() {
  removeEntries();
  if (!menu_ || list_.count() == 0) return;
  QMenu* target = menu_;
  QAction* before = marker_;
  auto place = [&](QAction* action) {
    target->insertAction(before, action);
    owned_.emplace_back(action);
  };
  if (list_.InsertSeparator) {
    auto* separator = new QAction(menu_);
    separator->setSeparator(true);
    place(separator);
  }
  if (list_.UseSubmenu) {
    auto* sub = new QMenu(QString::fromStdString(list_.SubmenuName), menu_);
    place(sub->menuAction());
    target = sub;
    before = nullptr;
  }
  const QFontMetrics metrics(target->font());
  const auto entries =
      list_.entries([&metrics](std::string_view s) { return metrics.horizontalAdvance(QString::fromUtf8(s.data(), qsizetype(s.size()))); });
  for (const TMRUFileList::Entry& entry : entries) {
    auto* action = new QAction(QString::fromStdString(entry.caption), target);
    action->setData(entry.number);
    action->setToolTip(QString::fromStdString(entry.path));
    const int number = entry.number;
    connect(action, &QAction::triggered, this, [this, number] {
      // The click may remove the entry and rebuild the menu: take the path first.
      if (auto path = list_.click(number)) emit mruItemClicked(QString::fromStdString(*path));
    });
    target->insertAction(before, action);
    if (target == menu_) owned_.emplace_back(action);
    entries_.push_back(action);
  }
}

}  // namespace pg
