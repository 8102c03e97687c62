# What both Windows targets share; a toolchain file sets TARVO_MINGW_TRIPLET
# and CMAKE_SYSTEM_PROCESSOR, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: std::thread and std::mutex need winpthreads.
set(CMAKE_C_COMPILER ${TARVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every exe stands alone: libgcc, libstdc++ and winpthreads linked in, so
# no DLL of the compiler's has to travel beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the test programs under wine.
find_program(TARVO_WINE wine)
if(TARVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVO_WINE})
endif()
