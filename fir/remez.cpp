// The Parks-McClellan design, and the bands, estimates, measurement and
// fewest taps of a filter's tolerances (remez.h).
//
// The amplitude of N symmetric taps, H(f) = e^(-j pi f (N - 1)) A(f), is
//   type I  (N = 2M + 1): A(f) = sum over k = 0 to M of a_k cos(2 pi k f),
//   type II (N = 2M + 2): A(f) = cos(pi f) sum over k = 0 to M of b_k cos(2 pi k f),
// so A(f) = c(f) Q(x), with x = cos(2 pi f), c = 1 or cos(pi f), and Q a
// polynomial of degree M in x: r = M + 1 unknowns. The weighted error
// E = W (D - A) = W c (D / c - Q) is that of Q against D' = D / c with
// weight W' = W c. The exchange keeps r + 1 extremal frequencies; at them
// the alternation E_k = (-1)^k delta fixes delta and Q's values there; Q
// between them is the barycentric Lagrange interpolant of all r + 1. That
// delta makes the interpolant of degree r - 1; interpolating all of them,
// rather than r, keeps the error at each of them at exactly +-delta,
// where the point left out could take rounding of the order of delta when
// the set is poor and the weights span many orders.
//
// Precision: all in double. The barycentric weights are products of up to
// r differences of x, each in [-2, 2]: the products are kept as a mantissa
// and a power of two, so that no count of taps overflows or underflows
// them; only their ratios matter.

#include "fir/remez.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Grid points per extremal frequency, over the bands' total width.
constexpr int kGridDensity = 16;
// The exchange stops when the extremal errors' magnitudes agree to this,
// or agree to kRoundingFloor and no longer improve: the exchange converges
// quadratically, so a spread that does not halve is the rounding of the
// arithmetic (some 1e-8 for 200 unknowns, where the barycentric weights
// span many orders and their sums cancel).
constexpr double kAgreement = 1e-9;
constexpr double kRoundingFloor = 1e-6;

// One point of the weighted-error function: its frequency and band.
struct Point {
  double f;
  int band;
};

class Exchange {
 public:
  // r = (N + 1) / 2 unknowns for N odd, N / 2 for N even.
  Exchange(int taps, const std::vector<RemezBand>& bands)
      : bands_(bands), type2_(taps % 2 == 0), r_(taps / 2 + taps % 2) {}

  // D', W' at f in band b.
  double Desired(double f, int b) const { return bands_[b].gain / Scale(f); }
  double Weight(double f, int b) const { return bands_[b].weight * Scale(f); }
  double Scale(double f) const { return type2_ ? std::cos(kPi * f) : 1.0; }

  // The dense grid: evenly spaced points of each band, both edges included.
  // Type II drops f = 0.5, where W' = 0 and A = 0 whatever the taps.
  bool MakeGrid() {
    double total = 0.0;
    for (const RemezBand& b : bands_) total += b.upper - b.lower;
    const double step = total / (kGridDensity * r_);
    for (int b = 0; b < static_cast<int>(bands_.size()); ++b) {
      const double lower = bands_[b].lower, upper = bands_[b].upper;
      const int n = upper > lower ? std::max(2, static_cast<int>(std::ceil((upper - lower) / step)) + 1) : 1;
      band_start_.push_back(static_cast<int>(grid_.size()));
      for (int j = 0; j < n; ++j) {
        const double f = j == n - 1 ? upper : lower + (upper - lower) * j / (n - 1);
        if (type2_ && f >= 0.5) continue;
        grid_.push_back({f, b});
      }
    }
    band_start_.push_back(static_cast<int>(grid_.size()));
    const size_t g = grid_.size();
    x_.resize(g);
    d_.resize(g);
    w_.resize(g);
    e_.resize(g);
    for (size_t i = 0; i < g; ++i) {
      x_[i] = std::cos(2.0 * kPi * grid_[i].f);
      d_[i] = Desired(grid_[i].f, grid_[i].band);
      w_[i] = Weight(grid_[i].f, grid_[i].band);
    }
    return g >= static_cast<size_t>(r_ + 1);
  }

