add_library(mervane_cardwindow STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/CardWidgets.cpp
)
target_include_directories(mervane_cardwindow PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_cardwindow PUBLIC mervane_core mervane_platform_qt Qt6::Widgets
  PRIVATE mervane_warnings)
