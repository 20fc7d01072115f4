# The designers' parameters, chosen when the suite is configured and
# compiled into their entry modules as constants: one cache variable per
# parameter that pelmora's and tavrine's main assign (cmake -LH shows each
# with its help text). A value outside what the design chain handles is
# refused with one line that names the variable, the value given and what
# is allowed; nothing is built then.
#
# Included from the top CMakeLists.txt, the module also writes
# pelmora_parameters.h and tavrine_parameters.h into programs/ of the build
# tree. In script mode it only checks the values given on the command line
# (the others at their defaults):
#   cmake -DPELMORA_FC1=1000 -P cmake/DesignParameters.cmake
#
# The ranges are those on which the chains were run and found sound:
# - pelmora: finite biquad coefficients, every section stable, and the
#   attenuation at each corner within 0.01 dB of the one asked for (single
#   precision coefficients with the chain's Pi of 3.14159), over a million
#   random designs of every type and order with corners and attenuations
#   anywhere in the ranges, their ends included. Beyond them the chain
#   fails: a corner below Fsamp / 200 or above 0.49 Fsamp, or band corners
#   closer than Fsamp / 200, can miss its attenuation by more (a
#   second-order corner at 0.49999 Fsamp by 20 dB, with unstable sections);
#   an attenuation of 1e-7 dB or of 70 dB can give non-finite or unstable
#   sections; a sampling frequency above about 2e15 Hz overflows K^2 and
#   the squared corners, one below about 1e-18 Hz underflows them.
# - tavrine: any edge inside 0 < f < Fsamp / 2 falls on a bin from 0 to
#   FresN / 2; 1 to 400 taps and 1 to 400 bins stay within the 400-entry
#   arrays (1 or 2 taps design a single tap, window value 1.0; taps further
#   from the centre than FresN - 1 are 0); the Kaiser window's I0(alpha)
#   overflows single precision above alpha = 91.9007; FresN times an edge
#   overflows above Fsamp = 1.7e36, and below Fsamp = 5e-36 an edge whose
#   bin is not 0 would be a subnormal number.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(_dp_types low-pass high-pass band-pass band-reject)
set(_dp_type_codes kLowPass kHighPass kBandPass kBandReject)

# A parameter: its cache variable, default and one-line help text.
function(_dp_parameter name default help)
  set(${name} "${default}" CACHE STRING "${help}")
  if(NOT CMAKE_SCRIPT_MODE_FILE AND name MATCHES "_TYPE$")
    set_property(CACHE ${name} PROPERTY STRINGS ${_dp_types})
  endif()
endfunction()

_dp_parameter(PELMORA_TYPE band-pass "pelmora: filter type, low-pass, high-pass, band-pass or band-reject")
_dp_parameter(PELMORA_ORDER 2 "pelmora: order of the Butterworth prototype, 1 or 2 (a band type doubles it)")
_dp_parameter(PELMORA_FC1 2000 "pelmora: lower corner in Hz (the only one of low- and high-pass), PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP")
_dp_parameter(PELMORA_FC2 5000 "pelmora: upper corner in Hz (band types), PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP")
_dp_parameter(PELMORA_ATTENUATION_DB 3 "pelmora: attenuation at the corners in dB, 0.000001 to 60")
_dp_parameter(PELMORA_FSAMP 22050 "pelmora: sampling frequency in Hz, 1e-15 to 1e15")
_dp_parameter(TAVRINE_TYPE band-pass "tavrine: filter type, low-pass, high-pass, band-pass or band-reject")
_dp_parameter(TAVRINE_TAPS 140 "tavrine: requested tap count, 1 to 400 (an even count designs one fewer and writes a final zero tap)")
_dp_parameter(TAVRINE_ALPHA 7 "tavrine: Kaiser window shape parameter alpha, 0 (a rectangular window) to 91.9")
_dp_parameter(TAVRINE_BINS 400 "tavrine: frequency samples of the desired response, 1 to 400")
_dp_parameter(TAVRINE_LPF_FC1 3000 "tavrine: low-pass edge in Hz, above 0 and below TAVRINE_FSAMP / 2")
_dp_parameter(TAVRINE_HPF_FC1 3000 "tavrine: high-pass edge in Hz, above 0 and below TAVRINE_FSAMP / 2")
_dp_parameter(TAVRINE_BPF_FC1 2000 "tavrine: band-pass lower edge in Hz, above 0 and below TAVRINE_BPF_FC2")
_dp_parameter(TAVRINE_BPF_FC2 8000 "tavrine: band-pass upper edge in Hz, below TAVRINE_FSAMP / 2")
_dp_parameter(TAVRINE_BRF_FC1 3000 "tavrine: band-reject lower edge in Hz, above 0 and below TAVRINE_BRF_FC2")
_dp_parameter(TAVRINE_BRF_FC2 7000 "tavrine: band-reject upper edge in Hz, below TAVRINE_FSAMP / 2")
_dp_parameter(TAVRINE_FSAMP 22050 "tavrine: sampling frequency in Hz, 1e-35 to 1e36")