  // The alternation on the extremal set: delta, then Q's nodes, values and
  // barycentric weights. False if two nodes meet.
  bool Solve() {
    const int n = r_ + 1;
    std::vector<double> x(n), mantissa(n);
    std::vector<int> exponent(n);
    for (int k = 0; k < n; ++k) x[k] = std::cos(2.0 * kPi * extremal_[k].f);
    for (int k = 0; k < n; ++k) {
      double p = 1.0;
      int e = 0;
      for (int j = 0; j < n; ++j) {
        if (j == k) continue;
        p *= x[k] - x[j];
        if ((j & 15) == 15) {
          int t;
          p = std::frexp(p, &t);
          e += t;
        }
      }
      if (p == 0.0) return false;
      int t;
      mantissa[k] = std::frexp(p, &t);
      exponent[k] = e + t;
    }
    const int least = *std::min_element(exponent.begin(), exponent.end());
    std::vector<double> gamma(n), dk(n), wk(n);
    double num = 0.0, den = 0.0;
    for (int k = 0; k < n; ++k) {
      gamma[k] = std::ldexp(1.0 / mantissa[k], least - exponent[k]);
      dk[k] = Desired(extremal_[k].f, extremal_[k].band);
      wk[k] = Weight(extremal_[k].f, extremal_[k].band);
      num += gamma[k] * dk[k];
      den += (k % 2 == 0 ? gamma[k] : -gamma[k]) / wk[k];
    }
    delta_ = num / den;
    node_ = x;
    value_.resize(n);
    bary_ = gamma;
    for (int k = 0; k < n; ++k) value_[k] = dk[k] - (k % 2 == 0 ? delta_ : -delta_) / wk[k];
    return std::isfinite(delta_);
  }

  // Q(x) by the barycentric formula of the second kind.
  double Q(double x) const {
    double num = 0.0, den = 0.0;
    for (size_t k = 0; k < node_.size(); ++k) {
      const double diff = x - node_[k];
      if (diff == 0.0) return value_[k];
      const double t = bary_[k] / diff;
      num += t * value_[k];
      den += t;
    }
    return num / den;
  }
  double Amplitude(double f) const { return Scale(f) * Q(std::cos(2.0 * kPi * f)); }
  double Error(double f, int b) const { return Weight(f, b) * (Desired(f, b) - Q(std::cos(2.0 * kPi * f))); }

