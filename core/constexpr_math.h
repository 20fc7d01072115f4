// Elementary functions of double and complex double precision that a
// compiler can evaluate: the configure-time check runs the same designs
// that the programs run (iir/family_design.h), and both must compute the
// same values, on every machine, from the same code. Each function is a
// plain sequence of IEEE operations (no library call, no fused
// multiply-add under -ffp-contract=off), so its result is the same bit for
// bit at compile time, on the PC and on the board. Accuracy: a few units
// in the last place over the ranges that the designs use.
#pragma once

namespace cm {

constexpr double kPi = 3.141592653589793238462643383279502884;
constexpr double kLn2 = 0.693147180559945309417232121458176568;
constexpr double kLn10 = 2.302585092994045684017991454684364208;

constexpr double Abs(double x) { return x < 0.0 ? -x : x; }

// The nearest whole number, halves away from zero (|x| below 2^62).
constexpr double Round(double x) {
  const double a = Abs(x) + 0.5;
  const double whole = static_cast<double>(static_cast<long long>(a));
  return x < 0.0 ? -whole : whole;
}

// x = m 2^e with m in [1, 2): m, and e added to *e.
constexpr double Mantissa(double x, int* e) {
  while (x >= 2.0) x = x * 0.5, ++*e;
  while (x < 1.0) x = x * 2.0, --*e;
  return x;
}

constexpr double Scale2(double x, int e) {
  for (; e > 0; --e) x = x * 2.0;
  for (; e < 0; ++e) x = x * 0.5;
  return x;
}

// Newton's iteration on x scaled into [1, 4) by a power of 4.
constexpr double Sqrt(double x) {
  if (!(x > 0.0)) return 0.0;
  int e = 0;
  double m = Mantissa(x, &e);
  if (e % 2 != 0) m = m * 2.0, --e;
  double y = 0.5 * (m + 1.0);
  for (int i = 0; i < 7; ++i) y = 0.5 * (y + m / y);
  return Scale2(y, e / 2);
}

// a b = p + e exactly (Dekker's product, by Veltkamp's split into halves
// of 26 bits: no fused multiply-add needed).
struct Exact {
  double p, e;
};
constexpr Exact TwoProduct(double a, double b) {
  const double split = 134217729.0;  // 2^27 + 1
  const double ca = split * a, cb = split * b;
  const double ah = ca - (ca - a), al = a - ah, bh = cb - (cb - b), bl = b - bh;
  const double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// e^(x + dx) for a small correction dx: 2^k e^r with |r| <= ln2 / 2, the
// reduction by ln2 in two parts (the first exact in k ln2_hi), e^r by its
// power series.
constexpr double ExpWith(double x, double dx) {
  if (x > 709.0) return 1.0e308;  // no infinity: a compiler refuses one
  if (x < -745.0) return 0.0;
  constexpr double kLn2Hi = 6.93147180369123816490e-01, kLn2Lo = 1.90821492927058770002e-10;
  const double k = Round(x / kLn2);
  const double r = ((x - k * kLn2Hi) - k * kLn2Lo) + dx;
  double term = 1.0, sum = 0.0;
  for (int n = 1; n < 22; ++n) {
    term = term * r / n;
    sum = sum + term;
  }
  return Scale2(1.0 + sum, static_cast<int>(k));
}
constexpr double Exp(double x) { return ExpWith(x, 0.0); }

// e^x - 1, by its power series where it is small.
constexpr double Expm1(double x) {
  if (Abs(x) >= 0.5) return Exp(x) - 1.0;
  double term = x, sum = x;
  for (int n = 2; n < 25; ++n) {
    term = term * x / n;
    sum = sum + term;
  }
  return sum;
}

// ln x = e ln2 + 2 atanh((m - 1) / (m + 1)) with m in [sqrt(1/2), sqrt(2)).
constexpr double Log(double x) {
  if (!(x > 0.0)) return -1.0e308;
  if (x > 1.7976931348623157e308) return 709.782712893384;  // infinity: its logarithm's bound
  int e = 0;
  double m = Mantissa(x, &e);
  if (m > 1.4142135623730951) m = m * 0.5, ++e;
  const double t = (m - 1.0) / (m + 1.0), t2 = t * t;
  double power = t, sum = 0.0;
  for (int n = 1; n < 60; n += 2) {
    sum = sum + power / n;
    power = power * t2;
  }
  return e * kLn2 + 2.0 * sum;
}

// ln(1 + x) = 2 atanh(x / (2 + x)), by its series where x is small.
constexpr double Log1p(double x) {
  if (Abs(x) >= 0.25) return Log(1.0 + x);
  const double t = x / (2.0 + x), t2 = t * t;
  double power = t, sum = 0.0;
  for (int n = 1; n < 40; n += 2) {
    sum = sum + power / n;
    power = power * t2;
  }
  return 2.0 * sum;
}

constexpr double Pow(double x, double y) { return Exp(y * Log(x)); }
// 10^y = e^(y ln10), the product y ln10 carried exactly (and ln10's own
// rounding), so that a large y loses nothing to it.
constexpr double Pow10(double y) {
  constexpr double kLn10Lo = -2.1707562233822494e-16;  // ln10 - kLn10
  const Exact product = TwoProduct(y, kLn10);
  return ExpWith(product.p, product.e + y * kLn10Lo);
}
constexpr double Log10(double x) { return Log(x) / kLn10; }

// Sine and cosine of r in [-pi/4, pi/4], by their power series.
constexpr double SinSeries(double r) {
  double term = r, sum = r;
  for (int n = 2; n < 26; n += 2) {
    term = -term * r * r / (n * (n + 1));
    sum = sum + term;
  }
  return sum;
}
constexpr double CosSeries(double r) {
  double term = 1.0, sum = 1.0;
  for (int n = 1; n < 26; n += 2) {
    term = -term * r * r / (n * (n + 1));
    sum = sum + term;
  }
  return sum;
}

// x reduced by the nearest multiple of pi/2: the quadrant (0 to 3) and
// the rest. Enough for the moderate angles of the designs.
constexpr double Quadrant(double x, int* q) {
  const double k = Round(x / (kPi / 2.0));
  long long n = static_cast<long long>(k) % 4;
  if (n < 0) n += 4;
  *q = static_cast<int>(n);
  return x - k * (kPi / 2.0);
}

constexpr double Sin(double x) {
  int q = 0;
  const double r = Quadrant(x, &q);
  return q == 0 ? SinSeries(r) : q == 1 ? CosSeries(r) : q == 2 ? -SinSeries(r) : -CosSeries(r);
}
constexpr double Cos(double x) {
  int q = 0;
  const double r = Quadrant(x, &q);
  return q == 0 ? CosSeries(r) : q == 1 ? -SinSeries(r) : q == 2 ? -CosSeries(r) : SinSeries(r);
}
constexpr double Tan(double x) { return Sin(x) / Cos(x); }

// atan x for x >= 0: arguments above 1 by pi/2 - atan(1/x), then halved
// twice (atan x = 2 atan(x / (1 + sqrt(1 + x^2)))) before the series.
constexpr double AtanPositive(double x) {
  if (x > 1.0) return kPi / 2.0 - AtanPositive(1.0 / x);
  for (int i = 0; i < 2; ++i) x = x / (1.0 + Sqrt(1.0 + x * x));
  const double x2 = x * x;
  double power = x, sum = 0.0;
  for (int n = 1; n < 40; n += 2) {
    sum = sum + ((n / 2) % 2 == 0 ? power / n : -power / n);
    power = power * x2;
  }
  return 4.0 * sum;
}
constexpr double Atan(double x) { return x < 0.0 ? -AtanPositive(-x) : AtanPositive(x); }
constexpr double Atan2(double y, double x) {
  if (x > 0.0) return Atan(y / x);
  if (x < 0.0) return y < 0.0 ? Atan(y / x) - kPi : Atan(y / x) + kPi;
  return y > 0.0 ? kPi / 2.0 : y < 0.0 ? -kPi / 2.0 : 0.0;
}

// sinh x = (E + E / (E + 1)) / 2 with E = e^|x| - 1: no cancellation
// for a small x.
constexpr double Sinh(double x) {
  const double e = Expm1(Abs(x));
  const double s = 0.5 * (e + e / (e + 1.0));
  return x < 0.0 ? -s : s;
}
constexpr double Cosh(double x) { return 0.5 * (Exp(x) + Exp(-x)); }
// asinh |x| = ln(1 + |x| + x^2 / (1 + sqrt(1 + x^2))).
constexpr double Asinh(double x) {
  const double a = Abs(x);
  const double s = a > 1e8 ? Log(a) + kLn2 : Log1p(a + a * a / (1.0 + Sqrt(1.0 + a * a)));
  return x < 0.0 ? -s : s;
}
// acosh x = ln(1 + t + sqrt(t (x + 1))), t = x - 1 (exact near 1).
constexpr double Acosh(double x) {
  const double t = x - 1.0;
  return x > 1e8 ? Log(x) + kLn2 : Log1p(t + Sqrt(t * (x + 1.0)));
}

// Complex numbers, with what the designs need of them.
struct Complex {
  double re = 0.0, im = 0.0;
};
constexpr Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
constexpr Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
constexpr Complex operator-(Complex a) { return {-a.re, -a.im}; }
constexpr Complex operator*(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
constexpr Complex operator*(double s, Complex a) { return {s * a.re, s * a.im}; }
constexpr Complex operator/(Complex a, Complex b) {
  // Scaled by the larger part of b, so that no square overflows.
  if (Abs(b.re) >= Abs(b.im)) {
    const double r = b.im / b.re, d = b.re + b.im * r;
    return {(a.re + a.im * r) / d, (a.im - a.re * r) / d};
  }
  const double r = b.re / b.im, d = b.re * r + b.im;
  return {(a.re * r + a.im) / d, (a.im * r - a.re) / d};
}
constexpr Complex Conj(Complex a) { return {a.re, -a.im}; }
constexpr double Norm(Complex a) { return a.re * a.re + a.im * a.im; }
constexpr double Abs(Complex a) {
  const double m = Abs(a.re) > Abs(a.im) ? Abs(a.re) : Abs(a.im);
  if (m == 0.0) return 0.0;
  return m * Sqrt(Norm({a.re / m, a.im / m}));
}
// The principal square root (the real part not negative).
constexpr Complex Sqrt(Complex a) {
  const double r = Abs(a);
  if (r == 0.0) return {};
  const double t = Sqrt(0.5 * (r + Abs(a.re)));
  if (a.re >= 0.0) return {t, a.im / (2.0 * t)};
  return {Abs(a.im) / (2.0 * t), a.im < 0.0 ? -t : t};
}
constexpr Complex Log(Complex a) { return {Log(Abs(a)), Atan2(a.im, a.re)}; }
constexpr Complex Exp(Complex a) {
  const double m = Exp(a.re);
  return {m * Cos(a.im), m * Sin(a.im)};
}
constexpr Complex Cos(Complex a) { return {Cos(a.re) * Cosh(a.im), -Sin(a.re) * Sinh(a.im)}; }
constexpr Complex Sin(Complex a) { return {Sin(a.re) * Cosh(a.im), Cos(a.re) * Sinh(a.im)}; }
// asin a = -j ln(j a + sqrt(1 - a) sqrt(1 + a)) (the root as two
// factors keeps the branch cuts of the real axis beyond +-1 on the sides
// that the standard library takes); acos a = pi/2 - asin a.
constexpr Complex Asin(Complex a) {
  // asin(-a) = -asin(a): the sum below then adds two terms that point the
  // same way, and nothing cancels.
  if (a.re < 0.0) return -Asin(-a);
  const Complex j{0.0, 1.0}, one{1.0, 0.0};
  const Complex w = Log(j * a + Sqrt(one - a) * Sqrt(one + a));
  return {w.im, -w.re};
}
constexpr Complex Acos(Complex a) { return Complex{kPi / 2.0, 0.0} - Asin(a); }

}  // namespace cm
