# What goes with the programs: their manual pages, the example answer
# files, the licence as a Debian copyright file (DEP-5) and the changelog.
# Included from the top CMakeLists.txt after GNUInstallDirs.

# The copyright file's licence paragraph is LICENSE itself from its
# "Permission" sentence on, indented one space, blank lines written " .".
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
set(TRAK_COPYRIGHT "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*\n(Permission is hereby)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n" "\n " licence " ${licence}")
string(REPLACE "\n \n" "\n .\n" TRAK_LICENCE_TEXT "${licence}")
configure_file(docs/debian/copyright.in "${PROJECT_BINARY_DIR}/docs/copyright" @ONLY)

# Debian wants manual pages and changelogs compressed with gzip -9n (no
# name, no time stamp: the same bytes on every build). Where there is no
# gzip they are installed as they are.
find_program(GZIP_PROGRAM gzip)
# Sets `var` to the file to install for the source file `source`.
function(trak_doc source var)
  get_filename_component(name "${source}" NAME)
  set(doc "${PROJECT_BINARY_DIR}/docs/${name}")
  if(GZIP_PROGRAM)
    add_custom_command(OUTPUT "${doc}.gz"
      COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/${source}" "${doc}"
      COMMAND "${GZIP_PROGRAM}" -9nf "${doc}"
      DEPENDS "${source}" VERBATIM)
    string(APPEND doc ".gz")
  else()
    configure_file("${source}" "${doc}" COPYONLY)
  endif()
  set(${var} "${doc}" PARENT_SCOPE)
endfunction()
trak_doc(docs/man/trakflat.1 trakflat_man)
trak_doc(docs/man/trakbox.1 trakbox_man)
trak_doc(docs/debian/changelog changelog)
add_custom_target(docs ALL DEPENDS "${trakflat_man}" "${trakbox_man}" "${changelog}")

install(FILES "${trakflat_man}" "${trakbox_man}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${changelog}" "${PROJECT_BINARY_DIR}/docs/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
install(DIRECTORY examples/ DESTINATION "${CMAKE_INSTALL_DOCDIR}/examples" FILES_MATCHING PATTERN "*.txt")
