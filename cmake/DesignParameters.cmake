# The designers' parameters, chosen when the suite is configured and
# compiled into their entry modules as constants: one cache variable per
# parameter of pelmora's and tavrine's design (cmake -LH shows each with
# its help text).
#
# Each value is checked twice. Here, its form: a type name, a whole number
# or a decimal number. Then its value, by the compiler: the configured
# design is compiled against the limits that the design chains accept
# (iir/pelmora_limits.h, fir/tavrine_limits.h), written once in C++ as
# predicates on the single-precision values the chains compute with. The
# compiler evaluates them and leaves its verdict as text in the object it
# writes (core/design_limit.h), which is read back here: nothing is run,
# so a cross build checks as a native one does, and the verdict reads the
# same whichever compiler wrote it.
#
# A value refused by either check stops the configuration with one line,
# inside CMake's error block, that names the variable, the value given and
# what is allowed; nothing is built then. Accepted values are written into
# pelmora_parameters.h and tavrine_parameters.h in programs/ of the build
# tree.

# The type names, as the programs name them (core/filter_type.h), in the
# order of their codes.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../core/filter_type.h _dp_type_lines REGEX "^#define FILTER_TYPE_NAME_[0-9] ")
set(_dp_types "")
foreach(line IN LISTS _dp_type_lines)
  string(REGEX REPLACE "^#define FILTER_TYPE_NAME_[0-9] \"([^\"]*)\".*" "\\1" name "${line}")
  list(APPEND _dp_types ${name})
endforeach()
list(JOIN _dp_types ", " _dp_type_words)

# A designer's parameters, read from its table (TABLE, a C++ header: the
# rows of core/design_parameter.h): for each row, a cache variable with
# its default and its help text, and the form that the row's kind asks.
# The variables in the table's order are left in _dp_<designer>_variables
# and each one's kind in _dp_kind_<variable>.
function(_dp_table designer table)
  set(file ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../${table})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} text)
  string(REPLACE ";" "<semicolon>" text "${text}")  # a help text's semicolon, kept out of the lists
  string(REGEX MATCHALL "{\"[A-Z][A-Z0-9_]*\",[^{}]*ParameterKind::k[A-Za-z]+,[ \t\r\n]*[A-Z_\"][A-Z_a-z0-9 ]*\"?" rows
         "${text}")
  set(variables "")
  foreach(row IN LISTS rows)
    if(NOT row MATCHES
       "^{\"([A-Z0-9_]+)\",[ \t\r\n]*\"([^\"]*)\",(.*),[ \t\r\n]*ParameterKind::(k[A-Za-z]+),[ \t\r\n]*([A-Z_]+|\"[^\"]*\")$")
      message(FATAL_ERROR "${table}: a row that the configure cannot read:\n${row}")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(default "${CMAKE_MATCH_2}")
    set(kind ${CMAKE_MATCH_4})
    set(words "${CMAKE_MATCH_5}")
    if(words MATCHES "^[A-Z_]+$")  # a macro of the table's headers: "#define NAME \"words\""
      string(REGEX MATCH "#define ${words} \"[^\"]*\"" words "${_dp_macros}")
    endif()
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\"$" "\\1" words "${words}")
    string(REPLACE " " ";" words "${words}")
    # The help: its adjacent string literals joined.
    string(REGEX REPLACE "\"[ \t\r\n]*\"" "" help "${CMAKE_MATCH_3}")
    string(REGEX REPLACE "^[ \t\r\n]*\"(.*)\"[ \t\r\n]*$" "\\1" help "${help}")
    string(REPLACE "<semicolon>" ";" help "${help}")
    if(kind STREQUAL "kType")
      set(words ${_dp_types})
    endif()
    if(kind STREQUAL "kType" OR kind STREQUAL "kChoice")
      list(JOIN words ", " names)
      string(APPEND help ": ${names}")
    endif()
    set(${name} "${default}" CACHE STRING "${designer}: ${help}")
    if(kind STREQUAL "kType" OR kind STREQUAL "kChoice")
      set_property(CACHE ${name} PROPERTY STRINGS ${words})
    endif()
    list(APPEND variables ${name})
    set(_dp_kind_${name} ${kind} PARENT_SCOPE)
    set(_dp_words_${name} "${words}" PARENT_SCOPE)
  endforeach()
  set(_dp_${designer}_variables ${variables} PARENT_SCOPE)
endfunction()

# The macros that rows may name for their words.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../iir/pelmora_design.h _dp_macros REGEX "^#define [A-Z_]+ \"")
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../fir/tavrine_design.h _dp_tavrine_macros REGEX "^#define [A-Z_]+ \"")
list(APPEND _dp_macros ${_dp_tavrine_macros})
_dp_table(pelmora iir/pelmora_parameter_table.h)
_dp_table(tavrine fir/tavrine_parameter_table.h)

