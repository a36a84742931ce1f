#pragma once
// Driving a modal dialog that a command opens: the test states what to do
// inside it before running the command.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace pg::testing {

// Runs `inside` on the next modal dialog of type T once it shows, then
// closes it with OK or Cancel.
template <typename T>
void onDialog(std::function<void(T&)> inside, bool ok = true) {
  QTimer::singleShot(0, [inside, ok] {
    auto* d = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (d == nullptr) {
      ADD_FAILURE() << "no dialog of the expected type";
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
      return;
    }
    inside(*d);
    if (ok)
      d->accept();
    else
      d->reject();
  });
}

}  // namespace pg::testing
