# Hardening of every program this project builds.
#
# Linux: the flags Debian's dpkg-buildflags gives (hardening=+all): stack protector, format
# checks, _FORTIFY_SOURCE, position-independent executables and full RELRO (-z relro
# -z now); and stack-clash protection where the compiler has it. (Control-flow protection
# is left out: Debian 12's C start-up files lack the marking, so the linker drops it from
# every program and the instructions would guard nothing.) _FORTIFY_SOURCE needs
# optimisation and gets in the sanitizers' way, so debug, sanitizer and fuzzer builds go
# without it.
# Windows: address-space layout randomisation (DYNAMIC_BASE, and HIGH_ENTROPY_VA on x86_64)
# and data-execution prevention (NX_COMPAT) in every executable's header.
option(KELV_HARDEN "Build with the hardening flags" ON)

if(KELV_HARDEN AND WIN32)
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
elseif(KELV_HARDEN)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag(-fstack-clash-protection KELV_HAS_STACK_CLASH_PROTECTION)
  if(KELV_HAS_STACK_CLASH_PROTECTION)
    add_compile_options(-fstack-clash-protection)
  endif()
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  if(NOT KELV_SANITIZE AND NOT KELV_BUILD_FUZZ)
    add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  endif()
endif()
