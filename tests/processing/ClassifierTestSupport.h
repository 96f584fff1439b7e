#pragma once

#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "processing/Mesh_Classifier.h"

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

// Runs `work` with standard output captured and returns what it printed.
template <class Work>
std::string console_of(const Work& work)
{
    testing::internal::CaptureStdout();
    work();
    return testing::internal::GetCapturedStdout();
}
