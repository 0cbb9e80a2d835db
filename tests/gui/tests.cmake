# GUI tests: the product's real window under a virtual X server. Each test
# starts its own server (xvfb-run -a) and drives the windows with xdotool;
# screenshots land in the build folder (gui-artifacts/). Label: gui.
if(QUERVANE_GUI AND TARGET quervane)
    find_program(QUERVANE_XVFB_RUN xvfb-run)
    find_program(QUERVANE_XDOTOOL xdotool)
    find_program(QUERVANE_IMPORT import)
    find_program(QUERVANE_CONVERT convert)
    if(QUERVANE_XVFB_RUN AND QUERVANE_XDOTOOL AND QUERVANE_IMPORT AND QUERVANE_CONVERT)
        set(gui_artifacts ${CMAKE_CURRENT_BINARY_DIR}/gui-artifacts)
        set(gui_server ${QUERVANE_XVFB_RUN} -a -s "-screen 0 1024x768x24")
        # A test that runs its command under an X server of its own.
        function(quervane_gui_test name)
            add_test(NAME ${name} COMMAND ${gui_server} ${ARGN})
            set_tests_properties(${name} PROPERTIES
                LABELS gui TIMEOUT 120 ENVIRONMENT "GSETTINGS_BACKEND=memory")
        endfunction()

        quervane_gui_test(gui_main_window ${CMAKE_CURRENT_LIST_DIR}/main_window.sh
                          $<TARGET_FILE:quervane> ${gui_artifacts}/main_window)

        quervane_gui_test(gui_crash_report ${CMAKE_CURRENT_LIST_DIR}/crash_report.sh
                          $<TARGET_FILE:quervane> ${gui_artifacts}/crash_report)

        # The backend in-process, on windows of its own.
        set(wx_backend_sources ${wx_sources})
        list(FILTER wx_backend_sources EXCLUDE REGEX "/main\\.cpp$")
        add_executable(wx_backend_test ${CMAKE_CURRENT_LIST_DIR}/wx_backend_test.cpp
                                       ${wx_backend_sources})
        target_compile_definitions(wx_backend_test PRIVATE wxNO_IMPLICIT_WXSTRING_ENCODING)
        target_link_libraries(wx_backend_test PRIVATE quervane_core ${wxWidgets_LIBRARIES}
                                                      GTest::gtest)
        quervane_gui_test(gui_wx_backend $<TARGET_FILE:wx_backend_test>)

        # Texts drawn in the dialog font, which the scripts below look for in
        # their screenshots.
        add_executable(gui_text_match ${CMAKE_CURRENT_LIST_DIR}/text_match.cpp
                                      ${CMAKE_SOURCE_DIR}/platform/wx/wx_support.cpp
                                      ${CMAKE_SOURCE_DIR}/platform/wx/wx_support_posix.cpp)
        target_compile_definitions(gui_text_match PRIVATE wxNO_IMPLICIT_WXSTRING_ENCODING)
        target_link_libraries(gui_text_match PRIVATE quervane_core ${wxWidgets_LIBRARIES})

        # A large supplier set converted under the window, chosen in the
        # open-file dialog.
        quervane_gui_test(gui_conversion_window ${CMAKE_CURRENT_LIST_DIR}/conversion_window.sh
                          $<TARGET_FILE:quervane> $<TARGET_FILE:gui_text_match>
                          ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                          ${gui_artifacts}/conversion_window)

        # A set chosen through donnees.ini: the drive chooser, then the file
        # picker with a walk into a sub-folder.
        quervane_gui_test(gui_source_choice ${CMAKE_CURRENT_LIST_DIR}/source_choice.sh
                          $<TARGET_FILE:quervane> $<TARGET_FILE:gui_text_match>
                          ${CMAKE_SOURCE_DIR}/tests/bench/conversion_generate.py
                          ${gui_artifacts}/source_choice)
    else()
        message(STATUS "GUI tests skipped: xvfb-run, xdotool or ImageMagick missing")
    endif()
endif()
