# Finds the OpenCV modules that Debian's per-module packages ship
# (libopencv-core-dev, libopencv-imgproc-dev, libopencv-highgui-dev). Those
# packages carry no OpenCVConfig.cmake (only the whole libopencv-dev does),
# so the headers and libraries are looked up directly.
#
# Sets OpenCV_FOUND, OpenCV_INCLUDE_DIRS, OpenCV_LIBS and, per requested
# component, an imported target OpenCV::<component>.

find_path(OpenCV_INCLUDE_DIR opencv2/core/core_c.h PATH_SUFFIXES opencv4)

set(_opencv_components ${OpenCV_FIND_COMPONENTS})
if(NOT _opencv_components)
  set(_opencv_components core imgproc highgui)
endif()

set(OpenCV_LIBS "")
set(_opencv_missing "")
foreach(_component IN LISTS _opencv_components)
  find_library(OpenCV_${_component}_LIBRARY NAMES opencv_${_component})
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
