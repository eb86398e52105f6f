# The build folder bin/ becomes lib/papyrant/ under the prefix, with links to the programs in bin/.
include(GNUInstallDirs)
set(PAPYRANT_INSTALL_DIR lib/papyrant)
install(DIRECTORY ${PAPYRANT_BIN_DIR}/ DESTINATION ${PAPYRANT_INSTALL_DIR} USE_SOURCE_PERMISSIONS)
# The programs come with the folder, not as targets, so `cmake --install --strip` (and CPack) strips them here,
# as Debian's packaging tools would.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program papyrant padprint papyrant-platform papyrant-convert)
            set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PAPYRANT_INSTALL_DIR}/\${program}\")
            if(EXISTS \"\${file}\")
                execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                        \"\${file}\" COMMAND_ERROR_IS_FATAL ANY)
            endif()
        endforeach()
    endif()")
foreach(program papyrant padprint papyrant-platform papyrant-convert)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${PAPYRANT_INSTALL_DIR}/${program}\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/papyrant.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/papyrant.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/tools/papyrant-convert/completion.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME papyrant-convert)
