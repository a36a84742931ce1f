// Running a filter's dialog for its command.
#include "filters/qt/filter_dialogs.h"

#include "filters/cloud_filters.h"
#include "filters/filter_dialog_model.h"
#include "filters/histogram.h"
#include "filters/table_filters.h"
#include "filters/qt/levels_dialog.h"
#include "filters/filter_run.h"
#include "platform/message_service.h"

namespace pg {

namespace {

// The clouds take the tool window's colours and a fresh seed, no dialog.
bool isCloudsCommand(const SFilterEntry& e) {
  return e.command != nullptr && (std::string_view(e.command) == "filterClouds" || std::string_view(e.command) == "filterClouds2");
}

// Luminance to transparency takes the drawing colour, no dialog.
bool isLumaToAlphaCommand(const SFilterEntry& e) {
  return e.command != nullptr && std::string_view(e.command) == "filterLumaToAlpha";
}

// Shows a dialog modally; the record on OK.
bool runDialog(TFormFilter& dialog, const SFilterDialogHost& host, CFlt4Core& core, std::vector<uint8_t>& params) {
  if (!dialog.attached()) return false;
  const bool ok = host.showModal && host.showModal(dialog) == kMrOk;
  // The preview always ends before the filter applies for real; the
  // window is recomposited only when the dialog was cancelled.
  core.endPreviewAndRedraw(!ok);
  if (!ok && host.target.refresh) host.target.refresh();
  if (ok) params = dialog.record();
  return ok;
}

}  // namespace

bool filterHasDialog(const SFilterEntry& entry) {
  return entry.command != nullptr && (filterDialogFor(entry.command) != nullptr || isCloudsCommand(entry) ||
                                      isLumaToAlphaCommand(entry) || std::string_view(entry.command) == "filterLevels");
}

bool filterCommandAvailable(const SFilterEntry& entry) {
  if (entry.kernel == nullptr || entry.command == nullptr) return false;
  if (entry.bytes == 0) return true;
  if (entry.bytes != 8 && entry.bytes != 16 && entry.bytes != 24 && entry.bytes != 50 && entry.bytes != 87)
    return false;
  return filterHasDialog(entry);
}

FilterDialog makeFilterDialog(SFilterDialogHost host) {
  return [host](const SFilterEntry& entry, CFlt4Core& core, std::vector<uint8_t>& params) {
    SFilterOpenInfo info;
    info.width = core.imageSize().W;
    info.height = core.imageSize().H;
    info.areaWidth = core.bounds().Right - core.bounds().Left;
    info.areaHeight = core.bounds().Bottom - core.bounds().Top;
    if (host.toolColours) host.toolColours(info.foreground, info.background);
    if (isCloudsCommand(entry)) {
      SFltClouds clouds;
      clouds.colour1 = info.foreground | 0xFF000000u;
      clouds.colour2 = info.background | 0xFF000000u;
      clouds.seed = filterSeedNow();
      clouds.mode = std::string_view(entry.command) == "filterClouds2" ? 16 : 0;
      params.assign(kCloudsRecordSize, 0);
      writeCloudsRecord(clouds, params.data());
      return true;
    }
    if (isLumaToAlphaCommand(entry)) {
      SFltLumaToAlpha luma;
      luma.Colour = info.foreground & 0x00FFFFFFu;
      luma.Tint = 1;
      params.assign(SFltLumaToAlpha::kSize, 0);
      luma.write(params.data());
      return true;
    }
    if (std::string_view(entry.command) == "filterLevels") {
      TFormLevels4 dialog(host.owner, core, host.target);
      return runDialog(dialog, host, core, params);
    }
    const SFilterDialogDef* def = entry.command != nullptr ? filterDialogFor(entry.command) : nullptr;
    if (def == nullptr) return false;
    const uint8_t protect = host.layerProtect ? host.layerProtect() : 0;
    SHistogram histogram;
    if (def->histogramMode >= 0) {
      histogram.compute(core.readContext());
      info.histogram = &histogram;
    }
    TFormFilterValues dialog(host.owner, core, host.target, *def, protect, filterSeedNow(), info, host.gradientList);
    return runDialog(dialog, host, core, params);
  };
}

}  // namespace pg
