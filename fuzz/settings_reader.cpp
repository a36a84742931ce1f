// The settings file reader over arbitrary bytes: it either refuses the text or
// takes a tree that writes back to a text it reads again to the same tree.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pg::CSettingsStore store;
  if (!store.parse(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  std::string text = store.serialize();
  pg::CSettingsStore again;
  if (!again.parse(text) || again.serialize() != text) std::abort();
  return 0;
}
