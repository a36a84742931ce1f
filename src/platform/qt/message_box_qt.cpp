#include "platform/qt/message_box_qt.h"

#include <QApplication>

namespace pg {

QMessageBox::StandardButtons standardButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

int modalResultOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return kMrOk;
    case QMessageBox::Yes: return kMrYes;
    case QMessageBox::No: return kMrNo;
    default: return kMrCancel;
  }
}

QString messageText(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

QWidget* QtMessageService::ownerWindow() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return mainWindow_.data();
}

std::unique_ptr<QMessageBox> QtMessageService::buildBox(MessageKind kind, const std::string& text,
                                                        MessageButtons buttons) const {
  auto box = std::make_unique<QMessageBox>(ownerWindow());
  box->setText(messageText(text));
  switch (kind) {
    case MessageKind::Warning:
      box->setIcon(QMessageBox::Warning);
      box->setWindowTitle(messageText(warningCaption()));
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case MessageKind::Information:
      box->setIcon(QMessageBox::Information);
      box->setWindowTitle(QString::fromUtf8(kProductName.data(), qsizetype(kProductName.size())));
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case MessageKind::Question:
      box->setIcon(QMessageBox::Question);
      box->setWindowTitle(QString::fromUtf8(kProductName.data(), qsizetype(kProductName.size())));
      box->setStandardButtons(standardButtons(buttons));
      box->setDefaultButton(buttons == MessageButtons::OkCancel ? QMessageBox::Ok : QMessageBox::Yes);
      break;
  }
  return box;
}

void QtMessageService::warning(const std::string& text) { buildBox(MessageKind::Warning, text)->exec(); }

void QtMessageService::information(const std::string& text) { buildBox(MessageKind::Information, text)->exec(); }

int QtMessageService::question(const std::string& text, MessageButtons buttons) {
  auto box = buildBox(MessageKind::Question, text, buttons);
  box->exec();
  return modalResultOf(box->standardButton(box->clickedButton()));
}

}  // namespace pg
