#include "core/textio.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "core/beside_file.h"

namespace {

// The C locale's numeric conventions, created once per process.
locale_t CNumericLocale() {
  static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

// Switches the calling thread to the C numeric conventions while it lives.
class ScopedCNumeric {
 public:
  ScopedCNumeric() : previous_(CNumericLocale() ? uselocale(CNumericLocale()) : nullptr) {}
  ~ScopedCNumeric() {
    if (previous_) uselocale(previous_);
  }
  ScopedCNumeric(const ScopedCNumeric&) = delete;
  ScopedCNumeric& operator=(const ScopedCNumeric&) = delete;

 private:
  locale_t previous_;
};

[[noreturn]] void FailFile(const char* name, const char* what) {
  std::printf("%s %s.\n", name, what);
  std::exit(1);
}

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

}  // namespace

void AppendValueLine(std::string& content, float v) {
  ScopedCNumeric c_numeric;
  char line[kLineBufferSize];
  int n = std::snprintf(line, sizeof line, "%f\n", static_cast<double>(v));
  if (n < 0 || n >= static_cast<int>(sizeof line)) {
    n = std::snprintf(line, sizeof line, "%.6e\n", static_cast<double>(v));
  }
  content.append(line, static_cast<size_t>(n));
}

double ParseValue(const char* text) {
  const locale_t c_locale = CNumericLocale();
  return c_locale ? strtod_l(text, nullptr, c_locale) : std::strtod(text, nullptr);
}

float ParseFloat(const char* text) {
  const locale_t c_locale = CNumericLocale();
  return c_locale ? strtof_l(text, nullptr, c_locale) : std::strtof(text, nullptr);
}

std::FILE* OpenForReadingOrExit(const char* name) {
  std::FILE* file = std::fopen(name, "r");
  if (!file) FailFile(name, "cannot be opened");
  return file;
}

bool ReadLinePiece(std::FILE* file, const char* name, char (&line)[kLineBufferSize]) {
  if (std::fgets(line, kLineBufferSize, file)) return true;
  if (std::ferror(file)) FailFile(name, "cannot be read");
  return false;
}

namespace {

// ReplaceFile's work: nullptr once the file holds content, else what
// failed, in the words of the message, and in error the system's error
// number of the step that failed.
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

  // The new file beside the target, created with the earlier file's mode,
  // or as opening the name would create it: 0666 less the umask.
  const mode_t mode = exists ? old_stat.st_mode & 07777 : 0666;
  const bool regular = !exists || S_ISREG(old_stat.st_mode);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; regular && fd == -1 && attempt < 100; ++attempt) {
    temp = target + "." + std::to_string(getpid()) + "." + std::to_string(attempt);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd == -1 && errno != EEXIST) break;
  }
  // A device or a pipe is written, not replaced. So is a file where the
  // directory takes no new file but the file itself may be written: in
  // place, as opening it for writing would, with a copy of what it held to
  // put back if the new content cannot be written whole.
  const bool in_place = !regular || (fd == -1 && exists && (errno == EACCES || errno == EPERM));
  if (in_place) {
    fd = regular ? open(target.c_str(), O_RDWR | O_CLOEXEC) : -1;
    if (fd == -1) fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  } else if (fd != -1 && exists) {
    // The new file keeps the old one's owner where that is allowed, and
    // its mode whatever the umask.
    const int kept = fchown(fd, old_stat.st_uid, old_stat.st_gid);
    (void)kept;
    fchmod(fd, mode);
  }
  if (fd == -1) return not_opened(errno);

  // Over a file-size limit, report the failed write instead of dying of
  // SIGXFSZ halfway through; and a signal to end the program waits until
  // the file is whole, new or earlier.
  std::signal(SIGXFSZ, SIG_IGN);
  sigset_t ending, before;
  sigemptyset(&ending);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&ending, sig);
  sigprocmask(SIG_BLOCK, &ending, &before);
  std::string earlier;
  const bool copied = !in_place || (regular && ReadAll(fd, earlier));
  // Bytes of the file changed so far: writes go from its start; its length
  // changes last.
  size_t changed = 0;
  bool ok = WriteAll(fd, content, changed);
  if (in_place && ok) changed = std::string::npos;
  ok = ok && (!in_place || !regular || ftruncate(fd, off_t(content.size())) == 0) &&
       (fsync(fd) == 0 || errno == EINVAL);
  // A write that stopped short without an error number: the device took
  // no more.
  error = ok ? 0 : errno ? errno : ENOSPC;
  bool earlier_lost = false;
  if (in_place && regular && !ok && changed) {
    size_t put_back = 0;
    earlier_lost = !copied || !WriteAll(fd, earlier.substr(0, changed), put_back) ||
                   ftruncate(fd, off_t(earlier.size())) != 0 || (fsync(fd) != 0 && errno != EINVAL);
  }
  if (close(fd) != 0 && ok) ok = false, error = errno;
  if (!in_place) {
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) ok = false, error = errno;
    if (!ok) unlink(temp.c_str());
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (earlier_lost) return "cannot be written; its earlier content is lost";
  if (!ok) return "cannot be written";
  return nullptr;
}

}  // namespace

void ReplaceFileOrExit(const char* name, const std::string& content) {
  int error = 0;
  if (const char* failure = Replace(name, content, error)) FailFile(name, failure);
}

std::string ReplaceFile(const char* name, const std::string& content, int* error) {
  int number = 0;
  const char* failure = Replace(name, content, number);
  if (error) *error = failure ? number : 0;
  return failure ? std::string(name) + " " + failure + "." : std::string();
}

std::string FormatNumber(const char* format, double v) {
  ScopedCNumeric c_numeric;
  const int n = std::snprintf(nullptr, 0, format, v);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(&text[0], text.size(), format, v);
  text.resize(static_cast<size_t>(n));
  return text;
}

namespace {

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// The two roundings differ only next to a midpoint between floats.
bool ReadsBackAs(const std::string& text, float v) {
  return SameFloat(ParseFloat(text.c_str()), v) && SameFloat(static_cast<float>(ParseValue(text.c_str())), v);
}

}  // namespace

std::string ShortestDecimal(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  // The fewest significant digits that read back as v, as d.ddde[-]x.
  std::string scientific;
  for (int digits = 1; digits <= 9; ++digits) {
    scientific = FormatNumber(("%." + std::to_string(digits - 1) + "e").c_str(), static_cast<double>(v));
    if (ReadsBackAs(scientific, v)) break;
  }
  const size_t e = scientific.find('e');
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const std::string sign = scientific[0] == '-' ? "-" : "";
  std::string significant;
  for (size_t i = 0; i < e; ++i) {
    if (scientific[i] >= '0' && scientific[i] <= '9') significant += scientific[i];
  }
  if (exponent < -5 || exponent > 20) {
    std::string out = sign + significant.substr(0, 1);
    if (significant.size() > 1) out += "." + significant.substr(1);
    return out + "e" + std::to_string(exponent);
  }
  const size_t whole = static_cast<size_t>(exponent) + 1;  // digits before the point, when exponent >= 0
  if (exponent < 0) return sign + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + significant;
  if (significant.size() <= whole) return sign + significant + std::string(whole - significant.size(), '0');
  return sign + significant.substr(0, whole) + "." + significant.substr(whole);
}
