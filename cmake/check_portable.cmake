# Fails when the layers of the program are crossed:
# - a file outside src/platform/win32 includes <windows.h> or another
#   Windows header;
# - portable code (anything outside src/platform/win32 and
#   src/platform/headless) includes a backend's header;
# - src/picture (the picture code every layer uses) includes anything of the
#   program but its own headers, src/platform included;
# - src/library (the catalog, the walk and the deck) includes anything of
#   the program but the picture code, the platform interface, the common
#   helpers and its own headers.
file(GLOB_RECURSE sources ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(offenders "")
foreach(source ${sources})
  file(RELATIVE_PATH relative ${SOURCE_DIR}/src ${source})
  if(NOT relative MATCHES "^platform/win32/")
    file(STRINGS ${source} hits REGEX "#[ \t]*include[ \t]*[<\"](windows|windef|winbase|winuser|wingdi|objbase|wincodec|commdlg|shobjidl)\\.h[>\"]")
    if(hits)
      list(APPEND offenders "${relative}: a Windows header")
    endif()
  endif()
  file(STRINGS ${source} includes REGEX "#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE ".*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT relative MATCHES "^platform/(win32|headless)/" AND included MATCHES "^platform/(win32|headless)/")
      list(APPEND offenders "${relative}: includes the backend header ${included}")
    endif()
    if(relative MATCHES "^picture/" AND NOT included MATCHES "^picture/")
      list(APPEND offenders "${relative}: the picture code includes ${included}")
    endif()
    if(relative MATCHES "^library/" AND NOT included MATCHES "^(library|picture|common)/" AND
       NOT included STREQUAL "platform/platform.h" AND NOT included STREQUAL "platform/monitors.h" AND
       NOT included STREQUAL "platform/units.h")
      list(APPEND offenders "${relative}: the library includes ${included}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "Layers crossed:\n  ${text}")
endif()
message(STATUS "The layers hold: no Windows header outside src/platform/win32, no backend header in portable code, src/picture and src/library self-contained")
