#pragma once
// The message service of the program: Qt message boxes, modal, owned by the
// active window, else the main window, else none (the desktop).
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/message_service.h"

namespace pg {

class QtMessageService final : public MessageService {
 public:
  // The main window, once it exists; boxes are owned by it when no window of
  // the program is active.
  void setMainWindow(QWidget* window) { mainWindow_ = window; }
  QWidget* ownerWindow() const;

  void warning(const std::string& text) override;
  void information(const std::string& text) override;
  [[nodiscard]] int question(const std::string& text, MessageButtons buttons) override;

  // The box each call shows, built but not shown.
  std::unique_ptr<QMessageBox> buildBox(MessageKind kind, const std::string& text,
                                        MessageButtons buttons = MessageButtons::YesNo) const;

 private:
  QPointer<QWidget> mainWindow_;
};

// The standard buttons of a button set.
QMessageBox::StandardButtons standardButtons(MessageButtons buttons);
// The modal result of a pressed button: OK 1, Cancel 2, Yes 6, No 7; a box
// closed otherwise (Escape without a Cancel button) counts as Cancel.
int modalResultOf(QMessageBox::StandardButton button);
// Texts keep carriage returns as line breaks; Qt wants line feeds.
QString messageText(const std::string& text);

}  // namespace pg