# Refuses the configuration: one line (a leading blank keeps CMake from
# wrapping it) with the variable, its value and what is allowed.
function(_dp_refuse name allowed)
  message(FATAL_ERROR " ${name} = ${${name}}: not allowed; allowed ${allowed}")
endfunction()

# OUT is the place of the name given among the names of a type or a
# choice: its code.
function(_dp_choice name out)
  list(FIND _dp_words_${name} "${${name}}" index)
  if(index LESS 0)
    list(JOIN _dp_words_${name} ", " names)
    _dp_refuse(${name} "are ${names}")
  endif()
  set(${out} ${index} PARENT_SCOPE)
endfunction()

# OUT is a whole number as an int literal, or 0 for the row's word
# ("auto"). More than nine digits cannot be an int, and is out of every
# range: it is compiled as 999999999, as is a 0 written where 0 is the
# word's.
function(_dp_whole name out)
  if(_dp_words_${name} AND "${${name}}" STREQUAL "${_dp_words_${name}}")
    set(${out} 0 PARENT_SCOPE)
    return()
  endif()
  if(NOT "${${name}}" MATCHES "^[0-9]+$")
    if(_dp_words_${name})
      _dp_refuse(${name} "are whole numbers or ${_dp_words_${name}}")
    endif()
    _dp_refuse(${name} "are whole numbers")
  endif()
  string(REGEX REPLACE "^0+([0-9])" "\\1" value "${${name}}")
  string(LENGTH "${value}" length)
  # Where 0 stands for the word, only the word asks for it: a 0 written is
  # a number, out of range like the others.
  if(length GREATER 9 OR (_dp_words_${name} AND value STREQUAL "0"))
    set(value 999999999)
  endif()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# OUT is a decimal number as the float literal of exactly what was
# written: "2000" -> 2000.0f, "1e3" -> 1e3f, "-0.5" -> -0.5f.
function(_dp_decimal name out)
  if(NOT "${${name}}" MATCHES "^[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$")
    _dp_refuse(${name} "are decimal numbers, such as 2000, 1500.5 or 2e3")
  endif()
  set(text "${${name}}")
  if(NOT text MATCHES "[.eE]")
    string(APPEND text ".0")
  endif()
  set(${out} "${text}f" PARENT_SCOPE)
endfunction()

# Compiles the configured design HEADER (generated content) against the
# LIMITS table of LIMITS_HEADER, and reads the verdict out of the object.
# A limit that it breaks refuses the configuration with its words, and the
# values of the other variables that they name.
function(_dp_check_values designer header limits_header limits)
  set(dir ${CMAKE_BINARY_DIR}/CMakeFiles/DesignParameters/${designer})
  file(WRITE ${dir}/${designer}_parameters.h "${header}")
  file(WRITE ${dir}/check.cpp "#include \"${designer}_parameters.h\"\n#include \"${limits_header}\"\n"
                              "constexpr DesignVerdict kComputed = Verdict(${limits}, kConfiguredDesign);\n"
                              "extern const DesignVerdict kDesignVerdict;\n"
                              "const DesignVerdict kDesignVerdict = kComputed;\n")
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)  # compiled only, never run
  file(REMOVE ${dir}/verdict.a)
  # A design of many sections, and its file checked, is more evaluation
  # than the compilers' default budgets.
  set(budget "")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(budget -fconstexpr-ops-limit=1000000000 -fconstexpr-loop-limit=10000000)
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(budget -fconstexpr-steps=1000000000)
  endif()
  try_compile(compiled ${dir}/build SOURCES ${dir}/check.cpp COMPILE_DEFINITIONS ${budget}
              CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/..;${dir}"
              CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON OUTPUT_VARIABLE said COPY_FILE ${dir}/verdict.a)
  set(verdict "")
  if(compiled)
    file(STRINGS ${dir}/verdict.a verdict REGEX "filter-suite design verdict:")
    list(GET verdict 0 verdict)
  endif()
  if(NOT verdict MATCHES "filter-suite design verdict:(([A-Z0-9_]+)\\|(.*))?$")
    message(FATAL_ERROR "The check of ${designer}'s design parameters did not compile:\n${said}")
  endif()
  if(NOT CMAKE_MATCH_1)
    return()
  endif()
  set(name ${CMAKE_MATCH_2})
  set(allowed "${CMAKE_MATCH_3}")
  string(REGEX MATCHALL "[A-Z]+_[A-Z0-9_]+" named "${allowed}")
  list(REMOVE_DUPLICATES named)
  list(REMOVE_ITEM named ${name})
  set(values "")
  foreach(other IN LISTS named)
    if(DEFINED ${other})
      list(APPEND values "${other} = ${${other}}")
    endif()
  endforeach()
  if(values)
    list(JOIN values ", " values)
    string(APPEND allowed ", with ${values}")
  endif()
  _dp_refuse(${name} "${allowed}")
