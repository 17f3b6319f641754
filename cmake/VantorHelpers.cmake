# Build helpers shared by every subsystem's CMakeLists.txt.

function(vantor_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A GoogleTest executable of platform-free code, run natively (Linux only).
function(vantor_add_native_test name)
    if(VANTOR_WINDOWS)
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vantor_core GTest::gtest_main)
    vantor_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS native TIMEOUT 300)
endfunction()

# A GoogleTest executable run under Wine as one ctest test. Links the Win32
# code and the test kit (start programs, find windows, screenshots ...).
# Wine tests share one desktop, so they never run at the same time.
function(vantor_add_wine_test name)
    if(NOT VANTOR_WINDOWS)
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE $<TARGET_NAME_IF_EXISTS:vantor_testkit> vantor_win
                          GTest::gtest_main)
    vantor_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 300
                         RESOURCE_LOCK wine_desktop)
endfunction()

# A libFuzzer target (native, clang, ASan+UBSan). ctest replays the checked-in
# corpus, then fuzzes for VANTOR_FUZZ_SECONDS, keeping new inputs in the build
# tree only. The target merge_corpora (cmake --build build/native --target
# merge_corpora) merges them into the checked-in corpora.
set(VANTOR_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzzer runs during ./test")
if(NOT VANTOR_WINDOWS AND NOT TARGET merge_corpora)
    add_custom_target(merge_corpora)
endif()
function(vantor_add_fuzzer name corpus_dir)
    if(VANTOR_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        return()
    endif()
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vantor_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    vantor_warnings(${name})
    set(work_dir "${CMAKE_CURRENT_BINARY_DIR}/corpus/${name}")
    add_test(NAME ${name}_replay COMMAND ${name} -runs=0 "${corpus_dir}")
    add_test(NAME ${name}_fuzz
             COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DCORPUS=${corpus_dir}
                     -DWORK=${work_dir} -DSECONDS=${VANTOR_FUZZ_SECONDS}
                     -P ${CMAKE_SOURCE_DIR}/cmake/FuzzRun.cmake)
    set_tests_properties(${name}_replay PROPERTIES LABELS "native;fuzz" TIMEOUT 300)
    set_tests_properties(${name}_fuzz PROPERTIES LABELS "native;fuzz" TIMEOUT 600
                         DEPENDS ${name}_replay)
    add_custom_target(${name}_merge
                      COMMAND ${CMAKE_COMMAND} -E make_directory "${work_dir}"
                      COMMAND ${name} -merge=1 "${corpus_dir}" "${work_dir}"
                      DEPENDS ${name} VERBATIM)
    add_dependencies(merge_corpora ${name}_merge)
endfunction()

# A native test that the files committed under `committed` are exactly what
# the Python generator `generator` makes.
function(vantor_add_generated_check name generator committed)
    if(VANTOR_WINDOWS)
        return()
    endif()
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND}
                     -DPYTHON=${Python3_EXECUTABLE}
                     -DGENERATOR=${generator}
                     -DCOMMITTED=${committed}
                     -DOUT=${CMAKE_CURRENT_BINARY_DIR}/${name}
                     -P ${CMAKE_SOURCE_DIR}/cmake/CompareGenerated.cmake)
    set_tests_properties(${name} PROPERTIES LABELS native)
endfunction()
