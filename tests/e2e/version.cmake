# Runs PROGRAM --version with no display: it must print "NAME VERSION" and end
# with status 0, before anything needs a window.
#   cmake -DPROGRAM=<executable> -DNAME=<its name> -DVERSION=<project version> -P version.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM NAME VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "version.cmake needs -D${var}=...")
  endif()
endforeach()

unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
execute_process(COMMAND "${PROGRAM}" --version RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 30)

set(expected "${NAME} ${VERSION}\n")
set(failures "")
if(NOT status STREQUAL "0")
  string(APPEND failures "\nexit status ${status}, expected 0")
endif()
if(NOT out STREQUAL expected)
  string(APPEND failures "\nstandard output:\n${out}expected:\n${expected}")
endif()
if(NOT err STREQUAL "")
  string(APPEND failures "\nstandard error not empty:\n${err}")
endif()
if(failures)
  message(FATAL_ERROR "${NAME} --version:${failures}")
endif()
