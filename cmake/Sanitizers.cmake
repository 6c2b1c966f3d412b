# address: AddressSanitizer with UndefinedBehaviorSanitizer.
# thread:  ThreadSanitizer.
if(VYN_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(VYN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT VYN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VYN_SANITIZE must be '', 'address' or 'thread'")
endif()
