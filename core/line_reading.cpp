#include "core/line_reading.h"

#include <cstdlib>

namespace {

[[noreturn]] void FailFile(const char* name, const char* what) {
  std::printf("%s %s.\n", name, what);
  std::exit(1);
}

}  // namespace

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
