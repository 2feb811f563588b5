# Installs the build into OUT/prefix, checks what lies where, and runs the
# installed pinwright-script on the examples in OUT/work.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DOUT=<fresh folder>
#         -DPROGRAMS=<programs built, comma-separated> -DVERSION=<project version>
#         -P install_and_run.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR SOURCE_DIR OUT PROGRAMS VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "install_and_run.cmake needs -D${var}=...")
  endif()
endforeach()

set(prefix "${OUT}/prefix")
set(program_dir "${prefix}/lib/pinwright")
set(work "${OUT}/work")
string(REPLACE "," ";" programs "${PROGRAMS}")
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

# The executables with their help file and default symbol beside them, a link
# to each in bin/, its manual page, and the documents.
foreach(program ${programs})
  if(NOT EXISTS "${program_dir}/${program}" OR IS_SYMLINK "${program_dir}/${program}")
    string(APPEND failures "\n${program_dir}/${program} is missing or not the program itself")
  endif()
  set(link "")
  if(IS_SYMLINK "${prefix}/bin/${program}")
    file(READ_SYMLINK "${prefix}/bin/${program}" link)
  endif()
  if(NOT link STREQUAL "../lib/pinwright/${program}")
    string(APPEND failures "\n${prefix}/bin/${program} is no link to ../lib/pinwright/${program}")
  endif()
  if(NOT EXISTS "${prefix}/share/man/man1/${program}.1.gz")
    string(APPEND failures "\nthe manual page ${program}.1.gz is missing")
  endif()
endforeach()
same_bytes("help file" "${BUILD_DIR}/bin/Pinwright.hlp" "${program_dir}/Pinwright.hlp")
if(EXISTS "${program_dir}/Pinwright.hlp")
  file(STRINGS "${program_dir}/Pinwright.hlp" version_line REGEX "<title>")
  if(NOT version_line STREQUAL "<title>Pinwright ${VERSION} help</title>")
    string(APPEND failures "\nthe help file's title is ${version_line}, without the version ${VERSION}")
  endif()
endif()
same_bytes("default symbol" "${SOURCE_DIR}/resources/REZ_default_symbol.bmp"
           "${program_dir}/REZ_default_symbol.bmp")
set(doc "${prefix}/share/doc/pinwright")
same_bytes("README" "${SOURCE_DIR}/README.md" "${doc}/README.md")
same_bytes("copyright" "${SOURCE_DIR}/packaging/copyright" "${doc}/copyright")
same_bytes("demo script" "${SOURCE_DIR}/examples/demo.script" "${doc}/examples/demo.script")
if(NOT EXISTS "${doc}/changelog.gz")
  string(APPEND failures "\n${doc}/changelog.gz is missing")
endif()

# The desktop menu entry starts the installed window by its full path.
if("pinwright" IN_LIST programs)
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

# Started through its link, by full path or by bare name from the search
# path, the program finds its own folder and in it the default symbol: an OV2
# Output file written by a run receives a copy of it.
file(REAL_PATH "${program_dir}" real_program_dir)
foreach(how full_path bare_name)
  set(dir "${work}/symbol_${how}")
  file(MAKE_DIRECTORY "${dir}")
  file(COPY "${SOURCE_DIR}/examples/master.asc" DESTINATION "${dir}")
  file(WRITE "${dir}/symbol.script" "press 1028\nfile master.asc\npress 1041\nfile result.ov2\nshow 1046\ncheck 1053 on\npress 1027\n")
  if(how STREQUAL "full_path")
    set(command "${prefix}/bin/pinwright-script" symbol.script)
  else()
    set(command "${CMAKE_COMMAND}" -E env "PATH=${prefix}/bin:$ENV{PATH}" pinwright-script symbol.script)
  endif()
  execute_process(COMMAND ${command} WORKING_DIRECTORY "${dir}"
                  OUTPUT_VARIABLE symbol_transcript ERROR_VARIABLE symbol_errors
                  RESULT_VARIABLE symbol_result TIMEOUT 60)
  if(NOT symbol_result STREQUAL "0")
    string(APPEND failures "\nthe symbol run (${how}) ended with ${symbol_result}: ${symbol_errors}")
  endif()
  if(NOT symbol_transcript MATCHES "control 1046 text=\"\" state=[a-z-]+ picture=\"([^\"]*)\"")
    string(APPEND failures "\nno picture in 1046 (${how}):\n${symbol_transcript}")
  elseif(NOT CMAKE_MATCH_1 STREQUAL "${real_program_dir}/REZ_default_symbol.bmp")
    string(APPEND failures "\n1046 shows ${CMAKE_MATCH_1} (${how}), not the installed default symbol")
  endif()
  same_bytes("symbol beside the OV2 Output (${how})"
             "${SOURCE_DIR}/resources/REZ_default_symbol.bmp" "${dir}/result.bmp")
endforeach()

if(failures)
  message(FATAL_ERROR "install check failed:${failures}")
endif()
