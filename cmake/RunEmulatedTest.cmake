# Runs one GoogleTest program under an emulator (Wine, qemu) and judges it by what
# it prints as well as by its exit status: a Wine that cannot start the
# program may print nothing and still exit with 0.
#   cmake -DEMULATOR=<cmd> -DPROGRAM=<exe> -P RunEmulatedTest.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
string(REPLACE "\r" "" out "${out}")
message("${out}")
if(err)
  message("stderr:\n${err}")
endif()
if(out MATCHES "\\[  FAILED  \\]")
  message(FATAL_ERROR "${PROGRAM}: tests failed")
endif()
if(NOT out MATCHES "\\[  PASSED  \\] [1-9][0-9]* tests?\\.")
  message(FATAL_ERROR "${PROGRAM}: no passing test run was reported (exit status ${rc})")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM}: exit status ${rc}")
endif()
