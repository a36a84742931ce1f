#pragma once
// The new-document dialog without its widgets: the list of paper types (a
// custom size, five user presets kept in the preferences, screen sizes and
// paper sizes), the size in one of four units at a resolution, the
// orientation and the background, and the result in pixels.
//
// Units are those of core/units.h: 0 pixel, 1 inch, 2 cm, 3 mm. Sizes stay
// between 8 and 10,000 pixels; the resolution between 72 and 600 pixels per
// inch, and within that as far as keeps the size inside its pixel limits.
#include <array>
#include <cstdint>

#include "app/paper_preset.h"
#include <string>
#include <string_view>

namespace pg {

inline constexpr int kUserPaperPresetCount = 5;
inline constexpr int32_t kMaxDocumentSide = 10000;


// A preset read from the preferences made usable: an unknown unit becomes
// pixel, a resolution outside 1..10,000 becomes 72, a size that is not a
// positive number takes the default's.
SPaperPreset sanitizedPaperPreset(const SPaperPreset& stored);

enum class PaperTypeKind : uint8_t { Separator, Custom, User, Fixed };

struct SPaperType {
  PaperTypeKind kind;
  std::string_view name;
  int32_t unit;
  float resolution;
  float longSide;   // in the unit
  float shortSide;  // in the unit
  int userIndex;    // 0..4 for the user presets, else -1
};

// The type list with its separators: 50 positions.
int paperTypeCount();
const SPaperType& paperType(int position);  // position clamped into the list

// The list position of a type by its name; -1 when no type has it.
int findPaperTypeByName(std::string_view name);
// The name a paper type shows: from the string tables where the name is a
// word rather than a size code.
std::string paperTypeCaption(std::string_view name);

// The first fixed preset, from the screen sizes on, whose size in pixels
// (each side converted at the preset's resolution and rounded by adding 0.5)
// equals the given sides in either orientation; -1 when none does.
int findFixedPaperType(int32_t widthPixels, int32_t heightPixels);

// What the dialog answers.
struct SNewDocumentSettings {
  std::string fileName;
  int32_t width = 0;       // pixels
  int32_t height = 0;      // pixels
  int32_t resolution = 0;  // pixels per inch
  bool transparent = false;
};

class CNewDocumentModel {
 public:
  // The five stored user presets, and the size of the image on the
  // clipboard (0 x 0 when there is none), which becomes the custom size.
  CNewDocumentModel(const std::array<SPaperPreset, kUserPaperPresetCount>& userPresets, int32_t clipboardWidth,
                    int32_t clipboardHeight);

  int typePosition() const { return type_; }
  // Selects a list position and applies it; a separator is passed over in
  // the direction the selection moved.
  void selectType(int position);

  int32_t unit() const { return unit_; }
  float resolution() const { return resolution_; }
  float width() const { return width_; }  // in the unit
  float height() const { return height_; }
  bool landscape() const { return landscape_; }
  bool transparent() const { return transparent_; }

  // Edits. The size keeps its pixels across a unit change and its length in
  // the unit across a resolution change; every value is clamped to its limits.
  void setUnit(int32_t unit);
  void setResolution(float resolution);
  void setWidth(float width);
  void setHeight(float height);
  void setLandscape(bool landscape);
  void setTransparent(bool transparent);

  void sizeLimits(float& min, float& max) const;
  void resolutionLimits(float& min, float& max) const;

  int32_t pixelWidth() const { return toPixels(width_); }
  int32_t pixelHeight() const { return toPixels(height_); }
  SNewDocumentSettings result(const std::string& fileName) const;

  // The user presets as edited; the dialog writes them back to the
  // preferences whether it was confirmed or not.
  const std::array<SPaperPreset, kUserPaperPresetCount>& userPresets() const { return user_; }

  // A length as the edits show it: up to six significant digits, or whole
  // pixels.
  std::string lengthText(float value) const;
  // The size shown beside a type's name: "<width> <unit> <height> <unit>".
  std::string typeSizeText(int position) const;

 private:
  int32_t toPixels(float length) const;
  void applyType();
  void clampAll();
  // After an edit: a selected user preset takes the new values; otherwise the
  // selection follows to the fixed preset of that size, or to the custom size.
  void afterEdit();
  // The orientation shown follows sizes typed in.
  void followOrientation();
  void setSide(float& side, float length);

  std::array<SPaperPreset, kUserPaperPresetCount> user_;
  SPaperPreset custom_;
  int type_ = 0;
  int32_t unit_ = 0;
  float resolution_ = 72.0f;
  float width_ = 512.0f;
  float height_ = 512.0f;
  bool landscape_ = true;
  bool transparent_ = false;
};

}  // namespace pg
