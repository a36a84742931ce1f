#pragma once
// Menu commands as a user meets them: the menu's enabled states brought up to
// date first, then a command run only when its item is enabled.
#include <gtest/gtest.h>

#include <QAction>

#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"

namespace pg::testing {

// True when the command exists and its menu item would show enabled now.
inline bool commandEnabled(TMainForm& form, const char* name) {
  form.actions().updateAll();
  QAction* a = form.actions().action(name);
  return a != nullptr && a->isEnabled();
}

// Runs the command as a click on its item would; a failure when it is disabled.
inline void runCommand(TMainForm& form, const char* name) {
  ASSERT_TRUE(commandEnabled(form, name)) << name;
  form.actions().action(name)->trigger();
}

}  // namespace pg::testing
