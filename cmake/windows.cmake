# The Windows build, cross-built with mingw-w64 (cmake/toolchain-*.cmake).
# None of the Linux side's libraries is looked up: every folder builds its
# platform-free files with the _win32/_gdi/_wic twins of the Linux ones.
# GoogleTest and zint are compiled from Debian's sources by the same
# compilers, into the build tree.

# The Windows headers: wide-character calls by default, no min and max macros.
add_compile_definitions(UNICODE _UNICODE NOMINMAX)

# The program's resources (resources/tarvousb.rc) go through windres.
enable_language(RC)

# Google Benchmark has no Windows build here.
set(TARVO_BUILD_BENCH OFF)

if(TARVO_BUILD_TESTS)
  set(TARVO_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest's source (Debian's googletest package)")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARVO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
    EXCLUDE_FROM_ALL SYSTEM)
endif()

# zint, for the slips' bars: only its static library, built from the
# unpacked Debian source package that scripts/build-windows fetches.
set(TARVO_ZINT_SOURCE_DIR "" CACHE PATH "zint's source (Debian's zint source package)")
if(TARVO_ZINT_SOURCE_DIR)
  include(ExternalProject)
  set(zint_root ${CMAKE_BINARY_DIR}/zint)
  ExternalProject_Add(zint_build
    SOURCE_DIR ${TARVO_ZINT_SOURCE_DIR}
    PREFIX ${zint_root}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
      -DZINT_STATIC=ON -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target zint-static
    INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory ${zint_root}/include ${zint_root}/lib
      COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/backend/zint.h ${zint_root}/include/
      COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/backend/libzint-static.a ${zint_root}/lib/
    BUILD_BYPRODUCTS ${zint_root}/lib/libzint-static.a)
  add_library(tarvo_zint INTERFACE)
  target_include_directories(tarvo_zint SYSTEM INTERFACE ${zint_root}/include)
  target_link_libraries(tarvo_zint INTERFACE ${zint_root}/lib/libzint-static.a)
  add_dependencies(tarvo_zint zint_build)
endif()
