# Every target is built with warnings as errors.
add_compile_options(
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wconversion -Wformat=2
    -Wimplicit-fallthrough)
