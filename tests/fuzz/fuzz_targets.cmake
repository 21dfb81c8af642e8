# libFuzzer targets, one per reader of outside input. Each links the library of its
# reader; cmake/Fuzz.cmake includes this file once the libraries exist, and
# scripts/fuzz.sh runs the programs, which land in <build>/fuzz/.
set(fuzz_dir ${PROJECT_SOURCE_DIR}/tests/fuzz)
set(VELKARO_FUZZ_TARGETS
  color_text
  language_file
  window_place
  command_line
  settings_file
  lang_format
  hex_to_bytes
  number_readers
  cli_arguments)

set(color_text_libs velkaro_richtext)
set(language_file_libs velkaro_lang)
set(window_place_libs velkaro_support)
set(command_line_libs velkaro_settings)
set(settings_file_libs velkaro_settings)
set(lang_format_libs velkaro_lang)
set(hex_to_bytes_libs velkaro_support)
set(number_readers_libs velkaro_settings velkaro_mainlogic)
set(cli_arguments_libs velkaro_cli)

foreach(name IN LISTS VELKARO_FUZZ_TARGETS)
  add_executable(fuzz_${name} ${fuzz_dir}/${name}_fuzz.cpp)
  target_include_directories(fuzz_${name} PRIVATE ${fuzz_dir}
                             ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(fuzz_${name} PRIVATE ${${name}_libs} velkaro_warnings)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
endforeach()
