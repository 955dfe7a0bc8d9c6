# Contract tests of the Win32 platform: the cross-built test executable of one
# build (build, build_dir, wine_loader) run under Wine, one ctest test per
# group of tests, each on its own fixture root. The groups that open windows
# (the shell's file browser, the window host's forms) each have a display and
# a Wine prefix of their own, ended after. The prefixes lie in the build
# folder, so that two checkouts, and the two builds, can run their tests at once.
set(contract_exe ${build_dir}/tests/contract/vardelune_contract_tests.exe)
set(contract_run ${PROJECT_SOURCE_DIR}/tests/contract/run-contract.sh)
set(contract_root ${CMAKE_CURRENT_BINARY_DIR}/contract-${build})
set(contract_env "VARDELUNE_WINE=${wine_loader}")

foreach(group Environment Enumeration FsPath Removal Process OldestWindows)
  add_test(NAME contract.${build}.${group}
           COMMAND ${contract_run} ${VARDELUNE_WINE_RUN} ${contract_exe} ${contract_root}/${group}
                   --gtest_filter=${group}.*)
  set_tests_properties(contract.${build}.${group} PROPERTIES
    LABELS "contract;${build}"
    ENVIRONMENT "${contract_env};VARDELUNE_WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-contract-${build}"
    TIMEOUT 300)
endforeach()

find_program(VARDELUNE_XVFB Xvfb)
if(VARDELUNE_XVFB)
  foreach(group_and_filter "Shell=Shell.*" "Host=Win32HostTest.*:FontHeight.*")
    string(REPLACE "=" ";" parts "${group_and_filter}")
    list(GET parts 0 group)
    list(GET parts 1 filter)
    string(TOLOWER ${group} prefix)
    add_test(NAME contract.${build}.${group}
             COMMAND ${contract_run} ${VARDELUNE_WINE_RUN} ${contract_exe} ${contract_root}/${group}
                     --display --gtest_filter=${filter})
    set_tests_properties(contract.${build}.${group} PROPERTIES
      LABELS "contract;${build}"
      ENVIRONMENT "${contract_env};VARDELUNE_WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-contract-${prefix}-${build}"
      TIMEOUT 300)
  endforeach()
endif()
