# Whether a library is of the target's architecture, read from the machine
# field (e_machine) of its ELF header: a cross build must not take the build
# machine's library of the same name (Debian's Qwt, for one, is not
# multiarch and sits in /usr/lib for the build machine alone). A file that
# is not ELF, and a target processor not named here, are taken as they are.
#
# of_target_architecture(RESULT LIBRARY) sets RESULT to FALSE in the
# caller's scope if LIBRARY is for another machine, and leaves it alone
# otherwise: the form of find_library's VALIDATOR.

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(arm|ARM)" AND NOT CMAKE_SYSTEM_PROCESSOR MATCHES "64")
  set(TARGET_ELF_MACHINE 40)   # EM_ARM
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
  set(TARGET_ELF_MACHINE 183)  # EM_AARCH64
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|amd64|AMD64)$")
  set(TARGET_ELF_MACHINE 62)   # EM_X86_64
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
  set(TARGET_ELF_MACHINE 3)    # EM_386
else()
  set(TARGET_ELF_MACHINE "")
endif()

function(of_target_architecture result library)
  if(NOT TARGET_ELF_MACHINE OR NOT EXISTS "${library}")
    return()
  endif()
  # The first 20 bytes: the magic number, the byte order (byte 5) and the
  # machine (bytes 18 and 19), as hexadecimal digits.
  file(READ "${library}" header HEX LIMIT 20)
  if(NOT header MATCHES "^7f454c46")
    return()
  endif()
  string(SUBSTRING "${header}" 10 2 byte_order)
  string(SUBSTRING "${header}" 36 2 first)
  string(SUBSTRING "${header}" 38 2 second)
  if(byte_order STREQUAL "01")  # little-endian
    math(EXPR machine "0x${second}${first}")
  else()
    math(EXPR machine "0x${first}${second}")
  endif()
  if(NOT machine EQUAL TARGET_ELF_MACHINE)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()
