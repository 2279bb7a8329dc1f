#pragma once
// What the benchmark programs share: the usage switch, figures of this process from
// /proc, a run of this program (or another) in a process of its own, and the median.

#include <string>
#include <vector>

namespace bench
{

// Whether --help or -h is among the arguments.
bool AskedForHelp(int argc, char** argv);

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 when it is missing.
long StatusKiB(const char* field);

// Runs the program (null: this program again) with the arguments in a new process and
// gives back the lines it printed once it has ended.
std::vector<std::string> RunProgram(const std::vector<std::string>& args, const char* program = nullptr);

double Median(std::vector<double> values);

} // namespace bench
