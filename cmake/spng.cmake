# libspng, which writes (and in the tests reads) PNG files. On Linux the
# Debian package, through pkg-config. The Windows exe links it statically:
# MinGW has no package of it, so it is compiled here from Debian's source
# package, which tools/fetch-sources.sh downloads, checked by its
# SHA-256. Sets TESSLY_SPNG to the target to link.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)
  set(TESSLY_SPNG PkgConfig::SPNG)
  return()
endif()

set(TESSLY_SPNG_SOURCE ${PROJECT_SOURCE_DIR}/build-deps/libspng_0.7.3.orig.tar.gz
    CACHE FILEPATH "Debian's libspng source tarball (tools/fetch-sources.sh)")
set(spng_sha256 a50cadbe808ffda1a7fab17d145f52a23b163f34b3eb3696c7ecb5a52340fc1d)
if(NOT EXISTS ${TESSLY_SPNG_SOURCE})
  message(FATAL_ERROR "${TESSLY_SPNG_SOURCE} is missing: run tools/fetch-sources.sh")
endif()
file(SHA256 ${TESSLY_SPNG_SOURCE} got_sha256)
if(NOT got_sha256 STREQUAL spng_sha256)
  message(FATAL_ERROR "${TESSLY_SPNG_SOURCE} has SHA-256 ${got_sha256}, not ${spng_sha256}")
endif()
set(spng_dir ${PROJECT_BINARY_DIR}/libspng-0.7.3)
if(NOT EXISTS ${spng_dir}/spng/spng.c)
  file(ARCHIVE_EXTRACT INPUT ${TESSLY_SPNG_SOURCE} DESTINATION ${PROJECT_BINARY_DIR} PATTERNS libspng-0.7.3/spng)
endif()
enable_language(C)
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
add_library(tessly_spng STATIC ${spng_dir}/spng/spng.c)
target_compile_definitions(tessly_spng PUBLIC SPNG_STATIC)
target_include_directories(tessly_spng SYSTEM PUBLIC ${spng_dir}/spng)
target_link_libraries(tessly_spng PRIVATE ZLIB::ZLIB)
set(TESSLY_SPNG tessly_spng)
