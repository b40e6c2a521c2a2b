# cmake -DMAKE_DEMO=program -DEXPECTED=demo.vel -DOUT=scratch.vel -P check_demo.cmake
# Makes the demo song into OUT and fails unless it is byte for byte EXPECTED.
file(REMOVE ${OUT})
execute_process(COMMAND ${MAKE_DEMO} ${OUT} RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "${MAKE_DEMO} ${OUT} failed: ${made}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED}
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what velloran-make-demo makes now; remake it with\n"
                      "  velloran-make-demo ${EXPECTED}")
endif()
file(REMOVE ${OUT})
