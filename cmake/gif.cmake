# giflib, which writes (and in the tests reads) GIF files. On Linux the
# Debian package (libgif-dev, which has no pkg-config file: CMake's
# FindGIF). The Windows exe links it statically: MinGW has no package of
# it, so it is compiled here from Debian's source package, which
# tools/fetch-sources.sh downloads. Debian's giflib carries patches,
# security fixes among them, so the source is unpacked with dpkg-source,
# which applies them, after the three files are checked by their SHA-256.
# Sets TESSLY_GIF to the target to link.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GIF 5 REQUIRED)
  set(TESSLY_GIF GIF::GIF)
  return()
endif()

set(TESSLY_GIF_SOURCE_DIR ${PROJECT_SOURCE_DIR}/build-deps
    CACHE PATH "Where Debian's giflib source package lies (tools/fetch-sources.sh)")
set(gif_package giflib_5.2.1-2.5+deb12u1)
set(gif_files
    ${gif_package}.dsc 5206a92fd4a057768f429033a3a80bc1e06453f6c60dfec243d8188fa6ade3f4
    giflib_5.2.1.orig.tar.gz 31da5562f44c5f15d63340a09a4fd62b48c45620cd302f77a6d9acf0077879bd
    ${gif_package}.debian.tar.xz efa4369de943f7918c2b0b049a125268937ab12039ea6ed01d34ab2125def0df)
while(gif_files)
  list(POP_FRONT gif_files name sha256)
  set(path ${TESSLY_GIF_SOURCE_DIR}/${name})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} is missing: run tools/fetch-sources.sh")
  endif()
  file(SHA256 ${path} got_sha256)
  if(NOT got_sha256 STREQUAL sha256)
    message(FATAL_ERROR "${path} has SHA-256 ${got_sha256}, not ${sha256}")
  endif()
endwhile()
set(gif_dir ${PROJECT_BINARY_DIR}/giflib-5.2.1)
if(NOT EXISTS ${gif_dir}/egif_lib.c)
  find_program(DPKG_SOURCE dpkg-source REQUIRED)
  execute_process(COMMAND ${DPKG_SOURCE} --no-check -x ${TESSLY_GIF_SOURCE_DIR}/${gif_package}.dsc ${gif_dir}
                  OUTPUT_QUIET RESULT_VARIABLE unpacked)
  if(NOT unpacked EQUAL 0)
    message(FATAL_ERROR "dpkg-source could not unpack ${gif_package}.dsc")
  endif()
endif()
enable_language(C)
add_library(tessly_gif STATIC
  ${gif_dir}/dgif_lib.c ${gif_dir}/egif_lib.c ${gif_dir}/gif_err.c ${gif_dir}/gif_hash.c
  ${gif_dir}/gifalloc.c ${gif_dir}/openbsd-reallocarray.c)
target_include_directories(tessly_gif SYSTEM PUBLIC ${gif_dir})
set(TESSLY_GIF tessly_gif)
