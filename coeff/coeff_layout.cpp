#include "coeff/coeff_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>
#include <cstdlib>
#include <cstring>

#include "core/number_text.h"

namespace {

// A C float literal of v: the shortest text with a point or an exponent,
// then f; the <math.h> macros where there is no number.
std::string CLiteral(float v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INFINITY" : "INFINITY";
  std::string text = ShortestDecimal(v);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text + "f";
}

// A file name inside a C comment, which it must not end.
std::string InComment(std::string name) {
  for (size_t at; (at = name.find("*/")) != std::string::npos;) name.replace(at, 2, "* /");
  return name;
}

// "#include <math.h>\n" when a value has no finite number.
std::string MathInclude(const std::vector<float>& values) {
  for (float v : values)
    if (!std::isfinite(v)) return "#include <math.h>\n";
  return "";
}

// The guarded C text: the comment, the count macro and the array,
// `per_line` values a line. An empty array gets one unused 0.
std::string CArrays(const std::string& comment, const std::string& guard, const std::string& count_macro,
                    const std::string& array, const std::vector<float>& values, size_t count, size_t per_line) {
  std::string text = "/* " + comment + " */\n#ifndef " + guard + "\n#define " + guard + "\n" + MathInclude(values) +
                     "#define " + count_macro + " " + std::to_string(count) + "\n";
  text += "static const float " + array + "[" + std::to_string(values.empty() ? 1 : values.size()) + "] = {";
  if (values.empty()) text += "0.0f /* none */";
  for (size_t i = 0; i < values.size(); ++i) text += (i % per_line ? " " : "\n  ") + CLiteral(values[i]) + ",";
  return text + "\n};\n#endif\n";
}

std::string BiquadC(const std::vector<float>& c, const std::string& source) {
  const size_t n = c.size() / kLinesPerSection;
  return CArrays("Biquad cascade of " + InComment(source) + " for filter_board.h: " + std::to_string(n) +
                     " sections, each a0, a1, a2, b1, b2 of\n"
                     "   (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2).\n"
                     "     float state[2 * BIQUAD_SECTIONS];\n     fb_biquad f;\n"
                     "     fb_biquad_init(&f, BIQUAD_SECTIONS, biquad_coeffs, state);",
                 "BIQUAD_COEFFS_H", "BIQUAD_SECTIONS", "biquad_coeffs", c, n, kLinesPerSection);
}

std::string FirC(const std::vector<float>& h, const std::string& source) {
  return CArrays("FIR taps of " + InComment(source) + " for filter_board.h: " + std::to_string(h.size()) +
                     " taps, h[0] (the tap of x[n]) first.\n"
                     "     float delay[2 * FIR_TAPS];\n     fb_fir g;\n"
                     "     fb_fir_init(&g, FIR_TAPS, fir_taps, delay);",
                 "FIR_TAPS_H", "FIR_TAPS", "fir_taps", h, h.size(), 4);
}

// CMSIS-DSP's stage: b0, b1, b2, a1, a2 with feedback added,
// y = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2]: the file's
// denominator terms negated (0 - b keeps a zero positive).
std::string BiquadCmsis(const std::vector<float>& c, const std::string& source) {
  std::vector<float> stages(c);
  for (size_t k = 0; k + kLinesPerSection <= stages.size(); k += kLinesPerSection) {
    stages[k + 3] = 0.0f - c[k + 3];
    stages[k + 4] = 0.0f - c[k + 4];
  }
  return CArrays("Biquad cascade of " + InComment(source) + " for CMSIS-DSP: " + std::to_string(c.size() / kLinesPerSection) +
                     " stages of b0, b1, b2, a1, a2 with\n"
                     "   y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2]\n"
                     "   (a1, a2: the file's b1, b2 negated).\n"
                     "     arm_biquad_cascade_df2T_init_f32(&S, BIQUAD_CMSIS_STAGES, biquad_cmsis_coeffs, state);\n"
                     "   state: 2 floats a stage (arm_biquad_cascade_df1_init_f32: 4).",
                 "BIQUAD_CMSIS_COEFFS_H", "BIQUAD_CMSIS_STAGES", "biquad_cmsis_coeffs", stages,
                 stages.size() / kLinesPerSection, kLinesPerSection);
}

std::string FirCmsis(const std::vector<float>& h, const std::string& source) {
  const std::vector<float> reversed(h.rbegin(), h.rend());
  return CArrays("FIR taps of " + InComment(source) + " for CMSIS-DSP's arm_fir_f32: " + std::to_string(h.size()) +
                     " taps in reversed order, h[N-1] first and h[0] last.\n"
                     "     arm_fir_init_f32(&S, FIR_CMSIS_TAPS, fir_cmsis_coeffs, state, BLOCK);\n"
                     "   state: FIR_CMSIS_TAPS + BLOCK - 1 floats.",
                 "FIR_CMSIS_COEFFS_H", "FIR_CMSIS_TAPS", "fir_cmsis_coeffs", reversed, reversed.size(), 4);
}

// One row a section, b0 b1 b2 1 a1 a2 of (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
std::string BiquadSos(const std::vector<float>& c, const std::string&) {
  std::string text;
  for (size_t k = 0; k + kLinesPerSection <= c.size(); k += kLinesPerSection) {
    text += ShortestDecimal(c[k]) + " " + ShortestDecimal(c[k + 1]) + " " + ShortestDecimal(c[k + 2]) + " 1 " +
            ShortestDecimal(c[k + 3]) + " " + ShortestDecimal(c[k + 4]) + "\n";
  }
  return text;
}

// A number as C reads the literal (the <math.h> macros for what has no
// number; strtof stops before a literal's f) or as strtof reads a row's
// value ("inf", "-inf" and "nan" too).
float LiteralValue(const std::string& token) {
  if (token == "NAN") return NAN;
  if (token == "INFINITY" || token == "-INFINITY") return token[0] == '-' ? -INFINITY : INFINITY;
  return ParseFloat(token.c_str());
}

// Rows of b0 b1 b2 1 a1 a2: the fourth value is the denominator's 1.
std::vector<float> ReadBiquadSos(const std::string& text) {
  std::vector<float> values;
  std::istringstream rows(text);
  for (std::string row; std::getline(rows, row);) {
    std::istringstream numbers(row);
    std::vector<std::string> tokens{std::istream_iterator<std::string>(numbers), {}};
    for (size_t i = 0; i < tokens.size() && i < 6; ++i)
      if (i != 3) values.push_back(LiteralValue(tokens[i]));
  }
  return values;
}

// C arrays: the count macro, then the values between the braces, `per`
// values for each that the macro counts.
std::vector<float> ReadCArray(const std::string& text, size_t per) {
  std::vector<float> values;
  const size_t define = text.find("\n#define ", text.find("#define ") + 1);
  const size_t count = std::strtoul(text.c_str() + text.find(' ', define + 9), nullptr, 10);
  const size_t open = text.find('{'), close = text.find("};", open);
  std::istringstream items(text.substr(open + 1, close - open - 1));
  const size_t wanted = per * count;
  for (std::string item; values.size() < wanted && std::getline(items, item, ',');) {
    std::istringstream token(item);
    std::string literal;
    token >> literal;
    values.push_back(LiteralValue(literal));
  }
  return values;
}

std::vector<float> ReadBiquadC(const std::string& text) { return ReadCArray(text, kLinesPerSection); }

std::vector<float> ReadFirC(const std::string& text) { return ReadCArray(text, 1); }

// CMSIS-DSP's feedback negated back.
std::vector<float> ReadBiquadCmsis(const std::string& text) {
  std::vector<float> values = ReadCArray(text, kLinesPerSection);
  for (size_t k = 0; k + kLinesPerSection <= values.size(); k += kLinesPerSection) {
    values[k + 3] = 0.0f - values[k + 3];
    values[k + 4] = 0.0f - values[k + 4];
  }
  return values;
}

// CMSIS-DSP's taps reversed back.
std::vector<float> ReadFirCmsis(const std::string& text) {
  std::vector<float> values = ReadCArray(text, 1);
  std::reverse(values.begin(), values.end());
  return values;
}

const CoeffLayout kLayouts[] = {
    {"biquad-c", CoeffKind::kBiquad, BiquadC, ReadBiquadC, ".h"},
    {"biquad-sos", CoeffKind::kBiquad, BiquadSos, ReadBiquadSos, ".txt"},
    {"biquad-cmsis", CoeffKind::kBiquad, BiquadCmsis, ReadBiquadCmsis, ".h"},
    {"fir-c", CoeffKind::kFir, FirC, ReadFirC, ".h"},
    {"fir-cmsis", CoeffKind::kFir, FirCmsis, ReadFirCmsis, ".h"},
};

}  // namespace

const CoeffLayout* FindCoeffLayout(const std::string& name) {
  for (const CoeffLayout& layout : kLayouts)
    if (name == layout.name) return &layout;
  return nullptr;
}

std::string CoeffLayoutNames() {
  std::string names;
  for (const CoeffLayout& layout : kLayouts) names += (names.empty() ? "" : ", ") + std::string(layout.name);
  return names;
}

std::vector<const CoeffLayout*> CoeffLayoutsOf(CoeffKind kind) {
  std::vector<const CoeffLayout*> layouts;
  for (const CoeffLayout& layout : kLayouts)
    if (layout.kind == kind) layouts.push_back(&layout);
  return layouts;
}

std::vector<float> ReadLayout(const CoeffLayout& layout, const std::string& text) { return layout.read(text); }
