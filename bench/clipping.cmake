# The clipping cube: drag steps with outlines, plane file save and load.
add_executable(clipping_bench clipping_bench.cpp)
target_link_libraries(clipping_bench PRIVATE halvane_clipping benchmark::benchmark)
