# Finds the OpenCV modules that Debian's per-module packages ship
# (libopencv-core-dev, libopencv-imgproc-dev, libopencv-highgui-dev). Those
# packages carry no OpenCVConfig.cmake (only the whole libopencv-dev does),
# so the headers and libraries are looked up directly.
#
# Sets OpenCV_FOUND, OpenCV_INCLUDE_DIRS, OpenCV_LIBS and, per requested
# component, an imported target OpenCV::<component>.
#
# Cross builds (e.g. armhf on an amd64 machine, see arm-linux-gnueabihf.cmake)
# take the libraries from the target's multiarch directory. There the armhf
# libopencv-highgui-dev cannot be installed beside the amd64 one: through
# libopencv-imgcodecs-dev it needs libgdcm-dev, libgdal-dev and
# libopenexr-dev, which exist for one architecture at a time. The run-time
# package (libopencv-highgui406) installs fine but has no unversioned
# libopencv_highgui.so, so the library is also looked up by its soname; the
# headers are the same for every architecture.

find_path(OpenCV_INCLUDE_DIR opencv2/core/core_c.h PATH_SUFFIXES opencv4)

set(_opencv_components ${OpenCV_FIND_COMPONENTS})
if(NOT _opencv_components)
  set(_opencv_components core imgproc highgui)
endif()

# Soname version of Debian 12's OpenCV 4.6.
set(OpenCV_SOVERSION 406 CACHE STRING "Soname version of the OpenCV libraries")
mark_as_advanced(OpenCV_SOVERSION)

set(OpenCV_LIBS "")
set(_opencv_missing "")
foreach(_component IN LISTS _opencv_components)
  find_library(OpenCV_${_component}_LIBRARY
    NAMES opencv_${_component} libopencv_${_component}.so.${OpenCV_SOVERSION})
  if(OpenCV_${_component}_LIBRARY)
    set(OpenCV_${_component}_FOUND TRUE)
    if(NOT TARGET OpenCV::${_component})
      add_library(OpenCV::${_component} UNKNOWN IMPORTED)
      set_target_properties(OpenCV::${_component} PROPERTIES
        IMPORTED_LOCATION "${OpenCV_${_component}_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${OpenCV_INCLUDE_DIR}")
    endif()
    list(APPEND OpenCV_LIBS OpenCV::${_component})
  else()
    list(APPEND _opencv_missing opencv_${_component})
  endif()
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCV
  REQUIRED_VARS OpenCV_INCLUDE_DIR OpenCV_LIBS
  HANDLE_COMPONENTS
  REASON_FAILURE_MESSAGE "missing: ${_opencv_missing} (Debian: libopencv-core-dev libopencv-imgproc-dev libopencv-highgui-dev)")

set(OpenCV_INCLUDE_DIRS ${OpenCV_INCLUDE_DIR})
mark_as_advanced(OpenCV_INCLUDE_DIR)
