# The hardening that distributions build with: a stack protector, position-independent programs,
# and a read-only relocation table resolved at start-up. _FORTIFY_SOURCE needs optimisation (it
# warns, and so fails, without), and the sanitizers check the same calls better themselves, so it
# is on in the optimised builds only.
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro,-z,now)
if(VELTRIX_SANITIZE STREQUAL "")
  add_compile_options(
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
