# VELTRIX_SANITIZE selects a sanitizer build for the whole tree: "address" (AddressSanitizer with
# UndefinedBehaviorSanitizer) or "thread" (ThreadSanitizer). Empty for a normal build.
set(VELTRIX_SANITIZE "" CACHE STRING "Sanitizer build: address, thread or empty")
set_property(CACHE VELTRIX_SANITIZE PROPERTY STRINGS "" address thread)

if(VELTRIX_SANITIZE STREQUAL "address")
  set(_veltrix_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(VELTRIX_SANITIZE STREQUAL "thread")
  set(_veltrix_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT VELTRIX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VELTRIX_SANITIZE must be address, thread or empty, not '${VELTRIX_SANITIZE}'")
endif()

if(DEFINED _veltrix_san)
  add_compile_options(${_veltrix_san})
  add_link_options(${_veltrix_san})
endif()
