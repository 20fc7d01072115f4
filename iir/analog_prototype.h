// The analog low-pass prototypes of the recursive designs beyond the
// Butterworth chain of orders 1 and 2: Butterworth, Chebyshev of the first
// and second kind, elliptic (Cauer) and Bessel (Thomson), of any order up
// to kMostPrototypeOrder, as poles and zeros in double precision; and the
// least order of a family that meets a selectivity.
//
// Each prototype is normalised at 1 rad/s: Butterworth and Bessel are
// `edge_db` down there, Chebyshev I and elliptic `ripple_db` down (the
// pass band's edge), Chebyshev II `stop_db` down (the stop band's edge).
// Everything here is constexpr (core/constexpr_math.h): the configure's
// check computes the same design that the programs do.
//
// The elliptic design follows the Landen-transformation method: the
// degree equation by the nome, the zeros and poles by the Jacobi
// functions cd and sn of complex argument.
#pragma once

#include "core/constexpr_math.h"

namespace iirproto {

using cm::Complex;

enum Family { kButterworth, kChebyshev1, kChebyshev2, kElliptic, kBessel, kFamilyCount };

constexpr int kMostPrototypeOrder = 16;
// A low-pass of order 16 becomes a band of order 32.
constexpr int kMostRoots = 2 * kMostPrototypeOrder;

struct Roots {
  int n = 0;
  Complex at[kMostRoots] = {};
  constexpr void Add(Complex c) { at[n++] = c; }
  // c and its conjugate.
  constexpr void AddPair(Complex c) {
    Add(c);
    Add(cm::Conj(c));
  }
};

// A prototype's zeros and poles, and its gain at 0 rad/s (the pass band's
// top, or the ripple's floor for an even Chebyshev I or elliptic).
struct Prototype {
  Roots zeros, poles;
  double dc_gain = 1.0;
};

// 10^(db/10) - 1, the squared deviation that a loss of db decibels is.
constexpr double Epsilon2(double db) { return cm::Pow10(db / 10.0) - 1.0; }

constexpr Prototype Butterworth(int n, double edge_db) {
  Prototype p;
  const double radius = cm::Pow(Epsilon2(edge_db), -1.0 / (2.0 * n));
  for (int m = 0; m < n; ++m) {
    const double angle = cm::kPi * (2.0 * m + n + 1.0) / (2.0 * n);
    p.poles.Add({radius * cm::Cos(angle), radius * cm::Sin(angle)});
  }
  return p;
}

// Chebyshev I poles -sinh(a) sin(t_m) + j cosh(a) cos(t_m), t_m = (2m - 1) pi / (2n).
constexpr Roots ChebyshevPoles(int n, double a) {
  Roots r;
  for (int m = 1; m <= n; ++m) {
    const double t = cm::kPi * (2.0 * m - 1.0) / (2.0 * n);
    r.Add({-cm::Sinh(a) * cm::Sin(t), cm::Cosh(a) * cm::Cos(t)});
  }
  return r;
}

constexpr Prototype Chebyshev1(int n, double ripple_db) {
  Prototype p;
  const double eps = cm::Sqrt(Epsilon2(ripple_db));
  p.poles = ChebyshevPoles(n, cm::Asinh(1.0 / eps) / n);
  p.dc_gain = n % 2 == 0 ? 1.0 / cm::Sqrt(1.0 + eps * eps) : 1.0;
  return p;
}

// |H|^2 = 1 / (1 + 1 / (e^2 T_n(1/w)^2)): the poles of Chebyshev I with
// 1/e inverted, zeros at j / cos(t_m).
constexpr Prototype Chebyshev2(int n, double stop_db) {
  Prototype p;
  const Roots inverse = ChebyshevPoles(n, cm::Asinh(cm::Sqrt(Epsilon2(stop_db))) / n);
  for (int m = 0; m < n; ++m) p.poles.Add(Complex{1.0, 0.0} / inverse.at[m]);
  for (int m = 1; m <= n; ++m) {
    if (2 * m - 1 == n) continue;  // cos(pi/2): the zero of an odd order at infinity
    p.zeros.Add({0.0, 1.0 / cm::Cos(cm::kPi * (2.0 * m - 1.0) / (2.0 * n))});
  }
  return p;
}

// The complete elliptic integrals K(k) and K'(k) = K(k') by the
// arithmetic-geometric mean: K = pi / (2 agm(1, k')).
constexpr double Agm(double a, double b) {
  for (int i = 0; i < 40 && cm::Abs(a - b) > 1e-16 * a; ++i) {
    const double m = 0.5 * (a + b);
    b = cm::Sqrt(a * b);
    a = m;
  }
  return a;
}
constexpr double Complement(double k) { return cm::Sqrt((1.0 - k) * (1.0 + k)); }
constexpr double EllipticK(double k) { return cm::kPi / (2.0 * Agm(1.0, Complement(k))); }
constexpr double EllipticKPrime(double k) { return cm::kPi / (2.0 * Agm(1.0, k)); }

// The descending Landen moduli of k: v_n = (v_{n-1} / (1 + v'_{n-1}))^2.
struct Landen {
  int n = 0;
  double v[40] = {};
};
constexpr Landen LandenOf(double k) {
  Landen l;
  double v = k;
  while (l.n < 40 && v > 1e-17) {
    v = v / (1.0 + Complement(v));
    v = v * v;
    l.v[l.n++] = v;
  }
  return l;
}

// cd(u K, k) (or sn with sine) by the ascending Landen transformation from
// cos(u pi/2) (sin(u pi/2)).
constexpr Complex Ascend(Complex w, double k) {
  const Landen l = LandenOf(k);
  for (int i = l.n - 1; i >= 0; --i) {
    const double v = l.v[i];
    w = Complex{1.0 + v, 0.0} * w / (Complex{1.0, 0.0} + v * (w * w));
  }
  return w;
}
constexpr Complex Cd(Complex u, double k) { return Ascend(cm::Cos((cm::kPi / 2.0) * u), k); }
constexpr Complex Sn(Complex u, double k) { return Ascend(cm::Sin((cm::kPi / 2.0) * u), k); }

// The u, in units of K, with sn(u K, k) = w.
constexpr Complex InverseSn(Complex w, double k) {
  const Landen l = LandenOf(k);
  double previous = k;
  for (int i = 0; i < l.n; ++i) {
    const Complex root = cm::Sqrt(Complex{1.0, 0.0} - (previous * previous) * (w * w));
    w = (2.0 / (1.0 + l.v[i])) * (w / (Complex{1.0, 0.0} + root));
    previous = l.v[i];
  }
  return (2.0 / cm::kPi) * cm::Asin(w);
}

// The modulus k that an elliptic filter of order n has for the
// discrimination k1: the degree equation n K'(k)/K(k) = K'(k1)/K(k1),
// solved by the nome q = q1^(1/n).
constexpr double EllipticModulus(int n, double k1) {
  const double q1 = cm::Exp(-cm::kPi * EllipticKPrime(k1) / EllipticK(k1));
  const double q = cm::Pow(q1, 1.0 / n);
  double num = 1.0, den = 1.0;
  for (int m = 1; m <= 7; ++m) {
    num = num + cm::Pow(q, m * (m + 1.0));
    den = den + 2.0 * cm::Pow(q, static_cast<double>(m) * m);
  }
  const double ratio = num / den;
  return 4.0 * cm::Sqrt(q) * ratio * ratio;
}

constexpr Prototype Elliptic(int n, double ripple_db, double stop_db) {
  Prototype p;
  const double ep = cm::Sqrt(Epsilon2(ripple_db)), es = cm::Sqrt(Epsilon2(stop_db));
  const double k1 = ep / es, k = EllipticModulus(n, k1);
  const Complex j{0.0, 1.0};
  const Complex v0 = (-1.0 / n) * (j * InverseSn(j * Complex{1.0 / ep, 0.0}, k1));
  for (int i = 1; i <= n / 2; ++i) {
    const Complex u{(2.0 * i - 1.0) / n, 0.0};
    p.zeros.AddPair(j / (k * Cd(u, k)));
    p.poles.AddPair(j * Cd(u - j * v0, k));
  }
  if (n % 2 == 1) p.poles.Add({(j * Sn(j * v0, k)).re, 0.0});
  p.dc_gain = n % 2 == 0 ? 1.0 / cm::Sqrt(1.0 + ep * ep) : 1.0;
  return p;
}

// |H(jw)|^2 of an all-pole prototype whose gain at 0 is 1.
constexpr double AllPoleGain2(const Roots& poles, double w) {
  double g = 1.0;
  for (int i = 0; i < poles.n; ++i) g = g * (cm::Norm(poles.at[i]) / cm::Norm(Complex{0.0, w} - poles.at[i]));
  return g;
}

// Bessel: the roots of the reverse Bessel polynomial of order n (its
// coefficients a_k / a_(k+1) = (2n - k)(k + 1) / (2 (n - k))), by the
// Aberth iteration from a circle, then scaled so that the gain is edge_db
// down at 1 rad/s (found by bisection: the gain falls monotonically).
constexpr Prototype Bessel(int n, double edge_db) {
  double a[kMostPrototypeOrder + 1] = {};
  a[n] = 1.0;
  for (int k = n - 1; k >= 0; --k) a[k] = a[k + 1] * ((2.0 * n - k) * (k + 1.0) / (2.0 * (n - k)));
  Roots r;
  const double radius = cm::Pow(a[0], 1.0 / n);
  for (int i = 0; i < n; ++i) {
    const double t = cm::kPi * (0.5 + (i + 0.5) / n) + 0.4 / n;
    r.Add({radius * cm::Cos(t), radius * cm::Sin(t)});
  }
  // Until no root moves by more than a few units in the last place.
  bool moved = true;
  for (int iteration = 0; iteration < 200 && moved; ++iteration) {
    moved = false;
    for (int i = 0; i < n; ++i) {
      const Complex z = r.at[i];
      Complex value{a[n], 0.0}, slope{};
      for (int k = n - 1; k >= 0; --k) {
        slope = slope * z + value;
        value = value * z + Complex{a[k], 0.0};
      }
      if (cm::Norm(value) == 0.0) continue;
      const Complex ratio = value / slope;
      Complex sum{};
      for (int m = 0; m < n; ++m) {
        if (m != i) sum = sum + Complex{1.0, 0.0} / (z - r.at[m]);
      }
      const Complex step = ratio / (Complex{1.0, 0.0} - ratio * sum);
      r.at[i] = z - step;
      if (cm::Norm(step) > 1e-28 * cm::Norm(z)) moved = true;
    }
  }
  const double target = 1.0 / cm::Pow10(edge_db / 10.0);
  double lo = 1e-3, hi = 1e3;
  for (int i = 0; i < 80; ++i) {
    const double mid = cm::Sqrt(lo * hi);
    (AllPoleGain2(r, mid) > target ? lo : hi) = mid;
  }
  const double scale = cm::Sqrt(lo * hi);
  Prototype p;
  for (int i = 0; i < n; ++i) {
    // The conjugates of a pair made exactly so; a real root kept real.
    Complex z = (1.0 / scale) * r.at[i];
    if (cm::Abs(z.im) < 1e-12 * cm::Abs(z)) z.im = 0.0;
    p.poles.Add(z);
  }
  return p;
}

// The prototype of a family: `edge_db` is the loss at 1 rad/s of the
// families whose corner is not set by their ripple or stop band
// (Butterworth, Bessel).
constexpr Prototype PrototypeOf(int family, int n, double edge_db, double ripple_db, double stop_db) {
  switch (family) {
    case kChebyshev1:
      return Chebyshev1(n, ripple_db);
    case kChebyshev2:
      return Chebyshev2(n, stop_db);
    case kElliptic:
      return Elliptic(n, ripple_db, stop_db);
    case kBessel:
      return Bessel(n, edge_db);
    default:
      return Butterworth(n, edge_db);
  }
}

// The least order of a family whose prototype is at most ripple_db down to
// 1 rad/s and at least stop_db down from `selectivity` rad/s (above 1),
// by the usual order formulas; 0 for Bessel, which has none (its order is
// searched by measuring). A Chebyshev II's selectivity is the same ratio,
// its stop band's edge at 1.
constexpr double ExactOrder(int family, double selectivity, double ripple_db, double stop_db) {
  const double d = cm::Sqrt(Epsilon2(stop_db) / Epsilon2(ripple_db));
  switch (family) {
    case kButterworth:
      return cm::Log(d) / cm::Log(selectivity);
    case kChebyshev1:
    case kChebyshev2:
      return cm::Acosh(d) / cm::Acosh(selectivity);
    case kElliptic: {
      const double k = 1.0 / selectivity, k1 = 1.0 / d;
      return EllipticK(k) * EllipticKPrime(k1) / (EllipticKPrime(k) * EllipticK(k1));
    }
    default:
      return 0.0;
  }
}

constexpr int LeastOrder(int family, double selectivity, double ripple_db, double stop_db) {
  const double exact = ExactOrder(family, selectivity, ripple_db, stop_db);
  if (!(exact < 1e6)) return 1000000;
  int n = static_cast<int>(exact);
  if (n < exact) ++n;
  return n < 1 ? 1 : n;
}

}  // namespace iirproto
