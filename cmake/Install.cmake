# The program installed as a desktop program, and as a Debian package:
#
#   cmake --install build/release --prefix P
#   (cd build/release && cpack -G DEB)
#
# P/bin holds mapfolio, mapfolio-tool, mapfolio-script and mapfolio-guide, and
# P/share/mapfolio/guides/demo the demo guide. The program finds that guide
# as ../share/mapfolio/guides/demo from its own directory, so the two
# directory names are fixed here rather than taken from GNUInstallDirs.
# Demo programs, tests and benchmarks are not installed.

# The day the version in project() was given; the metainfo lists it as
# that release's date.
set(MAPFOLIO_RELEASE_DATE 2026-12-08)

foreach(program mapfolio mapfolio-tool mapfolio-script mapfolio-guide)
  target_compile_definitions(${program} PRIVATE MAPFOLIO_VERSION="${PROJECT_VERSION}")
endforeach()

add_subdirectory(${CMAKE_SOURCE_DIR}/dist ${CMAKE_BINARY_DIR}/dist)

install(TARGETS mapfolio mapfolio-tool mapfolio-script mapfolio-guide RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/guides/demo/ DESTINATION share/mapfolio/guides/demo)

set(CPACK_PACKAGE_NAME mapfolio)
set(CPACK_PACKAGE_VENDOR "Mapfolio")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "offline interactive map guide")
set(CPACK_PACKAGE_DESCRIPTION [=[
Mapfolio opens a guide of linked maps: places with their descriptions,
regions that lead to other maps, and information topics, on a handheld's
240 x 320 touch screen shown in a desktop window. A world guide comes
with it. mapfolio-tool checks, converts and renders guides;
mapfolio-script runs the program without a window from a script;
mapfolio-guide makes guides from georeferenced maps and GIS data.]=])
set(CPACK_PACKAGE_CONTACT "Mapfolio developers <developers@mapfolio.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found through fontconfig at run time, so no library names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
