# The wizard program "pixelnook": start-up (the application object and the
# eight windows) in a small library (the wizard tests link it too), the
# executable, and the files that put it into the desktop's application menu.

add_library(pixelnook_app STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/Application.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Application.h
  ${CMAKE_CURRENT_SOURCE_DIR}/CreateForms.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CreateForms.h)
target_include_directories(pixelnook_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(pixelnook_app PUBLIC pixelnook_wizard Qt6::Widgets)
target_compile_definitions(pixelnook_app PRIVATE PIXELNOOK_APP_ID="${PIXELNOOK_APP_ID}")

add_executable(pixelnook ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(pixelnook PRIVATE pixelnook_app)
# Running the program from the build tree needs the templates beside it.
add_dependencies(pixelnook pixelnook_templates)

install(TARGETS pixelnook RUNTIME DESTINATION ${PIXELNOOK_INSTALL_DIR})

pixelnook_install_bin_link(pixelnook)

# The menu entry names the program by its full installed path, worked out
# when installing so that "cmake --install --prefix" is honoured.
install(CODE "
  file(READ \"${CMAKE_CURRENT_SOURCE_DIR}/pixelnook.desktop.in\" entry)
  string(REPLACE \"@PIXELNOOK_PROGRAM@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pixelnook\" entry \"\${entry}\")
  set(appdir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  file(MAKE_DIRECTORY \"\${appdir}\")
  message(STATUS \"Installing: \${appdir}/${PIXELNOOK_APP_ID}.desktop\")
  file(WRITE \"\${appdir}/${PIXELNOOK_APP_ID}.desktop\" \"\${entry}\")
")

# The icon at each size it is drawn in, where icon themes look for it.
foreach(size 48 64 128 256)
  if(size EQUAL 64)
    set(icon ${CMAKE_SOURCE_DIR}/wizard/resources/pixelnook.png)
  else()
    set(icon ${CMAKE_SOURCE_DIR}/wizard/resources/pixelnook-${size}.png)
  endif()
  install(FILES ${icon} RENAME pixelnook.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
