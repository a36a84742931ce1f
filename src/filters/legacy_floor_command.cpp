#include "filters/legacy_floor_command.h"

#include <memory>

#include "core/planes.h"
#include "filters/filter_run.h"
#include "filters/floor_filter.h"
#include "filters/legacy_render_kernels.h"
#include "platform/message_service.h"
#include "record/packet_catalogue.h"

namespace pg {

namespace {

// What the kernel of the run gets: the record and the two textures.
struct SLegacyFloorRun {
  SFltFloor floor;
  const TMTC* ceiling = nullptr;
  const TMTC* floorImage = nullptr;
};

[[nodiscard]] bool legacyFloorKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  if (param == nullptr || size != int32_t(sizeof(SLegacyFloorRun))) return false;
  const auto& run = *static_cast<const SLegacyFloorRun*>(param);
  return legacyFloorRender(ctx, run.floor, run.ceiling, run.floorImage);
}

}  // namespace

FilterResult replayLegacyFloor(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFltFloor& floor,
                               const TMTC* image1, const TMTC* image2) {
  CFlt4Core core(doc, view, false, &legacyFloorKernel, layerIndex);
  if (!core.isValid()) return FilterResult::Refused;
  if ((floorHasTexture1(floor) && image1 == nullptr) || (floorHasTexture2(floor) && image2 == nullptr))
    showWarning(formatRes(kResReplayImagesMissing, {int64_t(kPktFilterRecord), int64_t(kFltRecFloor)}));
  SLegacyFloorRun run{floor, image1, image2};
  std::unique_ptr<TMTC> substitute;
  if (image1 == nullptr || image2 == nullptr) {
    const SSize size = core.imageSize();
    const TRect whole{0, 0, size.W, size.H};
    if (floor.Sampler != 0) {
      TMTC area;
      if (core.sourceRegion(core.bounds(), area)) substitute = floorAreaTexture(area, TRect{0, 0, area.Width, area.Height});
    } else {
      substitute = std::make_unique<TMTC>();
      if (!core.sourceRegion(whole, *substitute)) substitute.reset();
    }
    // Without a substitute the packet stands, and nothing is drawn.
    if (!substitute) return FilterResult::Done;
    if (run.ceiling == nullptr) run.ceiling = substitute.get();
    if (run.floorImage == nullptr) run.floorImage = substitute.get();
  }
  if (!core.run(&run, int32_t(sizeof run))) return FilterResult::Refused;
  redrawAfterFilter(doc, view, layerIndex);
  return FilterResult::Done;
}

}  // namespace pg
