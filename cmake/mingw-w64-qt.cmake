# The Qt programs for 64-bit Windows (MinGW-w64), chain-loaded by Qt's own toolchain file (the preset "windows"):
# the MinGW-w64 toolchain, with the C++ runtime in its DLLs beside the programs, as Qt's own DLLs use it, so that
# the process holds one runtime.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
