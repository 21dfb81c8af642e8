# velkaro-cli's texts follow the language chosen in the window (LangCode in the
# settings file) unless --lang picks another for the run.
set(config ${WORK_DIR}/config)
file(REMOVE_RECURSE ${config})
set(ENV{XDG_CONFIG_HOME} ${config})

function(list_items expected)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --list
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err INPUT_FILE /dev/null TIMEOUT 60)
  message(STATUS "velkaro-cli ${ARGN} --list: exit code ${rc}\n${out}${err}")
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${expected}")
    message(FATAL_ERROR "expected the items to match ${expected}")
  endif()
endfunction()

list_items("2 - Lowest")
file(WRITE ${config}/velkaro/settings.json "{\"LangCode\": \"fr\"}\n")
list_items("2 - La plus basse")
list_items("2 - Lowest" --lang en)
list_items("2 - Niedrigste" --lang de)
# A stored code whose file is gone: English.
file(WRITE ${config}/velkaro/settings.json "{\"LangCode\": \"xx\"}\n")
list_items("2 - Lowest")
