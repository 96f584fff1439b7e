#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz input: written to a file with the given extension (".obj" or
// ".net") in a private temporary directory, loaded as the view loads a mesh,
// every build flag run on it, then saved with the OBJ writer.
int load_and_save(const std::uint8_t* data, std::size_t size, const char* extension);
