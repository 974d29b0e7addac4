# The warnings the project's own code is held to (not GoogleTest's). They
# are errors only where the project controls the compiler: the presets set
# CMAKE_COMPILE_WARNING_AS_ERROR, which `cmake --compile-no-warning-as-error`
# overrides. A plain configure, as distributions and packagers run it, gets
# the same warnings without failing on them, so a new compiler's new
# warning cannot break their build.
function(uvt_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()
