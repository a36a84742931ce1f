#include "brush/text_charsets.h"

#include "platform/string_table.h"

namespace pg {

namespace {

// The string id of the name of every set not listed below.
constexpr uint32_t kOtherCharSetName = 65049;

struct SCharSetName {
  uint8_t CharSet;
  const char* Name;
};

constexpr SCharSetName kNames[] = {
    {0, "欧文"},           {2, "シンボル"},         {77, "MAC_CHARSET"},  {128, "日本語"},
    {129, "ハングル"},     {130, "ハングル"},       {134, "簡体字中国語"}, {136, "繁体字中国語"},
    {161, "ギリシャ語"},   {162, "トルコ語"},       {163, "ベトナム語"},   {177, "ヘブライ語"},
    {178, "アラビア語"},   {186, "バルト言語"},     {204, "キリル言語"},   {222, "タイ語"},
    {238, "中央ヨーロッパ言語"}, {255, "OEM_CHARSET"},
};

}  // namespace

std::string charSetName(uint8_t charSet) {
  for (const SCharSetName& n : kNames)
    if (n.CharSet == charSet) return n.Name;
  return resString(kOtherCharSetName);
}

}  // namespace pg
