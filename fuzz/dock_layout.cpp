// The saved panel layout over arbitrary bytes: a refused text leaves the
// arrangement as it was; a taken one stays within the caps and writes back to
// a text that is taken again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/dock_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pg::TRect screen{0, 0, 1920, 1080};
  pg::CDockModel m;
  const char* names[] = {"OptionView", "NavigatorView", "InfomationView", "ColorView", "SwatchView",
                         "BrushListView", "LayerView", "MaskView", "EventView"};
  int32_t group = 0;
  for (const char* n : names) {
    pg::SDockView v;
    v.name = n;
    v.defaultGroup = group++ / 3;
    v.maxHeight = group == 1 ? 192 : 0;
    if (m.registerView(v) < 0) std::abort();
  }
  if (!m.addPinnedForm({0, 0, 60, 500})) std::abort();
  m.defaultArrangement({0, 0, 1920, 1080});
  const std::string before = m.saveLayout(screen);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!m.restoreLayout(text, screen)) {
    if (m.saveLayout(screen) != before) std::abort();
    return 0;
  }
  if (m.floatingFormCount() > pg::kDockMaxForms || m.totalPanes() > pg::kDockMaxPanes) std::abort();
  const std::string saved = m.saveLayout(screen);
  if (!m.restoreLayout(saved, screen) || m.saveLayout(screen) != saved) std::abort();
  m.floatUnplaced({0, 0, 1920, 1080});
  return 0;
}
