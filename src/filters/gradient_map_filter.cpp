#include "filters/gradient_map_filter.h"

#include "document/paper_gradient.h"

#include "brush/gradient.h"
#include "core/colour.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/kernel_loops.h"

namespace pg {

void buildGradientMapTable(const CColorSlotGroup& stops, bool reverse, std::array<uint32_t, 256>& table) {
  CGradation g(&stops);
  g.setPoints(SFixPoint{0, 0}, SFixPoint{510 << 16, 0});
  for (int32_t i = 0; i < 256; ++i) {
    // The gradient answers red low; the table is in pixel order.
    const uint32_t c = colorToPixel(g.evaluate(2 * i + 1, 0));
    table[static_cast<size_t>(reverse ? 255 - i : i)] = c;
  }
}

bool gradientMap4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (!isValidContext(ctx) || param == nullptr || size != static_cast<int32_t>(SFltGradientMap::kSize))
    return false;
  const auto& rec = *static_cast<const SFltGradientMap*>(param);
  if (rec.Gradient == nullptr) return false;
  std::array<uint32_t, 256> table;
  buildGradientMapTable(*rec.Gradient, rec.Reverse != 0, table);
  return applyGreyMapAlphaLut(ctx, table.data(), rec.KeepAlpha != 0);
}

bool gradientMapRecord(const std::vector<uint8_t>& bytes, uint8_t keepAlpha, CColorSlotGroup& stops,
                       SFltGradientMap& out, const CColorSlotGroup* from) {
  if (from == nullptr) {
    const CGradObj* active = docGradientLink().activeGradient();
    if (active != nullptr) from = &active->Stops;
  }
  if (from == nullptr || bytes.size() != kGradientMapCommandBytes) return false;
  stops = *from;
  (void)stops.normalize();  // stops whose weights add to 0 stay as given
  initGradientMapRecord(out);
  out.Gradient = &stops;
  out.Reverse = bytes[0] != 0 ? 1 : 0;
  out.KeepAlpha = keepAlpha != 0 ? 1 : 0;
  return true;
}

namespace {
std::optional<CColorSlotGroup>& chosenGradient() {
  static std::optional<CColorSlotGroup> chosen;
  return chosen;
}
}  // namespace

void keepChosenGradient(const CColorSlotGroup& stops) { chosenGradient() = stops; }

std::optional<CColorSlotGroup> takeChosenGradient() {
  std::optional<CColorSlotGroup> taken;
  taken.swap(chosenGradient());
  return taken;
}

}  // namespace pg
