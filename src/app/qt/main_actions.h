#pragma once
// The main window's commands as QActions, one per entry of the action table,
// and the menu bar laid out from the table. A command runs only through a
// handler bound to it; an action without a handler stays disabled, so no menu
// item is ever a dead click. Enabled and checked states come from the bound
// update functions, evaluated before a menu opens, on the main window's timer
// and after every command.
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace pg {

struct SActionState {
  bool enabled = true;
  bool checked = false;
};

class TMainActions : public QObject {
  Q_OBJECT
 public:
  using Execute = std::function<void()>;
  using Update = std::function<SActionState()>;

  explicit TMainActions(QObject* parent = nullptr);

  // Builds the menus into the bar (and remembers the recent-files and
  // document-list places).
  void buildMenus(QMenuBar& bar);

  // The action of a table name; nullptr for an unknown name.
  QAction* action(std::string_view name) const;

  // Binds a command; without an update function it is always enabled. A
  // name the action table does not hold binds nothing: it is logged as an
  // error and kept in refusedNames(), so that a misspelt command cannot
  // quietly leave its menu item disabled.
  void bind(std::string_view name, Execute execute, Update update = {}, bool checkable = false);
  // The names bind() refused, in the order it was asked.
  const std::vector<std::string>& refusedNames() const { return refused_; }
  // True when a handler is bound to the table action of that name.
  bool isBound(std::string_view name) const;

  // Re-evaluates every bound update function.
  void updateAll();

  // Where the recent files go: a hidden marker action in the File menu (the
  // entries are put before it), and the sub-menu of the open documents in
  // the Window menu.
  QMenu* recentFilesParent() const { return recentParent_; }
  QAction* recentFilesMarker() const { return recentMarker_; }
  QMenu* documentListMenu() const { return documentMenu_; }

 private:
  struct Bound {
    Execute execute;
    Update update;
  };
  std::unordered_map<std::string, QAction*> actions_;
  std::unordered_map<QAction*, Bound> bound_;
  std::vector<std::string> refused_;
  QMenu* recentParent_ = nullptr;
  QAction* recentMarker_ = nullptr;
  QMenu* documentMenu_ = nullptr;
};

// The caption of an action from its text id (empty ids show the name).
QString actionCaption(std::string_view name);

}  // namespace pg
