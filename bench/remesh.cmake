# Subdivision and simplification against OpenMesh and meshoptimizer, with the
# straightforward quadratic versions kept by the tests.
find_package(OpenMesh QUIET)
find_package(meshoptimizer QUIET)
if(TARGET OpenMeshTools AND TARGET meshoptimizer::meshoptimizer AND TARGET remesh_reference AND TARGET test_support)
  add_executable(bench_remesh bench_remesh.cpp)
  target_link_libraries(bench_remesh PRIVATE halvane_remeshing remesh_reference test_support benchmark::benchmark
    OpenMeshCore OpenMeshTools meshoptimizer::meshoptimizer)
  # OpenMesh's property templates trip GCC's maybe-uninitialized check inside
  # the standard allocator; our own code keeps the warning.
  set_source_files_properties(bench_remesh.cpp PROPERTIES COMPILE_OPTIONS -Wno-maybe-uninitialized)
else()
  message(STATUS "OpenMesh or meshoptimizer not found: no bench_remesh")
endif()
