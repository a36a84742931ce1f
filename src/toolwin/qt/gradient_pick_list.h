#pragma once
// A list of the tool window's gradients to pick from inside a dialog (the
// gradient map's): a click makes the gradient the set's current one while
// the list lives, so whatever asks for the active gradient sees the pick;
// when the list goes, the set's own current gradient comes back. A right
// click offers the seven display styles.
#include <QWidget>

#include <array>
#include <functional>

#include "toolwin/preset_lists.h"

class QAction;
class QMenu;

namespace pg {

class CGradMngr;
class TItemListView;

class TGradientPickList : public QWidget {
 public:
  // gradients outlives the list; changed runs after every pick.
  TGradientPickList(CGradMngr& gradients, std::function<void()> changed, QWidget* parent = nullptr);
  ~TGradientPickList() override;

  CGradientList& list() { return list_; }
  TItemListView* view() const { return view_; }
  // The pop-up menu of display styles, checked at the list's style.
  QMenu* styleMenu() const { return menu_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  CGradMngr& gradients_;
  CGradientList list_;
  TItemListView* view_ = nullptr;
  QMenu* menu_ = nullptr;
  std::array<QAction*, 7> styles_{};
  int32_t savedIndex_ = -1;
};

}  // namespace pg
