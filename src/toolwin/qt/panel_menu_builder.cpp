#include "toolwin/qt/panel_menu_builder.h"

#include <QAction>
#include <QMenu>

namespace pg {

QMenu* buildPanelMenu(QWidget* parent, PanelMenu menu, std::function<SPanelMenuContext()> context) {
  auto* m = new QMenu(parent);
  for (const SPanelMenuItem& item : panelMenuItems(menu)) {
    if (item.role == PanelMenuRole::Separator) {
      m->addSeparator();
      continue;
    }
    QAction* a = m->addAction(QString::fromUtf8(item.caption.data(), static_cast<int>(item.caption.size())));
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

}  // namespace pg
