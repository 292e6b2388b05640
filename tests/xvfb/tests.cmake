# The whole program in a real X server: started under its own Xvfb, clicked, scrolled,
# photographed and closed by tests/xvfb/whole_program.sh.
find_package(X11 REQUIRED)

# Closes a window politely (WM_DELETE_WINDOW), as no window manager runs in the test's server.
add_executable(lv_close_window ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/close_window.cpp)
target_link_libraries(lv_close_window PRIVATE X11::X11)
set_target_properties(lv_close_window PROPERTIES
    AUTOMOC OFF AUTOUIC OFF AUTORCC OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

add_test(NAME whole_program_xvfb
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/whole_program.sh
                 $<TARGET_FILE:lotka-volterra> $<TARGET_FILE:lv_close_window>)
# Sanitizer builds start and draw slowly; the script gives up on any single wait after 60 s.
set_tests_properties(whole_program_xvfb PROPERTIES TIMEOUT 600 LABELS xvfb)

# The accessible tree read over AT-SPI, as a screen reader reads it, on a private session bus.
add_test(NAME accessibility_tree_xvfb
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/xvfb/accessibility_tree.sh
                 $<TARGET_FILE:lotka-volterra> $<TARGET_FILE:lv_close_window>)
set_tests_properties(accessibility_tree_xvfb PROPERTIES TIMEOUT 600 LABELS xvfb)
