#include "core/beside_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace {

// The new file's name while it exists, for the signal handler.
char pending[PATH_MAX + 32];
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RemovePendingAndEnd(int sig) {
  if (pending[0]) unlink(pending);
  std::signal(sig, SIG_DFL);
  raise(sig);
}

void SetEndingHandlers(void (*handler)(int)) {
  for (int sig : kEndingSignals) std::signal(sig, handler);
}

}  // namespace

bool LinkTarget(const char* name, std::string& target) {
  target = name;
  struct stat st;
  for (int links = 0; lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++links) {
    char link[PATH_MAX];
    const ssize_t n = readlink(target.c_str(), link, sizeof link);
    if (links == 40 || n <= 0 || n == ssize_t(sizeof link)) return false;
    target = (link[0] == '/' ? std::string() : target.substr(0, target.rfind('/') + 1)) + std::string(link, size_t(n));
  }
  return true;
}

int BesideFile::Create(const char* name) {
  if (!LinkTarget(name, target_)) {
    errno = ELOOP;
    return -1;
  }
  const size_t slash = target_.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
  std::string temp = dir + "." + target_.substr(dir.size()) + ".XXXXXX";
  if (temp.size() >= sizeof pending) {
    errno = ENAMETOOLONG;
    return -1;
  }
  struct stat st;
  mode_t mode;
  if (stat(target_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  // Over a file-size limit, a write fails instead of ending the program
  // with the file half written. The handlers are in place before the file
  // exists, and its name before they can see it.
  std::signal(SIGXFSZ, SIG_IGN);
  std::strcpy(pending, temp.c_str());
  SetEndingHandlers(RemovePendingAndEnd);
  fd_ = mkstemp(pending);
  if (fd_ < 0) {
    const int error = errno;
    pending[0] = '\0';
    SetEndingHandlers(SIG_DFL);
    errno = error;
    return -1;
  }
  fchmod(fd_, mode);
  return fd_;
}

bool BesideFile::Commit() {
  bool ok = fsync(fd_) == 0 || errno == EINVAL;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && std::rename(pending, target_.c_str()) == 0;
  if (!ok) {
    const int error = errno;
    Abandon();
    errno = error;
    return false;
  }
  pending[0] = '\0';
  SetEndingHandlers(SIG_DFL);
  return true;
}

void BesideFile::Abandon() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (pending[0]) unlink(pending);
  pending[0] = '\0';
  SetEndingHandlers(SIG_DFL);
}
