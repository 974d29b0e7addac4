# Writes the files that tell the linkers what the library exports, all made
# from the one export list ("Name Bytes" lines, src/exports/exports.txt):
# the module-definition files of the Windows builds, the sources of the
# import library for Microsoft's linker, and the version script of the Linux
# build.

# Reads "Name Bytes" lines (or bare names) into <prefix>_NAMES and
# <prefix>_BYTES_<Name>. The tests' scripts read the lists with it as well.
macro(uvt_read_export_list file prefix)
  file(STRINGS ${file} _lines REGEX "^[A-Za-z]")
  set(${prefix}_NAMES "")
  foreach(_line IN LISTS _lines)
    string(REGEX MATCH "^([A-Za-z_0-9]+)( ([0-9]+))?" _ "${_line}")
    list(APPEND ${prefix}_NAMES ${CMAKE_MATCH_1})
    set(${prefix}_BYTES_${CMAKE_MATCH_1} "${CMAKE_MATCH_3}")
  endforeach()
endmacro()

# Writes content to file only when it differs from what the file holds, so
# that configuring again does not make the library link again.
function(uvt_write_if_changed file content)
  file(WRITE ${file}.new "${content}")
  file(COPY_FILE ${file}.new ${file} ONLY_IF_DIFFERENT)
  file(REMOVE ${file}.new)
endfunction()

# The names under which uvt.dll exports the list read into <prefix>: the
# decorated _Name@N where decorated is true (32-bit Windows), else Name.
function(uvt_dll_export_names prefix decorated out)
  set(result "")
  foreach(name IN LISTS ${prefix}_NAMES)
    if(decorated)
      list(APPEND result "_${name}@${${prefix}_BYTES_${name}}")
    else()
      list(APPEND result "${name}")
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The module-definition file that uvt.dll is linked with. On 32-bit Windows
# every export goes out under its decorated stdcall name _Name@N, as hosts
# built with Microsoft's compiler look it up. The form "Name@N == _Name@N"
# exports the function Name@N under that name and makes the import library
# offer it to mingw callers under Name@N, which is how their compiler refers
# to a __stdcall function declared in uvt.h.
function(uvt_write_def list_file def_file)
  uvt_read_export_list(${list_file} names)
  set(content "LIBRARY uvt.dll\nEXPORTS\n")
  foreach(name IN LISTS names_NAMES)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND content "    ${name}@${names_BYTES_${name}} == _${name}@${names_BYTES_${name}}\n")
    else()
      string(APPEND content "    ${name}\n")
    endif()
  endforeach()
  uvt_write_if_changed(${def_file} "${content}")
endfunction()

# What Microsoft's tools need to make uvt.lib, the import library in their
# format: a module-definition file in their dialect, where a 32-bit export
# written "_Name@N" is imported by exactly that name (their librarian reads
# it the same way), and an assembly file that defines every exported symbol,
# so that lld-link can link a stand-in DLL whose import library is uvt.lib.
# (llvm-dlltool reads the mingw dialect only, in which no entry yields an
# import by the name _Name@N.)
function(uvt_write_msvc_import_sources list_file def_file asm_file)
  uvt_read_export_list(${list_file} names)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    uvt_dll_export_names(names TRUE symbols)
  else()
    uvt_dll_export_names(names FALSE symbols)
  endif()
  set(def "LIBRARY uvt.dll\nEXPORTS\n")
  set(asm "    .text\n")
  foreach(symbol IN LISTS symbols)
    string(APPEND def "    ${symbol}\n")
    string(APPEND asm "    .globl ${symbol}\n${symbol}:\n    ret\n")
  endforeach()
  uvt_write_if_changed(${def_file} "${def}")
  uvt_write_if_changed(${asm_file} "${asm}")
endfunction()

# The version script of libuvt.so: the listed exports and the names of
# extra_list (the OLE Automation stand-ins) are global, everything else,
# such as the standard library's template instances, stays local.
function(uvt_write_version_script list_file extra_list script_file)
  uvt_read_export_list(${list_file} names)
  uvt_read_export_list(${extra_list} extra)
  set(content "{\n  global:\n")
  foreach(name IN LISTS names_NAMES extra_NAMES)
    string(APPEND content "    ${name};\n")
  endforeach()
  string(APPEND content "  local:\n    *;\n};\n")
  uvt_write_if_changed(${script_file} "${content}")
endfunction()
