# The Linux packages on their own: made by CPack into a fresh folder; the archive
# unpacked into an empty one, its files listed and velkaro-cli run from there; the
# .deb's files listed.
#   cmake -DCPACK=... -DCONFIG=... -DWORK_DIR=... -DPACKAGE_NAME=... -DSOURCE_DIR=...
#         -DPREFIX=<CMAKE_INSTALL_PREFIX>
#         -DVERSION=... [-DDPKG_DEB=...] -P CheckLinuxPackage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/PackageCommon.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
# No settings: the language chosen in the user's own settings would change the texts.
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)

set(langs_dir share/velkaro/Langs)
velkaro_expected_languages(${SOURCE_DIR} ${langs_dir}/ languages)
set(man "")
if(EXISTS ${SOURCE_DIR}/docs/velkaro-cli.1)
  set(man share/man/man1/velkaro-cli.1)
endif()
set(files bin/velkaro-cli ${languages} share/doc/velkaro/LICENSE ${man})

velkaro_make_package(TGZ ${PACKAGE_NAME}.tar.gz archive)
set(unpacked ${WORK_DIR}/unpacked)
velkaro_unpack(${archive} ${unpacked})
velkaro_expect_files(${unpacked} ${files})

velkaro_expect_run(version "^velkaro-cli ${VERSION}" ${unpacked}/bin/velkaro-cli --version)
velkaro_expect_run(list "7 - Rhythm \"Down-Up\"" ${unpacked}/bin/velkaro-cli --list)

# The program looks for its languages, after the folder beside itself, in the one path
# built into it: it must be where the archive puts them below the prefix.
velkaro_expect_run(help "--threads" ${unpacked}/bin/velkaro-cli --help)
file(STRINGS ${unpacked}/bin/velkaro-cli paths REGEX "^/.*/Langs$")
if(NOT "${PREFIX}/${langs_dir}" IN_LIST paths)
  message(FATAL_ERROR "bin/velkaro-cli looks for its languages in '${paths}', "
                      "the package puts them in ${PREFIX}/${langs_dir}")
endif()
message(STATUS "bin/velkaro-cli finds its languages once unpacked into ${PREFIX}")

if(DPKG_DEB)
  velkaro_make_package(DEB *.deb deb)
  execute_process(COMMAND ${DPKG_DEB} --contents ${deb} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot read ${deb}")
  endif()
  message(STATUS "${deb}:\n${listing}")
  foreach(file IN LISTS files)
    string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${PREFIX}/${file}")
    if(NOT listing MATCHES " \\.${pattern}\n")
      message(FATAL_ERROR "the .deb lacks ${PREFIX}/${file}")
    endif()
  endforeach()
  execute_process(COMMAND ${DPKG_DEB} --field ${deb} Package Version
    OUTPUT_VARIABLE fields RESULT_VARIABLE rc)
  if(NOT fields MATCHES "Package: velkaro-cli\nVersion: ${VERSION}\n")
    message(FATAL_ERROR "the .deb's fields are\n${fields}")
  endif()
endif()
