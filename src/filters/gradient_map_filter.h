#pragma once
// Gradient map: each pixel's colour is replaced by the colour a gradient has
// at the pixel's grey level. The record (filter_params.h) refers to the
// stops of the chosen gradient; they travel with the event apart from it.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "brush/gradient.h"
#include "filters/filter_params.h"

namespace pg {

struct SFlt4Context;

// Entry i (pixel order B, G, R, A, alpha the stop opacity): the colour of a
// straight gradient over the stops from (0, 0) to (510, 0) at pixel (2i + 1,
// 0), stored at 255 - i when reverse is set.
void buildGradientMapTable(const CColorSlotGroup& stops, bool reverse, std::array<uint32_t, 256>& table);

// BGRA8: colour = table[grey(p)] with alpha table[p.A].A, written by the
// selection weight; the record's keep-alpha byte keeps the pixel's alpha
// (colour bytes only), else the colour is blended over with the alphas
// combined. param is the in-memory SFltGradientMap (its stops a pointer),
// size its wire size 14; false without stops.
[[nodiscard]] bool gradientMap4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// The command's parameter bytes: the reverse flag alone. The stops are the
// tool window's active gradient when the filter runs (a preview, apply or a
// repeat), and the keep-alpha byte the layer's protect flag then.
inline constexpr size_t kGradientMapCommandBytes = 1;
// The record over the stops of `from` (copied into stops), by default the
// active gradient's; false without stops.
[[nodiscard]] bool gradientMapRecord(const std::vector<uint8_t>& bytes, uint8_t keepAlpha, CColorSlotGroup& stops,
                       SFltGradientMap& out, const CColorSlotGroup* from = nullptr);

// The gradient the dialog's OK chose. The dialog's list gives the tool
// window its own choice back as it closes, before the filter runs, so the
// choice travels here to the application that follows; taken once.
void keepChosenGradient(const CColorSlotGroup& stops);
[[nodiscard]] std::optional<CColorSlotGroup> takeChosenGradient();

}  // namespace pg
