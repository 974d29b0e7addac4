# Runs the example host (under EMULATOR when one is given) and checks that it
# tells its story in order: every pattern below must match, each after the
# one before it, and the program must exit with 0.
#   cmake -DPROGRAM=<exe> [-DEMULATOR=<cmd>] -P check_example_output.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
string(REPLACE "\r" "" out "${out}")
message("${out}")
if(err)
  message("stderr:\n${err}")
endif()

set(steps
  "uvt example host\n"
  "CreateUVT: table created with 0 row\\(s\\)\n"
  "dfnInsertRow\\(0\\) returned 1, the table has 1 row\\(s\\)\n"
  "dfnSetValue\\(name of row 0, \"flow\"\\)\n  accepted\n"
  "  cell \\(0, 0\\) reads \"FLOW\"\n"
  "UVTSetConfigInterface: attached, the object has 2 reference\\(s\\)\n"
  # The edit saves the table through the object before it answers.
  "dfnSetValue\\(type of row 0, \"Integer\"\\)\n  BeginSave\n(  SaveBytes\\([0-9]+ bytes\\): \"[^\n]*\"\n)+  accepted\n"
  "  cell \\(1, 0\\) reads \"Integer\"\n"
  # Deleting releases the object first and saves nothing.
  "DeleteUVT\n  Release: the object now has 1 reference\\(s\\)\n  releaseEvent\n"
  "blocks still held by the library: 0 \\(of [1-9][0-9]* allocated\\)\n"
  "the configuration object has 1 reference\\(s\\) and [1-9][0-9]* saved byte\\(s\\)\n")

set(rest "${out}")
foreach(step IN LISTS steps)
  string(REGEX MATCH "${step}" found "${rest}")
  if(NOT found)
    message(FATAL_ERROR "example host output lacks, at this point, the step:\n  ${step}")
  endif()
  string(FIND "${rest}" "${found}" at)
  string(LENGTH "${found}" length)
  math(EXPR after "${at} + ${length}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
endforeach()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "example host exited with ${rc}")
endif()
message(STATUS "example host: every step as expected")
