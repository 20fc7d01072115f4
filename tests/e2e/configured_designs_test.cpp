// Each designer built from a configuration other than its built-in design
// (tests/CMakeLists.txt configures and builds it beside this build): in a
// real window under the private Xvfb that programs_test.cpp starts for this
// binary, ended by a real key press, it writes the file of the design it
// was configured for.

#include <gtest/gtest.h>

#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "tests/e2e/harness.h"

// tavrine's configured design, a band-reject from 1500.5 Hz to 5e3 Hz at
// 16000 Hz, 256 bins, 51 taps, alpha 4.5: the file of the unit-tested chain.
static std::string TapsOfTheChain() {
  Fsamp = 16000.0f;
  FresN = 256;
  brf_fc1 = 1500.5f;
  brf_fc2 = 5000.0f;
  alpha = 4.5f;
  FilType = kBandReject;
  TapN = 51;
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  TxtSave(file.c_str(), hh);
  return test::Read(file);
}

// pelmora's configured design is a band-reject of order 2 with the built-in
// corners and sampling frequency written in other forms (2e3, 5000.0,
// 22050.): the two sections known for that design, 3 dB down at 2000 Hz and
// 5000 Hz.
TEST(ConfiguredDesigns, WriteTheFileOfTheirDesign) {
  const std::pair<std::string, std::string> cases[] = {
      {"pelmora", "0.583589\n-0.695851\n0.583589\n-0.387135\n0.475895\n"
                  "0.926023\n-1.104157\n0.926023\n-1.316220\n0.639983\n"},
      {"tavrine", TapsOfTheChain()}};
  for (const auto& [program, file] : cases) {
    const std::string dir = test::MakeTempDir();
    e2e::Run run(CONFIGURED_DIR "/" + program, {}, dir);
    const std::string window = e2e::FindWindow("Frequency Response", 20);
    ASSERT_NE(window, "") << program << ": " << run.Stderr();
    // A key sent before the new window takes input is lost: press until it ends.
    std::optional<int> status;
    e2e::PollFor(20, [&] {
      e2e::PressKey(window);
      return (status = run.Wait(0.5)).has_value();
    });
    EXPECT_EQ(status, 0) << program;
    EXPECT_EQ(test::Read(dir + "/coeff1.txt"), file) << program;
  }
}
