# Packaging: the Debian package that `cpack -G DEB` makes in a build folder
# (ember-bastion_<version>_<arch>.deb). Included by the top-level CMakeLists.txt
# after the install rules, whose component "data" (the game's files, the icon,
# the AppStream entry) it takes whole. To that it adds a component of its own:
# the program in /usr/games, where Debian keeps games, and a desktop entry
# naming it there. A plain `cmake --install` leaves that component out and puts
# the program in bin/ (component "program"). The game finds its files from
# /usr/games by the path game/CMakeLists.txt compiles in (EB_DATA_FROM_GAMES).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(EB_PACKAGE_GAMESDIR games)

install(TARGETS EmberBastion RUNTIME DESTINATION ${EB_PACKAGE_GAMESDIR} COMPONENT deb EXCLUDE_FROM_ALL)
set(EB_EXEC ${CPACK_PACKAGING_INSTALL_PREFIX}/${EB_PACKAGE_GAMESDIR}/EmberBastion)
configure_file(${PROJECT_SOURCE_DIR}/dist/${EB_APP_ID}.desktop.in
               ${PROJECT_BINARY_DIR}/dist/deb/${EB_APP_ID}.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dist/deb/${EB_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT deb EXCLUDE_FROM_ALL)

# What Debian asks of every package: the copyright file in its machine-readable
# form, the changelog and the manual page, both compressed as dpkg expects
# (gzip -9, no name or time in the header), and the overrides of what lintian
# says about the fonts, which are Debian's own files.
set(EB_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/ember-bastion)
set(EB_DEB_DIR ${PROJECT_BINARY_DIR}/dist/deb)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/dist/changelog ${PROJECT_SOURCE_DIR}/dist/EmberBastion.6)
foreach(page changelog EmberBastion.6)
  execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/${page}
                  OUTPUT_FILE ${EB_DEB_DIR}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright ${EB_DEB_DIR}/changelog.gz
        DESTINATION ${EB_DOCDIR} COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${EB_DEB_DIR}/EmberBastion.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/dist/ember-bastion.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ember-bastion COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
# One package from two components; nothing else is installed (the tests, the
# benchmarks and the fuzz drivers have no install rules).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL data deb)
set(CPACK_STRIP_FILES ON)

# The version is the project's (the top-level project() call); the AppStream
# entry's <releases> names it too.
set(CPACK_PACKAGE_NAME ember-bastion)
set(CPACK_PACKAGE_VENDOR "Ember Bastion developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "action tower defence: hold the nexus with your hero and turrets")
# One line of the package's long description per line here, as apt shows it.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Ember Bastion joins an action game to a tower defence. Walk your hero"
       "across the field, strike the enemies that come down the roads, place"
       "turrets on the tower spots, buy upgrades with the gold that kills bring"
       "and hold the nexus through six waves on each of four levels.")
set(CPACK_DEBIAN_PACKAGE_NAME ember-bastion)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ember Bastion developers <dev@ember-bastion.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (SDL2, SDL2_mixer, GLEW, GL) as dpkg-shlibdeps
# finds them, with the versions this machine's packages require.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
