# Runs one pinwright-batch case folder (see README.md) and fails on any difference.
#   cmake -DBATCH=<pinwright-batch> -DCASE=<case folder> -DOUT=<fresh folder> -DDATA=<tests/data>
#         -P run_batch_case.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BATCH CASE OUT DATA)
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

# The regular files and links in the working folder, and everything else
# there (FIFOs, sockets), each as a sorted list of relative paths.
function(list_entries files_var others_var)
  execute_process(COMMAND find . -mindepth 1 ( -type f -o -type l ) -printf "%P\n"
                  WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE listed)
  string(REGEX REPLACE "\n$" "" listed "${listed}")
  string(REPLACE "\n" ";" listed "${listed}")
  list(SORT listed)
  set(${files_var} "${listed}" PARENT_SCOPE)
  execute_process(COMMAND find . -mindepth 1 ! -type f ! -type l ! -type d -printf "%P\n"
                  WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE listed)
  string(REGEX REPLACE "\n$" "" listed "${listed}")
  string(REPLACE "\n" ";" listed "${listed}")
  list(SORT listed)
  set(${others_var} "${listed}" PARENT_SCOPE)
endfunction()

# prepare: a shell script that makes the inputs in the working folder, most
# often from the files of tests/data (in $DATA): cut copies, links, FIFOs.
set(prepared "")
set(prepared_others "")
if(EXISTS "${CASE}/prepare")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "DATA=${DATA}" sh "${CASE}/prepare"
                  WORKING_DIRECTORY "${work}" RESULT_VARIABLE prepare_status
                  OUTPUT_VARIABLE prepare_output ERROR_VARIABLE prepare_output)
  if(NOT prepare_status EQUAL 0)
    message(FATAL_ERROR "case ${CASE}: prepare failed (${prepare_status}):\n${prepare_output}")
  endif()
  list_entries(prepared prepared_others)
  foreach(name ${prepared})
    if(IS_SYMLINK "${work}/${name}")
      file(READ_SYMLINK "${work}/${name}" "link_${name}")
    else()
      file(SHA256 "${work}/${name}" "hash_${name}")
    endif()
  endforeach()
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

# interrupt: "SIGNAL PATTERN": the signal is sent once a file whose name
# matches PATTERN appears anywhere in the working folder.
if(EXISTS "${CASE}/interrupt")
  file(READ "${CASE}/interrupt" interrupt)
  string(STRIP "${interrupt}" interrupt)
  separate_arguments(interrupt UNIX_COMMAND "${interrupt}")
  list(GET interrupt 0 signal)
  list(GET interrupt 1 pattern)
  set(command sh -c "\"$@\" &
pid=$!
while kill -0 $pid 2>/dev/null && [ -z \"$(find . -name '${pattern}' -print -quit)\" ]
do
  sleep 0.01
done
kill -${signal} $pid 2>/dev/null
wait $pid" sh ${command})
endif()

set(input_option "")
if(EXISTS "${CASE}/stdin")
  set(input_option INPUT_FILE "${CASE}/stdin")
endif()

set(expected_exit 0)
if(EXISTS "${CASE}/exit_code")
  file(READ "${CASE}/exit_code" expected_exit)
  string(STRIP "${expected_exit}" expected_exit)
endif()

execute_process(
  COMMAND ${command}
  WORKING_DIRECTORY "${work}"
  ${input_option}
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

# check: a shell script run in the working folder afterwards, with $BATCH
# naming the program (to read back an Output no byte comparison can take);
# it fails the case, with what it printed, when it ends with a status other
# than 0.
if(EXISTS "${CASE}/check")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "BATCH=${BATCH}" sh "${CASE}/check"
                  WORKING_DIRECTORY "${work}"
                  RESULT_VARIABLE check_status OUTPUT_VARIABLE check_output
                  ERROR_VARIABLE check_output)
  if(NOT check_status EQUAL 0)
    set(failures "${failures}\ncheck failed (${check_status}):\n${check_output}")
  endif()
endif()

# expected/ holds every file the folder must hold afterwards besides what
# prepare made, and nothing else may be there: no temporary file is left
# behind. What prepare made and expected/ does not name stays as it was.
list_entries(present present_others)
file(GLOB_RECURSE wanted LIST_DIRECTORIES false RELATIVE "${CASE}/expected" "${CASE}/expected/*")
list(SORT wanted)
foreach(name ${prepared})
  if(NOT name IN_LIST wanted)
    if(NOT name IN_LIST present)
      set(failures "${failures}\n${name}, made by prepare, is gone")
    elseif(DEFINED "link_${name}")
      if(NOT IS_SYMLINK "${work}/${name}")
        set(failures "${failures}\n${name} is no longer a link")
      else()
        file(READ_SYMLINK "${work}/${name}" now)
        if(NOT now STREQUAL "${link_${name}}")
          set(failures "${failures}\n${name} links to ${now}, not ${link_${name}}")
        endif()
      endif()
    else()
      file(SHA256 "${work}/${name}" now)
      if(NOT now STREQUAL "${hash_${name}}")
        set(failures "${failures}\n${name}, made by prepare, was changed")
      endif()
    endif()
    list(REMOVE_ITEM present "${name}")
  endif()
endforeach()
if(NOT present_others STREQUAL prepared_others)
  set(failures "${failures}\nother entries ${present_others}, prepare made ${prepared_others}")
endif()
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
