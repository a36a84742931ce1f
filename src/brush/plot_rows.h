#pragma once
// Row plotting: a run of coverage bytes along one row handed to the plot
// slots at once. The dab rasterisers compute a row of coverage and plot it
// here, so that the common slot settings (no tone, no gradient; with or
// without a selection; one of the usual merges) run as one inlined loop
// instead of two indirect calls per pixel.
//
// Every row plotter gives exactly the pixels that plotProc32 called once per
// pixel gives (reference::plotRow32), and writes only the n pixels it is given.
#include <cstdint>

#include "brush/plot_state.h"

namespace pg {

// Pixel i (0 <= i < n) of the row is row[i], at layer coordinates (x0 + i, y),
// with coverage cov[i]; colour in pixel order.
using RowPlot32 = void (*)(const SPlotter& s, uint32_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, uint32_t colour);
// The same for an 8-bit plane through plotProc8.
using RowPlot8 = void (*)(const SPlotter& s, uint8_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, uint32_t value);

// The row plotter for the plotter: a specialised loop when plotProc32 is the
// direct or the selection call-back, else the reference. Look it up once per
// dab and hand it the same plotter.
[[nodiscard]] RowPlot32 rowPlotter32(const SPlotter& s);
[[nodiscard]] RowPlot8 rowPlotter8(const SPlotter& s);

namespace reference {
// plotProc32 for each pixel, coverage 0 included.
void plotRow32(const SPlotter& s, uint32_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, uint32_t colour);
// plotProc8 for each pixel, coverage 0 included.
void plotRow8(const SPlotter& s, uint8_t* row, int32_t x0, int32_t y, const uint8_t* cov, int32_t n, uint32_t value);
}  // namespace reference

}  // namespace pg
