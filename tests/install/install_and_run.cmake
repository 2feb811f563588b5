# Installs the build into OUT/prefix, checks what lies where, and runs the
# installed pinwright-script on the examples in OUT/work.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DOUT=<fresh folder> -DGUI=ON|OFF -P install_and_run.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR SOURCE_DIR OUT GUI)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "install_and_run.cmake needs -D${var}=...")
  endif()
endforeach()

set(prefix "${OUT}/prefix")
set(work "${OUT}/work")
set(expected "${SOURCE_DIR}/tests/install/expected")
set(failures "")

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${work}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                OUTPUT_VARIABLE install_output ERROR_VARIABLE install_output
                RESULT_VARIABLE install_result)
if(install_result)
  message(FATAL_ERROR "cmake --install failed (${install_result}):\n${install_output}")
endif()

# Appends a failure unless `actual` holds exactly the bytes of `expected_file`.
function(same_bytes what expected_file actual)
  if(NOT EXISTS "${actual}")
    set(failures "${failures}\n${what}: ${actual} is missing" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected_file}" "${actual}"
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(differs)
    set(failures "${failures}\n${what}: ${actual} differs from ${expected_file}" PARENT_SCOPE)
  endif()
endfunction()

# The executables with their help file and default symbol beside them.
set(executables pinwright-script)
if(GUI)
  list(APPEND executables pinwright)
endif()
foreach(executable ${executables})
  if(NOT EXISTS "${prefix}/bin/${executable}")
    string(APPEND failures "\n${prefix}/bin/${executable} is missing")
  endif()
endforeach()
same_bytes("help file" "${BUILD_DIR}/bin/Pinwright.hlp" "${prefix}/bin/Pinwright.hlp")
same_bytes("default symbol" "${SOURCE_DIR}/resources/REZ_default_symbol.bmp"
           "${prefix}/bin/REZ_default_symbol.bmp")

# The desktop menu entry starts the installed window by its full path.
if(GUI)
  same_bytes("icon" "${SOURCE_DIR}/resources/pinwright.png"
             "${prefix}/share/icons/hicolor/64x64/apps/pinwright.png")
  set(desktop "${prefix}/share/applications/pinwright.desktop")
  if(EXISTS "${desktop}")
    file(STRINGS "${desktop}" exec_line REGEX "^Exec=")
    if(NOT exec_line STREQUAL "Exec=\"${prefix}/bin/pinwright\"")
      string(APPEND failures "\n${desktop}: ${exec_line}, expected Exec=\"${prefix}/bin/pinwright\"")
    endif()
    file(STRINGS "${desktop}" icon_line REGEX "^Icon=")
    if(NOT icon_line STREQUAL "Icon=pinwright")
      string(APPEND failures "\n${desktop}: ${icon_line}, expected Icon=pinwright")
    endif()
  else()
    string(APPEND failures "\n${desktop} is missing")
  endif()
endif()

# The demo, as `make run` runs it without a display: the installed program on
# copies of the examples, with its own folder found from its own path.
foreach(file master.asc update.asc exclusions.asc demo.script)
  file(COPY "${SOURCE_DIR}/examples/${file}" DESTINATION "${work}")
endforeach()
execute_process(COMMAND "${prefix}/bin/pinwright-script" --today 2026-12-07 demo.script
                WORKING_DIRECTORY "${work}"
                OUTPUT_FILE "${OUT}/demo_transcript.txt" ERROR_VARIABLE demo_errors
                RESULT_VARIABLE demo_result TIMEOUT 60)
if(NOT demo_result STREQUAL "0")
  string(APPEND failures "\nthe demo ended with ${demo_result}: ${demo_errors}")
endif()
same_bytes("demo transcript" "${expected}/demo_transcript.txt" "${OUT}/demo_transcript.txt")
foreach(file merged.asc deduplicated.asc excluded.asc)
  same_bytes("demo output" "${expected}/${file}" "${work}/${file}")
endforeach()

# Started by its bare name from the search path, the program still finds its
# default symbol: an OV2 Output file receives a copy of it.
file(MAKE_DIRECTORY "${work}/symbol")
file(COPY "${SOURCE_DIR}/examples/master.asc" DESTINATION "${work}/symbol")
file(WRITE "${work}/symbol/symbol.script" "press 1028\nfile master.asc\npress 1041\nfile result.ov2\nshow 1046\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "PATH=${prefix}/bin:$ENV{PATH}"
                        pinwright-script symbol.script
                WORKING_DIRECTORY "${work}/symbol"
                OUTPUT_VARIABLE symbol_transcript ERROR_VARIABLE symbol_errors
                RESULT_VARIABLE symbol_result TIMEOUT 60)
if(NOT symbol_result STREQUAL "0")
  string(APPEND failures "\nthe symbol run ended with ${symbol_result}: ${symbol_errors}")
endif()
if(NOT symbol_transcript MATCHES "control 1046 text=\"\" state=[a-z-]+ picture=\"([^\"]*)\"")
  string(APPEND failures "\nno picture in 1046:\n${symbol_transcript}")
elseif(NOT CMAKE_MATCH_1 STREQUAL "${prefix}/bin/REZ_default_symbol.bmp")
  string(APPEND failures "\n1046 shows ${CMAKE_MATCH_1}, not the installed default symbol")
endif()
same_bytes("symbol beside the OV2 Output" "${SOURCE_DIR}/resources/REZ_default_symbol.bmp"
           "${work}/symbol/result.bmp")

if(failures)
  message(FATAL_ERROR "install check failed:${failures}")
endif()
