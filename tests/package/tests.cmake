# Desktop integration and the Debian package. The window is closed with lv_close_window
# from the whole-program tests. These check installed files and the packaged
# program, not the code, so they run once, in the build without sanitizers.
if(LV_SANITIZE)
  return()
endif()

find_program(LV_DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
find_program(LV_APPSTREAMCLI appstreamcli REQUIRED)

set(LV_PACKAGE_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/package)

add_test(NAME package-desktop-entry
  COMMAND ${LV_DESKTOP_FILE_VALIDATE} ${LV_DATA_DIR}/${LV_APP_ID}.desktop)
add_test(NAME package-metainfo
  COMMAND ${LV_APPSTREAMCLI} validate --no-net --strict ${LV_DATA_DIR}/${LV_APP_ID}.metainfo.xml)

add_test(NAME package-install-tree
  COMMAND ${LV_PACKAGE_TESTS}/check-install-tree.sh
          ${CMAKE_BINARY_DIR} ${LV_APP_ID} ${PROJECT_VERSION})

# The program from the build tree: caption, window icon, clean exit when its window closes.
add_test(NAME package-window
  COMMAND ${LV_PACKAGE_TESTS}/check-window.sh
          $<TARGET_FILE:lotka-volterra> $<TARGET_FILE:lv_close_window>)

# The same for the program installed from the Debian package (root only, else skipped).
add_test(NAME package-deb
  COMMAND ${LV_PACKAGE_TESTS}/check-deb.sh
          ${CMAKE_BINARY_DIR} ${LV_APP_ID}
          ${LV_PACKAGE_TESTS}/check-window.sh $<TARGET_FILE:lv_close_window>)
set_tests_properties(package-deb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)
