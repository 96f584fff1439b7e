# Face-to-face distance tables and patch classification.
find_package(Threads REQUIRED)
add_library(halvane_classify STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ShortestPathTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FaceGraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/face_distances.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mesh_Classifier.cpp
)
target_link_libraries(halvane_classify PUBLIC halvane_core halvane_traversal PRIVATE Threads::Threads)
if(HALVANE_GUI)
  target_sources(halvane_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Mesh_Classifier_gl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshClassifierWidget.h
    ${CMAKE_CURRENT_LIST_DIR}/QtMeshClassifierWidget.cpp)
  target_link_libraries(halvane_gui PUBLIC halvane_classify)
endif()
