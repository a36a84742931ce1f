// The packet table: one row per command packet, whose field list takes
// exactly the fixed size of the stream's format, and which the catalogue and
// the vocabulary answer from.
#include <gtest/gtest.h>

#include <set>

#include "record/event_vocabulary.h"
#include "record/packet_catalogue.h"
#include "record/packet_table.h"

namespace pg::test {
namespace {

TEST(PacketTable, EachRowIsOneHeaderWhoseFieldListTakesItsFixedSize) {
  std::set<int> headers;
  std::set<RecorderCall> calls;
  for (const SPacketRow& row : packetRows()) {
    SCOPED_TRACE(std::to_string(row.type) + "," + std::to_string(row.subcode));
    EXPECT_TRUE(headers.insert(row.type << 8 | row.subcode).second) << "a second row";
    EXPECT_EQ(bodyFormBytes(row.form), row.size.base);
    EXPECT_EQ(packetRow(row.type, row.subcode), &row);
    const SPacketSizeRule rule = packetSizeRule(row.type, row.subcode);
    EXPECT_EQ(rule.rule, row.size.rule);
    EXPECT_EQ(rule.base, row.size.base);
    EXPECT_EQ(eventNameIndex(row.type, row.subcode), row.event);
    calls.insert(row.call);
  }
  // Every recorder call writes at least one row.
  for (int c = int(RecorderCall::None); c <= int(RecorderCall::FilterWithImages); ++c)
    EXPECT_TRUE(calls.count(RecorderCall(c))) << c;
  EXPECT_EQ(packetRow(kPktState, 2), nullptr);  // state is no command
  EXPECT_EQ(packetRow(kPktLayer, 14), nullptr);
}

}  // namespace
}  // namespace pg::test
