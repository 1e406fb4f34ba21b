# Install rules. The programs read their templates beside their executables, so the program
# folder is installed whole. On Linux it goes to lib/tamsel/ and bin/ holds links into it; the
# programs resolve their own path through the links, so they still find the templates.
#
# The samples are documentation there, not defaults: an installed program folder cannot be
# written, and a window started with a sample it cannot rewrite would greet a new user with an
# error. Without them in the program folder the window starts with empty boxes.

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
    set(TAMSEL_INSTALL_PROGRAM_DIR .)
else()
    set(TAMSEL_INSTALL_PROGRAM_DIR lib/tamsel)
endif()

set(_tamsel_programs tamsel-convert)
if(TAMSEL_BUILD_APP)
    list(APPEND _tamsel_programs tamsel)
endif()
install(TARGETS ${_tamsel_programs} RUNTIME DESTINATION ${TAMSEL_INSTALL_PROGRAM_DIR})
install(FILES
    ${PROJECT_SOURCE_DIR}/resources/defaults/item_template_query.txt
    ${PROJECT_SOURCE_DIR}/resources/defaults/item_template_image.txt
    ${PROJECT_SOURCE_DIR}/resources/defaults/item_template_noimage.txt
    ${PROJECT_SOURCE_DIR}/README.md
    DESTINATION ${TAMSEL_INSTALL_PROGRAM_DIR})
# The README links to it by this relative path.
install(FILES ${PROJECT_SOURCE_DIR}/docs/safety.md DESTINATION ${TAMSEL_INSTALL_PROGRAM_DIR}/docs)

if(NOT WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/TamselLinuxDesktop.cmake)
endif()
