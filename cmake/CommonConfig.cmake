# One interface target carries the language level, warnings and defines; every target links it.
add_library(papyrant_common_cfg INTERFACE)
target_compile_features(papyrant_common_cfg INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(papyrant_common_cfg INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
if(PAPYRANT_WERROR)
    target_compile_options(papyrant_common_cfg INTERFACE -Werror)
endif()
if(PAPYRANT_SANITIZE)
    target_compile_options(papyrant_common_cfg INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                         -fno-sanitize-recover=undefined)
    target_link_options(papyrant_common_cfg INTERFACE -fsanitize=address,undefined)
endif()
if(PAPYRANT_TSAN)
    if(PAPYRANT_SANITIZE)
        message(FATAL_ERROR "ThreadSanitizer and AddressSanitizer cannot share a build")
    endif()
    target_compile_options(papyrant_common_cfg INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(papyrant_common_cfg INTERFACE -fsanitize=thread)
endif()
# File names stay bytes until they are shown: the compiler refuses every silent conversion between text and bytes.
target_compile_definitions(papyrant_common_cfg INTERFACE QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY
                                                           QT_NO_KEYWORDS)

# A library publishes its own folders and nothing else: includes are written from the project root
# ("platform/Registry.h"), and each library's include root holds only links to its own folders, so a target
# reaches a header only through a library it links. scripts/check-dependencies.sh holds the links and the
# includes against the table of allowed dependencies.
function(papyrant_publish_headers target)
    get_target_property(type ${target} TYPE)
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    foreach(folder ${ARGN})
        get_filename_component(parent ${root}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# Tests land beside each other, away from the shipped programs.
function(papyrant_add_test_executable name label)
    add_executable(${name} ${ARGN})
    if(NOT WIN32)
        # The folders tests need, compiled in: CTest's environment lists do not survive test discovery. (The
        # Windows tests take them from CTest's environment, one test per executable.)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/TestEnvironment.cpp)
        target_compile_definitions(${name} PRIVATE PAPYRANT_TEST_BIN_DIR="${PAPYRANT_BIN_DIR}"
                                                   PAPYRANT_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE papyrant_common_cfg papyrant_test_support GTest::gmock GTest::gtest)
    if(NOT name MATCHES "^(app|gui)")
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    set(environment "QT_QPA_PLATFORM=offscreen;PAPYRANT_BIN_DIR=${PAPYRANT_BIN_DIR};PAPYRANT_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    if(CMAKE_CROSSCOMPILING)
        # Under an emulator each start costs; listing the tests would start every executable once more at build
        # time. One CTest test per executable, its GoogleTest output shown on failure.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS ${label} ENVIRONMENT "${environment}")
    else()
        gtest_discover_tests(${name} PROPERTIES LABELS ${label} ENVIRONMENT "${environment}" DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
