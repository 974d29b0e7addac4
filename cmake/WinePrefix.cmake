# Creates the Wine prefix of a build directory once, before any test program
# starts under Wine: the first start of Wine sets the prefix up, which takes
# a while and must not happen in several tests at once.
#   cmake -DWINE=<wine> -DPREFIX=<dir> -P WinePrefix.cmake
# (WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES come from the test environment.)
if(EXISTS "${PREFIX}/system.reg")
  message(STATUS "Wine prefix ${PREFIX} is ready")
  return()
endif()
execute_process(COMMAND ${WINE} wineboot --init RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
  TIMEOUT 300)
# wineboot returns before the server has finished writing the prefix.
get_filename_component(wine_dir "${WINE}" DIRECTORY)
find_program(WINESERVER NAMES wineserver HINTS ${wine_dir})
if(WINESERVER)
  execute_process(COMMAND ${WINESERVER} -w TIMEOUT 120)
endif()
if(NOT rc EQUAL 0 OR NOT EXISTS "${PREFIX}/system.reg")
  message(FATAL_ERROR "could not create the Wine prefix ${PREFIX} (wineboot: ${rc})\n${out}\n${err}")
endif()
message(STATUS "created the Wine prefix ${PREFIX}")