  // Finds the next extremal set; false if too few alternating extrema.
  // largest_ is the weighted error's largest magnitude, spread_ the
  // relative spread of the new set's magnitudes.
  bool Next() {
    const size_t g = grid_.size();
    largest_ = 0.0;
    for (size_t i = 0; i < g; ++i) {
      e_[i] = w_[i] * (d_[i] - Q(x_[i]));
      largest_ = std::max(largest_, std::fabs(e_[i]));
    }
    // Local extrema of each band, the band's edges with one neighbour.
    // Interior ones are moved to the extremum between their neighbours (the
    // last set lies between grid points). None is dropped for falling
    // short of |delta|: where delta is tiny against Q (a poor first set),
    // rounding takes the last set's points below it, and the alternation
    // below removes the small ones anyway.
    std::vector<Point> found;
    std::vector<double> error;
    for (size_t b = 0; b + 1 < band_start_.size(); ++b) {
      const int s = band_start_[b], end = band_start_[b + 1];
      for (int i = s; i < end; ++i) {
        const double e = e_[i];
        if (e == 0.0) continue;
        const double sign = e > 0.0 ? 1.0 : -1.0;
        if (i > s && sign * e_[i - 1] > sign * e) continue;
        if (i + 1 < end && sign * e_[i + 1] > sign * e) continue;
        Point p = grid_[i];
        double value = e;
        if (i > s && i + 1 < end) Refine(i, sign, &p, &value);
        found.push_back(p);
        error.push_back(value);
        largest_ = std::max(largest_, std::fabs(value));
      }
    }
    // The last set joins them: its errors alternate at |delta|, so that an
    // alternating set is always there, even where two of its points lie
    // closer than the grid resolves (the exchange would lose one of them).
    std::vector<Point> merged;
    std::vector<double> merged_error;
    size_t next = 0;
    for (const Point& p : extremal_) {
      for (; next < found.size() && found[next].f < p.f; ++next) {
        merged.push_back(found[next]);
        merged_error.push_back(error[next]);
      }
      if (next < found.size() && found[next].f == p.f) continue;
      const double e = Error(p.f, p.band);
      if (e == 0.0) continue;
      merged.push_back(p);
      merged_error.push_back(e);
    }
    merged.insert(merged.end(), found.begin() + next, found.end());
    merged_error.insert(merged_error.end(), error.begin() + next, error.end());
    found.swap(merged);
    error.swap(merged_error);
    // Alternation: of neighbours of one sign, the larger stays.
    std::vector<Point> kept;
    std::vector<double> kept_error;
    for (size_t i = 0; i < found.size(); ++i) {
      if (!kept.empty() && (kept_error.back() > 0.0) == (error[i] > 0.0)) {
        if (std::fabs(error[i]) > std::fabs(kept_error.back())) {
          kept.back() = found[i];
          kept_error.back() = error[i];
        }
        continue;
      }
      kept.push_back(found[i]);
      kept_error.push_back(error[i]);
    }
    // Too many: the smallest goes, with a neighbour (the smaller) when it
    // is not at an end, so that the signs keep alternating; one left over
    // takes the smaller end.
    const size_t want = r_ + 1;
    while (kept.size() > want) {
      size_t j;
      if (kept.size() == want + 1) {
        j = std::fabs(kept_error.front()) < std::fabs(kept_error.back()) ? 0 : kept.size() - 1;
      } else {
        j = 0;
        for (size_t i = 1; i < kept.size(); ++i) {
          if (std::fabs(kept_error[i]) < std::fabs(kept_error[j])) j = i;
        }
        if (j > 0 && j + 1 < kept.size()) {
          const size_t other = std::fabs(kept_error[j - 1]) < std::fabs(kept_error[j + 1]) ? j - 1 : j + 1;
          const size_t first = std::min(j, other);
          kept.erase(kept.begin() + first, kept.begin() + first + 2);
          kept_error.erase(kept_error.begin() + first, kept_error.begin() + first + 2);
          continue;
        }
      }
      kept.erase(kept.begin() + j);
      kept_error.erase(kept_error.begin() + j);
    }
    if (kept.size() < want) return false;
    double most = 0.0, least = HUGE_VAL;
    for (const double e : kept_error) {
      most = std::max(most, std::fabs(e));
      least = std::min(least, std::fabs(e));
    }
    spread_ = (most - least) / most;
    extremal_ = kept;
    return true;
  }

  // The extremum of sign * E between grid points i - 1 and i + 1 by
  // successive parabolic interpolation, kept within the bracket.
  void Refine(int i, double sign, Point* p, double* value) const {
    const int b = grid_[i].band;
    double lo = grid_[i - 1].f, mid = grid_[i].f, hi = grid_[i + 1].f;
    double glo = sign * e_[i - 1], gmid = sign * e_[i], ghi = sign * e_[i + 1];
    for (int step = 0; step < 8; ++step) {
      const double a = mid - lo, c = mid - hi;
      const double num = a * a * (gmid - ghi) - c * c * (gmid - glo);
      const double den = a * (gmid - ghi) - c * (gmid - glo);
      if (den == 0.0) break;
      const double v = mid - 0.5 * num / den;
      if (!(v > lo && v < hi) || std::fabs(v - mid) <= 1e-15) break;
      const double gv = sign * Error(v, b);
      if (gv >= gmid) {
        (v < mid ? hi : lo) = mid;
        (v < mid ? ghi : glo) = gmid;
        mid = v;
        gmid = gv;
      } else {
        (v < mid ? lo : hi) = v;
        (v < mid ? glo : ghi) = gv;
      }
    }
    p->f = mid;
    *value = sign * gmid;
  }

