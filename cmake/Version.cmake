# Turns the project's version into a header for the code and, on Windows, into the
# version resource of each program.
set(VELKARO_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(VELKARO_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(VELKARO_VERSION_RELEASE ${PROJECT_VERSION_PATCH})
set(VELKARO_VERSION_BUILD ${PROJECT_VERSION_TWEAK})
set(VELKARO_PRODUCT_VERSION "${PROJECT_VERSION}")
if(VELKARO_VERSION_SUFFIX)
  string(APPEND VELKARO_PRODUCT_VERSION " ${VELKARO_VERSION_SUFFIX}")
endif()

set(VELKARO_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in
               ${VELKARO_GENERATED_DIR}/velkaro_version.h @ONLY)

# Adds the version resource to a Windows program; does nothing elsewhere.
#   velkaro_add_version_resource(target "file description" "original file name" [manifest])
function(velkaro_add_version_resource target description file_name)
  if(NOT WIN32)
    return()
  endif()
  set(VELKARO_FILE_DESCRIPTION "${description}")
  set(VELKARO_ORIGINAL_FILENAME "${file_name}")
  set(VELKARO_MANIFEST_LINE "")
  if(ARGC GREATER 3)
    set(VELKARO_MANIFEST_LINE "1 24 \"${ARGV3}\"")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
