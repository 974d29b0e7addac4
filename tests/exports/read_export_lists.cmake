# The export lists are read as the build reads them.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/UvtExportFiles.cmake)

# Every built export must be one of the binary interface, with its byte count.
macro(uvt_check_against_abi)
  foreach(_name IN LISTS BUILT_NAMES)
    if(NOT DEFINED ABI_BYTES_${_name})
      message(SEND_ERROR "${_name} is not an export of the binary interface")
    elseif(NOT ABI_BYTES_${_name} EQUAL BUILT_BYTES_${_name})
      message(SEND_ERROR "${_name}: ${BUILT_BYTES_${_name}} argument bytes listed, ${ABI_BYTES_${_name}} expected")
    endif()
  endforeach()
endmacro()
