#pragma once
// What two processes of Pigmora say to each other so that only one normal
// instance runs: the names both sides agree on, the reply to the instance
// query, and the messages on the local socket with their checked decoder.
//
// A connection carries requests, each answered before the next is sent:
//   'Q'                          the query: the reply is 4 bytes, "PG40" from a
//                                normal instance ("PGRe", "PGVw" in the batch modes)
//   'F' u32 length, path bytes   a file to open (UTF-8, absolute, at most
//                                kMaxPathBytes): the reply is u32 1 once the
//                                file was handed to the main window, 0 when refused
//   'R'                          bring the main window to the front: u32 1
// Integers are little-endian. Anything else ends the connection.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// The lock file and the local server are named after these.
inline constexpr std::string_view kInstanceMutexName = "Za4 Darorazozoz";
inline constexpr std::string_view kInstanceQueryName = "Pg2 query";

// The replies to the query: four ASCII bytes read as a little-endian integer.
constexpr uint32_t fourBytes(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}
inline constexpr uint32_t kReplyNormal = fourBytes("PG40");
inline constexpr uint32_t kReplyRender = fourBytes("PGRe");
inline constexpr uint32_t kReplyViewer = fourBytes("PGVw");

// The answer of a running instance to the query: 0 when wParam is not 0 (the
// same message then carries a batch result), else by the mode.
uint32_t instanceQueryReply(uint32_t wParam, bool batchMode, bool viewerMode);

inline constexpr char kRequestQuery = 'Q';
inline constexpr char kRequestFile = 'F';
inline constexpr char kRequestRaise = 'R';

void appendU32(std::string& out, uint32_t v);
uint32_t readU32(std::string_view bytes);  // the first four bytes

// The bytes of one request.
std::string encodeQuery();
std::string encodeRaise();
// False when the path cannot be sent (empty or longer than kMaxPathBytes).
[[nodiscard]] bool encodeFile(std::string_view path, std::string& out);

// True for well-formed UTF-8 without zero bytes.
bool isCleanUtf8(std::string_view text);

// Reads requests from the bytes of one connection as they arrive.
class CInstanceRequestDecoder {
 public:
  enum class Result : uint8_t {
    NeedMore,    // no whole request yet
    Query,
    Raise,
    File,        // path() holds a checked absolute path
    BadFile,     // a whole file request whose path is not acceptable: reply 0
    Broken,      // an unknown request or an oversized length: end the connection
  };

  void feed(std::string_view bytes);
  // The next request, taken out of the buffer.
  [[nodiscard]] Result next();
  const std::string& path() const { return path_; }

 private:
  std::string buffer_;
  std::string path_;
  bool broken_ = false;
};

}  // namespace pg
