# What `cmake --install` and the Debian packages carry beside the programs,
# and CPack's description of the two packages: dovrel (the window program and
# dovrelctl) and dovrel-standin (the SQL Server stand-in, for training and
# demonstrations). scripts/package.sh builds them.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# Man pages and the changelog are installed compressed, as Debian wants them.
foreach(page dovrel dovrelctl dovrel-standin)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${packaging}/man/${page}.1 > ${gz}
    DEPENDS ${packaging}/man/${page}.1 VERBATIM)
  list(APPEND compressed ${gz})
  set(component dovrel)
  if(page STREQUAL "dovrel-standin")
    set(component standin)
  endif()
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endforeach()
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${packaging}/changelog > ${changelog}
  DEPENDS ${packaging}/changelog VERBATIM)
add_custom_target(dovrel_packaging_files ALL DEPENDS ${compressed} ${changelog})

install(FILES ${packaging}/dovrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT dovrel)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/dovrel-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME dovrel.png COMPONENT dovrel)
endforeach()
install(FILES ${packaging}/icons/dovrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  COMPONENT dovrel)
foreach(component dovrel standin)
  set(package dovrel)
  if(component STREQUAL "standin")
    set(package dovrel-standin)
  endif()
  install(FILES ${packaging}/copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME dovrel)
set(CPACK_PACKAGE_VENDOR "The Dovrel developers")
set(CPACK_PACKAGE_CONTACT "The Dovrel developers <dovrel@example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL dovrel standin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")

set(CPACK_DEBIAN_DOVREL_PACKAGE_NAME dovrel)
# The ODBC driver is loaded by name at run time, so no link reveals it.
set(CPACK_DEBIAN_DOVREL_PACKAGE_DEPENDS "tdsodbc, adduser")
set(CPACK_DEBIAN_DOVREL_PACKAGE_RECOMMENDS "libcap2-bin, fonts-wqy-microhei")
set(CPACK_DEBIAN_DOVREL_PACKAGE_CONTROL_EXTRA "${packaging}/debian/postinst;${packaging}/debian/postrm")
set(CPACK_DEBIAN_DOVREL_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_DOVREL_DESCRIPTION
  "connection settings of the HR, attendance and payroll client\n\
Dovrel sets up how a workstation reaches the Microsoft SQL Server database of\n\
the HR, attendance and payroll application: a window that checks the server,\n\
lists its databases, tests the connection with a written diagnosis and saves\n\
the machine-wide settings, and dovrelctl, the same for scripts.")

set(CPACK_DEBIAN_STANDIN_PACKAGE_NAME dovrel-standin)
set(CPACK_COMPONENT_STANDIN_DESCRIPTION
  "SQL Server stand-in for Dovrel training and demonstrations\n\
A small server that speaks SQL Server's wire protocol on the loopback\n\
interface and keeps its databases in SQLite files, so that Dovrel can be\n\
tried and demonstrated without a SQL Server.")

include(CPack)
