# The shipped launcher uses neither C++ exceptions nor RTTI, on every platform,
# nor anything else of the C++ runtime library: a function-local static needs
# no guard (its first use is on the launcher's own thread), which on Linux
# would otherwise load libstdc++ for that alone.
set(LAUNCHER_CXX_FLAGS -Wall -Wextra -fno-exceptions -fno-rtti -fno-threadsafe-statics)

if(WIN32)
  # Small and self-contained: the C++ runtime is linked in (and kept out by our
  # own operator new), unwind tables are dropped, unused sections collected.
  list(APPEND LAUNCHER_CXX_FLAGS
    -Os -fno-asynchronous-unwind-tables -fno-unwind-tables
    -ffunction-sections -fdata-sections)
  # The launcher has an entry of its own (platform/win32/entry.cpp).
  set(LAUNCHER_LINK_FLAGS
    -static -s -mwindows -nostartfiles -Wl,--gc-sections
    -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    list(APPEND LAUNCHER_LINK_FLAGS -Wl,--high-entropy-va)
  endif()
elseif(NOT LAUNCHER_SANITIZE AND NOT LAUNCHER_THREAD_SANITIZE)
  list(APPEND LAUNCHER_CXX_FLAGS -ffunction-sections -fdata-sections)
  set(LAUNCHER_LINK_FLAGS -s -Wl,--gc-sections -Wl,--as-needed)
else()
  set(LAUNCHER_LINK_FLAGS)
endif()

# Whatever links the launcher's code links the sanitizers' runtimes too.
set(LAUNCHER_SANITIZER_LINK_FLAGS)
if(LAUNCHER_SANITIZE)
  list(APPEND LAUNCHER_CXX_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  set(LAUNCHER_SANITIZER_LINK_FLAGS -fsanitize=address,undefined)
endif()
if(LAUNCHER_THREAD_SANITIZE)
  list(APPEND LAUNCHER_CXX_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  set(LAUNCHER_SANITIZER_LINK_FLAGS -fsanitize=thread)
endif()

if(NOT LAUNCHER_DIST_DIR)
  set(LAUNCHER_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
endif()
