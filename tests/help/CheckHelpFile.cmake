# cmake -DCHM=<file.chm> -DPROJECT=<project.hhp> -P CheckHelpFile.cmake
# The compiled help file is a CHM (it starts with "ITSF") whose directory names every
# file of the project: each page, the style sheet and each picture.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/HelpProject.cmake)
help_read_project("${PROJECT}")

if(NOT EXISTS "${CHM}")
  message(FATAL_ERROR "no help file ${CHM}")
endif()
file(READ "${CHM}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "49545346")  # I T S F
  message(FATAL_ERROR "${CHM} does not start with ITSF (starts with the bytes ${magic})")
endif()

# The directory chunks of a CHM are not compressed: each name stands in them as plain
# text, with a leading slash. The pages' own text is compressed and cannot match.
file(STRINGS "${CHM}" strings LENGTH_MINIMUM 4)
string(JOIN "\n" text ${strings})
set(missing "")
foreach(name IN LISTS HELP_FILES HELP_CONTENTS HELP_INDEX)
  string(FIND "${text}" "/${name}" at)
  if(at LESS 0)
    list(APPEND missing "${name}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "${CHM} lacks: ${missing}")
endif()
list(LENGTH HELP_FILES count)
message(STATUS "${CHM}: ITSF, all ${count} files of the project")
