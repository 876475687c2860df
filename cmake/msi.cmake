# trak-VERSION.msi, the Windows Installer package of windows/trak.wxs, beside the zip, built with
# Debian's wixl (CPack's WiX generator needs Windows). Included by the Windows build, which then
# makes it with the programs. Run as a script,
#     cmake -DBUILD=build-windows -DVERSION=1.0.0 [-DMSI=FILE] -P cmake/msi.cmake
# it packs BUILD's programs as version VERSION (the package's test makes an older one to upgrade
# from), into BUILD/trak-VERSION.msi or FILE.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  find_program(TRAK_WIXL wixl REQUIRED)
  file(GLOB examples CONFIGURE_DEPENDS examples/*)
  set(msi "${PROJECT_BINARY_DIR}/trak-${PROJECT_VERSION}.msi")
  add_custom_command(OUTPUT "${msi}"
    COMMAND "${CMAKE_COMMAND}" "-DBUILD=${PROJECT_BINARY_DIR}" "-DVERSION=${PROJECT_VERSION}"
            -P "${CMAKE_CURRENT_LIST_FILE}"
    DEPENDS "${CMAKE_CURRENT_LIST_FILE}" windows/trak.wxs docs/desktop/trakflat.ico
            docs/desktop/trakbox.ico $<TARGET_FILE:trakflat> $<TARGET_FILE:trakbox>
            "${PROJECT_BINARY_DIR}/README.txt" LICENSE ${examples}
    COMMENT "Packing ${msi}" VERBATIM)
  add_custom_target(msi ALL DEPENDS "${msi}")
  return()
endif()

find_program(TRAK_WIXL wixl REQUIRED)
load_cache("${BUILD}" READ_WITH_PREFIX "" TRAK_HOMEPAGE)
if(NOT MSI)
  set(MSI "${BUILD}/trak-${VERSION}.msi")
endif()
# The package holds what the zip holds: the build's install, its programs stripped.
set(files "${MSI}.files")
file(REMOVE_RECURSE "${files}" "${files}.include")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${files}" --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# The answer files, whichever examples/ holds, as the package's file examples.wxi includes them.
file(GLOB examples RELATIVE "${files}/examples" "${files}/examples/*")
set(include "<Include>\n")
foreach(name ${examples})
  string(APPEND include "  <File Id=\"${name}\" Source=\"examples/${name}\" />\n")
endforeach()
file(WRITE "${files}.include/examples.wxi" "${include}</Include>\n")
# The upgrade code is the product's for good: every version carries it, so that a newer one
# replaces an older one, and an older one is refused where a newer one is installed. There is one
# product code for each version: a package of the same version built again is the same product,
# not a second trak.
set(upgrade 90e9311c-658c-41ad-a8af-f4078e418ebd)
string(UUID product NAMESPACE ${upgrade} NAME "${VERSION}" TYPE SHA1)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
execute_process(COMMAND "${TRAK_WIXL}" --arch x64 -I "${files}.include" -D "Version=${VERSION}"
                        -D "UpgradeCode=${upgrade}" -D "ProductCode=${product}"
                        -D "Homepage=${TRAK_HOMEPAGE}" -o "${MSI}" "${source}/windows/trak.wxs"
                WORKING_DIRECTORY "${files}" COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${files}" "${files}.include")
