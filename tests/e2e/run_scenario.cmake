# Runs one end-to-end scenario folder (see README.md) and fails on any difference.
#   cmake -DRUNNER=<pinwright-script> -DSCENARIO=<scenario folder> -DOUT=<fresh folder> -P run_scenario.cmake
# The scenario runs in OUT/work; its transcript and error output are kept in
# OUT/stdout.txt and OUT/stderr.txt for a look after a failure.
cmake_minimum_required(VERSION 3.25)

foreach(var RUNNER SCENARIO OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_scenario.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${SCENARIO}/script" OR NOT EXISTS "${SCENARIO}/expected.txt")
  message(FATAL_ERROR "${SCENARIO} needs a script and an expected.txt")
endif()

set(work "${OUT}/work")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${work}/program")

# program/ is the program's own folder: what lies beside the executable (the
# files with an extension: help file, default symbol), then input/program/.
get_filename_component(bin_dir "${RUNNER}" DIRECTORY)
file(GLOB beside LIST_DIRECTORIES false "${bin_dir}/*.*")
if(beside)
  file(COPY ${beside} DESTINATION "${work}/program")
endif()
if(EXISTS "${SCENARIO}/input")
  file(COPY "${SCENARIO}/input/" DESTINATION "${work}")
endif()
file(COPY "${SCENARIO}/script" DESTINATION "${work}")

set(args "")
if(EXISTS "${SCENARIO}/args")
  file(READ "${SCENARIO}/args" args_text)
  string(STRIP "${args_text}" args_text)
  separate_arguments(args UNIX_COMMAND "${args_text}")
endif()
if(NOT "--program-dir" IN_LIST args)
  list(PREPEND args --program-dir program/)
endif()

set(expected_exit 0)
if(EXISTS "${SCENARIO}/exit_code")
  file(READ "${SCENARIO}/exit_code" expected_exit)
  string(STRIP "${expected_exit}" expected_exit)
endif()

# A limit on the size of any file the program writes stands for a full disk:
# a write past it fails (the signal it would raise is ignored).
set(command "${RUNNER}" ${args} script)
if(EXISTS "${SCENARIO}/file_size_limit")
  file(READ "${SCENARIO}/file_size_limit" blocks)
  string(STRIP "${blocks}" blocks)
  # Lines, not semicolons, separate the commands: a semicolon splits a CMake list.
  set(command sh -c "trap '' XFSZ\nulimit -f ${blocks}\nexec \"$0\" \"$@\"" ${command})
endif()

execute_process(
  COMMAND ${command}
  WORKING_DIRECTORY "${work}"
  OUTPUT_FILE "${OUT}/stdout.txt"
  ERROR_FILE "${OUT}/stderr.txt"
  RESULT_VARIABLE exit_code
  TIMEOUT 30)

set(failures "")
find_program(DIFF diff)

include("${CMAKE_CURRENT_LIST_DIR}/../support/compare_files.cmake")

if(NOT "${exit_code}" STREQUAL "${expected_exit}")
  set(failures "${failures}\nexit status ${exit_code}, expected ${expected_exit}")
endif()
compare("transcript" "${SCENARIO}/expected.txt" "${OUT}/stdout.txt")
if(EXISTS "${SCENARIO}/expected_stderr.txt")
  compare("standard error" "${SCENARIO}/expected_stderr.txt" "${OUT}/stderr.txt")
else()
  file(READ "${OUT}/stderr.txt" stderr_text)
  if(NOT stderr_text STREQUAL "")
    set(failures "${failures}\nunexpected standard error:\n${stderr_text}")
  endif()
endif()
if(EXISTS "${SCENARIO}/expected")
  file(GLOB_RECURSE expected_files LIST_DIRECTORIES false RELATIVE "${SCENARIO}/expected"
       "${SCENARIO}/expected/*")
  foreach(name ${expected_files})
    compare("file ${name}" "${SCENARIO}/expected/${name}" "${work}/${name}")
  endforeach()
endif()
# Files the run must have deleted or never made, one name a line.
if(EXISTS "${SCENARIO}/absent")
  file(STRINGS "${SCENARIO}/absent" absent_files)
  foreach(name ${absent_files})
    if(EXISTS "${work}/${name}")
      set(failures "${failures}
file ${name} exists, expected none")
    endif()
  endforeach()
endif()

# A shell script run in the working folder afterwards, for files whose bytes
# vary from run to run (a GeoPackage's time stamps): it reads them back.
if(EXISTS "${SCENARIO}/check")
  execute_process(COMMAND sh "${SCENARIO}/check" WORKING_DIRECTORY "${work}"
                  RESULT_VARIABLE check_status OUTPUT_VARIABLE check_output
                  ERROR_VARIABLE check_output)
  if(NOT check_status EQUAL 0)
    set(failures "${failures}\ncheck failed (${check_status}):\n${check_output}")
  endif()
endif()

# Files are written under a temporary name beside their place and renamed
# into it when complete: none of those may be left behind.
file(GLOB_RECURSE temporaries LIST_DIRECTORIES false RELATIVE "${work}" "${work}/*.tmp-*")
foreach(name ${temporaries})
  set(failures "${failures}\ntemporary file ${name} left behind")
endforeach()

if(failures)
  # Indented lines are printed as they are, not wrapped.
  string(REPLACE "\n" "\n  " failures "${failures}")
  message(FATAL_ERROR "scenario ${SCENARIO} (ran in ${work}):${failures}")
endif()
