# The font of the chart for her doctor, derived at build time from Debian's Noto Sans CJK JP by
# tools/derive_chart_font.py (fontTools, from python3-fonttools): "Selvane Chart JP", Regular and Bold, and
# its licence, beside the program in the build folder. Made once: a rebuild does it again only when the script,
# the licence or a source font changed. SELVANE_CHART_FONT_FILES names what is installed beside the program.

# A Python 3 that has fontTools: the first python3 on the PATH that imports it (a Python of one's own that
# comes first on the PATH may lack Debian's modules).
set(SELVANE_FONT_PYTHON "" CACHE FILEPATH "A Python 3 with fontTools (Debian's python3-fonttools)")
if(NOT SELVANE_FONT_PYTHON)
  string(REPLACE ":" ";" path_dirs "$ENV{PATH}")
  foreach(dir IN LISTS path_dirs)
    if(EXISTS "${dir}/python3")
      execute_process(COMMAND "${dir}/python3" -c "import fontTools.ttLib"
                      RESULT_VARIABLE imported OUTPUT_QUIET ERROR_QUIET)
      if(imported EQUAL 0)
        set(SELVANE_FONT_PYTHON "${dir}/python3" CACHE FILEPATH
            "A Python 3 with fontTools (Debian's python3-fonttools)" FORCE)
        break()
      endif()
    endif()
  endforeach()
endif()
if(NOT SELVANE_FONT_PYTHON)
  message(FATAL_ERROR "No python3 with fontTools for the chart's font: install python3-fonttools "
                      "(bash scripts/install-deps.sh)")
endif()

set(SELVANE_CHART_FONT_FILES)
foreach(weight Regular Bold)
  execute_process(COMMAND fc-match -f "%{file}" "Noto Sans CJK JP:style=${weight}"
                  OUTPUT_VARIABLE source RESULT_VARIABLE matched ERROR_QUIET)
  if(NOT matched EQUAL 0 OR NOT source MATCHES "NotoSansCJK-${weight}\\.ttc$")
    message(FATAL_ERROR "Noto Sans CJK JP ${weight} not found (fc-match gave '${source}'): install "
                        "fonts-noto-cjk (bash scripts/install-deps.sh)")
  endif()
  set(font ${PROJECT_BINARY_DIR}/SelvaneChartJP-${weight}.otf)
  add_custom_command(OUTPUT ${font}
    COMMAND ${SELVANE_FONT_PYTHON} ${PROJECT_SOURCE_DIR}/tools/derive_chart_font.py ${source} ${weight} ${font}
            ${PROJECT_SOURCE_DIR}/resources/fonts/OFL.txt ${PROJECT_BINARY_DIR}/SelvaneChartJP-OFL.txt
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/derive_chart_font.py ${PROJECT_SOURCE_DIR}/resources/fonts/OFL.txt
            ${source}
    COMMENT "Deriving the chart's font (${weight}) from Noto Sans CJK JP")
  list(APPEND SELVANE_CHART_FONT_FILES ${font})
endforeach()
add_custom_target(chart_font ALL DEPENDS ${SELVANE_CHART_FONT_FILES})
list(APPEND SELVANE_CHART_FONT_FILES ${PROJECT_BINARY_DIR}/SelvaneChartJP-OFL.txt)
