#pragma once
// TFormEventReport: the modal report after an interactive replay: how it
// ended, the document, the replay time, the steps and an index of up to ten
// pictures of its progress, drawn off screen and shown in BoxIndex.
#include "replay/replay_report.h"
#include "ui/memory_graphic.h"
#include "ui/qt/base_forms.h"

class QLabel;

namespace pg {

class TGraphicWidget;

class TFormEventReport : public TDialogBaseForm {
  Q_OBJECT
 public:
  explicit TFormEventReport(QWidget* parent = nullptr);
  // Fills the labels and draws the index.
  void fill(const TEventReportParam& param);
  // Draws the pictures into the index bitmap (empty references leave their cells blank).
  void drawIndex(const std::array<const TMTC*, kReportImages>& images);
  const TMemoryGraphic& indexImage() const { return index_; }

  QLabel* LblState = nullptr;
  QLabel* LblFileName = nullptr;
  QLabel* LblTime = nullptr;
  QLabel* LblStep = nullptr;
  QLabel* StaticTime = nullptr;
  QLabel* StaticStep = nullptr;
  TGraphicWidget* BoxIndex = nullptr;

 private:
  TMemoryGraphic index_;
};

// Creates the dialog, fills it and shows it modal to the parent's window,
// without a nested event loop (a replay ends inside the main window's tick);
// it frees itself when closed. False when it could not be made.
[[nodiscard]] bool showEventReport(const TEventReportParam& param, QWidget* parent);

}  // namespace pg
