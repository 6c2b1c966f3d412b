# Warnings are errors: the tree builds clean with both GCC and Clang.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror
                    -Wno-unused-parameter)
# GCC 12 reports -Wrestrict false positives inside std::string at -O3
# (its own inlined memcpy); the warning says nothing about our code there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-restrict)
endif()
