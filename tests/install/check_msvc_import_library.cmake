# Checks uvt.lib, the import library for Microsoft's linker: it offers
# every listed export, each imported by the name uvt.dll exports it under
# (the decorated _Name@N on 32-bit Windows) with the name type "name", and
# nothing else. Then links the example host against it with lld, a linker
# other than the one that made uvt.dll, and checks what the program imports
# from uvt.dll. The program is left in WORK beside a copy of uvt.dll.
#   cmake -DLIBRARY=<uvt.lib> -DDLL=<uvt.dll> -DEXPORT_LIST=<exports.txt>
#         -DDECORATED=<0|1> -DREADOBJ=<llvm-readobj> -DOBJDUMP=<objdump>
#         -DC_COMPILER=<cc> -DCLANG=<clang> -DTARGET=<triple>
#         -DLIBGCC_DIR=<dir> -DSOURCE_DIR=<source> -DWORK=<dir>
#         -P check_msvc_import_library.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/UvtExportFiles.cmake)
uvt_read_export_list(${EXPORT_LIST} BUILT)
uvt_dll_export_names(BUILT "${DECORATED}" expected)
list(SORT expected)

include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

# The import members: "Name type: <type>" followed by the two symbols
# __imp_<symbol> and <symbol>. With the type "name" the imported name is the
# symbol itself.
run(${READOBJ} --coff-imports ${LIBRARY})
string(REGEX MATCHALL "Name type: [a-z]+\nSymbol: [^\n]+\nSymbol: [^\n]+" members "${run_output}")
set(imported "")
foreach(member IN LISTS members)
  string(REGEX MATCH "Name type: ([a-z]+)\nSymbol: ([^\n]+)\nSymbol: ([^\n]+)" _ "${member}")
  set(type ${CMAKE_MATCH_1})
  set(thunk ${CMAKE_MATCH_2})
  set(symbol ${CMAKE_MATCH_3})
  if(NOT type STREQUAL "name")
    message(SEND_ERROR "uvt.lib: ${symbol} is imported with the name type \"${type}\", not \"name\"")
  endif()
  if(NOT thunk STREQUAL "__imp_${symbol}")
    message(SEND_ERROR "uvt.lib: ${symbol} comes with the import symbol ${thunk}, not __imp_${symbol}")
  endif()
  list(APPEND imported ${symbol})
endforeach()
list(SORT imported)
if(NOT imported STREQUAL expected)
  message(FATAL_ERROR "uvt.lib offers other imports than uvt.dll exports\n  expected: ${expected}\n  offered:  ${imported}")
endif()
list(LENGTH imported count)
message(STATUS "uvt.lib: ${count} imports, each by its exported name")

# The example host, compiled as usual and linked by lld against uvt.lib.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run(${C_COMPILER} -std=c99 -I${SOURCE_DIR}/include -c ${SOURCE_DIR}/examples/host/example_host.c -o ${WORK}/example_host.o)
run(${CLANG} --target=${TARGET} -fuse-ld=lld -static ${WORK}/example_host.o -L${LIBGCC_DIR} ${LIBRARY} -loleaut32
  -o ${WORK}/example_host.exe)
file(COPY ${DLL} DESTINATION ${WORK})

# Every name the program takes from uvt.dll is one uvt.dll exports.
run(${OBJDUMP} -p ${WORK}/example_host.exe)
string(REGEX MATCH "DLL Name: uvt\\.dll\n[^\n]*Member-Name[^\n]*\n([ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[^\n]+\n)+" block "${run_output}")
string(REGEX MATCHALL "\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[^\n]+" entries "${block}")
if(NOT entries)
  message(FATAL_ERROR "example_host.exe imports nothing from uvt.dll:\n${run_output}")
endif()
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+" "" name "${entry}")
  string(STRIP "${name}" name)
  if(NOT name IN_LIST expected)
    message(SEND_ERROR "example_host.exe imports \"${name}\", which uvt.dll does not export")
  endif()
endforeach()
list(LENGTH entries count)
message(STATUS "example_host.exe: linked by lld against uvt.lib, ${count} imports from uvt.dll by their exported names")
