// The filter dialogs' preview protocol over fake controls and a fake clock.
#include <gtest/gtest.h>

#include "filters/filter_dialog_protocol.h"

namespace pg {
namespace {

struct FakeDialog {
  uint64_t now = 1000;
  uint8_t control = 0;     // what the "controls" show
  uint8_t remembered = 7;  // what writeControls puts in them
  EPreviewRequest answer = EPreviewRequest::Later;
  std::vector<std::vector<uint8_t>> previews;  // records the canvas preview ran
  int ends = 0;
  int frames = 0;
  CFilterDialogProtocol protocol;

  FakeDialog()
      : protocol(
            SFilterDialogHooks{
                [this] { protocol.current = {control}; },
                [this] { control = remembered; },
                [this](int) { return answer; },
                [this](const std::vector<uint8_t>& r) { previews.push_back(r); },
                [this] { ++ends; },
                [this] { ++frames; },
                {},
            },
            [this] { return now; }) {}

  void change(uint8_t v) {
    control = v;
    protocol.valueChange(0);
  }
  // Ticks every 100 ms for ms milliseconds.
  void wait(uint64_t ms) {
    for (uint64_t t = 0; t < ms; t += 100) {
      now += 100;
      protocol.timerTick();
    }
  }
};

TEST(FilterDialogProtocol, AttachFillsTheControlsAndReadsThemBack) {
  FakeDialog d;
  EXPECT_FALSE(d.protocol.attach(false, true));
  EXPECT_EQ(d.control, 0);
  ASSERT_TRUE(d.protocol.attach(true, true));
  EXPECT_EQ(d.protocol.current, std::vector<uint8_t>{7});
  EXPECT_TRUE(d.protocol.previewChecked());
  // Showing forces one refresh even though nothing changed.
  d.protocol.shown();
  ASSERT_EQ(d.previews.size(), 1u);
  EXPECT_EQ(d.previews[0], std::vector<uint8_t>{7});
  EXPECT_EQ(d.frames, 1);
}

TEST(FilterDialogProtocol, AnUncheckedBoxShowsNoCanvasPreviewUntilChecked) {
  FakeDialog d;
  d.answer = EPreviewRequest::Now;
  ASSERT_TRUE(d.protocol.attach(true, false));
  d.protocol.shown();
  d.change(9);
  EXPECT_TRUE(d.previews.empty());
  // The frame follows every refresh, checked or not.
  EXPECT_EQ(d.frames, 2);
  // Checking previews at once, with no control changed.
  d.protocol.previewClicked(true);
  ASSERT_EQ(d.previews.size(), 1u);
  EXPECT_EQ(d.previews[0], std::vector<uint8_t>{9});
  // Unchecking ends the preview.
  d.protocol.previewClicked(false);
  EXPECT_EQ(d.ends, 1);
}

TEST(FilterDialogProtocol, DraggingPreviewsOnceTheDelayAfterTheLastChange) {
  FakeDialog d;
  ASSERT_TRUE(d.protocol.attach(true, true));
  d.protocol.shown();
  d.previews.clear();
  // A drag: a change every 100 ms for two seconds.
  for (uint8_t v = 10; v < 30; ++v) {
    d.change(v);
    d.wait(100);
  }
  EXPECT_TRUE(d.previews.empty());
  EXPECT_TRUE(d.protocol.timerOn());
  d.wait(500);
  EXPECT_TRUE(d.previews.empty());
  d.wait(200);
  ASSERT_EQ(d.previews.size(), 1u);
  EXPECT_EQ(d.previews[0], std::vector<uint8_t>{29});
  EXPECT_FALSE(d.protocol.timerOn());
  // Nothing more happens while nothing changes.
  d.wait(2000);
  EXPECT_EQ(d.previews.size(), 1u);
}

TEST(FilterDialogProtocol, RequestsOfTheControls) {
  struct Case {
    EPreviewRequest answer;
    size_t previewsAtOnce;
    bool timer;
  };
  const Case cases[] = {
      {EPreviewRequest::None, 0, false},
      {EPreviewRequest::Now, 1, false},
      {EPreviewRequest::Later, 0, true},
  };
  for (const Case& c : cases) {
    FakeDialog d;
    ASSERT_TRUE(d.protocol.attach(true, true));
    d.protocol.shown();
    d.previews.clear();
    d.answer = c.answer;
    d.change(42);
    EXPECT_EQ(d.previews.size(), c.previewsAtOnce) << int(c.answer);
    EXPECT_EQ(d.protocol.timerOn(), c.timer) << int(c.answer);
  }
}

TEST(FilterDialogProtocol, AnUnchangedRecordIsNotPreviewedAgain) {
  FakeDialog d;
  d.answer = EPreviewRequest::Now;
  ASSERT_TRUE(d.protocol.attach(true, true));
  d.protocol.shown();
  d.change(7);  // the same value as shown
  EXPECT_EQ(d.previews.size(), 1u);
  d.change(8);
  EXPECT_EQ(d.previews.size(), 2u);
}

TEST(FilterDialogProtocol, ChangesWhileTheDialogSetsItsControlsAreIgnored) {
  FakeDialog d;
  int asked = 0;
  CFilterDialogProtocol* p = &d.protocol;
  // writeControls fires the change handler, as a real control would.
  d.protocol = CFilterDialogProtocol(
      SFilterDialogHooks{[&] { p->current = {d.control}; }, [&] { p->valueChange(0); },
                         [&](int) { ++asked; return EPreviewRequest::Now; }, {}, {}, {}, {}},
      [&] { return d.now; });
  ASSERT_TRUE(p->attach(true, true));
  EXPECT_EQ(asked, 0);
}

TEST(FilterDialogProtocol, TheDelayHoldsAcrossAClockWrap) {
  FakeDialog d;
  d.now = UINT64_MAX - 300;
  ASSERT_TRUE(d.protocol.attach(true, true));
  d.protocol.shown();
  d.previews.clear();
  d.change(5);
  d.wait(600);
  EXPECT_TRUE(d.previews.empty());
  d.wait(200);
  EXPECT_EQ(d.previews.size(), 1u);
}

}  // namespace
}  // namespace pg
