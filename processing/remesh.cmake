# Butterfly subdivision and edge-collapse simplification.
add_library(halvane_remesh STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SubdivisionEdgeMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ButterflySubdivider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListArena.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollapseQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimplifyGraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/simplify.cpp
)
find_package(Threads REQUIRED)
target_link_libraries(halvane_remesh PUBLIC halvane_core PRIVATE Threads::Threads)
if(HALVANE_GUI)
  target_sources(halvane_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshSimplifierWidget.h ${CMAKE_CURRENT_LIST_DIR}/QtMeshSimplifierWidget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshSubdivideWidget.h ${CMAKE_CURRENT_LIST_DIR}/QtMeshSubdivideWidget.cpp
  )
  target_link_libraries(halvane_gui PUBLIC halvane_remesh)
endif()
