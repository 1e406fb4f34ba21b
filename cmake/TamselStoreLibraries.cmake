# The libraries that read browsers' bookmark stores, linked into the engine: nlohmann-json
# (header-only) for Chromium's JSON on every platform, SQLite for Firefox's places.sqlite
# where the build is not for Windows, whose programs carry no SQLite.
if(CMAKE_CROSSCOMPILING AND WIN32)
    # The cross compiler must not search the host's /usr/include, whose C headers are
    # glibc's; it gets a folder of the build's own that holds a link to nlohmann's headers.
    find_path(TAMSEL_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT TAMSEL_NLOHMANN_JSON_INCLUDE)
        message(FATAL_ERROR "needs nlohmann/json.hpp: apt-get install nlohmann-json3-dev")
    endif()
    set(_tamsel_json_include ${CMAKE_BINARY_DIR}/nlohmann-json/include)
    file(MAKE_DIRECTORY ${_tamsel_json_include})
    file(CREATE_LINK ${TAMSEL_NLOHMANN_JSON_INCLUDE}/nlohmann ${_tamsel_json_include}/nlohmann
         SYMBOLIC)
    target_include_directories(tamsel_engine SYSTEM PRIVATE ${_tamsel_json_include})
else()
    find_package(nlohmann_json 3.10 REQUIRED)
    target_link_libraries(tamsel_engine PRIVATE nlohmann_json::nlohmann_json)
endif()

if(NOT WIN32)
    find_package(SQLite3 REQUIRED)
    target_link_libraries(tamsel_engine PRIVATE SQLite::SQLite3)
endif()
