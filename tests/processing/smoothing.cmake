halvane_test(smoothing_tests SOURCES
  normal_smoother_test.cpp
  smoother_walk_test.cpp
  LIBS halvane_smoothing)

if(HALVANE_GUI)
  halvane_gl_test(smoothing_view_tests SOURCES smoothing_view_test.cpp)
endif()
