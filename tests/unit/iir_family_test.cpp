// The recursive designs beyond the Butterworth chain: their responses
// beside liquid-dsp's designs, closed forms of each family, the least
// order of an elliptic example, the file's six decimals, the compile-time
// elementary functions, and the sections that MakePelmoraDesign stores.
// Responses are evaluated here with std::complex, not by the product.

#include <liquid/liquid.h>

#include <complex>
#include <limits>

#include "coeff/coefficients.h"
#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"
#include "tests/support.h"

namespace {

using iirfamily::Sections;
using namespace iirproto;
using C = std::complex<double>;
const double kPi = std::acos(-1.0), kHalfPowerDb = 10.0 * std::log10(2.0);

// The cascade's gain in dB at f, a fraction of the sampling rate.
double Db(const Sections& s, double f) {
  const C z = std::polar(1.0, -2.0 * kPi * f);  // z^-1
  C h = 1.0;
  for (int k = 0; k < s.count; ++k)
    h *= (s.c[k][0] + z * (s.c[k][1] + z * s.c[k][2])) / (1.0 + z * (s.c[k][3] + z * s.c[k][4]));
  return 20.0 * std::log10(std::abs(h));
}

// The largest of g on [lo, hi]: the best of 4000 points, refined by
// golden-section search between its neighbours (a peak to 1e-9 dB).
template <typename G>
double Largest(G g, double lo, double hi) {
  const int n = 4000;
  int best = 0;
  for (int i = 1; i <= n; ++i) best = g(lo + (hi - lo) * i / n) > g(lo + (hi - lo) * best / n) ? i : best;
  double a = lo + (hi - lo) * std::max(best - 1, 0) / n, b = lo + (hi - lo) * std::min(best + 1, n) / n;
  for (int i = 0; i < 100; ++i) {
    const double m1 = b - 0.618034 * (b - a), m2 = a + 0.618034 * (b - a);
    (g(m1) < g(m2) ? a : b) = g(m1) < g(m2) ? m1 : m2;
  }
  return std::max(g(lo + (hi - lo) * best / n), g(0.5 * (a + b)));
}

PelmoraDesign Make(int family, int type, int order, float f1, float f2, float fs, float ripple, float stop) {
  PelmoraDesign d{type, order, f1, f2, 3.0103f, fs};
  d.family = family, d.ripple_db = ripple, d.stopband_db = stop;
  return d;
}

// liquid-dsp defines the corners as here: Butterworth 3.0103 dB down,
// Chebyshev I and elliptic the ripple down, Chebyshev II the stop band
// down (measured); fc is the lower edge and f0 the band's centre, with
// tan^2(pi f0) = tan(pi f1) tan(pi f2). Its Bessel is normalised otherwise.
// Its elliptic designs, in single precision, miss their stop band by up
// to 0.1 dB (measured: order 4 at 50 dB peaks at -49.944 dB, order 3 at
// -50.101 dB), which moves the steep transition by tenths of a dB; they
// are compared where ours is above -ripple - 3 dB, their stop bands
// checked against the closed form below.
TEST(IirFamily, MatchesLiquidDsp) {
  const PelmoraDesign cases[] = {
      Make(kButterworth, kLowPass, 5, 1000, 0, 8000, 1, 40),    Make(kButterworth, kHighPass, 4, 3000, 0, 22050, 1, 40),
      Make(kButterworth, kBandPass, 3, 2000, 5000, 22050, 1, 40), Make(kButterworth, kBandReject, 4, 1000, 4000, 16000, 1, 40),
      Make(kChebyshev1, kLowPass, 4, 3000, 0, 44100, 1, 40),    Make(kChebyshev1, kHighPass, 5, 2000, 0, 22050, 0.5, 40),
      Make(kChebyshev1, kBandPass, 4, 1000, 3000, 16000, 1, 40),  Make(kChebyshev2, kLowPass, 6, 5000, 0, 48000, 1, 50),
      Make(kChebyshev2, kHighPass, 3, 4000, 0, 22050, 1, 40),   Make(kChebyshev2, kBandReject, 3, 2000, 6000, 22050, 1, 45),
      Make(kElliptic, kLowPass, 6, 1000, 0, 44100, 0.5, 60),    Make(kElliptic, kHighPass, 4, 6000, 0, 44100, 1, 50),
      Make(kElliptic, kBandPass, 3, 4000, 6000, 22050, 0.5, 50), Make(kElliptic, kBandReject, 4, 1500, 4000, 16000, 1, 40),
  };
  for (const PelmoraDesign& d : cases) {
    const Sections ours = FamilySections(d);
    const double f1 = d.fc1 / d.fsamp, f2 = d.fc2 / d.fsamp;
    const double f0 = IsBand(d.type) ? std::atan(std::sqrt(std::tan(kPi * f1) * std::tan(kPi * f2))) / kPi : 0.0;
    float b[3 * 16] = {}, a[3 * 16] = {};
    liquid_iirdes(liquid_iirdes_filtertype(d.family), liquid_iirdes_bandtype(d.type), LIQUID_IIRDES_SOS, d.order,
                  float(f1), float(f0), d.ripple_db, d.stopband_db, b, a);
    Sections theirs;
    theirs.count = IsBand(d.type) ? d.order : (d.order + 1) / 2;
    for (int k = 0; k < theirs.count; ++k)
      for (int i = 0; i < 5; ++i) theirs.c[k][i] = (i < 3 ? b[3 * k + i] : a[3 * k + i - 2]) / a[3 * k];
    ASSERT_EQ(ours.count, theirs.count);
    double worst = 0.0;
    for (int i = 1; i < 400; ++i) {
      if (Db(ours, i / 800.0) > (d.family == kElliptic ? -d.ripple_db - 3.0 : -60.0)) worst = std::max(worst, std::abs(Db(ours, i / 800.0) - Db(theirs, i / 800.0)));
    }
    EXPECT_LE(worst, 0.01) << "family " << d.family << " type " << d.type << " order " << d.order;
  }
}

// Butterworth of order 5: |H|^2 = 1 / (1 + eps^2 (tan(pi f) / tan(pi fc))^10), eps^2 = 10^(A/10) - 1.
TEST(IirFamily, ButterworthClosedForm) {
  for (float a : {0.5f, 1.0f, 3.0f, 10.0f}) {
    PelmoraDesign d = Make(kButterworth, kLowPass, 5, 1500, 0, 48000, 1, 40);
    d.attenuation_db = a;
    const Sections s = FamilySections(d);
    for (int i = 0; i < 300; ++i) {
      const double f = 0.5 * i / 300.0, e2 = std::pow(10.0, a / 10.0) - 1.0;
      const double r = std::tan(kPi * f) / std::tan(kPi * 1500.0 / 48000.0);
      const double want = -10.0 * std::log10(1.0 + e2 * std::pow(r, 10.0));
      if (want > -150.0) {
        EXPECT_NEAR(Db(s, f), want, 1e-6) << "A " << a << " f " << f;
      }
    }
  }
}

// Equiripple bands: Chebyshev I and elliptic ripple between 0 and -ripple
// dB in the pass band (the top at 0 dB for even orders too); Chebyshev II
// and elliptic stop bands peak at exactly -stop dB. A high-pass at 6000 Hz
// is read mirrored (f -> rate / 2 - f) as a low-pass at 2000 Hz.
TEST(IirFamily, EquirippleBands) {
  const struct { int family, type, order; float ripple, stop; } cases[] = {
      {kChebyshev1, kLowPass, 3, 0.5f, 40}, {kChebyshev1, kLowPass, 4, 1, 40}, {kChebyshev1, kLowPass, 6, 0.1f, 40},
      {kChebyshev1, kHighPass, 5, 3, 40},   {kChebyshev2, kLowPass, 3, 1, 40}, {kChebyshev2, kLowPass, 4, 1, 60},
      {kChebyshev2, kHighPass, 6, 1, 30},   {kElliptic, kLowPass, 4, 1, 50},   {kElliptic, kLowPass, 5, 0.5f, 70},
      {kElliptic, kHighPass, 6, 0.1f, 40},
  };
  for (const auto& c : cases) {
    const bool low = c.type == kLowPass;
    const Sections s = FamilySections(Make(c.family, c.type, c.order, low ? 2000 : 6000, 0, 16000, c.ripple, c.stop));
    const auto g = [&](double f) { return Db(s, low ? f : 0.5 - f); };
    if (c.family != kChebyshev2) {
      EXPECT_NEAR(Largest(g, 0.0, 0.125), 0.0, 1e-6) << "family " << c.family << " order " << c.order;
      EXPECT_NEAR(-Largest([&](double f) { return -g(f); }, 0.0, 0.125), -c.ripple, 1e-6) << "order " << c.order;
    }
    if (c.family == kChebyshev1) continue;
    double edge = 0.125;  // the stop band's edge: where the gain first reaches -stop
    while (g(edge) > -c.stop + 1e-6) edge += 1e-5;
    EXPECT_NEAR(Largest(g, edge, 0.5), -c.stop, 1e-6) << "family " << c.family << " order " << c.order;
  }
}

// The Bessel prototype is 3.0103 dB down at 1 rad/s, and its poles scaled
// to unit delay at 0 rad/s (delay = sum of -Re(1/p)) are the roots of the
// reverse Bessel polynomial: s^2 + 3s + 3,
// s^3 + 6s^2 + 15s + 15, s^4 + 10s^3 + 45s^2 + 105s + 105 (coefficients
// (2n - k)! / (2^(n - k) k! (n - k)!)). Its digital designs are half power
// down at their corners.
TEST(IirFamily, BesselClosedForm) {
  const std::vector<std::vector<double>> polynomials = {{3, 3, 1}, {15, 15, 6, 1}, {105, 105, 45, 10, 1}};
  for (const auto& poly : polynomials) {
    const int n = int(poly.size()) - 1;
    const Prototype p = Bessel(n, kHalfPowerDb);
    ASSERT_EQ(p.poles.n, n);
    double gain2 = 1.0, delay = 0.0;
    for (int i = 0; i < n; ++i) {
      const C pole(p.poles.at[i].re, p.poles.at[i].im);
      gain2 *= std::norm(pole) / std::norm(C(0.0, 1.0) - pole);
      delay += -std::real(1.0 / pole);
    }
    EXPECT_NEAR(10.0 * std::log10(gain2), -kHalfPowerDb, 1e-9) << "order " << n;
    for (int i = 0; i < n; ++i) {
      const C s = delay * C(p.poles.at[i].re, p.poles.at[i].im);
      C value = 0.0;
      for (int k = n; k >= 0; --k) value = value * s + poly[k];
      EXPECT_LT(std::abs(value), 1e-9 * poly[0]) << "order " << n << " root " << s;
    }
  }
  for (int type : {kLowPass, kHighPass, kBandPass, kBandReject}) {
    const PelmoraDesign d = Make(kBessel, type, 5, 1000, 3000, 16000, 1, 40);
    const Sections s = FamilySections(d);
    EXPECT_NEAR(Db(s, 1000.0 / 16000.0), -kHalfPowerDb, 1e-6) << "type " << type;
    if (IsBand(type)) {
      EXPECT_NEAR(Db(s, 3000.0 / 16000.0), -kHalfPowerDb, 1e-6) << "type " << type;
    }
  }
}

// Low-pass 1000 Hz at 44100 Hz, 0.5 dB ripple, 60 dB from 1500 Hz. The
// classic order formula, K(k) K'(k1) / (K'(k) K(k1)) with k the ratio of
// the prewarped edges and k1 = sqrt((10^0.05 - 1) / (10^6 - 1)), gives
// between 5 and 6: order 6; order 5, measured here, misses.
TEST(IirFamily, EllipticLeastOrder) {
  const auto kp = [](double k) { return std::comp_ellint_1(std::sqrt(1.0 - k * k)); };
  const double k = std::tan(kPi * 1000 / 44100) / std::tan(kPi * 1500 / 44100);
  const double k1 = std::sqrt((std::pow(10.0, 0.05) - 1.0) / (std::pow(10.0, 6.0) - 1.0));
  const double exact = std::comp_ellint_1(k) * kp(k1) / (kp(k) * std::comp_ellint_1(k1));
  EXPECT_GT(exact, 5.0);
  EXPECT_LT(exact, 6.0);
  PelmoraDesign d = Make(kElliptic, kLowPass, 0, 1000, 0, 44100, 0.5f, 60);
  d.stop1 = 1500;
  EXPECT_EQ(FamilySections(d).order, 6);
  for (int order : {0, 5, 6}) {
    d.order = order;
    const Sections s = FamilySections(d);
    const double pass = -Largest([&](double f) { return -Db(s, f); }, 0.0, 1000.0 / 44100);
    const double stop = Largest([&](double f) { return Db(s, f); }, 1500.0 / 44100, 0.5);
    EXPECT_EQ(pass >= -0.5 - 1e-9 && stop <= -60.0 + 1e-9, order != 5)
        << "order " << order << ": pass band down to " << pass << " dB, stop band up to " << stop << " dB";
  }
}

// A file's value: printf("%f") (nearest, ties to even), read back by
// strtod and made single precision.
TEST(IirFamily, AsWrittenIsPrintfThenAtof) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", 0.0078125);
  EXPECT_STREQ(text, "0.007812");  // 7812.5 millionths: the tie goes to the even 7812
  EXPECT_EQ(iirfamily::AsWritten(0.0078125f), 0.007812f);
  for (float v : {0.0078125f, -0.0078125f, 0.0234375f, -0.0234375f, 1e-7f, -4e-7f, 5e-7f, 2.5e-6f, 0.1234565f,
                  -3.3333333f, 0.99999997f, 123456.789f, -98765.4321f, 3e9f, 1e20f, -7.5e15f, 1.0f, 0.0f}) {
    std::snprintf(text, sizeof text, "%f", double(v));
    EXPECT_EQ(iirfamily::AsWritten(v), float(std::strtod(text, nullptr))) << v << " printed " << text;
  }
}

