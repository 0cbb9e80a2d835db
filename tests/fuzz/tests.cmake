# The fuzz targets build with clang's libFuzzer outside the main build, which
# may use another compiler: tests/fuzz/run.sh compiles and runs them.
if(QUERVANE_FUZZ)
    set(quervane_fuzz_build ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
    add_custom_target(fuzz_targets
        COMMAND ${CMAKE_COMMAND} -E env QUERVANE_FUZZ_BUILD=${quervane_fuzz_build}
                ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/run.sh 0
        COMMENT "Building the ZIP reader and FTP listing fuzz targets with clang")
    add_test(NAME fuzz_targets COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/run.sh 45)
    set_tests_properties(fuzz_targets PROPERTIES
        LABELS fuzz TIMEOUT 900 ENVIRONMENT QUERVANE_FUZZ_BUILD=${quervane_fuzz_build})
endif()

# A short, fixed-seed mutation run of the scripted imports on the sanitizer
# build: a crash, a sanitizer report, a hang or an exception that ends a run
# fails it, the damaged input kept in the build tree. Longer runs: the script
# with more iterations and another seed.
if(QUERVANE_FUZZ AND QUERVANE_SANITIZE AND TARGET quervane-scenario)
    add_test(NAME scenario_mutate
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/scenario_mutate.py
                     --runner $<TARGET_FILE:quervane-scenario> -n 400 --seed 1
                     --out ${CMAKE_CURRENT_BINARY_DIR}/scenario-mutate)
    set_tests_properties(scenario_mutate PROPERTIES LABELS "fuzz;scenario" TIMEOUT 600)
endif()
