#include "toolwin/tool_button_clicks.h"

#include <gtest/gtest.h>

#include <string>

namespace pg {
namespace {

struct LoggingView final : IViewCommands {
  void resetViewRotation() override { log += "upright "; }
  void zoomToFit() override { log += "fit "; }
  void zoomOneToOne() override { log += "1:1 "; }
  std::string log;
};

TEST(ToolButtonClicks, HandFitsAndZoomShowsOneToOne) {
  struct {
    int button;
    bool rotGrab, rotZoom;
    const char* log;
  } cases[] = {
      {kHandButton, true, false, "upright fit "}, {kHandButton, false, true, "fit "},
      {kZoomButton, false, true, "upright 1:1 "}, {kZoomButton, true, false, "1:1 "},
      {0, true, true, ""},                        {13, true, true, ""},
  };
  for (const auto& c : cases) {
    LoggingView view;
    toolButtonDoubleClicked(c.button, {c.rotGrab, c.rotZoom}, &view);
    EXPECT_EQ(view.log, c.log) << c.button;
  }
  toolButtonDoubleClicked(kHandButton, {}, nullptr);  // no window: nothing to do
}

}  // namespace
}  // namespace pg
