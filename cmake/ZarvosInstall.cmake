# Install rules and the Debian package.
#
# An installed copy keeps the collection and the help in share/zarvos beside
# bin/ (found relative to the program, so any prefix works) and each user's
# games and scores in a per-user data folder; the program folder is never
# written. `cpack -G DEB` in a Release build tree makes the package.
include(GNUInstallDirs)

set(ZARVOS_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ZARVOS_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zarvos)
set(ZARVOS_FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(ZARVOS_DIR_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                           WORLD_EXECUTE)
# Folders made on the way to a file get the usual 755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${ZARVOS_DIR_PERMISSIONS})

# The release notes and the Debian changelog name the version they describe;
# a version change without a new entry in both would ship stale notes.
file(READ ${ZARVOS_PACKAGING_DIR}/zarvos.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo}")
set(metainfo_version "${CMAKE_MATCH_1}")
file(STRINGS ${ZARVOS_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
string(REGEX MATCH "^zarvos \\(([^)]*)\\)" _ "${changelog_head}")
set(changelog_version "${CMAKE_MATCH_1}")
if(NOT metainfo_version STREQUAL PROJECT_VERSION OR NOT changelog_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "Version ${PROJECT_VERSION} needs its entry in packaging/zarvos.metainfo.xml "
                      "(newest: ${metainfo_version}) and packaging/changelog (newest: ${changelog_version})")
endif()

foreach(program IN ITEMS zarvos zarvos-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(DIRECTORY ${ZARVOS_DATA_SOURCE}/ DESTINATION ${ZARVOS_SHARE_DIR}
        FILE_PERMISSIONS ${ZARVOS_FILE_PERMISSIONS} DIRECTORY_PERMISSIONS ${ZARVOS_DIR_PERMISSIONS})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/help DESTINATION ${ZARVOS_SHARE_DIR}
        FILE_PERMISSIONS ${ZARVOS_FILE_PERMISSIONS} DIRECTORY_PERMISSIONS ${ZARVOS_DIR_PERMISSIONS})

install(FILES ${ZARVOS_PACKAGING_DIR}/zarvos.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})
install(FILES ${ZARVOS_PACKAGING_DIR}/zarvos.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/zarvos.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/zarvos-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME zarvos.png
          PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})
endforeach()

# Manual pages and the changelog are installed compressed, without a time
# stamp in the gzip header so the package is the same at every build.
set(compressed "")
foreach(doc IN ITEMS zarvos.6 zarvos-cli.6 changelog)
  set(out ${CMAKE_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${ZARVOS_PACKAGING_DIR}/${doc} > ${out}
    DEPENDS ${ZARVOS_PACKAGING_DIR}/${doc}
    COMMENT "Compressing ${doc}")
  list(APPEND compressed ${out})
endforeach()
add_custom_target(zarvos_package_docs ALL DEPENDS ${compressed})
if(TARGET zarvos)
  add_dependencies(zarvos zarvos_package_docs) # a built game is installable
endif()
install(FILES ${CMAKE_BINARY_DIR}/packaging/zarvos.6.gz ${CMAKE_BINARY_DIR}/packaging/zarvos-cli.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${ZARVOS_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zarvos PERMISSIONS ${ZARVOS_FILE_PERMISSIONS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvos)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zarvos-Entwickler <zarvos@localhost.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sliding-block puzzle game")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${ZARVOS_PACKAGING_DIR}/description)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 and Wayland
# platform plugins and Qt's German catalogue (the standard dialogs' buttons
# of the German interface); recommended are fonts with the metrics of the
# captions' fonts, the GStreamer elements that play the success sound and
# more picture formats for the puzzle expert.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation, fonts-comic-neue, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
