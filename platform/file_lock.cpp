#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace platform {

CFileUpdateLock::Result CFileUpdateLock::Lock(const std::string& path, std::chrono::milliseconds wait) {
  Unlock();
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    // Non-blocking, so a FIFO at the name never stalls the open. For writing where
    // allowed: NFS grants an exclusive lock only to a file open for writing.
    const int flags = O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), O_RDWR | flags, 0644);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) fd = ::open(path.c_str(), O_RDONLY | flags, 0644);
    if (fd < 0) return Result::Unavailable;
    struct stat held;
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
      ::close(fd);
      return Result::Unavailable;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK || errno == EINTR;
      if (!busy || std::chrono::steady_clock::now() >= deadline) {
        ::close(fd);
        return busy ? Result::Busy : Result::Unavailable;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The holder we waited for may have saved a new file under the name.
    struct stat named;
    if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
      fd_ = fd;
      return Result::Locked;
    }
    ::close(fd);
    if (std::chrono::steady_clock::now() >= deadline) return Result::Busy;
  }
}

void CFileUpdateLock::Unlock() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the only descriptor releases the lock
  fd_ = -1;
}

}  // namespace platform
