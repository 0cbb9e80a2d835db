# Reference runs: each case folder of ../shared/cases-next is one CTest test that
# runs quervane-scenario on a fresh copy of its input/ (compare.sh) and
# passes when compare.sh prints "PASS <case>". Cases listed in pending.txt
# wait for the work named there and are registered disabled (shown as not
# run). The cases are optional: without them beside the sources, nothing
# runs, and configuring and every ctest run say so (the test
# reference.skipped is registered disabled, so it shows as not run and is
# counted neither passed nor failed).
get_filename_component(QUERVANE_REFERENCE_CASES ${CMAKE_SOURCE_DIR}/../shared/cases-next ABSOLUTE)
set(QUERVANE_REFERENCE_COMPARE ${QUERVANE_REFERENCE_CASES}/compare.sh)
set(reference_skip_note "shared reference runs skipped: ../shared/cases-next not found")

# CTest reads CTestCustom.cmake from the build folder before each run; it is
# rewritten at every configure so that the note goes once the cases appear.
if(EXISTS ${QUERVANE_REFERENCE_COMPARE})
    file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake "# written by tests/reference/tests.cmake\n")
else()
    message(STATUS "Reference runs: ${reference_skip_note}")
    file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake
         "# written by tests/reference/tests.cmake\n"
         "set(CTEST_CUSTOM_PRE_TEST \"\\\"${CMAKE_COMMAND}\\\" -E echo ${reference_skip_note}\")\n")
    add_test(NAME reference.skipped COMMAND ${CMAKE_COMMAND} -E echo ${reference_skip_note})
    set_tests_properties(reference.skipped PROPERTIES DISABLED TRUE LABELS reference)
endif()

# The Windows build runs the program through Wine (cmake/windows.cmake).
if(NOT QUERVANE_REFERENCE_RUNNER)
    set(QUERVANE_REFERENCE_RUNNER $<TARGET_FILE:quervane-scenario>)
endif()

if(TARGET quervane-scenario AND EXISTS ${QUERVANE_REFERENCE_COMPARE})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${CMAKE_CURRENT_LIST_DIR}/pending.txt)
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/pending.txt pending_lines)
    set(pending_cases)
    foreach(line IN LISTS pending_lines)
        string(REGEX MATCH "^[A-Za-z0-9_.-]+" pending_case "${line}")
        if(pending_case)
            list(APPEND pending_cases ${pending_case})
        endif()
    endforeach()

    file(GLOB reference_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS
         ${QUERVANE_REFERENCE_CASES}/*)
    foreach(folder IN LISTS reference_folders)
        if(IS_DIRECTORY ${folder}/input AND IS_DIRECTORY ${folder}/expected)
            get_filename_component(reference_case ${folder} NAME)
            add_test(NAME reference.${reference_case}
                     COMMAND ${QUERVANE_REFERENCE_COMPARE} ${folder}
                             ${QUERVANE_REFERENCE_RUNNER})
            set_tests_properties(reference.${reference_case} PROPERTIES
                PASS_REGULAR_EXPRESSION "(^|\n)PASS ${reference_case}(\n|$)"
                LABELS reference
                TIMEOUT 300)
            if(reference_case IN_LIST pending_cases)
                set_tests_properties(reference.${reference_case} PROPERTIES DISABLED TRUE)
            endif()
        endif()
    endforeach()
endif()
