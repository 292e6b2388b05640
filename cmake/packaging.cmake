# Installation, desktop integration and the Debian package.
include(GNUInstallDirs)

# One reverse-DNS id names the desktop entry, the icon and the AppStream component.
set(LV_APP_ID org.example.LotkaVolterra)
set(LV_DATA_DIR ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(LV_ICON_SVG ${LV_DATA_DIR}/${LV_APP_ID}.svg)

# The window icon is a PNG rendition of the SVG icon: Qt reads PNG without any image plugin,
# so the installed program shows its icon even where the SVG plugin is missing.
find_program(LV_RSVG_CONVERT rsvg-convert REQUIRED)
set(LV_ICON_PNG_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(LV_ICON_PNG ${LV_ICON_PNG_DIR}/${LV_APP_ID}.png)
add_custom_command(
  OUTPUT ${LV_ICON_PNG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LV_ICON_PNG_DIR}
  COMMAND ${LV_RSVG_CONVERT} --width 256 --height 256 --output ${LV_ICON_PNG} ${LV_ICON_SVG}
  DEPENDS ${LV_ICON_SVG}
  COMMENT "Rendering the window icon"
  VERBATIM)

# The resource lives in an object library of this directory (where the PNG is generated);
# linking it puts the resource and its initialiser into the executable.
add_library(lv_window_icon OBJECT)
qt_add_resources(lv_window_icon window_icon
  PREFIX /icons
  BASE ${LV_ICON_PNG_DIR}
  FILES ${LV_ICON_PNG})
target_link_libraries(lotka-volterra PRIVATE lv_window_icon)

# Qt and the C++ runtime come from the system: the installed program needs no RPATH.
set_target_properties(lotka-volterra PROPERTIES INSTALL_RPATH "")
install(TARGETS lotka-volterra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LV_DATA_DIR}/${LV_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LV_ICON_SVG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${LV_ICON_PNG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${LV_DATA_DIR}/${LV_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The scenario files' type (*.lvesc), which the desktop entry opens. The shared MIME database
# is rebuilt from this directory: by shared-mime-info's dpkg trigger when the package is
# installed or removed, by `update-mime-database PREFIX/share/mime` after `cmake --install`.
install(FILES ${LV_DATA_DIR}/${LV_APP_ID}.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Debian package. Its library dependencies come from the binary (dpkg-shlibdeps); the rest are
# what the program loads or looks for at run time, which no linker sees: the serif face the
# equations are laid out for (Times metrics), Qt's own Spanish texts, and the native Wayland
# platform plugin (the X11 one ships inside libqt6gui6). The scenario type needs nothing more:
# shared-mime-info, whose trigger adds it to the MIME database, comes with libqt6core6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lotka-volterra)
set(CPACK_PACKAGE_VENDOR "Lotka-Volterra Explorer developers")
set(CPACK_PACKAGE_CONTACT "Lotka-Volterra Explorer developers <lotka-volterra@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://example.org/lotka-volterra)
# The summary is the package's one-line synopsis; the description follows it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Explorador del sistema de Lotka-Volterra 2x2 / Lotka-Volterra explorer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Programa interactivo (en español) para el sistema de dos especies
x' = x (A + B x + C y), y' = y (D + E x + F y): integra una solución desde un
punto inicial con Runge-Kutta de orden 4 y la dibuja en el plano de fases y
frente al tiempo, con un cursor de tiempo y coeficientes editables.
.
Interactive program (in Spanish) for the two-species system above: it
integrates one solution from an initial point with fourth-order Runge-Kutta
and draws it in the phase plane and against time, with a time cursor and
editable coefficients.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
# The packaging revision, which the Debian changelog names with the version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

include(${CMAKE_CURRENT_LIST_DIR}/debian-docs.cmake)
include(CPack)
