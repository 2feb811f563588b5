# Starts `pinwright` with no display and no Qt platform set: it must end with
# status 1 and one line saying what to use instead, not with Qt's abort.
#   cmake -DPROGRAM=<pinwright> -P window_without_display.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED PROGRAM)
  message(FATAL_ERROR "window_without_display.cmake needs -DPROGRAM=...")
endif()

unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
execute_process(COMMAND "${PROGRAM}" RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 30)

set(expected "pinwright: no display to show the window on (set DISPLAY or WAYLAND_DISPLAY); without a window, run scripts with pinwright-script, or the demo with make run\n")
set(failures "")
if(NOT status STREQUAL "1")
  string(APPEND failures "\nexit status ${status}, expected 1")
endif()
if(NOT out STREQUAL "")
  string(APPEND failures "\nstandard output not empty:\n${out}")
endif()
if(NOT err STREQUAL expected)
  string(APPEND failures "\nstandard error:\n${err}expected:\n${expected}")
endif()
if(failures)
  message(FATAL_ERROR "pinwright without a display:${failures}")
endif()
