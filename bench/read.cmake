# Reading, building and writing meshes, against tinyobjloader and assimp.
find_package(tinyobjloader QUIET)
find_package(assimp QUIET)
if(TARGET tinyobjloader::tinyobjloader AND TARGET assimp::assimp)
  add_executable(bench_read bench_read.cpp)
  target_link_libraries(bench_read PRIVATE halvane_core benchmark::benchmark
    tinyobjloader::tinyobjloader assimp::assimp)
  # The end-to-end comparison runs the real tool.
  add_dependencies(bench_read halvane-tool)
  target_compile_definitions(bench_read PRIVATE HALVANE_TOOL="$<TARGET_FILE:halvane-tool>")
else()
  message(STATUS "tinyobjloader or assimp not found: no bench_read")
endif()
