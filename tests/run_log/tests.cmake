# The run log and the cancel answer of scripted runs, on copies of the
# project's scenarios: the log's block after a conversion, a failed run, a
# cancelled run and a prepared base; no log without --log.
if(TARGET quervane-scenario)
    add_test(NAME run_log
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_log.sh $<TARGET_FILE:quervane-scenario>
                     ${CMAKE_SOURCE_DIR}/tests/scenarios)
    set_tests_properties(run_log PROPERTIES LABELS scenario TIMEOUT 120)
endif()
