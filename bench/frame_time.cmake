# Frame time and idle load of the view; run under an X display (see the source).
if(HALVANE_GUI)
  add_executable(frame_time_bench frame_time_bench.cpp)
  target_link_libraries(frame_time_bench PRIVATE halvane_gui benchmark::benchmark)
  target_compile_definitions(frame_time_bench PRIVATE HALVANE_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
endif()
