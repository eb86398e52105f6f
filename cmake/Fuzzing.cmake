# libFuzzer builds (clang only): every library is instrumented for coverage and runs under AddressSanitizer and
# UndefinedBehaviorSanitizer; the targets under tests/fuzz/ add libFuzzer's main. Configure without the window.
option(PAPYRANT_FUZZ "Build the libFuzzer targets (needs clang++)" OFF)
if(PAPYRANT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "PAPYRANT_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(PAPYRANT_WITH_GUI)
        message(FATAL_ERROR "PAPYRANT_FUZZ builds the libraries without Qt: configure with -DPAPYRANT_WITH_GUI=OFF")
    endif()
    target_compile_options(papyrant_common_cfg INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(papyrant_common_cfg INTERFACE -fsanitize=address,undefined)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/fuzz ${CMAKE_BINARY_DIR}/fuzz-targets)
endif()
