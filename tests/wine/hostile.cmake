# Hostile-input tests: the real Vardelune.exe under Wine against odd names,
# paths, attributes, locks, links and a 10,000-entry list. One test file, one
# Xvfb and one Wine prefix; six to eleven minutes, depending on what else runs.
set(VARDELUNE_E2E_DIR ${PROJECT_SOURCE_DIR}/tests/e2e)
set(VARDELUNE_E2E_PROBE_DIR ${VARDELUNE_WINDOWS_X64_DIR}/tests/e2e/probe)

add_test(NAME e2e.hostile_input
         COMMAND ${VARDELUNE_PYTHON} ${VARDELUNE_E2E_DIR}/test_hostile_input.py
         WORKING_DIRECTORY ${VARDELUNE_E2E_DIR})
set_tests_properties(e2e.hostile_input PROPERTIES
  LABELS e2e
  TIMEOUT 1200
  RESOURCE_LOCK xserver
  ENVIRONMENT "VARDELUNE_EXE=${VARDELUNE_WINDOWS_X64_DIR}/platform/Vardelune.exe;VARDELUNE_PROBE=${VARDELUNE_E2E_PROBE_DIR}/Probe.exe;VARDELUNE_MESSENGER_STUB=${VARDELUNE_E2E_PROBE_DIR}/msnmsgr.exe;VARDELUNE_HOLD_FILE=${VARDELUNE_E2E_PROBE_DIR}/HoldFile.exe")
