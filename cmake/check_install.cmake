# Installs the build into a fresh prefix and checks the installed layout:
# the program and its language module in bin, the help pages in
# share/pigmora/help.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f bin/pigmora bin/pigmora.enu share/pigmora/help/index.html)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "missing from the installed layout: ${f}")
  endif()
endforeach()
file(READ ${PREFIX}/share/pigmora/help/index.html page)
if(NOT page MATCHES "<title>Pigmora Help</title>")
  message(FATAL_ERROR "the installed help page is not Pigmora's")
endif()
file(REMOVE_RECURSE ${PREFIX})
