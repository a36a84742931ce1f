#include "app/app_profile.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "app/profile_items.h"
#include "platform/debug_output.h"
#include "platform/settings_store.h"

namespace pg {

namespace {

constexpr std::array<ProfileSection, 6> kSectionOrder = {ProfileSection::FileIO, ProfileSection::Config,
                                                         ProfileSection::Color,  ProfileSection::Paper,
                                                         ProfileSection::Window, ProfileSection::Font};

// Linux has no code pages or locale numbers: the text is UTF-8 throughout,
// and the locale number follows the language of the environment.
constexpr uint32_t kCodePageUtf8 = 65001;

uint32_t localeFromEnvironment() {
  const char* lang = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) {
      lang = v;
      break;
    }
  }
  std::string_view l = lang ? lang : "";
  if (l.starts_with("ja")) return 0x0411;
  if (l.starts_with("ko")) return 0x0412;
  return 0x0409;
}

std::string environmentFolder(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  if (v && v[0] == '/') return v;
  return fallback;
}

std::string homeFolderOfUser() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  const passwd* pw = ::getpwuid(::getuid());
  return pw && pw->pw_dir && pw->pw_dir[0] == '/' ? pw->pw_dir : "/";
}

// ------------------------------------------------------------ reading values

double clampTo(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

std::string textDefault(const CAppProfile& p, TextDefault d) {
  switch (d) {
    case TextDefault::Empty: return {};
    case TextDefault::HomeFolder: return p.homeFolder;
    case TextDefault::PresetFolder: return p.presetFolder();
  }
  return {};
}

double numberDefault(const CAppProfile& p, ItemRule rule, double def) {
  switch (rule) {
    case ItemRule::CodePage: return static_cast<int32_t>(p.ansiCodePage);
    case ItemRule::Locale: return static_cast<int32_t>(p.userLocale);
    default: return def;
  }
}

// The range of an item; the main window's extent follows the screen.
void rangeOf(const CAppProfile& p, ItemRule rule, double& hi) {
  if (rule != ItemRule::ScreenWidth && rule != ItemRule::ScreenHeight) return;
  const int32_t screen = rule == ItemRule::ScreenWidth ? p.screenWidth : p.screenHeight;
  if (screen > 0) hi = std::max(200, screen);
}

// An integer clamped to its range; the main window's extent is -1 (not set)
// when negative and at least 200 otherwise.
int64_t clampInteger(int64_t v, ItemRule rule, double lo, double hi) {
  if (rule == ItemRule::ScreenWidth || rule == ItemRule::ScreenHeight) {
    if (v < 0) return -1;
    lo = 200;
  }
  return static_cast<int64_t>(clampTo(static_cast<double>(v), lo, hi));
}

template <class Owner>
void applyDefault(const CAppProfile& p, Owner& owner, const ItemSpec<Owner>& item) {
  const double def = numberDefault(p, item.rule, item.def);
  std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(owner.*member)>;
        if constexpr (std::is_same_v<T, std::string>)
          owner.*member = textDefault(p, item.text);
        else if constexpr (std::is_same_v<T, bool>)
          owner.*member = def != 0;
        else
          owner.*member = static_cast<T>(def);
      },
      item.field);
}

// Reads one value into its field: the stored value clamped to its range, or
// the default when it is missing, of another kind or unusable.
template <class Owner>
void readItem(const CSettingsKey& reg, const std::string& name, const CAppProfile& p, Owner& owner,
              const ItemSpec<Owner>& item) {
  if (item.rule == ItemRule::WriteOnly) return;
  double lo = item.lo, hi = item.hi;
  rangeOf(p, item.rule, hi);
  bool taken = false;
  std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(owner.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          std::string s;
          if (reg.readString(name, s) && s.size() <= kMaxProfileText && s.find('\0') == std::string::npos) {
            owner.*member = std::move(s);
            taken = true;
          }
        } else if constexpr (std::is_same_v<T, float>) {
          double d = 0;
          if (reg.readFloat(name, d) && std::isfinite(d)) {
            owner.*member = static_cast<float>(clampTo(d, lo, hi));
            taken = true;
          }
        } else {
          int32_t i = 0;
          if (reg.readInteger(name, i)) {
            if constexpr (std::is_same_v<T, bool>) {
              owner.*member = i != 0;
            } else if constexpr (std::is_same_v<T, uint32_t>) {
              owner.*member = static_cast<uint32_t>(clampTo(static_cast<uint32_t>(i), lo, hi));
            } else {
              owner.*member = static_cast<int32_t>(clampInteger(i, item.rule, lo, hi));
            }
            taken = true;
          }
        }
      },
      item.field);
  if (!taken) applyDefault(p, owner, item);
}

