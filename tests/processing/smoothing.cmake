halvane_test(smoothing_tests SOURCES
  unvisited_list_test.cpp
  normal_smoother_test.cpp
  smoother_walk_test.cpp
  LIBS halvane_smoothing)

if(HALVANE_GUI)
  halvane_widget_test(smoothing_panel_tests SOURCES smoothing_panel_test.cpp)
  halvane_gl_test(smoothing_view_tests SOURCES smoothing_view_test.cpp)
endif()
