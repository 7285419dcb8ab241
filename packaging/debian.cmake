# The Debian package zembrel_<version>_<arch>.deb, made by CPack from the
# install rules of the component "deb" (which "make install" leaves out):
#   /usr/bin/zembrel                       the program, looking for its data in
#   /usr/share/zembrel/                    the five data files
#   /usr/share/man/man1/zembrel.1.gz       the manual page
#   /usr/share/doc/zembrel/copyright       program and data licences (DEP-5)
#   /usr/share/doc/zembrel/changelog.gz    packaging/changelog (a native package)
# Dependencies come from dpkg-shlibdeps on the program.  "make package" at the
# top of the tree builds it; tests/checks/package.sh checks it.

set(ZEMBREL_MAINTAINER "zembrel maintainers <zembrel@example.org>" CACHE STRING
  "Maintainer field of the Debian package")

# The version is said three times; the two copies outside CMake must agree.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^zembrel \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not for version "
                      "${PROJECT_VERSION}: ${_changelog_top}")
endif()
file(STRINGS ${CMAKE_SOURCE_DIR}/zembrel.1 _manual_header REGEX "^\\.TH " LIMIT_COUNT 1)
if(NOT _manual_header MATCHES "\"zembrel ${PROJECT_VERSION}\"")
  message(FATAL_ERROR "zembrel.1: the .TH line does not name version ${PROJECT_VERSION}: "
                      "${_manual_header}")
endif()

# Compressed as Debian wants them: best compression, no name or time stamp.
set(_package_dir ${CMAKE_BINARY_DIR}/for-package)
foreach(_pair "zembrel.1;zembrel.1.gz" "packaging/changelog;changelog.gz")
  list(GET _pair 0 _source)
  list(GET _pair 1 _gz)
  add_custom_command(OUTPUT ${_package_dir}/${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_package_dir}
    COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/${_source}' > '${_package_dir}/${_gz}'"
    DEPENDS ${CMAKE_SOURCE_DIR}/${_source} VERBATIM)
endforeach()
add_custom_target(zembrel_package_files ALL
  DEPENDS ${_package_dir}/zembrel.1.gz ${_package_dir}/changelog.gz)

install(TARGETS zembrel_packaged RUNTIME DESTINATION bin COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${ZEMBREL_DATA_PATHS} DESTINATION share/zembrel COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${_package_dir}/zembrel.1.gz DESTINATION share/man/man1 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${_package_dir}/changelog.gz
  DESTINATION share/doc/zembrel COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};zembrel;deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME zembrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZEMBREL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "celestial-navigation utilities, in Spanish")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"An interactive console program for the navigator at sea, its dialogue in
Spanish. A menu offers seven utilities: conversion between local and
Greenwich dates and times; the ephemeris of the Sun, the Moon, four planets
or one of 99 stars, with rise, set, twilight and meridian-transit tables;
recognition of an unknown body; the line of position from one sight; a fix
from two or three sights without dead reckoning; the equation of time; and
the planning of star sights at twilight.
.
Positions come from a JPL planetary ephemeris, nutation from the IAU 1980
series, UT1 and Delta T from IERS tables, all installed with the program.
The results of each run are also written to Resultados.txt in the working
directory.
.
For teaching and study only: not fit for real navigation.")
include(CPack)
