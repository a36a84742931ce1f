#pragma once
// What the fuzz targets share: a check that ends the run like a crash, and a
// message service that shows nothing (a message per input would slow the run
// and fill its log) and refuses every question.
#include <cstdlib>
#include <string>

#include "platform/message_service.h"

namespace pg::fuzz {

inline void check(bool ok) {
  if (!ok) std::abort();
}

class SilentMessages final : public MessageService {
 public:
  void warning(const std::string&) override {}
  void information(const std::string&) override {}
  int question(const std::string&, MessageButtons buttons) override { return refusingAnswer(buttons); }
};

// Installs one SilentMessages for the process (the first call does it).
inline void silenceMessages() {
  static SilentMessages silent;
  static const bool installed = (setMessageService(&silent), true);
  (void)installed;
}

}  // namespace pg::fuzz
