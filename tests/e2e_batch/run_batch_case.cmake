# Runs one pinwright-batch case folder (see README.md) and fails on any difference.
#   cmake -DBATCH=<pinwright-batch> -DCASE=<case folder> -DOUT=<fresh folder> -P run_batch_case.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BATCH CASE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_batch_case.cmake needs -D${var}=...")
  endif()
endforeach()

set(work "${OUT}/work")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${work}")
if(EXISTS "${CASE}/input")
  file(COPY "${CASE}/input/" DESTINATION "${work}")
endif()

file(READ "${CASE}/args" args_text)
string(STRIP "${args_text}" args_text)
separate_arguments(args UNIX_COMMAND "${args_text}")

# A limit on the size of any file the program writes stands for a full disk:
# a write past it fails (the signal it would raise is ignored).
set(command "${BATCH}" ${args})
if(EXISTS "${CASE}/file_size_limit")
  file(READ "${CASE}/file_size_limit" blocks)
  string(STRIP "${blocks}" blocks)
  # Lines, not semicolons, separate the commands: a semicolon splits a CMake list.
  set(command sh -c "trap '' XFSZ\nulimit -f ${blocks}\nexec \"$0\" \"$@\"" ${command})
endif()

set(expected_exit 0)
if(EXISTS "${CASE}/exit_code")
  file(READ "${CASE}/exit_code" expected_exit)
  string(STRIP "${expected_exit}" expected_exit)
endif()

execute_process(
  COMMAND ${command}
  WORKING_DIRECTORY "${work}"
  OUTPUT_FILE "${OUT}/stdout.txt"
  ERROR_FILE "${OUT}/stderr.txt"
  RESULT_VARIABLE exit_code
  TIMEOUT 60)

set(failures "")
find_program(DIFF diff)

# The date in the header of a text Output is the day of the run.
function(mask_date path)
  file(READ "${path}" text)
  if(text MATCHES "^;\\* Created by Pinwright Pro v2\\.01 on [0-9][0-9]-[A-Z][A-Z][A-Z]-[0-9][0-9]")
    string(REGEX REPLACE "^(;\\* Created by Pinwright Pro v2\\.01 on )[0-9][0-9]-[A-Z][A-Z][A-Z]-[0-9][0-9]"
           "\\1DD-MMM-YY" text "${text}")
    file(WRITE "${path}" "${text}")
  endif()
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/../support/compare_files.cmake")

if(NOT "${exit_code}" STREQUAL "${expected_exit}")
  set(failures "${failures}\nexit status ${exit_code}, expected ${expected_exit}")
endif()
foreach(stream stdout stderr)
  if(EXISTS "${CASE}/expected_${stream}.txt")
    compare("standard ${stream}" "${CASE}/expected_${stream}.txt" "${OUT}/${stream}.txt")
  else()
    file(READ "${OUT}/${stream}.txt" stream_text)
    if(NOT stream_text STREQUAL "")
      set(failures "${failures}\nunexpected standard ${stream}:\n${stream_text}")
    endif()
  endif()
endforeach()

# expected/ holds every file the folder must hold afterwards, and nothing
# else may be there: no temporary file is left behind.
file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE "${work}" "${work}/*")
file(GLOB_RECURSE wanted LIST_DIRECTORIES false RELATIVE "${CASE}/expected" "${CASE}/expected/*")
list(SORT present)
list(SORT wanted)
if(NOT present STREQUAL wanted)
  set(failures "${failures}\nthe folder holds ${present}\n  expected ${wanted}")
endif()
foreach(name ${wanted})
  if(EXISTS "${work}/${name}")
    mask_date("${work}/${name}")
  endif()
  compare("file ${name}" "${CASE}/expected/${name}" "${work}/${name}")
endforeach()

if(failures)
  string(REPLACE "\n" "\n  " failures "${failures}")
  message(FATAL_ERROR "case ${CASE} (ran in ${work}):${failures}")
endif()
