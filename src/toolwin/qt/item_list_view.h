#pragma once
// The widget of an item list: it paints the list's cells into an off-screen
// graphic (background, frames and item images drawn by our own painters, the
// names as text), shows the scroll bar the list asks for, runs the
// auto-scroll timer while an item is dragged, and hands the mouse to the
// list's logic (CItemList). An item dragged inside its list moves there;
// dropped on another list of the same kind it is copied there; dropped
// anywhere else it goes to OnDropOutside (the panels' new and delete
// buttons).
#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/memory_graphic.h"
#include "ui/ui_sys_colors.h"

class QScrollBar;
class QTimer;

namespace pg {

class CItemList;
class TPopupBaseForm;

class TItemListView : public QWidget {
  Q_OBJECT
 public:
  explicit TItemListView(CItemList& list, QWidget* parent = nullptr);
  ~TItemListView() override;

  CItemList& list() { return list_; }
  // The press on the list (the layer and mask lists add their own rules);
  // by default the list's mouseDown.
  std::function<int32_t(int32_t x, int32_t y, uint32_t modifiers)> OnPress;
  // A drag of an item begins and ends (dropped or not); a drop outside the
  // list goes to OnDropOutside (the screen point), which answers whether it
  // took it.
  std::function<void()> OnDragStart;
  std::function<void()> OnDragEnd;
  std::function<bool(QPoint global)> OnDropOutside;
  // A right click on an item, and on the list off its items.
  std::function<void(int32_t index, QPoint global)> OnContextItem;
  std::function<void(QPoint global)> OnContextArea;
  // The arrow column of the compact styles drops the list's pop-up down
  // below the control: OnOpenPopup makes it (form nullptr for none) and
  // names the list inside it, which shows the same collection. While it is
  // open the two lists are bound (CItemList::bindPopup); it is freed when
  // it closes.
  struct SListPopup {
    TPopupBaseForm* form = nullptr;
    CItemList* list = nullptr;
  };
  std::function<SListPopup()> OnOpenPopup;
  TPopupBaseForm* popup() const;
  void openPopup();

  // The face as it was last composed (for tests and previews).
  const TMemoryGraphic& face();
  // Paints the face again from the list.
  void compose();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void drawCell(int32_t i);
  void drawArrowColumn();
  void drawDropButton();
  void syncScrollBar();
  void autoScroll();
  // The list of the same kind under a screen point, other than this one.
  TItemListView* dropTargetAt(QPoint global) const;

  CItemList& list_;
  TMemoryGraphic face_;
  TMemoryGraphic cell_;
  TUiSysColors colors_;
  QScrollBar* bar_ = nullptr;
  QTimer* scrollTimer_ = nullptr;
  QPoint lastMouse_;
  QPointer<TPopupBaseForm> popup_;
  QPointer<TItemListView> hoveredTarget_;
  bool syncing_ = false;
  bool dirty_ = true;
};

}  // namespace pg
