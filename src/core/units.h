#pragma once
// Measurement units of image sizes: the size and resolution dialogs enter and
// show lengths in pixels, inches, centimetres, millimetres or per cent, and
// convert between the four length units at a resolution in pixels per inch.
// Results are single-precision, as the dialogs show them.
#include <cstdint>
#include <string_view>

namespace pg {

enum : int32_t { kUnitPixel = 0, kUnitInch = 1, kUnitCm = 2, kUnitMm = 3, kUnitPercent = 4, kUnitCount = 5 };

// "pixel", "inch", "cm", "mm", "%"; empty for other numbers.
std::string_view unitName(int32_t unit);
// "px", "in", "cm", "mm", "%"; empty for other numbers.
std::string_view unitLabel(int32_t unit);

// Converts a length between pixel, inch, cm and mm at res pixels per inch.
// Units are masked with 127 first. Per cent (and any other number) has no
// conversion, nor has a pixel length at a resolution that is not positive:
// the value then comes back unchanged.
float convertUnit(int32_t from, int32_t to, float res, float value);

// The image size limits, 8 and 10,000 pixels, in the unit at res.
void unitSizeLimits(float& min, float& max, int32_t unit, float res);

// The resolutions that keep an image of the given size (in inches) between 8
// and 10,000 pixels, within 72..600 pixels per inch: min = max(8 / size, 72),
// max = min(10000 / size, 600). A size that is not positive gives 72..600; a
// size so small that min would pass max gives max for both.
void resolutionLimitsForSize(float& min, float& max, float sizeInches);

}  // namespace pg
