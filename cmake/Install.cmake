# `cmake --install build --prefix FOLDER` puts a self-contained Selvane into FOLDER: the executable, the help
# document, the chart's font with its licence and, only where none exists, an empty data file. Her diary lives
# beside the executable, so FOLDER is one she owns (for example ~/Selvane). A desktop entry and the heart icon
# go into her data folder so that the program appears in the desktop's menu.
set(SELVANE_DESKTOP_DATA_DIR "" CACHE PATH
    "Where the desktop entry and icon go (default: $XDG_DATA_HOME or ~/.local/share at install time)")

install(TARGETS selvane RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/selvane3.hlp DESTINATION .)
install(FILES ${SELVANE_CHART_FONT_FILES} DESTINATION .)
install(CODE "
  set(app_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND \"$<TARGET_FILE:selvane_makedb>\" --if-missing \"\${app_dir}/selvane.mdb\"
                  RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR \"could not make the data file in \${app_dir}\")
  endif()

  set(data_dir \"${SELVANE_DESKTOP_DATA_DIR}\")
  if(NOT data_dir)
    set(data_dir \"\$ENV{XDG_DATA_HOME}\")
  endif()
  if(NOT data_dir)
    set(data_dir \"\$ENV{HOME}/.local/share\")
  endif()
  set(data_dir \"\$ENV{DESTDIR}\${data_dir}\")
  get_filename_component(exec \"\${CMAKE_INSTALL_PREFIX}/selvane\" ABSOLUTE)
  set(SELVANE_EXEC \"\\\"\${exec}\\\"\")
  # Named like the package's entry: an entry in her data folder hides the system's one of the same name, so
  # that no menu shows Selvane twice.
  set(entry \"\${data_dir}/applications/${SELVANE_APP_ID}.desktop\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/${SELVANE_APP_ID}.desktop.in\" \"\${entry}\" @ONLY)
  # The entry an earlier install of this same folder made under the old name goes.
  set(old_entry \"\${data_dir}/applications/selvane.desktop\")
  if(EXISTS \"\${old_entry}\")
    file(STRINGS \"\${old_entry}\" old_exec REGEX \"^Exec=\")
    if(old_exec STREQUAL \"Exec=\${SELVANE_EXEC}\")
      file(REMOVE \"\${old_entry}\")
    endif()
  endif()
  file(INSTALL \"${PROJECT_SOURCE_DIR}/resources/icons/heart.svg\"
       DESTINATION \"\${data_dir}/icons/hicolor/scalable/apps\" RENAME selvane.svg)
  message(STATUS \"Desktop entry: \${entry}\")
")