// Writes values into one section of the store without saving the store: the
// profile saves it once, after the last section.
class SectionWriter {
 public:
  SectionWriter(CSettingsStore& store, std::string path) : store_(store), path_(std::move(path)) {}
  bool writeInteger(std::string_view name, int32_t v) { return store_.setValue(path_, name, v); }
  bool writeString(std::string_view name, std::string_view v) { return store_.setValue(path_, name, std::string(v)); }
  // A little-endian IEEE double, as the store's readers expect.
  bool writeFloat(std::string_view name, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    std::vector<uint8_t> bytes(8);
    for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    return store_.setValue(path_, name, std::move(bytes));
  }
  void deleteValue(std::string_view name) {
    (void)store_.deleteValue(path_, name);  // a value that is not there is as good as deleted
  }

 private:
  CSettingsStore& store_;
  std::string path_;
};

template <class Owner>
bool writeItem(SectionWriter& reg, const std::string& name, const CAppProfile& p, const Owner& owner,
               const ItemSpec<Owner>& item) {
  if (item.rule == ItemRule::CodePage) return reg.writeInteger(name, static_cast<int32_t>(p.ansiCodePage));
  if (item.rule == ItemRule::Locale) return reg.writeInteger(name, static_cast<int32_t>(p.userLocale));
  return std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(owner.*member)>;
        const T& v = owner.*member;
        if constexpr (std::is_same_v<T, std::string>)
          return reg.writeString(name, v);
        else if constexpr (std::is_same_v<T, float>)
          return reg.writeFloat(name, static_cast<double>(v));
        else if constexpr (std::is_same_v<T, bool>)
          return reg.writeInteger(name, v ? 1 : 0);
        else
          return reg.writeInteger(name, static_cast<int32_t>(v));
      },
      item.field);
}

std::string paperKey(std::string_view key, int i) { return std::string(key) + std::to_string(i); }
std::string indexedKey(std::string_view prefix, int i, std::string_view key) {
  return std::string(prefix) + std::to_string(i) + std::string(key);
}
std::string viewKey(int v, std::string_view key) { return std::string(kDockViewNames[size_t(v)]) + std::string(key); }

// ------------------------------------------------------------- the sections

void loadFloatLayout(const CSettingsKey& reg, CAppProfile& p) {
  int32_t count = 0;
  if (!reg.readInteger(kFloatFormCountKey, count)) count = 0;
  p.FloatFormCount = std::clamp(count, 0, kMaxFloatForms);
  int pane = 0;
  for (int f = 0; f < p.FloatFormCount; ++f) {
    SFloatFormRec& form = p.floatForms[size_t(f)];
    // A window without its pane count keeps its record, and its panes are not read.
    if (!reg.valueExists(indexedKey(kFloatFormPrefix, f, "PaneCount"))) continue;
    for (const auto& item : floatFormItems()) readItem(reg, indexedKey(kFloatFormPrefix, f, item.key), p, form, item);
    // Pane records are numbered across the windows; the room for them is shared.
    form.PaneCount = std::min(form.PaneCount, kMaxFloatPanes - pane);
    for (int k = 0; k < form.PaneCount; ++k, ++pane)
      for (const auto& item : floatPaneItems())
        readItem(reg, indexedKey(kFloatPanePrefix, pane, item.key), p, p.floatPanes[size_t(pane)], item);
  }
}

