#include "app/instance_protocol.h"

#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"

namespace pg {
namespace {

using R = CInstanceRequestDecoder::Result;

TEST(InstanceProtocol, RepliesAreTheFourBytesByMode) {
  EXPECT_EQ(kReplyNormal, 0x30344750u);  // "PG40" read little-endian
  EXPECT_EQ(instanceQueryReply(0, false, false), kReplyNormal);
  EXPECT_EQ(instanceQueryReply(0, true, false), kReplyRender);
  EXPECT_EQ(instanceQueryReply(0, true, true), kReplyViewer);
  EXPECT_EQ(instanceQueryReply(0, false, true), kReplyNormal);  // viewer only counts in a batch mode
  EXPECT_EQ(instanceQueryReply(3, false, false), 0u);
  std::string bytes;
  appendU32(bytes, kReplyViewer);
  EXPECT_EQ(bytes, "PGVw");
  EXPECT_EQ(readU32("PGRe"), kReplyRender);
}

TEST(InstanceProtocol, RequestsArriveWholeWhateverTheirPieces) {
  std::string stream = encodeQuery();
  std::string f1, f2;
  ASSERT_TRUE(encodeFile("/pics/a.kci", f1));
  ASSERT_TRUE(encodeFile("/pics/日本.png", f2));
  stream += f1 + f2 + encodeRaise();
  // Fed a byte at a time, the requests come out in order and whole.
  CInstanceRequestDecoder d;
  std::vector<R> got;
  std::vector<std::string> paths;
  for (char c : stream) {
    d.feed(std::string_view(&c, 1));
    for (R r = d.next(); r != R::NeedMore; r = d.next()) {
      got.push_back(r);
      if (r == R::File) paths.push_back(d.path());
    }
  }
  EXPECT_EQ(got, (std::vector<R>{R::Query, R::File, R::File, R::Raise}));
  EXPECT_EQ(paths, (std::vector<std::string>{"/pics/a.kci", "/pics/日本.png"}));
}

TEST(InstanceProtocol, UntrustedRequestsAreRefusedOrEndTheConnection) {
  struct Case {
    const char* what;
    std::string bytes;
    R result;
  };
  auto fileOf = [](const std::string& path) {
    std::string out(1, kRequestFile);
    appendU32(out, static_cast<uint32_t>(path.size()));
    return out + path;
  };
  std::string huge(1, kRequestFile);
  appendU32(huge, 0xFFFFFFFFu);
  std::string zero(1, kRequestFile);
  appendU32(zero, 0);
  const Case cases[] = {
      {"relative path", fileOf("pics/a.kci"), R::BadFile},
      {"zero byte inside", fileOf(std::string("/a\0b", 4)), R::BadFile},
      {"broken UTF-8", fileOf("/a\xC3"), R::BadFile},
      {"overlong UTF-8 slash", fileOf("/a\xC0\xAF"), R::BadFile},
      {"UTF-16 surrogate", fileOf("/a\xED\xA0\x80"), R::BadFile},
      {"length past the cap", huge, R::Broken},
      {"empty path", zero, R::Broken},
      {"unknown request", "X", R::Broken},
      {"cut length", std::string(1, kRequestFile) + "\x05", R::NeedMore},
      {"cut path", fileOf("/abc").substr(0, 7), R::NeedMore},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CInstanceRequestDecoder d;
    d.feed(c.bytes);
    EXPECT_EQ(d.next(), c.result);
  }
  // After a bad file the connection goes on; after a broken one it does not.
  CInstanceRequestDecoder d;
  d.feed(fileOf("rel") + encodeQuery());
  EXPECT_EQ(d.next(), R::BadFile);
  EXPECT_EQ(d.next(), R::Query);
  d.feed("X");
  EXPECT_EQ(d.next(), R::Broken);
  d.feed(encodeQuery());
  EXPECT_EQ(d.next(), R::Broken);

  std::string out;
  EXPECT_FALSE(encodeFile("", out));
  EXPECT_FALSE(encodeFile("/" + std::string(kMaxPathBytes, 'x'), out));
  EXPECT_TRUE(encodeFile("/" + std::string(kMaxPathBytes - 1, 'x'), out));
}

}  // namespace
}  // namespace pg
