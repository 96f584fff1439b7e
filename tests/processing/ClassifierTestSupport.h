#pragma once

#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "processing/Mesh_Classifier.h"
#include "tests/support/Printed.h"

// A classifier on `mesh` with its table built (normals and edge list made
// first, as the view does). Console output is swallowed.
inline bool build_table_quietly(Mesh& mesh, Mesh_Classifier& classifier)
{
    testing::internal::CaptureStdout();
    mesh.build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST});
    const bool ok = classifier.build_table();
    testing::internal::GetCapturedStdout();
    return ok;
}
