# Face-normal smoothing: mean shift, sphere jump, median filter.
add_library(halvane_smoothing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UnvisitedList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CentroidGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NormalSmoother.cpp
)
target_link_libraries(halvane_smoothing PUBLIC halvane_core)
if(HALVANE_GUI)
  target_sources(halvane_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/NormalSmoother_gl.cpp)
  target_link_libraries(halvane_gui PUBLIC halvane_smoothing)
endif()
