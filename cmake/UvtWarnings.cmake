# Warnings are errors in the project's own code (not in GoogleTest).
function(uvt_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
endfunction()