  // The first set: r + 1 grid points evenly spread by index, or, given
  // the extremal set of a design of about half the taps, that set spread
  // to r + 1 points: each band keeps its share, the new points placed by
  // linear interpolation between the coarse ones in order.
  void Start(const std::vector<Point>& coarse) {
    const int g = static_cast<int>(grid_.size()), nb = static_cast<int>(bands_.size());
    extremal_.clear();
    if (coarse.empty()) {
      for (int k = 0; k <= r_; ++k) {
        extremal_.push_back(grid_[static_cast<int>((static_cast<long long>(k) * (g - 1) + r_ / 2) / r_)]);
      }
      return;
    }
    std::vector<std::vector<double>> in(nb);
    for (const Point& p : coarse) in[p.band].push_back(p.f);
    std::vector<int> count(nb);
    int given = 0;
    for (int b = 0; b < nb; ++b) {
      count[b] = static_cast<int>(in[b].size()) * (r_ + 1) / static_cast<int>(coarse.size());
      given += count[b];
    }
    // What rounding down left, one at a time in turn, to the bands that
    // have coarse points.
    for (int b = 0; given < r_ + 1; b = (b + 1) % nb) {
      if (!in[b].empty() && count[b] < band_start_[b + 1] - band_start_[b]) {
        ++count[b];
        ++given;
      }
    }
    for (int b = 0; b < nb; ++b) {
      const std::vector<double>& f = in[b];
      const int m = static_cast<int>(f.size()), c = count[b];
      for (int j = 0; j < c; ++j) {
        double at;
        if (m == 1 || c == 1) {
          at = c == 1 ? f[0] : bands_[b].lower + (grid_[band_start_[b + 1] - 1].f - bands_[b].lower) * j / (c - 1);
        } else {
          const double t = static_cast<double>(j) * (m - 1) / (c - 1);
          const int i = std::min(static_cast<int>(t), m - 2);
          at = f[i] + (t - i) * (f[i + 1] - f[i]);
        }
        extremal_.push_back({at, b});
      }
    }
  }

  const std::vector<Point>& extremal() const { return extremal_; }
  double largest() const { return largest_; }
  double spread() const { return spread_; }

 private:
  const std::vector<RemezBand>& bands_;
  const bool type2_;
  const int r_;
  std::vector<Point> grid_, extremal_;
  std::vector<int> band_start_;
  std::vector<double> x_, d_, w_, e_;
  std::vector<double> node_, value_, bary_;
  double delta_ = 0.0, largest_ = 0.0, spread_ = 1.0;
};

bool ValidBands(int taps, const std::vector<RemezBand>& bands) {
  if (taps < 1 || bands.empty()) return false;
  double previous = 0.0;
  for (const RemezBand& b : bands) {
    if (!(b.lower >= previous && b.upper >= b.lower && b.upper <= 0.5 && b.weight > 0.0 && std::isfinite(b.gain) &&
          std::isfinite(b.weight))) {
      return false;
    }
    previous = b.upper;
  }
  return true;
}

// The taps from A sampled at f_j = j / N: the inverse DFT of the real,
// even (type I) or odd-about-1/2 (type II) amplitude gives, about the
// centre c = (N - 1) / 2,
//   h[n] = (1 / N) (A(0) + 2 sum over j = 1 to (N - 1) / 2 of A(j / N) cos(2 pi j (n - c) / N)),
// with 2 pi j (n - c) / N = 2 pi j (2n - N + 1) / (2N): one table of 2N
// cosines. Type II's A(1/2) = 0 drops out. The half below the centre is
// mirrored, so that the taps are symmetric to the bit.
std::vector<double> Taps(int taps, const Exchange& design) {
  const int n = taps, half = (n - 1) / 2;
  std::vector<double> a(half + 1), table(2 * n), h(n);
  for (int j = 0; j <= half; ++j) a[j] = design.Amplitude(static_cast<double>(j) / n);
  for (int m = 0; m < 2 * n; ++m) table[m] = std::cos(kPi * m / n);
  for (int i = 0; i < (n + 1) / 2; ++i) {
    const long long step = ((static_cast<long long>(2 * i - n + 1) % (2 * n)) + 2 * n) % (2 * n);
    double sum = 0.0;
    long long index = 0;
    for (int j = 1; j <= half; ++j) {
      index += step;
      if (index >= 2 * n) index -= 2 * n;
      sum += a[j] * table[index];
    }
    h[i] = h[n - 1 - i] = (a[0] + 2.0 * sum) / n;
  }
  return h;
}

