# The Debian package: install rules for the three programs and the desktop files, and CPack's DEB
# generator. "cpack --config <build>/CPackConfig.cmake" makes roomdesk_<version>_<arch>.deb from
# the built tree; ./run package does so from an optimised one.
include(GNUInstallDirs)

set(ROOMDESK_MAINTAINER "Vellaris roomdesk team <roomdesk@vellaris.example>" CACHE STRING
    "The package's maintainer, \"Name <address>\"")
set(ROOMDESK_HOMEPAGE "https://vellaris.example/ambrel" CACHE STRING
    "The project's home page; the repository's files are published below it")
# The metainfo's screenshot: a picture kept in the repository's docs/, named by its address below
# the home page (AppStream wants a web address; software centres fetch it from there).
set(ROOMDESK_SCREENSHOT docs/guide/room-speaker.png)
set(ROOMDESK_SCREENSHOT_URL "${ROOMDESK_HOMEPAGE}/${ROOMDESK_SCREENSHOT}")
set(ROOMDESK_RELEASE_DATE 2026-12-09)

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

foreach(program roomdesk tarnsim roomctl)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Man pages, compressed as Debian keeps them (gzip -9n: no name or time stamp inside).
find_program(ROOMDESK_GZIP gzip)
if(ROOMDESK_GZIP)
  set(man_pages)
  foreach(page roomdesk.1 tarnsim.1 roomctl.1)
    set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${ROOMDESK_GZIP} -9n -c ${packaging_dir}/man/${page} > ${out}
      DEPENDS ${packaging_dir}/man/${page}
      VERBATIM)
    list(APPEND man_pages ${out})
  endforeach()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${ROOMDESK_GZIP} -9n -c ${packaging_dir}/changelog > ${CMAKE_BINARY_DIR}/man/changelog.gz
    DEPENDS ${packaging_dir}/changelog
    VERBATIM)
  add_custom_target(package_docs ALL DEPENDS ${man_pages} ${CMAKE_BINARY_DIR}/man/changelog.gz)
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/man/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${packaging_dir}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

configure_file(${packaging_dir}/${ROOMDESK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${ROOMDESK_APP_ID}.metainfo.xml @ONLY)
if(TARGET roomdesk)
  install(FILES ${packaging_dir}/${ROOMDESK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/${ROOMDESK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${packaging_dir}/icons/${ROOMDESK_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    install(FILES ${packaging_dir}/icons/${ROOMDESK_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${ROOMDESK_APP_ID}.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME roomdesk)
set(CPACK_PACKAGE_VENDOR Vellaris)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ROOMDESK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desk for networked powered loudspeakers")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${packaging_dir}/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ROOMDESK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ROOMDESK_HOMEPAGE}")
# The libraries the programs link come from dpkg-shlibdeps; the skin's QML modules and its font
# are loaded at run time, so no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtquick-window, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtqml-workerscript, fonts-dejavu-core")
# Without it a Wayland desktop runs the desk through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
include(CPack)

if(ROOMDESK_TESTS AND TARGET roomdesk AND TARGET tarnsim AND TARGET roomctl)
  # The desktop entry and the metainfo, for everyone (skipped without their validators).
  add_test(NAME package_metadata COMMAND bash ${packaging_dir}/check-metadata.sh ${CMAKE_BINARY_DIR})
  # The package made from this tree, installed into this machine, checked and removed: only as root
  # and when allowed (ROOMDESK_INSTALL_TEST=1 or CI=true); skipped with the reason otherwise.
  add_test(NAME package_install COMMAND bash ${packaging_dir}/install-test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package_metadata PROPERTIES LABELS unit SKIP_RETURN_CODE 77)
  set_tests_properties(package_install PROPERTIES LABELS integration SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