# Refuses the configuration: one line (a leading blank keeps CMake from
# wrapping it) with the variable, its value and what is allowed.
function(_dp_refuse name allowed)
  message(FATAL_ERROR " ${name} = ${${name}}: not allowed; allowed ${allowed}")
endfunction()

# Decimal arithmetic for the bounds: a number is kept as "M;E", the value
# M * 10^E with M an integer of at most 12 digits (further digits are cut
# off, far below single precision), so that 64-bit integer arithmetic
# scales and adds bounds exactly.
set(_dp_number_regex "^([0-9]*)\\.?([0-9]*)([eE]([-+]?)0*([0-9]?[0-9]?[0-9]))?$")

function(_dp_decimal text out)
  string(REGEX MATCH "${_dp_number_regex}" _ "${text}")
  string(LENGTH "${CMAKE_MATCH_2}" fraction)
  set(digits "${CMAKE_MATCH_1}${CMAKE_MATCH_2}")
  set(exponent "${CMAKE_MATCH_4}${CMAKE_MATCH_5}")
  if(exponent STREQUAL "" OR exponent STREQUAL "+" OR exponent STREQUAL "-")
    set(exponent 0)
  endif()
  string(REGEX REPLACE "^0+" "" digits "${digits}")
  string(LENGTH "${digits}" length)
  math(EXPR exponent "${exponent} - ${fraction}")
  if(length GREATER 12)
    string(SUBSTRING "${digits}" 0 12 digits)
    math(EXPR exponent "${exponent} + ${length} - 12")
  elseif(length EQUAL 0)
    set(digits 0)
  endif()
  while(digits MATCHES "[1-9]0$")
    string(REGEX REPLACE "0$" "" digits "${digits}")
    math(EXPR exponent "${exponent} + 1")
  endwhile()
  set(${out} "${digits};${exponent}" PARENT_SCOPE)
endfunction()

# OUT = A * FACTOR * 10^SHIFT (A as "M;E", FACTOR a small integer).
function(_dp_scale a factor shift out)
  list(GET a 0 m)
  list(GET a 1 e)
  math(EXPR m "${m} * ${factor}")
  math(EXPR e "${e} + ${shift}")
  set(${out} "${m};${e}" PARENT_SCOPE)
endfunction()

# OUT = A + B, for A and B within a factor 10^5 of each other.
function(_dp_add a b out)
  list(GET a 0 ma)
  list(GET a 1 ea)
  list(GET b 0 mb)
  list(GET b 1 eb)
  if(ea GREATER eb)
    math(EXPR shift "${ea} - ${eb}")
    string(REPEAT 0 ${shift} zeros)
    string(APPEND ma "${zeros}")
    set(ea ${eb})
  else()
    math(EXPR shift "${eb} - ${ea}")
    string(REPEAT 0 ${shift} zeros)
    string(APPEND mb "${zeros}")
  endif()
  math(EXPR m "${ma} + ${mb}")
  set(${out} "${m};${ea}" PARENT_SCOPE)
endfunction()

# OUT = the number as a short text: plain decimals, or an exponent when it
# is very large or very small.
function(_dp_text a out)
  list(GET a 0 m)
  list(GET a 1 e)
  string(LENGTH "${m}" length)
  math(EXPR point "${length} + ${e}")  # digits before the decimal point
  if(m STREQUAL "0")
    set(text 0)
  elseif(e GREATER_EQUAL 0 AND point LESS_EQUAL 12)
    string(REPEAT 0 ${e} zeros)
    set(text "${m}${zeros}")
  elseif(e LESS 0 AND point GREATER 0)
    string(SUBSTRING "${m}" 0 ${point} whole)
    string(SUBSTRING "${m}" ${point} -1 part)
    set(text "${whole}.${part}")
  elseif(e LESS 0 AND point GREATER -6)
    math(EXPR count "0 - ${point}")
    string(REPEAT 0 ${count} zeros)
    set(text "0.${zeros}${m}")
  else()
    string(SUBSTRING "${m}" 0 1 first)
    string(SUBSTRING "${m}" 1 -1 rest)
    math(EXPR power "${point} - 1")
    if(rest STREQUAL "")
      set(text "${first}e${power}")
    else()
      set(text "${first}.${rest}e${power}")
    endif()
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# True in OUT if the variable's value is a number without a sign.
function(_dp_is_number name out)
  if("${${name}}" MATCHES "${_dp_number_regex}" AND "${${name}}" MATCHES "[0-9]" AND NOT "${${name}}" MATCHES "^\\.?[eE]")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# A number from LOW to HIGH ("M;E"), ends included unless OPEN is given;
