#include "coeff/coeff_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/number_text.h"

namespace {

// The pieces that a viewer holds of a kind of file.
size_t MostPieces(CoeffKind kind) { return kind == CoeffKind::kBiquad ? kMaxCoeffLines : kMostFileTaps; }

ViewerReading Faulty(ViewerReading::Fault fault, const std::string& name, const char* what) {
  ViewerReading reading;
  reading.fault = fault;
  reading.words = name + " " + what + ".";
  return reading;
}

}  // namespace

ViewerReading ParseAsViewer(CoeffKind kind, const std::string& text) {
  ViewerReading reading;
  reading.coefficients.kind = kind;
  std::vector<float>& values = reading.coefficients.values;
  const size_t most = MostPieces(kind);
  for (size_t at = 0; at < text.size();) {
    if (values.size() == most) {
      reading.more = true;
      break;
    }
    // fgets into a buffer of kMaxLineChars + 1: up to kMaxLineChars
    // characters, the newline included when it comes within them.
    const size_t newline = text.find('\n', at);
    const size_t end = std::min({newline == std::string::npos ? text.size() : newline + 1, at + kMaxLineChars,
                                 text.size()});
    // atof stops at a NUL inside the piece, as it does in the buffer.
    values.push_back(static_cast<float>(ParseValue(text.substr(at, end - at).c_str())));
    at = end;
  }
  // A partly filled last section has its a0 from the file; the values
  // missing after it keep the pass-through section's 0 (a1, a2, b1, b2).
  while (kind == CoeffKind::kBiquad && values.size() % kLinesPerSection != 0) values.push_back(0.0f);
  return reading;
}

ViewerReading::Fault ReadFileHead(const std::string& name, size_t most, std::string& text) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ViewerReading::Fault::kCannotOpen;
  char buffer[4096];
  for (ssize_t n = 1; n != 0 && text.size() < most;) {
    n = read(fd, buffer, std::min(sizeof buffer, most - text.size()));
    if (n > 0) {
      text.append(buffer, size_t(n));
    } else if (n < 0 && errno != EINTR) {
      const int error = errno;
      close(fd);
      errno = error;
      return ViewerReading::Fault::kCannotRead;
    }
  }
  close(fd);
  return ViewerReading::Fault::kNone;
}

ViewerReading ReadAsViewer(CoeffKind kind, const std::string& name) {
  // One piece past those held tells whether the file goes on.
  std::string text;
  switch (ReadFileHead(name, (MostPieces(kind) + 1) * kMaxLineChars, text)) {
    case ViewerReading::Fault::kCannotOpen:
      return Faulty(ViewerReading::Fault::kCannotOpen, name, "cannot be opened");
    case ViewerReading::Fault::kCannotRead:
      return Faulty(ViewerReading::Fault::kCannotRead, name, "cannot be read");
    default:
      return ParseAsViewer(kind, text);
  }
}

std::string CoefficientFileText(const std::vector<float>& values) {
  std::string text;
  for (float v : values) AppendValueLine(text, v);
  return text;
}
