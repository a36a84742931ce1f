#include "toolwin/qt/panel_menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <map>

#include "toolwin/item_list.h"
#include "ui/qt/res_text.h"

namespace pg {

QMenu* buildPanelMenu(QWidget* parent, PanelMenu menu, std::function<SPanelMenuContext()> context) {
  auto* m = new QMenu(parent);
  for (const SPanelMenuItem& item : panelMenuItems(menu)) {
    if (item.role == PanelMenuRole::Separator) {
      m->addSeparator();
      continue;
    }
    QAction* a = m->addAction(QString());  // captioned as the menu opens
    a->setObjectName(QString::fromLatin1(item.name.data(), static_cast<int>(item.name.size())));
    a->setCheckable(item.role == PanelMenuRole::Style || item.role == PanelMenuRole::DoubleClickEdits);
    QObject::connect(a, &QAction::triggered, m, [menu, &item, context] { panelMenuClick(menu, item, context()); });
  }
  QObject::connect(m, &QMenu::aboutToShow, m, [m, menu, context] {
    const SPanelMenuContext c = context();
    const QList<QAction*> actions = m->actions();
    int i = 0;
    for (const SPanelMenuItem& item : panelMenuItems(menu)) {
      QAction* a = actions.value(i++);
      if (a == nullptr || item.role == PanelMenuRole::Separator) continue;
      const SPanelMenuItemState s = panelMenuItemState(menu, item, c);
      a->setText(QString::fromStdString(s.caption));
      a->setEnabled(s.enabled);
      a->setChecked(s.checked);
    }
  });
  return m;
}

namespace {
QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
}  // namespace

QMenu* buildPanelActionMenu(QWidget* parent, PanelActionMenu menu, CItemList& list, SPanelActionMenuBinding binding) {
  auto* top = new QMenu(parent);
  std::map<PanelSubmenu, QMenu*> subs{{PanelSubmenu::None, top}};
  for (const SPanelSubmenuDef& d : panelSubmenus()) {
    auto* sub = new QMenu(resText(d.captionId), top);
    sub->setObjectName(qs(d.name));
    subs[d.submenu] = sub;
  }
  struct Bound {
    QAction* item;
    std::string_view action;
    int32_t style;
  };
  auto bound = std::make_shared<std::vector<Bound>>();
  bool subsAdded = false;
  for (const SPanelActionItem& it : panelActionItems(menu)) {
    if (it.submenu != PanelSubmenu::None && !subsAdded && menu == PanelActionMenu::Layer) {
      // The three submenus sit where their first item falls.
      for (const SPanelSubmenuDef& d : panelSubmenus()) top->addMenu(subs[d.submenu]);
      top->addSeparator();
      subsAdded = true;
    }
    QMenu* m = subs[it.submenu];
    if (it.name.empty()) {
      m->addSeparator();
      continue;
    }
    QAction* a = m->addAction(resText(it.captionId));
    a->setObjectName(qs(it.name));
    if (it.style >= 0) {
      a->setCheckable(true);
      const int32_t style = it.style;
      QObject::connect(a, &QAction::triggered, top, [&list, style] { list.setDisplayStyle(style); });
    } else {
      const std::string_view name = it.action;
      QObject::connect(a, &QAction::triggered, top, [binding, name] {
        if (QAction* target = binding.action ? binding.action(name) : nullptr) {
          if (target->isEnabled()) target->trigger();
        }
      });
    }
    bound->push_back({a, it.action, it.style});
  }
  QObject::connect(top, &QMenu::aboutToShow, top, [subs, bound, binding, &list] {
    if (binding.refresh) binding.refresh();
    const bool edit = binding.canEdit && binding.canEdit();
    const bool standard = binding.standardMode && binding.standardMode();
    for (const auto& [which, sub] : subs)
      if (which != PanelSubmenu::None) sub->setEnabled(panelSubmenuEnabled(which, edit, standard));
    for (const Bound& b : *bound) {
      if (b.style >= 0) {
        b.item->setVisible((list.allowedStyles() & (1u << b.style)) != 0);
        b.item->setChecked(list.displayStyle() == b.style);
        continue;
      }
      QAction* target = binding.action ? binding.action(b.action) : nullptr;
      if (target == nullptr) {
        b.item->setEnabled(false);
        continue;
      }
      b.item->setText(target->text());
      b.item->setEnabled(target->isEnabled());
      b.item->setCheckable(target->isCheckable());
      b.item->setChecked(target->isChecked());
      b.item->setVisible(target->isVisible());
    }
  });
  return top;
}

}  // namespace pg
