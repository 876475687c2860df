# What puts the programs in the desktop's menus and software centres: a
# desktop entry and an icon for each, and one AppStream metainfo file for
# both. Included from the top CMakeLists.txt after GNUInstallDirs.

# AppStream wants http(s) addresses for the home page (TRAK_HOMEPAGE) and
# the screenshots, which are taken from the README's pictures under that
# address.
string(REGEX REPLACE "/+$" "" TRAK_HOMEPAGE_URL "${TRAK_HOMEPAGE}")
# A component's ID must not change once software centres know it.
set(TRAK_APPSTREAM_ID org.example.trak)

# The release date is the one of docs/debian/changelog's last entry, so the
# two cannot disagree.
file(STRINGS docs/debian/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) " _ "${trailer}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
math(EXPR month "${month} + 101")
string(SUBSTRING "${month}" 1 2 month)
set(TRAK_RELEASE_DATE "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")
configure_file(docs/desktop/trak.metainfo.xml.in
               "${PROJECT_BINARY_DIR}/docs/${TRAK_APPSTREAM_ID}.metainfo.xml" @ONLY)

install(FILES docs/desktop/trakflat.desktop docs/desktop/trakbox.desktop
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_BINARY_DIR}/docs/${TRAK_APPSTREAM_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
# The PNGs are the SVGs drawn at 48 × 48 (rsvg-convert -w 48 -h 48), the
# size the freedesktop icon theme asks every application to have, for
# menus that cannot read SVG.
foreach(program trakflat trakbox)
  install(FILES docs/desktop/${program}.svg
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  install(FILES docs/desktop/${program}.png
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps")
endforeach()
