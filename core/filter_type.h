// The filter types of both designers: the codes of FilType and the names
// that the configure, the tuners and their options lines use.
#pragma once

constexpr int kLowPass = 0;
constexpr int kHighPass = 1;
constexpr int kBandPass = 2;
constexpr int kBandReject = 3;
constexpr int kTypeCount = 4;

// The configure's names of the filter types, by FilType code, and the
// same names as one text for messages.
#define FILTER_TYPE_NAME_0 "low-pass"
#define FILTER_TYPE_NAME_1 "high-pass"
#define FILTER_TYPE_NAME_2 "band-pass"
#define FILTER_TYPE_NAME_3 "band-reject"
constexpr const char* kTypeNames[kTypeCount] = {FILTER_TYPE_NAME_0, FILTER_TYPE_NAME_1, FILTER_TYPE_NAME_2,
                                                FILTER_TYPE_NAME_3};
#define FILTER_TYPE_WORDS FILTER_TYPE_NAME_0 ", " FILTER_TYPE_NAME_1 ", " FILTER_TYPE_NAME_2 ", " FILTER_TYPE_NAME_3

// Whether the type has two corners or edges (a band) rather than one.
constexpr bool IsBand(int type) { return type == kBandPass || type == kBandReject; }

// Whether code names a filter type.
constexpr bool IsType(int type) { return type >= kLowPass && type <= kBandReject; }
