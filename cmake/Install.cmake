# What `cmake --install` lays out under its prefix, and the Debian package
# (`cpack -G DEB`) made of it.
include(GNUInstallDirs)

set(ZQ_APP_ID br.com.renomeiazq.RenomeiaArquivosZQ)
# Where systemd looks for user units of a system-wide installation.
set(ZQ_SYSTEMD_USER_DIR lib/systemd/user)

install(TARGETS renomeia-zq renomeia-zq-setup renomeia-zq-ajuda renomeia-zq-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program's data folder beside bin/ is also how an installed program tells
# itself from a build (winfs::programDir).
install(FILES ${CMAKE_SOURCE_DIR}/data/ZQRen417.hlp DESTINATION ${CMAKE_INSTALL_DATADIR}/renomeia-zq)
# The command line's manual page, compressed as Debian keeps manual pages.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/renomeia-zq-cli.1.gz
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/data/man/renomeia-zq-cli.1 > ${CMAKE_BINARY_DIR}/renomeia-zq-cli.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/data/man/renomeia-zq-cli.1 VERBATIM)
add_custom_target(manual ALL DEPENDS ${CMAKE_BINARY_DIR}/renomeia-zq-cli.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/renomeia-zq-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(NOT WIN32)
    # The watcher as a systemd user service, not enabled by itself. Its command
    # names the program where this installation puts it (/usr/bin for the package).
    install(CODE "
        file(READ \"${CMAKE_SOURCE_DIR}/data/systemd/renomeia-zq-vigia.service.in\" unidade)
        string(REPLACE \"@BINDIR@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" unidade \"\${unidade}\")
        file(WRITE \"${CMAKE_BINARY_DIR}/renomeia-zq-vigia.service\" \"\${unidade}\")
    ")
    install(FILES ${CMAKE_BINARY_DIR}/renomeia-zq-vigia.service DESTINATION ${ZQ_SYSTEMD_USER_DIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${ZQ_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(RENOMEIA_ZQ_SCREENSHOT_URL "https://renomeiazq.com.br/docs/screenshots" CACHE STRING
    "https address under which docs/screenshots/ is published; the metainfo names its pictures there (empty: not named)")
include(${CMAKE_CURRENT_LIST_DIR}/Metainfo.cmake)
zq_render_metainfo(${CMAKE_SOURCE_DIR}/data/desktop/${ZQ_APP_ID}.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/${ZQ_APP_ID}.metainfo.xml "${RENOMEIA_ZQ_SCREENSHOT_URL}")
install(FILES ${CMAKE_BINARY_DIR}/${ZQ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME renomeia-zq)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipe Renomeia Arquivos ZQ <suporte@renomeiazq.com.br>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Renomeia os arquivos de remessa e retorno trocados com o banco")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The summary is the first line of the package description; this text follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ferramenta de escritório com que uma empresa prepara os arquivos que troca
com o seu banco por um programa de transferência: cadastro de contratos e
convênios, renomeação dos arquivos de remessa para o nome padrão do banco
(cada linha ajustada ao tamanho do registro do serviço), entrega dos arquivos
de retorno na pasta do contrato e consulta dos arquivos renomeados.")
# The libraries the programs are linked with (Qt, SQLite, libjpeg) give the
# package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's own Portuguese texts (dialog buttons and labels); without them
# the programs run with the toolkit's English texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
