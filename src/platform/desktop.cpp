#include "platform/desktop.h"

#include <utility>

namespace pg {

namespace {

// No keyboard, no mouse, no screen; the cursor is only remembered.
class HeadlessDesktop final : public IDesktop {
 public:
  uint32_t modifierState() override { return 0; }
  bool isKeyDown(int32_t) override { return false; }
  int32_t setCursor(int32_t id) override { return std::exchange(cursor_, id); }
  bool virtualScreen(int32_t&, int32_t&, int32_t&, int32_t&) override { return false; }

 private:
  int32_t cursor_ = kCursorNone;
};

IDesktop*& installed() {
  static IDesktop* desktop = nullptr;
  return desktop;
}

}  // namespace

IDesktop* setDesktop(IDesktop* desktop) { return std::exchange(installed(), desktop); }

IDesktop& currentDesktop() {
  static HeadlessDesktop headless;
  return installed() ? *installed() : headless;
}

uint32_t getModifierState() { return currentDesktop().modifierState(); }
bool isKeyDown(int32_t vk) { return currentDesktop().isKeyDown(vk); }
int32_t setSysCursor(int32_t id) { return currentDesktop().setCursor(id); }
int32_t setWaitCursor() { return setSysCursor(kCursorWait); }

}  // namespace pg
