// Helpers shared by the recursive-filter tests.
#pragma once

#include "iir/iir_design.h"

// What the designer writes for its built-in band-pass.
inline constexpr char kBuiltInCoeffFile[] =
    "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n"
    "0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";

// Runs the design chain as the designer does (its pi, 3 dB, 22050 Hz), for
// a type and order and the corners fc1 and fc2 (Hz).
void DesignIir(int type = kBandPass, int order = 2, float fc1 = 2000.0f, float fc2 = 5000.0f);
