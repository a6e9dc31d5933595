# Every target of the project links this: warnings are errors everywhere.
add_library(veltrix_warnings INTERFACE)
target_compile_options(veltrix_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion)
