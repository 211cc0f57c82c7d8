# What `cmake --install` puts in place, in four parts (CMake components),
# and the four Debian packages that `cpack -G DEB` makes of them:
#   programs     grulo       grulo, grulo-tables, grulo-gen, the manual page,
#                            the documentation
#   runtime      libgrulo1   the shared grouping library, libgrulo.so.1
#   development  libgrulo-dev  the headers, libgrulo.so, the static libgrulo.a,
#                            a CMake package (find_package(grulo) gives
#                            grulo::grulo), a pkg-config file, the examples
#   python       python3-grulo  the Python module (python/CMakeLists.txt),
#                            built for one CPython version
# Libraries go into the multiarch directory (lib/x86_64-linux-gnu on 64-bit
# PCs, see CMAKE_INSTALL_LIBDIR in CMakeLists.txt); the packages hold
# stripped binaries, a compressed manual page and changelog, and a copyright
# file each. docs/library.md says what lintian says of them.

include(CMakePackageConfigHelpers)

install(TARGETS grulo grulo-tables grulo-gen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT programs)
set_target_properties(grulo_shared PROPERTIES EXPORT_NAME grulo)
set_target_properties(grulo_static PROPERTIES EXPORT_NAME grulo_static)
install(TARGETS grulo_shared grulo_static EXPORT gruloTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
                NAMELINK_COMPONENT development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/grulo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT development)

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/grulo)
install(EXPORT gruloTargets NAMESPACE grulo:: DESTINATION ${cmake_dir} COMPONENT development)
file(WRITE ${CMAKE_BINARY_DIR}/gruloConfig.cmake.in
     "@PACKAGE_INIT@\ninclude(\"\${CMAKE_CURRENT_LIST_DIR}/gruloTargets.cmake\")\n")
configure_package_config_file(${CMAKE_BINARY_DIR}/gruloConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/gruloConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/gruloConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/gruloConfig.cmake ${CMAKE_BINARY_DIR}/gruloConfigVersion.cmake
        DESTINATION ${cmake_dir} COMPONENT development)

# The pkg-config file finds the prefix from its own place, however deep the
# library directory lies.
file(RELATIVE_PATH GRULO_PC_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_SOURCE_DIR}/cmake/grulo.pc.in ${CMAKE_BINARY_DIR}/grulo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/grulo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT development)

# Each package's documentation directory holds its copyright file and a
# compressed changelog; the programs' one also the README and docs/, the
# development files' one the examples.
set(GRULO_PACKAGE_MAINTAINER "The grulo developers <grulo@example.org>" CACHE STRING
    "The maintainer named in the Debian packages and their changelog")
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${CMAKE_BINARY_DIR}/package/changelog
     "grulo (${PROJECT_VERSION}-1) unstable; urgency=medium\n\n"
     "  * Packaged from the grulo ${PROJECT_VERSION} sources.\n\n"
     " -- ${GRULO_PACKAGE_MAINTAINER}  ${changelog_date}\n")
set(gzipped ${CMAKE_BINARY_DIR}/package/gz)
file(MAKE_DIRECTORY ${gzipped})
find_program(GRULO_GZIP gzip REQUIRED)
# gzip -9n: the best compression, no name or time inside, as Debian wants it.
function(grulo_gzip source target)
  add_custom_command(OUTPUT ${gzipped}/${target}
                     COMMAND ${GRULO_GZIP} -9nc ${source} > ${gzipped}/${target}
                     DEPENDS ${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY GRULO_GZIPPED ${gzipped}/${target})
endfunction()
grulo_gzip(${CMAKE_BINARY_DIR}/package/changelog changelog.Debian.gz)

set(doc_root ${CMAKE_INSTALL_DATAROOTDIR}/doc)
set(grulo_package_programs grulo)
set(grulo_package_runtime libgrulo1)
set(grulo_package_development libgrulo-dev)
set(grulo_package_python python3-grulo)
set(grulo_components programs runtime development)
if(TARGET grulo_python)
  list(APPEND grulo_components python)
endif()
foreach(component ${grulo_components})
  set(package ${grulo_package_${component}})
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/copyright ${gzipped}/changelog.Debian.gz
          DESTINATION ${doc_root}/${package} COMPONENT ${component})
endforeach()

file(GLOB doc_files ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${doc_files} DESTINATION ${doc_root}/grulo
        COMPONENT programs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples DESTINATION ${doc_root}/libgrulo-dev
        COMPONENT development)
