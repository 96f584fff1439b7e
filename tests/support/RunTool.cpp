#include "tests/support/RunTool.h"

#include <array>
#include <cstdio>

#include <sys/wait.h>

ToolRun run_program(const std::string& program, const std::string& args)
{
    const std::string command = program + " " + args + " 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    if (!p) return {-1, ""};
    std::string out;
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), p)) > 0) out.append(buffer.data(), got);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
