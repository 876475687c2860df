# The browser build (emcmake cmake): each program as a web page of one file,
# NAME.html with its script and its WebAssembly inside, so that the site
# works opened from the file system as well as from a web server. Built
# straight into the build directory, which becomes the site: an index.html
# and the example answer files beside the pages. `cpack -G ZIP` packs the
# site as trak-web.zip.
# Included from the top CMakeLists.txt.

# Each page's heading names its program and what it does.
set(trakflat_heading "trakflat: putanja loptice na pravougaonom stolu")
set(trakbox_heading "trakbox: putanja loptice u kutiji")
foreach(program trakflat trakbox)
  set(TRAK_HEADING "${${program}_heading}")
  configure_file(web/shell.html shell-${program}.html @ONLY)
  set(page_files "${PROJECT_SOURCE_DIR}/web/page.js" "${PROJECT_SOURCE_DIR}/web/controls.js"
                 "${PROJECT_BINARY_DIR}/shell-${program}.html")
  set_target_properties(${program} PROPERTIES SUFFIX .html
    RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}"
    LINK_DEPENDS "${page_files}")
  target_link_options(${program} PRIVATE
    # The fixed-function GL of the desktop, with GLU and GLUT.
    -sLEGACY_GL_EMULATION=1 -sGL_FFP_ONLY=1
    # Reading the console awaits the page's next line (web/page.h).
    -sASYNCIFY -sALLOW_MEMORY_GROWTH=1
    # The end of the dialogue ends the program, flushing what it wrote.
    -sEXIT_RUNTIME=1
    # A browser fetches no .wasm for a page opened from a file.
    -sSINGLE_FILE=1
    # Minifying the page crashes emcc 3.1.6, and Debian 13's 3.1.69 lacks its
    # minifier (html-minifier-terser).
    -sMINIFY_HTML=0
    # Touches and keys on the canvas, and GLUT's motion handler mended.
    "SHELL:--js-library ${PROJECT_SOURCE_DIR}/web/controls.js"
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=trak_controls
    "-sEXPORTED_FUNCTIONS=_main,_page_touch,_page_key,_page_first_view"  # web/page.h
    "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/web/page.js"
    "SHELL:--shell-file ${PROJECT_BINARY_DIR}/shell-${program}.html")
  # emcc's JavaScript optimiser loads Debian's acorn module, which a node
  # other than Debian's own does not look for.
  set_property(TARGET ${program} PROPERTY CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
  install(FILES "${PROJECT_BINARY_DIR}/${program}.html" DESTINATION .)
endforeach()

configure_file(web/index.html index.html COPYONLY)
file(GLOB examples RELATIVE "${PROJECT_SOURCE_DIR}" CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/examples/*")
foreach(example ${examples})
  configure_file(${example} ${example} COPYONLY)
endforeach()

# Installed as an app from a browser: the manifest, its icons (the desktop's SVGs, and the PNGs of
# the sizes browsers ask for, drawn from them as the 48-pixel ones are, at 192 and 512 pixels) and
# the service worker that keeps the whole site for use with no network. Made after the pages, as
# its cache is named by a hash of every file of the site.
configure_file(web/manifest.webmanifest manifest.webmanifest COPYONLY)
set(icons trakbox-192.png trakbox-512.png trakbox.svg trakflat.svg)
foreach(icon ${icons})
  configure_file(docs/desktop/${icon} icons/${icon} COPYONLY)
endforeach()
list(TRANSFORM icons PREPEND "${PROJECT_BINARY_DIR}/icons/")
list(TRANSFORM examples PREPEND "${PROJECT_BINARY_DIR}/")
add_custom_command(OUTPUT sw.js
  COMMAND ${CMAKE_COMMAND} -DSITE=${PROJECT_BINARY_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/serviceworker.cmake
  DEPENDS trakflat trakbox cmake/serviceworker.cmake web/sw.js "${PROJECT_BINARY_DIR}/index.html"
          "${PROJECT_BINARY_DIR}/manifest.webmanifest" ${icons} ${examples}
  VERBATIM)
add_custom_target(serviceworker ALL DEPENDS sw.js)

install(FILES "${PROJECT_BINARY_DIR}/index.html" "${PROJECT_BINARY_DIR}/manifest.webmanifest"
              "${PROJECT_BINARY_DIR}/sw.js" LICENSE DESTINATION .)
install(DIRECTORY examples "${PROJECT_BINARY_DIR}/icons" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME trak-web)
