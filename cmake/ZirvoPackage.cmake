# `make deb`: a Debian package of what `cmake --install` installs, into /usr,
# named zirvo_<version>_<arch>.deb. dpkg-shlibdeps finds the libraries the
# programs need (Qt, and through its packages the platform and image plugins).
set(ZIRVO_PACKAGE_MAINTAINER "Zirvo maintainers <maintainers@zirvo.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zirvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Zirvo)
set(CPACK_PACKAGE_CONTACT ${ZIRVO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "digital numbering machine for print shops and offices")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Zirvo designs templates of numbered sheets (up to 60 numerators and 60"
    "marginal texts over an optional JPEG background) and prints runs of them,"
    "every numerator moving by an increment from one sheet to the next, plus"
    "reprints of spoiled sheets by their number. zirvo-batch prints and"
    "previews templates from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
