# Test helpers. Native builds use the system GoogleTest; the MinGW cross build compiles it from
# Debian's source package, since no Windows binaries of it exist.
if(WIN32 OR CMAKE_CROSSCOMPILING)
    if(NOT TARGET gtest)
        set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
    set(TARNWELL_GTEST_LIBS gtest gmock gtest_main)
else()
    find_package(GTest REQUIRED)
    set(TARNWELL_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
endif()

find_program(TARNWELL_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)

# Helpers every test may use (tests/support), included as "support/<file>.h"; platform files are picked
# as in the libraries.
file(GLOB support_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
if(WIN32)
    list(FILTER support_sources EXCLUDE REGEX "_posix\\.cpp$")
else()
    list(FILTER support_sources EXCLUDE REGEX "_win32\\.cpp$")
endif()
add_library(tarnwell_test_support STATIC ${support_sources})
target_include_directories(tarnwell_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
list(GET TARNWELL_GTEST_LIBS 0 gtest_library)
target_link_libraries(tarnwell_test_support PUBLIC ${gtest_library})
# The Windows tests run under Wine on the build machine and start its Python from there.
target_compile_definitions(tarnwell_test_support PRIVATE
    TARNWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARNWELL_PYTHON="${TARNWELL_PYTHON}")

# tarnwell_test(<name> [SOURCES <file>...] [DEPS <layer>...] [LIBS <target>...])
#
# One GoogleTest executable test_<name>, run by CTest as the test <name>. Without SOURCES it takes every
# .cpp file of the calling folder. Tests find their fixtures through TARNWELL_TEST_DATA (tests/data) and
# Debian's Python through HostPython() (support/host_python.h), also under Wine.
function(tarnwell_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LIBS" ${ARGN})
    if(NOT ARG_SOURCES)
        file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    add_executable(test_${name} ${ARG_SOURCES})
    foreach(dep IN LISTS ARG_DEPS)
        target_link_libraries(test_${name} PRIVATE tarnwell_${dep})
    endforeach()
    target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} tarnwell_test_support ${TARNWELL_GTEST_LIBS})
    target_compile_definitions(test_${name} PRIVATE
        TARNWELL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        TARNWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND test_${name})
    if(TARNWELL_SANITIZE)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TARNWELL_SANITIZER_ENVIRONMENT}")
    endif()
endfunction()
