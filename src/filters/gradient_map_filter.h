#pragma once
// Gradient map: each pixel's colour is replaced by the colour a gradient has
// at the pixel's grey level. The record (filter_params.h) refers to the
// stops of the chosen gradient; they travel with the event apart from it.
#include <array>
#include <cstdint>

namespace pg {

class CColorSlotGroup;
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
bool gradientMap4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
