#include "toolwin/qt/event_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/clock.h"
#include "toolwin/qt/count_dialog.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/appearance_manager.h"
#include "ui/colour_model.h"
#include "ui/glyph_manager.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/progress_bar.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

// The event log menu's two items.
constexpr uint32_t kResClearLog = 69375, kResLogCapacity = 69376;

QIcon glyphIcon(uint8_t type) {
  const TPgGlyphManager* g = glyphManager();
  if (g == nullptr) return {};
  QIcon icon(QPixmap::fromImage(graphicImageConst(g->glyph(type, gsNone)).copy()));
  icon.addPixmap(QPixmap::fromImage(graphicImageConst(g->glyph(type, gsDisabled)).copy()), QIcon::Disabled);
  return icon;
}

TPgGlyphLabel* indicator(QWidget* parent, const char* name) {
  auto* label = new TPgGlyphLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setReadOnly(true);
  label->setFixedSize(24, 24);
  return label;
}

QToolButton* eventButton(QWidget* parent, const char* name) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoRaise(true);
  b->setIconSize(QSize(20, 20));
  b->setFixedSize(28, 26);
  return b;
}

}  // namespace

TEventView::TEventView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("EventView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(3);
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("EventCaption"));
  column->addWidget(caption_);

  replayRow_ = new QWidget(this);
  auto* row = new QHBoxLayout(replayRow_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  kind_ = indicator(replayRow_, "ReplayKind");
  colours_ = new TTwinColorCell(replayRow_);
  colours_->setObjectName(QStringLiteral("ReplayColours"));
  colours_->setFixedSize(40, 32);
  colours_->SwitchingAllowed = false;
  colours_->setAttribute(Qt::WA_TransparentForMouseEvents);
  tone_ = indicator(replayRow_, "ReplayTone");
  gradation_ = indicator(replayRow_, "ReplayGradation");
  pause_ = eventButton(replayRow_, "EventPause");
  step_ = eventButton(replayRow_, "EventStep");
  stop_ = eventButton(replayRow_, "EventStop");
  for (QWidget* w : std::initializer_list<QWidget*>{kind_, colours_, tone_, gradation_}) row->addWidget(w);
  row->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{pause_, step_, stop_}) row->addWidget(w);
  column->addWidget(replayRow_);

  progress_ = new TGraphicProgressBar(this);
  progress_->setObjectName(QStringLiteral("EventProgress"));
  progress_->setFixedHeight(16);
  progress_->installEventFilter(this);
  column->addWidget(progress_);

  list_ = new TItemListView(logItems_, this);
  list_->setObjectName(QStringLiteral("EventLog"));
  column->addWidget(list_, 1);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopEvent"));
  clearLog_ = new QAction(resText(kResClearLog), this);
  clearLog_->setObjectName(QStringLiteral("MenuClearLog"));
  connect(clearLog_, &QAction::triggered, this, [this] { MenuClearLogClick(); });
  logCapacity_ = new QAction(resText(kResLogCapacity), this);
  logCapacity_->setObjectName(QStringLiteral("MenuLogCapacity"));
  connect(logCapacity_, &QAction::triggered, this, [this] { MenuLogCapacityClick(); });
  connect(menu_, &QMenu::aboutToShow, this, [this] { clearLog_->setEnabled(model_.log().count() > 0); });
  menu_->addAction(clearLog_);
  menu_->addAction(logCapacity_);
  connect(pause_, &QToolButton::clicked, this, [this] {
    if (pauseAction_ && model_.pauseEnabled()) pauseAction_->trigger();
  });
  connect(step_, &QToolButton::clicked, this, [this] {
    if (stepAction_ && model_.stepEnabled()) stepAction_->trigger();
  });
  connect(stop_, &QToolButton::clicked, this, [this] {
    if (stopAction_ && model_.stopEnabled()) stopAction_->trigger();
  });
  setMinimumSize(200, 160);
  refreshControls();
  refreshBrush();
}

