# The data the programs read at run time: the language files of Langs/.
#
# velkaro_ship_languages(target) keeps a copy of Langs/ beside the target's file, so
# that a build folder runs as an installed program does. On Linux the folder is also
# installed to <prefix>/share/velkaro/Langs; VELKARO_INSTALLED_LANGS_PATH is that
# folder, which the code searches after the one beside the program.
include(GNUInstallDirs)

set(VELKARO_INSTALLED_LANGS_PATH ${CMAKE_INSTALL_FULL_DATADIR}/velkaro/Langs)
if(NOT WIN32)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/Langs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velkaro/Langs
          FILES_MATCHING PATTERN "*.lng")
endif()

function(velkaro_ship_languages target)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/Langs/*.lng)
  get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT folder)
    set(folder ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(copies "")
  foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME)
    set(copy ${folder}/Langs/${name})
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
      DEPENDS ${source}
      COMMENT "Copying Langs/${name} beside ${target}"
      VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  add_custom_target(${target}_langs ALL DEPENDS ${copies})
  add_dependencies(${target} ${target}_langs)
endfunction()
