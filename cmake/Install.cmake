# The program installed as a desktop program.

foreach(program mapfolio mapfolio-tool mapfolio-script)
  target_compile_definitions(${program} PRIVATE MAPFOLIO_VERSION="${PROJECT_VERSION}")
endforeach()

add_subdirectory(${CMAKE_SOURCE_DIR}/dist ${CMAKE_BINARY_DIR}/dist)
