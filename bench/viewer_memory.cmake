# Memory of the viewer with a large mesh; run under an X display (see the source).
if(HALVANE_GUI)
  add_executable(viewer_memory_bench viewer_memory_bench.cpp)
  target_link_libraries(viewer_memory_bench PRIVATE halvane_gui benchmark::benchmark)
  # The allocation of the halvane program itself.
  if(NOT HALVANE_SANITIZE)
    target_sources(viewer_memory_bench PRIVATE $<TARGET_OBJECTS:halvane_huge_pages>)
  endif()
endif()
