// The recursive design chain: the published values of each stage, the
// coefficient table for every type and order, and the properties that
// hold for any design.

#include <cmath>
#include <complex>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "iir/iir_design.h"
#include "plot/shared_state.h"
#include "tests/unit/iir_test_support.h"

namespace {


// Within one unit of the 7th significant digit, as the values are given.
void ExpectSignificant(double actual, double expected) {
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - 6);
  EXPECT_NEAR(actual, expected, unit) << "expected " << expected;
}

std::string Entry(int j) {
  char text[200];
  std::snprintf(text, sizeof text, "%f, %f, %f, %f, %f", p_a0[j], p_a1[j], p_a2[j], p_b1[j], p_b2[j]);
  return text;
}

bool IsPassThrough(int j) {
  return p_a0[j] == 1.0f && p_a1[j] == 0.0f && p_a2[j] == 0.0f && p_b1[j] == 0.0f && p_b2[j] == 0.0f;
}

// Gain in dB of the filled entries at f Hz, evaluated in double.
double GainDb(double f) {
  const double w = 2.0 * static_cast<double>(Pi) * f / 22050.0;
  const std::complex<double> z1 = std::polar(1.0, -w);
  std::complex<double> h = 1.0;
  for (int j = 0; j < kMaxSections; ++j) {
    h *= (double(p_a0[j]) + double(p_a1[j]) * z1 + double(p_a2[j]) * z1 * z1) /
         (1.0 + double(p_b1[j]) * z1 + double(p_b2[j]) * z1 * z1);
  }
  return 20.0 * std::log10(std::abs(h));
}

TEST(Prototype, ButterworthThreeDecibelsAtTheCorner) {
  DesignIir(kBandPass, 2);
  ExpectSignificant(PD1, 1.415893);
  ExpectSignificant(PD0, 1.002377);
  EXPECT_EQ(PN0, PD0);
  EXPECT_EQ(PD2, 1.0f);
  EXPECT_EQ(PN1, 0.0f);
  EXPECT_EQ(PN2, 0.0f);

  DesignIir(kBandPass, 1);
  EXPECT_EQ(PD2, 0.0f);
  EXPECT_EQ(PD1, 1.0f);
  ExpectSignificant(PD0, 1.002377);
  EXPECT_EQ(PN0, PD0);
  EXPECT_EQ(PN1, 0.0f);
  EXPECT_EQ(PN2, 0.0f);
}

TEST(Prototype, PrewarpedCornersLieAboveTheRequestedOnes) {
  DesignIir(kLowPass, 2);
  ExpectSignificant(fcp1, 2055.949);
  ExpectSignificant(fcp2, 6061.896);
}

TEST(FrequencyTransformation, BandSectionsOfOrderTwo) {
  DesignIir(kBandPass, 2);
  ExpectSignificant(SH, 25199.99);
  ExpectSignificant(SD1, 24887.24);
  ExpectSignificant(SD0, 1.138969e9);
  ExpectSignificant(TH, 25199.99);
  ExpectSignificant(TD1, 10750.90);
  ExpectSignificant(TD0, 2.125435e8);
  EXPECT_EQ(SN1, 1.0f);
  EXPECT_EQ(TN1, 1.0f);
  EXPECT_EQ(SN0, 0.0f);
  EXPECT_EQ(SN2, 0.0f);
  // The two pole pairs split w0^4 and the prototype's damping between them.
  const double w0_sq = 4.920169e8;
  EXPECT_NEAR(double(SD0) * double(TD0) / (w0_sq * w0_sq), 1.0, 1e-6);
  EXPECT_NEAR((double(SD1) + TD1) / (double(PD1) * 25170.09), 1.0, 1e-6);

  DesignIir(kBandReject, 2);
  ExpectSignificant(SD1, 24812.30);
  ExpectSignificant(SD0, 1.136552e9);
  ExpectSignificant(TD1, 10741.32);
  ExpectSignificant(TD0, 2.129956e8);
  ExpectSignificant(SN0, 4.920169e8);
  EXPECT_EQ(TN0, SN0);
  EXPECT_EQ(SH, 1.0f);
  EXPECT_EQ(TH, 1.0f);
  EXPECT_NEAR(double(SD0) * double(TD0) / (w0_sq * w0_sq), 1.0, 1e-6);
  EXPECT_NEAR((double(SD1) + TD1) / (double(PD1) / PD0 * 25170.09), 1.0, 1e-6);
}

TEST(FrequencyTransformation, LowAndHighPassOfOrderTwo) {
  DesignIir(kLowPass, 2);
  ExpectSignificant(SH, 1.672689e8);
  ExpectSignificant(SD0, 1.672689e8);
  ExpectSignificant(SD1, 18290.36);
  DesignIir(kHighPass, 2);
  ExpectSignificant(SD1, 18246.98);
  ExpectSignificant(SD0, 1.664764e8);
}

