#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pg {
namespace {

// Japanese texts whose CP932 form is known, including trail bytes that look
// like ASCII (0x5C in 表 and ソ), half-width katakana and the vendor rows.
TEST(TextCodec, Cp932RoundTripsJapanese) {
  struct Case {
    std::string Utf8;
    std::string Cp932;
  };
  const std::vector<Case> cases = {
      {"日本語", "\x93\xFA\x96\x7B\x8C\xEA"},
      {"表示", "\x95\x5C\x8E\xA6"},
      {"ソフト", "\x83\x5C\x83\x74\x83\x67"},
      {"ｱｲｳ", "\xB1\xB2\xB3"},
      {"①～－∥", "\x87\x40\x81\x60\x81\x7C\x81\x61"},
      {"文字入力 Text 12\\~", "\x95\xB6\x8E\x9A\x93\xFC\x97\xCD Text 12\\~"},
      {"", ""},
  };
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(utf8ToCp932(c.Utf8, &ok), c.Cp932) << c.Utf8;
    EXPECT_TRUE(ok) << c.Utf8;
    EXPECT_EQ(cp932ToUtf8(c.Cp932, &ok), c.Utf8) << c.Utf8;
    EXPECT_TRUE(ok) << c.Utf8;
  }
}

TEST(TextCodec, BadCp932BytesBecomeReplacements) {
  const std::string r = "\xEF\xBF\xBD";
  struct Case {
    std::string In;
    std::string Out;
  };
  const std::vector<Case> cases = {
      {"\x81", r},                      // lead byte at the very end
      {"A\x81", "A" + r},               //
      {"\x81\x20", r + " "},            // bad trail byte: read again on its own
      {"\xA0", r},                      // unassigned single bytes
      {"\xFD\xFE\xFF", r + r + r},      //
      {"\x85\x40", r + "@"},            // unassigned row
      {std::string("a\0b", 3), std::string("a\0b", 3)},  // zero is a character
  };
  for (const Case& c : cases) {
    bool ok = true;
    EXPECT_EQ(cp932ToUtf8(c.In, &ok), c.Out);
    EXPECT_EQ(ok, c.In == c.Out);
  }
}

TEST(TextCodec, UnmappableOrInvalidUtf8BecomesQuestionMark) {
  struct Case {
    std::string In;
    std::string Out;
  };
  const std::vector<Case> cases = {
      {"\xF0\x9F\x98\x80", "?"},        // not in CP932
      {"한글", "??"},                   //
      {"\xFF", "?"},                    // no sequence starts with it
      {"a\xE3\x81", "a?"},              // cut short
      {"\xC0\xAF", "??"},               // overlong
      {"\xED\xA0\x80x", "???x"},        // surrogate
      {"日\xFF本", "\x93\xFA?\x96\x7B"},
  };
  for (const Case& c : cases) {
    bool ok = true;
    EXPECT_EQ(utf8ToCp932(c.In, &ok), c.Out) << c.In;
    EXPECT_FALSE(ok);
  }
}

TEST(TextCodec, Utf8Decoding) {
  struct Case {
    std::string In;
    std::vector<char32_t> Codes;
  };
  const char32_t bad = kReplacementChar;
  const std::vector<Case> cases = {
      {"Aé日😀", {'A', 0xE9, 0x65E5, 0x1F600}},
      {"\x80", {bad}},
      {"\xC2", {bad}},
      {"\xE6\x97", {bad}},                    // cut short: one replacement
      {"\xE6\x97x", {bad, 'x'}},
      {"\xE0\x80\x80", {bad, bad, bad}},      // overlong: each byte apart
      {"\xF4\x90\x80\x80", {bad, bad, bad, bad}},  // beyond U+10FFFF
      {"\xED\x9F\xBF", {0xD7FF}},
      {"\xF4\x8F\xBF\xBF", {0x10FFFF}},
  };
  for (const Case& c : cases) {
    std::vector<char32_t> got;
    for (size_t pos = 0; pos < c.In.size();) got.push_back(nextUtf8(c.In, pos));
    EXPECT_EQ(got, c.Codes) << c.In;
  }
  std::string out;
  for (char32_t code : {char32_t('A'), char32_t(0xE9), char32_t(0x65E5), char32_t(0x1F600), char32_t(0xD800)})
    appendUtf8(out, code);
  EXPECT_EQ(out, "Aé日😀\xEF\xBF\xBD");
}

TEST(TextCodec, Cp932PrefixKeepsCharactersWhole) {
  const std::string s = "\x93\xFA\x96\x7B" "A";  // 日本A
  EXPECT_EQ(cp932Prefix(s, 0), "");
  EXPECT_EQ(cp932Prefix(s, 1), "");
  EXPECT_EQ(cp932Prefix(s, 3), "\x93\xFA");
  EXPECT_EQ(cp932Prefix(s, 4), "\x93\xFA\x96\x7B");
  EXPECT_EQ(cp932Prefix(s, 10), s);
  EXPECT_EQ(cp932Prefix("\x93", 5), "\x93");  // a lone lead byte counts as one
  EXPECT_TRUE(isCp932LeadByte(0x81) && isCp932LeadByte(0x9F) && isCp932LeadByte(0xE0) && isCp932LeadByte(0xFC));
  EXPECT_FALSE(isCp932LeadByte(0x80) || isCp932LeadByte(0xA0) || isCp932LeadByte(0xDF) || isCp932LeadByte(0xFD));
}

}  // namespace
}  // namespace pg
