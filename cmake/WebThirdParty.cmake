# The libraries of the web build, compiled to WebAssembly from the sources
# scripts/fetch-web-deps fetched and checked into build/web/deps/src:
#
#   mf_web_freetype   FreeType with Debian's patches and its own options,
#                     only the modules TrueType fonts need
#   mf_web_gumbo      the HTML parser of the HTML viewer
#   mf_web_png        libpng and zlib, for the script runner's shots
set(MF_WEB_DEPS ${CMAKE_BINARY_DIR}/deps/src)
if(NOT EXISTS ${MF_WEB_DEPS}/.unpacked)
  message(FATAL_ERROR "The web build's library sources are missing: run scripts/fetch-web-deps (scripts/build web does).")
endif()
set(MF_WEB_GENERATED ${CMAKE_BINARY_DIR}/deps/generated)

# FreeType: the modules that load, hint and render TrueType outlines, in the
# order of FreeType's own module list. The options are Debian's, less the
# compressed-font support, which needs FreeType's gzip module. (Written only
# when they change, so that configuring again rebuilds nothing.)
file(CONFIGURE OUTPUT ${MF_WEB_GENERATED}/mf_ftmodule.h CONTENT [=[
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, psnames_module_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
]=] @ONLY)
file(CONFIGURE OUTPUT ${MF_WEB_GENERATED}/mf_ftoption.h CONTENT [=[
#include <freetype/config/ftoption.h>
#undef FT_CONFIG_OPTION_USE_ZLIB
#undef FT_CONFIG_OPTION_USE_LZW
]=] @ONLY)
set(MF_FT ${MF_WEB_DEPS}/freetype/src)
add_library(mf_web_freetype STATIC
  ${MF_FT}/base/ftbase.c
  ${MF_FT}/base/ftbitmap.c
  ${MF_FT}/base/ftdebug.c
  ${MF_FT}/base/ftinit.c
  ${MF_FT}/base/ftsystem.c
  ${MF_FT}/autofit/autofit.c
  ${MF_FT}/psnames/psnames.c
  ${MF_FT}/sfnt/sfnt.c
  ${MF_FT}/smooth/smooth.c
  ${MF_FT}/truetype/truetype.c
)
target_include_directories(mf_web_freetype SYSTEM PUBLIC ${MF_WEB_DEPS}/freetype/include PRIVATE ${MF_WEB_GENERATED})
target_compile_definitions(mf_web_freetype PRIVATE FT2_BUILD_LIBRARY
  "FT_CONFIG_MODULES_H=<mf_ftmodule.h>" "FT_CONFIG_OPTIONS_H=<mf_ftoption.h>")
target_compile_options(mf_web_freetype PRIVATE -w)

file(GLOB MF_GUMBO_SOURCES ${MF_WEB_DEPS}/gumbo/*.c)
add_library(mf_web_gumbo STATIC ${MF_GUMBO_SOURCES})
target_include_directories(mf_web_gumbo SYSTEM PUBLIC ${MF_WEB_DEPS}/gumbo)
set_target_properties(mf_web_gumbo PROPERTIES C_STANDARD 99)
target_compile_options(mf_web_gumbo PRIVATE -w)

set(MF_ZLIB ${MF_WEB_DEPS}/zlib)
add_library(mf_web_zlib STATIC
  ${MF_ZLIB}/adler32.c ${MF_ZLIB}/compress.c ${MF_ZLIB}/crc32.c ${MF_ZLIB}/deflate.c ${MF_ZLIB}/infback.c
  ${MF_ZLIB}/inffast.c ${MF_ZLIB}/inflate.c ${MF_ZLIB}/inftrees.c ${MF_ZLIB}/trees.c ${MF_ZLIB}/uncompr.c
  ${MF_ZLIB}/zutil.c)
target_include_directories(mf_web_zlib SYSTEM PUBLIC ${MF_ZLIB})
target_compile_definitions(mf_web_zlib PRIVATE HAVE_UNISTD_H)
target_compile_options(mf_web_zlib PRIVATE -w)

set(MF_LIBPNG ${MF_WEB_DEPS}/libpng)
configure_file(${MF_LIBPNG}/scripts/pnglibconf.h.prebuilt ${MF_WEB_GENERATED}/pnglibconf.h COPYONLY)
add_library(mf_web_png STATIC
  ${MF_LIBPNG}/png.c ${MF_LIBPNG}/pngerror.c ${MF_LIBPNG}/pngget.c ${MF_LIBPNG}/pngmem.c ${MF_LIBPNG}/pngpread.c
  ${MF_LIBPNG}/pngread.c ${MF_LIBPNG}/pngrio.c ${MF_LIBPNG}/pngrtran.c ${MF_LIBPNG}/pngrutil.c
  ${MF_LIBPNG}/pngset.c ${MF_LIBPNG}/pngtrans.c ${MF_LIBPNG}/pngwio.c ${MF_LIBPNG}/pngwrite.c
  ${MF_LIBPNG}/pngwtran.c ${MF_LIBPNG}/pngwutil.c)
target_include_directories(mf_web_png SYSTEM PUBLIC ${MF_LIBPNG} ${MF_WEB_GENERATED})
target_link_libraries(mf_web_png PUBLIC mf_web_zlib)
target_compile_options(mf_web_png PRIVATE -w)
