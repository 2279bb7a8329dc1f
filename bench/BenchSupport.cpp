#include "BenchSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace bench
{

bool AskedForHelp(int argc, char** argv)
{
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--help") == 0 || std::strcmp(argv[a], "-h") == 0)
            return true;
    }
    return false;
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    const std::string key = std::string(field) + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    }
    return 0;
}

std::vector<std::string> RunProgram(const std::vector<std::string>& args, const char* program)
{
    std::vector<std::string> lines;
    int out[2];
    if (pipe(out) != 0)
        return lines;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        static char self[] = "/proc/self/exe";
        std::vector<char*> argv;
        argv.push_back(program ? const_cast<char*>(program) : self);
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (program)
            execvp(program, argv.data());
        else
            execv(self, argv.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return lines;
    }
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace bench
