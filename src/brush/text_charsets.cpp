#include "brush/text_charsets.h"

#include "platform/string_table.h"

namespace pg {

namespace {

// The string id of the name of every set not listed below.
constexpr uint32_t kOtherCharSetName = 65049;

// The named sets, each with the string id of its name.
struct SCharSetName {
  uint8_t CharSet;
  uint32_t NameId;
};

constexpr SCharSetName kNames[] = {
    {0, 69320},   {2, 69321},   {77, 69322},  {128, 69323}, {129, 69324}, {130, 69325},
    {134, 69326}, {136, 69327}, {161, 69328}, {162, 69329}, {163, 69330}, {177, 69331},
    {178, 69332}, {186, 69333}, {204, 69334}, {222, 69335}, {238, 69336}, {255, 69337},
};

}  // namespace

std::string charSetName(uint8_t charSet) {
  for (const SCharSetName& n : kNames)
    if (n.CharSet == charSet) return resString(n.NameId);
  return resString(kOtherCharSetName);
}

}  // namespace pg
