# Debian's hardening flags, the set dpkg-buildflags gives with hardening=+all: the stack
# protector, glibc's checked functions (_FORTIFY_SOURCE=2), position-independent programs and
# relocations made read-only and bound at start-up (RELRO, BIND_NOW); on x86 also control-flow
# protection, which hardening-check asks for. They reach every object, the libraries' and the
# tests' alike. scripts/package.sh and ./test.sh turn them on; a sanitizer build goes without
# them (the sanitizers bring their own checks).
option(TARNIK_HARDENING "Build with Debian's hardening flags" OFF)
if(TARNIK_HARDENING AND NOT TARNIK_SANITIZE AND NOT TARNIK_FUZZ)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  # glibc checks only optimised code: a build without the optimiser goes without them. The
  # compiler may set its own level first.
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
    add_compile_options(-fcf-protection)
  endif()
endif()
