# Installs the build into a scratch prefix and checks that the menu entry,
# the icon, the bin/ link and the templates are where the desktop and the
# program look for them, then starts the installed program: it must still
# be running (showing its window) after a few seconds.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(program "${PREFIX}/${PROGRAM_DIR}/pixelnook")
set(link "${PREFIX}/${BINDIR}/pixelnook")
foreach(path
    "${program}"
    "${PREFIX}/${PROGRAM_DIR}/templates/template1.html"
    "${PREFIX}/${PROGRAM_DIR}/templates/template6.html"
    "${PREFIX}/${DATADIR}/icons/hicolor/64x64/apps/pixelnook.png"
    "${PREFIX}/${DATADIR}/applications/pixelnook.desktop")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

if(NOT IS_SYMLINK "${link}")
  message(FATAL_ERROR "${link} is not a symbolic link")
endif()
file(REAL_PATH "${link}" target)
file(REAL_PATH "${program}" real_program)
if(NOT target STREQUAL real_program)
  message(FATAL_ERROR "${link} leads to ${target}, not to ${real_program}")
endif()

file(READ "${PREFIX}/${DATADIR}/applications/pixelnook.desktop" entry)
foreach(line "Exec=${link}" "Icon=pixelnook" "Name=Pixelnook" "Type=Application")
  string(FIND "${entry}" "${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "the menu entry lacks \"${line}\":\n${entry}")
  endif()
endforeach()

# The program has no way to end by itself; three seconds alive through the
# link is the pass (timeout ends it with 124).
execute_process(COMMAND timeout 3 "${link}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 124)
  message(FATAL_ERROR "the installed program ended early (${rc}):\n${out}\n${err}")
endif()
