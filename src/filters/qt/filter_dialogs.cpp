// Running a filter's dialog for its command.
#include "filters/qt/filter_dialogs.h"

#include "filters/filter_dialog_model.h"
#include "filters/filter_run.h"
#include "platform/message_service.h"

namespace pg {

bool filterHasDialog(const SFilterEntry& entry) {
  return entry.command != nullptr && filterDialogFor(entry.command) != nullptr;
}

bool filterCommandAvailable(const SFilterEntry& entry) {
  if (entry.kernel == nullptr || entry.command == nullptr) return false;
  if (entry.bytes == 0) return true;
  // The floor has a command of its own.
  if (entry.bytes != 8 && entry.bytes != 16 && entry.bytes != 24 && entry.bytes != 50) return false;
  return filterHasDialog(entry);
}

FilterDialog makeFilterDialog(SFilterDialogHost host) {
  return [host](const SFilterEntry& entry, CFlt4Core& core, std::vector<uint8_t>& params) {
    const SFilterDialogDef* def = entry.command != nullptr ? filterDialogFor(entry.command) : nullptr;
    if (def == nullptr) return false;
    const uint8_t protect = host.layerProtect ? host.layerProtect() : 0;
    TFormFilterValues dialog(host.owner, core, host.target, *def, protect, filterSeedNow());
    if (!dialog.attached()) return false;
    const bool ok = host.showModal && host.showModal(dialog) == kMrOk;
    // The preview always ends before the filter applies for real; the
    // window is recomposited only when the dialog was cancelled.
    core.endPreviewAndRedraw(!ok);
    if (!ok && host.target.refresh) host.target.refresh();
    if (ok) params = dialog.record();
    return ok;
  };
}

}  // namespace pg
