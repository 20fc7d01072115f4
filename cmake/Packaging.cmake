# Installation with GNUInstallDirs (the programs into bin, a man page for
# each in section 1; board/CMakeLists.txt adds the board header and its
# pkg-config file) and a Debian package of them, for the build machine's
# architecture or, in a cross build, the target's.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack          # filter-suite_<version>_<arch>.deb
#
# The package's Depends are computed by dpkg-shlibdeps from the libraries
# that the programs link; it reads the architecture from the binaries, so a
# cross-built package gets the :armhf libraries' versions.

include(GNUInstallDirs)

# Each program whose target this tree defines, with its man page. The
# programs are listed once, in cmake/programs.txt (one a line), which
# scripts/check-armhf reads too.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/programs.txt FILTER_SUITE_PROGRAMS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/programs.txt)
foreach(program IN LISTS FILTER_SUITE_PROGRAMS)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/man/${program}.1 > ${page}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/${program}.1
    VERBATIM)
  add_custom_target(${program}_man ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# Debian architecture of the binaries: the target's in a cross build.
set(_deb_arch "")
find_program(DPKG_ARCHITECTURE dpkg-architecture)
if(DPKG_ARCHITECTURE AND CMAKE_LIBRARY_ARCHITECTURE)
  execute_process(COMMAND ${DPKG_ARCHITECTURE} -qDEB_HOST_ARCH -t ${CMAKE_LIBRARY_ARCHITECTURE}
    OUTPUT_VARIABLE _deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT _deb_arch)
  find_program(DPKG dpkg)
  if(DPKG)
    execute_process(COMMAND ${DPKG} --print-architecture
      OUTPUT_VARIABLE _deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME filter-suite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Filter suite maintainers <maintainers@users.noreply.c-seed-1860b381.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design digital filters and plot their frequency response")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Small programs that draw the gain and phase of a filter in a window:
pelmora designs an IIR filter (Butterworth, Chebyshev, elliptic or Bessel)
and writes its biquad sections,
tavrine designs a linear-phase FIR filter and writes its taps, corvell
plots a file of biquad sections and sunnaq a file of taps. pelmora-tune
and tavrine-tune tune the designers' designs live in Qt windows with Qwt
plots (response, group delay, poles and zeros, impulse response), write
the same file and print the configure options that make the designer
the same design. coeff-design writes a designer's file for configure
options without a window. coeff-export writes a coefficient file in the layouts
that DSP code takes (C arrays, sosfilt rows, CMSIS-DSP), filter_board.h
runs the filter on a board, bit for bit as on a PC, and coeff-apply
filters a sound file with it.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A cross build's Qwt, unpacked beside the build (QWT_ROOT) rather than
# installed, is found there but owned by no package: its package is named.
if(FILTER_SUITE_TUNERS AND QWT_ROOT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${QWT_ROOT}/usr/lib)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqwt-qt5-6 (>= 6.1.4)")
endif()
set(CPACK_STRIP_FILES ON)
if(_deb_arch)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${_deb_arch})
endif()
include(CPack)
