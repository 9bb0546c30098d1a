# kalvik_add_test(NAME name SOURCES ... LIBS ... [GUI])
# Builds one Qt Test executable. A GUI test runs twice: on the offscreen
# platform and, when xvfb-run is present, on xcb against a real X server.
find_program(KALVIK_XVFB_RUN xvfb-run)

function(kalvik_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(T_GUI)
    add_test(NAME ${T_NAME}.offscreen COMMAND ${T_NAME})
    set_tests_properties(${T_NAME}.offscreen PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "gui;offscreen" TIMEOUT 120)
    if(KALVIK_XVFB_RUN)
      add_test(NAME ${T_NAME}.xcb COMMAND ${KALVIK_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${T_NAME}>)
      set_tests_properties(${T_NAME}.xcb PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=xcb" LABELS "gui;xcb" RESOURCE_LOCK xserver TIMEOUT 120)
    endif()
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  endif()
endfunction()
