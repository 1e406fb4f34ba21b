# The Windows ZIP, tamsel-<version>-windows-x64.zip: one folder laid out as the program
# expects its own folder, with the templates, the sample list and the sample menu with its
# icon folder beside the executables, and the licence with the notices of the runtime
# libraries that the executables carry inside them. Made with `cpack -G ZIP` in the build
# folder.
set(_tamsel_defaults ${PROJECT_SOURCE_DIR}/resources/defaults)
install(TARGETS tamsel tamsel-convert RUNTIME DESTINATION .)
install(FILES
    ${_tamsel_defaults}/item_template_query.txt
    ${_tamsel_defaults}/item_template_image.txt
    ${_tamsel_defaults}/item_template_noimage.txt
    ${_tamsel_defaults}/url.txt
    ${PROJECT_SOURCE_DIR}/README.md
    ${PROJECT_SOURCE_DIR}/LICENSE
    ${PROJECT_SOURCE_DIR}/packaging/windows/THIRD-PARTY-NOTICES.txt
    DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/safety.md DESTINATION docs)
install(FILES ${_tamsel_defaults}/FEATURES/Links.xml DESTINATION FEATURES)
install(FILES ${_tamsel_defaults}/IMAGES/network.png DESTINATION IMAGES)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tamsel-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
