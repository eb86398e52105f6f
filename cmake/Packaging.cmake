# A Debian package of what cmake/Install.cmake installs: `cpack -G DEB` in a build folder configured with
# -DCMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both).
set(CPACK_PACKAGE_NAME papyrant)
set(CPACK_PACKAGE_VENDOR "Papyrant")
set(CPACK_PACKAGE_CONTACT "Papyrant developers <dev@papyrant.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns a batch of XML files into PDF files")
set(CPACK_PACKAGE_DESCRIPTION "Papyrant is a one-window tool that turns a batch of XML files into PDF files.
It has a word-pad program print each file to a virtual PDF printer, with the
PDF's place set for every file. The package holds the window, padprint (the
print-only word pad with its PDF printer), papyrant-platform, which sets
the printer up for a user (each user runs papyrant-platform setup once), and
papyrant-convert, which converts files and folders in parallel without the
window, for scripts and servers.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The libraries come from dpkg-shlibdeps; padprint draws its text in DejaVu Sans Mono and falls back, for what
# that face lacks, to the faces print/FontFallback.cpp names (recommended: without them the print-outs show
# placeholders for those scripts, and keep their text).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window icon is an SVG, drawn by Qt's SVG plugins, which no linked library names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, fonts-ipafont-gothic, fonts-naver-d2coding, \
fonts-arphic-bsmi00lp, fonts-lohit-deva, fonts-lohit-beng-bengali, fonts-lohit-guru, fonts-lohit-gujr, \
fonts-lohit-orya, fonts-lohit-taml, fonts-lohit-telu, fonts-lohit-knda, fonts-lohit-mlym, fonts-tlwg-typo-ttf, \
fonts-symbola, fonts-hosny-amiri")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What Debian asks of every package: the copyright, a changelog and manual pages compressed with gzip -9n, and
# the overrides of the checks that do not fit this package. (The date follows SOURCE_DATE_EPOCH when it is set.)
set(PAPYRANT_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/cmake/debian)
set(PAPYRANT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/papyrant)
string(TIMESTAMP PAPYRANT_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PAPYRANT_DEBIAN_DIR}/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog.Debian @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
install(FILES ${PAPYRANT_DEBIAN_DIR}/copyright ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
        DESTINATION ${PAPYRANT_DOC_DIR})
foreach(page papyrant padprint papyrant-platform papyrant-convert)
    configure_file(${PAPYRANT_DEBIAN_DIR}/man/${page}.1 ${CMAKE_BINARY_DIR}/debian/man/${page}.1 COPYONLY)
    execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/debian/man/${page}.1)
    install(FILES ${CMAKE_BINARY_DIR}/debian/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${PAPYRANT_DEBIAN_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME papyrant)

include(CPack)
