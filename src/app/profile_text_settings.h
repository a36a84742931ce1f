#pragma once
// The text tool's settings kept in the preferences' "font" section, so that
// they come back at the next start.
#include "canvas/text_tool.h"

namespace pg {

class CAppProfile;

class CProfileTextSettings final : public ITextToolSettingsStore {
 public:
  explicit CProfileTextSettings(CAppProfile& profile) : profile_(profile) {}
  STextToolSettings load() const override;
  void save(const STextToolSettings& settings) override;

 private:
  CAppProfile& profile_;
  STextToolSettings session_;  // what the preferences do not keep
};

}  // namespace pg
