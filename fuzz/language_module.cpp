// A language module file and its texts as format texts: the check never
// crashes and answers Ok or Damaged with a reason; a sound module lists no id
// twice among the missing ones; formatting a text from the file with values
// of every kind never reads or writes out of bounds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/message_service.h"
#include "platform/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const pg::ResourceModuleCheck check = pg::checkResourceModule(bytes);
  if (check.result == pg::ResourceModuleResult::Damaged && check.problem.empty()) std::abort();
  if (check.result == pg::ResourceModuleResult::Ok &&
      std::adjacent_find(check.missingIds.begin(), check.missingIds.end()) != check.missingIds.end())
    std::abort();
  (void)pg::formatText(bytes.substr(0, 4096), {int32_t{-7}, 2.5, "text", uint32_t{0xFFFFFFFFu}, 1e300});
  return 0;
}
