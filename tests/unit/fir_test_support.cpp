#include "fir_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "fir/fir_design.h"
#include "plot/shared_state.h"

void DesignBuiltIn(int requested_taps) {
  Pi = kPiAtLoad;
  Fsamp = 22050.0f;
  FresN = 400;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  alpha = 7.0f;
  FilType = kBandPass;
  TapN = requested_taps;
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
}

std::string MakeTempDir() {
  std::string pattern = ::testing::TempDir() + "fir_test_XXXXXX";
  const char* dir = mkdtemp(&pattern[0]);
  EXPECT_NE(dir, nullptr);
  return pattern;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}
