# The Debian package (configured with -DSELVANE_INSTALLED=ON -DCMAKE_INSTALL_PREFIX=/usr by
# scripts/build-package.sh): the program in /usr/bin, what it reads in /usr/share/selvane, its menu entry, icons,
# AppStream metadata, manual pages, copyright and changelog. Her diary is never in it: the program makes it in
# her data folder, so that no install, upgrade or purge ever touches it.
set(package_dir ${PROJECT_BINARY_DIR}/package)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/selvane)

# The changelog is kept by hand; its newest entry names the version and the maintainer, checked against the
# version in the source so that the two never drift apart.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^selvane \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with an entry for ${PROJECT_VERSION}")
endif()
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- (.*>)  [A-Z][a-z][a-z], ([0-9]+ [A-Z][a-z][a-z] [0-9]+).*$" "\\1;\\2" signature
       "${signature}")
list(GET signature 0 SELVANE_MAINTAINER)
list(GET signature 1 SELVANE_MAN_DATE)
file(READ ${PROJECT_SOURCE_DIR}/packaging/${SELVANE_APP_ID}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "the AppStream metadata has no release ${PROJECT_VERSION}")
endif()

install(TARGETS selvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# CPack strips with no arguments; Debian's packages also lose the compiler's notes, as dh_strip does.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/selvane\"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/selvane3.hlp DESTINATION ${CMAKE_INSTALL_DATADIR}/selvane)
# The doctor's chart's font with its licence, where the program looks beside its help document.
install(FILES ${SELVANE_CHART_FONT_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/selvane)

set(SELVANE_EXEC selvane)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${SELVANE_APP_ID}.desktop.in ${package_dir}/${SELVANE_APP_ID}.desktop
               @ONLY)
install(FILES ${package_dir}/${SELVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${SELVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The heart in every size of the icon theme, rendered from its drawing here (no network, no prebuilt pictures).
set(heart ${PROJECT_SOURCE_DIR}/resources/icons/heart.svg)
set(icons)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${package_dir}/icons/${size}/selvane.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}/icons/${size}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:render_icon> ${heart} ${size} ${png}
    DEPENDS render_icon ${heart}
    COMMENT "Rendering the ${size}x${size} icon")
  list(APPEND icons ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${heart} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME selvane.svg)

# Manual pages, changelog and copyright as Debian keeps them: compressed without a time stamp.
configure_file(${PROJECT_SOURCE_DIR}/packaging/man/selvane.1.in ${package_dir}/man/en/selvane.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/man/selvane.ja.1.in ${package_dir}/man/ja/selvane.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${package_dir}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${package_dir}/changelog COPYONLY)
set(compressed)
foreach(file man/en/selvane.1 man/ja/selvane.1 changelog)
  add_custom_command(OUTPUT ${package_dir}/${file}.gz
    COMMAND gzip -9nkf ${package_dir}/${file}
    DEPENDS ${package_dir}/${file})
  list(APPEND compressed ${package_dir}/${file}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${icons} ${compressed})
install(FILES ${package_dir}/man/en/selvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_dir}/man/ja/selvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
install(FILES ${package_dir}/changelog.gz ${package_dir}/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME selvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SELVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary of basal body temperature, condition and cycle")
# CPack puts the summary first; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A single-user desktop diary for women's health, with a Japanese user
interface. For each day it records the basal body temperature, condition,
medication, schedule, a diary text, menstruation and intercourse; it
forecasts the next period, marks the fertile days, lists and charts the
last 180 days, finds each cycle's temperature shift, prints the chart
Japanese clinics ask for, and can lock the diary with a passphrase.
.
The diary lives in the user's data folder (~/.local/share/selvane) and
never leaves the computer: Selvane opens no network connection.
.
The forecast and the fertile days are rough estimates: not a method of
contraception, nor a way to plan a pregnancy, nor medical advice.")
# What it links, found by dpkg-shlibdeps, and what it loads at run time, which no tool can see: Qt's SQLite
# driver, Qt's Japanese texts for the standard buttons, and the font every window and chart is set in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
