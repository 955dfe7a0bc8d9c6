# Contract tests of the Win32 platform: the cross-built test executable run
# under Wine, one ctest test per group of tests, each on its own fixture root.
# The shell group opens file browser windows, so it has a display and a Wine
# prefix of its own, which it ends when it is done.
set(VARDELUNE_CONTRACT_EXE ${VARDELUNE_WINDOWS_X64_DIR}/tests/contract/vardelune_contract_tests.exe)
set(VARDELUNE_CONTRACT_RUN ${PROJECT_SOURCE_DIR}/tests/contract/run-contract.sh)
set(VARDELUNE_CONTRACT_ROOT ${CMAKE_CURRENT_BINARY_DIR}/contract)

foreach(group Environment Enumeration FsPath Probe FolderDeletion Process)
  add_test(NAME contract.${group}
           COMMAND ${VARDELUNE_CONTRACT_RUN} ${VARDELUNE_WINE_RUN} ${VARDELUNE_CONTRACT_EXE}
                   ${VARDELUNE_CONTRACT_ROOT}/${group} --gtest_filter=${group}.*)
  set_tests_properties(contract.${group} PROPERTIES
                       ENVIRONMENT "VARDELUNE_WINEPREFIX=/tmp/vardelune-wine-contract"
                       TIMEOUT 300)
endforeach()

find_program(VARDELUNE_XVFB Xvfb)
if(VARDELUNE_XVFB)
  add_test(NAME contract.Shell
           COMMAND ${VARDELUNE_CONTRACT_RUN} ${VARDELUNE_WINE_RUN} ${VARDELUNE_CONTRACT_EXE}
                   ${VARDELUNE_CONTRACT_ROOT}/Shell --display --gtest_filter=Shell.*)
  set_tests_properties(contract.Shell PROPERTIES
                       ENVIRONMENT "VARDELUNE_WINEPREFIX=/tmp/vardelune-wine-contract-shell"
                       TIMEOUT 300)
endif()