// A design whose six-decimal file strays by more than 0.5 dB from the
// design where it is above -40 dB is refused with the deviation named;
// checked here by printing the sections with "%f" and reading them back.
TEST(IirFamily, FileDeviationRefused) {
  const struct { PelmoraDesign d; bool refused; } cases[] = {
      {Make(kElliptic, kLowPass, 16, 110.25f, 0, 22050, 1, 60), true},
      {Make(kElliptic, kLowPass, 6, 1000, 0, 44100, 0.5f, 60), false},
      {Make(kChebyshev1, kBandPass, 4, 1000, 3000, 16000, 1, 40), false},
  };
  for (const auto& c : cases) {
    const Sections design = FamilySections(c.d);
    Sections file = design;
    char text[64];
    for (int k = 0; k < file.count; ++k)
      for (int i = 0; i < 5; ++i) {
        std::snprintf(text, sizeof text, "%f", double(float(design.c[k][i])));
        file.c[k][i] = float(std::strtod(text, nullptr));
      }
    double worst = 0.0;
    for (int i = 0; i <= 20000; ++i) {
      const double f = 0.5 * std::pow(1e-5, 1.0 - i / 20000.0);  // 5e-6 to 0.5 of the rate, by ratios
      if (Db(design, f) > -40.0) worst = std::max(worst, std::abs(Db(file, f) - Db(design, f)));
    }
    EXPECT_EQ(worst > 0.5, c.refused) << "deviation " << worst << " dB";
    const PelmoraLimit* refusal = PelmoraRefusal(c.d);
    ASSERT_EQ(refusal != nullptr, c.refused);
    if (!refusal) continue;
    EXPECT_STREQ(refusal->variable, "PELMORA_ORDER");
    const std::string words = RefusalText(*refusal, c.d).text;
    double db = 0.0, hz = 0.0;
    ASSERT_EQ(std::sscanf(words.substr(words.find("file is ")).c_str(), "file is %lf dB off at %lf Hz", &db, &hz), 2)
        << words;
    double low = 1e9, high = -1e9;  // the deviation within the 0.05 Hz that the text rounds to
    for (int i = -50; i <= 50; ++i) {
      const double f = (hz + i * 0.001) / c.d.fsamp, deviation = Db(file, f) - Db(design, f);
      low = std::min(low, deviation), high = std::max(high, deviation);
    }
    EXPECT_TRUE(low <= db + 0.005 && db - 0.005 <= high) << words << ": here " << low << " to " << high << " dB";
    EXPECT_GT(std::abs(db), 0.5);
  }
}

