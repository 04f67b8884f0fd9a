# Platform stand-ins with widgets or sockets: message boxes and file dialogs, the help
# window, the single-instance lock, the display check, and finding controls by their id
# (Controls.h includes <QWidget>, so it stays out of the core).
add_library(mervane_platform_qt STATIC
  QtPrompter.cpp QtPrompter.h
  SingleInstance.cpp SingleInstance.h
  HelpWindow.cpp HelpWindow.h
  Display.cpp Display.h
  Controls.h
)
target_include_directories(mervane_platform_qt PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_platform_qt PUBLIC mervane_platform Qt6::Widgets Qt6::Network
  PRIVATE mervane_warnings)
