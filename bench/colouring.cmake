# Colouring: morphogen mixing, terrain building and PLY writing, the last
# against Assimp's PLY exporter.
find_package(assimp QUIET)
if(TARGET assimp::assimp)
  add_executable(colouring_bench colouring_bench.cpp)
  target_link_libraries(colouring_bench PRIVATE halvane_colouring assimp::assimp benchmark::benchmark)
else()
  message(STATUS "assimp not found: no colouring_bench")
endif()