// Designs of more than this many unknowns start from a design of about
// half the taps (whose exchange converges in a few steps from its own
// start), which saves most of the exchanges of an evenly spread start.
constexpr int kCoarseAbove = 32;

// The exchange from its first set to agreement, the cap or a stall;
// whether an alternation was solved (the design has taps).
bool Run(Exchange* design, int taps, const std::vector<RemezBand>& bands, RemezResult* result) {
  std::vector<Point> coarse;
  if (taps / 2 > kCoarseAbove) {
    const int fewer = taps / 2 + (taps / 2 % 2 != taps % 2 ? 1 : 0);
    Exchange first(fewer, bands);
    RemezResult ignored;
    if (first.MakeGrid() && Run(&first, fewer, bands, &ignored) && ignored.status != RemezStatus::kStalled) {
      coarse = first.extremal();
    }
  }
  design->Start(coarse);
  result->status = RemezStatus::kIterationCap;
  bool solved = false;
  double spread = 1.0;
  while (result->iterations < kRemezIterationCap) {
    if (!design->Solve()) {
      result->status = RemezStatus::kStalled;
      break;
    }
    solved = true;
    ++result->iterations;
    const bool exchanged = design->Next();
    result->delta = design->largest();
    // A desired response that Q meets exactly leaves nothing to exchange.
    if (design->largest() <= 1e-14) {
      result->status = RemezStatus::kConverged;
      break;
    }
    if (!exchanged) {
      result->status = RemezStatus::kStalled;
      break;
    }
    result->spread = design->spread();
    if (result->spread <= kAgreement || (result->spread <= kRoundingFloor && result->spread > 0.5 * spread)) {
      result->status = RemezStatus::kConverged;
      break;
    }
    spread = result->spread;
  }
  return solved;
}

}  // namespace

RemezResult RemezDesign(int taps, const std::vector<RemezBand>& bands) {
  RemezResult result;
  if (!ValidBands(taps, bands)) return result;
  const auto gain_at_half = [](const RemezBand& b) { return b.upper >= 0.5 && b.gain != 0.0; };
  if (taps % 2 == 0 && std::any_of(bands.begin(), bands.end(), gain_at_half)) {
    result.status = RemezStatus::kOddOnly;
    return result;
  }
  Exchange design(taps, bands);
  if (!design.MakeGrid()) return result;
  if (Run(&design, taps, bands, &result)) result.taps = Taps(taps, design);
  return result;
}

double PassDeviation(double ripple_db) {
  const double g = std::pow(10.0, ripple_db / 20.0);
  return (g - 1.0) / (g + 1.0);
}

double StopDeviation(double attenuation_db) { return std::pow(10.0, -attenuation_db / 20.0); }

namespace {

// Pass and stop bands alternating from 0 to 0.5 between the edges (Hz),
// each edge the centre of its transition.
std::vector<RemezBand> Alternating(bool pass_first, std::vector<double> edges, double fsamp, double transition,
                                   double ripple_db, double attenuation_db) {
  const double stop_weight = PassDeviation(ripple_db) / StopDeviation(attenuation_db);
  std::vector<RemezBand> bands;
  double lower = 0.0;
  bool pass = pass_first;
  edges.push_back(fsamp / 2.0 + transition / 2.0);
  for (const double edge : edges) {
    bands.push_back({lower / fsamp, (edge - transition / 2.0) / fsamp, pass ? 1.0 : 0.0, pass ? 1.0 : stop_weight});
    lower = edge + transition / 2.0;
    pass = !pass;
  }
  bands.back().upper = 0.5;
  return bands;
}

}  // namespace

