#include "record/packet_catalogue.h"

#include "record/packet_table.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace pg {

namespace {

using RuleTable = std::array<std::array<SPacketSizeRule, 256>, kPktTypeLimit>;

constexpr SPacketSizeRule fixed(uint16_t n) { return {BodyRule::Fixed, 0, n}; }
constexpr SPacketSizeRule plus16(uint16_t n, uint8_t at) { return {BodyRule::PlusU16, at, n}; }
constexpr SPacketSizeRule plus32(uint16_t n, uint8_t at) { return {BodyRule::PlusU32, at, n}; }

RuleTable buildRules() {
  RuleTable t{};
  auto set = [&](uint8_t type, std::initializer_list<int> subcodes, SPacketSizeRule rule) {
    for (int s : subcodes) t[type][size_t(s)] = rule;
  };
  auto setAll = [&](uint8_t type, SPacketSizeRule rule) {
    for (auto& r : t[type]) r = rule;
  };

  // Type 0: application state and command data.
  set(0, {0, 5, 52, 53}, fixed(12));
  set(0, {2, 3, 8, 58}, fixed(4));
  set(0, {4, 57, 60}, fixed(16));
  set(0, {12, 13}, fixed(2));
  set(0, {16, 17, 48, 50, 56}, fixed(8));
  set(0, {18}, fixed(22));
  set(0, {32}, fixed(68));
  set(0, {33}, plus16(2, 0));
  set(0, {36}, plus32(160, 156));
  set(0, {37}, fixed(20));
  set(0, {40}, plus16(12, 6));
  set(0, {44}, plus32(40, 36));
  set(0, {45}, fixed(24));
  set(0, {128, 129}, plus32(22, 12));
  set(0, {136}, plus32(4, 0));

  // Type 1: data of any subcode.
  setAll(1, plus32(4, 0));

  // Stroke begins, subcode 0 only.
  for (uint8_t type : {16, 20, 21, 22, 23, 24, 48, 49}) set(type, {0}, fixed(4));

  // Point chunks: the subcode is the number of points.
  setAll(kPktStrokePoints, {BodyRule::PointsBySubcode, 0, 0});
  setAll(kPktStrokeLast, {BodyRule::PointsBySubcode, 0, 0});

  // Filter records of any code; the table's own rows below say the same.
  setAll(kPktFilterRecord, plus16(kEventRecordBytes, 4));

  // Every command packet: its rule is its row of the packet table.
  for (const SPacketRow& row : packetRows()) t[row.type][row.subcode] = row.size;
  return t;
}

const RuleTable& rules() {
  static const RuleTable table = buildRules();
  return table;
}

}  // namespace

SPacketSizeRule packetSizeRule(uint8_t type, uint8_t subcode) {
  if (type >= kPktTypeLimit) return {};
  return rules()[type][subcode];
}

uint64_t packetBodyLength(const SPacketSizeRule& rule, uint8_t subcode, uint32_t field) {
  switch (rule.rule) {
    case BodyRule::Unknown: return 0;
    case BodyRule::Fixed: return rule.base;
    case BodyRule::PlusU16: return uint64_t(rule.base) + uint16_t(field);
    case BodyRule::PlusU32: return uint64_t(rule.base) + field;
    case BodyRule::PlusU16Times8: return uint64_t(rule.base) + 8 * uint64_t(uint16_t(field));
    case BodyRule::PointsBySubcode: return uint64_t(kStrokePointBytes) * subcode;
  }
  return 0;
}

bool packetBodyLength(uint8_t type, uint8_t subcode, const uint8_t* body, uint64_t available, uint64_t& length) {
  SPacketSizeRule rule = packetSizeRule(type, subcode);
  if (!rule.known()) return false;
  uint32_t field = 0;
  if (rule.needsField()) {
    uint32_t bytes = rule.fieldBytes();
    if (!body || available < uint64_t(rule.fieldOffset) + bytes) return false;
    field = bytes == 4 ? readLE32(body + rule.fieldOffset) : readLE16(body + rule.fieldOffset);
  }
  length = packetBodyLength(rule, subcode, field);
  return true;
}

bool isStrokeBeginType(uint8_t type) {
  switch (type) {
    case 16: case 20: case 21: case 22: case 23: case 24: case 48: case 49: return true;
    default: return false;
  }
}

}  // namespace pg
