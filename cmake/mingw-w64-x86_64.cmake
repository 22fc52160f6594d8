# Cross-compiles for 64-bit Windows with mingw-w64 (posix thread model, so the
# standard library has std::thread and std::mutex). Programs are linked
# statically: nothing but system DLLs travels with them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(AIRVANE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${AIRVANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${AIRVANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${AIRVANE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${AIRVANE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Programs start at wmain or wWinMain; the project adds this to every program
# (not globally, so that CMake's own compiler checks with main() still link).
set(AIRVANE_WIDE_ENTRY_LINK_OPTIONS -municode)

# What ships is linked without the debugging sections of the static runtime
# (the loader would map them with the image) and with its sections page-aligned
# in the file, so that Wine maps the image from the file instead of copying it
# into private memory. The project adds this to the deliverables outside Debug.
set(AIRVANE_SHIPPING_LINK_OPTIONS -s -Wl,--file-alignment,4096)

# Everything built here runs under Wine.
set(AIRVANE_RUN_UNDER_WINE ON)
