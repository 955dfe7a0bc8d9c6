# End-to-end tests: the real Vardelune.exe under Wine in a private Xvfb,
# driven by real pointer and keyboard input. One ctest test per test file;
# they share the X and Wine machinery of this machine, so they run one at a time.
set(VARDELUNE_E2E_DIR ${PROJECT_SOURCE_DIR}/tests/e2e)
set(VARDELUNE_E2E_PROBE_DIR ${VARDELUNE_WINDOWS_X64_DIR}/tests/e2e/probe)

foreach(name startup main_window error_window cleanup results_window shortcuts)
  add_test(NAME e2e.${name}
           COMMAND ${VARDELUNE_PYTHON} ${VARDELUNE_E2E_DIR}/test_${name}.py
           WORKING_DIRECTORY ${VARDELUNE_E2E_DIR})
  set_tests_properties(e2e.${name} PROPERTIES
    LABELS e2e
    TIMEOUT 600
    RESOURCE_LOCK xserver
    ENVIRONMENT "VARDELUNE_EXE=${VARDELUNE_WINDOWS_X64_DIR}/platform/Vardelune.exe;VARDELUNE_PROBE=${VARDELUNE_E2E_PROBE_DIR}/Probe.exe;VARDELUNE_MESSENGER_STUB=${VARDELUNE_E2E_PROBE_DIR}/msnmsgr.exe")
endforeach()
