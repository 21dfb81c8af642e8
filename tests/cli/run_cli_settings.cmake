# Runs velkaro-cli through the life of a template against a settings folder of its
# own: save, list, run, a stored value of the wrong type, a damaged file, delete.
set(config ${WORK_DIR}/config)
file(REMOVE_RECURSE ${config})
set(ENV{XDG_CONFIG_HOME} ${config})
set(settings_file ${config}/velkaro/settings.json)

# step(EXIT code [OUT regex] [ERR regex] ARGS ...): one run and its checks.
function(step)
  cmake_parse_arguments(PARSE_ARGV 0 step "" "EXIT;OUT;ERR" "ARGS")
  execute_process(COMMAND ${PROGRAM} ${step_ARGS}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
    INPUT_FILE /dev/null TIMEOUT 120)
  message(STATUS "velkaro-cli ${step_ARGS}: exit code ${rc}\n--- stdout\n${out}\n--- stderr\n${err}")
  if(NOT rc STREQUAL "${step_EXIT}")
    message(FATAL_ERROR "exit code ${rc}, expected ${step_EXIT}")
  endif()
  if(step_OUT AND NOT out MATCHES "${step_OUT}")
    message(FATAL_ERROR "standard output does not match: ${step_OUT}")
  endif()
  if(step_ERR AND NOT err MATCHES "${step_ERR}")
    message(FATAL_ERROR "error output does not match: ${step_ERR}")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
endfunction()

macro(expect json path expected)
  string(JSON value ERROR_VARIABLE json_error GET "${json}" ${path})
  if(json_error OR NOT value STREQUAL "${expected}")
    message(FATAL_ERROR "JSON ${path}: '${value}' ${json_error}, expected '${expected}'")
  endif()
endmacro()

step(EXIT 0 ERR "^\\(empty list\\)\n$" ARGS --templates)
if(EXISTS ${settings_file})
  message(FATAL_ERROR "listing made a settings file")
endif()
step(EXIT 0 OUT "^Saved the template 'a b c'\\.\n$"
     ARGS --save-template "a/b:c" -p 0 -t 1 -P 4 -c 3 -r 3 -n 2)
step(EXIT 0 OUT "^a b c \\*\n$" ARGS --templates)

file(READ ${settings_file} stored)
expect("${stored}" "Templates;a b c;Priority" 3)
expect("${stored}" "Templates;a b c;ClassPriority" 1)
expect("${stored}" "Templates;a b c;Rhythm" 2)
expect("${stored}" "Templates;a b c;Threads" 2)
expect("${stored}" "Time" 1)
expect("${stored}" "LatestTempl" "a b c")

# The template's values, with the line's -r winning; a plain run keeps the built-in defaults.
step(EXIT 0 ARGS --template "A B C" -r 5 --json)
string(REGEX MATCH "{\"parameters\".*}" report "${last_out}")
expect("${report}" "template" "a b c")
expect("${report}" "parameters;priority" 4)
expect("${report}" "parameters;class" 3)
expect("${report}" "parameters;rhythm" 5)
expect("${report}" "parameters;threads" 2)
expect("${report}" "end" "time_over")
step(EXIT 2 ERR "^velkaro-cli: --time: \"x\" is not a whole number" ARGS -t x --template "a b c")
step(EXIT 2 ERR "there is no template 'nothere'" ARGS --template nothere -t 1)

file(WRITE ${settings_file} "{\"Templates\": {\"bad\": {\"Threads\": \"many\"}}}\n")
step(EXIT 4 ERR "^velkaro-cli: Invalid data type for 'Threads'\n$" ARGS --template bad -p 0 -t 1)

file(WRITE ${settings_file} "{\n  \"Time\": 5,\n  oops\n}\n")
step(EXIT 0 ERR "velkaro-cli: The settings file '${settings_file}' is damaged at line 3, column 3; the defaults are used\\. The damaged file is kept as '${settings_file}\\.damaged-[0-9TZ-]+'\\."
     ARGS --templates)
file(GLOB damaged ${settings_file}.damaged-*)
list(LENGTH damaged count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one damaged file, found: ${damaged}")
endif()

step(EXIT 0 ARGS --save-template keep)
step(EXIT 0 OUT "^Removed the template 'keep'\\.\n$" ARGS --delete-template KEEP)
step(EXIT 2 ERR "there is no template 'keep'" ARGS --delete-template keep)
step(EXIT 0 ERR "^\\(empty list\\)\n$" ARGS --templates)
file(REMOVE_RECURSE ${config})
