# Installs the build into a scratch prefix and checks that the menu entry,
# the icon at each size, the two bin/ links and the templates are where the desktop and
# the programs look for them, then starts the installed wizard (it must
# still be running, showing its window, after a few seconds) and builds a
# one-picture site with pixelnook-build through its link.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(program "${PREFIX}/${PROGRAM_DIR}/pixelnook")
set(link "${PREFIX}/${BINDIR}/pixelnook")
set(tool "${PREFIX}/${PROGRAM_DIR}/pixelnook-build")
set(tool_link "${PREFIX}/${BINDIR}/pixelnook-build")
foreach(path
    "${program}"
    "${tool}"
    "${PREFIX}/${PROGRAM_DIR}/templates/template1.html"
    "${PREFIX}/${PROGRAM_DIR}/templates/template6.html"
    "${PREFIX}/${DATADIR}/icons/hicolor/48x48/apps/pixelnook.png"
    "${PREFIX}/${DATADIR}/icons/hicolor/64x64/apps/pixelnook.png"
    "${PREFIX}/${DATADIR}/icons/hicolor/128x128/apps/pixelnook.png"
    "${PREFIX}/${DATADIR}/icons/hicolor/256x256/apps/pixelnook.png"
    "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

foreach(pair "${link}|${program}" "${tool_link}|${tool}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(NOT IS_SYMLINK "${from}")
    message(FATAL_ERROR "${from} is not a symbolic link")
  endif()
  file(READ_SYMLINK "${from}" written)
  if(IS_ABSOLUTE "${written}")
    message(FATAL_ERROR "${from} leads to the absolute ${written}: the tree could not be moved")
  endif()
  file(REAL_PATH "${from}" target)
  file(REAL_PATH "${to}" real_to)
  if(NOT target STREQUAL real_to)
    message(FATAL_ERROR "${from} leads to ${target}, not to ${real_to}")
  endif()
endforeach()

file(READ "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop" entry)
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

# The tool through its link finds the built-in templates beside the real
# program, not beside the link (a template it cannot open stops the build
# before index1.html).
set(site "${PREFIX}-site")
file(REMOVE_RECURSE "${site}")
execute_process(COMMAND "${tool_link}" --site-folder "${site}" --template 4 "${PICTURE}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pixelnook-build through ${tool_link} failed (${rc}):\n${out}\n${err}")
endif()
get_filename_component(picture_name "${PICTURE}" NAME)
foreach(path "${site}/index1.html" "${site}/images/${picture_name}" "${site}/thumbnails/tn${picture_name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "pixelnook-build through its link did not write ${path}:\n${out}")
  endif()
endforeach()
