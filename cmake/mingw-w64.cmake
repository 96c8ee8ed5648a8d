# Cross-compiles the toolkit-free layers for 64-bit Windows with MinGW-w64 and runs their tests under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-base.cmake)
# One self-contained executable per test program, so Wine needs no MinGW runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
find_program(DASHCAM_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(DASHCAM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DASHCAM_WINE})
endif()
