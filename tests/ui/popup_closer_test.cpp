#include "ui/popup_closer.h"

#include <gtest/gtest.h>

#include "platform/desktop.h"

namespace pg {
namespace {

TEST(PopupCloser, KeysClickOutsideAndDeactivation) {
  CPopupCloser c;
  c.open(false, 0);
  struct {
    int32_t vk;
    int32_t result;
  } keys[] = {{kVkTab, kPopupAccept}, {kVkReturn, kPopupAccept}, {kVkSpace, kPopupAccept},
              {kVkEscape, kPopupCancel}, {'A', kPopupOpen}, {kVkDelete, kPopupOpen}};
  for (const auto& k : keys) {
    EXPECT_EQ(c.key(k.vk, false), k.result) << k.vk;
    EXPECT_EQ(c.key(k.vk, true), kPopupOpen) << "modal form showing, key " << k.vk;
  }
  EXPECT_EQ(c.press(true, false), kPopupAccept);
  EXPECT_EQ(c.press(false, false), kPopupOpen);
  EXPECT_EQ(c.press(true, true), kPopupOpen);
  EXPECT_EQ(c.deactivate(false), kPopupAccept);
  EXPECT_EQ(c.deactivate(true), kPopupOpen);
  EXPECT_TRUE(c.swallowShortcut(false));
  EXPECT_FALSE(c.swallowShortcut(true));
  // Without press-and-hold a release never closes.
  EXPECT_EQ(c.release(5000, false), kPopupOpen);
}

TEST(PopupCloser, PressAndHoldReleaseAtTheThreshold) {
  struct {
    uint32_t openedAt;
    uint32_t releasedAt;
    int32_t result;
    bool holdAfter;
  } cases[] = {
      {100, 1099, kPopupOpen, false},   // 999 ms: quick click, now an ordinary pop-up
      {100, 1100, kPopupAccept, true},  // 1000 ms: pressed, dragged, released
      {0xFFFFFF00u, 0x000002E8u, kPopupAccept, true},  // 1000 ms across the clock's wrap
      {0xFFFFFF00u, 0x000002E7u, kPopupOpen, false},
  };
  for (const auto& k : cases) {
    CPopupCloser c;
    c.open(true, k.openedAt);
    EXPECT_EQ(c.release(k.releasedAt, false), k.result) << k.releasedAt;
    EXPECT_EQ(c.pressAndHold(), k.holdAfter);
  }
  CPopupCloser c;
  c.open(true, 0);
  EXPECT_EQ(c.release(5000, true), kPopupOpen) << "a modal form showing";
  EXPECT_EQ(c.release(10, false), kPopupOpen);
  EXPECT_EQ(c.release(5000, false), kPopupOpen) << "after the quick release, releases are ignored";
}

}  // namespace
}  // namespace pg
