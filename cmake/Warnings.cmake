# Warnings are errors on every target of the project, never on third-party code.
add_library(velkaro_warnings INTERFACE)
target_compile_options(velkaro_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wformat=2
  -Wimplicit-fallthrough -Wnull-dereference -Werror)
