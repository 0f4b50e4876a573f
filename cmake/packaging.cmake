# The Windows release of the client: `cmake --build --preset windows --target
# package` makes, in the build tree, a portable zip and a per-user installer.
# Both hold the client alone (kelva.exe, its help text, README.txt); the
# test programs and any other program of the project stay out.
if(NOT WIN32)
    return()
endif()

# A build for another default server says so in its file names, so that two
# builds are not mistaken for each other.
if(KELVA_DEFAULT_SERVER STREQUAL "localhost")
    set(KELVA_PACKAGE_NAME "KELVA-${PROJECT_VERSION}-win64")
else()
    set(KELVA_PACKAGE_NAME "KELVA-${PROJECT_VERSION}-${KELVA_DEFAULT_SERVER}-win64")
endif()

configure_file(${CMAKE_SOURCE_DIR}/resources/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS kelva RUNTIME DESTINATION . COMPONENT client)
install(FILES ${CMAKE_BINARY_DIR}/kelva.hlp ${CMAKE_BINARY_DIR}/README.txt DESTINATION . COMPONENT client)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME KELVA)
set(CPACK_PACKAGE_VENDOR KELVA)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "KELVA: IRC chat client with a Go-Moku game")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${KELVA_PACKAGE_NAME})
set(CPACK_PACKAGE_INSTALL_DIRECTORY KELVA)
# One package of the client component, whatever else the project installs.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};KELVA;client;/")
# The zip unpacks its files straight into the folder it is unpacked in.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Our own installer script (NSIS.template.in) and the installer's name.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack-generator.cmake)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_STRIP_FILES ON)
# The four-part version that Windows shows in the installer's properties.
set(CPACK_KELVA_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
include(CPack)