[[nodiscard]] bool saveFloatLayout(SectionWriter& reg, const CAppProfile& p) {
  // No value of an earlier, larger layout may remain.
  for (int i = 0; i < std::max(kMaxFloatForms, kMaxFloatPanes); ++i) {
    for (const auto& item : floatFormItems()) reg.deleteValue(indexedKey(kFloatFormPrefix, i, item.key));
    for (const auto& item : floatPaneItems()) reg.deleteValue(indexedKey(kFloatPanePrefix, i, item.key));
  }
  const int count = std::clamp(p.FloatFormCount, 0, kMaxFloatForms);
  bool ok = reg.writeInteger(kFloatFormCountKey, count);
  int pane = 0;
  for (int f = 0; f < count; ++f) {
    const SFloatFormRec& form = p.floatForms[size_t(f)];
    for (const auto& item : floatFormItems())
      ok &= writeItem(reg, indexedKey(kFloatFormPrefix, f, item.key), p, form, item);
    // The pane count as far as the room for panes goes.
    const int panes = std::clamp(form.PaneCount, 0, kMaxFloatPanes - pane);
    ok &= reg.writeInteger(indexedKey(kFloatFormPrefix, f, "PaneCount"), panes);
    for (int k = 0; k < panes; ++k, ++pane)
      for (const auto& item : floatPaneItems())
        ok &= writeItem(reg, indexedKey(kFloatPanePrefix, pane, item.key), p, p.floatPanes[size_t(pane)], item);
  }
  return ok;
}

void loadSection(const CSettingsKey& reg, ProfileSection section, CAppProfile& p) {
  for (const auto& item : profileItems(section)) readItem(reg, std::string(item.key), p, p, item);
  if (section == ProfileSection::Paper) {
    for (int i = 0; i < kPaperPresets; ++i)
      for (const auto& item : paperItems()) readItem(reg, paperKey(item.key, i), p, p.paper[size_t(i)], item);
  }
  if (section == ProfileSection::Window) {
    loadFloatLayout(reg, p);
    for (int v = 0; v < kDockViews; ++v)
      for (const auto& item : dockViewItems()) readItem(reg, viewKey(v, item.key), p, p.views[size_t(v)], item);
  }
  if (section == ProfileSection::Config) {
    p.labelDrag = true;
    p.labelDblClick = true;
  }
}

[[nodiscard]] bool saveSection(SectionWriter& reg, ProfileSection section, const CAppProfile& p) {
  bool ok = true;
  for (const auto& item : profileItems(section)) ok &= writeItem(reg, std::string(item.key), p, p, item);
  if (section == ProfileSection::Paper) {
    for (int i = 0; i < kPaperPresets; ++i)
      for (const auto& item : paperItems()) ok &= writeItem(reg, paperKey(item.key, i), p, p.paper[size_t(i)], item);
  }
  if (section == ProfileSection::Window) {
    ok &= saveFloatLayout(reg, p);
    for (int v = 0; v < kDockViews; ++v)
      for (const auto& item : dockViewItems()) ok &= writeItem(reg, viewKey(v, item.key), p, p.views[size_t(v)], item);
  }
  return ok;
}

}  // namespace

std::string_view profileSectionName(ProfileSection section) {
  switch (section) {
    case ProfileSection::FileIO: return "fileIO";
    case ProfileSection::Config: return "config";
    case ProfileSection::Color: return "color";
    case ProfileSection::Paper: return "paper";
    case ProfileSection::Window: return "window";
    case ProfileSection::Font: return "font";
  }
  return {};
}

std::string CProfileStorage::sectionPath(ProfileSection section) {
  return std::string(kProfileRoot) + "\\" + std::string(profileSectionName(section));
}

bool CProfileStorage::openSection(ProfileSection section, bool forWriting) {
  return !forWriting || store_.createKey(sectionPath(section));
}

void CAppProfile::applyDefaults() {
  for (ProfileSection section : kSectionOrder) {
    for (const auto& item : profileItems(section))
      if (item.rule != ItemRule::WriteOnly) applyDefault(*this, *this, item);
  }
  for (auto& preset : paper)
    for (const auto& item : paperItems()) applyDefault(*this, preset, item);
  FloatFormCount = 0;
  for (auto& form : floatForms)
    for (const auto& item : floatFormItems()) applyDefault(*this, form, item);
  for (auto& pane : floatPanes)
    for (const auto& item : floatPaneItems()) applyDefault(*this, pane, item);
  for (auto& view : views)
    for (const auto& item : dockViewItems()) applyDefault(*this, view, item);
  labelDrag = true;
  labelDblClick = true;
}

