halvane_test(smoothing_tests SOURCES smoothing_test.cpp LIBS halvane_smoothing)

if(HALVANE_GUI)
  halvane_gl_test(smoothing_view_tests SOURCES smoothing_view_test.cpp)
endif()
