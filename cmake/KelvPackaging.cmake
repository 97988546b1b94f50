# Release packages with CPack (`cpack` in a build folder; scripts/release makes all of them).
#
# Linux: a Debian package, programs in /usr/bin and guides in /usr/share/doc/kelv-personal/;
# its dependencies on the shared libraries the programs link (unixODBC, libcurl, FLTK, ...)
# are worked out by dpkg-shlibdeps. The ODBC drivers are loaded at run time, so the one the
# installer needs for Usuarios.mdb is recommended and the others suggested.
# Windows: one ZIP per target, kelv-personal-VERSION-i686.zip or -x86_64.zip. The programs
# are linked statically and need only DLLs of Windows itself.
# Both: the programs are stripped of their symbols and debug information.
set(KELV_PACKAGE_CONTACT "Kelv Personal packaging <packaging@kelv-personal.invalid>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME ${KELV_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Kelv Personal")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Update installer of Kelv Personal and its command-line tools")
set(CPACK_PACKAGE_CONTACT ${KELV_PACKAGE_CONTACT})
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${KELV_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS odbc-mdbtools)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "tdsodbc, odbc-mariadb, odbc-postgresql")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The summary above is the first line; this is the rest.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Actualizador installs an update package of the personnel and payroll application
Kelv Personal; empaquetar packs update packages into it. Also: confbase for
enciphered connection description and branding files, acc2tsql to translate
Access queries into SQL Server text, and kelvftp, a command-line FTP client.")
endif()

include(CPack)
