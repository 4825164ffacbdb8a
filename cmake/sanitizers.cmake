# Sanitizer builds, each in a build folder of its own:
# - KORVANE_SANITIZE (`make check-sanitize`): AddressSanitizer and UndefinedBehaviorSanitizer on
#   everything built; undefined behaviour stops the program like an address fault does.
# - KORVANE_FUZZ (`make fuzz`, clang only): the same sanitizers plus libFuzzer's coverage
#   instrumentation, for the fuzz targets of tests/fuzz.
option(KORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KORVANE_FUZZ "Build the libFuzzer targets of tests/fuzz (clang, with the sanitizers)" OFF)

if(KORVANE_SANITIZE OR KORVANE_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Not part of gcc's "undefined": a double too large for the integer it is converted to.
    add_compile_options(-fsanitize=float-cast-overflow)
  endif()
  add_link_options(-fsanitize=address,undefined)
endif()

if(KORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KORVANE_FUZZ needs clang's libFuzzer: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
