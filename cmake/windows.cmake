# The Windows side of the build, cross-compiled with mingw-w64 (toolchain in
# cmake/mingw-w64.cmake): system libraries, the product's resources, and the
# tests that run under Wine.
target_link_libraries(quervane_platform PUBLIC wininet dbghelp)
# The wide-character API throughout.
# gmtime_r and localtime_r are declared when asked for.
target_compile_definitions(quervane_platform PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _POSIX_THREAD_SAFE_FUNCTIONS=200112L)

if(TARGET quervane)
    # The manifest asks for the common controls 6 and DPI awareness.
    target_sources(quervane PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/wx/quervane_win32.rc)
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/platform/wx/quervane_win32.rc PROPERTIES
        COMPILE_OPTIONS "--define;wxUSE_RC_MANIFEST=1;--define;wxUSE_DPI_AWARE_MANIFEST=2")
    set_target_properties(quervane PROPERTIES OUTPUT_NAME Quervane WIN32_EXECUTABLE ON)
    target_compile_options(quervane PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-include ${CMAKE_CURRENT_SOURCE_DIR}/platform/wx/windows_names_win32.h>)
endif()

enable_testing()
include(GoogleTest)

# Unit tests that use no POSIX-only facility, and the Windows platform tests.
# Each runs under CMAKE_CROSSCOMPILING_EMULATOR (Wine). utilit_test is not
# among them: it expects sndlong and getlong to hold eleven digits, which a
# long of 32 bits (Windows) cannot.
set(QUERVANE_WIN32_UNIT_TESTS
    codepage_test ftp_address_test ftp_list_parser_test queue_test Inistruc_test zip_reader_test
    staged_folder_test)
set(windows_tests)
foreach(test_name IN LISTS QUERVANE_WIN32_UNIT_TESTS)
    list(APPEND windows_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests/unit/${test_name}.cpp)
endforeach()
file(GLOB platform_tests CONFIGURE_DEPENDS tests/windows/*_test.cpp)
list(APPEND windows_tests ${platform_tests})
foreach(test_source IN LISTS windows_tests)
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source})
    target_link_libraries(${test_name} PRIVATE quervane_core GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${test_name} PRIVATE
        QUERVANE_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        QUERVANE_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
    # Listed when ctest runs, with the tests' Wine server up, not while
    # building: a Wine process started by the build would start a server
    # that holds the build's output pipe open.
    gtest_discover_tests(${test_name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES TIMEOUT 300 LABELS unit)
endforeach()

# Reference runs through quervane-scenario.exe under Wine, and the Windows
# suites (window, crash report, FTP, installer).
set(QUERVANE_REFERENCE_RUNNER
    "${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/reference_run.sh $<TARGET_FILE:quervane-scenario>")
include(tests/reference/tests.cmake)
include(tests/windows/windows_tests.cmake)
