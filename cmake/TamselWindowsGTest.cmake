# GoogleTest for a Windows cross build, compiled from the sources Debian's googletest
# package installs (no prebuilt library matches the cross compiler). Provides the same
# GTest::gtest and GTest::gtest_main targets as find_package(GTest).
set(TAMSEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${TAMSEL_GTEST_SOURCE}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${TAMSEL_GTEST_SOURCE}; "
                        "install Debian's googletest package")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TAMSEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
