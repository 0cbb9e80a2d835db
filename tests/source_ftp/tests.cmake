# Whole import runs whose set comes from FTP servers started on 127.0.0.1
# (pyftpdlib, vsftpd, and the scripted servers of tests/ftp), run through
# quervane-scenario with "ftp_port". A server that cannot run here (not
# installed, vsftpd without root) skips its test. Labels: scenario, ftp.
if(TARGET quervane-scenario)
    add_executable(source_ftp_test ${CMAKE_CURRENT_LIST_DIR}/source_ftp_test.cpp)
    target_include_directories(source_ftp_test PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(source_ftp_test PRIVATE GTest::gtest GTest::gtest_main)
    target_compile_definitions(source_ftp_test PRIVATE
        QUERVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        QUERVANE_SCENARIO="$<TARGET_FILE:quervane-scenario>")
    add_dependencies(source_ftp_test quervane-scenario)
    add_test(NAME source_ftp COMMAND source_ftp_test)
    # One CTest test: gtest_discover_tests would flatten the list of labels.
    set_tests_properties(source_ftp PROPERTIES TIMEOUT 300 LABELS "scenario;ftp;nosan")
endif()
