#include "tune/analysis.h"

#include <algorithm>
#include <cmath>

namespace {

// sum p_n x^n and sum n p_n x^n at x = z^-1 = e^-jw, by Horner's scheme
// for the polynomial and its derivative (the second sum is x times it).
std::pair<std::complex<double>, std::complex<double>> Sums(const std::vector<double>& p, double w) {
  const std::complex<double> x = std::polar(1.0, -w);
  std::complex<double> sum = 0.0, derivative = 0.0;
  for (size_t n = p.size(); n-- > 0;) {
    derivative = derivative * x + sum;
    sum = sum * x + p[n];
  }
  return {sum, x * derivative};
}

}  // namespace

std::complex<double> ResponseAt(const Cascade& cascade, double hz, double fsamp) {
  const double w = 2.0 * kPi * hz / fsamp;
  std::complex<double> h = 1.0;
  for (const Section& s : cascade) h *= Sums(s.b, w).first / Sums(s.a, w).first;
  return h;
}

std::vector<double> FrequencyGrid(double from, double to, int points, bool logarithmic) {
  std::vector<double> hz(static_cast<size_t>(points));
  for (int i = 0; i < points; ++i) {
    const double t = points > 1 ? static_cast<double>(i) / (points - 1) : 0.0;
    hz[static_cast<size_t>(i)] = logarithmic ? from * std::pow(to / from, t) : from + (to - from) * t;
  }
  return hz;
}

double PhaseDegAt(const Cascade& cascade, double hz, double fsamp) {
  std::complex<double> h = ResponseAt(cascade, hz, fsamp);
  if (std::abs(h) < 1e-12) h = ResponseAt(cascade, hz + (hz < fsamp / 4 ? 1e-4 : -1e-4) * fsamp, fsamp);
  return std::arg(h) * 180.0 / kPi;
}

Response ResponseOn(const Cascade& cascade, const std::vector<double>& hz, double fsamp) {
  Response r;
  r.gain_db.reserve(hz.size());
  r.phase_deg.reserve(hz.size());
  for (double f : hz) {
    const std::complex<double> h = ResponseAt(cascade, f, fsamp);
    r.gain_db.push_back(20.0 * std::log10(std::abs(h)));
    r.phase_deg.push_back(std::abs(h) < 1e-12 ? PhaseDegAt(cascade, f, fsamp) : std::arg(h) * 180.0 / kPi);
  }
  return r;
}

std::vector<double> UnwrappedPhase(const Cascade& cascade, const std::vector<double>& hz, double fsamp,
                                   const std::vector<double>& wrapped) {
  if (hz.empty()) return {};
  // Each step adds the wrapped change, taken between -180 and 180.
  double phase = PhaseDegAt(cascade, 0.0, fsamp);
  const auto follow = [&phase](double next) { phase += std::remainder(next - phase, 360.0); };
  const int steps = static_cast<int>(std::ceil(hz[0] / (fsamp / 2.0) * 4096.0));
  for (int i = 1; i < steps; ++i) follow(PhaseDegAt(cascade, hz[0] * i / steps, fsamp));
  std::vector<double> unwrapped;
  unwrapped.reserve(wrapped.size());
  for (double p : wrapped) {
    follow(p);
    unwrapped.push_back(phase);
  }
  return unwrapped;
}

std::vector<double> GroupDelay(const Cascade& cascade, const std::vector<double>& hz, double fsamp) {
  // The delay at w, and whether a polynomial's sum there is below 1e-9 of
  // its coefficients' magnitudes (0/0 within rounding).
  const auto at = [&cascade](double w, bool* indeterminate) {
    double d = 0.0;
    for (const Section& s : cascade) {
      for (const std::vector<double>* p : {&s.b, &s.a}) {
        const auto [sum, weighted] = Sums(*p, w);
        double size = 0.0;
        for (double c : *p) size += std::abs(c);
        *indeterminate = *indeterminate || std::abs(sum) <= 1e-9 * size;
        d += (p == &s.b ? 1.0 : -1.0) * (weighted / sum).real();
      }
    }
    return d;
  };
  std::vector<double> delay;
  delay.reserve(hz.size());
  for (double f : hz) {
    const double w = 2.0 * kPi * f / fsamp;
    bool indeterminate = false, unused = false;
    double d = at(w, &indeterminate);
    if (indeterminate || !std::isfinite(d)) d = (at(w - 1e-6, &unused) + at(w + 1e-6, &unused)) / 2.0;
    delay.push_back(d);
  }
  return delay;
}

