# Straightforward quadratic versions of subdivision and simplification, shared
# with bench/.
add_library(remesh_reference STATIC ${PROJECT_SOURCE_DIR}/tests/support/ReferenceRemesh.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/MeshVariants.cpp)
target_link_libraries(remesh_reference PUBLIC halvane_core)

halvane_test(remesh_tests SOURCES
  subdivide_test.cpp
  simplify_test.cpp
  collapse_order_test.cpp
  LIBS halvane_remesh remesh_reference)
