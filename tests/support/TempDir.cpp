#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "halvane-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) root = made;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (!root.empty()) std::filesystem::remove_all(root, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& text) const
{
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
