halvane_test(traversal_tests SOURCES
  edge_traversal_test.cpp
  segmented_export_test.cpp
  picking_test.cpp
  LIBS halvane_traversal)
