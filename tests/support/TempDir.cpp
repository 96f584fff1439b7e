#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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

std::string folder_listing(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}
