# The compile options of the project's own code: the warnings it is held
# to, and how the test programs are optimised.
#
# The warnings the project's own code is held to (not GoogleTest's). They
# are errors only where the project controls the compiler: the presets set
# CMAKE_COMPILE_WARNING_AS_ERROR, which `cmake --compile-no-warning-as-error`
# overrides. A plain configure, as distributions and packagers run it, gets
# the same warnings without failing on them, so a new compiler's new
# warning cannot break their build.
function(uvt_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()

# Test programs are compiled in every run of the suites and then run for
# seconds, and at -O3 their compilation is most of a run's time (more so
# for the cross builds). In optimised builds they are compiled at -O1
# instead, which takes little more than -O0 and still lets the compiler see
# enough to give its flow warnings. The library, the tool and the
# benchmarks, and the host doubles the benchmarks use, keep the build
# type's flags: they are what is shipped or measured.
function(uvt_test_code)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE
      "$<$<AND:$<CONFIG:Release,RelWithDebInfo,MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-O1>")
  endforeach()
endfunction()
