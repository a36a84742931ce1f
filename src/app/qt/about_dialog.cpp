#include "app/qt/about_dialog.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/about_info.h"
#include "app/dialog_texts.h"
#include "app/qt/main_form.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

constexpr const char* kVersionText = PIGMORA_VERSION;

QString pair(uint64_t used, uint64_t total) {
  return QString::fromStdString(formatRes(kResAboutPair, {formatByteCount(used), formatByteCount(total)}));
}

}  // namespace

QImage aboutPicture(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(0x2B, 0x3A, 0x67));
  sky.setColorAt(1, QColor(0xE8, 0x9F, 0x71));
  p.fillRect(image.rect(), sky);
  // A brush stroke sweeping across, thick to thin, in three passes.
  const QColor inks[3] = {QColor(0xF4, 0xD3, 0x5E), QColor(0xEE, 0x96, 0x4B), QColor(0xFA, 0xF0, 0xCA)};
  for (int k = 0; k < 3; ++k) {
    QPainterPath path;
    double y0 = height * (0.35 + 0.18 * k);
    path.moveTo(width * 0.08, y0);
    path.cubicTo(width * 0.35, y0 - height * 0.35, width * 0.6, y0 + height * 0.25, width * 0.92, y0 - height * 0.1);
    p.setPen(QPen(inks[k], 10 - 3 * k, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
  }
  QFont f = p.font();
  f.setPixelSize(height / 4);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(image.rect().adjusted(0, 0, -8, -6), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Pigmora"));
  return image;
}

TFormAbout::TFormAbout(const SMemoryStatus& memory, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(resText(kResAboutCaption));
  setStyleSheet(QStringLiteral("#FormAbout { border: 1px solid palette(dark); }"));
  auto* grid = new QGridLayout(this);
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("BoxImage"));
  picture->setPixmap(QPixmap::fromImage(aboutPicture(320, 120)));
  grid->addWidget(picture, 0, 0, 1, 2);
  grid->addWidget(new QLabel(QString::fromStdString(formatRes(kResAboutVersion, {kVersionText})), this), 1, 0, 1, 2);
  const std::pair<uint32_t, QString> lines[] = {
      {kResAboutPhysical, pair(memory.physicalUsed, memory.physicalTotal)},
      {kResAboutSwap, pair(memory.swapUsed, memory.swapTotal)},
      {kResAboutVirtual, pair(memory.virtualUsed, memory.virtualTotal)}};
  int row = 2;
  for (const auto& [label, value] : lines) {
    grid->addWidget(new QLabel(resText(label), this), row, 0);
    auto* v = new QLabel(value, this);
    v->setAlignment(Qt::AlignRight);
    grid->addWidget(v, row++, 1);
  }
  // A press on any label or on the picture closes the box too.
  for (QLabel* l : findChildren<QLabel*>()) l->installEventFilter(this);
}

void TFormAbout::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
    accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TFormAbout::mousePressEvent(QMouseEvent*) { accept(); }

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool showAbout(TMainForm& form) {
  TFormAbout box(readMemoryStatus(), &form);
  return form.showModalDialog(box) == kMrOk;
}

}  // namespace pg
