#pragma once
// The two shell routines: open a file or an address with the desktop's
// handler for it, and open an address in the browser.
#include <QString>

namespace pg {

// A path (relative ones against the working folder) or an address with a
// scheme; true when the desktop took it.
[[nodiscard]] bool shellOpen(const QString& pathOrAddress);
// An address with a scheme (http, https, file, mailto); true when the
// browser took it. Anything else is refused.
[[nodiscard]] bool navigateUrl(const QString& address);

}  // namespace pg