// The compile-time functions beside the standard library over the
// arguments the designs use (Exp and Pow10 of losses up to 150 dB, Sinh
// and Asinh of the Chebyshev parameters, Acosh of selectivities): within
// 8 units in the last place (sine,
// cosine and tangent: or one unit of the argument, the error of reducing
// it by a double pi); complex results within 8 epsilon of their size.
static_assert(cm::Sqrt(2.25) == 1.5 && cm::Abs(cm::Exp(1.0) - 2.718281828459045) < 1e-15, "constexpr");
constexpr double kOrderOfExample = ExactOrder(kElliptic, 1.5, 0.5, 60.0);
static_assert(kOrderOfExample > 1.0 && cm::Sin(0.0) == 0.0 && cm::Atan2(1.0, 1.0) > 0.78, "constexpr");

TEST(IirFamily, ConstexprMathWithinUlps) {
  const auto ulp = [](double x) { return std::nextafter(std::abs(x), 1e308) - std::abs(x); };
  const struct { const char* name; double (*ours)(double); double (*std)(double); double lo, hi; bool reduced = false; } cases[] = {
      {"Sin", cm::Sin, [](double x) { return std::sin(x); }, -6.3, 6.3, true},
      {"Cos", cm::Cos, [](double x) { return std::cos(x); }, -6.3, 6.3, true},
      {"Tan", cm::Tan, [](double x) { return std::tan(x); }, -1.5, 1.5, true},
      {"Exp", cm::Exp, [](double x) { return std::exp(x); }, -5, 35},
      {"Log", cm::Log, [](double x) { return std::log(x); }, 1e-6, 1e6},
      {"Sqrt", cm::Sqrt, [](double x) { return std::sqrt(x); }, 1e-6, 1e6},
      {"Pow10", cm::Pow10, [](double x) { return std::pow(10.0, x); }, -4, 15},
      {"Sinh", cm::Sinh, [](double x) { return std::sinh(x); }, 0.02, 5},
      {"Asinh", cm::Asinh, [](double x) { return std::asinh(x); }, 0.3, 100},
      {"Acosh", cm::Acosh, [](double x) { return std::acosh(x); }, 1.01, 1e4},
      {"Atan", [](double y) { return cm::Atan2(y, 0.7); }, [](double y) { return std::atan2(y, 0.7); }, -50, 50},
  };
  for (const auto& c : cases) {
    double worst = 0.0, at = 0.0;
    for (int i = 0; i <= 5000; ++i) {
      const double x = c.lo > 0 ? c.lo * std::pow(c.hi / c.lo, i / 5000.0) : c.lo + (c.hi - c.lo) * i / 5000.0;
      double error = std::abs(c.ours(x) - c.std(x)) / ulp(c.std(x));
      if (c.reduced) error = std::min(error, std::abs(c.ours(x) - c.std(x)) / ulp(x));
      if (error > worst) worst = error, at = x;
    }
    EXPECT_LE(worst, 8.0) << c.name << " at " << at;
  }
  double sqrt_worst = 0.0, asin_worst = 0.0;
  for (int i = 0; i <= 100; ++i)
    for (int j = 0; j <= 100; ++j) {
      const C z(-3.0 + 0.06 * i, -3.0 + 0.06 * j + 0.0137);  // off the real axis, where asin's branch cuts lie
      if (std::abs(z) < 0.25) continue;
      const cm::Complex r = cm::Sqrt(cm::Complex{z.real(), z.imag()}), s = cm::Asin(cm::Complex{z.real(), z.imag()});
      sqrt_worst = std::max(sqrt_worst, std::abs(C(r.re, r.im) - std::sqrt(z)) / std::abs(std::sqrt(z)));
      asin_worst = std::max(asin_worst, std::abs(C(s.re, s.im) - std::asin(z)) / std::abs(std::asin(z)));
    }
  EXPECT_LE(sqrt_worst, 8.0 * std::numeric_limits<double>::epsilon());
  EXPECT_LE(asin_worst, 32.0 * std::numeric_limits<double>::epsilon());  // a chain of some six operations
}

