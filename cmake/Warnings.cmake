# Warnings are errors: the tree builds clean with both GCC and Clang.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror
                    -Wno-unused-parameter)
