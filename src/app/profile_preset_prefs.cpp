#include "app/profile_preset_prefs.h"

namespace pg {

std::string& CProfilePresetPrefs::file(PresetSet set) const {
  switch (set) {
    case PresetSet::Gradients: return p_.gradFile2;
    case PresetSet::PenShapes: return p_.nibFile;
    case PresetSet::PenMethods: return p_.brushFile;
    case PresetSet::Palette: break;
  }
  return p_.palFile;
}

std::string& CProfilePresetPrefs::folder(PresetSet set) const {
  switch (set) {
    case PresetSet::Gradients: return p_.gradPath2;
    case PresetSet::PenShapes:
    case PresetSet::PenMethods: return p_.penPath;  // both pen sets share one folder
    case PresetSet::Palette: break;
  }
  return p_.palPath;
}

std::string CProfilePresetPrefs::presetFile(PresetSet set) const { return file(set); }

void CProfilePresetPrefs::setPresetFile(PresetSet set, const std::string& path) { file(set) = path; }

std::string CProfilePresetPrefs::presetFolder(PresetSet set) const { return folder(set); }

void CProfilePresetPrefs::setPresetFolder(PresetSet set, const std::string& f) { folder(set) = f; }

}  // namespace pg
