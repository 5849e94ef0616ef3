// What the tests that run the built tools share: a file's bytes read whole,
// and a shell command run with its exit status.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace test_support {

// The file's bytes as written (binary: Windows' text mode would drop CRs);
// empty when it cannot be read.
inline std::string file_bytes(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs `command` through the platform's shell and returns the program's exit
// status, -1 when it did not exit normally.
inline int run_shell(std::string command) {
#ifdef _WIN32
    // cmd.exe drops the first and the last quote of a command that holds
    // more than two: give it a pair to drop.
    command = "\"" + command + "\"";
    return std::system(command.c_str());
#else
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

} // namespace test_support
