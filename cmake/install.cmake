# What `cmake --install` puts in place, and the Debian package that cpack
# makes of it: the three programs, the grouping library (shared and static)
# with its headers, a CMake package (find_package(grulo) gives grulo::grulo),
# a pkg-config file, the Python module (python/CMakeLists.txt) and the docs.

include(CMakePackageConfigHelpers)

install(TARGETS grulo grulo-tables grulo-gen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT programs)
set_target_properties(grulo_shared PROPERTIES EXPORT_NAME grulo)
set_target_properties(grulo_static PROPERTIES EXPORT_NAME grulo_static)
install(TARGETS grulo_shared grulo_static EXPORT gruloTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/grulo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT library)

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/grulo)
install(EXPORT gruloTargets NAMESPACE grulo:: DESTINATION ${cmake_dir} COMPONENT library)
file(WRITE ${CMAKE_BINARY_DIR}/gruloConfig.cmake.in
     "@PACKAGE_INIT@\ninclude(\"\${CMAKE_CURRENT_LIST_DIR}/gruloTargets.cmake\")\n")
configure_package_config_file(${CMAKE_BINARY_DIR}/gruloConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/gruloConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/gruloConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/gruloConfig.cmake ${CMAKE_BINARY_DIR}/gruloConfigVersion.cmake
        DESTINATION ${cmake_dir} COMPONENT library)

configure_file(${CMAKE_SOURCE_DIR}/cmake/grulo.pc.in ${CMAKE_BINARY_DIR}/grulo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/grulo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT library)

file(GLOB doc_files ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${doc_files} DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT docs)
file(GLOB man_pages ${CMAKE_SOURCE_DIR}/docs/*.[1-9])
foreach(page ${man_pages})
  get_filename_component(extension ${page} LAST_EXT)
  string(SUBSTRING ${extension} 1 -1 section)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT docs)
endforeach()

set(CPACK_PACKAGE_NAME grulo)
set(CPACK_PACKAGE_VENDOR "grulo")
set(CPACK_PACKAGE_CONTACT "grulo maintainers <grulo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "checks and groups weekly summaries of follow-up care and rehabilitation stays")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_FILE_NAME_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
