#pragma once
// The dialog routine the filter commands call: finds the filter's dialog,
// shows it modally over the document window, ends the canvas preview and
// hands back the record on OK.
#include <QDialog>

#include <functional>
#include <string_view>

#include "filters/filter_table.h"
#include "filters/qt/filter_form.h"

namespace pg {

struct SFilterDialogHost {
  QWidget* owner = nullptr;
  // The main window's modal routine: kMrOk when confirmed.
  std::function<int(QDialog&)> showModal;
  SFilterPreviewTarget target;
  // The target layer's protect-alpha flag (read by some records).
  std::function<uint8_t()> layerProtect;
  // The tool window's foreground and background colours (pixel order).
  std::function<void(uint32_t& foreground, uint32_t& background)> toolColours;
  // The gradient map's list of the tool window's gradients (null: the dialog
  // maps by the active gradient without a list).
  TFormFilterValues::GradientListFactory gradientList;
};

// Whether a filter with parameters has its dialog in this system; a filter
// without parameters needs none.
bool filterHasDialog(const SFilterEntry& entry);
// Whether the filter's menu item can run: its kernel is built and it has
// the dialog it needs.
bool filterCommandAvailable(const SFilterEntry& entry);

FilterDialog makeFilterDialog(SFilterDialogHost host);

}  // namespace pg
