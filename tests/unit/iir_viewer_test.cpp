// The recursive-filter viewer: the coefficient file read line by line, and
// the viewer's response of what it read against the transfer function.

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "tests/unit/biquad_reference.h"

namespace {

const std::string kFile = test::MakeTempDir() + "/coeff1.txt";

// Reads kFile as the viewer does; returns what it printed.
std::string Load() {
  testing::internal::CaptureStdout();
  TxtLoad(kFile.c_str());
  return testing::internal::GetCapturedStdout();
}

// The reader: line n is coefficient n mod 5 of section n div 5, whatever
// atof makes of it, in pieces of at most 39 characters, up to 40 lines;
// every coefficient that no line gives is pass-through.
TEST(CoeffFile, ReaderFillsTheSectionsLineByLine) {
  std::string numbered;
  for (int i = 1; i <= 45; ++i) numbered += std::to_string(i) + "\n";
  const std::pair<std::string, std::vector<float>> cases[] = {
      {numbered, {}}, {numbered.substr(0, 10), {1, 2, 3, 4, 5}}, {numbered.substr(0, 12), {1, 2, 3, 4, 5, 6}},
      {numbered.substr(0, 14), {1, 2, 3, 4, 5, 6, 7}}, {"", {}},
      {"1e-3\n+0.25\n   -2.5\n\n0.75\r\n0.5 trailing\nabc\n3", {1e-3f, 0.25f, -2.5f, 0, 0.75f, 0.5f, 0, 3}},
      {"0.125" + std::string(33, ' ') + "\n" + std::string(38, ' ') + "72.5     \n9\n", {0.125f, 7, 2.5f, 9}},
  };
  for (const auto& [content, values] : cases) {
    test::Write(kFile, content);
    const int lines = content == numbered ? 40 : int(values.size());
    EXPECT_EQ(Load(), "BiquadN = " + std::to_string((lines + 4) / 5) + "\n");
    const float* const slots[] = {a0, a1, a2, b1, b2};
    for (int n = 0; n < kMaxCoeffLines; ++n) {
      const float expected = lines == 40 ? float(n + 1) : (n < lines ? values[n] : (n % 5 ? 0.0f : 1.0f));
      EXPECT_EQ(slots[n % 5][n / 5], expected) << "line " << n << " of " << content.substr(0, 20);
    }
  }
}

// The designer's printed file of every type and order, and a file without
// lines: the sections read, and the response over them at the viewer's pi
// (3.1415925) in double precision, following the transfer function of what
// was read wherever the gain is above -60 dB; no section gives 0 dB and
// 0 rad. Entries 360 and up are not touched.
TEST(IirViewer, ResponseOfEveryPrintedDesign) {
  std::vector<std::string> files = test::PrintedCoefficients();
  files.push_back("");
  for (const std::string& content : files) {
    test::Write(kFile, content);
    const long sections = std::count(content.begin(), content.end(), '\n') / 5;
    EXPECT_EQ(Load(), "BiquadN = " + std::to_string(sections) + "\n");
    std::fill_n(Gain, kResponseSize, 42.0f);
    CalcFres(Gain, Theta);
    const float* const loaded[] = {a0, a1, a2, b1, b2};
    double g, p;
    for (int i = 0; i < kResponsePoints; ++i) {
      if (test::Response(loaded, int(sections), double(i * 3.1415925f) / 180.0 + 0.001, g, p) && g > -60.0) {
        EXPECT_TRUE(std::fabs(Gain[i] - g) < 1e-5 && std::fabs(Theta[i] - p) < 1e-6) << "point " << i << ": " << content;
      }
    }
    EXPECT_TRUE(Gain[kResponsePoints] == 42.0f && Gain[kResponseSize - 1] == 42.0f);
  }
}

}  // namespace
