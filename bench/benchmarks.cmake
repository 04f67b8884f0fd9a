# The store's operations on a book at the window's limit of 1,901 entries.
add_executable(mervane_bench StoreBench.cpp)
target_include_directories(mervane_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_bench PRIVATE mervane_store benchmark::benchmark mervane_warnings)

# The page layouts to PDF against a plain QPainter loop drawing the same texts.
add_executable(mervane_pages_bench PagesBench.cpp)
target_link_libraries(mervane_pages_bench PRIVATE mervane_printing_render benchmark::benchmark
  mervane_warnings)

# Importing 1,901 generated addresses against a plain split of the same bytes.
add_executable(mervane_import_bench ImportBench.cpp)
target_link_libraries(mervane_import_bench PRIVATE mervane_exchange benchmark::benchmark
  mervane_warnings)
target_compile_definitions(mervane_import_bench PRIVATE
  MERVANE_IMPORT_BENCH_CSV="${PROJECT_SOURCE_DIR}/tests/exchange/data/addresses-1901.csv")

# 1,901 generated addresses as labels to PDF against a plain QPainter loop drawing the
# same lines.
add_executable(mervane_labels_bench LabelsBench.cpp)
target_link_libraries(mervane_labels_bench PRIVATE mervane_printing_render mervane_exchange
  benchmark::benchmark mervane_warnings)
target_compile_definitions(mervane_labels_bench PRIVATE
  MERVANE_LABELS_BENCH_CSV="${PROJECT_SOURCE_DIR}/tests/exchange/data/addresses-1901.csv")

# The floor of start-up: a bare main window with a menu bar, a tree and 28 line edits.
# bench/startup.sh times it against mervane.
add_executable(mervane_startup_floor StartupFloor.cpp)
target_link_libraries(mervane_startup_floor PRIVATE Qt6::Widgets)

# Times start to first window by listening to the X server (no polling); bench/startup.sh
# uses it when it is built, else it polls with xdotool.
find_package(X11 QUIET)
if(X11_FOUND)
  add_executable(mervane_startup_wait StartupWait.cpp)
  target_link_libraries(mervane_startup_wait PRIVATE X11::X11 mervane_warnings)
endif()
