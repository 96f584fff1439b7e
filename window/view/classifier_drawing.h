#pragma once

class Mesh_Classifier;

// The classifier's overlay: each shown patch's seed face as a flat yellow
// triangle, drawn in the mesh's own coordinates. Seeds found for another
// mesh (before a subdivision, say) are not drawn.
void draw_patch_seeds(const Mesh_Classifier& classifier);
