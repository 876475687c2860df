# Writes the site's service worker, SITE/sw.js, from web/sw.js: the list of the files it keeps and
# the name of the build, a hash of those files and of web/sw.js, so that any change to the site
# makes a new service worker, which replaces the copy browsers keep. The browser build
# (cmake/web.cmake) runs it once the pages are linked; after a change to a built site:
#     cmake -DSITE=build-web -P cmake/serviceworker.cmake
file(GLOB kept RELATIVE "${SITE}" "${SITE}/examples/*" "${SITE}/icons/*")
list(SORT kept)
set(template "${CMAKE_CURRENT_LIST_DIR}/../web/sw.js")
file(SHA256 "${template}" hashes)
set(TRAK_FILES "")
foreach(file index.html trakflat.html trakbox.html manifest.webmanifest ${kept})
  file(SHA256 "${SITE}/${file}" hash)
  string(APPEND hashes "\n${hash} ${file}")
  string(APPEND TRAK_FILES "\n  '${file}',")
endforeach()
string(SHA256 TRAK_BUILD "${hashes}")
string(SUBSTRING "${TRAK_BUILD}" 0 16 TRAK_BUILD)
string(APPEND TRAK_FILES "\n")
configure_file("${template}" "${SITE}/sw.js" @ONLY)
# The build finds sw.js up to date even when nothing in it changed.
file(TOUCH_NOCREATE "${SITE}/sw.js")
