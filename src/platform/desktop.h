#pragma once
// What the program asks of the desktop outside its own windows: the state of
// the modifier keys and mouse buttons, whether a key is held, the mouse
// cursor, and the extent of the screens. The window system (Qt) implements
// IDesktop; without one (headless runs, tests) nothing is held, the cursor is
// only remembered, and there is no screen.
#include <cstdint>

namespace pg {

// Modifier-state bits.
enum : uint32_t {
  kModShift = 1,
  kModAlt = 2,
  kModCtrl = 4,
  kModLeftButton = 8,
  kModRightButton = 16,
  kModMiddleButton = 32,
};

// Virtual-key numbers the program asks about (the arrow keys are in
// system_helpers.h).
enum : int32_t {
  kVkLButton = 1,
  kVkRButton = 2,
  kVkMButton = 4,
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkShift = 16,
  kVkControl = 17,
  kVkMenu = 18,  // Alt
  kVkEscape = 27,
  kVkSpace = 32,
  kVkDelete = 46,
};

// System cursors by their numbers; 0 is no cursor of our own (the window's).
enum : int32_t {
  kCursorNone = 0,
  kCursorArrow = 32512,
  kCursorIBeam = 32513,
  kCursorWait = 32514,
  kCursorCross = 32515,
  kCursorUpArrow = 32516,
  kCursorSizeNWSE = 32642,
  kCursorSizeNESW = 32643,
  kCursorSizeWE = 32644,
  kCursorSizeNS = 32645,
  kCursorSizeAll = 32646,
  kCursorNo = 32648,
  kCursorHand = 32649,
  kCursorAppStarting = 32650,
  kCursorHelp = 32651,
};

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // The modifier-state bits at the time of the call.
  virtual uint32_t modifierState() = 0;
  // True when the key (a virtual-key number) is held at the time of the call.
  [[nodiscard]] virtual bool isKeyDown(int32_t vk) = 0;
  // Shows the system cursor (kCursorNone: the window's own) and answers the
  // one shown before.
  virtual int32_t setCursor(int32_t id) = 0;
  // The rectangle spanned by all screens; false when there is no screen.
  [[nodiscard]] virtual bool virtualScreen(int32_t& x, int32_t& y, int32_t& width, int32_t& height) = 0;
};

// Installs the desktop the free functions use (not owned); nullptr puts back
// the headless one. Answers the previous one.
IDesktop* setDesktop(IDesktop* desktop);
IDesktop& currentDesktop();

uint32_t getModifierState();
[[nodiscard]] bool isKeyDown(int32_t vk);
// Answers the cursor shown before, which the caller puts back with setSysCursor.
int32_t setSysCursor(int32_t id);
int32_t setWaitCursor();

}  // namespace pg
