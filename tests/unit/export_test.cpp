// coeff-export's layouts, read back: a hand-written file through the
// viewers' readers, each layout's numbers parsed back to the floats, signs
// and order written out here; the shortest texts of any float read back
// to it and are shortest.
#include "programs/coeff_read.h"
#include "tests/support.h"

namespace {

// The numbers of a layout's text: of its array in C (after its '{'), else
// all. A number is the longest prefix strtof takes from a sign, a digit or
// a point; the rest of a C literal (its f) is skipped.
std::vector<float> Numbers(const std::string& text) {
  std::vector<float> values;
  const size_t brace = text.find('{');
  for (const char* p = text.c_str() + (brace == std::string::npos ? 0 : brace + 1); *p;) {
    char* end = const_cast<char*>(p);
    if (std::strchr("+-.0123456789", *p)) values.push_back(std::strtof(p, &end));
    p = end == p ? p + 1 : end;
  }
  return values;
}

}  // namespace

TEST(Export, LayoutsReadBackAsTheFileHoldsThem) {
  // The file: a0 a1 a2 b1 b2 of section 0, and section 1's first three (its
  // b1 and b2 stay the reader's 0); as taps, eight.
  const char* file = TEST_DATA_DIR "/board_example.txt";
  const float q = 0.1234567890123f;
  const std::vector<std::tuple<std::string, std::vector<float>, std::string>> cases = {
      {"biquad-c", {0.5f, -0.25f, 0.125f, -1.5f, 0.5625f, q, 0.002f, -3, 0, 0}, "#define BIQUAD_SECTIONS 2\n"},
      {"biquad-sos", {0.5f, -0.25f, 0.125f, 1, -1.5f, 0.5625f, q, 0.002f, -3, 1, 0, 0}, ""},
      {"biquad-cmsis", {0.5f, -0.25f, 0.125f, 1.5f, -0.5625f, q, 0.002f, -3, 0, 0}, "#define BIQUAD_CMSIS_STAGES 2\n"},
      {"fir-c", {0.5f, -0.25f, 0.125f, -1.5f, 0.5625f, q, 0.002f, -3}, "#define FIR_TAPS 8\n"},
      {"fir-cmsis", {-3, 0.002f, q, 0.5625f, -1.5f, 0.125f, -0.25f, 0.5f}, "#define FIR_CMSIS_TAPS 8\n"},
  };
  for (const auto& [name, expected, line] : cases) {
    const CoeffLayout* layout = FindCoeffLayout(name);
    ASSERT_TRUE(layout) << name;
    std::string text;
    // Quiet: the reader's count line stays out of the layout's output.
    EXPECT_EQ(test::Printed([&] { text = layout->write(ReadCoefficients(layout->kind, file, true), file); }), "|");
    std::vector<uint32_t> bits, expected_bits;
    for (float v : Numbers(text.substr(text.find(line) + line.size()))) bits.push_back(test::Bits(v));
    for (float v : expected) expected_bits.push_back(test::Bits(v));
    EXPECT_EQ(bits, expected_bits) << text;
    EXPECT_NE(text.find(line), std::string::npos) << text;
  }
  EXPECT_EQ(FindCoeffLayout("biquad"), nullptr);
  // The count line comes through unless quiet.
  EXPECT_EQ(test::Printed([&] { ReadCoefficients(CoeffKind::kFir, file, false); }), "TapN = 8\n|");
}

TEST(Export, ShortestTextsReadBackToTheSameFloat) {
  const std::vector<std::pair<float, std::string>> cases = {
      {0.265783f, "0.265783"}, {-0.0f, "-0"}, {1e-7f, "1e-07"}, {16777216.0f, "16777216"},
      {0.1f, "0.1"}, {1.0f / 3, "0.33333334"}, {INFINITY, "inf"}, {NAN, "nan"}};
  for (const auto& [v, text] : cases) EXPECT_EQ(ShortestFloatText(v), text);
  // Any bit pattern: the text reads back to it, and one digit fewer does not.
  std::mt19937 random(24);
  for (int i = 0; i < 50000; ++i) {
    uint32_t u = random();
    float v;
    std::memcpy(&v, &u, sizeof v);
    if (std::isnan(v)) continue;
    const std::string text = ShortestFloatText(v);
    ASSERT_EQ(test::Bits(std::strtof(text.c_str(), nullptr)), u) << text;
    // Significant digits: those of the mantissa from its first nonzero one.
    const std::string mantissa = text.substr(0, text.find('e'));
    const size_t first = mantissa.find_first_of("123456789");
    const long digits = first == std::string::npos ? 0 : std::count_if(mantissa.begin() + first, mantissa.end(), ::isdigit);
    char shorter[400];
    std::snprintf(shorter, sizeof shorter, "%.*g", int(digits) - 1, double(v));
    if (digits > 1) {
      ASSERT_NE(test::Bits(std::strtof(shorter, nullptr)), u) << text;
    }
  }
}
