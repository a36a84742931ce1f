// Replay of filter packets (types 32 to 35 and 38).
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"

namespace pg {

bool CReplayEngine::replayFilterPacket(uint8_t, uint8_t) { return fail(ReplayError::Unsupported); }

}  // namespace pg
