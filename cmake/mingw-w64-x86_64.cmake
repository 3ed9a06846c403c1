# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, so that std::thread and std::mutex work). Static: the executables need no
# DLLs beside them. Under CMAKE_CROSSCOMPILING_EMULATOR (Wine) ctest runs the test binary.
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WORTSAMMLER_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WORTSAMMLER_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WORTSAMMLER_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${WORTSAMMLER_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WORTSAMMLER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 and later: inet_pton and friends of Winsock are declared from Vista (0x0600) on.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DWIN32_LEAN_AND_MEAN -DNOMINMAX")
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# OpenSSL for the https client: the static build that scripts/openssl-mingw.sh makes, named by
# its install prefix (-DWORTSAMMLER_OPENSSL_MINGW=...). FindOpenSSL's MinGW names are preset.
if(WORTSAMMLER_OPENSSL_MINGW)
  set(OPENSSL_USE_STATIC_LIBS TRUE)
  set(OPENSSL_INCLUDE_DIR ${WORTSAMMLER_OPENSSL_MINGW}/include CACHE PATH "OpenSSL headers")
  set(LIB_EAY ${WORTSAMMLER_OPENSSL_MINGW}/lib/libcrypto.a CACHE FILEPATH "OpenSSL libcrypto")
  set(SSL_EAY ${WORTSAMMLER_OPENSSL_MINGW}/lib/libssl.a CACHE FILEPATH "OpenSSL libssl")
endif()

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(WORTSAMMLER_WINE NAMES wine wine64)
  if(WORTSAMMLER_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${WORTSAMMLER_WINE})
  endif()
endif()