void CAppProfile::readSystemInfo(std::string_view programPath) {
  userLocale = localeFromEnvironment();
  ansiCodePage = kCodePageUtf8;
  const std::filesystem::path program{std::string(programPath)};
  programFileName = program.filename().string();
  programFolder = program.parent_path().string();
  tempFolder = environmentFolder("TMPDIR", "/tmp");
  homeFolder = homeFolderOfUser();
}

std::string CAppProfile::presetFolder() const {
  if (programFolder.empty()) return "preset";
  return programFolder + (programFolder.back() == '/' ? "preset" : "/preset");
}

bool CAppProfile::load(CProfileStorage& storage) {
  for (ProfileSection section : kSectionOrder) {
    if (!storage.openSection(section, false)) {
      debugOutput("preferences: the section " + std::string(profileSectionName(section)) + " cannot be opened");
      continue;
    }
    // A missing key stays closed: every value then takes its default.
    CSettingsKey reg(storage.store());
    (void)reg.openKey(CProfileStorage::sectionPath(section), false);  // see above: a closed key reads every default
    loadSection(reg, section, *this);
  }
  return true;
}

bool CAppProfile::load(CSettingsStore& store) {
  CProfileStorage storage(store);
  return load(storage);
}

bool CAppProfile::save(CProfileStorage& storage) {
  if (saveWindowHook) saveWindowHook(*this);
  bool ok = true;
  for (ProfileSection section : kSectionOrder) {
    if (!storage.openSection(section, true)) {
      debugOutput("preferences: the section " + std::string(profileSectionName(section)) + " cannot be opened");
      ok = false;
      continue;
    }
    // Every value goes into the store first; the file is written once below.
    SectionWriter writer(storage.store(), CProfileStorage::sectionPath(section));
    if (!saveSection(writer, section, *this)) {
      debugOutput("preferences: a value of the section " + std::string(profileSectionName(section)) +
                  " could not be stored");
      ok = false;
    }
  }
  if (!storage.store().flush()) {
    debugOutput("preferences: the settings could not be saved");
    ok = false;
  }
  return ok;
}

bool CAppProfile::save(CSettingsStore& store) {
  CProfileStorage storage(store);
  return save(storage);
}

void CAppProfile::storeToolSetting(int32_t toolMode, float value) {
  if (!std::isfinite(value)) return;
  value = std::clamp(value, 0.0f, 1.0f);
  switch (((toolMode % 128) + 128) % 128) {
    case 0: opaquePaint = value; break;
    case 4: opaqueSeedFill = value; break;
    case 10: opaqueDraw = value; break;
    case 11:
    case 13: opaqueAreaFill = value; break;
    case 12: opaqueLine = value; break;
    case 14: opaqueFont = value; break;
    case 19: opaqueGradate = value; break;
    default: break;
  }
}

void CAppProfile::migrate() {
  if (appVerID < 11) gradFile2.clear();
  appVerID = kProfileVersion;
}

// ------------------------------------------------------------ process-wide

namespace {

std::unique_ptr<CAppProfile>& profileSlot() {
  static std::unique_ptr<CAppProfile> profile;
  return profile;
}

CSettingsStore*& installedStore() {
  static CSettingsStore* store = nullptr;
  return store;
}

}  // namespace

CAppProfile& appProfile() {
  auto& slot = profileSlot();
  if (!slot) slot = std::make_unique<CAppProfile>();
  return *slot;
}

void resetAppProfile() { profileSlot() = std::make_unique<CAppProfile>(); }

CSettingsStore& appSettingsStore() {
  if (CSettingsStore* store = installedStore()) return *store;
  static CSettingsStore memoryStore;
  return memoryStore;
}

void setAppSettingsStore(CSettingsStore* store) { installedStore() = store; }

}  // namespace pg
