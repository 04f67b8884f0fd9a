# The store's operations on a book at the window's limit of 1,901 entries.
add_executable(mervane_bench StoreBench.cpp)
target_include_directories(mervane_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(mervane_bench PRIVATE mervane_store benchmark::benchmark mervane_warnings)
