# The real target: krelvashimon.dll, self-contained, importing only system
# DLLs, exporting only quelmodrin_get_interface.
add_library(krelvashimon SHARED ${COMPONENT_SOURCES} platform/platform_win32.cpp)
set_target_properties(krelvashimon PROPERTIES PREFIX "" OUTPUT_NAME krelvashimon)
target_include_directories(krelvashimon PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(krelvashimon PRIVATE ${WARNINGS} -O2)
target_link_options(krelvashimon PRIVATE -static -static-libgcc -static-libstdc++
                    -Wl,--exclude-all-symbols -Wl,--enable-stdcall-fixup)
target_link_libraries(krelvashimon PRIVATE shell32 user32 kernel32)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PE_MACHINE "i386")
  set(PE_FORMAT "pei-i386")
else()
  set(PE_MACHINE "x86-64")
  set(PE_FORMAT "pei-x86-64")
endif()

add_test(NAME dll_exports_imports_machine
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/check_dll.sh $<TARGET_FILE:krelvashimon> ${PE_FORMAT})

# The host program, as a Windows executable.
add_executable(krelvashimon-host host/host.cpp host/host_receiver.cpp)
target_include_directories(krelvashimon-host PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(krelvashimon-host PRIVATE ${WARNINGS} -O2)
target_link_options(krelvashimon-host PRIVATE -static -static-libgcc -static-libstdc++)

include(${CMAKE_SOURCE_DIR}/harness/harness.cmake OPTIONAL)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME release_archive
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package_test.sh $<TARGET_FILE:krelvashimon>)
endif()

add_executable(profile_dump tests/profile_dump.cpp)
target_link_options(profile_dump PRIVATE -static)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME screen_explorer_window_and_warning_box
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/windows-screen ${CMAKE_BINARY_DIR}/../screens)
  set_tests_properties(screen_explorer_window_and_warning_box PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE)
endif()