std::vector<RemezBand> LowPassBands(double edge, double fsamp, double transition, double ripple_db,
                                    double attenuation_db) {
  return Alternating(true, {edge}, fsamp, transition, ripple_db, attenuation_db);
}
std::vector<RemezBand> HighPassBands(double edge, double fsamp, double transition, double ripple_db,
                                     double attenuation_db) {
  return Alternating(false, {edge}, fsamp, transition, ripple_db, attenuation_db);
}
std::vector<RemezBand> BandPassBands(double edge1, double edge2, double fsamp, double transition, double ripple_db,
                                     double attenuation_db) {
  return Alternating(false, {edge1, edge2}, fsamp, transition, ripple_db, attenuation_db);
}
std::vector<RemezBand> BandRejectBands(double edge1, double edge2, double fsamp, double transition,
                                       double ripple_db, double attenuation_db) {
  return Alternating(true, {edge1, edge2}, fsamp, transition, ripple_db, attenuation_db);
}

std::vector<RemezBand> ToleranceBands(const FilterTolerance& t) {
  switch (t.type) {
    case kLowPass:
      return LowPassBands(t.edge1, t.fsamp, t.transition, t.ripple_db, t.attenuation_db);
    case kHighPass:
      return HighPassBands(t.edge1, t.fsamp, t.transition, t.ripple_db, t.attenuation_db);
    case kBandPass:
      return BandPassBands(t.edge1, t.edge2, t.fsamp, t.transition, t.ripple_db, t.attenuation_db);
    default:
      return BandRejectBands(t.edge1, t.edge2, t.fsamp, t.transition, t.ripple_db, t.attenuation_db);
  }
}

int EquirippleTapEstimate(double dp, double ds, double df) {
  // Herrmann's formula: with l1 = log10 dp, l2 = log10 ds,
  //   D = (0.005309 l1^2 + 0.07114 l1 - 0.4761) l2 - (0.00266 l1^2 + 0.5941 l1 + 0.4278),
  //   f = 11.01217 + 0.51244 (l1 - l2).
  const double l1 = std::log10(dp), l2 = std::log10(ds);
  const double d = (0.005309 * l1 * l1 + 0.07114 * l1 - 0.4761) * l2 - (0.00266 * l1 * l1 + 0.5941 * l1 + 0.4278);
  const double f = 11.01217 + 0.51244 * (l1 - l2);
  return std::max(1, static_cast<int>(std::ceil(d / df - f * df + 1.0)));
}

int EquirippleTapEstimate(const FilterTolerance& t) {
  return EquirippleTapEstimate(PassDeviation(t.ripple_db), StopDeviation(t.attenuation_db), t.transition / t.fsamp);
}

int KaiserWindowTaps(double attenuation_db, double df) {
  return std::max(1, static_cast<int>(std::ceil((attenuation_db - 7.95) / (14.36 * df) + 1.0)));
}

double KaiserBeta(double a) {
  if (a > 50.0) return 0.1102 * (a - 8.7);
  if (a >= 21.0) return 0.5842 * std::pow(a - 21.0, 0.4) + 0.07886 * (a - 21.0);
  return 0.0;
}