# WHAT says where the bounds come from.
function(_dp_check_range name low high what)
  cmake_parse_arguments(ARG "OPEN" "" "" ${ARGN})
  _dp_text("${low}" low_text)
  _dp_text("${high}" high_text)
  list(JOIN low "e" low_value)
  list(JOIN high "e" high_value)
  _dp_is_number(${name} number)
  if(ARG_OPEN)
    set(allowed "are numbers above ${low_text} and below ${high_text}${what}")
    if(NOT number OR NOT ${name} GREATER low_value OR NOT ${name} LESS high_value)
      _dp_refuse(${name} "${allowed}")
    endif()
  else()
    set(allowed "are numbers from ${low_text} to ${high_text}${what}")
    if(NOT number OR ${name} LESS low_value OR ${name} GREATER high_value)
      _dp_refuse(${name} "${allowed}")
    endif()
  endif()
endfunction()

# A frequency that the chosen type does not use: it is still assigned in
# main, so it must be a number that single precision holds.
function(_dp_check_unused name)
  _dp_decimal(0 low)
  _dp_decimal(1e38 high)
  _dp_check_range(${name} "${low}" "${high}" " (Hz; not used by the type chosen)")
endfunction()

# A whole number from LOW to HIGH; OUT is it without leading zeros.
function(_dp_check_count name low high out)
  string(REGEX REPLACE "^0+([0-9])" "\\1" value "${${name}}")
  string(LENGTH "${value}" length)
  if(NOT value MATCHES "^[0-9]+$" OR length GREATER 6 OR value LESS low OR value GREATER high)
    math(EXPR next "${low} + 1")
    if(high EQUAL next)
      _dp_refuse(${name} "are ${low} and ${high}")
    endif()
    _dp_refuse(${name} "are whole numbers from ${low} to ${high}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# OUT is the type code constant of the type named.
function(_dp_check_type name out)
  list(FIND _dp_types "${${name}}" index)
  if(index LESS 0)
    list(JOIN _dp_types ", " names)
    _dp_refuse(${name} "are ${names}")
  endif()
  list(GET _dp_type_codes ${index} code)
  set(${out} ${code} PARENT_SCOPE)
endfunction()

# A float literal with exactly the single-precision value of the decimal
# written: "2000" -> 2000.0f, "1e3" -> 1e3f.
function(_dp_literal name out)
  set(text "${${name}}")
  if(NOT text MATCHES "[.eE]")
    string(APPEND text ".0")
  endif()
  set(${out} "${text}f" PARENT_SCOPE)
endfunction()

# pelmora
_dp_check_type(PELMORA_TYPE pelmora_type)
_dp_check_count(PELMORA_ORDER 1 2 pelmora_order)
_dp_decimal(1e-15 _dp_low)
_dp_decimal(1e15 _dp_high)
_dp_check_range(PELMORA_FSAMP "${_dp_low}" "${_dp_high}" " (Hz)")
_dp_decimal(1e-6 _dp_low)
_dp_decimal(60 _dp_high)
_dp_check_range(PELMORA_ATTENUATION_DB "${_dp_low}" "${_dp_high}" " (dB)")
_dp_decimal("${PELMORA_FSAMP}" _dp_fsamp)
_dp_scale("${_dp_fsamp}" 5 -3 _dp_margin)  # Fsamp / 200
_dp_scale("${_dp_fsamp}" 49 -2 _dp_top)    # 0.49 Fsamp
if(pelmora_type STREQUAL kLowPass OR pelmora_type STREQUAL kHighPass)
  _dp_check_range(PELMORA_FC1 "${_dp_margin}" "${_dp_top}" " (Hz: PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP)")
  _dp_check_unused(PELMORA_FC2)
else()
  _dp_scale("${_dp_fsamp}" 485 -3 _dp_high)  # 0.485 Fsamp
  _dp_check_range(PELMORA_FC1 "${_dp_margin}" "${_dp_high}" " (Hz: PELMORA_FSAMP / 200 to 0.485 PELMORA_FSAMP)")
  _dp_decimal("${PELMORA_FC1}" _dp_low)
  _dp_add("${_dp_low}" "${_dp_margin}" _dp_low)
  _dp_check_range(PELMORA_FC2 "${_dp_low}" "${_dp_top}"
                  " (Hz: PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP)")
endif()

# tavrine
_dp_check_type(TAVRINE_TYPE tavrine_type)
_dp_check_count(TAVRINE_TAPS 1 400 tavrine_taps)
_dp_decimal(0 _dp_low)
_dp_decimal(91.9 _dp_high)
_dp_check_range(TAVRINE_ALPHA "${_dp_low}" "${_dp_high}" "")
_dp_check_count(TAVRINE_BINS 1 400 tavrine_bins)
_dp_decimal(1e-35 _dp_low)
_dp_decimal(1e36 _dp_high)
_dp_check_range(TAVRINE_FSAMP "${_dp_low}" "${_dp_high}" " (Hz)")
_dp_decimal("${TAVRINE_FSAMP}" _dp_fsamp)
_dp_scale("${_dp_fsamp}" 5 -1 _dp_half)  # Fsamp / 2
_dp_decimal(0 _dp_zero)
set(_dp_edges LPF_FC1 HPF_FC1 BPF_FC1 BPF_FC2 BRF_FC1 BRF_FC2)
set(_dp_used_by_kLowPass LPF_FC1)
set(_dp_used_by_kHighPass HPF_FC1)
set(_dp_used_by_kBandPass BPF_FC1 BPF_FC2)
set(_dp_used_by_kBandReject BRF_FC1 BRF_FC2)
set(_dp_low "${_dp_zero}")
set(_dp_what " (Hz: 0 to TAVRINE_FSAMP / 2)")
foreach(edge IN LISTS _dp_edges)
  if(edge IN_LIST _dp_used_by_${tavrine_type})
    # A band's upper edge lies above its lower edge.
    _dp_check_range(TAVRINE_${edge} "${_dp_low}" "${_dp_half}" "${_dp_what}" OPEN)
    _dp_decimal("${TAVRINE_${edge}}" _dp_low)
    string(REPLACE "FC2" "FC1" _dp_lower "TAVRINE_${edge}")
    set(_dp_what " (Hz: ${_dp_lower} to TAVRINE_FSAMP / 2)")
  else()
    _dp_check_unused(TAVRINE_${edge})
  endif()
endforeach()

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

foreach(name PELMORA_FC1 PELMORA_FC2 PELMORA_ATTENUATION_DB PELMORA_FSAMP TAVRINE_ALPHA TAVRINE_FSAMP)
  _dp_literal(${name} ${name}_LITERAL)
endforeach()
foreach(edge IN LISTS _dp_edges)
  _dp_literal(TAVRINE_${edge} TAVRINE_${edge}_LITERAL)
endforeach()
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/programs/pelmora_parameters.h CONTENT
"// pelmora's design, as configured (cmake -LH lists its variables).
#pragma once
#include \"iir/pelmora_design.h\"
#include \"plot/shared_state.h\"
constexpr PelmoraDesign kConfiguredDesign = {
    ${pelmora_type},  // PELMORA_TYPE ${PELMORA_TYPE}
    ${pelmora_order},  // PELMORA_ORDER
    ${PELMORA_FC1_LITERAL},  // PELMORA_FC1, Hz
    ${PELMORA_FC2_LITERAL},  // PELMORA_FC2, Hz
    ${PELMORA_ATTENUATION_DB_LITERAL},  // PELMORA_ATTENUATION_DB, dB
    ${PELMORA_FSAMP_LITERAL},  // PELMORA_FSAMP, Hz
};
")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/programs/tavrine_parameters.h CONTENT
"// tavrine's design, as configured (cmake -LH lists its variables).
#pragma once
#include \"fir/tavrine_design.h\"
#include \"plot/shared_state.h\"
constexpr TavrineDesign kConfiguredDesign = {
    ${tavrine_type},  // TAVRINE_TYPE ${TAVRINE_TYPE}
    ${tavrine_taps},  // TAVRINE_TAPS
    ${TAVRINE_ALPHA_LITERAL},  // TAVRINE_ALPHA
    ${tavrine_bins},  // TAVRINE_BINS
    ${TAVRINE_FSAMP_LITERAL},  // TAVRINE_FSAMP, Hz
    ${TAVRINE_LPF_FC1_LITERAL},  // TAVRINE_LPF_FC1, Hz
    ${TAVRINE_HPF_FC1_LITERAL},  // TAVRINE_HPF_FC1, Hz
    ${TAVRINE_BPF_FC1_LITERAL},  // TAVRINE_BPF_FC1, Hz
    ${TAVRINE_BPF_FC2_LITERAL},  // TAVRINE_BPF_FC2, Hz
    ${TAVRINE_BRF_FC1_LITERAL},  // TAVRINE_BRF_FC1, Hz
    ${TAVRINE_BRF_FC2_LITERAL},  // TAVRINE_BRF_FC2, Hz
};
")
