// The filter types of both designers: the codes of FilType and the names
// that the configure, the tuners and their options lines use.
#pragma once

constexpr int kLowPass = 0;
constexpr int kHighPass = 1;
constexpr int kBandPass = 2;
constexpr int kBandReject = 3;
constexpr int kTypeCount = 4;

// The configure's names of the filter types, by FilType code.
constexpr const char* kTypeNames[kTypeCount] = {"low-pass", "high-pass", "band-pass", "band-reject"};

// Whether the type has two corners or edges (a band) rather than one.
constexpr bool IsBand(int type) { return type == kBandPass || type == kBandReject; }

// Whether code names a filter type.
constexpr bool IsType(int type) { return type >= kLowPass && type <= kBandReject; }
