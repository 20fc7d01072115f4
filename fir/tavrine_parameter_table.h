// tavrine's parameters, one row each (core/design_parameter.h): the
// configure takes its variables, defaults and help from here
// (cmake/DesignParameters.cmake), and the live tuner its fields, options
// line and option parsing (fir/tavrine_tuning.h). Each type has edges of
// its own: the form's edges are those of the type chosen.
#pragma once

#include "core/design_parameter.h"
#include "core/filter_type.h"
#include "fir/tavrine_design.h"
#include "fir/tavrine_limits.h"

using TavrineParameter = DesignParameter<TavrineDesign>;

// In the configure's order, which is the form's (the edges one field each
// of the first and the second).
constexpr TavrineParameter kTavrineParameters[] = {
    {"TAVRINE_TYPE", "band-pass", "filter type", ParameterKind::kType, "", "", "type", "", &TavrineDesign::type, nullptr,
     kLowPass, kBandReject, 0, 0, kAllTypes},
    {"TAVRINE_METHOD", "window",
     "design method: frequency sampling and a Kaiser window (window), or equiripple by the Remez exchange on the band "
     "requirement (equiripple: TAVRINE_TRANSITION_HZ, TAVRINE_RIPPLE_DB, TAVRINE_STOPBAND_DB)",
     ParameterKind::kChoice, TAVRINE_METHOD_NAMES, "", "method", "", &TavrineDesign::method, nullptr, kWindowMethod,
     kEquirippleMethod, 0, 0, kAllTypes},
    {"TAVRINE_TAPS", "140",
     "requested tap count, 1 to 400; the window designs at most TAVRINE_BINS taps (an even count designs one fewer and "
     "writes a final zero tap), equiripple the count asked (odd for high-pass and band-reject); or auto: the fewest "
     "that meet the band requirement (TAVRINE_TRANSITION_HZ, TAVRINE_RIPPLE_DB, TAVRINE_STOPBAND_DB)",
     ParameterKind::kWhole, "auto", "", "requested taps", "", &TavrineDesign::taps, nullptr, 1, TAVRINE_MOST_COUNT, 0,
     0, kAllTypes},
    {"TAVRINE_ALPHA", "7",
     "Kaiser window shape parameter alpha (beta in other tools), 0 (a rectangular window) to 91.9; with TAVRINE_TAPS = "
     "auto the window takes Kaiser's alpha for TAVRINE_STOPBAND_DB instead",
     ParameterKind::kNumber, "", "", "Kaiser alpha", "", nullptr, &TavrineDesign::alpha, 0, TAVRINE_MOST_ALPHA, 1, 0,
     kAllTypes, tavrine_limits::UsesAlpha},
    {"TAVRINE_BINS", "400", "frequency samples of the window's desired response, 1 to 400", ParameterKind::kWhole, "", "",
     "frequency samples", "", &TavrineDesign::bins, nullptr, 1, TAVRINE_MOST_COUNT, 0, 0, kAllTypes,
     tavrine_limits::UsesBins},
    {"TAVRINE_LPF_FC1", "3000", "low-pass edge in Hz, below TAVRINE_FSAMP / 2, on sample 1 to (TAVRINE_BINS - 1) / 2",
     ParameterKind::kNumber, "", "Hz", "edge", "", nullptr, &TavrineDesign::lpf_fc1, 0, 0, kRateDecimals, 1,
     TypeBit(kLowPass)},
    {"TAVRINE_HPF_FC1", "3000", "high-pass edge in Hz, below TAVRINE_FSAMP / 2, on sample 1 to (TAVRINE_BINS - 1) / 2",
     ParameterKind::kNumber, "", "Hz", "edge", "", nullptr, &TavrineDesign::hpf_fc1, 0, 0, kRateDecimals, 1,
     TypeBit(kHighPass)},
    {"TAVRINE_BPF_FC1", "2000",
     "band-pass lower edge in Hz, below TAVRINE_FSAMP / 2, on sample 1 to (TAVRINE_BINS - 1) / 2",
     ParameterKind::kNumber, "", "Hz", "lower edge", "", nullptr, &TavrineDesign::bpf_fc1, 0, 0, kRateDecimals, 1,
     TypeBit(kBandPass)},
    {"TAVRINE_BPF_FC2", "8000",
     "band-pass upper edge in Hz, below TAVRINE_FSAMP / 2, on a sample above TAVRINE_BPF_FC1's, at most (TAVRINE_BINS "
     "- 1) / 2",
     ParameterKind::kNumber, "", "Hz", "upper edge", "", nullptr, &TavrineDesign::bpf_fc2, 0, 0, kRateDecimals, 2,
     TypeBit(kBandPass)},
    {"TAVRINE_BRF_FC1", "3000",
     "band-reject lower edge in Hz, below TAVRINE_FSAMP / 2, on sample 1 to (TAVRINE_BINS - 1) / 2",
     ParameterKind::kNumber, "", "Hz", "lower edge", "", nullptr, &TavrineDesign::brf_fc1, 0, 0, kRateDecimals, 1,
     TypeBit(kBandReject)},
    {"TAVRINE_BRF_FC2", "7000",
     "band-reject upper edge in Hz, below TAVRINE_FSAMP / 2, on a sample above TAVRINE_BRF_FC1's, at most "
     "(TAVRINE_BINS - 1) / 2",
     ParameterKind::kNumber, "", "Hz", "upper edge", "", nullptr, &TavrineDesign::brf_fc2, 0, 0, kRateDecimals, 2,
     TypeBit(kBandReject)},
    {"TAVRINE_TRANSITION_HZ", "200",
     "with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto: the width in Hz of the transition band centred on each "
     "edge of the type",
     ParameterKind::kNumber, "", "Hz", "transition width", "", nullptr, &TavrineDesign::transition_hz, 0,
     TAVRINE_HIGHEST_FSAMP, kRateDecimals, 0, kAllTypes, tavrine_limits::UsesRequirement},
    {"TAVRINE_RIPPLE_DB", "0.1",
     "with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto: the pass band's largest deviation in dB, peak to peak, "
     "0.001 to 10",
     ParameterKind::kNumber, "", "dB", "pass band ripple", "", nullptr, &TavrineDesign::ripple_db, TAVRINE_LEAST_RIPPLE,
     TAVRINE_MOST_RIPPLE, 3, 0, kAllTypes, tavrine_limits::UsesRequirement},
    {"TAVRINE_STOPBAND_DB", "60",
     "with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto: the stop band's least attenuation in dB, 10 to 150",
     ParameterKind::kNumber, "", "dB", "stop band attenuation", "", nullptr, &TavrineDesign::stopband_db,
     TAVRINE_LEAST_STOPBAND, TAVRINE_MOST_STOPBAND, 1, 0, kAllTypes, tavrine_limits::UsesRequirement},
    {"TAVRINE_FSAMP", "22050", "sampling frequency in Hz, 1e-35 to 1e36", ParameterKind::kNumber, "", "Hz",
     "sampling frequency", "", nullptr, &TavrineDesign::fsamp, TAVRINE_LOWEST_FSAMP, TAVRINE_HIGHEST_FSAMP,
     kRateDecimals, 0, kAllTypes},
};

// The configure's defaults make the built-in design.
static_assert(PresetsAre(kTavrineParameters, kBuiltInTavrineDesign), "the defaults are the built-in design");
