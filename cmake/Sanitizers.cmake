# VELTRIX_SANITIZE selects a sanitizer build for the whole tree: "address" (AddressSanitizer with
# UndefinedBehaviorSanitizer), "thread" (ThreadSanitizer) or "fuzzer" (the address build with
# libFuzzer's coverage, clang only; the fuzz targets link libFuzzer itself). Empty for a normal
# build.
set(VELTRIX_SANITIZE "" CACHE STRING "Sanitizer build: address, thread, fuzzer or empty")
set_property(CACHE VELTRIX_SANITIZE PROPERTY STRINGS "" address thread fuzzer)

if(VELTRIX_SANITIZE STREQUAL "address")
  set(_veltrix_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(VELTRIX_SANITIZE STREQUAL "fuzzer")
  set(_veltrix_san -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                   -fno-omit-frame-pointer)
elseif(VELTRIX_SANITIZE STREQUAL "thread")
  set(_veltrix_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT VELTRIX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VELTRIX_SANITIZE must be address, thread, fuzzer or empty, not '${VELTRIX_SANITIZE}'")
endif()

if(DEFINED _veltrix_san)
  add_compile_options(${_veltrix_san})
  add_link_options(${_veltrix_san})
endif()
