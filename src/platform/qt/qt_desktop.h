#pragma once
// The desktop over Qt: modifier and mouse-button state, held keys (followed
// through the application's key events, since no global key query exists),
// the override cursor and the screens' extent. Create it once the
// application object exists and install it with setDesktop().
#include <QObject>

#include <set>

#include "platform/desktop.h"

namespace pg {

class CQtDesktop final : public QObject, public IDesktop {
 public:
  explicit CQtDesktop(QObject* parent = nullptr);
  ~CQtDesktop() override;

  uint32_t modifierState() override;
  bool isKeyDown(int32_t vk) override;
  int32_t setCursor(int32_t id) override;
  [[nodiscard]] bool virtualScreen(int32_t& x, int32_t& y, int32_t& width, int32_t& height) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::set<int32_t> down_;
  int32_t cursor_ = kCursorNone;
};

// The virtual-key number of a Qt key; 0 for keys the program never asks about.
int32_t virtualKeyOf(int qtKey);

}  // namespace pg
