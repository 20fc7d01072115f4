// The recursive designs beyond the Butterworth chain of orders 1 and 2:
// a prototype of a family (iir/analog_prototype.h) at its corners,
// prewarped for the bilinear transformation, made a low-pass, high-pass,
// band-pass or band-reject by the usual substitutions, taken to the z
// plane, and grouped into biquad sections, each pole pair with its nearest
// zeros. Double precision throughout; the sections are stored in single
// precision, as the file holds them.
//
// Sections: the pole pairs nearest the unit circle take their zeros first;
// the cascade runs from the pole pair furthest from the circle to the
// nearest, each section scaled to unit gain at the pass band's reference
// (0 Hz, half the rate, or a band-pass's centre), so that no intermediate
// signal is raised by the peaks of the later, sharper sections before the
// earlier ones have narrowed it. The first section carries the design's
// gain at the reference.
//
// Also here, since the configure's check runs them on the configured
// design: the least order for a band requirement, and whether the
// design is sound as its file keeps it (six decimals).
#pragma once

#include "core/constexpr_math.h"
#include "core/filter_type.h"
#include "iir/analog_prototype.h"

namespace iirfamily {

using cm::Complex;
using iirproto::Roots;

constexpr int kMostSections = 8;

// What a design asks, in double precision; frequencies in Hz.
struct Request {
  int family, type, order;  // order 0: the least that meets the band requirement
  double fsamp;
  double fc1, fc2;      // corners; with order 0 the pass band's edges (a Chebyshev II's too)
  double stop1, stop2;  // with order 0: the stop band's edges
  double edge_db;       // the loss at the corners of Butterworth
  double ripple_db, stop_db;
};

// The sections of a design, a0 a1 a2 b1 b2 each, of
// (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2).
struct Sections {
  int count = 0;
  int order = 0;  // the prototype's order made (found, with order 0)
  double c[kMostSections][5] = {};
};

// The corner w in rad/s of the prototype's scale: tan(pi f / fs), the
// bilinear transformation s = (1 - z^-1) / (1 + z^-1) taking it to f.
constexpr double Prewarp(double f, double fsamp) { return cm::Tan(cm::kPi * f / fsamp); }

// s = (1 + z) ... the bilinear image of an s-plane root: z = (1 + s) / (1 - s).
constexpr Complex Bilinear(Complex s) { return (Complex{1.0, 0.0} + s) / (Complex{1.0, 0.0} - s); }

// The two roots of s^2 - b s + c = 0.
constexpr void QuadraticRoots(Complex b, double c, Roots& out) {
  const Complex root = cm::Sqrt(b * b - Complex{4.0 * c, 0.0});
  out.Add(0.5 * (b + root));
  out.Add(0.5 * (b - root));
}

// The prototype's roots of one side (zeros or poles) substituted for the
// type at corners w1 (and w2), with `extra` roots at the prototype's
// infinity that become finite (high-pass: 0; band-pass: 0, the other half
// staying at infinity; band-reject: +-j w0).
constexpr Roots Substitute(const Roots& r, int type, double w1, double w2, int extra) {
  Roots out;
  const double b = w2 - w1, w00 = w1 * w2;
  for (int i = 0; i < r.n; ++i) {
    const Complex p = r.at[i];
    if (type == kLowPass) out.Add(w1 * p);
    if (type == kHighPass) out.Add(Complex{w1, 0.0} / p);
    if (type == kBandPass) QuadraticRoots(b * p, w00, out);
    if (type == kBandReject) QuadraticRoots(Complex{b, 0.0} / p, w00, out);
  }
  for (int i = 0; i < extra; ++i) {
    if (type == kHighPass || type == kBandPass) out.Add({});
    if (type == kBandReject) out.AddPair({0.0, cm::Sqrt(w00)});
  }
  return out;
}

// The z-plane roots of the design, and the point of the unit circle where
// its gain is the prototype's at 0 rad/s.
struct Digital {
  Roots zeros, poles;
  Complex reference;
  double reference_gain = 1.0;
};

constexpr Digital ToDigital(const iirproto::Prototype& proto, int type, double w1, double w2) {
  const int extra = proto.poles.n - proto.zeros.n;
  Digital d;
  const Roots zeros = Substitute(proto.zeros, type, w1, w2, extra);
  const Roots poles = Substitute(proto.poles, type, w1, w2, 0);
  for (int i = 0; i < zeros.n; ++i) d.zeros.Add(Bilinear(zeros.at[i]));
  for (int i = 0; i < poles.n; ++i) d.poles.Add(Bilinear(poles.at[i]));
  while (d.zeros.n < d.poles.n) d.zeros.Add({-1.0, 0.0});  // infinity: half the rate
  const double w0 = cm::Sqrt(w1 * w2);
  d.reference = type == kHighPass ? Complex{-1.0, 0.0}
                : type == kBandPass ? Bilinear({0.0, w0})
                                    : Complex{1.0, 0.0};
  d.reference_gain = proto.dc_gain;
  return d;
}

// A section's roots: one or two poles and as many zeros.
struct Group {
  int poles = 0, zeros = 0;
  Complex p[2], z[2];
};

constexpr bool IsReal(Complex c) { return cm::Abs(c.im) <= 1e-12 * (1.0 + cm::Abs(c.re)); }

// Splits roots into the conjugate pairs (the root above the axis) and the
// real ones.
constexpr void Split(const Roots& r, Roots& pairs, Roots& reals) {
  for (int i = 0; i < r.n; ++i) {
    if (IsReal(r.at[i])) {
      reals.Add({r.at[i].re, 0.0});
    } else if (r.at[i].im > 0.0) {
      pairs.Add(r.at[i]);
    }
  }
}

// Takes root i out of r.
constexpr Complex Take(Roots& r, int i) {
  const Complex c = r.at[i];
  r.at[i] = r.at[--r.n];
  return c;
}

// The index of the root of r nearest to c, or -1.
constexpr int Nearest(const Roots& r, Complex c) {
  int best = -1;
  for (int i = 0; i < r.n; ++i) {
    if (best < 0 || cm::Norm(r.at[i] - c) < cm::Norm(r.at[best] - c)) best = i;
  }
  return best;
}

// The sections' roots, nearest the circle first: each pole pair (or two
// real poles, or the last real pole alone) with the zero pair, or the
// real zeros, nearest to it.
struct Groups {
  int n = 0;
  Group g[kMostSections * 2];
};

constexpr Groups Pair(const Digital& d) {
  Roots pole_pairs, real_poles, zero_pairs, real_zeros;
  Split(d.poles, pole_pairs, real_poles);
  Split(d.zeros, zero_pairs, real_zeros);
  Groups out;
  // A real pole left alone takes its real zero first, so that the others
  // pair up whole.
  if (real_poles.n % 2 == 1) {
    int far = 0;
    for (int i = 1; i < real_poles.n; ++i) far = cm::Abs(real_poles.at[i]) < cm::Abs(real_poles.at[far]) ? i : far;
    Group& g = out.g[out.n++];
    g.poles = g.zeros = 1;
    g.p[0] = Take(real_poles, far);
    g.z[0] = Take(real_zeros, Nearest(real_zeros, g.p[0]));
  }
  while (pole_pairs.n + real_poles.n > 0) {
    Group g;
    g.poles = g.zeros = 2;
    // The pole nearest the unit circle, with its partner.
    int best = -1;
    bool from_pairs = false;
    for (int i = 0; i < pole_pairs.n; ++i) {
      if (best < 0 || cm::Abs(pole_pairs.at[i]) > cm::Abs(pole_pairs.at[best])) best = i, from_pairs = true;
    }
    for (int i = 0; i < real_poles.n; ++i) {
      const double here = cm::Abs(real_poles.at[i]);
      if (best < 0 || here > (from_pairs ? cm::Abs(pole_pairs.at[best]) : cm::Abs(real_poles.at[best]))) {
        best = i, from_pairs = false;
      }
    }
    if (from_pairs) {
      g.p[0] = Take(pole_pairs, best);
      g.p[1] = cm::Conj(g.p[0]);
    } else {
      g.p[0] = Take(real_poles, best);
      g.p[1] = Take(real_poles, Nearest(real_poles, g.p[0]));
    }
    const int pair = Nearest(zero_pairs, g.p[0]);
    double two_reals = -1.0;
    if (real_zeros.n >= 2) {
      Roots rest = real_zeros;
      const Complex first = Take(rest, Nearest(rest, g.p[0]));
      const Complex second = rest.at[Nearest(rest, g.p[1])];
      two_reals = cm::Norm(first - g.p[0]) + cm::Norm(second - g.p[1]);
    }
    if (pair >= 0 && (two_reals < 0.0 || 2.0 * cm::Norm(zero_pairs.at[pair] - g.p[0]) <= two_reals)) {
      g.z[0] = Take(zero_pairs, pair);
      g.z[1] = cm::Conj(g.z[0]);
    } else {
      g.z[0] = Take(real_zeros, Nearest(real_zeros, g.p[0]));
      g.z[1] = Take(real_zeros, Nearest(real_zeros, g.p[1]));
    }
    out.g[out.n++] = g;
  }
  return out;
}

// (1 - r0 z^-1)(1 - r1 z^-1) of conjugate or real roots: 1, -(r0 + r1), r0 r1.
constexpr void Polynomial(const Complex* r, int n, double* out) {
  out[0] = 1.0;
  out[1] = n == 2 ? -(r[0] + r[1]).re : -r[0].re;
  out[2] = n == 2 ? (r[0] * r[1]).re : 0.0;
}

// (c0 + c1 z^-1 + c2 z^-2) at z.
constexpr Complex Evaluate(const double* c, Complex z) {
  const Complex inv = Complex{1.0, 0.0} / z;
  return Complex{c[0], 0.0} + inv * (Complex{c[1], 0.0} + c[2] * inv);
}

// How near a group is to the unit circle: the radius of its pole nearest to it.
constexpr double Radius(const Group& g) {
  const double r = cm::Abs(g.p[0]);
  return g.poles == 2 && cm::Abs(g.p[1]) > r ? cm::Abs(g.p[1]) : r;
}

constexpr Sections ToSections(const Digital& d) {
  Groups groups = Pair(d);
  Sections s;
  if (groups.n > kMostSections) return s;  // beyond the limits: nothing made
  // The cascade runs from the group furthest from the circle to the
  // nearest (a lone real pole among them by its own distance).
  for (int i = 1; i < groups.n; ++i) {
    for (int k = i; k > 0 && Radius(groups.g[k]) < Radius(groups.g[k - 1]); --k) {
      const Group g = groups.g[k];
      groups.g[k] = groups.g[k - 1];
      groups.g[k - 1] = g;
    }
  }
  for (int k = 0; k < groups.n; ++k) {
    const Group& g = groups.g[k];
    double num[3] = {}, den[3] = {};
    Polynomial(g.z, g.zeros, num);
    Polynomial(g.p, g.poles, den);
    // Unit gain at the reference; a real gain at 0 Hz and half the rate
    // keeps its sign positive.
    const Complex h = Evaluate(num, d.reference) / Evaluate(den, d.reference);
    double scale = 1.0 / cm::Abs(h);
    if (d.reference.im == 0.0 && h.re < 0.0) scale = -scale;
    if (s.count == 0) scale = scale * d.reference_gain;
    double* c = s.c[s.count++];
    c[0] = scale * num[0];
    c[1] = scale * num[1];
    c[2] = scale * num[2];
    c[3] = den[1];
    c[4] = den[2];
  }
  return s;
}

// The prototype's frequency of a band edge f under the substitution of the
// type at corners w1 (and w2): the selectivity that an edge asks.
constexpr double PrototypeFrequency(int type, double w, double w1, double w2) {
  const double b = w2 - w1, w00 = w1 * w2;
  switch (type) {
    case kLowPass:
      return w / w1;
    case kHighPass:
      return w1 / w;
    case kBandPass:
      return cm::Abs((w * w - w00) / (w * b));
    default:
      return cm::Abs((w * b) / (w00 - w * w));
  }
}

// The selectivity of a band requirement, as the ratio of the stop
// band's prototype frequency to the pass band's (the corners being the
// pass band's edges; a Chebyshev II's the stop band's).
constexpr double Selectivity(const Request& r) {
  const double p1 = Prewarp(r.fc1, r.fsamp), p2 = Prewarp(r.fc2, r.fsamp);
  const double s1 = Prewarp(r.stop1, r.fsamp), s2 = Prewarp(r.stop2, r.fsamp);
  const bool band = IsBand(r.type);
  if (r.family == iirproto::kChebyshev2) {
    const double a = 1.0 / PrototypeFrequency(r.type, p1, s1, s2);
    const double b = band ? 1.0 / PrototypeFrequency(r.type, p2, s1, s2) : a;
    return a < b ? a : b;
  }
  const double a = PrototypeFrequency(r.type, s1, p1, p2);
  const double b = band ? PrototypeFrequency(r.type, s2, p1, p2) : a;
  return a < b ? a : b;
}

// Half the power: Bessel's corners, as the design tools set them.
constexpr double kHalfPowerDb = 3.0102999566398120;

// The design at a given order.
constexpr Sections DesignAt(const Request& r, int order) {
  const bool auto_order = r.order == 0;
  const bool stop_corners = auto_order && r.family == iirproto::kChebyshev2;
  const double f1 = stop_corners ? r.stop1 : r.fc1, f2 = stop_corners ? r.stop2 : r.fc2;
  // With a band requirement the Butterworth and Bessel corners are the
  // pass band's edges, the ripple down; else the asked loss, or Bessel's half power.
  const double edge_db = auto_order ? r.ripple_db : r.family == iirproto::kBessel ? kHalfPowerDb : r.edge_db;
  const iirproto::Prototype proto = iirproto::PrototypeOf(r.family, order, edge_db, r.ripple_db, r.stop_db);
  const Digital d = ToDigital(proto, r.type, Prewarp(f1, r.fsamp), IsBand(r.type) ? Prewarp(f2, r.fsamp) : 0.0);
  Sections s = ToSections(d);
  s.order = order;
  return s;
}

// |H(e^jw)|^2 of double sections.
constexpr double Gain2(const Sections& s, double w) {
  const Complex z{cm::Cos(w), cm::Sin(w)};
  double g = 1.0;
  for (int k = 0; k < s.count; ++k) {
    const double den[3] = {1.0, s.c[k][3], s.c[k][4]};
    g = g * (cm::Norm(Evaluate(s.c[k], z)) / cm::Norm(Evaluate(den, z)));
  }
  return g;
}

// The worst margins of a design against its band requirement, in dB:
// how far its pass band stays above -ripple_db, its stop band below
// -stop_db (negative: missed), on 256 points of each band.
struct Margins {
  double pass_db = 0.0, stop_db = 0.0;
};

constexpr Margins MarginsOf(const Sections& s, const Request& r) {
  const double nyquist = r.fsamp / 2.0;
  double bands[2][2][2] = {};  // [pass, stop][band][from, to] in Hz; to < from: none
  const double none[2] = {1.0, 0.0};
  switch (r.type) {
    case kLowPass:
      bands[0][0][0] = 0.0, bands[0][0][1] = r.fc1, bands[1][0][0] = r.stop1, bands[1][0][1] = nyquist;
      bands[0][1][0] = bands[1][1][0] = none[0];
      break;
    case kHighPass:
      bands[0][0][0] = r.fc1, bands[0][0][1] = nyquist, bands[1][0][0] = 0.0, bands[1][0][1] = r.stop1;
      bands[0][1][0] = bands[1][1][0] = none[0];
      break;
    case kBandPass:
      bands[0][0][0] = r.fc1, bands[0][0][1] = r.fc2, bands[0][1][0] = none[0];
      bands[1][0][0] = 0.0, bands[1][0][1] = r.stop1, bands[1][1][0] = r.stop2, bands[1][1][1] = nyquist;
      break;
    default:
      bands[0][0][0] = 0.0, bands[0][0][1] = r.fc1, bands[0][1][0] = r.fc2, bands[0][1][1] = nyquist;
      bands[1][0][0] = r.stop1, bands[1][0][1] = r.stop2, bands[1][1][0] = none[0];
  }
  Margins m{1e300, 1e300};
  for (int kind = 0; kind < 2; ++kind) {
    for (int band = 0; band < 2; ++band) {
      const double from = bands[kind][band][0], to = bands[kind][band][1];
      if (to < from) continue;
      for (int i = 0; i <= 256; ++i) {
        const double f = from + (to - from) * i / 256.0;
        const double db = 10.0 * cm::Log10(Gain2(s, 2.0 * cm::kPi * f / r.fsamp) + 1e-300);
        const double margin = kind == 0 ? db + r.ripple_db : -r.stop_db - db;
        if (kind == 0 && margin < m.pass_db) m.pass_db = margin;
        if (kind == 1 && margin < m.stop_db) m.stop_db = margin;
      }
    }
  }
  return m;
}

// The least order that meets the band requirement, as the order
// formulas give it (Bessel, which has none: searched), stepped up while the
// design misses by more than rounding; past `most`, the order the formula
// needs (or most + 1 for Bessel).
constexpr int OrderFor(const Request& r, int most) {
  constexpr double kRounding = 1e-9;  // dB
  int n = r.family == iirproto::kBessel ? 1 : iirproto::LeastOrder(r.family, Selectivity(r), r.ripple_db, r.stop_db);
  for (; n <= most; ++n) {
    const Margins m = MarginsOf(DesignAt(r, n), r);
    if (m.pass_db >= -kRounding && m.stop_db >= -kRounding) return n;
  }
  return n;
}

// The design asked: at its order, or at the least order that meets its
// band requirement (`most` at most; count 0 if it needs more).
constexpr Sections Design(const Request& r, int most) {
  const int order = r.order == 0 ? OrderFor(r, most) : r.order;
  if (order > most) {
    Sections none;
    none.order = order;
    return none;
  }
  return DesignAt(r, order);
}


// The value that a file gives back for a stored single-precision v:
// printed with six decimals ("%f", the nearest, halves to even: the
// product v 10^6 is exact in double) and read as the viewer reads it (the
// nearest double of the decimal, which is n / 10^6 correctly rounded,
// then single precision).
constexpr float AsWritten(float v) {
  const double x = static_cast<double>(v) * 1e6;
  if (cm::Abs(x) >= 4.0e15) return v;  // no decimals to lose
  const double whole = static_cast<double>(static_cast<long long>(x));  // towards zero
  const double rest = cm::Abs(x - whole);
  const double away = x < 0.0 ? whole - 1.0 : whole + 1.0;
  const bool odd = static_cast<long long>(whole) % 2 != 0;
  const double n = rest > 0.5 || (rest == 0.5 && odd) ? away : whole;
  return static_cast<float>(n / 1e6);
}

// The sections as the design stores them (single precision) and as its
// file gives them back.
constexpr Sections Stored(const Sections& s, bool written) {
  Sections out = s;
  for (int k = 0; k < s.count; ++k) {
    for (int i = 0; i < 5; ++i) {
      const float v = static_cast<float>(s.c[k][i]);
      out.c[k][i] = written ? AsWritten(v) : v;
    }
  }
  return out;
}

// Whether a file's cascade is sound: every section stable (|b2| < 1 and
// |b1| < 1 + b2), and its gain within kFileToleranceDb of the design's
// wherever the design's is above kFileFloorDb; where not, the worst
// deviation and its frequency. Checked on 1024 points from 0 Hz to half
// the rate and 512 about each corner or edge (half to twice it), where a
// narrow band's peaks are.
constexpr double kFileToleranceDb = 0.5;
constexpr double kFileFloorDb = -40.0;

struct FileCheck {
  bool stable = true;
  double worst_db = 0.0;  // the file's gain less the design's, the largest in size
  double at_hz = 0.0;
  constexpr bool Sound() const { return stable && cm::Abs(worst_db) <= kFileToleranceDb; }
};

constexpr FileCheck CheckFile(const Sections& design, const Request& r) {
  const Sections file = Stored(design, true);
  FileCheck check;
  for (int k = 0; k < file.count; ++k) {
    const double b1 = file.c[k][3], b2 = file.c[k][4];
    if (!(cm::Abs(b2) < 1.0 && cm::Abs(b1) < 1.0 + b2)) check.stable = false;
  }
  if (!check.stable) return check;
  const double nyquist = r.fsamp / 2.0, floor2 = cm::Pow10(kFileFloorDb / 10.0);
  const double edges[4] = {r.fc1, IsBand(r.type) ? r.fc2 : -1.0, r.order == 0 ? r.stop1 : -1.0,
                           r.order == 0 && IsBand(r.type) ? r.stop2 : -1.0};
  double worst_ratio = 1.0;
  for (int part = -1; part < 4; ++part) {
    if (part >= 0 && edges[part] <= 0.0) continue;
    const double from = part < 0 ? 0.0 : edges[part] / 2.0;
    const double to = part < 0 ? nyquist : (2.0 * edges[part] < nyquist ? 2.0 * edges[part] : nyquist);
    const int points = part < 0 ? 1024 : 512;
    for (int i = 0; i <= points; ++i) {
      const double f = from + (to - from) * i / points;
      const double w = 2.0 * cm::kPi * f / r.fsamp;
      const double g2 = Gain2(design, w);
      if (!(g2 > floor2)) continue;
      const double ratio = Gain2(file, w) / g2;
      const double size = ratio < 1.0 ? 1.0 / ratio : ratio;
      if (size > (worst_ratio < 1.0 ? 1.0 / worst_ratio : worst_ratio)) worst_ratio = ratio, check.at_hz = f;
    }
  }
  check.worst_db = 10.0 * cm::Log10(worst_ratio);
  return check;
}

}  // namespace iirfamily
