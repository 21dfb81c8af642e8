# The Windows package on its own: made by CPack into a fresh folder, unpacked into an
# empty one, its files listed, and both programs run from there under Wine.
#   cmake -DCPACK=... -DCONFIG=... -DWORK_DIR=... -DPACKAGE_NAME=... -DSOURCE_DIR=...
#         -DDOCS_DIR=<the build's Docs beside velkaro.exe> -DEMULATOR=... -DCHECKER=...
#         -P CheckWindowsPackage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/PackageCommon.cmake)
file(REMOVE_RECURSE ${WORK_DIR})

velkaro_make_package(ZIP ${PACKAGE_NAME}.zip zip)
set(unpacked ${WORK_DIR}/unpacked)
velkaro_unpack(${zip} ${unpacked})

# Everything in one top folder named as the package.
set(top ${PACKAGE_NAME}/)
velkaro_expected_languages(${SOURCE_DIR} ${top}Langs/ languages)
set(docs "")
if(EXISTS ${DOCS_DIR})
  file(GLOB_RECURSE docs LIST_DIRECTORIES false RELATIVE ${DOCS_DIR}/.. ${DOCS_DIR}/*)
  list(TRANSFORM docs PREPEND ${top})
endif()
velkaro_expect_files(${unpacked}
  ${top}velkaro.exe ${top}velkaro-cli.exe ${top}README.txt ${top}LICENSE.txt ${languages} ${docs})
set(folder ${unpacked}/${PACKAGE_NAME})

# The licence word for word, in Windows line ends; the read-me filled in.
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files --ignore-eol
                        ${SOURCE_DIR}/LICENSE ${folder}/LICENSE.txt RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "LICENSE.txt is not the project's LICENSE")
endif()
foreach(text LICENSE.txt README.txt)
  file(READ ${folder}/${text} hex HEX)
  string(REGEX MATCHALL ".." bytes "${hex}")
  string(JOIN ";" bytes ${bytes})
  if(NOT bytes MATCHES "0d;0a" OR bytes MATCHES "(^|;)([^0].|0[^d]);0a")
    message(FATAL_ERROR "${text} has lines that do not end in CR LF")
  endif()
endforeach()
file(READ ${folder}/README.txt readme)
if(readme MATCHES "@[A-Za-z_]+@" OR NOT readme MATCHES "HKEY_CURRENT_USER\\\\Software\\\\Quenmark\\\\Velkaro")
  message(FATAL_ERROR "README.txt is not filled in as expected:\n${readme}")
endif()

# The console program with a shipped language. --lang picks one where the program has
# it; without it, the listing runs in English and the files above stand in.
velkaro_expect_run(help "--threads" ${EMULATOR} ${folder}/velkaro-cli.exe --help)
velkaro_language_text(${folder}/Langs/de.lng 155 style_label)
velkaro_expect_run(list "${style_label}" ${EMULATOR} ${folder}/velkaro-cli.exe --lang de --list)

# The window: up in German from the package's own Langs, closed with exit code 0.
velkaro_expect_run(window "closed with exit code 0" ${EMULATOR} ${CHECKER} ${folder})
