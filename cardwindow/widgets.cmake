# The card window itself: the card, its dialogs, the summary view and the window.
add_library(mervane_cardwindow STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/CardEditControls.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CardEditControls.h
  ${CMAKE_CURRENT_SOURCE_DIR}/AZPopup.cpp ${CMAKE_CURRENT_SOURCE_DIR}/AZPopup.h
  ${CMAKE_CURRENT_SOURCE_DIR}/CardDialogs.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CardDialogs.h
  ${CMAKE_CURRENT_SOURCE_DIR}/SummaryView.cpp ${CMAKE_CURRENT_SOURCE_DIR}/SummaryView.h
  ${CMAKE_CURRENT_SOURCE_DIR}/CardFile.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CardFile.h
  ${CMAKE_CURRENT_SOURCE_DIR}/NamesTree.cpp ${CMAKE_CURRENT_SOURCE_DIR}/NamesTree.h
  ${CMAKE_CURRENT_SOURCE_DIR}/CardPages.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CardPages.h
  ${CMAKE_CURRENT_SOURCE_DIR}/CardToolBar.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CardToolBar.h
  ${CMAKE_CURRENT_SOURCE_DIR}/DuplicatesDialog.cpp ${CMAKE_CURRENT_SOURCE_DIR}/DuplicatesDialog.h
)
target_include_directories(mervane_cardwindow PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_cardwindow PUBLIC mervane_core mervane_platform_qt
  mervane_exchange_qt mervane_exchange_export_qt Qt6::Widgets
  PRIVATE mervane_warnings)
