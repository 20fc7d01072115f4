# Qwt for Qt 5 (Debian: libqwt-qt5-dev), found by its header and library:
# Qwt::Qwt. Debian installs the library outside the multiarch folders
# (/usr/lib/libqwt-qt5.so); QWT_ROOT names a folder that holds usr/include
# and usr/lib of another architecture's package, unpacked for a cross build.
# A library of another architecture than the target's is passed over, also
# when an earlier configure left it in the cache.
include(TargetArchitecture)
if(QWT_LIBRARY)
  set(_qwt_of_target TRUE)
  of_target_architecture(_qwt_of_target "${QWT_LIBRARY}")
  if(NOT _qwt_of_target)
    unset(QWT_LIBRARY CACHE)
  endif()
endif()
find_path(QWT_INCLUDE_DIR qwt.h PATH_SUFFIXES qwt qwt-qt5 HINTS ${QWT_ROOT}/usr/include)
find_library(QWT_LIBRARY NAMES qwt-qt5 qwt HINTS ${QWT_ROOT}/usr/lib VALIDATOR of_target_architecture)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Qwt REQUIRED_VARS QWT_LIBRARY QWT_INCLUDE_DIR)
if(Qwt_FOUND AND NOT TARGET Qwt::Qwt)
  add_library(Qwt::Qwt UNKNOWN IMPORTED)
  set_target_properties(Qwt::Qwt PROPERTIES IMPORTED_LOCATION ${QWT_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${QWT_INCLUDE_DIR} INTERFACE_LINK_LIBRARIES Qt5::Widgets)
endif()
