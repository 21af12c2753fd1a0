# Puts the readable viewer script on one line for the viewer page and writes it as a C++ header.
# Usage: cmake -DINPUT=viewer.js -DOUTPUT=viewer_script.h -P embed_viewer_script.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r" "" text "${text}")
# Whole-line comments go; code lines lose their indentation and are joined by one blank.
string(REGEX REPLACE "(^|\n)[ \t]*//[^\n]*" "\\1" text "${text}")
string(REGEX REPLACE "\n[ \t]+" "\n" text "${text}")
string(REGEX REPLACE "^[ \t]+" "" text "${text}")
string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
string(REGEX REPLACE "\n+" " " text "${text}")
string(STRIP "${text}" text)
if(text MATCHES "[^ -~]")
  message(FATAL_ERROR "${INPUT}: only printable 7-bit ASCII may go into the viewer page")
endif()
if(text MATCHES "</" OR text MATCHES "<!--" OR text MATCHES "\\)VIEWER\"")
  message(FATAL_ERROR "${INPUT}: the script would end its own script element")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from viewer.js by embed_viewer_script.cmake.\n"
  "#pragma once\n"
  "namespace velmora {\n"
  "inline constexpr char kViewerScript[] = R\"VIEWER(${text})VIEWER\";\n"
  "} // namespace velmora\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
