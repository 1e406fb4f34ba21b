# What a Linux desktop and Debian expect besides the program folder: commands on the PATH,
# the samples as examples, a menu entry with icons and store metadata, manual pages, and the
# package's copyright and changelog.

set(_tamsel_linux ${PROJECT_SOURCE_DIR}/packaging/linux)
set(_tamsel_generated ${CMAKE_BINARY_DIR}/packaging)
set(_tamsel_doc_dir share/doc/tamsel)

# Relative links, so that the installed tree works under any prefix and inside a package root.
file(MAKE_DIRECTORY ${_tamsel_generated}/bin)
foreach(_program IN LISTS _tamsel_programs)
    file(CREATE_LINK ../${TAMSEL_INSTALL_PROGRAM_DIR}/${_program}
        ${_tamsel_generated}/bin/${_program} SYMBOLIC)
    install(FILES ${_tamsel_generated}/bin/${_program} DESTINATION bin)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/resources/defaults/url.txt
    DESTINATION ${_tamsel_doc_dir}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/resources/defaults/FEATURES/Links.xml
    DESTINATION ${_tamsel_doc_dir}/examples/FEATURES)
install(FILES ${PROJECT_SOURCE_DIR}/resources/defaults/IMAGES/network.png
    DESTINATION ${_tamsel_doc_dir}/examples/IMAGES)
install(FILES ${_tamsel_linux}/copyright DESTINATION ${_tamsel_doc_dir})

set(TAMSEL_PACKAGE_MAINTAINER "Tamsel maintainers <maintainers@tamsel.example.org>"
    CACHE STRING "Maintainer of the Linux package, as NAME <ADDRESS>")
if(TAMSEL_HOMEPAGE)
    set(_tamsel_homepage ${TAMSEL_HOMEPAGE})
else()
    set(_tamsel_homepage "https://tamsel.example.org/")
endif()
set(TAMSEL_PACKAGE_HOMEPAGE ${_tamsel_homepage}
    CACHE STRING "Project homepage in the package and store metadata")
# The store metadata finds the screenshot below the homepage, where the sources keep it.
set(TAMSEL_SCREENSHOT_URL ${TAMSEL_PACKAGE_HOMEPAGE})
if(NOT TAMSEL_SCREENSHOT_URL MATCHES "/$")
    string(APPEND TAMSEL_SCREENSHOT_URL "/")
endif()
string(APPEND TAMSEL_SCREENSHOT_URL "docs/window.png")

# The packaged changelog names this version, so it is written from the project's version.
string(TIMESTAMP TAMSEL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${_tamsel_linux}/changelog.in ${_tamsel_generated}/changelog @ONLY)
add_custom_command(OUTPUT ${_tamsel_generated}/changelog.gz
    COMMAND gzip -9 -n -f -k ${_tamsel_generated}/changelog
    DEPENDS ${_tamsel_generated}/changelog
    VERBATIM)
set(_tamsel_generated_docs ${_tamsel_generated}/changelog.gz)
install(FILES ${_tamsel_generated}/changelog.gz DESTINATION ${_tamsel_doc_dir})

if(TAMSEL_BUILD_APP)
    install(FILES ${_tamsel_linux}/tamsel.desktop DESTINATION share/applications)
    configure_file(${_tamsel_linux}/org.example.tamsel.metainfo.xml.in
        ${_tamsel_generated}/org.example.tamsel.metainfo.xml @ONLY)
    install(FILES ${_tamsel_generated}/org.example.tamsel.metainfo.xml
        DESTINATION share/metainfo)
    foreach(_size IN ITEMS 16 32 48 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/images/tamsel-${_size}.png
            DESTINATION share/icons/hicolor/${_size}x${_size}/apps RENAME tamsel.png)
    endforeach()
    add_custom_command(OUTPUT ${_tamsel_generated}/tamsel.1.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${_tamsel_linux}/tamsel.1 ${_tamsel_generated}/tamsel.1
        COMMAND gzip -9 -n -f ${_tamsel_generated}/tamsel.1
        DEPENDS ${_tamsel_linux}/tamsel.1
        VERBATIM)
    list(APPEND _tamsel_generated_docs ${_tamsel_generated}/tamsel.1.gz)
    install(FILES ${_tamsel_generated}/tamsel.1.gz DESTINATION share/man/man1)
endif()

# The command's manual page is written from its own --help and --version, so the two never
# disagree. A cross build cannot run the command and goes without.
find_program(TAMSEL_HELP2MAN help2man)
if(TAMSEL_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
    add_custom_command(OUTPUT ${_tamsel_generated}/tamsel-convert.1.gz
        COMMAND ${TAMSEL_HELP2MAN} --no-info --include=${_tamsel_linux}/tamsel-convert.h2m
                --output=${_tamsel_generated}/tamsel-convert.1 $<TARGET_FILE:tamsel-convert>
        COMMAND gzip -9 -n -f ${_tamsel_generated}/tamsel-convert.1
        DEPENDS tamsel-convert ${_tamsel_linux}/tamsel-convert.h2m
        VERBATIM)
    list(APPEND _tamsel_generated_docs ${_tamsel_generated}/tamsel-convert.1.gz)
    install(FILES ${_tamsel_generated}/tamsel-convert.1.gz DESTINATION share/man/man1)
else()
    message(STATUS "help2man not found or cross build: no manual page for tamsel-convert")
endif()

add_custom_target(tamsel_linux_docs ALL DEPENDS ${_tamsel_generated_docs})
