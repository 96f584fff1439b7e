# Normal smoothing: no peer in Debian; the program compares the grid-backed
# ball test with the plain walk of the unvisited faces.
add_executable(smoothing_bench smoothing_bench.cpp)
target_link_libraries(smoothing_bench PRIVATE halvane_smoothing benchmark::benchmark)
