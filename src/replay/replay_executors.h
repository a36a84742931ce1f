#pragma once
// The executors of command packets: one per operation of the packet table
// (record/packet_table.h), each reading its packet's body through the body's
// field list and calling the document operation that recorded it.
#include "record/packet_table.h"

namespace pg {

class CReplayEngine;

using PacketExecutor = bool (*)(CReplayEngine&, const SPacketRow&);

class CReplayExecutors {
 public:
  // The executor of an operation; null when replay has none.
  static PacketExecutor of(PacketOp op);

  // Layer attributes and names (replay_layers.cpp).
  static bool layerAttribute(CReplayEngine& e, const SPacketRow& row);
  static bool layerName(CReplayEngine& e, const SPacketRow& row);
  static bool maskName(CReplayEngine& e, const SPacketRow& row);

 private:
  template <class Op>
  static bool target(CReplayEngine& e, const SPacketRow& r, uint8_t refresh, Op op);
  template <class Op>
  static bool values(CReplayEngine& e, const SPacketRow& r, uint8_t refresh, Op op);
  template <class Op>
  static bool edit(CReplayEngine& e, const SPacketRow& r, Op op);
};

}  // namespace pg
