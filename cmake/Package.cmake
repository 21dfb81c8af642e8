# Release packages, made by CPack from the install rules:
#
#     cmake --build --preset windows --target package   (or --preset linux)
#
# Windows: velkaro-<version>-win64.zip, one folder velkaro-<version>-win64\ with both
#   programs, Langs\, Docs\ (when the help is built), README.txt and LICENSE.txt. The
#   programs are static and find their files beside themselves, so the folder runs
#   wherever it is unpacked. One top folder, because "Extract here" must not spill the
#   files among the user's other downloads.
# Linux: velkaro-cli-<version>-linux-<processor>.tar.gz (and a .deb when dpkg-deb is
#   there): a tree of the install prefix (bin/, share/). velkaro-cli looks for its
#   languages in the configured prefix (VELKARO_INSTALLED_LANGS_PATH), so the archive
#   is meant to be unpacked there: tar -xzf ... -C /usr/local. Unpacked elsewhere it
#   runs, but without its translations.
include(GNUInstallDirs)

set(velkaro_staging ${PROJECT_BINARY_DIR}/packaging)
set(velkaro_license ${PROJECT_SOURCE_DIR}/LICENSE)
if(NOT EXISTS ${velkaro_license})
  message(WARNING "${velkaro_license} is missing: making a package fails until it is there")
endif()

string(TOLOWER "${VELKARO_PRODUCT_NAME}" velkaro_package_base)
set(CPACK_PACKAGE_VENDOR "${VELKARO_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VELKARO_PRODUCT_NAME} - ${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${VELKARO_COMPANY_URL}")
set(CPACK_PACKAGE_CHECKSUM SHA256)
# The build folders, the repository and editor leftovers never go into a source package.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git" "~$")

if(WIN32)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/Langs/ DESTINATION Langs FILES_MATCHING PATTERN "*.lng")
  # The compiled help lands in Docs beside each program when the build makes it.
  install(DIRECTORY $<TARGET_FILE_DIR:velkaro>/Docs DESTINATION . OPTIONAL)
  # Notepad of older Windows shows a file with bare line feeds on one line.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README-windows.txt ${velkaro_staging}/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${velkaro_staging}/README.txt DESTINATION .)
  if(EXISTS ${velkaro_license})
    configure_file(${velkaro_license} ${velkaro_staging}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  endif()
  install(FILES ${velkaro_staging}/LICENSE.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME "${velkaro_package_base}")
  set(VELKARO_PACKAGE_FILE_NAME "${velkaro_package_base}-${PROJECT_VERSION}-win64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/docs/velkaro-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          OPTIONAL)
  install(FILES ${velkaro_license} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${velkaro_package_base})

  set(CPACK_GENERATOR TGZ)
  find_program(VELKARO_DPKG_DEB NAMES dpkg-deb)
  if(VELKARO_DPKG_DEB)
    list(APPEND CPACK_GENERATOR DEB)
  endif()
  set(CPACK_PACKAGE_NAME "${velkaro_package_base}-cli")
  set(VELKARO_PACKAGE_FILE_NAME
      "${velkaro_package_base}-cli-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_STRIP_FILES ON)

  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELKARO_COMPANY_NAME}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  find_program(VELKARO_DPKG_SHLIBDEPS NAMES dpkg-shlibdeps)
  if(VELKARO_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
  endif()
  # The .deb installs under the prefix the program was built for, where it looks for
  # its languages (/usr/local unless CMAKE_INSTALL_PREFIX says otherwise); the archive
  # stays a tree relative to the prefix.
  set(VELKARO_PACKAGE_PREFIX "${CMAKE_INSTALL_PREFIX}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/CPackOptions.cmake.in
                 ${velkaro_staging}/CPackOptions.cmake @ONLY)
  set(CPACK_PROJECT_CONFIG_FILE ${velkaro_staging}/CPackOptions.cmake)
endif()

# Kept apart for the tests: CPack's module sets CPACK_PACKAGE_FILE_NAME to the source
# package's name on its way.
set(CPACK_PACKAGE_FILE_NAME "${VELKARO_PACKAGE_FILE_NAME}")
include(CPack)
