# The fuzz targets build with clang's libFuzzer outside the main build, which
# may use another compiler: tests/fuzz/run.sh compiles and runs them.
if(QUERVANE_FUZZ)
    set(quervane_fuzz_build ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
    add_custom_target(zip_reader_fuzz
        COMMAND ${CMAKE_COMMAND} -E env QUERVANE_FUZZ_BUILD=${quervane_fuzz_build}
                ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/run.sh 0
        COMMENT "Building the ZIP reader fuzz target with clang")
    add_test(NAME zip_reader_fuzz COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/run.sh 60)
    set_tests_properties(zip_reader_fuzz PROPERTIES
        LABELS fuzz TIMEOUT 900 ENVIRONMENT QUERVANE_FUZZ_BUILD=${quervane_fuzz_build})
endif()
