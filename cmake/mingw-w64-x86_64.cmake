# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (GCC, posix threads).
# QUARVEL_WINDOWS_PREFIX (from the environment or -D) names the folder that holds the Windows
# builds of Qt, SQLite and gumbo; the programs' tests run under wine through the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

if(NOT QUARVEL_WINDOWS_PREFIX AND DEFINED ENV{QUARVEL_WINDOWS_PREFIX})
  set(QUARVEL_WINDOWS_PREFIX "$ENV{QUARVEL_WINDOWS_PREFIX}")
endif()
# Try-compiles see the same variables.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUARVEL_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
if(QUARVEL_WINDOWS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${QUARVEL_WINDOWS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${QUARVEL_WINDOWS_PREFIX}")
  # pkg-config reads the .pc files of the Windows builds only.
  set(ENV{PKG_CONFIG_LIBDIR} "${QUARVEL_WINDOWS_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under wine (scripts/windows/wine-run.sh sets up a private prefix and finds
# the DLLs).
get_filename_component(_quarvel_source_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_quarvel_source_root}/scripts/windows/wine-run.sh")
