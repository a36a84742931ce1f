#include "app/qt/main_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QtGlobal>

#include "app/action_table.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// Captions that name the product carry a %s for it.
QString captionText(const SActionDef& def) {
  std::string text = resString(def.captionId);
  if (text.empty()) text = std::string(def.name);
  if (text.find("%s") != std::string::npos) text = formatText(text, {std::string(kProductName)});
  return QString::fromStdString(text);
}

}  // namespace

QString actionCaption(std::string_view name) {
  const SActionDef* def = findAction(name);
  return def ? captionText(*def) : QString();
}

TMainActions::TMainActions(QObject* parent) : QObject(parent) {
  for (const SActionDef& def : actionTable()) {
    auto* a = new QAction(captionText(def), this);
    a->setObjectName(QString::fromUtf8(def.name.data(), qsizetype(def.name.size())));
    if (!def.shortcut.empty())
      a->setShortcut(QKeySequence(QString::fromUtf8(def.shortcut.data(), qsizetype(def.shortcut.size()))));
    a->setEnabled(false);
    a->setVisible(!def.hidden);
    connect(a, &QAction::triggered, this, [this, a] {
      auto it = bound_.find(a);
      if (it == bound_.end()) return;
      // The state may have changed since the menu was shown: ask again.
      if (it->second.update && !it->second.update().enabled) return;
      it->second.execute();
      updateAll();
    });
    actions_.emplace(std::string(def.name), a);
  }
}

QAction* TMainActions::action(std::string_view name) const {
  auto it = actions_.find(std::string(name));
  return it == actions_.end() ? nullptr : it->second;
}

void TMainActions::bind(std::string_view name, Execute execute, Update update, bool checkable) {
  QAction* a = action(name);
  if (!a) {
    qCritical("No action is named \"%.*s\": its command stays unbound", int(name.size()), name.data());
    refused_.emplace_back(name);
    return;
  }
  a->setCheckable(checkable);
  bound_[a] = Bound{std::move(execute), std::move(update)};
  SActionState s = bound_[a].update ? bound_[a].update() : SActionState{};
  a->setEnabled(s.enabled);
  if (checkable) a->setChecked(s.checked);
}

bool TMainActions::isBound(std::string_view name) const {
  QAction* a = action(name);
  return a != nullptr && bound_.count(a) != 0;
}

void TMainActions::updateAll() {
  for (auto& [a, b] : bound_) {
    if (!b.update) continue;
    SActionState s = b.update();
    if (a->isEnabled() != s.enabled) a->setEnabled(s.enabled);
    if (a->isCheckable() && a->isChecked() != s.checked) a->setChecked(s.checked);
  }
}

void TMainActions::buildMenus(QMenuBar& bar) {
  for (const SMenuDef& menuDef : mainMenuLayout()) {
    QMenu* top = bar.addMenu(QString::fromStdString(resString(menuDef.titleId)));
    connect(top, &QMenu::aboutToShow, this, &TMainActions::updateAll);
    std::vector<QMenu*> stack{top};
    for (const SMenuEntry& e : menuDef.entries) {
      QMenu* m = stack.back();
      switch (e.kind) {
        case MenuEntryKind::Action:
          if (QAction* a = action(e.action)) m->addAction(a);
          break;
        case MenuEntryKind::Separator:
          m->addSeparator();
          break;
        case MenuEntryKind::SubmenuBegin: {
          QMenu* sub = m->addMenu(QString::fromStdString(resString(e.titleId)));
          connect(sub, &QMenu::aboutToShow, this, &TMainActions::updateAll);
          stack.push_back(sub);
          break;
        }
        case MenuEntryKind::SubmenuEnd:
          if (stack.size() > 1) stack.pop_back();
          break;
        case MenuEntryKind::RecentFiles:
          recentParent_ = m;
          recentMarker_ = m->addAction(QString());
          recentMarker_->setVisible(false);
          break;
        case MenuEntryKind::DocumentList:
          documentMenu_ = m;
          break;
      }
    }
  }
}

}  // namespace pg
