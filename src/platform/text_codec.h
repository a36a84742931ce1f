#pragma once
// Text encodings at the program's boundary. Inside the program text is UTF-8;
// byte strings that files and recordings of earlier versions carry (texts,
// font face names) are in the Japanese Windows code page CP932 and are
// converted here, with iconv, when they cross into or out of the program.
//
// Neither direction ever fails outright: a byte sequence that cannot be
// converted becomes one replacement (U+FFFD toward UTF-8, '?' toward CP932)
// and conversion goes on after it. An optional flag tells the caller whether
// that happened.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pg {

// The character put in place of an undecodable sequence.
inline constexpr char32_t kReplacementChar = 0xFFFD;

// CP932 bytes to UTF-8. A byte that does not start a valid character (an
// unassigned code, a lead byte with a bad trail byte, a lead byte at the very
// end) becomes U+FFFD and reading resumes at the byte after it. A zero byte
// is converted like any other character (the caller cuts at it when the
// source is zero-terminated). *lossless, when given, is set to whether no
// replacement was needed.
std::string cp932ToUtf8(std::string_view bytes, bool* lossless = nullptr);

// UTF-8 text to CP932 bytes. A character CP932 cannot hold, or an invalid
// UTF-8 sequence, becomes '?'.
std::string utf8ToCp932(std::string_view text, bool* lossless = nullptr);

// True for the bytes that begin a two-byte CP932 character (0x81-0x9F and
// 0xE0-0xFC).
[[nodiscard]] constexpr bool isCp932LeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The longest prefix of CP932 bytes that is at most maxBytes long and does
// not end between the two bytes of a character.
std::string_view cp932Prefix(std::string_view bytes, size_t maxBytes);

// Decodes the UTF-8 character starting at pos and moves pos past it. An
// invalid sequence (overlong form, surrogate, beyond U+10FFFF, cut short)
// yields U+FFFD and pos moves past its longest valid-looking start, at least
// one byte. pos must be below text.size().
char32_t nextUtf8(std::string_view text, size_t& pos);

// Appends the UTF-8 form of a code point (U+FFFD for a surrogate or a value
// beyond U+10FFFF).
void appendUtf8(std::string& out, char32_t code);

}  // namespace pg
