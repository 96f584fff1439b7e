# Face distance tables and classification, against Boost Graph's Floyd-Warshall.
find_path(BOOST_FLOYD_INCLUDE boost/graph/floyd_warshall_shortest.hpp)
if(BOOST_FLOYD_INCLUDE)
  add_executable(classify_bench classify_bench.cpp)
  target_include_directories(classify_bench PRIVATE ${BOOST_FLOYD_INCLUDE})
  target_link_libraries(classify_bench PRIVATE halvane_classification benchmark::benchmark)
endif()
