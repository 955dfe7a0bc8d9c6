# End-to-end tests: the real Vardelune.exe under Wine in a private Xvfb,
# driven by real pointer and keyboard input. One ctest test per test file,
# found by name; they share the X and Wine machinery of this machine, so they
# run one at a time. The hostile-input cases take six to eleven minutes.
set(VARDELUNE_E2E_DIR ${PROJECT_SOURCE_DIR}/tests/e2e)
set(VARDELUNE_E2E_PROBE_DIR ${VARDELUNE_WINDOWS_X64_DIR}/tests/e2e/probe)

file(GLOB VARDELUNE_E2E_TESTS CONFIGURE_DEPENDS ${VARDELUNE_E2E_DIR}/test_*.py)
# The hostile cases run as a user meets them: without root's override of
# file permissions, so that a folder the user may not write into is one.
find_program(VARDELUNE_SETPRIV setpriv)
foreach(file ${VARDELUNE_E2E_TESTS})
  string(REGEX REPLACE ".*/test_(.*)\\.py$" "\\1" name ${file})
  set(unprivileged)
  if(name STREQUAL "hostile_input" AND VARDELUNE_SETPRIV)
    set(unprivileged ${VARDELUNE_SETPRIV} --inh-caps=-dac_override,-fowner --bounding-set=-dac_override,-fowner)
  endif()
  add_test(NAME e2e.${name} COMMAND ${unprivileged} ${VARDELUNE_PYTHON} -m unittest -v test_${name}
           WORKING_DIRECTORY ${VARDELUNE_E2E_DIR})
  set(timeout 600)
  if(name STREQUAL "hostile_input")
    set(timeout 1200)
  endif()
  set_tests_properties(e2e.${name} PROPERTIES
    LABELS e2e
    TIMEOUT ${timeout}
    RESOURCE_LOCK xserver
    ENVIRONMENT "VARDELUNE_EXE=${VARDELUNE_WINDOWS_X64_DIR}/host/Vardelune.exe;VARDELUNE_PROBE=${VARDELUNE_E2E_PROBE_DIR}/Probe.exe;VARDELUNE_MESSENGER_STUB=${VARDELUNE_E2E_PROBE_DIR}/msnmsgr.exe;VARDELUNE_HOLD_FILE=${VARDELUNE_E2E_PROBE_DIR}/HoldFile.exe")
endforeach()
