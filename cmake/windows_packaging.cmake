# The Windows installer and zip: `cpack` in build-windows/ (scripts/build-windows.sh runs it) makes
# Velmora-<version>-win64.exe (NSIS) and Velmora-<version>-win64.zip. Both hold the program
# folder: velmora.exe, IMAGE.DLL, the help in doc/ and the certificate authorities in cacert.pem.

# The image library comes from the libraries' cache; the CA list is Debian's (ca-certificates),
# which the FTPS sessions verify against: libcurl on mbedTLS brings none of its own. Both are
# copied beside velmora.exe in the build folder too, so that it runs there as installed.
set(VELMORA_IMAGE_LIBRARY ${VELMORA_WINDOWS_LIBS}/bin/IMAGE.DLL CACHE FILEPATH
  "The FreeImage build the Windows program loads as IMAGE.DLL")
set(VELMORA_CA_LIST /etc/ssl/certs/ca-certificates.crt CACHE FILEPATH
  "PEM list of the certificate authorities shipped as cacert.pem")
foreach(required IN ITEMS VELMORA_IMAGE_LIBRARY VELMORA_CA_LIST)
  if(NOT EXISTS "${${required}}")
    message(FATAL_ERROR "${required}: ${${required}} is missing")
  endif()
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/IMAGE.DLL ${CMAKE_BINARY_DIR}/cacert.pem
  COMMAND ${CMAKE_COMMAND} -E copy ${VELMORA_IMAGE_LIBRARY} ${CMAKE_BINARY_DIR}/IMAGE.DLL
  COMMAND ${CMAKE_COMMAND} -E copy ${VELMORA_CA_LIST} ${CMAKE_BINARY_DIR}/cacert.pem
  DEPENDS ${VELMORA_IMAGE_LIBRARY} ${VELMORA_CA_LIST} VERBATIM)
add_custom_target(velmora_program_folder ALL
  DEPENDS ${CMAKE_BINARY_DIR}/IMAGE.DLL ${CMAKE_BINARY_DIR}/cacert.pem)
install(FILES ${CMAKE_BINARY_DIR}/IMAGE.DLL ${CMAKE_BINARY_DIR}/cacert.pem DESTINATION .)

set(CPACK_PACKAGE_NAME Velmora)
set(CPACK_PACKAGE_VENDOR Corvantis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velmora: the presenter's screen live in the spectators' browsers")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Velmora)
set(CPACK_GENERATOR "NSIS;ZIP")

# Debian's nsis builds 32-bit installers unless told otherwise, and those need a 32-bit Wine;
# a 64-bit installer runs on both, and on every 64-bit Windows.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Velmora)
set(CPACK_NSIS_PACKAGE_NAME Velmora)
set(CPACK_NSIS_MODIFY_PATH OFF)
# Add/Remove Programs shows the program's own icon.
set(CPACK_NSIS_INSTALLED_ICON_NAME velmora.exe)
# The Start-menu entry "Velmora" (in the folder Velmora), which the uninstaller removes again.
set(CPACK_PACKAGE_EXECUTABLES velmora Velmora)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The uninstaller removes what the installer put there and the folder; the presenter's settings
# in %APPDATA%\Velmora and the registry stay for the next installation.

# The crash report names the source line of a fault from velmora.exe's DWARF line tables: those
# stay, the rest of the debug information (four fifths of the file) goes.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_keeping_line_tables.cmake)
set(CPACK_OBJCOPY "${CMAKE_OBJCOPY}")
set(CPACK_VELMORA_PROGRAMS "velmora.exe")
# DWARF 5 line headers may name their files in .debug_str as well as .debug_line_str.
set(CPACK_VELMORA_KEPT_SECTIONS .debug_line .debug_line_str .debug_str)

include(CPack)
