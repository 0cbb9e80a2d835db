# Scripted import runs: each folder of tests/scenarios holding input/ and
# expected/ (the layout of the shared reference runs) is one CTest test that
# runs quervane-scenario on a fresh copy of input/ and compares the whole
# tree, transcript included, with expected/.
set(QUERVANE_COMPARE_SCRIPT ${CMAKE_SOURCE_DIR}/../shared/cases/compare.sh)

if(TARGET quervane-scenario AND EXISTS ${QUERVANE_COMPARE_SCRIPT})
    file(GLOB scenario_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_LIST_DIR}/*)
    foreach(folder IN LISTS scenario_folders)
        if(IS_DIRECTORY ${folder}/input AND IS_DIRECTORY ${folder}/expected)
            get_filename_component(scenario ${folder} NAME)
            add_test(NAME scenario.${scenario}
                     COMMAND ${QUERVANE_COMPARE_SCRIPT} ${folder} $<TARGET_FILE:quervane-scenario>)
            set_tests_properties(scenario.${scenario} PROPERTIES LABELS scenario TIMEOUT 120)
        endif()
    endforeach()
endif()
