# CPack: Debian packages split as Debian splits a library, with a tarball
# of the same tree beside them, and on Windows one .zip.  Configure with
# CMAKE_INSTALL_PREFIX=/usr (the `packages` preset) for Debian's layout.
set(TAMBERLO_PACKAGE_CONTACT "Tamberlo maintainers <maintainers@tamberlo.invalid>"
  CACHE STRING "Maintainer of the Debian packages: Name <address>.")

set(CPACK_PACKAGE_NAME Tamberlo)
set(CPACK_PACKAGE_VENDOR "Tamberlo")
set(CPACK_PACKAGE_CONTACT ${TAMBERLO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

set(tamberlo_long_description
  "A message family exists in several versions; only the newest stores data,\n"
  "and every older version is a live view of the next newer one, converting\n"
  "units where the versions differ.")
string(CONCAT tamberlo_long_description ${tamberlo_long_description})

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "versioned messages library\n${tamberlo_long_description}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "versioned messages library - development files\n${tamberlo_long_description}\n\nThis package holds the headers, the CMake package and the pkg-config file.")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_PELLORY_DESCRIPTION
  "console program exercising the Tamberlo library\nPellory writes a latitude and an altitude through one version of a message\nand reads them back through an older one.")
set(CPACK_COMPONENT_PELLORY_DEPENDS runtime)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # dpkg-shlibdeps finds the C++ runtime the binaries need; the library
  # itself is not installed yet, so it is found in the build tree, and
  # the packages name it through their component dependencies, at the same
  # version: Pellory compiles the library's layouts into itself.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtamberlo${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_MULTIARCH same)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtamberlo-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_MULTIARCH same)
  # Records' headers need nlohmann/json's; apt installs a recommended
  # package by default, so they compile out of the box, and a client that
  # does not use them may leave it out.
  if(TARGET tamberlo_records)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_RECOMMENDS
      "nlohmann-json3-dev (>= 3.11)")
  endif()
  set(CPACK_DEBIAN_PELLORY_PACKAGE_NAME pellory)
  set(CPACK_DEBIAN_PELLORY_PACKAGE_SECTION utils)

  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  # The ldconfig trigger; CPack's own postinst also calls ldconfig.
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/triggers)

  # One package per component; the licence component is for the plain
  # install and the archives, since each package carries the licence in
  # its copyright file.
  set(CPACK_COMPONENTS_ALL runtime development)
  if(TARGET pellory)
    list(APPEND CPACK_COMPONENTS_ALL pellory)
  endif()

  # Every Debian package carries its copyright file and a changelog,
  # compressed as Debian requires, and every program its manual page.
  # The copyright files and changelogs are the packages' alone: a plain
  # install, or the tarball, leaves them out.
  find_program(TAMBERLO_GZIP gzip REQUIRED)
  # The copyright file states the terms of LICENSE, from "Permission" on,
  # in Debian's format: every line indented, an empty one written " .".
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(FIND "${licence}" "Permission" terms_start)
  string(SUBSTRING "${licence}" ${terms_start} -1 terms)
  string(STRIP "${terms}" terms)
  string(REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REPLACE "\n" "\n " terms "${terms}")
  set(TAMBERLO_LICENCE_TERMS " ${terms}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in
    ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
  string(TIMESTAMP TAMBERLO_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
    ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
  execute_process(COMMAND ${TAMBERLO_GZIP} -9nkf changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${TAMBERLO_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/pellory.1
    OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/pellory.1.gz
    COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/packaging/pellory.1 ${PROJECT_SOURCE_DIR}/LICENSE)
  set(tamberlo_packages runtime libtamberlo${PROJECT_VERSION_MAJOR}
    development libtamberlo-dev)
  if(TARGET pellory)
    list(APPEND tamberlo_packages pellory pellory)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/pellory.1.gz
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT pellory)
  endif()
  while(tamberlo_packages)
    list(POP_FRONT tamberlo_packages component package)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright
      ${PROJECT_BINARY_DIR}/packaging/changelog.gz
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
      COMPONENT ${component} EXCLUDE_FROM_ALL)
  endwhile()
endif()

include(CPack)
