# The Windows suites, registered by the Windows build only (cmake/windows.cmake;
# not named tests.cmake, so that the Linux build leaves it out):
# each runs a Windows program of this build under Wine (tests/windows/
# wine_run.sh) and checks what it left behind.
set(windows_suite ${CMAKE_CURRENT_LIST_DIR})

# Faults on purpose with the crash report writer installed.
add_executable(quervane-fault ${windows_suite}/fault_main.cpp)
target_link_libraries(quervane-fault PRIVATE quervane_core)
# Lists and downloads through the Internet client.
add_executable(ftp-probe ${windows_suite}/ftp_probe.cpp)
target_link_libraries(ftp-probe PRIVATE quervane_core)

add_test(NAME windows.crash_report
         COMMAND ${windows_suite}/crash_report.sh $<TARGET_FILE:quervane-fault>)
add_test(NAME windows.ftp_wininet
         COMMAND ${windows_suite}/ftp_wininet.sh $<TARGET_FILE:ftp-probe>)
set_tests_properties(windows.crash_report windows.ftp_wininet PROPERTIES
    TIMEOUT 300 LABELS windows RUN_SERIAL TRUE)
if(TARGET quervane)
    add_test(NAME windows.main_window
             COMMAND ${windows_suite}/main_window.sh $<TARGET_FILE:quervane>
                     ${CMAKE_CURRENT_BINARY_DIR}/gui-artifacts)
    set_tests_properties(windows.main_window PROPERTIES TIMEOUT 300 LABELS windows RUN_SERIAL TRUE)
endif()
add_test(NAME windows.installer
         COMMAND ${windows_suite}/installer.sh ${CMAKE_CURRENT_BINARY_DIR}/Quervane-setup.exe
                 ${CMAKE_CURRENT_BINARY_DIR}/package)
set_tests_properties(windows.installer PROPERTIES TIMEOUT 300 LABELS windows RUN_SERIAL TRUE)
