# What a desktop finds beside the program: the menu entry and its icons in the hicolor theme.
include(GNUInstallDirs)

install(FILES resources/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(icon_themes ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES resources/velmora.png DESTINATION ${icon_themes}/32x32/apps)
foreach(size 48 64 128 256)
  install(FILES resources/icons/${size}.png DESTINATION ${icon_themes}/${size}x${size}/apps
    RENAME velmora.png)
endforeach()
install(FILES resources/velmora.svg DESTINATION ${icon_themes}/scalable/apps)
