// The recursive-filter designer: published values of each stage, the
// coefficients and file of every type and order, properties of any design,
// and the designer's response against the transfer function (which the
// published points of the built-in band-pass above -60 dB follow; its
// deep ones are checked as published, its phase curve is in the end-to-end
// test's reviewed picture).

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "iir/pelmora_design.h"
#include "tests/unit/biquad_reference.h"

namespace {

const std::string kFile = test::MakeTempDir() + "/coeff1.txt";

// Values of the stages as printed (to one unit of the 7th significant
// digit), and what no later stage reads but each must hold: the
// prototype's numerator is its constant, every denominator is monic (s^2,
// or s alone in a first-order section), and section T is written by the
// band designs of order 2 alone. The reset before a design leaves every
// section pass-through (read back at once, before any design fills one).
TEST(IirDesign, ValuesOfEachStage) {
  // Designs as the designer makes them: 3 dB, 22050 Hz.
  MakePelmoraDesign({kBandPass, 2, 2000, 5000, 3, 22050});
  EXPECT_NEAR(PD1, 1.415893, 1e-6);
  EXPECT_NEAR(fcp2, 6061.896, 1e-3);
  MakePelmoraDesign({kBandPass, 1, 2000, 5000, 3, 22050});
  EXPECT_NEAR(PD0, 1.002377, 1e-6);
  // type, order, PD2, SD2 and TD2 (7, as set before, but in the band designs of order 2); SD1 is 1 where SD2 is 0
  // (s alone); PN1 and PN2 are 0 and PN0 is PD0.
  for (const auto& [type, order, pd2, sd2, td2] : std::vector<std::tuple<int, int, float, float, float>>{
           {0, 1, 0, 0, 7},
           {0, 2, 1, 1, 7},
           {1, 1, 0, 0, 7},
           {1, 2, 1, 1, 7},
           {2, 1, 0, 1, 7},
           {2, 2, 1, 1, 1},
           {3, 1, 0, 1, 7},
           {3, 2, 1, 1, 1}}) {
    PD2 = PN1 = PN2 = SD1 = SD2 = TD2 = 7.0f;
    MakePelmoraDesign({type, order, 2000, 5000, 3, 22050});
    EXPECT_EQ(std::vector<float>({PD2, SD2, sd2 == 0 ? SD1 : 1, TD2, PN1, PN2, PN0}),
              std::vector<float>({pd2, sd2, 1, td2, 0, 0, PD0}))
        << type << " " << order;
  }
  ResetCoefficients();  // every section pass-through, up to the last
  EXPECT_EQ(std::vector<float>({p_a0[0], p_a1[0], p_b2[0], p_a0[7], p_a2[7]}), std::vector<float>({1, 0, 0, 1, 0}));
}

// Every type and order: at 2000 Hz and 5000 Hz the file the designer
// writes is the printed coefficients (two sections for the band types of
// order 2, one otherwise); at any corners the requested attenuation at
// each corner to a ten-thousandth of a dB over all eight sections (so
// every entry the design does not fill must be pass-through), the exact
// zeros of the band types, and the response following the transfer
// function. (The written file read back is checked for every accepted
// design in the viewer's tests.)
TEST(IirDesign, EveryTypeAndOrder) {
  const std::vector<std::string> printed = test::PrintedCoefficients();
  ASSERT_EQ(printed.size(), 8u);
  // Sections of low-pass, high-pass, band-pass and band-reject, order 1 then 2.
  const int kSections[8] = {1, 1, 1, 1, 1, 2, 1, 2};
  for (const auto& [fc1, fc2] : {std::pair<float, float>{2000, 5000}, {1000, 3000}, {7000, 10000}}) {
    for (int row = 0; row < 8; ++row) {
      const int type = row / 2, order = row % 2 + 1, sections = kSections[row];
      EXPECT_EQ(DesignSections(type, order), sections);
      SCOPED_TRACE(testing::Message() << fc1 << " Hz, type " << type << ", order " << order);
      MakePelmoraDesign({type, order, fc1, fc2, 3, 22050});
      TxtSave(kFile.c_str());
      EXPECT_TRUE(fc1 != 2000 || test::Read(kFile) == printed[row]) << test::Read(kFile);
      const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
      for (int j = 0; j < sections; ++j)
        EXPECT_TRUE((type != kBandPass || (p_a1[j] == 0.0f && p_a2[j] == -p_a0[j])) &&
                    (type != kBandReject || (p_a2[j] == p_a0[j] && (order == 2 || p_a1[j] == p_b1[j])))) << j;
      double g, p;
      for (float f : {fc1, type >= kBandPass ? fc2 : fc1}) {
        test::Response(designed, kMaxSections, 2.0 * 3.14159f * f / 22050.0, g, p);
        EXPECT_NEAR(g, -3.0, 0.0001) << f << " Hz";
      }
      test::ExpectResponseFollows(designed, 2, 3.14159f, true, 0.001);  // its pi, in single precision
      const bool built_in = fc1 == 2000 && row == 5;  // its published deep points
      EXPECT_TRUE(!built_in || (std::fabs(Gain[0] + 117.89f) < 0.005f && std::fabs(Gain[180] + 141.81f) < 0.005f));
    }
  }
}

}  // namespace
