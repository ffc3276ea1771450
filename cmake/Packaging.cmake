# The Debian packages of Sonaveld, made by CPack's DEB generator from the install rules, one package
# per install component (scripts/package; scripts/test checks those made from build/):
#   cli    -> sonaveld-cli: the command-line tool, its manual page and completion; no Qt.
#   window -> sonaveld: the window program, its desktop files, manual page and README; depends on
#             sonaveld-cli of the same version.
# Each carries /usr/share/doc/<package>/copyright (machine-readable, made from LICENSE),
# changelog.Debian.gz (one entry for the version, dated by the last commit) and its lintian
# overrides (each says why). The library
# dependencies come from dpkg-shlibdeps (packages dpkg-dev and file).
set(SONAVELD_MAINTAINER "The Sonaveld developers <sonaveld@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian packages")
set(SONAVELD_HOMEPAGE "https://github.com/sonaveld/sonaveld")
# The Debian revision: the packages are version <project version>-<revision>, so that their
# Debian changelog is changelog.Debian.gz (a native version would call for changelog.gz).
set(SONAVELD_DEB_REVISION 1)
set(SONAVELD_DEB_VERSION "${PROJECT_VERSION}-${SONAVELD_DEB_REVISION}")
set(debian_dir ${CMAKE_BINARY_DIR}/debian)

# The time of the last commit (SOURCE_DATE_EPOCH when the caller set it; the licence file's time
# outside a git checkout): the date of the changelog entry and of every file in the packages.
function(sonaveld_source_date_epoch out)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${out} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP ${PROJECT_SOURCE_DIR}/LICENSE epoch "%s" UTC)
  endif()
  set(${out} "${epoch}" PARENT_SCOPE)
endfunction()

# The RFC 5322 date of a changelog trailer line for a UNIX time, in UTC.
function(sonaveld_changelog_date epoch out)
  set(saved "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")  # string(TIMESTAMP) then formats this time
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${saved}")
  if(saved STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${out} "${date}" PARENT_SCOPE)
endfunction()

# The copyright holders (the "Copyright (c)" line of LICENSE) and the licence's text after it as a
# copyright file's License field continues: each line indented by one space, an empty line as " .".
function(sonaveld_license_fields holders_out text_out)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n(.*)$")
    message(FATAL_ERROR "LICENSE has no line \"Copyright (c) YEAR HOLDERS\"")
  endif()
  set(holders "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" body)
  string(REPLACE "\n" ";" lines "${body}")
  set(text "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(stripped STREQUAL "")
      string(APPEND text " .\n")
    else()
      string(APPEND text " ${line}\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n$" "" text "${text}")
  set(${holders_out} "${holders}" PARENT_SCOPE)
  set(${text_out} "${text}" PARENT_SCOPE)
endfunction()

sonaveld_source_date_epoch(SONAVELD_SOURCE_DATE_EPOCH)
sonaveld_changelog_date(${SONAVELD_SOURCE_DATE_EPOCH} SONAVELD_DEB_DATE)
sonaveld_license_fields(SONAVELD_COPYRIGHT SONAVELD_LICENSE_TEXT)
configure_file(cmake/debian/copyright.in ${debian_dir}/copyright @ONLY)
configure_file(cmake/debian/changelog.in ${debian_dir}/changelog @ONLY)
# gzip -9n: no name or time in the header, so the same entry gives the same bytes.
execute_process(COMMAND gzip -9nc ${debian_dir}/changelog OUTPUT_FILE ${debian_dir}/changelog.Debian.gz
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip of the Debian changelog failed")
endif()
configure_file(cmake/debian/SetSourceDateEpoch.cmake.in ${debian_dir}/SetSourceDateEpoch.cmake @ONLY)

set(components cli)
if(NOT SONAVELD_ENGINE_ONLY)
  list(APPEND components window)
endif()
foreach(component IN LISTS components)
  set(package sonaveld-cli)
  if(component STREQUAL "window")
    set(package sonaveld)
  endif()
  install(FILES ${debian_dir}/copyright ${debian_dir}/changelog.Debian.gz
          DESTINATION share/doc/${package} COMPONENT ${component})
  configure_file(cmake/debian/lintian-overrides.in ${debian_dir}/${package}.lintian-overrides @ONLY)
  install(FILES ${debian_dir}/${package}.lintian-overrides DESTINATION share/lintian/overrides
          RENAME ${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonaveld)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sonaveld developers")
set(CPACK_PACKAGE_CONTACT "${SONAVELD_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${debian_dir}/SetSourceDateEpoch.cmake)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${components})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # <package>_<version>-<revision>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SONAVELD_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SOURCE sonaveld)  # both come from one source, as their changelog says
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SONAVELD_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${SONAVELD_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Each description is its synopsis line, then the extended description.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME sonaveld-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION "cut and normalize PCM WAV files without loss (command line)
sonaveld-cli cuts PCM WAV files (8, 16, 24 or 32-bit integer or 32-bit float
samples, mono or stereo) at marks given as sample positions or times, read
from a mark list file or set at the pauses it finds. It writes one
cut-edited file, each selected range as a numbered file, or every piece
between the marks, their samples exact byte copies of the source's. It also
normalizes a batch of files by peak or average level, lists the pauses of
a recording and prints a file's format. Its messages are Japanese.
.
It needs no graphical libraries, so it suits a server; the package sonaveld
adds the window program.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME sonaveld)
# Not found by dpkg-shlibdeps: the command-line package of the same build, and the face the
# windows' Japanese text is laid out for.
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "sonaveld-cli (= ${SONAVELD_DEB_VERSION}), fonts-ipafont-gothic")
set(CPACK_DEBIAN_WINDOW_DESCRIPTION "cut and normalize PCM WAV files without loss (window program)
Sonaveld opens a PCM WAV file (8, 16, 24 or 32-bit integer or 32-bit float
samples, mono or stereo), shows its waveform, plays it and sets marks at
sample positions. From the marks it writes new WAV files whose samples are
exact byte copies of the source's: one cut-edited file, each selected range
as a numbered file, or every piece between the marks. A second window
normalizes a batch of files by peak or average level. The program's text
is Japanese.
.
This package holds the window program; it depends on sonaveld-cli, which
does the same file work from the command line.")

include(CPack)
