# Writes the module-definition file of a Windows build from the export list.
# On 32-bit Windows every export goes out under its decorated stdcall name
# _Name@N, as hosts built with Microsoft's compiler look it up. The form
# "Name@N == _Name@N" exports the function Name@N under that name and makes
# the import library offer it to mingw callers under Name@N, which is how
# their compiler refers to a __stdcall function declared in uvt.h.
function(uvt_write_def list_file def_file)
  file(STRINGS ${list_file} lines REGEX "^[A-Za-z]")
  set(content "LIBRARY uvt.dll\nEXPORTS\n")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([A-Za-z_0-9]+) ([0-9]+)" _ "${line}")
    set(name ${CMAKE_MATCH_1})
    set(bytes ${CMAKE_MATCH_2})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND content "    ${name}@${bytes} == _${name}@${bytes}\n")
    else()
      string(APPEND content "    ${name}\n")
    endif()
  endforeach()
  file(WRITE ${def_file} "${content}")
endfunction()
