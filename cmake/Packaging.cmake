# The Debian package of Sonaveld, made by CPack's DEB generator from the install rules
# (scripts/package; scripts/test checks one made from build/). The version is project()'s; the
# library dependencies come from dpkg-shlibdeps (packages dpkg-dev and file).
set(SONAVELD_MAINTAINER "The Sonaveld developers <sonaveld@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonaveld)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sonaveld developers")
set(CPACK_PACKAGE_CONTACT "${SONAVELD_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut and normalize PCM WAV files without loss")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # sonaveld_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SONAVELD_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/sonaveld/sonaveld")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by dpkg-shlibdeps: the face the windows' Japanese text is laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sonaveld opens a PCM WAV file of 8 or 16 bits, mono or stereo, shows its
waveform, plays it and sets marks at sample positions. From the marks it
writes new WAV files as exact byte copies of the source: one cut-edited
file, each selected range as a numbered file, or every piece between the
marks. A second window normalizes a batch of files by peak or average level.
The program's text is Japanese.
.
sonaveld-cli does the same file work from the command line.")

include(CPack)
