// Files for unit tests: a fresh directory per test, and whole-file I/O.
#pragma once

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

inline std::string MakeTempDir() {
  const char* base = getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/filter-unit-XXXXXX";
  return mkdtemp(&templ[0]) ? templ : std::string();
}

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace testfiles
