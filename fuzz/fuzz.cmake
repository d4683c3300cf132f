# libFuzzer targets, built when the compiler is clang; each runs briefly in
# CTest over its seed corpus, and longer through scripts/fuzz.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  return()
endif()

set(FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
component_objects(component_fuzz -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)

foreach(target records string8 search settings_reader launch)
  add_executable(fuzz_${target} fuzz/fuzz_${target}.cpp)
  target_include_directories(fuzz_${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(fuzz_${target} PRIVATE ${WARNINGS} ${FUZZ_FLAGS})
  target_link_options(fuzz_${target} PRIVATE ${FUZZ_FLAGS})
  target_link_libraries(fuzz_${target} PRIVATE component_fuzz)
  add_test(NAME fuzz_${target}
           COMMAND bash ${CMAKE_SOURCE_DIR}/fuzz/run.sh $<TARGET_FILE:fuzz_${target}>
                   ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target} 15)
  set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 120)
endforeach()
