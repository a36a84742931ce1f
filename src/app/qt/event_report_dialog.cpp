#include "app/qt/event_report_dialog.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "core/planes.h"
#include "ui/appearance_manager.h"
#include "ui/channel_ops.h"
#include "ui/qt/graphic_widget.h"
#include "ui/qt/res_text.h"
#include "ui/ui_sys_colors.h"

namespace pg {

namespace {
constexpr uint32_t kResTitle = 67300;
constexpr uint32_t kResTimeCaption = 67304;
constexpr uint32_t kResStepCaption = 67305;
constexpr uint32_t kResClose = 67310;
// The frame around each picture: the item lists' frame colour, partly through.
constexpr uint8_t kFrameAlpha = 153;

TUiSysColors reportColors() {
  const TAppearanceManager* a = appearanceManager();
  return a ? a->colors() : classicUiSysColors();
}

}  // namespace

TFormEventReport::TFormEventReport(QWidget* parent)
    : TDialogBaseForm(parent), index_(kReportIndexWidth, kReportIndexHeight) {
  setObjectName(QStringLiteral("FormEventReport"));
  setWindowTitle(resText(kResTitle));
  setButtonMode(kButtonModeOk);
  ButtonOK->setText(resText(kResClose));
  auto* grid = new QGridLayout(content());
  LblState = new QLabel(content());
  LblState->setObjectName(QStringLiteral("LblState"));
  QFont bold = LblState->font();
  bold.setBold(true);
  LblState->setFont(bold);
  LblFileName = new QLabel(content());
  LblFileName->setObjectName(QStringLiteral("LblFileName"));
  StaticTime = new QLabel(resText(kResTimeCaption), content());
  StaticStep = new QLabel(resText(kResStepCaption), content());
  LblTime = new QLabel(content());
  LblTime->setObjectName(QStringLiteral("LblTime"));
  LblStep = new QLabel(content());
  LblStep->setObjectName(QStringLiteral("LblStep"));
  BoxIndex = new TGraphicWidget(content());
  BoxIndex->setObjectName(QStringLiteral("BoxIndex"));
  BoxIndex->setFixedSize(kReportIndexWidth, kReportIndexHeight);
  BoxIndex->setGraphic(&index_);
  grid->addWidget(LblState, 0, 0, 1, 2);
  grid->addWidget(LblFileName, 1, 0, 1, 2);
  grid->addWidget(StaticTime, 2, 0);
  grid->addWidget(LblTime, 2, 1);
  grid->addWidget(StaticStep, 3, 0);
  grid->addWidget(LblStep, 3, 1);
  grid->addWidget(BoxIndex, 4, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  drawIndex({});
}

void TFormEventReport::fill(const TEventReportParam& param) {
  LblState->setText(QString::fromStdString(reportStateText(param.outcome)));
  LblFileName->setText(QString::fromStdString(param.name));
  drawIndex(param.images);
  LblTime->setText(QString::fromStdString(reportTimeText(param.elapsed)));
  LblStep->setText(QString::fromStdString(reportStepText(param.steps)));
}

void TFormEventReport::drawIndex(const std::array<const TMTC*, kReportImages>& images) {
  const TUiSysColors colors = reportColors();
  index_.fillRect({0, 0, index_.width(), index_.height()}, colors.btnFace, copyChannel, copyChannel);
  const TUiColor frame = (colors.windowFrame & 0x00FFFFFFu) | (TUiColor(kFrameAlpha) << 24);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 5; ++c) {
      const TMTC* image = images[size_t(r * 5 + c)];
      if (image == nullptr || !image->IsAllocated() || image->Width <= 0 || image->Height <= 0) continue;
      const int32_t w = std::min(image->Width, 96), h = std::min(image->Height, 96);
      const TPoint at = reportCellOrigin(r, c, w, h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) index_.setPixel(at.X + x, at.Y + y, image->getPixel(x, y) | 0xFF000000u);
      index_.frameRect({at.X - 1, at.Y - 1, at.X + w + 1, at.Y + h + 1}, 1, frame, lerpChannel, keepChannel);
    }
  }
  if (BoxIndex) BoxIndex->update();
}

bool showEventReport(const TEventReportParam& param, QWidget* parent) {
  TFormEventReport* form = nullptr;
  try {
    form = new TFormEventReport(parent);
  } catch (...) {
    return false;
  }
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->fill(param);
  form->open();
  return true;
}

}  // namespace pg
