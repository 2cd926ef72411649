# The file properties both binaries carry in their version blocks (Hushkey.exe and
# longtick.ocx): the package's version as their file version, the maker and the copyright.
# Written to ${CMAKE_BINARY_DIR}/generated/file_properties.h for the resource scripts.
#
# The version shown in the program's window and help comes from
# hushkey/resources/resource_ids.h; it must be the project's version (the one the packages
# carry), or the window and the file properties would name different versions.
set(_hk_ids_header ${CMAKE_SOURCE_DIR}/hushkey/resources/resource_ids.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_hk_ids_header})
file(STRINGS ${_hk_ids_header} _hk_version_lines REGEX "^#define HK_VERSION_[A-Z]+ [0-9]+$")
set(_hk_shown)
foreach(_hk_part MAJOR MINOR REVISION)
  string(REGEX MATCH "#define HK_VERSION_${_hk_part} ([0-9]+)" _hk_match "${_hk_version_lines}")
  list(APPEND _hk_shown "${CMAKE_MATCH_1}")
endforeach()
list(JOIN _hk_shown "." _hk_shown)
if(NOT _hk_shown STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The project version ${PROJECT_VERSION} differs from the version "
                      "${_hk_shown} in ${_hk_ids_header}")
endif()

set(HK_COMPANY_NAME "Hushkey Project")
set(HK_COPYRIGHT_YEAR 2026)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/file_properties.h @ONLY CONTENT [[
/* The file properties of the version blocks of Hushkey.exe and longtick.ocx, written by
   cmake/FileProperties.cmake: the package's version as the file version, the maker and the
   copyright. */
#define HK_FILE_VERSION @PROJECT_VERSION_MAJOR@,@PROJECT_VERSION_MINOR@,@PROJECT_VERSION_PATCH@,0
#define HK_FILE_VERSION_TEXT "@PROJECT_VERSION@.0"
#define HK_COMPANY_NAME "@HK_COMPANY_NAME@"
#define HK_LEGAL_COPYRIGHT "Copyright (C) @HK_COPYRIGHT_YEAR@ @HK_COMPANY_NAME@"
]])
