#pragma once

// The viewport and the model-view and projection matrices a paint drew
// with, kept so that picking and the light need no GL context afterwards.
struct ViewMatrices {
    int viewport[4] = {0, 0, 1, 1};
    double model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    double projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
