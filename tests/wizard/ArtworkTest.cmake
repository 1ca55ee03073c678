# Runs pixelnook-artwork into a scratch folder and compares every picture it
# writes with the one the wizard is built with: the drawing is reproducible,
# so a change to the artwork program that changes a picture shows here until
# the pictures are made again and committed.
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${ARTWORK}" "${OUT}" RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pixelnook-artwork ended with ${status}")
endif()
foreach(name banner.jpg pixelnook.png pixelnook-48.png pixelnook-128.png pixelnook-256.png
             preview1.jpg preview2.jpg preview3.jpg preview4.jpg preview5.jpg preview6.jpg)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${name}" "${RESOURCES}/${name}"
    RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${name} differs from wizard/resources/${name}")
  endif()
endforeach()
