# The package's Debian documentation: the copyright file in the machine-readable format, made
# from LICENSE so that the two always agree, and the Debian changelog, compressed the way
# Debian wants it (gzip -9n: best compression, no file name or time stamp inside).
set(LV_DEBIAN_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/data/debian)
set(LV_DEBIAN_BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR}/debian)
set(LV_DEBIAN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

set(lv_license_file ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lv_license_file})
file(READ ${lv_license_file} lv_license)
if(NOT lv_license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(Permission is hereby granted[^\n]*\n.*)$")
  message(FATAL_ERROR "${lv_license_file} does not read as the MIT licence: the copyright file cannot be made from it")
endif()
set(LV_COPYRIGHT "${CMAKE_MATCH_1}")
# Inside the copyright file a licence text is indented by one space and a blank line is " .".
string(STRIP "${CMAKE_MATCH_2}" lv_license_text)
string(REPLACE "\n\n" "\n.\n" lv_license_text "${lv_license_text}")
string(REPLACE "\n" "\n " LV_LICENSE_TEXT " ${lv_license_text}")
configure_file(${LV_DEBIAN_SOURCE_DIR}/copyright.in ${LV_DEBIAN_BINARY_DIR}/copyright @ONLY)

# The newest changelog entry names the version being packaged; a version bump without an entry
# stops the configuration here rather than shipping a changelog that contradicts the package.
set(lv_changelog ${LV_DEBIAN_SOURCE_DIR}/changelog)
set(lv_package_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(STRINGS ${lv_changelog} lv_changelog_head LIMIT_COUNT 1)
if(NOT lv_changelog_head MATCHES "^${CPACK_PACKAGE_NAME} \\(([^)]+)\\) ")
  message(FATAL_ERROR "${lv_changelog} does not start with a Debian changelog entry")
elseif(NOT CMAKE_MATCH_1 STREQUAL lv_package_version)
  message(FATAL_ERROR "${lv_changelog} starts at ${CMAKE_MATCH_1}; the package is ${lv_package_version}: add an entry for it")
endif()

set(lv_changelog_gz ${LV_DEBIAN_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${lv_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E copy ${lv_changelog} ${LV_DEBIAN_BINARY_DIR}/changelog.Debian
  COMMAND gzip -9nf ${LV_DEBIAN_BINARY_DIR}/changelog.Debian
  DEPENDS ${lv_changelog}
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(lv_debian_changelog ALL DEPENDS ${lv_changelog_gz})

install(FILES ${LV_DEBIAN_BINARY_DIR}/copyright ${lv_changelog_gz} DESTINATION ${LV_DEBIAN_DOC_DIR})
