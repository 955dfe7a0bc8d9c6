# End-to-end tests of one build (build, build_dir): its real Vardelune.exe under
# Wine in a private Xvfb, driven by real pointer and keyboard input. One ctest
# test per test file, found by name; each file has an X display and a Wine
# prefix of its own, so files may run side by side (ctest -j). The
# hostile-input cases take six to eleven minutes.
set(e2e_dir ${PROJECT_SOURCE_DIR}/tests/e2e)
set(e2e_probe_dir ${build_dir}/tests/e2e/probe)
set(e2e_env "VARDELUNE_EXE=${build_dir}/host/Vardelune.exe;VARDELUNE_PROBE=${e2e_probe_dir}/Probe.exe;VARDELUNE_MESSENGER_STUB=${e2e_probe_dir}/msnmsgr.exe;VARDELUNE_HOLD_FILE=${e2e_probe_dir}/HoldFile.exe")

# The 32-bit build is the one for Windows XP: its main path runs once more in a
# prefix that reports Windows XP, with hostile cases that end in a report (one
# for each kind of refusal) and one whose paths pass 260 characters.
set(e2e_runs ${build})
if(build STREQUAL "x86")
  list(APPEND e2e_runs x86.winxp)
endif()
set(e2e_winxp_files cleanup error_window results_window shortcuts hostile_input)
set(e2e_winxp_hostile_cases wildcard_in_name account_is_a_file read_only_file link_to_folder path_over_260)

file(GLOB e2e_tests CONFIGURE_DEPENDS ${e2e_dir}/test_*.py)
# The hostile cases run as a user meets them: without root's override of
# file permissions, so that a folder the user may not write into is one.
find_program(VARDELUNE_SETPRIV setpriv)
foreach(run ${e2e_runs})
  foreach(file ${e2e_tests})
    string(REGEX REPLACE ".*/test_(.*)\\.py$" "\\1" name ${file})
    set(env ${e2e_env})
    set(only)
    if(run MATCHES "winxp")
      if(NOT name IN_LIST e2e_winxp_files)
        continue()
      endif()
      list(APPEND env VARDELUNE_WINDOWS_VERSION=winxp)
      if(name STREQUAL "hostile_input")
        foreach(case ${e2e_winxp_hostile_cases})
          list(APPEND only -k test_${case})
        endforeach()
      endif()
    endif()
    set(unprivileged)
    if(name STREQUAL "hostile_input" AND VARDELUNE_SETPRIV)
      set(unprivileged ${VARDELUNE_SETPRIV} --inh-caps=-dac_override,-fowner --bounding-set=-dac_override,-fowner)
    endif()
    add_test(NAME e2e.${run}.${name} COMMAND ${unprivileged} ${VARDELUNE_PYTHON} -m unittest -v test_${name} ${only}
             WORKING_DIRECTORY ${e2e_dir})
    set(timeout 600)
    if(name STREQUAL "hostile_input")
      set(timeout 1200)
    endif()
    set_tests_properties(e2e.${run}.${name} PROPERTIES
      LABELS "e2e;${build}"
      TIMEOUT ${timeout}
      ENVIRONMENT "${env}")
  endforeach()
endforeach()