file(GLOB man_pages ${CMAKE_SOURCE_DIR}/docs/*.[1-9])
foreach(page ${man_pages})
  get_filename_component(name ${page} NAME)
  get_filename_component(extension ${page} LAST_EXT)
  string(SUBSTRING ${extension} 1 -1 section)
  grulo_gzip(${page} ${name}.gz)
  install(FILES ${gzipped}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
          COMPONENT programs)
endforeach()
get_property(gzipped_files GLOBAL PROPERTY GRULO_GZIPPED)
add_custom_target(grulo_gzipped ALL DEPENDS ${gzipped_files})

# The Debian packages. A description is its synopsis, then paragraphs that
# CPack indents (an empty line parts them).
set(CPACK_PACKAGE_NAME grulo)
set(CPACK_PACKAGE_VENDOR "grulo")
set(CPACK_PACKAGE_CONTACT "${GRULO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(CONCAT grulo_description_tail
       "Each summary is one fixed-width line. Every field is checked against a\n"
       "catalogue of numbered errors, the diagnosis and act codes are looked up\n"
       "in two binary tables, and a decision tree stored in a third gives the\n"
       "summary's group.\n\n")
string(CONCAT CPACK_DEBIAN_PROGRAMS_DESCRIPTION
       "grouping of follow-up care and rehabilitation summaries\n"
       "grulo checks and groups the weekly summaries of follow-up care and\n"
       "rehabilitation stays, writing a result file and an error report.\n"
       "${grulo_description_tail}"
       "This package holds the programs grulo, grulo-tables (the table\n"
       "toolkit) and grulo-gen (synthetic summaries), and the documentation.")
string(CONCAT CPACK_DEBIAN_RUNTIME_DESCRIPTION
       "grouping library for follow-up care and rehabilitation summaries\n"
       "libgrulo groups one summary line at a time from C and C++, exactly as\n"
       "the grulo batch program does.\n"
       "${grulo_description_tail}"
       "This package holds the shared library.")
string(CONCAT CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
       "grouping library for rehabilitation summaries - development files\n"
       "libgrulo groups one summary line at a time from C and C++, exactly as\n"
       "the grulo batch program does.\n"
       "${grulo_description_tail}"
       "This package holds the C and C++ headers, the static library, the\n"
       "CMake package and pkg-config file, and examples. A static link needs\n"
       "the C++ standard library's static archive (libstdc++-12-dev).")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME grulo)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libgrulo1)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libgrulo-dev)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The shared library's dependency information (shlibs) for the packages that
# link it, and the trigger that refreshes the linker's cache. (CPack then
# warns that the Python module has no soname: it is no library to link
# against, and needs none.)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
file(WRITE ${CMAKE_BINARY_DIR}/package/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libgrulo1 (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "libstdc++-12-dev")

# The lintian tags that remain, explained in docs/library.md, are overridden
# in each package.
set(overrides ${CMAKE_BINARY_DIR}/package/overrides)
foreach(component ${grulo_components})
  set(package ${grulo_package_${component}})
  set(text "# Packages built from the grulo sources, not uploaded to Debian: no bug\n"
           "# to close.\n${package}: initial-upload-closes-no-bugs\n")
  if(component STREQUAL "runtime")
    string(APPEND text "# CPack's own postinst and postrm call ldconfig, besides the trigger.\n"
                       "libgrulo1: maintscript-calls-ldconfig [postinst]\n"
                       "libgrulo1: maintscript-calls-ldconfig [postrm]\n")
  elseif(component STREQUAL "programs")
    string(APPEND text "# grulo-tables and grulo-gen document themselves with --help and in\n"
                       "# /usr/share/doc/grulo (table-formats.md, generator.md).\n"
                       "grulo: no-manual-page [usr/bin/grulo-gen]\n"
                       "grulo: no-manual-page [usr/bin/grulo-tables]\n")
  endif()
  file(WRITE ${overrides}/${package} ${text})
  install(FILES ${overrides}/${package} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          COMPONENT ${component})
endforeach()

if(TARGET grulo_python)
  # The module is built for the one CPython version it was compiled against.
  list(APPEND CPACK_COMPONENTS_ALL python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-grulo)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  string(REGEX REPLACE "^([0-9]+)\\.([0-9]+).*" "\\1;\\2" python_version "${GRULO_PYTHON_VERSION}")
  list(GET python_version 0 python_major)
  list(GET python_version 1 python_minor)
  math(EXPR python_next "${python_minor} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3 (>= ${python_major}.${python_minor}), python3 (<< ${python_major}.${python_next})")
  # grulo.read_frame gives pandas data frames; the Dask example needs Dask.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-pandas, python3-dask, python3-distributed")
  string(CONCAT CPACK_DEBIAN_PYTHON_DESCRIPTION
         "grouping of follow-up care and rehabilitation summaries - Python 3\n"
         "The grulo package groups summary lines and whole files from Python,\n"
         "exactly as the grulo batch program does, into bytes, counters or\n"
         "pandas data frames.\n"
         "${grulo_description_tail}"
         "This package holds the module for Python ${python_major}.${python_minor}.")
endif()
include(CPack)
