#pragma once
// Every filter of the Filter menu, and the filters older recordings name,
// in one table: the command, its action, the event op code, the parameter
// bytes and the kernel. Commands and replay both run a filter through the
// table; repeat-last remembers the last command that got past its dialog
// with its parameters.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

class TPaper;
class TFlowImage;
class CFlt4Core;

struct SFilterEntry {
  const char* command;   // "filterBlur", ...; nullptr for replay-only entries
  const char* action;    // the menu action; nullptr when there is none
  uint8_t op;            // the event op code (the packet's subcode)
  uint8_t packetType;    // 32, 33, 34, 35 (0, 2, 4, 6 words) or 38 (a record)
  uint8_t bytes;         // parameter record size: 0, 8, 16, 20, 24, 50 or 87 (the floor)
  FilterKernel kernel;
  bool takesProtect;     // replay hands the layer's protect flag (from version 207)
};

// The whole table.
const std::vector<SFilterEntry>& filterTable();
[[nodiscard]] const SFilterEntry* filterByCommand(std::string_view command);
// The entry a packet names; nullptr for a pair that no filter ever wrote.
[[nodiscard]] const SFilterEntry* filterForPacket(uint8_t packetType, uint8_t op);

enum class FilterResult : uint8_t {
  Done = 0,
  Refused,       // no layer, the layer outside the selection, bad parameters, a failed kernel
  Cancelled,     // the dialog was cancelled
};

// Runs a filter on a layer: the core over it, the parameters as recorded
// (little-endian words) or, for the record filters, the record with its
// extra data; apply with the record flag. clearProtect: kernels see the
// layer's protect flag cleared (replay of streams before version 207).
[[nodiscard]] FilterResult runFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFilterEntry& entry,
                       const uint8_t* params, uint32_t paramBytes, const SFltRecord* record, bool recordFlag,
                       bool clearProtect = false);

// The dialog of a filter: previews through the core and fills the
// parameter bytes; false when cancelled. The filter dialogs supply it.
using FilterDialog = std::function<bool(const SFilterEntry& entry, CFlt4Core& core, std::vector<uint8_t>& params)>;

// The command routine: with reuse, the remembered parameters of this filter
// and no dialog; otherwise the dialog (a filter without parameters has
// none). A routine that got past its dialog becomes the repeat target.
[[nodiscard]] FilterResult filterCommand(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFilterEntry& entry, bool reuse,
                           const FilterDialog& dialog);

// Whether the filter has what it needs now (the gradient map: the tool
// window's active gradient).
[[nodiscard]] bool filterCanRunNow(const SFilterEntry& entry);

// Repeat-last.
[[nodiscard]] bool hasLastFilter();
// The action of the last filter (its caption is the last filter's name);
// empty when there is none.
std::string_view lastFilterAction();
// The Repeat item's caption for the last filter's menu text: its name (the
// text without its accelerator "(&X)" or "&" and without a closing "...")
// in "%s(&L)"; empty for an empty menu text.
std::string repeatCaption(std::string_view menuText);
[[nodiscard]] FilterResult repeatLastFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex, bool reuse,
                              const FilterDialog& dialog);
// Forgets the repeat target and every remembered parameter (start and end
// of the program, tests).
void resetFilterRepeat();

}  // namespace pg
