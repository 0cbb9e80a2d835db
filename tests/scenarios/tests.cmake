# Scripted import runs: each folder of tests/scenarios holding input/ and
# expected/ is one CTest test that runs quervane-scenario on a fresh copy of
# input/ and compares the whole tree, transcript included, with expected/
# (compare.sh, compare_tree.py beside this file).
if(TARGET quervane-scenario)
    set(scenario_compare ${CMAKE_CURRENT_LIST_DIR}/compare.sh)
    file(GLOB scenario_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_LIST_DIR}/*)
    foreach(folder IN LISTS scenario_folders)
        if(IS_DIRECTORY ${folder}/input AND IS_DIRECTORY ${folder}/expected)
            get_filename_component(scenario ${folder} NAME)
            add_test(NAME scenario.${scenario}
                     COMMAND ${scenario_compare} ${folder} $<TARGET_FILE:quervane-scenario>)
            set_tests_properties(scenario.${scenario} PROPERTIES LABELS scenario TIMEOUT 120)
        endif()
    endforeach()
endif()