// MakePelmoraDesign stores FamilySections' sections in single precision,
// ceil(order / 2) of a low- or high-pass and `order` of a band type, and
// sets OrderN to the order made.
TEST(IirFamily, MakePelmoraDesignStoresSections) {
  PelmoraDesign automatic = Make(kElliptic, kLowPass, 0, 1000, 0, 44100, 0.5f, 60);
  automatic.stop1 = 1500;
  const struct { PelmoraDesign d; int order; } cases[] = {
      {automatic, 6},
      {Make(kButterworth, kLowPass, 7, 1000, 0, 8000, 1, 40), 7},
      {Make(kChebyshev1, kHighPass, 5, 2000, 0, 22050, 0.5f, 40), 5},
      {Make(kChebyshev2, kBandPass, 3, 2000, 5000, 22050, 1, 40), 3},
      {Make(kBessel, kBandReject, 4, 1000, 4000, 16000, 1, 40), 4},
      {Make(kElliptic, kHighPass, 16, 8000, 0, 44100, 1, 80), 16},
  };
  for (const auto& c : cases) {
    const Sections s = FamilySections(c.d);
    MakePelmoraDesign(c.d);
    EXPECT_EQ(OrderN, c.order);
    const int count = IsBand(c.d.type) ? c.order : (c.order + 1) / 2;
    EXPECT_EQ(DesignSections(c.d.type, OrderN), count);
    ASSERT_EQ(s.count, count);
    for (int k = 0; k < count; ++k) {
      const float stored[5] = {p_a0[k], p_a1[k], p_a2[k], p_b1[k], p_b2[k]};
      for (int i = 0; i < 5; ++i) EXPECT_EQ(stored[i], float(s.c[k][i])) << "section " << k << " value " << i;
    }
    // The designer's response takes every section: at its points
    // (i pi / 180 + 0.001 rad), within single precision of the design's.
    CalcFres(Gain, Theta);
    for (int i = 0; i < 180; i += 7) {
      const double db = Db(s, (i * 3.14159f / 180.0 + 0.001) / (2.0 * kPi));
      if (db > -100.0) EXPECT_NEAR(Gain[i], db, 0.01 + 1e-4 * std::abs(db)) << "point " << i;
    }
  }
}

}  // namespace
