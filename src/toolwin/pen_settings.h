#pragma once
// The five numbered variants of the stroke settings of each of the eight
// stroke tools, and their place in the settings store: the key
// "<root>\penSetting\<tool name><n>" for variant n = 1..5. Reading starts
// every record from the tool's defaults; a key that is missing, or whose
// values are incomplete, leaves the defaults whole.
#include <array>
#include <cstdint>
#include <string_view>

#include "brush/stroke_settings.h"

namespace pg {

class CSettingsStore;

inline constexpr int32_t kPenSettingKinds = 8;
inline constexpr int32_t kPenSettingVariants = 5;

class CPenSettingTable {
 public:
  CPenSettingTable();
  // Row 0..7 (the stroke tools in list order), variant 1..5; nullptr outside.
  [[nodiscard]] SPenSetting* record(int32_t row, int32_t variant);
  const SPenSetting* record(int32_t row, int32_t variant) const;
  // Every record := its tool's defaults.
  void resetToDefaults();
  // Reads all forty records; false only when the store cannot be read.
  [[nodiscard]] bool readPenSettings(CSettingsStore& store, std::string_view root);
  // Writes all forty records (creating the keys); false when any failed.
  [[nodiscard]] bool writePenSettings(CSettingsStore& store, std::string_view root) const;

 private:
  std::array<std::array<SPenSetting, kPenSettingVariants>, kPenSettingKinds> records_{};
};

}  // namespace pg
