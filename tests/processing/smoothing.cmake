halvane_test(smoothing_tests SOURCES
  unvisited_list_test.cpp
  normal_smoother_test.cpp
  smoother_walk_test.cpp
  LIBS halvane_smoothing)
