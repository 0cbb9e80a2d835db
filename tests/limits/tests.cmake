# Runs at the limits of the files' formats, on sets made larger at test time
# than the scenarios kept in the tree (commun.sh).
if(TARGET quervane-scenario)
    foreach(limit route_index_beyond_five_digits codes_recoded_past_the_letters
                  empty_bag_field_far_out)
        add_test(NAME limits.${limit}
                 COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/${limit}.sh
                         $<TARGET_FILE:quervane-scenario>
                         ${CMAKE_SOURCE_DIR}/tests/scenarios/conv_bag_file_without_records)
        set_tests_properties(limits.${limit} PROPERTIES LABELS "scenario;nosan" TIMEOUT 120)
    endforeach()
endif()
