# Packages made with CPack from the install rules: `cpack -G DEB` in a Linux build folder.
# Another generator joins by appending to CPACK_GENERATOR for its platform.

set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VENDOR "Tamsel authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns lists of web links into menu entries")
# Debian shows these lines as they are: at most 80 columns each.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tamsel turns a list of web links, written by hand or exported from a\n"
    "browser's bookmarks, into menu entries and splices them into a menu file,\n"
    "Links.xml, keeping the previous file as Links.xml.bak. A window picks the\n"
    "list and the menu file, and the command tamsel-convert does the same\n"
    "conversion without a window.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "")

if(NOT WIN32)
    list(APPEND CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_HOMEPAGE_URL ${TAMSEL_PACKAGE_HOMEPAGE})
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TAMSEL_PACKAGE_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
