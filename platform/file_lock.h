#pragma once
// An advisory lock (flock) that makes a read-change-write of a shared file one step
// for every program that takes it: the second writer waits, then reads what the
// first one wrote, instead of writing back its own older copy.
//
// The lock is on the file itself. An atomic save renames a new file into place, so a
// waiter that gets the lock of the replaced file sees that the name now holds
// another file and locks that one instead.
#include <chrono>
#include <string>

namespace platform {

class CFileUpdateLock {
 public:
  enum class Result { Locked, Busy, Unavailable };

  CFileUpdateLock() = default;
  ~CFileUpdateLock() { Unlock(); }
  CFileUpdateLock(const CFileUpdateLock&) = delete;
  CFileUpdateLock& operator=(const CFileUpdateLock&) = delete;

  // Locks the regular file path names (links followed), creating it empty when it is
  // missing. Busy when another holder kept it for longer than wait; Unavailable when
  // there is no such file to lock (a missing folder, no permission, not a regular
  // file): the caller's own read or write then says why.
  Result Lock(const std::string& path, std::chrono::milliseconds wait);
  void Unlock();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
