# The help documents: the HTML pages of docs/help, compiled by chmcmd (Debian's
# fp-utils) into "Velkaro (en).chm", which each program finds in the folder Docs beside
# itself; and the manual page of velkaro-cli, installed on Linux.
#
#     velkaro_add_help_beside(<target>)
#
# builds the help file into <the target's folder>/Docs whenever <target> is built, and
# again whenever a page, a picture or the project changes.
include_guard(GLOBAL)

find_program(VELKARO_CHMCMD NAMES chmcmd)
if(NOT VELKARO_CHMCMD)
  message(FATAL_ERROR "chmcmd not found: install fp-utils (scripts/setup.sh does)")
endif()

set(VELKARO_HELP_SOURCE_DIR ${PROJECT_SOURCE_DIR}/docs/help
    CACHE INTERNAL "Folder of the help pages and of the help project")
set(VELKARO_HELP_PROJECT ${VELKARO_HELP_SOURCE_DIR}/velkaro.hhp
    CACHE INTERNAL "The help project, which names every file of the help")
set(VELKARO_HELP_FILE_NAME "Velkaro (en).chm" CACHE INTERNAL "Name of the English help file")

# The sources of the help file: the project, its contents and index files and every
# file of its [FILES] section. A change of the project runs CMake again, so that a
# page added to it becomes a source too.
function(_velkaro_help_sources out_var)
  file(STRINGS ${VELKARO_HELP_PROJECT} lines)
  set(sources ${VELKARO_HELP_PROJECT})
  set(section "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[(.*)\\]$")
      set(section "${CMAKE_MATCH_1}")
    elseif(section STREQUAL "FILES" AND NOT line STREQUAL "")
      list(APPEND sources ${VELKARO_HELP_SOURCE_DIR}/${line})
    elseif(section STREQUAL "OPTIONS" AND line MATCHES "^(Contents|Index) file=(.+)$")
      list(APPEND sources ${VELKARO_HELP_SOURCE_DIR}/${CMAKE_MATCH_2})
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELKARO_HELP_PROJECT})
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

function(velkaro_add_help_beside target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  _velkaro_help_sources(sources)
  # chmcmd writes the file named in the project into its working folder, and leaves an
  # empty file there when it fails; only a finished file is copied beside the program.
  # Its scan of the pages for further files is left out: two chmcmd scanning at the
  # same time (two programs of one build) fail to parse pages now and then, and the
  # project names every file anyway (tests/help checks that).
  set(work ${CMAKE_CURRENT_BINARY_DIR}/help-${target})
  file(MAKE_DIRECTORY ${work})
  set(output "${dir}/Docs/${VELKARO_HELP_FILE_NAME}")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${dir}/Docs"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${work}/${VELKARO_HELP_FILE_NAME}"
    COMMAND ${VELKARO_CHMCMD} --no-html-scan --verbosity 0 ${VELKARO_HELP_PROJECT}
    COMMAND ${CMAKE_COMMAND} -E copy "${work}/${VELKARO_HELP_FILE_NAME}" "${output}"
    WORKING_DIRECTORY "${work}"
    DEPENDS ${sources}
    COMMENT "Compiling the help file beside ${target}"
    VERBATIM)
  add_custom_target(${target}_help DEPENDS "${output}")
  add_dependencies(${target} ${target}_help)
  set_property(TARGET ${target} PROPERTY VELKARO_HELP_FILE "${output}")
endfunction()

# The manual page of velkaro-cli is installed with the Linux package (Package.cmake).
