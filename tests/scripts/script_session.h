// One engine handle on a shipped script, with COM1 mapped to a pagingsim link, driven the
// way the paging session driver drives it: variables with RKL_Set, then an entry run to
// its end one line per RKL_DoIdle.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "rkl32.h"

namespace scripts_test {

struct Result {
    int32_t code = 0;
    std::string text;
    bool finished = false;  // the entry ended within the steps it was given
};

class ScriptSession {
public:
    ScriptSession(const std::string& script_file, const std::string& com1_device);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // Sets every variable as the driver does; an empty value sets nothing.
    void Set(const std::map<std::string, std::string>& variables);
    // Runs the entry for at most `max_steps` steps, so that a script that waits for ever
    // fails the test instead of hanging it.
    Result Run(const char* entry, int max_steps = 100000);

    // The connection variables of a pagingsim service, as the driver sets them.
    static std::map<std::string, std::string> DemoService();
    // The page variables of one block.
    static std::map<std::string, std::string> PageVariables(const std::string& block, const std::string& pin,
                                                            int page, int pages);

    static inline std::vector<std::string> echoes;

private:
    RKL_HANDLE handle_ = nullptr;
};

std::string ScriptPath(const std::string& name);

}  // namespace scripts_test
