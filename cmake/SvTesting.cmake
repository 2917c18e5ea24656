# Test registration helpers shared by every test folder.
#
# sv_add_test(NAME <name> COMMAND <cmd...> [SANDBOX] [TIMEOUT <s>] [LABELS <l...>])
#   Registers a CTest test. With SANDBOX the command runs inside
#   sandbox/sv-sandbox (private mount, UTS and PID namespaces; see that
#   script), so it may write /etc, /usr/bin, /usr/sbin, /opt, /mnt and
#   /dev/shm freely without touching the host.
#   GUI tests get QT_QPA_PLATFORM=offscreen and software Qt Quick.
set(SV_SANDBOX ${CMAKE_SOURCE_DIR}/sandbox/sv-sandbox CACHE INTERNAL "")

function(sv_add_test)
  cmake_parse_arguments(T "SANDBOX" "NAME;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(cmd ${T_COMMAND})
  if(T_SANDBOX)
    set(cmd ${SV_SANDBOX} -- ${T_COMMAND})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${cmd})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    # The longer a test may take, the earlier a parallel run starts it, so
    # that the long walks do not end the run alone (also on a first run,
    # which has no recorded times).
    COST ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;QT_QPA_OFFSCREEN_NO_GLX=1;SV_SOURCE_DIR=${CMAKE_SOURCE_DIR};SV_BINARY_DIR=${CMAKE_BINARY_DIR};${T_ENVIRONMENT}"
    # The host's state is recorded before and compared after every test run
    # (tests/sandbox: sandbox_host_state_before / _after).
    FIXTURES_REQUIRED sv_host_state)
endfunction()