void TEventView::setCommands(QAction* pause, QAction* step, QAction* stop, const QList<QAction*>& menu) {
  pauseAction_ = pause;
  stepAction_ = step;
  stopAction_ = stop;
  menu_->clear();
  for (QAction* a : menu) {
    if (a)
      menu_->addAction(a);
    else
      menu_->addSeparator();
  }
  if (!menu.isEmpty()) menu_->addSeparator();
  menu_->addAction(clearLog_);
  menu_->addAction(logCapacity_);
  step_->setToolTip(step ? step->text().remove(QLatin1Char('&')) : QString());
  stop_->setToolTip(stop ? stop->text().remove(QLatin1Char('&')) : QString());
  pause_->setToolTip(pause ? pause->text().remove(QLatin1Char('&')) : QString());
}

void TEventView::setReplaying(bool on, bool newFormat) {
  if (!model_.setReplaying(on, newFormat)) return;
  if (on) {
    startMs_ = timeGetTime();
    model_.log().clear();
    logItems_.redraw();
    progress_->setProgress(0, 0, startMs_);
  }
  refreshControls();
}

void TEventView::setPaused(bool paused) {
  if (paused == model_.paused()) return;
  model_.setPaused(paused);
  refreshControls();
}

void TEventView::setLogCapacity(int32_t rows) {
  model_.log().setCapacity(rows);
  logItems_.makeVisible(logItems_.getActiveIndex());
  logItems_.redraw();
}

void TEventView::MenuClearLogClick() {
  model_.log().clear();
  logItems_.setScrollPos(0);
  logItems_.redraw();
}

void TEventView::MenuLogCapacityClick() {
  int rows = model_.log().capacity();
  if (!askLogCapacity(this, rows)) return;
  setLogCapacity(rows);
  if (OnLogCapacity) OnLogCapacity(model_.log().capacity());
}

void TEventView::addEvent(uint8_t nameIndex) { refreshLog(model_.log().addEvent(nameIndex)); }

void TEventView::setProgress(uint32_t done, uint32_t total) {
  model_.setProgress(done, total);
  progress_->setProgress(int32_t(std::min<uint32_t>(model_.progressDone(), INT32_MAX)),
                         int32_t(std::min<uint32_t>(model_.progressTotal(), INT32_MAX)), startMs_);
}

void TEventView::setBrush(const SReplayedBrush& brush) {
  if (model_.setBrush(brush)) refreshBrush();
}

void TEventView::refreshControls() {
  caption_->setText(QString::fromStdString(model_.caption()));
  replayRow_->setVisible(model_.replaying());
  progress_->setVisible(model_.replaying());
  pause_->setIcon(glyphIcon(model_.pauseGlyph()));
  step_->setIcon(glyphIcon(kGlyphReplayStep));
  stop_->setIcon(glyphIcon(kGlyphReplayStop));
  pause_->setEnabled(model_.pauseEnabled());
  step_->setEnabled(model_.stepEnabled());
  stop_->setEnabled(model_.stopEnabled());
  progress_->setMode(model_.progressMode());
}

void TEventView::refreshBrush() {
  const SReplayedBrush& b = model_.brush();
  kind_->setGlyphType(model_.brushGlyph());
  tone_->setGlyphType(model_.toneGlyph());
  gradation_->setGlyphType(model_.gradationGlyph());
  colours_->setActiveSide(2);
  colours_->setColorRec(rgbaToColorRec(b.background | 0xFF000000u));
  colours_->setActiveSide(1);
  colours_->setColorRec(rgbaToColorRec(b.foreground | 0xFF000000u));
}

void TEventView::refreshLog(TEventLogModel::Change change) {
  using Change = TEventLogModel::Change;
  const TEventLogModel& log = model_.log();
  if (change == Change::None || change == Change::Quiet) return;
  ++logRedraws_;
  // Older rows may have gone at the capacity: the list shows the model.
  if (change == Change::Appended) logItems_.makeVisible(log.selected());
  logItems_.redraw();
}

void TEventView::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
}

bool TEventView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == progress_ && event->type() == QEvent::MouseButtonPress) {
    model_.progressClick();
    progress_->setMode(model_.progressMode());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pg
