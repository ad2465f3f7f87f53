# SPDX-License-Identifier: MIT
# What `cmake --install` puts where: the programs, the shipped tables, the menu entry with its
# metainfo and icons, the manual pages and the documents.
include(GNUInstallDirs)

set(XSCATTER_APP_ID io.github.xscatter.XScatter)
# Release date of PROJECT_VERSION, for the metainfo's release list.
set(XSCATTER_RELEASE_DATE 2026-12-07)

install(TARGETS xscatter-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Found by xscatter-batch relative to its own folder, for --plot only.
install(TARGETS xscatter-batch-plot LIBRARY DESTINATION ${XSCATTER_PLOT_MODULE_INSTALL_DIR})
if(TARGET xscatter)
  install(TARGETS xscatter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET make-tables)
  install(PROGRAMS $<TARGET_FILE:make-tables> DESTINATION ${CMAKE_INSTALL_BINDIR}
          RENAME xscatter-make-tables)
  # Installed under another name, so not as a target: strip it as a target would be.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\"
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/xscatter-make-tables\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()

# The programs find these relative to their own folder (model/data_folder.h).
file(GLOB XSCATTER_SHIPPED_TABLES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/data/*.dat ${PROJECT_SOURCE_DIR}/data/*.csv
     ${PROJECT_SOURCE_DIR}/data/*.xfs)
install(FILES ${XSCATTER_SHIPPED_TABLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/xscatter/Data)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${XSCATTER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${XSCATTER_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${XSCATTER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${XSCATTER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/screens/resources/icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME ${XSCATTER_APP_ID}.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${XSCATTER_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages are installed compressed, as Debian wants them; -n leaves the name and time out of
# the gzip header, so the same page always gives the same bytes.
find_program(XSCATTER_GZIP gzip REQUIRED)
foreach(page xscatter.1 xscatter-batch.1)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${page} ${PROJECT_BINARY_DIR}/packaging/${page}
                 @ONLY)
  execute_process(COMMAND ${XSCATTER_GZIP} -9n -c ${PROJECT_BINARY_DIR}/packaging/${page}
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${page}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# copyright is the licence in Debian's machine-readable form.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/data)
