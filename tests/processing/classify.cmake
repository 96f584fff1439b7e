halvane_test(classify_tests SOURCES
  shortest_path_test.cpp
  classifier_test.cpp
  LIBS halvane_classify)

if(HALVANE_GUI)
  halvane_widget_test(classifier_panel_tests SOURCES classifier_panel_test.cpp)
  halvane_gl_test(classifier_overlay_tests SOURCES classifier_overlay_test.cpp)
endif()
