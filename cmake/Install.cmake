# The build folder bin/ becomes lib/papyrant/ under the prefix, with links to the programs in bin/.
include(GNUInstallDirs)
set(PAPYRANT_INSTALL_DIR lib/papyrant)
install(DIRECTORY ${PAPYRANT_BIN_DIR}/ DESTINATION ${PAPYRANT_INSTALL_DIR} USE_SOURCE_PERMISSIONS)
foreach(program papyrant padprint papyrant-platform)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${PAPYRANT_INSTALL_DIR}/${program}\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/papyrant.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/papyrant.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
