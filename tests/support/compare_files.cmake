# compare(WHAT EXPECTED ACTUAL): appends to `failures` in the caller's scope
# when ACTUAL is missing or differs from EXPECTED byte for byte, with a unified
# diff when the caller found `diff` (variable DIFF).
function(compare what expected actual)
  if(NOT EXISTS "${actual}")
    set(failures "${failures}\n${what} is missing" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected}" "${actual}"
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(differs)
    set(shown "")
    if(DIFF)
      execute_process(COMMAND "${DIFF}" -u --label expected --label actual "${expected}" "${actual}"
                      OUTPUT_VARIABLE shown)
    endif()
    set(failures "${failures}\n${what} differs:\n${shown}" PARENT_SCOPE)
  endif()
endfunction()
