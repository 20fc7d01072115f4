#include "plot/textio.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

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

void ReplaceFileOrExit(const char* name, const std::string& content) {
  // Writing to a symbolic link writes to the file it points to, as
  // opening the name for writing would.
  std::string target = name;
  struct stat old_stat;
  bool exists = lstat(name, &old_stat) == 0;
  if (exists && S_ISLNK(old_stat.st_mode)) {
    if (char* real = realpath(name, nullptr)) {
      target = real;
      std::free(real);
    }
    exists = stat(target.c_str(), &old_stat) == 0;
  }
  // A name that could not be opened for writing is refused as before: a
  // directory, or a file the user may not write.
  if (exists && (S_ISDIR(old_stat.st_mode) || access(target.c_str(), W_OK) != 0)) {
    FailFile(name, "cannot be opened");
  }
  mode_t mode;
  if (exists) {
    mode = old_stat.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temp = target + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  const bool in_place = fd == -1 && exists && (errno == EACCES || errno == EPERM);
  if (in_place) {
    // The directory takes no new file, but the file itself may be written:
    // write it in place, as opening it for writing would.
    fd = open(target.c_str(), O_WRONLY | O_TRUNC);
  } else if (fd != -1 && exists) {
    // The new file keeps the old one's owner where that is allowed.
    const int kept = fchown(fd, old_stat.st_uid, old_stat.st_gid);
    (void)kept;
  }
  if (fd == -1) FailFile(name, "cannot be opened");

  // Over a file-size limit, report the failed write instead of dying of
  // SIGXFSZ halfway through. The stream writes what a short write left
  // over; every error shows in the write, the flush, the sync or the close.
  std::signal(SIGXFSZ, SIG_IGN);
  std::FILE* out = fdopen(fd, "w");
  bool ok = out && (in_place || fchmod(fd, mode) == 0) &&
            std::fwrite(content.data(), 1, content.size(), out) == content.size() && std::fflush(out) == 0 &&
            (fsync(fd) == 0 || errno == EINVAL);
  ok = (out ? std::fclose(out) : close(fd)) == 0 && ok;
  if (!in_place) {
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
  }
  if (!ok) FailFile(name, "cannot be written");
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
