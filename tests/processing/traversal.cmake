halvane_test(traversal_tests SOURCES
  edge_traversal_test.cpp
  segmented_export_test.cpp
  picking_test.cpp
  LIBS halvane_traversal)

if(HALVANE_GUI)
  halvane_test(traversal_panel_tests SOURCES traversal_panel_test.cpp LIBS halvane_gui Qt6::Test)
  set_tests_properties(traversal_panel_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
