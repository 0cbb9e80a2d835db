# Runs at the limits of the files' formats, on sets made larger at test time
# than the scenarios kept in the tree.
if(TARGET quervane-scenario)
    add_test(NAME limits.route_index_beyond_five_digits
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/route_index_beyond_five_digits.sh
                     $<TARGET_FILE:quervane-scenario>
                     ${CMAKE_SOURCE_DIR}/tests/scenarios/conv_bag_file_without_records)
    set_tests_properties(limits.route_index_beyond_five_digits PROPERTIES
                         LABELS "scenario;nosan" TIMEOUT 120)
endif()
if(TARGET quervane-scenario)
    add_test(NAME limits.codes_recoded_past_the_letters
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/codes_recoded_past_the_letters.sh
                     $<TARGET_FILE:quervane-scenario>
                     ${CMAKE_SOURCE_DIR}/tests/scenarios/conv_bag_file_without_records)
    set_tests_properties(limits.codes_recoded_past_the_letters PROPERTIES
                         LABELS "scenario;nosan" TIMEOUT 120)
endif()
