#include "core/file_replacement.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
}  // namespace

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kEndingSignals) sigaddset(&set, sig);
  return set;
}

namespace {

// The new file's name, for the signal handler, which is in place only
// while the file exists; and the actions the handler stands in for.
char pending[PATH_MAX + 32];
// The thread that writes the file, which holds the ending signals back
// while the file changes; a signal that another thread takes is passed on
// to it.
pthread_t writer;
struct sigaction actions_before[sizeof kEndingSignals / sizeof *kEndingSignals];


// Holds the ending signals back while it lives, so that the new file's
// name, the file and the handlers change together.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    const sigset_t ending = EndingSignals();
    pthread_sigmask(SIG_BLOCK, &ending, &before_);
  }
  ~EndingSignalsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t before_;
};

// Removes the new file and ends the program by the signal that came: held
// back while the handler runs, it takes its default action on return.
void RemovePendingAndEnd(int sig) {
  if (!pthread_equal(pthread_self(), writer)) {
    pthread_kill(writer, sig);
    return;
  }
  unlink(pending);
  std::signal(sig, SIG_DFL);
  raise(sig);
}

// A signal that the program ignores (SIGHUP under nohup) stays ignored.
// The others wait while the handler runs, so that the first ends the
// program.
void SetEndingHandlers() {
  writer = pthread_self();
  struct sigaction action = {};
  action.sa_handler = RemovePendingAndEnd;
  action.sa_mask = EndingSignals();
  for (size_t i = 0; i < sizeof kEndingSignals / sizeof *kEndingSignals; ++i) {
    sigaction(kEndingSignals[i], nullptr, &actions_before[i]);
    if (actions_before[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &action, nullptr);
  }
}

void RestoreEndingActions() {
  for (size_t i = 0; i < sizeof kEndingSignals / sizeof *kEndingSignals; ++i) {
    sigaction(kEndingSignals[i], &actions_before[i], nullptr);
  }
}

// The handlers in place, with no new file to remove, while it lives (inside
// an EndingSignalsHeld): a signal that another thread takes waits for the
// writer, and takes its own action once the writer lets it through.
struct EndingHandlersSet {
  EndingHandlersSet() {
    pending[0] = '\0';
    SetEndingHandlers();
  }
  ~EndingHandlersSet() { RestoreEndingActions(); }
};

// Six letters or digits that differ from one attempt to the next and from
// one process to another.
std::string Suffix(unsigned attempt) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  unsigned long long x = (unsigned long long)getpid() * 2654435761u ^ (unsigned long long)now.tv_nsec ^
                         (unsigned long long)attempt * 40503u;
  std::string suffix;
  for (int i = 0; i < 6; ++i, x /= 62) suffix += kChars[x % 62];
  return suffix;
}

}  // namespace

bool LinkTarget(const char* name, std::string& target) {
  target = name;
  struct stat st;
  for (int links = 0; lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode); ++links) {
    char link[PATH_MAX];
    const ssize_t n = readlink(target.c_str(), link, sizeof link);
    if (links == 40 || n <= 0 || n == ssize_t(sizeof link)) {
      if (links == 40 || n == 0) errno = ELOOP;
      if (n == ssize_t(sizeof link)) errno = ENAMETOOLONG;
      return false;
    }
    target = (link[0] == '/' ? std::string() : target.substr(0, target.rfind('/') + 1)) + std::string(link, size_t(n));
  }
  return true;
}

BesideFile::~BesideFile() {
  if (pending_) Abandon();
}

int BesideFile::Create(const char* name) {
  if (!LinkTarget(name, target_)) return -1;
  const size_t slash = target_.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
  const std::string prefix = dir + "." + target_.substr(dir.size()) + ".";
  if (prefix.size() + 6 >= sizeof pending) {
    errno = ENAMETOOLONG;
    return -1;
  }
  struct stat st;
  const bool exists = stat(target_.c_str(), &st) == 0;
  // Over a file-size limit, a write fails instead of ending the program
  // with the file half written.
  std::signal(SIGXFSZ, SIG_IGN);
  {
    // The handlers and the name are in place as the file comes to exist.
    EndingSignalsHeld held;
    pending[0] = '\0';
    SetEndingHandlers();
    for (unsigned attempt = 0; fd_ == -1 && attempt < 100; ++attempt) {
      const std::string path = prefix + Suffix(attempt);
      // A new file gets 0666 less the umask, as opening the name would.
      fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ != -1) {
        std::strcpy(pending, path.c_str());
        pending_ = true;
      } else if (errno != EEXIST) {
        break;
      }
    }
    if (fd_ == -1) {
      const int error = errno;
      RestoreEndingActions();
      errno = error;
    }
  }
  if (fd_ == -1) return -1;
  if (exists) {
    // The new file keeps the old one's owner where that is allowed, and
    // its mode whatever the umask.
    const int kept = fchown(fd_, st.st_uid, st.st_gid);
    (void)kept;
    fchmod(fd_, st.st_mode & 07777);
  }
  return fd_;
}

