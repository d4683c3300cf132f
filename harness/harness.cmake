# The independent C host, built for the same target as the DLL.
add_executable(harness harness/harness.c)
target_compile_options(harness PRIVATE -Wall -Wextra -O1)
target_link_options(harness PRIVATE -static)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME harness_under_wine64
           COMMAND bash ${CMAKE_SOURCE_DIR}/harness/run_wine64.sh $<TARGET_FILE:harness>
                   $<TARGET_FILE:krelvashimon>)
  set_tests_properties(harness_under_wine64 PROPERTIES TIMEOUT 300)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME harness_under_wine32_in_vm
           COMMAND bash ${CMAKE_SOURCE_DIR}/harness/run_wine32_vm.sh $<TARGET_FILE:harness>
                   $<TARGET_FILE:krelvashimon>)
  set_tests_properties(harness_under_wine32_in_vm PROPERTIES TIMEOUT 1800)
endif()
