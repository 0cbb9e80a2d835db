# Runs under injected faults: a preloaded library makes reads or writes of
# one file fail part way, as a failing or full disk would. Preloading does
# not mix with the sanitizers' runtime: these tests run in the plain build
# only.
if(TARGET quervane-scenario AND NOT QUERVANE_SANITIZE)
    add_library(quervane_echec_disque SHARED ${CMAKE_CURRENT_LIST_DIR}/echec_disque.cpp)
    target_link_libraries(quervane_echec_disque PRIVATE ${CMAKE_DL_LIBS})
    add_library(quervane_echec_operation SHARED ${CMAKE_CURRENT_LIST_DIR}/echec_operation.cpp)
    target_link_libraries(quervane_echec_operation PRIVATE ${CMAKE_DL_LIBS})
    add_test(NAME faults.subscriber_read_fails
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/subscriber_read_fails.sh
                     $<TARGET_FILE:quervane-scenario> $<TARGET_FILE:quervane_echec_disque>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py)
    set_tests_properties(faults.subscriber_read_fails PROPERTIES LABELS "faults;nosan" TIMEOUT 120)
    add_test(NAME faults.base_write_fails
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/base_write_fails.sh
                     $<TARGET_FILE:quervane-scenario> $<TARGET_FILE:quervane_echec_disque>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                     ${CMAKE_SOURCE_DIR}/tests/scenarios/prepared_full)
    set_tests_properties(faults.base_write_fails PROPERTIES LABELS "faults;nosan" TIMEOUT 120)
    add_test(NAME faults.source_read_fails
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/source_read_fails.sh
                     $<TARGET_FILE:quervane-scenario> $<TARGET_FILE:quervane_echec_disque>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                     ${CMAKE_SOURCE_DIR}/tests/scenarios)
    set_tests_properties(faults.source_read_fails PROPERTIES LABELS "faults;nosan" TIMEOUT 120)
    add_test(NAME faults.kill_publication
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/kill_publication.sh
                     $<TARGET_FILE:quervane-scenario>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                     ${CMAKE_SOURCE_DIR}/tests/bench/generate_prepared_base.py)
    set_tests_properties(faults.kill_publication PROPERTIES LABELS "faults;nosan" TIMEOUT 600)
    add_test(NAME faults.each_operation_fails
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/each_operation_fails.sh
                     $<TARGET_FILE:quervane-scenario> $<TARGET_FILE:quervane_echec_operation>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                     ${CMAKE_SOURCE_DIR}/tests/scenarios/prepared_full)
    set_tests_properties(faults.each_operation_fails PROPERTIES LABELS "faults;nosan" TIMEOUT 600)
endif()

# Runs that must leave the data folder as it was: a second run at once, what
# cannot be written, a full disk.
if(TARGET quervane-scenario AND NOT QUERVANE_SANITIZE)
    add_test(NAME faults.data_folder_guarded
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/data_folder_guarded.sh
                     $<TARGET_FILE:quervane-scenario>
                     ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py)
    set_tests_properties(faults.data_folder_guarded PROPERTIES LABELS "faults;nosan" TIMEOUT 300)
endif()
