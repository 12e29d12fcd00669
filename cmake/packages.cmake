# What a Linux install holds, in two components, and the two Debian
# packages that cpack makes of them, as Debian packages a program and its
# library: tessly (the program, its man page) and libtessly-dev (static
# libraries without debug information, headers, a CMake package and a
# pkg-config file). Both carry the copyright and a Debian changelog.
include(CMakePackageConfigHelpers)
set(TESSLY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tessly)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc)

# Debian compresses man pages and changelogs with gzip -9n: no name or time
# in the file, so that a build gives the same bytes each time.
set(gzipped)
foreach(file tessly.1 changelog)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${file}.gz
                     COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/doc/${file} > ${PROJECT_BINARY_DIR}/${file}.gz
                     DEPENDS ${PROJECT_SOURCE_DIR}/doc/${file})
  list(APPEND gzipped ${PROJECT_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(gzipped_docs ALL DEPENDS ${gzipped})

install(TARGETS tessly RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES ${PROJECT_BINARY_DIR}/tessly.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

# The library: find_package(Tessly) gives the imported target Tessly::tessly,
# pkg-config --libs tessly the same libraries.
install(TARGETS tessly_lib tessly_files EXPORT TesslyTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(DIRECTORY lib/include/tessly DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(EXPORT TesslyTargets NAMESPACE Tessly:: DESTINATION ${TESSLY_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(cmake/TesslyConfig.cmake.in ${PROJECT_BINARY_DIR}/TesslyConfig.cmake
                              INSTALL_DESTINATION ${TESSLY_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TesslyConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TesslyConfig.cmake ${PROJECT_BINARY_DIR}/TesslyConfigVersion.cmake
        DESTINATION ${TESSLY_CMAKE_DIR} COMPONENT dev)
configure_file(cmake/tessly.pc.in ${PROJECT_BINARY_DIR}/tessly.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tessly.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
# A stripped install (cpack, cmake --install --strip) drops the debug
# information from the static libraries too; install(TARGETS) strips only
# programs and shared libraries.
install(CODE "set(tessly_strip \"${CMAKE_STRIP}\")
  set(tessly_archives \"${CMAKE_INSTALL_LIBDIR}/libtessly*.a\")" COMPONENT dev)
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB archives "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${tessly_archives}")
    execute_process(COMMAND ${tessly_strip} --strip-debug ${archives} COMMAND_ERROR_IS_FATAL ANY)
  endif()]] COMPONENT dev)

foreach(component program dev)
  set(package tessly)
  if(component STREQUAL dev)
    set(package libtessly-dev)
  endif()
  install(FILES doc/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir}/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program dev)
set(CPACK_PACKAGE_VENDOR Tessly)
set(CPACK_PACKAGE_CONTACT "Tessly developers <tessly@example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME tessly)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "takes GAF sprite archives apart
Tessly writes each image of a GAF sprite archive as an 8-bit BMP file or a
transparent indexed PNG file, with a JSON description of each entry (origins,
header fields, frames and subframes), or splits an archive into one GAF file
per entry, copying every header and pixel row byte for byte. A palette file
can replace the built-in colours.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtessly-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libspng-dev, libgif-dev, pkgconf | pkg-config")
set(CPACK_COMPONENT_DEV_DESCRIPTION "library for GAF sprite archives - development files
libtessly reads GAF sprite archives from files or memory, walks their
entries, frames and subframes, decodes images to palette indexes, and writes
BMP files, indexed PNG files, JSON descriptions of entries and one-entry GAF
files. It reads palette files in the common forms. This package holds the
static libraries, the C++20 headers, a CMake package and a pkg-config file.")
include(CPack)