std::vector<std::complex<double>> Roots(const std::vector<double>& p) {
  size_t first = 0, last = p.size();
  while (first < last && p[first] == 0.0) ++first;
  std::vector<std::complex<double>> roots;
  while (last > first + 1 && p[last - 1] == 0.0) {
    --last;
    roots.push_back(0.0);
  }
  if (last <= first + 1) return roots;
  // Monic: z^n + c_1 z^(n-1) + ... + c_n.
  std::vector<double> c(p.begin() + static_cast<long>(first), p.begin() + static_cast<long>(last));
  const double lead = c[0];
  for (double& v : c) v /= lead;
  const size_t n = c.size() - 1;
  // Starting points on a circle of the roots' geometric mean radius,
  // turned off the axes so that none starts on a symmetry of the roots.
  const double radius = std::pow(std::abs(c[n]), 1.0 / static_cast<double>(n));
  std::vector<std::complex<double>> z(n);
  for (size_t k = 0; k < n; ++k) {
    z[k] = std::polar(radius > 0 ? radius : 1.0, 2.0 * kPi * (static_cast<double>(k) + 0.25) / static_cast<double>(n) + 0.4);
  }
  const auto evaluate = [&](std::complex<double> x, std::complex<double>& derivative) {
    std::complex<double> value = c[0];
    derivative = 0.0;
    for (size_t i = 1; i <= n; ++i) {
      derivative = derivative * x + value;
      value = value * x + c[i];
    }
    return value;
  };
  for (int iteration = 0; iteration < 500; ++iteration) {
    double largest = 0.0;
    for (size_t k = 0; k < n; ++k) {
      std::complex<double> derivative;
      const std::complex<double> value = evaluate(z[k], derivative);
      if (value == 0.0) continue;
      const std::complex<double> ratio = value / derivative;
      std::complex<double> repulsion = 0.0;
      for (size_t j = 0; j < n; ++j) {
        if (j != k) repulsion += 1.0 / (z[k] - z[j]);
      }
      const std::complex<double> step = ratio / (1.0 - ratio * repulsion);
      z[k] -= step;
      largest = std::max(largest, std::abs(step) / std::max(1.0, std::abs(z[k])));
    }
    if (largest < 1e-15) break;
  }
  roots.insert(roots.end(), z.begin(), z.end());
  return roots;
}

PoleZero PolesAndZeros(const Cascade& cascade) {
  PoleZero pz;
  for (const Section& s : cascade) {
    // b and a of the same length, so that a section of unequal degrees
    // gets its poles or zeros at the origin.
    std::vector<double> b = s.b, a = s.a;
    const size_t length = std::max(b.size(), a.size());
    b.resize(length, 0.0);
    a.resize(length, 0.0);
    for (const auto& z : Roots(b)) pz.zeros.push_back(z);
    for (const auto& p : Roots(a)) pz.poles.push_back(p);
  }
  return pz;
}

std::vector<MergedRoot> MergeRoots(const PoleZero& pz, double tolerance) {
  std::vector<MergedRoot> merged;
  for (bool pole : {false, true}) {
    for (const std::complex<double>& z : pole ? pz.poles : pz.zeros) {
      const auto same = std::find_if(merged.begin(), merged.end(), [&](const MergedRoot& m) {
        return m.pole == pole && std::abs(m.z - z) <= tolerance * std::max(1.0, std::abs(m.z));
      });
      if (same != merged.end()) {
        // The cluster's mean: a multiple root's computed values surround it.
        same->z = (same->z * static_cast<double>(same->count) + z) / static_cast<double>(same->count + 1);
        ++same->count;
      } else {
        merged.push_back({z, 1, pole});
      }
    }
  }
  return merged;
}

std::vector<double> ImpulseResponse(const Cascade& cascade, int samples) {
  std::vector<double> x(static_cast<size_t>(samples), 0.0);
  if (samples > 0) x[0] = 1.0;
  for (const Section& s : cascade) {
    std::vector<double> y(x.size(), 0.0);
    for (size_t n = 0; n < x.size(); ++n) {
      double v = 0.0;
      for (size_t k = 0; k < s.b.size() && k <= n; ++k) v += s.b[k] * x[n - k];
      for (size_t k = 1; k < s.a.size() && k <= n; ++k) v -= s.a[k] * y[n - k];
      y[n] = v / s.a[0];
    }
    x = y;
  }
  return x;
}
