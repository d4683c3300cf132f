# The native Linux build: the component as a shared library with our own
# platform layer, its unit tests (plain and under ASan + UBSan), the host
# program, fuzzers and benchmarks.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

set(PROFILE_READER_SOURCES platform/profile_reader.cpp platform/code_page_1252.cpp)
set(NATIVE_SOURCES ${COMPONENT_SOURCES} platform/platform_posix.cpp ${PROFILE_READER_SOURCES})
set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# One set of component objects per flavour; tests link the objects directly
# so that the static factories register exactly as they do in the library.
function(component_objects name)
  add_library(${name} OBJECT ${NATIVE_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${WARNINGS} -Werror ${ARGN})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON
                        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()

component_objects(component_plain -O2)
component_objects(component_sanitized -O1 -g ${SANITIZERS})

add_library(krelvashimon SHARED $<TARGET_OBJECTS:component_plain>)
set_target_properties(krelvashimon PROPERTIES PREFIX "" OUTPUT_NAME krelvashimon)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)

function(unit_tests name objects)
  add_executable(${name} ${UNIT_TEST_SOURCES} tests/test_support.cpp host/host_receiver.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${WARNINGS} ${ARGN})
  target_link_options(${name} PRIVATE ${ARGN})
  target_link_libraries(${name} PRIVATE ${objects} GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60)
endfunction()

include(GoogleTest)
unit_tests(unit_tests component_plain -O1)
unit_tests(unit_tests_sanitized component_sanitized -O1 -g ${SANITIZERS})

add_executable(krelvashimon-host host/host.cpp host/host_receiver.cpp ${SETTINGS_CHECK_SOURCES}
               host/host_platform_posix.cpp platform/platform_posix.cpp ${PROFILE_READER_SOURCES})
target_include_directories(krelvashimon-host PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(krelvashimon-host PRIVATE ${WARNINGS} -Werror)
target_link_libraries(krelvashimon-host PRIVATE ${CMAKE_DL_LIBS})
add_dependencies(krelvashimon-host krelvashimon)

add_test(NAME host_program_end_to_end
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/host_e2e.sh $<TARGET_FILE:krelvashimon-host>
                 $<TARGET_FILE:krelvashimon>)

add_test(NAME settings_check COMMAND bash ${CMAKE_SOURCE_DIR}/tests/settings_check_test.sh
                                        $<TARGET_FILE:krelvashimon-host>)

# Unloading the library frees its texts in a fixed order; the program's own
# free, exported to the library, watches them go.
add_executable(unload_order tests/unload/unload_order.cpp)
target_include_directories(unload_order PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(unload_order PRIVATE ${WARNINGS} -Werror)
target_link_libraries(unload_order PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(unload_order PROPERTIES ENABLE_EXPORTS ON)
add_test(NAME unload_frees_path_name_then_settings_path
         COMMAND unload_order $<TARGET_FILE:krelvashimon>)

include(${CMAKE_SOURCE_DIR}/fuzz/fuzz.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake OPTIONAL)

add_executable(profile_dump tests/profile_dump.cpp ${PROFILE_READER_SOURCES})
target_include_directories(profile_dump PRIVATE ${CMAKE_SOURCE_DIR})
add_executable(code_page_dump tests/code_page_dump.cpp platform/code_page_1252.cpp)
target_include_directories(code_page_dump PRIVATE ${CMAKE_SOURCE_DIR})
add_executable(utf8_dump tests/utf8_dump.cpp)
target_include_directories(utf8_dump PRIVATE ${CMAKE_SOURCE_DIR})

# The native settings reader against Wine's GetPrivateProfileStringA on the
# same corpus; needs the win64 build (scripts/test builds it first).
set(KRELVASHIMON_WIN64_BUILD ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "the win64 build folder")
add_test(NAME settings_reader_matches_the_platform
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/profile_corpus_compare.sh $<TARGET_FILE:profile_dump>
                 ${KRELVASHIMON_WIN64_BUILD}/profile_dump.exe ${CMAKE_SOURCE_DIR}/tests/profile_corpus
                 $<TARGET_FILE:code_page_dump> ${KRELVASHIMON_WIN64_BUILD}/code_page_dump.exe
                 $<TARGET_FILE:utf8_dump> ${KRELVASHIMON_WIN64_BUILD}/utf8_dump.exe)
set_tests_properties(settings_reader_matches_the_platform PROPERTIES TIMEOUT 300)
