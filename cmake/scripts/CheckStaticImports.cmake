cmake_minimum_required(VERSION 3.25)
# Fails when a Windows program of the build imports a DLL that a plain Windows
# installation does not have (the mingw C++ runtime, winpthread, ...), so that every
# .exe keeps running with nothing installed beside it.
#   cmake -DOBJDUMP=... -DBUILD_DIR=... -P CheckStaticImports.cmake
set(system_dlls
  kernel32 user32 gdi32 comctl32 comdlg32 ole32 oleaut32 shell32 shlwapi advapi32
  version msvcrt uxtheme imm32 winmm uuid ntdll ws2_32 msimg32 dwmapi)

file(GLOB_RECURSE programs LIST_DIRECTORIES false "${BUILD_DIR}/*.exe")
list(FILTER programs EXCLUDE REGEX "/(wineprefix|[a-z]+-wineprefix|CMakeFiles)/")
if(NOT programs)
  message(FATAL_ERROR "no .exe found under ${BUILD_DIR}")
endif()

set(bad "")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${program}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(line IN LISTS imports)
    string(REGEX REPLACE "DLL Name: ([^\n]+)\\.[dD][lL][lL].*" "\\1" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
      list(APPEND bad "${program}: ${dll}.dll")
    endif()
  endforeach()
endforeach()

list(LENGTH programs count)
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "programs that need DLLs beside them:\n  ${text}")
endif()
message(STATUS "${count} programs import only system DLLs")
