cmake_minimum_required(VERSION 3.25)
# Shared steps of the package tests, run with cmake -P:
# CPACK, CONFIG (the build's CPackConfig.cmake) and WORK_DIR (emptied first).

# Runs CPack for one generator into WORK_DIR/out and sets out_var to the package file
# whose name matches `glob` there.
function(velkaro_make_package generator glob out_var)
  file(MAKE_DIRECTORY ${WORK_DIR}/out)
  execute_process(COMMAND ${CPACK} -G ${generator} --config ${CONFIG} -B ${WORK_DIR}/out
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack -G ${generator} failed (${rc}):\n${out}\n${err}")
  endif()
  file(GLOB found ${WORK_DIR}/out/${glob})
  list(LENGTH found count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack -G ${generator} made '${found}', expected one ${glob}:\n${out}")
  endif()
  file(SIZE ${found} size)
  math(EXPR kib "(${size} + 1023) / 1024")
  get_filename_component(name ${found} NAME)
  message(STATUS "${name}: ${size} bytes (${kib} KiB)")
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# Unpacks `archive` into the new, empty folder `folder`.
function(velkaro_unpack archive folder)
  if(EXISTS ${folder})
    message(FATAL_ERROR "${folder} exists already")
  endif()
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archive}
    WORKING_DIRECTORY ${folder} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${archive}: ${err}")
  endif()
endfunction()

# Fails unless the files under `folder` are exactly the listed ones (relative paths).
function(velkaro_expect_files folder)
  set(expected ${ARGN})
  file(GLOB_RECURSE actual LIST_DIRECTORIES false RELATIVE ${folder} ${folder}/*)
  list(SORT actual)
  list(SORT expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${actual})
  set(extra ${actual})
  list(REMOVE_ITEM extra ${expected})
  string(REPLACE ";" "\n  " listing "${actual}")
  message(STATUS "the package holds:\n  ${listing}")
  if(missing OR extra)
    message(FATAL_ERROR "package files differ: missing '${missing}', unexpected '${extra}'")
  endif()
endfunction()

# The language files of the source tree (at least the six shipped from the start), as
# paths under `prefix`.
function(velkaro_expected_languages source_dir prefix out_var)
  file(GLOB sources RELATIVE ${source_dir}/Langs ${source_dir}/Langs/*.lng)
  foreach(code de fr es pl ru it)
    if(NOT ${code}.lng IN_LIST sources)
      message(FATAL_ERROR "Langs/${code}.lng is missing from the sources")
    endif()
  endforeach()
  list(TRANSFORM sources PREPEND ${prefix})
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# Sets out_var to the text of entry `id` of a language file (UTF-16, "id=text" lines).
function(velkaro_language_text file id out_var)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing")
  endif()
  file(STRINGS ${file} lines ENCODING UTF-16LE REGEX "^${id}=")
  if(NOT lines)
    message(FATAL_ERROR "${file} has no text ${id}")
  endif()
  list(GET lines 0 line)
  string(REGEX REPLACE "^${id}=" "" text "${line}")
  string(STRIP "${text}" text)
  if(text STREQUAL "")
    message(FATAL_ERROR "${file} has no text ${id}")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Runs a command from WORK_DIR (never the package's folder, so that the program must
# find its files beside itself); fails unless it exits with 0 and its output matches
# `regex`. Sets out_var to the output.
function(velkaro_expect_run out_var regex)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err INPUT_FILE /dev/null TIMEOUT 60)
  message(STATUS "${ARGN}: exit code ${rc}\n${out}${err}")
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "${ARGN}: exit code ${rc}")
  endif()
  if(NOT "${out}${err}" MATCHES "${regex}")
    message(FATAL_ERROR "${ARGN}: the output does not match '${regex}'")
  endif()
  set(${out_var} "${out}${err}" PARENT_SCOPE)
endfunction()