TEST(FrequencyTransformation, SectionTIsLeftAloneUnlessBandOfOrderTwo) {
  for (int type : {kLowPass, kHighPass, kBandPass, kBandReject}) {
    for (int order : {1, 2}) {
      if (type >= kBandPass && order == 2) continue;
      TH = TN0 = TN1 = TN2 = TD0 = TD1 = TD2 = 7.0f;
      DesignIir(type, order);
      for (float v : {TH, TN0, TN1, TN2, TD0, TD1, TD2}) {
        EXPECT_EQ(v, 7.0f) << type << "/" << order;
      }
    }
  }
}

struct TableRow {
  int type, order;
  const char* entry0;
  const char* entry1;  // nullptr: pass-through
};

const TableRow kTable[] = {
    {0, 1, "0.226975, 0.226975, 0.000000, -0.546050, 0.000000", nullptr},
    {0, 2, "0.057310, 0.114619, 0.057310, -1.218043, 0.447282", nullptr},
    {1, 1, "0.773857, -0.773857, 0.000000, -0.547714, 0.000000", nullptr},
    {1, 2, "0.666949, -1.333899, 0.666949, -1.219717, 0.448081", nullptr},
    {2, 1, "0.313467, 0.000000, -0.313467, -0.818598, 0.373067", nullptr},
    {2, 2, "0.265783, 0.000000, -0.265783, -0.385449, 0.475031",
     "0.422319, 0.000000, -0.422319, -1.316578, 0.639658"},
    {3, 1, "0.687554, -0.819816, 0.687554, -0.819816, 0.375109", nullptr},
    {3, 2, "0.583589, -0.695851, 0.583589, -0.387135, 0.475895",
     "0.926023, -1.104157, 0.926023, -1.316220, 0.639983"},
};

TEST(BilinearTransformation, CoefficientsAsPrintedForEveryTypeAndOrder) {
  for (const TableRow& row : kTable) {
    SCOPED_TRACE(testing::Message() << "type " << row.type << ", order " << row.order);
    DesignIir(row.type, row.order);
    EXPECT_EQ(Entry(0), row.entry0);
    if (row.entry1) {
      EXPECT_EQ(Entry(1), row.entry1);
    } else {
      EXPECT_TRUE(IsPassThrough(1));
    }
    for (int j = 2; j < kMaxSections; ++j) {
      EXPECT_TRUE(IsPassThrough(j)) << "entry " << j;
    }
  }
}

TEST(BilinearTransformation, RequestedAttenuationAtEveryCorner) {
  for (const TableRow& row : kTable) {
    SCOPED_TRACE(testing::Message() << "type " << row.type << ", order " << row.order);
    DesignIir(row.type, row.order);
    EXPECT_NEAR(GainDb(2000.0), -3.0, 0.00005);
    if (row.type >= kBandPass) {
      EXPECT_NEAR(GainDb(5000.0), -3.0, 0.00005);
    }
  }
}

TEST(BilinearTransformation, UnitGainAndExactZeros) {
  for (const TableRow& row : kTable) {
    SCOPED_TRACE(testing::Message() << "type " << row.type << ", order " << row.order);
    DesignIir(row.type, row.order);
    const int entries = row.entry1 ? 2 : 1;
    for (int j = 0; j < entries; ++j) {
      if (row.type == kLowPass) {
        EXPECT_NEAR(p_a0[j] + p_a1[j] + p_a2[j], 1.0f + p_b1[j] + p_b2[j], 1e-6);
      } else if (row.type == kHighPass) {
        EXPECT_NEAR(p_a0[j] - p_a1[j] + p_a2[j], 1.0f - p_b1[j] + p_b2[j], 1e-6);
      } else if (row.type == kBandPass) {
        EXPECT_EQ(p_a1[j], 0.0f);  // zeros at z = 1 and z = -1
        EXPECT_EQ(p_a2[j], -p_a0[j]);
      } else {
        EXPECT_EQ(p_a2[j], p_a0[j]);  // zeros on the unit circle at the centre
        if (row.order == 1) {
          EXPECT_EQ(p_a1[j], p_b1[j]);
        }
      }
      if (row.order == 1 && row.type <= kHighPass) {
        EXPECT_EQ(p_a2[j], 0.0f);
        EXPECT_EQ(p_b2[j], 0.0f);
      }
    }
  }
}

TEST(BilinearTransformation, CornersAnywhereBelowHalfTheSamplingRate) {
  // The corners are exact for any design, not only the built-in one.
  for (const auto& corners : {std::pair<float, float>{1000.0f, 3000.0f}, {7000.0f, 10000.0f}}) {
    for (int type : {kLowPass, kHighPass, kBandPass, kBandReject}) {
      for (int order : {1, 2}) {
        DesignIir(type, order, corners.first, corners.second);
        EXPECT_NEAR(GainDb(corners.first), -3.0, 0.00005) << type << "/" << order;
        if (type >= kBandPass) {
          EXPECT_NEAR(GainDb(corners.second), -3.0, 0.00005) << type << "/" << order;
        }
      }
    }
  }
}

}  // namespace
