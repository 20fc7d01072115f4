// pelmora's parameters, one row each (core/design_parameter.h): the
// configure takes its variables, defaults and help from here
// (cmake/DesignParameters.cmake), and the live tuner its fields, options
// line and option parsing (iir/pelmora_tuning.h).
#pragma once

#include "core/design_parameter.h"
#include "core/filter_type.h"
#include "iir/pelmora_design.h"
#include "iir/pelmora_limits.h"

using PelmoraParameter = DesignParameter<PelmoraDesign>;

// In the configure's order, which is the form's.
constexpr PelmoraParameter kPelmoraParameters[] = {
    {"PELMORA_TYPE", "band-pass", "filter type", ParameterKind::kType, "", "", "type", "", &PelmoraDesign::type,
     nullptr, kLowPass, kBandReject, 0, 0, kAllTypes},
    {"PELMORA_FAMILY", "butterworth",
     "prototype family: its corners are PELMORA_ATTENUATION_DB down (butterworth), PELMORA_RIPPLE_DB down (chebyshev1, "
     "elliptic: the pass band's edges), PELMORA_STOPBAND_DB down (chebyshev2: the stop band's edges) or 3 dB down "
     "(bessel)",
     ParameterKind::kChoice, PELMORA_FAMILY_NAMES, "", "family", "", &PelmoraDesign::family, nullptr, 0,
     iirproto::kFamilyCount - 1, 0, 0, kAllTypes},
    {"PELMORA_ORDER", "2",
     "order of the prototype (a band type doubles it), 1 to 16 for low- and high-pass, 1 to 8 for band types, or auto: "
     "the least that keeps the pass band (to PELMORA_FC1, PELMORA_FC2) at most PELMORA_RIPPLE_DB down and the stop band "
     "(from PELMORA_STOP1, PELMORA_STOP2) at least PELMORA_STOPBAND_DB down",
     ParameterKind::kListed, "auto", "", "order", "", &PelmoraDesign::order, nullptr, PELMORA_LOWEST_ORDER,
     PELMORA_HIGHEST_ORDER, 0, 0, kAllTypes},
    {"PELMORA_FC1", "2000",
     "lower corner in Hz (the only one of low- and high-pass), PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP (0.485 "
     "PELMORA_FSAMP for band types); narrower at high attenuations (README)",
     ParameterKind::kNumber, "", "Hz", "lower corner", "corner", nullptr, &PelmoraDesign::fc1, 0, 0, kRateDecimals, 1,
     kAllTypes},
    {"PELMORA_FC2", "5000",
     "upper corner in Hz (band types), PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP; narrower at high "
     "attenuations (README)",
     ParameterKind::kNumber, "", "Hz", "upper corner", "", nullptr, &PelmoraDesign::fc2, 0, 0, kRateDecimals, 2,
     kAllTypes},
    {"PELMORA_STOP1", "1000",
     "with PELMORA_ORDER = auto: the stop band's lower edge in Hz (the only one of low- and high-pass)",
     ParameterKind::kNumber, "", "Hz", "lower stop edge", "stop edge", nullptr, &PelmoraDesign::stop1, 0, 0,
     kRateDecimals, 3, kAllTypes, pelmora_limits::AutoOrder},
    {"PELMORA_STOP2", "7000", "with PELMORA_ORDER = auto: the stop band's upper edge in Hz (band types)",
     ParameterKind::kNumber, "", "Hz", "upper stop edge", "", nullptr, &PelmoraDesign::stop2, 0, 0, kRateDecimals, 4,
     kAllTypes, pelmora_limits::AutoOrder},
    {"PELMORA_ATTENUATION_DB", "3", "attenuation at a butterworth's corners in dB, 0.00001 to 60",
     ParameterKind::kNumber, "", "dB", "attenuation", "", nullptr, &PelmoraDesign::attenuation_db, 0,
     PELMORA_MOST_ATTENUATION, 1, 0, kAllTypes, pelmora_limits::UsesAttenuation},
    {"PELMORA_RIPPLE_DB", "1",
     "the pass band's ripple in dB (chebyshev1, elliptic, and with PELMORA_ORDER = auto), 0.001 to 10",
     ParameterKind::kNumber, "", "dB", "pass band ripple", "", nullptr, &PelmoraDesign::ripple_db,
     PELMORA_LEAST_RIPPLE, PELMORA_MOST_RIPPLE, 3, 0, kAllTypes, pelmora_limits::UsesRipple},
    {"PELMORA_STOPBAND_DB", "60",
     "the stop band's least attenuation in dB (chebyshev2, elliptic, and with PELMORA_ORDER = auto), 1 to 150, above "
     "PELMORA_RIPPLE_DB",
     ParameterKind::kNumber, "", "dB", "stop band attenuation", "", nullptr, &PelmoraDesign::stopband_db,
     PELMORA_LEAST_STOPBAND, PELMORA_MOST_STOPBAND, 1, 0, kAllTypes, pelmora_limits::UsesStopband},
    {"PELMORA_FSAMP", "22050", "sampling frequency in Hz, 1e-15 to 1e15", ParameterKind::kNumber, "", "Hz",
     "sampling frequency", "", nullptr, &PelmoraDesign::fsamp, PELMORA_LOWEST_FSAMP, PELMORA_HIGHEST_FSAMP,
     kRateDecimals, 0, kAllTypes},
};

// The configure's defaults make the built-in design.
static_assert(PresetsAre(kPelmoraParameters, kBuiltInPelmoraDesign), "the defaults are the built-in design");
