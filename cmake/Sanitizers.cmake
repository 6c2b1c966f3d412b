# address: AddressSanitizer with UndefinedBehaviorSanitizer.
# thread:  ThreadSanitizer.
# Sanitizer builds compile at -O1: quick to build, and what the sanitizers
# are tuned for.
if(VYN_SANITIZE STREQUAL "address")
  add_compile_options(-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(VYN_SANITIZE STREQUAL "thread")
  add_compile_options(-O1 -fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT VYN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VYN_SANITIZE must be '', 'address' or 'thread'")
endif()
