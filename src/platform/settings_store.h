#pragma once
// The settings store: where the preferences and the per-tool stroke settings
// live between runs.
//
// A tree of keys, each holding named values of three kinds: 32-bit integers
// (booleans are integers 0 or 1), strings and binary blocks (a floating-point
// value is a binary block of 8 bytes holding a little-endian IEEE double).
// Key paths are component names joined by backslashes, as in
// "Software\Harbelle\Pigmora4\penSetting\pen3"; forward slashes are accepted
// as well, so key names contain neither. Key and value names compare without
// regard to ASCII case and keep the case they were created with.
//
// CSettingsStore holds the tree in memory (the store tests use);
// CFileSettingsStore also keeps it in a file of our own text format, written
// to a temporary file that is renamed over the old one. A missing or damaged
// file gives an empty store: every value then reads as its default; a
// damaged one is first renamed aside.
//
// CSettingsKey opens one key of a store, as a registry key is opened, and the
// regRead*/regWrite* helpers read a value with a default and write one without
// raising.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pg {

enum class SettingKind : uint8_t { Integer, String, Binary };

using SettingValue = std::variant<int32_t, std::string, std::vector<uint8_t>>;

// Bounds of what the store holds, far beyond any real settings: a file beyond
// them counts as damaged and a write beyond them is refused, so that a hostile
// file can neither exhaust memory nor make saving or closing recurse deeply.
inline constexpr size_t kSettingsMaxKeyDepth = 32;
inline constexpr size_t kSettingsMaxNameBytes = 255;
inline constexpr size_t kSettingsMaxValueBytes = size_t{1} << 20;

inline SettingKind settingKind(const SettingValue& v) { return static_cast<SettingKind>(v.index()); }

class CSettingsStore {
 public:
  CSettingsStore();
  virtual ~CSettingsStore();
  CSettingsStore(const CSettingsStore&) = delete;
  CSettingsStore& operator=(const CSettingsStore&) = delete;

  [[nodiscard]] bool keyExists(std::string_view path) const;
  // Creates the key and every missing key above it; true when it exists afterwards.
  [[nodiscard]] bool createKey(std::string_view path);
  // Removes the key with everything below it; false when it did not exist.
  // The root (an empty path) cannot be removed.
  [[nodiscard]] bool deleteKey(std::string_view path);

  // The value, or nullptr when the key or the value does not exist.
  [[nodiscard]] const SettingValue* findValue(std::string_view path, std::string_view name) const;
  // Stores the value, creating the key when missing; false when memory runs out.
  [[nodiscard]] bool setValue(std::string_view path, std::string_view name, SettingValue value);
  // False when there was no such value.
  [[nodiscard]] bool deleteValue(std::string_view path, std::string_view name);

  // Names directly below a key (sub-keys) and in it (values), in name order.
  std::vector<std::string> subKeyNames(std::string_view path) const;
  std::vector<std::string> valueNames(std::string_view path) const;

  // The whole tree in the settings file format.
  std::string serialize() const;
  // Replaces the tree with the one the text holds; false, with the tree kept,
  // when the text is not a whole settings file.
  [[nodiscard]] bool parse(std::string_view text);

  // True when something changed since the store was loaded or last saved.
  [[nodiscard]] bool modified() const { return modified_; }
  // Saves the tree where the store keeps it; the memory store keeps it nowhere.
  [[nodiscard]] virtual bool flush() { return true; }

 protected:
  void setModified(bool modified) { modified_ = modified; }

 private:
  struct Key;
  [[nodiscard]] Key* find(std::string_view path) const;
  [[nodiscard]] Key* make(std::string_view path);

  std::unique_ptr<Key> root_;
  bool modified_ = false;
};

class CFileSettingsStore final : public CSettingsStore {
 public:
  // Loads the file; a missing, unreadable or damaged one leaves the store empty.
  explicit CFileSettingsStore(std::string fileName);
  // Saves what changed.
  ~CFileSettingsStore() override;

  // Writes the tree when it changed: the folder is created when missing, the
  // text goes to a temporary file that replaces the old file. False when the
  // file could not be written (the old file is then kept), and always when the
  // file was there but could not be opened: it is never replaced.
  [[nodiscard]] bool flush() override;

