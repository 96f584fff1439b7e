halvane_test(classify_tests SOURCES classify_test.cpp LIBS halvane_classify)

if(HALVANE_GUI)
  # The panels of every processing tool, and the classifier's overlay.
  halvane_widget_test(processing_panel_tests SOURCES panels_test.cpp)
  halvane_gl_test(classifier_overlay_tests SOURCES classifier_overlay_test.cpp)
endif()
