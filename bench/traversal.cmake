# Traversal and segmented export, against Boost Graph's breadth-first search.
find_path(BOOST_GRAPH_INCLUDE boost/graph/breadth_first_search.hpp)
if(BOOST_GRAPH_INCLUDE)
  add_executable(traversal_bench traversal_bench.cpp)
  target_include_directories(traversal_bench PRIVATE ${BOOST_GRAPH_INCLUDE})
  target_link_libraries(traversal_bench PRIVATE halvane_traversal benchmark::benchmark)
endif()
