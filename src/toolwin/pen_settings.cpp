#include "toolwin/pen_settings.h"

#include <string>

#include "brush/paint_param_kinds.h"
#include "platform/settings_store.h"

namespace pg {

CPenSettingTable::CPenSettingTable() { resetToDefaults(); }

SPenSetting* CPenSettingTable::record(int32_t row, int32_t variant) {
  if (row < 0 || row >= kPenSettingKinds || variant < 1 || variant > kPenSettingVariants) return nullptr;
  return &records_[static_cast<size_t>(row)][static_cast<size_t>(variant - 1)];
}

const SPenSetting* CPenSettingTable::record(int32_t row, int32_t variant) const {
  return const_cast<CPenSettingTable*>(this)->record(row, variant);
}

void CPenSettingTable::resetToDefaults() {
  for (int32_t row = 0; row < kPenSettingKinds; ++row)
    for (auto& rec : records_[static_cast<size_t>(row)]) {
      rec = SPenSetting{};
      (void)strokeDefaults(rec, penSettingIndexOf(static_cast<uint32_t>(row)));  // every row is a known kind
    }
}

bool CPenSettingTable::readPenSettings(CSettingsStore& store, std::string_view root) {
  for (int32_t row = 0; row < kPenSettingKinds; ++row) {
    uint32_t kind = penSettingIndexOf(static_cast<uint32_t>(row));
    for (int32_t n = 1; n <= kPenSettingVariants; ++n) {
      SPenSetting& rec = *record(row, n);
      rec = SPenSetting{};
      (void)strokeDefaults(rec, kind);  // every row is a known kind
      std::string key;
      if (!penSettingKey(kind, n, root, key)) continue;
      CSettingsKey reg(store);
      if (!reg.openKey(key, false)) continue;
      // A record is taken whole or not at all.
      SPenSetting read = rec;
      if (readPenSetting(reg, read)) rec = read;
    }
  }
  return true;
}

bool CPenSettingTable::writePenSettings(CSettingsStore& store, std::string_view root) const {
  bool ok = true;
  for (int32_t row = 0; row < kPenSettingKinds; ++row) {
    uint32_t kind = penSettingIndexOf(static_cast<uint32_t>(row));
    for (int32_t n = 1; n <= kPenSettingVariants; ++n) {
      std::string key;
      CSettingsKey reg(store);
      if (!penSettingKey(kind, n, root, key) || !reg.openKey(key, true) || !writePenSetting(reg, *record(row, n)))
        ok = false;
    }
  }
  return ok;
}

}  // namespace pg
