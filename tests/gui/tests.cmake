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

        add_test(NAME gui_main_window
                 COMMAND ${gui_server} ${CMAKE_CURRENT_LIST_DIR}/main_window.sh
                         $<TARGET_FILE:quervane> ${gui_artifacts}/main_window)
        set_tests_properties(gui_main_window PROPERTIES
            LABELS gui TIMEOUT 120 ENVIRONMENT "GSETTINGS_BACKEND=memory")
    else()
        message(STATUS "GUI tests skipped: xvfb-run, xdotool or ImageMagick missing")
    endif()
endif()
