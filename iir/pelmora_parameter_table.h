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
    {"PELMORA_TYPE", "band-pass", "filter type", ParameterKind::kType, "", "type", "", &PelmoraDesign::type, nullptr,
     kLowPass, kBandReject, 0, 0, kAllTypes},
    {"PELMORA_ORDER", "2", "order of the Butterworth prototype, 1 or 2 (a band type doubles it)",
     ParameterKind::kListed, "", "order", "", &PelmoraDesign::order, nullptr, PELMORA_LOWEST_ORDER,
     PELMORA_HIGHEST_ORDER, 0, 0, kAllTypes},
    {"PELMORA_FC1", "2000",
     "lower corner in Hz (the only one of low- and high-pass), PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP (0.485 "
     "PELMORA_FSAMP for band types); narrower at high attenuations (README)",
     ParameterKind::kNumber, "Hz", "lower corner", "corner", nullptr, &PelmoraDesign::fc1, 0, 0, kRateDecimals, 1,
     kAllTypes},
    {"PELMORA_FC2", "5000",
     "upper corner in Hz (band types), PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP; narrower at high "
     "attenuations (README)",
     ParameterKind::kNumber, "Hz", "upper corner", "", nullptr, &PelmoraDesign::fc2, 0, 0, kRateDecimals, 2, kAllTypes},
    {"PELMORA_ATTENUATION_DB", "3", "attenuation at the corners in dB, 0.00001 to 60", ParameterKind::kNumber, "dB",
     "attenuation", "", nullptr, &PelmoraDesign::attenuation_db, 0, PELMORA_MOST_ATTENUATION, 1, 0, kAllTypes},
    {"PELMORA_FSAMP", "22050", "sampling frequency in Hz, 1e-15 to 1e15", ParameterKind::kNumber, "Hz",
     "sampling frequency", "", nullptr, &PelmoraDesign::fsamp, PELMORA_LOWEST_FSAMP, PELMORA_HIGHEST_FSAMP,
     kRateDecimals, 0, kAllTypes},
};

// The configure's defaults make the built-in design.
static_assert(PresetsAre(kPelmoraParameters, kBuiltInPelmoraDesign), "the defaults are the built-in design");
