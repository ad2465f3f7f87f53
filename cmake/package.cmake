# SPDX-License-Identifier: MIT
# The Debian package, built from an already built tree with `cpack -G DEB`.
set(XSCATTER_PACKAGE_MAINTAINER "The xscatter developers <xscatter@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xscatter)
set(CPACK_PACKAGE_VENDOR "The xscatter developers")
set(CPACK_PACKAGE_CONTACT "${XSCATTER_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scatter spectra of water for diagnostic X-ray beams")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "xscatter is a desktop calculator for diagnostic radiology with Japanese screens.\n"
  "It computes the primary spectrum of a tungsten-target X-ray tube (Tucker\n"
  "semi-empirical model, 0.5 keV bins up to 150 kV) and, from it, the incoherent\n"
  "(Compton) and coherent (Rayleigh) spectra that a very small volume of water in\n"
  "air scatters into unit solid angle at an angle from 5 to 175 degrees.\n"
  "xscatter-batch computes the same without a display.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/xscatter/xscatter)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: the fonts the screens substitute for their faces, Qt's own translations,
# and the platform plugins without which no Qt window opens (only recommended by Qt itself).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk, fonts-motoya-l-maruberi, fonts-liberation2, qt6-translations-l10n, qt6-qpa-plugins")
if(XSCATTER_PYTHON_PACKAGE_DEPENDS)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${XSCATTER_PYTHON_PACKAGE_DEPENDS}")
endif()

include(CPack)
