// The recursive-filter viewer: the coefficient file read line by line, and
// the viewer's response of what it read against the transfer function.

#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "iir/pelmora_limits.h"
#include "tests/unit/biquad_reference.h"

namespace {

const std::string kFile = test::MakeTempDir() + "/coeff1.txt";
const float* const kLoaded[] = {a0, a1, a2, b1, b2};  // the sections as read
const float kPassThrough[] = {1, 0, 0, 0, 0};          // a0, a1, a2, b1, b2 of a section that passes its input

// Reads kFile as the viewer does; returns what it printed on standard
// output and error, joined by "|".
std::string Load() { return test::Printed([] { TxtLoad(kFile.c_str()); }); }

// The reader: line n is coefficient n mod 5 of section n div 5, whatever
// atof makes of it, in pieces of at most 39 characters, up to 40 lines (a
// line on standard error for more); every coefficient that no line gives
// is pass-through.
TEST(CoeffFile, ReaderFillsTheSectionsLineByLine) {
  std::string numbered;
  for (int i = 1; i <= 45; ++i) numbered += std::to_string(i) + "\n";
  const std::pair<std::string, std::vector<float>> cases[] = {
      {numbered, {}}, {numbered.substr(0, 111), {}}, {numbered.substr(0, 10), {1, 2, 3, 4, 5}},
      {numbered.substr(0, 12), {1, 2, 3, 4, 5, 6}}, {numbered.substr(0, 14), {1, 2, 3, 4, 5, 6, 7}}, {"", {}},
      {"1e-3\n+0.25\n   -2.5\n\n0.75\r\n0.5 trailing\nabc\n3", {1e-3f, 0.25f, -2.5f, 0, 0.75f, 0.5f, 0, 3}},
      {"0.125" + std::string(33, ' ') + "\n" + std::string(38, ' ') + "72.5     \n9\n", {0.125f, 7, 2.5f, 9}}};
  for (const auto& [content, values] : cases) {
    test::Write(kFile, content);
    const int lines = values.empty() && !content.empty() ? 40 : int(values.size());
    const std::string note = content == numbered ? kFile + ": more than 8 sections; only the first 8 are used.\n" : "";
    EXPECT_EQ(Load(), "BiquadN = " + std::to_string((lines + 4) / 5) + "\n|" + note);
    for (int n = 0; n < kMaxCoeffLines; ++n) {
      const float expected = lines == 40 ? float(n + 1) : (n < lines ? values[n] : kPassThrough[n % 5]);
      EXPECT_EQ(kLoaded[n % 5][n / 5], expected) << "line " << n << " of " << content.substr(0, 20);
    }
  }
}

// The designer's printed file of every type and order, and a file without
// lines: the sections read, and the response over them at the viewer's pi
// (3.1415925) in double precision, following the transfer function of what
// was read wherever the gain is above -60 dB; no section gives 0 dB and
// 0 rad. Entries 360 and up are not touched.
TEST(IirViewer, ResponseOfEveryPrintedDesign) {
  std::vector<std::string> files = test::PrintedCoefficients();
  files.push_back("");
  for (const std::string& content : files) {
    test::Write(kFile, content);
    const long sections = std::count(content.begin(), content.end(), '\n') / 5;
    EXPECT_EQ(Load(), "BiquadN = " + std::to_string(sections) + "\n|");
    test::ExpectResponseFollows(kLoaded, int(sections), 3.1415925f, false, 1e-5);
  }
}

// Every design that the limits accept is sound as written: its file, read
// back as the viewer reads it, is a stable cascade, 0.1 dB or less off the
// attenuation asked at each corner, and no coefficient that the design
// needs is written as zero (a band's a1 and b1 carry cos w0, zero up to
// rounding at a centre of Fsamp / 4). Designs with their corners pushed to
// the edges of the ranges, for every type and order, at the ends of the
// attenuation and of the sampling frequency, then at random inside.
TEST(PelmoraLimits, EveryAcceptedDesignIsSoundAsWritten) {
  auto sound = [](const PelmoraDesign& d) {
    MakePelmoraDesign(d);
    TxtSave(kFile.c_str());
    Load();
    const float* const designed[] = {p_a0, p_a1, p_a2, p_b1, p_b2};
    bool ok = BiquadN >= 1;
    for (int n = 0; n < 5 * BiquadN; ++n)
      ok = ok && (designed[n % 5][n / 5] == 0.0f || kLoaded[n % 5][n / 5] != 0.0f || (d.type >= kBandPass && n % 2));
    for (int j = 0; j < BiquadN; ++j) ok = ok && std::fabs(b2[j]) < 1.0f && std::fabs(b1[j]) < 1.0f + b2[j];
    double g, p;
    for (float f : {d.fc1, d.type >= kBandPass ? d.fc2 : d.fc1}) {
      test::Response(kLoaded, BiquadN, 2.0 * M_PI * (double(f) / double(d.fsamp)), g, p);
      ok = ok && std::fabs(g + double(d.attenuation_db)) <= 0.1;
    }
    return ok;
  };
  using P = PelmoraDesign;
  test::Uniform uniform{std::mt19937(11)};
  int designs = 0;
  for (int n = 0; n < 3360; ++n) {
    const float fsamp = n / 8 % 3 ? 22050.0f : float(std::pow(10.0, uniform(-15, 15)));
    PelmoraDesign d{n % 4, n / 4 % 2 + 1, 0.0f, 0.0f, 0.0f, fsamp};
    const float attenuations[] = {1e-5f, 60.0f, float(uniform(1e-5, 60)), float(std::pow(10.0, uniform(-5, 1.78)))};
    d.attenuation_db = attenuations[n / 24 % 4];
    d.fc1 = float(uniform(0.005, 0.485) * d.fsamp);
    d.fc2 = float(uniform(double(d.fc1) / double(d.fsamp), 0.49) * d.fsamp);
    if (!PelmoraAccepts(d)) continue;
    auto push = [&d](float P::*field, float to) { d.*field = test::LastAccepted(d, field, to, PelmoraAccepts); };
    switch (n / 96 % 7) {  // none, or some corners or the attenuation pushed to their edges
      case 1: push(&P::fc1, 0.0f); break;
      case 2: push(&P::fc2, d.fsamp); push(&P::fc1, 0.0f); break;
      case 3: d.type >= kBandPass ? push(&P::fc2, d.fsamp) : push(&P::fc1, d.fsamp); break;
      case 4: push(&P::fc2, 0.0f); break;
      case 5: push(&P::fc1, 0.0f); push(&P::attenuation_db, 0.0f); break;
      case 6: push(&P::attenuation_db, 100.0f); break;
    }
    ASSERT_TRUE(PelmoraAccepts(d)) << n;
    ++designs;
    EXPECT_TRUE(sound(d)) << "type " << d.type << ", order " << d.order << ", " << d.fc1 << " Hz, " << d.fc2
                          << " Hz, " << d.attenuation_db << " dB, " << d.fsamp << " Hz";
  }
  EXPECT_GT(designs, 3000) << designs;
}

}  // namespace
