# The Windows builds: krelvashimon.dll, self-contained, exporting only
# quelmodrin_get_interface and importing only system DLLs, and the Windows
# test tools, all built for the platform compiler's C++ ABI
# (cmake/clang-msvc.cmake).

# Headers: libstdc++'s and mingw-w64's, as the mingw-w64 compiler lists them.
execute_process(COMMAND ${KV_MINGW_TRIPLE}-g++ -x c++ -E -v -
                INPUT_FILE /dev/null OUTPUT_QUIET ERROR_VARIABLE mingw_search RESULT_VARIABLE mingw_status)
if(NOT mingw_status EQUAL 0)
  message(FATAL_ERROR "${KV_MINGW_TRIPLE}-g++ is needed for its headers (package g++-mingw-w64-*)")
endif()
string(REGEX MATCH "search starts here:\n(.*)\nEnd of search list" mingw_search "${mingw_search}")
string(REGEX MATCHALL "/[^\n]+" mingw_dirs "${CMAKE_MATCH_1}")
set(header_dirs)
foreach(dir IN LISTS mingw_dirs)
  string(STRIP "${dir}" dir)
  get_filename_component(dir "${dir}" ABSOLUTE)
  # libstdc++'s two folders and the C headers; gcc's own builtin headers
  # give way to clang's.
  if(dir MATCHES "include/c\\+\\+(/${KV_MINGW_TRIPLE})?$" OR dir MATCHES "${KV_MINGW_TRIPLE}/include$")
    list(APPEND header_dirs "-isystem${dir}")
  endif()
endforeach()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(mingw_defines -D_X86_ -D__MINGW32__ -D_ALLOCA_S_MARKER_SIZE=8)
  # The load configuration (safe_seh.cpp) is kept although nothing refers to
  # it: the linker points the image's header at it.
  set(load_config_option /include:__load_config_used)
else()
  # What gcc tells libstdc++ about __int128 on this target.
  set(mingw_defines -D__MINGW32__ -D__MINGW64__ -D_ALLOCA_S_MARKER_SIZE=16
      -D__GLIBCXX_TYPE_INT_N_0=__int128 -D__GLIBCXX_BITSIZE_INT_N_0=128)
endif()
add_compile_options(-fgnuc-version=12 ${mingw_defines} -D__USE_MINGW_ANSI_STDIO=0
                    -nostdinc++ ${header_dirs} -fexceptions -fcxx-exceptions)

# Import libraries from our own lists of the functions we call.
find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(LLD_LINK NAMES lld-link lld-link-14 REQUIRED)
set(import_dir ${CMAKE_BINARY_DIR}/imports)
set(import_libraries)
foreach(dll kernel32 user32 shell32 msvcrt)
  set(def ${CMAKE_SOURCE_DIR}/platform/win32_runtime/imports/${dll}.def)
  set(lib ${import_dir}/${dll}.lib)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_custom_command(OUTPUT ${lib} DEPENDS ${def}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${import_dir}
                       COMMAND ${LLVM_DLLTOOL} -m i386 -k -d ${def} -l ${lib})
  else()
    # The same list without the 32-bit argument sizes.
    file(READ ${def} entries)
    string(REGEX REPLACE "@[0-9]+" "" entries "${entries}")
    set(def64 ${import_dir}/${dll}.def)
    file(WRITE ${def64} "${entries}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    add_custom_command(OUTPUT ${lib} DEPENDS ${def64}
                       COMMAND ${LLVM_DLLTOOL} -m i386:x86-64 -d ${def64} -l ${lib})
  endif()
  list(APPEND import_libraries ${lib})
endforeach()
add_custom_target(import_libraries DEPENDS ${import_libraries})

set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_CXX_CREATE_CONSOLE_EXE "")
# lld-link directly: no default libraries, no debug information in what ships.
set(link_common "${LLD_LINK} /nologo /nodefaultlib /opt:ref /opt:icf ${load_config_option} /out:<TARGET> <LINK_FLAGS> <OBJECTS> <LINK_LIBRARIES>")
set(CMAKE_CXX_CREATE_SHARED_LIBRARY "${link_common} /dll /implib:<TARGET_IMPLIB>")
set(CMAKE_CXX_LINK_EXECUTABLE "${link_common} /subsystem:console")

add_library(win32_runtime OBJECT platform/win32_runtime/runtime.cpp)
target_include_directories(win32_runtime PUBLIC ${CMAKE_SOURCE_DIR})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_sources(win32_runtime PRIVATE platform/win32_runtime/safe_seh.cpp)
endif()

# Runs static constructors, calls main with msvcrt's arguments, runs the
# exit list and ends the process: the start-up of the test tools.
add_library(win32_program_entry OBJECT platform/win32_runtime/program_entry.cpp)
target_include_directories(win32_program_entry PRIVATE ${CMAKE_SOURCE_DIR})

function(windows_program name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:win32_runtime> $<TARGET_OBJECTS:win32_program_entry>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  # msvcrt's own printf family: libstdc++'s configuration would switch the
  # C headers to mingw-w64's replacements, which live in a library we do
  # not link, unless stdio.h has been read first.
  target_compile_options(${name} PRIVATE ${WARNINGS} -Werror -O1 -include stdio.h)
  target_link_options(${name} PRIVATE /entry:program_entry)
  target_link_libraries(${name} PRIVATE ${import_libraries})
  add_dependencies(${name} import_libraries)
endfunction()

# The library, from the component's sources and any extra ones. Link order
# fixes the order of the static constructors, and with it the unload order:
# the factories first, the client's texts last. Each function gets a section
# of its own, so that the linker drops what the component never calls (the
# seam's name lists serve the host program's settings check only).
function(component_dll name)
  add_library(${name} SHARED ${COMPONENT_SOURCES} ${ARGN} platform/platform_win32.cpp
              platform/win32_runtime/dll_entry.cpp $<TARGET_OBJECTS:win32_runtime>)
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${WARNINGS} -Werror -Os -ffunction-sections -fdata-sections)
  target_link_options(${name} PRIVATE /entry:krelvashimon_dll_entry)
  target_link_libraries(${name} PRIVATE ${import_libraries})
  add_dependencies(${name} import_libraries)
endfunction()

component_dll(krelvashimon)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PE_FORMAT "pei-i386")
else()
  set(PE_FORMAT "pei-x86-64")
endif()

add_test(NAME dll_exports_imports_machine
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/check_dll.sh $<TARGET_FILE:krelvashimon> ${PE_FORMAT})

include(${CMAKE_SOURCE_DIR}/tests/abi_host/abi_host.cmake)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME release_archive
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package_test.sh $<TARGET_FILE:krelvashimon>
                   $<TARGET_FILE:krelvashimon-host>)
endif()

# The host program as the player's users run it: the settings check.
windows_program(krelvashimon-host host/windows_host.cpp ${SETTINGS_CHECK_SOURCES} host/host_platform_win32.cpp
                platform/platform_win32.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME settings_check_under_wine64
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/settings_check_test.sh --wine64 $<TARGET_FILE:krelvashimon-host>)
  set_tests_properties(settings_check_under_wine64 PROPERTIES TIMEOUT 300)
endif()

windows_program(profile_dump tests/profile_dump.cpp)
windows_program(code_page_dump tests/code_page_dump.cpp)
windows_program(utf8_dump tests/utf8_dump.cpp)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME screen_explorer_window_and_warning_box
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/windows-screen ${CMAKE_BINARY_DIR}/../screens)
  set_tests_properties(screen_explorer_window_and_warning_box PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE)
endif()
