// The file that a fuzz target hands to a reader: an in-memory file, named
// through /proc, rewritten with each input. The viewer's chain prints its
// count line for every input; standard output goes to /dev/null.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzz {

inline int file_fd = -1;
inline std::string file_name;

inline void OpenFile() {
  file_fd = memfd_create("input", 0);
  file_name = "/proc/self/fd/" + std::to_string(file_fd);
  if (!std::freopen("/dev/null", "w", stdout)) std::perror("stdout");
}

// Makes the file hold exactly the input; false if it could not.
inline bool HoldInput(const uint8_t* data, size_t size) {
  return ftruncate(file_fd, 0) == 0 && pwrite(file_fd, data, size, 0) == static_cast<ssize_t>(size);
}

}  // namespace fuzz
