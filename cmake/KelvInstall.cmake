# Where `cmake --install` puts the programs and their guides, and kelv_install_program().
#
# Linux follows the usual layout: programs in bin/, guides in share/doc/kelv-personal/.
# The Windows builds are laid out as their ZIP is unpacked: the programs at the top, the
# guides in docs/. A Windows build made on Linux has no natural place to go, so unless a
# prefix is given it installs into the build folder's install/.
if(WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX ${CMAKE_BINARY_DIR}/install CACHE PATH "Install prefix" FORCE)
endif()
include(GNUInstallDirs)

set(KELV_PACKAGE_NAME kelv-personal)

if(WIN32)
  set(KELV_INSTALL_BINDIR .)
  set(KELV_INSTALL_DOCDIR docs)
else()
  set(KELV_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(KELV_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${KELV_PACKAGE_NAME})
endif()

# kelv_install_program(target GUIDE file.md): installs the program and its guide from docs/.
function(kelv_install_program target)
  cmake_parse_arguments(I "" "GUIDE" "" ${ARGN})
  install(TARGETS ${target} RUNTIME DESTINATION ${KELV_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/${I_GUIDE} DESTINATION ${KELV_INSTALL_DOCDIR})
endfunction()

# The index of the guides goes with every installation.
install(FILES ${PROJECT_SOURCE_DIR}/docs/README.md DESTINATION ${KELV_INSTALL_DOCDIR})
