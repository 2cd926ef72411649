# The Longtick identities as CMake variables named like their macros in
# longtick/control/longtick_ids.h (LONGTICK_CLSID, LONGTICK_PROGID, ...): every line
# `#define LONGTICK_NAME "text"` there. The installer and the build helper take them from here;
# changing the header configures the build anew.
set(_lt_ids_header ${CMAKE_SOURCE_DIR}/longtick/control/longtick_ids.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_lt_ids_header})
file(STRINGS ${_lt_ids_header} _lt_ids_lines REGEX "^#define LONGTICK_[A-Z0-9_]+ \"[^\"]*\"")
foreach(_lt_line IN LISTS _lt_ids_lines)
  string(REGEX MATCH "^#define (LONGTICK_[A-Z0-9_]+) \"([^\"]*)\"" _lt_match "${_lt_line}")
  set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()
foreach(_lt_name LIBID CONTROL_IID EVENTS_IID CLSID PROGID)
  if(NOT LONGTICK_${_lt_name})
    message(FATAL_ERROR "LONGTICK_${_lt_name} is missing from ${_lt_ids_header}")
  endif()
endforeach()
