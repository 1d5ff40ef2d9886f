# The Windows program: what `cmake --install` lays out under its prefix, and
# the target windows-packages, which makes of it the installer
# renomeia-zq-<version>-setup.exe (NSIS) and the zip of the same files.
#
#   bin/                      the four programs, the Qt DLLs and plugins they
#                             load, the mingw runtime DLLs, and the toolkit's
#                             Portuguese texts in bin/translations/
#   share/renomeia-zq/        the help file; beside bin/ it also tells an
#                             installed program from a build (winfs::programDir)
#   renomeia-zq.ico           the icon of the Start menu entry
#
# No windeployqt here: the DLLs and plugins are listed by hand. The window
# programs load the windows platform and the windowsvista style; images are
# drawn in code, the about picture is decoded with libjpeg (linked in, as is
# SQLite): no image plugin.

set(ZQ_ICON ${CMAKE_SOURCE_DIR}/data/icons/renomeia-zq.ico)
# The programs carry the icon (the window class takes IDI_ICON1).
file(WRITE ${CMAKE_BINARY_DIR}/renomeia-zq.rc "IDI_ICON1 ICON \"${ZQ_ICON}\"\n")
foreach(program renomeia-zq renomeia-zq-setup renomeia-zq-ajuda)
    target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/renomeia-zq.rc)
endforeach()
# The window programs are no console programs; the command line is.
set_target_properties(renomeia-zq renomeia-zq-setup renomeia-zq-ajuda PROPERTIES WIN32_EXECUTABLE ON)

install(TARGETS renomeia-zq renomeia-zq-setup renomeia-zq-ajuda renomeia-zq-cli RUNTIME DESTINATION bin)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION bin)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION bin/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION bin/styles)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path "${path}" REALPATH)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler's ${dll} was not found")
    endif()
    install(FILES ${path} DESTINATION bin)
endforeach()
install(FILES ${ZQ_QT_CATALOGUE} DESTINATION bin/translations)
install(FILES ${CMAKE_SOURCE_DIR}/data/ZQRen417.hlp DESTINATION share/renomeia-zq)
install(FILES ${ZQ_ICON} DESTINATION .)

find_program(ZQ_MAKENSIS makensis REQUIRED)
set(ZQ_SETUP_EXE ${CMAKE_BINARY_DIR}/renomeia-zq-${PROJECT_VERSION}-setup.exe)
set(ZQ_ZIP ${CMAKE_BINARY_DIR}/renomeia-zq-${PROJECT_VERSION}-windows-x64.zip)
add_custom_target(windows-packages
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DVERSION=${PROJECT_VERSION}
            -DSTRIP=${CMAKE_STRIP} -DMAKENSIS=${ZQ_MAKENSIS} -DSCRIPT=${CMAKE_SOURCE_DIR}/data/windows/renomeia-zq.nsi
            -DSETUP=${ZQ_SETUP_EXE} -DZIP=${ZQ_ZIP} -P ${CMAKE_SOURCE_DIR}/cmake/WindowsPackages.cmake
    DEPENDS renomeia-zq renomeia-zq-setup renomeia-zq-ajuda renomeia-zq-cli
    BYPRODUCTS ${ZQ_SETUP_EXE} ${ZQ_ZIP}
    COMMENT "Installer and zip of the Windows program"
    VERBATIM)
