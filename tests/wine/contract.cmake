# Contract tests of the Win32 platform: the cross-built test executable run
# under Wine, one ctest test per group of tests, each on its own fixture root.
# The groups that open windows (the shell's file browser, the window host's
# forms) each have a display and a Wine prefix of their own, ended after. The
# prefixes lie in the build folder, so that two checkouts can run their tests at once.
set(VARDELUNE_CONTRACT_EXE ${VARDELUNE_WINDOWS_X64_DIR}/tests/contract/vardelune_contract_tests.exe)
set(VARDELUNE_CONTRACT_RUN ${PROJECT_SOURCE_DIR}/tests/contract/run-contract.sh)
set(VARDELUNE_CONTRACT_ROOT ${CMAKE_CURRENT_BINARY_DIR}/contract)

foreach(group Environment Enumeration FsPath Removal Process OldestWindows)
  add_test(NAME contract.${group}
           COMMAND ${VARDELUNE_CONTRACT_RUN} ${VARDELUNE_WINE_RUN} ${VARDELUNE_CONTRACT_EXE}
                   ${VARDELUNE_CONTRACT_ROOT}/${group} --gtest_filter=${group}.*)
  set_tests_properties(contract.${group} PROPERTIES
                       ENVIRONMENT "VARDELUNE_WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-contract"
                       TIMEOUT 300)
endforeach()

find_program(VARDELUNE_XVFB Xvfb)
if(VARDELUNE_XVFB)
  foreach(group_and_filter "Shell=Shell.*" "Host=Win32HostTest.*:FontHeight.*")
    string(REPLACE "=" ";" parts "${group_and_filter}")
    list(GET parts 0 group)
    list(GET parts 1 filter)
    string(TOLOWER ${group} prefix)
    add_test(NAME contract.${group}
             COMMAND ${VARDELUNE_CONTRACT_RUN} ${VARDELUNE_WINE_RUN} ${VARDELUNE_CONTRACT_EXE}
                     ${VARDELUNE_CONTRACT_ROOT}/${group} --display --gtest_filter=${filter})
    set_tests_properties(contract.${group} PROPERTIES
                         ENVIRONMENT "VARDELUNE_WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-contract-${prefix}"
                         TIMEOUT 300)
  endforeach()
endif()
