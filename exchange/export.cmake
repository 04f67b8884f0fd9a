# Export and launching, core half: the CSV and plain-text writers, the export file step,
# the hand-over rules (prefixes, URLs, helpers, choices) behind the Launcher interface.
add_library(mervane_exchange_export STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportCsv.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportCsv.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportText.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportText.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ExportFile.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportFile.h
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
