# Export and launching, core half: the CSV, plain-text, web-page and letter writers, the
# export file step, the hand-over rules (prefixes, URLs, helpers, choices) behind the Launcher interface.
add_library(mervane_exchange_export STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportCsv.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportCsv.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportText.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportText.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportFile.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportFile.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportHtml.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportHtml.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportRtf.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportRtf.h
  ${CMAKE_CURRENT_SOURCE_DIR}/Launch.cpp ${CMAKE_CURRENT_SOURCE_DIR}/Launch.h
)
target_include_directories(mervane_exchange_export PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_exchange_export PUBLIC mervane_exchange mervane_store
  mervane_settings mervane_platform PRIVATE mervane_warnings)

# Widget half: the export wizard and its field page, the Run dialog, the desktop launcher.
add_library(mervane_exchange_export_qt STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportWizard.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportWizard.h
  ${CMAKE_CURRENT_SOURCE_DIR}/RunDialog.cpp ${CMAKE_CURRENT_SOURCE_DIR}/RunDialog.h
  ${CMAKE_CURRENT_SOURCE_DIR}/QtLauncher.cpp ${CMAKE_CURRENT_SOURCE_DIR}/QtLauncher.h
)
target_include_directories(mervane_exchange_export_qt PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_exchange_export_qt PUBLIC mervane_exchange_export
  mervane_platform_qt Qt6::Widgets PRIVATE mervane_warnings)

# The pictures the web pages show are copied from beside the program into the export's
# folder, by the window and the command-line tool alike. Drawn by
# scripts/draw-web-pictures.sh.
foreach(picture wall.jpg name.gif group.gif)
  configure_file(${PROJECT_SOURCE_DIR}/resources/${picture} ${MERVANE_RUNTIME_DIR}/${picture}
    COPYONLY)
endforeach()