bool BesideFile::Commit() {
  bool ok = fsync(fd_) == 0 || errno == EINVAL;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  EndingSignalsHeld held;
  ok = ok && std::rename(pending, target_.c_str()) == 0;
  if (!ok) {
    const int error = errno;
    Abandon();
    errno = error;
    return false;
  }
  pending_ = false;
  RestoreEndingActions();
  return true;
}

void BesideFile::Abandon() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!pending_) return;
  EndingSignalsHeld held;
  unlink(pending);
  pending_ = false;
  RestoreEndingActions();
}

namespace {

// Reads the whole file from its start into text.
bool ReadAll(int fd, std::string& text) {
  char buffer[4096];
  ssize_t n;
  while ((n = pread(fd, buffer, sizeof buffer, off_t(text.size()))) > 0) text.append(buffer, size_t(n));
  return n == 0;
}

// Writes text from the start of the file (a pipe or a device takes it as
// it comes), as far as it goes; written counts the bytes that reached it.
bool WriteAll(int fd, const std::string& text, size_t& written) {
  lseek(fd, 0, SEEK_SET);
  errno = 0;  // a pipe's refused seek is no failure of the write
  ssize_t n = 0;
  while (written < text.size() && (n = write(fd, text.data() + written, text.size() - written)) > 0) {
    written += size_t(n);
  }
  return written == text.size();
}

// A write that stopped short without an error number: the device took no
// more.
int WriteError() { return errno ? errno : ENOSPC; }

// The new content through a file beside the target.
const char* WriteBeside(BesideFile& beside, int fd, const std::string& content, int& error) {
  size_t written = 0;
  if (!WriteAll(fd, content, written)) {  // the new file goes with beside
    error = WriteError();
    return "cannot be written";
  }
  if (!beside.Commit()) {
    error = errno;
    return "cannot be written";
  }
  return nullptr;
}

// The new content written into the target itself: a device or a pipe, or
// a regular file whose folder takes no new file, with a copy of what it
// held to put back if the new content cannot be written whole. The ending
// signals wait until the file is whole, new or earlier.
const char* WriteInPlace(const std::string& target, bool regular, const std::string& content, int& error) {
  int fd = regular ? open(target.c_str(), O_RDWR | O_CLOEXEC) : -1;
  if (fd == -1) fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd == -1) {
    error = errno;
    return "cannot be opened";
  }
  std::signal(SIGXFSZ, SIG_IGN);
  EndingSignalsHeld held;
  EndingHandlersSet handlers;
  std::string earlier;
  const bool copied = regular && ReadAll(fd, earlier);
  // Bytes of the file changed so far: writes go from its start; its length
  // changes last.
  size_t changed = 0;
  bool ok = WriteAll(fd, content, changed);
  if (ok) changed = std::string::npos;
  ok = ok && (!regular || ftruncate(fd, off_t(content.size())) == 0) && (fsync(fd) == 0 || errno == EINVAL);
  if (!ok) error = WriteError();
  bool earlier_lost = false;
  if (regular && !ok && changed) {
    size_t put_back = 0;
    earlier_lost = !copied || !WriteAll(fd, earlier.substr(0, changed), put_back) ||
                   ftruncate(fd, off_t(earlier.size())) != 0 || (fsync(fd) != 0 && errno != EINVAL);
  }
  if (close(fd) != 0 && ok) ok = false, error = errno;
  if (earlier_lost) return "cannot be written; its earlier content is lost";
  return ok ? nullptr : "cannot be written";
}

// ReplaceFile's work: nullptr once the file holds content, else what
// failed, in the words of the message, and in error the system's error
// number of the step that failed (error is left as it was on success).
const char* Replace(const char* name, const std::string& content, int& error) {
  const auto not_opened = [&error](int number) {
    error = number;
    return "cannot be opened";
  };
  // Writing to a symbolic link writes to the file it points to, as
  // opening the name for writing would: the last name of the chain, which
  // need not exist yet.
  std::string target;
  if (!LinkTarget(name, target)) return not_opened(errno);
  struct stat old_stat;
  const bool exists = stat(target.c_str(), &old_stat) == 0;
  // A name that could not be opened for writing is refused as before: a
  // directory, or a file the user may not write.
  if (exists && S_ISDIR(old_stat.st_mode)) return not_opened(EISDIR);
  if (exists && access(target.c_str(), W_OK) != 0) return not_opened(errno);
  // A device or a pipe is written, not replaced. So is a file where the
  // directory takes no new file but the file itself may be written.
  const bool regular = !exists || S_ISREG(old_stat.st_mode);
  if (regular) {
    BesideFile beside;
    const int fd = beside.Create(target.c_str());
    if (fd != -1) return WriteBeside(beside, fd, content, error);
    if (!exists || (errno != EACCES && errno != EPERM)) return not_opened(errno);
  }
  return WriteInPlace(target, regular, content, error);
}

}  // namespace

void ReplaceFileOrExit(const char* name, const std::string& content) {
  const std::string failure = ReplaceFile(name, content);
  if (failure.empty()) return;
  std::printf("%s\n", failure.c_str());
  std::exit(1);
}

std::string ReplaceFile(const char* name, const std::string& content, int* error) {
  int number = 0;
  const char* failure = Replace(name, content, number);
  if (error) *error = failure ? number : 0;
  return failure ? std::string(name) + " " + failure + "." : std::string();
}
