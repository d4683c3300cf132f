# The player as the platform's compiler builds it, against the real DLL:
# under wine64 for the 64-bit twin, under 32-bit Wine in the emulated VM for
# the 32-bit DLL.
windows_program(abi_host tests/abi_host/abi_host.cpp)

# The component with one persistent variable of the tests' own, for the
# record stream's errors and cleanups; the host runs those checks when it
# finds it beside itself.
component_dll(krelvashimon_probe tests/abi_host/probe_variable.cpp)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_test(NAME abi_host_under_wine64
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/abi_host/run_wine64.sh $<TARGET_FILE:abi_host>
                   $<TARGET_FILE:krelvashimon> $<TARGET_FILE:krelvashimon_probe>)
  set_tests_properties(abi_host_under_wine64 PROPERTIES TIMEOUT 300)
else()
  add_test(NAME abi_host_under_wine32_in_vm
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/abi_host/run_wine32_vm.sh $<TARGET_FILE:abi_host>
                   $<TARGET_FILE:krelvashimon> $<TARGET_FILE:krelvashimon_probe>
                   $<TARGET_FILE:krelvashimon-host>)
  set_tests_properties(abi_host_under_wine32_in_vm PROPERTIES TIMEOUT 1800)
endif()