endfunction()

# The forms, in the order of the variables: each value as a literal in
# <variable>_LITERAL.
foreach(name IN LISTS _dp_pelmora_variables _dp_tavrine_variables)
  if(_dp_kind_${name} STREQUAL "kType" OR _dp_kind_${name} STREQUAL "kChoice")
    _dp_choice(${name} ${name}_LITERAL)
  elseif(_dp_kind_${name} STREQUAL "kNumber")
    _dp_decimal(${name} ${name}_LITERAL)
  else()
    _dp_whole(${name} ${name}_LITERAL)
  endif()
endforeach()

# A designer's configured design, as a header: the values in the table's
# order, made a design by the table (DesignOf, core/design_parameter.h).
function(_dp_header designer Designer table out)
  string(TOUPPER ${designer} upper)
  set(lines "")
  foreach(name IN LISTS _dp_${designer}_variables)
    string(APPEND lines "    ${${name}_LITERAL},  // ${name} ${${name}}\n")
  endforeach()
  set(${out}
      "// ${designer}'s design, as configured (cmake -LH lists its variables).
#pragma once
#include \"${table}\"
constexpr ${Designer}Design kConfiguredDesign = DesignOf(k${Designer}Parameters, {
${lines}});
" PARENT_SCOPE)
endfunction()
_dp_header(pelmora Pelmora iir/pelmora_parameter_table.h _dp_pelmora_header)
_dp_header(tavrine Tavrine fir/tavrine_parameter_table.h _dp_tavrine_header)

# The values; only an accepted design is written where the programs read it.
_dp_check_values(pelmora "${_dp_pelmora_header}" iir/pelmora_limits.h kPelmoraLimits)
_dp_check_values(tavrine "${_dp_tavrine_header}" fir/tavrine_limits.h kTavrineLimits)

# tavrine's designs that run the Remez exchange or search for the fewest
# taps (TAVRINE_METHOD = equiripple, TAVRINE_TAPS = auto) are beyond what
# the compiler evaluates: a small program of tavrine's own design sources
# (cmake/design_check) gives their verdict. It is built with the build
# machine's compiler, without the suite's toolchain file, so that a cross
# build checks as a native one does; built once and kept in the build
# tree, and only for the designs that need it, so that other configures
# stay as fast. It prints "" or "VARIABLE|allowed ...".
function(_dp_check_tavrine_search)
  if(NOT TAVRINE_METHOD STREQUAL "equiripple" AND NOT TAVRINE_TAPS_LITERAL EQUAL 0)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/CMakeFiles/DesignParameters/tavrine/search)
  set(env ${CMAKE_COMMAND} -E env --unset=CMAKE_TOOLCHAIN_FILE)
  if(NOT EXISTS ${dir}/CMakeCache.txt)
    execute_process(COMMAND ${env} ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/design_check -B ${dir}
                            -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
                    RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(failed)
      file(REMOVE ${dir}/CMakeCache.txt)
      message(FATAL_ERROR "The check of tavrine's band requirement could not be configured:\n${said}")
    endif()
  endif()
  execute_process(COMMAND ${env} ${CMAKE_COMMAND} --build ${dir} RESULT_VARIABLE failed OUTPUT_VARIABLE said
                  ERROR_VARIABLE said)
  if(failed)
    message(FATAL_ERROR "The check of tavrine's band requirement did not compile:\n${said}")
  endif()
  set(values "")
  foreach(name IN LISTS _dp_tavrine_variables)
    string(REGEX REPLACE "f$" "" value "${${name}_LITERAL}")
    list(APPEND values "${value}")
  endforeach()
  execute_process(COMMAND ${dir}/tavrine_design_check ${values} RESULT_VARIABLE failed OUTPUT_VARIABLE verdict
                  ERROR_VARIABLE said OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed)
    message(FATAL_ERROR "The check of tavrine's band requirement failed:\n${said}")
  endif()
  if(verdict MATCHES "^([A-Z0-9_]+)\\|(.*)$")
    _dp_refuse(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endfunction()
_dp_check_tavrine_search()

file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/programs/pelmora_parameters.h CONTENT "${_dp_pelmora_header}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/programs/tavrine_parameters.h CONTENT "${_dp_tavrine_header}")
