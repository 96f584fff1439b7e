#pragma once

#include <string>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "/" + name; }
    // Writes `text` to `name` inside the directory and returns the full path.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::string root;
};

// The whole content of a file, or "" when it cannot be read.
std::string slurp(const std::string& path);

// The names in a folder (not "." and ".."), sorted and separated by spaces:
// a failed write must leave no temporary file behind.
std::string folder_listing(const std::string& folder);
