// A coefficient file's text: as the viewers read it (texts written out
// here with the values they hold), and as coeff-export and coeff-apply
// read it strictly, with the words of what they refuse.

#include "coeff/coeff_layout.h"
#include "coeff/coeff_reading.h"
#include "coeff/coeff_text.h"
#include "core/number_text.h"
#include "tests/support.h"

namespace {

// n copies of `each`; the values in their shortest texts (which tell every
// single-precision value apart, a zero's sign too), one space apart.
std::string Times(int n, const char* each) { std::string t; while (n-- > 0) t += each; return t; }
std::string Shortest(const std::vector<float>& v) {
  std::string t;
  for (float f : v) t += (t.empty() ? "" : " ") + ShortestDecimal(f);
  return t;
}

}  // namespace

TEST(ViewerReading, PiecesOfAtMost39CharactersEachAValueAsAtofReadsItUpToTheViewersCap) {
  const std::string blanks37(37, ' '), blanks38(38, ' ');
  // (a biquad file?, text, the values read, whether the file goes on past them)
  const std::vector<std::tuple<bool, std::string, std::string, bool>> cases = {
      {true, "1e-3\n+0.25\n   -2.5\n\n0.75 trailing\r\n", "0.001 0.25 -2.5 0 0.75", false},
      // a partly filled last section: the rest of a pass-through section
      {true, "1\n2\n3\n4\n5\n6\n7", "1 2 3 4 5 6 7 0 0 0", false},
      // 38 characters and a newline are one piece; 39 characters are one, and the rest another
      {true, "0.125" + std::string(33, ' ') + "\n" + blanks38 + "72.5     \n9\n", "0.125 7 2.5 9 0", false},
      {false, blanks37 + "1\r\n" + blanks37 + "2\n", "1 0 2", false},
      {false, blanks37 + "\r\n3", "0 3", false},
      {true, Times(40, "1\n") + "\n", Times(39, "1 ") + "1", true},
      {true, Times(39, "1\n") + "2" + blanks38 + "\n", Times(39, "1 ") + "2", true},
      {false, Times(400, "-1\n") + "x", Times(399, "-1 ") + "-1", true},
      {false, "abc\n0,5\n-0\nnan\ninf\n-1e39\n0x10\n", "0 0 -0 nan inf -inf 16", false},
      {false, std::string("2\0" "5\n3", 5), "2 3", false},  // a NUL ends the number, not the piece
  };
  for (const auto& [biquad, text, values, more] : cases) {
    const ViewerReading reading = ParseAsViewer(biquad ? CoeffKind::kBiquad : CoeffKind::kFir, text);
    EXPECT_EQ(reading.coefficients.kind, biquad ? CoeffKind::kBiquad : CoeffKind::kFir);
    EXPECT_EQ(Shortest(reading.coefficients.values), values) << text;
    EXPECT_EQ(reading.more, more) << text;
  }
}

// The faults' words: in the end-to-end test.
TEST(ViewerReading, FileReadNoFurtherThanTheViewerHolds) {
  const ViewerReading endless = ReadAsViewer(CoeffKind::kFir, "/dev/zero");  // 39 NULs a piece, each 0
  EXPECT_TRUE(endless.more && endless.coefficients.values == std::vector<float>(400, 0.0f));
  EXPECT_EQ(ReadAsViewer(CoeffKind::kBiquad, "/dev/zero").coefficients.Sections(), 8u);
  const std::string dir = test::MakeTempDir();
  test::Write(dir + "/one", "7");  // one byte, no newline
  EXPECT_EQ(Shortest(ReadAsViewer(CoeffKind::kBiquad, dir + "/one").coefficients.values), "7 0 0 0 0");
}

// Each layout read back gives what it was written from, to the bit: no
// number, infinities, a zero's sign, the extremes of single precision.
TEST(Export, EveryLayoutReadBackGivesTheValuesBitForBit) {
  const std::vector<float> values = {-0.0f, NAN, -INFINITY, INFINITY, 1e-45f, 3.4028235e38f, 0.1f, -2, 0.5f, 7};
  for (const char* name : {"biquad-c", "biquad-sos", "biquad-cmsis", "fir-c", "fir-cmsis"}) {
    const std::string text = FindCoeffLayout(name)->write(values, "a*/b");
    EXPECT_EQ(Shortest(ReadLayout(*FindCoeffLayout(name), text)), Shortest(values)) << name;
    // The name cannot end the comment (biquad-sos has none).
    EXPECT_EQ(text.find("a* /b") == std::string::npos, std::string(name) == "biquad-sos") << text;
  }
}

TEST(StrictReading, EachLineOneFiniteNumberAsManyAsTheKindHoldsOrTheFirstFaultWithItsLine) {
  const std::string no = " is not a number.", big = " is not a finite single-precision number.";
  // (a biquad file?, text, the values the reading gives or its words); more in the end-to-end test
  const std::vector<std::tuple<bool, std::string, std::string>> cases = {
      {false, " +1\t \r\n-2.5e-1\n0x1p-3\n-0\n1e-50\n3.4028234663852886e38\n0.1",
       "1 -0.25 0.125 -0 0 3.4028235e38 0.1"},
      {false, std::string(36, ' ') + "1\r\n" + std::string(37, ' ') + "2", "1 2"},
      {false, "1\n \t\r\n", "f, line 2: the line is blank; each line holds one number."},
      {false, Times(400, "1\n"), Times(399, "1 ") + "1"},
      {false, Times(400, "1\n") + "x", "f, line 401: a tap file holds at most 400 taps."},
      {true, Times(40, "1\n"), Times(39, "1 ") + "1"},
      {true, Times(40, "1\n") + "\n", "f, line 41: a biquad file holds at most 8 sections (40 lines)."},
      {true, Times(6, "1\n"), "f, line 6: the file ends inside section 2; a section is 5 lines: a0, a1, a2, b1, b2."},
      {false, "1 2\n", "f, line 1: \"1 2\"" + no},
      {false, "0,5", "f, line 1: \"0,5\"" + no},
      {false, "1\r\r\n", "f, line 1: \"1\\x0D\"" + no},
      {false, "\v1\x7f", "f, line 1: \"\\x0B1\\x7F\"" + no},
      {false, "1\n-inf\n", "f, line 2: \"-inf\"" + big},
      {false, "3.5e38", "f, line 1: \"3.5e38\"" + big},
      {false, "1\n" + std::string(37, ' ') + "1\r\n",
       "f, line 2: the line is longer than 38 characters, which the viewers read as more than one number."},
  };
  for (const auto& [biquad, text, expected] : cases) {
    const CoeffReading reading = ParseCoefficients(biquad ? CoeffKind::kBiquad : CoeffKind::kFir, text, "f");
    const std::string values = Shortest(reading.values);
    EXPECT_EQ(reading.fault == CoeffReading::Fault::kRefused ? reading.words + values : values, expected) << text;
  }
}
