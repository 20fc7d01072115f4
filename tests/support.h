// What the unit and end-to-end tests share: GoogleTest and the standard
// headers they use, files, commands, what a function prints, the sweeps'
// random draws and edges, and pictures read as binary PPM through netpbm.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace test {

inline std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string path = std::string(base && *base ? base : "/tmp") + "/filter-test-XXXXXX";
  return mkdtemp(&path[0]) ? path : std::string();
}

// The whole file, or "" if it cannot be read (a directory, say).
inline std::string Read(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Standard output of a shell command.
inline std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += char(c);
  if (pipe) pclose(pipe);
  return out;
}

// The names in a folder, hidden ones too, one a line.
inline std::string Listing(const std::string& dir) { return Capture("ls -A '" + dir + "'"); }

// What `f` prints on standard output and error, joined by "|".
template <typename F>
std::string Printed(F f) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  f();
  const std::string out = testing::internal::GetCapturedStdout();
  return out + "|" + testing::internal::GetCapturedStderr();
}

// Doubles uniform from low to high, drawn from a seeded generator.
struct Uniform {
  std::mt19937 random;
  double operator()(double low, double high) { return low + (high - low) * (random() / 4294967296.0); }
};

// The last value of d's `field`, from the one it holds toward `to`, that
// `accepts` takes, by bisection: the sweeps' designs at the edges of the
// limits.
template <typename Design, typename Accepts>
float LastAccepted(Design d, float Design::*field, float to, Accepts accepts) {
  float in = d.*field, out = to;
  for (float mid = in + (out - in) / 2; mid != in && mid != out; mid = in + (out - in) / 2) {
    d.*field = mid;
    (accepts(d) ? in : out) = mid;
  }
  return in;
}

// The bits of a float, to compare values exactly (0.0 and -0.0 apart).
inline uint32_t Bits(float v) { uint32_t u; std::memcpy(&u, &v, sizeof u); return u; }

// The numbers of a text from `at` on, as strtof reads each from a sign,
// digit or point (a C literal's f, and all else, skipped).
inline std::vector<float> Numbers(const std::string& text, size_t at = 0) {
  std::vector<float> values;
  for (const char* p = text.c_str() + std::min(at, text.size()); *p;) {
    char* end = const_cast<char*>(p);
    if (std::strchr("+-.0123456789", *p)) values.push_back(std::strtof(p, &end));
    p = end == p ? p + 1 : end;
  }
  return values;
}

// An 8-bit red-green-blue picture, read from a binary PPM (P6, maximum 255).
struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

inline Image ParsePpm(const std::string& data) {
  Image image;
  int max = 0, used = 0;
  std::sscanf(data.c_str(), "P6 %d %d %d%n", &image.width, &image.height, &max, &used);
  const size_t size = size_t(image.width) * image.height * 3;
  if (max != 255 || data.size() < used + 1 + size) return Image();
  image.rgb.assign(data.begin() + used + 1, data.begin() + used + 1 + size);
  return image;
}

inline Image ReadPng(const std::string& path) { return ParsePpm(Capture("pngtopnm '" + path + "' 2>/dev/null")); }

// Where `part` lies, pixel for pixel, inside `whole`: its top-left corner,
// or (-1, -1).
inline std::pair<int, int> Find(const Image& whole, const Image& part) {
  const size_t row = size_t(part.width) * 3;
  for (int y = 0; part.width && y + part.height <= whole.height; ++y) {
    for (int x = 0; x + part.width <= whole.width; ++x) {
      int r = 0;
      while (r < part.height && std::memcmp(whole.At(x, y + r), part.At(0, r), row) == 0) ++r;
      if (r == part.height) return {x, y};
    }
  }
  return {-1, -1};
}

}  // namespace test
