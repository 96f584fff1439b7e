# Picking, edge traversal and the segmented export of its groups.
add_library(halvane_traversal STATIC
  ${CMAKE_CURRENT_LIST_DIR}/EdgeTraversal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/segmented_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picking.cpp
)
target_link_libraries(halvane_traversal PUBLIC halvane_core)
if(HALVANE_GUI)
  target_sources(halvane_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/picking_gl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshTraversalWidget.h
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshTraversalWidget.cpp)
  target_link_libraries(halvane_gui PUBLIC halvane_traversal)
endif()