  const std::string& fileName() const { return fileName_; }
  // True when a file was there but could not be read as settings. Such a
  // file is renamed to "<file>.damaged" (or ".damaged.1", ...) before
  // anything replaces it; damagedCopy() names where it went.
  [[nodiscard]] bool ignoredDamagedFile() const { return ignoredDamaged_; }
  const std::string& damagedCopy() const { return damagedCopy_; }

  // $XDG_CONFIG_HOME/Harbelle/Pigmora4/settings, or ~/.config/... when the
  // variable is unset or not an absolute path.
  static std::string defaultFileName();

 private:
  std::string fileName_;
  std::string damagedCopy_;
  bool ignoredDamaged_ = false;
  bool damagedInPlace_ = false;  // damaged and not yet moved aside
  // The file is there but could not be opened: it may hold the user's
  // settings, so it is neither moved nor replaced by a save.
  bool keepFile_ = false;
};

// One open key of a store, the way the preferences and the stroke settings
// address their values. Closing a key through which something was written
// saves the store.
class CSettingsKey {
 public:
  explicit CSettingsKey(CSettingsStore& store) : store_(store) {}
  ~CSettingsKey() { closeKey(); }
  CSettingsKey(const CSettingsKey&) = delete;
  CSettingsKey& operator=(const CSettingsKey&) = delete;

  // Opens the key at path, creating it when canCreate; false when it does not
  // exist (and may not be created) or the path names no key.
  [[nodiscard]] bool openKey(std::string_view path, bool canCreate);
  void closeKey();
  [[nodiscard]] bool isOpen() const { return open_; }
  const std::string& currentPath() const { return path_; }

  [[nodiscard]] bool valueExists(std::string_view name) const;
  // Each read answers false, leaving v as it was, when the value is missing or
  // of another kind.
  [[nodiscard]] bool readInteger(std::string_view name, int32_t& v) const;
  [[nodiscard]] bool readString(std::string_view name, std::string& v) const;
  [[nodiscard]] bool readBinary(std::string_view name, std::vector<uint8_t>& v) const;
  // A binary value of exactly 8 bytes, read as a little-endian IEEE double.
  [[nodiscard]] bool readFloat(std::string_view name, double& v) const;

  // Each write answers false when no key is open or memory runs out.
  [[nodiscard]] bool writeInteger(std::string_view name, int32_t v);
  [[nodiscard]] bool writeString(std::string_view name, std::string_view v);
  [[nodiscard]] bool writeBinary(std::string_view name, const std::vector<uint8_t>& v);
  [[nodiscard]] bool writeFloat(std::string_view name, double v);
  [[nodiscard]] bool deleteValue(std::string_view name);

 private:
  CSettingsStore& store_;
  std::string path_;
  bool open_ = false;
  bool wrote_ = false;
};

// Reads with a default: when the value exists (and is of the right kind) v
// takes it, else v takes the default; the answer says whether it existed.
// Nothing is written to the store.
bool regReadInt(const CSettingsKey& reg, std::string_view name, int32_t& v, int32_t def);
// The same for an unsigned field (colours, bit sets), stored as the same 32 bits.
bool regReadIntVar(const CSettingsKey& reg, std::string_view name, uint32_t& v, uint32_t def);
// regReadInt, then v clamped to lo..hi (the default too).
bool regReadIntClamped(const CSettingsKey& reg, std::string_view name, int32_t& v, int32_t def, int32_t lo, int32_t hi);
// An integer; non-zero is true.
bool regReadBool(const CSettingsKey& reg, std::string_view name, bool& v, bool def);
// An 8-byte double narrowed to a float; a value that is not a finite float
// reads as the default.
bool regReadFloat(const CSettingsKey& reg, std::string_view name, float& v, float def);
bool regReadString(const CSettingsKey& reg, std::string_view name, std::string& v, std::string_view def);

// Writes that never raise; false when the value could not be stored.
[[nodiscard]] bool regWriteInt(CSettingsKey& reg, std::string_view name, int32_t v);
[[nodiscard]] bool regWriteBool(CSettingsKey& reg, std::string_view name, bool v);
// The float widened to a double, stored as 8 bytes.
[[nodiscard]] bool regWriteFloat(CSettingsKey& reg, std::string_view name, float v);
[[nodiscard]] bool regWriteString(CSettingsKey& reg, std::string_view name, std::string_view v);

}  // namespace pg
