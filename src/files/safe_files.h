// Reading and writing whole small files safely. Plain C++ over POSIX:
// - a read never blocks: the file is opened without blocking and its kind is
//   checked on the open descriptor, so nothing can be swapped in between;
// - a save is all or nothing: the bytes go to a temporary file beside the
//   target, are flushed to the disk and renamed over it, and on any failure
//   the temporary file is removed and the old file stays as it was.
// Paths are bytes, whatever their encoding. Failures carry errno and the
// file's kind, and have Russian words for the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hexlife::files {

enum class Kind { Regular, Directory, Fifo, Socket, Device, Other };

struct Failure {
    int error = 0;              // errno, or 0 where the kind is the fault
    Kind kind = Kind::Regular;  // what the name turned out to be
    bool tooBig = false;        // a read of more than it may hold
};

struct ReadResult {
    bool ok = false;
    std::string bytes;
    Failure failure;
};
// At most maxBytes; a regular file larger than that is refused unread.
ReadResult ReadWhole(const std::string& path, std::int64_t maxBytes);

struct SaveResult {
    bool ok = false;
    Failure failure;
};
SaveResult SaveWhole(const std::string& path, std::string_view bytes);

// Why it failed, one Russian sentence for a message box (UTF-8).
std::string Reason(const Failure& failure);

}  // namespace hexlife::files
