#pragma once
// Shows a recent-files list in a menu: the numbered entries ("&1 ...") go
// before a marker action of the menu, or at its end, optionally after a
// separator and inside a submenu of their own, as the list's settings say.
// Choosing an entry reports its path. The adapter rebuilds the entries
// whenever the list changes.
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "app/mru_file_list.h"

class QAction;
class QMenu;

namespace pg {

class TMRUMenu : public QObject {
  Q_OBJECT
 public:
  // The list must outlive the adapter; the adapter takes its onChange.
  explicit TMRUMenu(TMRUFileList& list, QObject* parent = nullptr);
  ~TMRUMenu() override;

  // Where the entries go: before marker (an action of menu), or appended
  // to menu when marker is null. The entries move there at once.
  void setFileMenu(QMenu* menu, QAction* marker = nullptr);

  void rebuild();
  // The actions of the entries, in list order (tests, and the window list's
  // check mark).
  const std::vector<QAction*>& entryActions() const { return entries_; }

 signals:
  void mruItemClicked(const QString& path);

 private:
  void removeEntries();

  TMRUFileList& list_;
  QPointer<QMenu> menu_;
  QPointer<QAction> marker_;
  std::vector<QAction*> entries_;
  std::vector<QPointer<QAction>> owned_;  // separator, submenu and entries
};

}  // namespace pg
