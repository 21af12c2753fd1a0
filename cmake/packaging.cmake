# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh does everything). The
# version is project(VERSION); dpkg-shlibdeps finds the libraries the programs link, and this
# file names what they load or use at run time.
include(GNUInstallDirs)

# The day this version was released: AppStream and the Debian changelog carry it.
set(VELMORA_RELEASE_DATE "2026-12-07")
execute_process(COMMAND date -u -R -d "${VELMORA_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE VELMORA_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Corvantis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvantis Software Support <support@corvantis.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show your screen live to spectators in a web browser")
set(CPACK_PACKAGE_DESCRIPTION [=[
Velmora shows the presenter's screen live to spectators who need nothing
but a web browser. While a presentation runs it captures the whole screen,
or a rectangle of it, again and again, writes each picture as PNG
(optionally at 75 % size and with 256 colours) and uploads it by FTP, FTPS
or SFTP into a folder of the presenter's own web server, together with a
small data page.

The viewer page in that folder shows every new picture with a marker where
the mouse pointer is. Clear ends the show with black pictures and sends the
spectators to the presenter's homepage. An optional Apache login protects
the folder.]=])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FreeImage is opened with dlopen, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfreeimage3")
# Capturing a Wayland desktop goes through the screen-cast portal of the desktop in use, with
# the frames coming from PipeWire, and the program's own windows, which need screen positions,
# run through Xwayland; on X11 none of this is needed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xdg-desktop-portal, pipewire, xdg-desktop-portal-gnome | xdg-desktop-portal-kde | xdg-desktop-portal-wlr, xwayland")
# Debian wants the programs stripped, but the crash report names the source line of a fault:
# the line tables stay, everything else goes.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_keeping_line_tables.cmake)
set(CPACK_OBJCOPY "${CMAKE_OBJCOPY}")

# What the package carries beside the programs: AppStream data, the manual page, the copyright
# and the changelog, compressed as Debian wants them (gzip -9n: no name or time inside).
# AppStream wants screenshots as web addresses: where a release publishes docs/*.png.
set(VELMORA_SCREENSHOT_URL "https://corvantis.example/velmora/screenshots/${PROJECT_VERSION}/"
  CACHE STRING "Web address (ending in /) of the published docs/*.png for the AppStream data")
set(package_files ${CMAKE_BINARY_DIR}/package)
configure_file(${CMAKE_SOURCE_DIR}/resources/com.corvantis.velmora.metainfo.xml.in
  ${package_files}/com.corvantis.velmora.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/changelog.in ${package_files}/changelog @ONLY)
set(compressed)
foreach(pair "${CMAKE_SOURCE_DIR}/resources/velmora.1|velmora.1.gz"
             "${package_files}/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${package_files}/${target}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${package_files}/${target}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${package_files}/${target})
endforeach()
# The crash report's helpers sit in bin beside the program, which looks for them there; their
# manual page is the program's, which tells what they are for.
foreach(helper velmora-crash-box velmora-fault-locator)
  add_custom_command(OUTPUT ${package_files}/${helper}.1.gz
    COMMAND ${CMAKE_COMMAND} -E create_symlink velmora.1.gz ${package_files}/${helper}.1.gz
    VERBATIM)
  list(APPEND compressed ${package_files}/${helper}.1.gz)
endforeach()
add_custom_target(velmora_package_files ALL DEPENDS ${compressed})

install(FILES ${package_files}/com.corvantis.velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${package_files}/velmora.1.gz ${package_files}/velmora-crash-box.1.gz
  ${package_files}/velmora-fault-locator.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/resources/copyright ${package_files}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)
# The help (rendered when python3-markdown is there) is registered with the system's
# documentation index.
if(TARGET velmora_help)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/velmora.doc-base
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME velmora)
endif()

include(CPack)
