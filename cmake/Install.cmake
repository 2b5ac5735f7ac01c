# The program installed as a desktop program:
#
#   cmake --install build/release --prefix P
#
# P/bin holds mapfolio, mapfolio-tool and mapfolio-script, and
# P/share/mapfolio/guides/demo the demo guide. The program finds that guide
# as ../share/mapfolio/guides/demo from its own directory, so the two
# directory names are fixed here rather than taken from GNUInstallDirs.
# Demo programs, tests and benchmarks are not installed.

# The day the version in project() was given; the metainfo lists it as
# that release's date.
set(MAPFOLIO_RELEASE_DATE 2026-12-08)

foreach(program mapfolio mapfolio-tool mapfolio-script)
  target_compile_definitions(${program} PRIVATE MAPFOLIO_VERSION="${PROJECT_VERSION}")
endforeach()

add_subdirectory(${CMAKE_SOURCE_DIR}/dist ${CMAKE_BINARY_DIR}/dist)

install(TARGETS mapfolio mapfolio-tool mapfolio-script RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/guides/demo/ DESTINATION share/mapfolio/guides/demo)
