#pragma once
// The low-level file moves every writer and reader of the program shares:
// whole reads and writes over a descriptor, and the replace-by-rename
// protocol (write a temporary file beside the target, make it durable, then
// rename it over the target, so that a failure leaves the old file intact).
#include <cstdint>
#include <string>

namespace pg {

// Reads until count bytes arrived, the end of the file or an error (an
// interrupted call is repeated); answers the bytes read.
[[nodiscard]] int64_t readFully(int fd, void* buffer, int64_t count);
// Reads count bytes at offset the same way, the descriptor's position unused
// and unchanged; in the same system calls, up to aheadCapacity of the bytes
// that follow go into ahead (aheadGot tells how many: fewer at the end of the
// file). Answers the bytes read into buffer.
[[nodiscard]] int64_t readFullyAt(int fd, int64_t offset, void* buffer, int64_t count, void* ahead,
                                  int64_t aheadCapacity, int64_t& aheadGot);
// Writes until count bytes went out or an error; answers the bytes written.
[[nodiscard]] int64_t writeFully(int fd, const void* buffer, int64_t count);

// Creates a new temporary file beside target, exclusively and under a name no
// other writer of this or another process uses ("<target>.tmp-<pid>-..."),
// with the permissions of the regular file it is to replace, and opens it for
// writing. First removes the temporaries of saves killed half-way beside the
// same target (of processes that have ended, or with this process's id but not
// opened by it). Answers the descriptor and sets temporary, or answers -1.
int openReplacement(const std::string& target, std::string& temporary);
// Ends a replacement: when ok, flushes fd to the disk, closes it and renames
// temporary over target; closes fd (when >= 0) in any case. When anything
// failed (ok already false included) the temporary file is removed and the
// target stays as it was. Answers whether the target was replaced.
[[nodiscard]] bool finishReplacement(int fd, const std::string& temporary, const std::string& target, bool ok);

}  // namespace pg