BandMeasure MeasureBands(const std::vector<double>& h, const std::vector<RemezBand>& bands) {
  // The amplitude A(f) = sum over k of g_k cos((k + s) theta), theta = 2 pi f,
  // s = 0 (odd N: g_0 = h[M], g_k = 2 h[M - k]) or 1/2 (even N:
  // g_k = 2 h[N/2 - 1 - k]); the cosines by the recurrence
  // cos((k + 1 + s) theta) = 2 cos(theta) cos((k + s) theta) - cos((k - 1 + s) theta).
  const int n = static_cast<int>(h.size());
  const bool odd = n % 2 == 1;
  std::vector<double> g((n + 1) / 2);
  for (size_t k = 0; k < g.size(); ++k) g[k] = (odd && k == 0 ? 1.0 : 2.0) * h[(n - 1) / 2 - k];
  const double s = odd ? 0.0 : 0.5;
  const auto amplitude = [&](double f) {
    const double theta = 2.0 * kPi * f, c2 = 2.0 * std::cos(theta);
    double previous = std::cos((s - 1.0) * theta), current = std::cos(s * theta), sum = 0.0;
    for (const double gk : g) {
      sum += gk * current;
      const double next = c2 * current - previous;
      previous = current;
      current = next;
    }
    return sum;
  };
  // 64 points per 1/N, about the spacing of the ripples; an extremum
  // between points is the vertex of the parabola through three of them.
  const double step = 1.0 / (64.0 * std::max(n, 1));
  double pass_max = 0.0, pass_min = HUGE_VAL, stop_max = 0.0;
  bool any_pass = false, any_stop = false;
  for (const RemezBand& b : bands) {
    const bool pass = b.gain != 0.0;
    (pass ? any_pass : any_stop) = true;
    const int points = std::max(3, static_cast<int>(std::ceil((b.upper - b.lower) / step)) + 1);
    std::vector<double> y(points);
    for (int j = 0; j < points; ++j) {
      const double f = j == points - 1 ? b.upper : b.lower + (b.upper - b.lower) * j / (points - 1);
      y[j] = std::fabs(amplitude(f));
    }
    for (int j = 0; j < points; ++j) {
      double v = y[j];
      if (j > 0 && j + 1 < points) {
        const double curve = y[j + 1] - 2.0 * y[j] + y[j - 1];
        const bool peak = y[j] >= y[j - 1] && y[j] >= y[j + 1], dip = y[j] <= y[j - 1] && y[j] <= y[j + 1];
        if ((peak || dip) && curve != 0.0) v = y[j] - (y[j + 1] - y[j - 1]) * (y[j + 1] - y[j - 1]) / (8.0 * curve);
      }
      if (pass) {
        pass_max = std::max(pass_max, v);
        pass_min = std::min(pass_min, v);
      } else {
        stop_max = std::max(stop_max, v);
      }
    }
  }
  return {any_pass ? 20.0 * std::log10(pass_max / pass_min) : 0.0,
          any_stop ? -20.0 * std::log10(stop_max) : HUGE_VAL};
}

bool MeetsTolerance(const BandMeasure& m, const FilterTolerance& t) {
  return m.ripple_db <= t.ripple_db && m.attenuation_db >= t.attenuation_db;
}

FewestTaps FewestEquirippleTaps(const FilterTolerance& t, bool odd) {
  FewestTaps result;
  result.estimate = EquirippleTapEstimate(t);
  if (!odd && (t.type == kHighPass || t.type == kBandReject)) return result;
  const std::vector<RemezBand> bands = ToleranceBands(t);
  const int least = odd ? 1 : 2, most = odd ? kMaxEquirippleTaps - 1 : kMaxEquirippleTaps;
  const auto meets = [&](int n, RemezResult* design, BandMeasure* measure) {
    *design = RemezDesign(n, bands);
    if (design->taps.empty()) return false;
    *measure = MeasureBands(design->taps, bands);
    return MeetsTolerance(*measure, t);
  };
  int n = result.estimate + ((result.estimate % 2 == 1) == odd ? 0 : 1);
  n = std::min(std::max(n, least), most);
  RemezResult design;
  BandMeasure measure;
  if (meets(n, &design, &measure)) {
    result.found = true;
    for (; n - 2 >= least; n -= 2) {
      RemezResult fewer;
      BandMeasure fewer_measure;
      if (!meets(n - 2, &fewer, &fewer_measure)) break;
      design = fewer;
      measure = fewer_measure;
    }
  } else {
    while (n + 2 <= most) {
      n += 2;
      if (meets(n, &design, &measure)) {
        result.found = true;
        break;
      }
    }
  }
  if (!result.found) {
    result.taps = std::max(result.estimate, kMaxEquirippleTaps + 1);
    return result;
  }
  result.taps = n;
  result.design = design;
  result.measure = measure;
  return result;
}
