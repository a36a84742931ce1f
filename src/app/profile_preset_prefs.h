#pragma once
// The preset sets' preferences over the program's profile: the current file
// and the folder of each set, the program folder the shipped sets sit
// beside, and the two current colours the gradients take.
#include "app/app_profile.h"
#include "io/preset_common.h"

namespace pg {

class CProfilePresetPrefs final : public IPresetPrefs {
 public:
  explicit CProfilePresetPrefs(CAppProfile& profile) : p_(profile) {}
  std::string presetFile(PresetSet set) const override;
  void setPresetFile(PresetSet set, const std::string& path) override;
  std::string presetFolder(PresetSet set) const override;
  void setPresetFolder(PresetSet set, const std::string& folder) override;
  std::string programFolder() const override { return p_.programFolder; }
  TColor foregroundColor() const override { return p_.fgCol & 0xFFFFFFu; }
  TColor backgroundColor() const override { return p_.bgCol & 0xFFFFFFu; }

 private:
  std::string& file(PresetSet set) const;
  std::string& folder(PresetSet set) const;
  CAppProfile& p_;
};

}  // namespace pg
