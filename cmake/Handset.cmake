# Build conventions shared by every folder: warnings, sanitizers, and the helpers that
# turn a folder into a library, a test program or a fuzz harness.

add_compile_options(-Wall -Wextra -ffp-contract=off)
if(HANDSET_WERROR)
    add_compile_options(-Werror)
endif()
if(HANDSET_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(HANDSET_FUZZ)
    add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# handset_library(<target> [DEPENDS <targets...>] [SOURCES <files...>])
# A static library of the current folder; by default every .cpp file in it but a
# program's entry (<Program>Main.cpp), which handset_program takes.
function(handset_library target)
    cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES" ${ARGN})
    if(NOT ARG_SOURCES)
        file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        list(FILTER ARG_SOURCES EXCLUDE REGEX "Main\\.cpp$")
    endif()
    if(NOT ARG_SOURCES)
        message(STATUS "${target}: no sources yet, not built")
        return()
    endif()
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
endfunction()

# handset_program(<target> [SOURCES <files...>] DEPENDS <targets...>)
# A program of the handset: its WinMain comes from the program, main() from the platform.
function(handset_program target)
    cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES" ${ARGN})
    if(HANDSET_FUZZ)
        return()
    endif()
    add_executable(${target} ${ARG_SOURCES})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE platform_main ${ARG_DEPENDS})
endfunction()

# handset_test(<target> DEPENDS <targets...> [SOURCES <files...>] [ISOLATED <suites...>])
# One GoogleTest program per tests/ folder; by default every .cpp file in it. Its cases run
# together in one process, as one test of ctest: starting a sanitized process per case
# costs more than most cases do. The suites named ISOLATED (cases that need a process of
# their own, such as those that change state only a fresh process has) run one case per
# process instead, each its own test of ctest.
function(handset_test target)
    cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES;ISOLATED" ${ARGN})
    if(NOT ARG_SOURCES)
        file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    if(NOT ARG_SOURCES)
        message(STATUS "${target}: no tests yet")
        return()
    endif()
    add_executable(${target} ${ARG_SOURCES})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} handset_test_support GTest::gtest GTest::gmock
                                            GTest::gtest_main)
    if(ARG_ISOLATED)
        list(TRANSFORM ARG_ISOLATED APPEND ".*")
        list(JOIN ARG_ISOLATED ":" isolated)
        gtest_discover_tests(${target} TEST_FILTER ${isolated} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
        set(together "--gtest_filter=-${isolated}")
    endif()
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1 ${together})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()

# handset_fuzz(<name> DEPENDS <targets...>)
# fuzz/<name>.cpp holds LLVMFuzzerTestOneInput; fuzz/corpus/<name>/ its saved inputs.
# With HANDSET_FUZZ it becomes a libFuzzer program; in the test build it becomes a replay
# program (no fuzzer) that ctest runs over the saved inputs.
function(handset_fuzz name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    set(source ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    # A name that is not a target would only fail at the link, as "-l<name>", and only in
    # the build that lacks it: say so when the build is configured.
    foreach(dependency IN LISTS ARG_DEPENDS)
        if(NOT TARGET ${dependency})
            message(FATAL_ERROR "fuzz harness ${name} links ${dependency}, which this build does not make")
        endif()
    endforeach()
    if(HANDSET_FUZZ)
        add_executable(fuzz_${name} ${source})
        target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR})
        target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPENDS})
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        set_property(GLOBAL APPEND PROPERTY HANDSET_FUZZ_TARGETS fuzz_${name})
    elseif(HANDSET_TESTS)
        add_executable(replay_${name} ${source} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
        target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR})
        target_link_libraries(replay_${name} PRIVATE ${ARG_DEPENDS})
        add_test(NAME fuzz_replay.${name} COMMAND replay_${name} ${corpus})
    endif()
endfunction()
