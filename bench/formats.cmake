# Reading PLY and STL, against assimp.
find_package(assimp QUIET)
if(TARGET assimp::assimp)
  add_executable(formats_bench formats_bench.cpp)
  target_link_libraries(formats_bench PRIVATE halvane_core benchmark::benchmark assimp::assimp)
else()
  message(STATUS "assimp not found: no formats_bench")
endif()
