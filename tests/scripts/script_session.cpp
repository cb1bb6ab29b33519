#include "tests/scripts/script_session.h"

#include <cstdio>

namespace scripts_test {

namespace {

char g_view;  // the main view's token: echo and log window
std::string g_com1;

intptr_t SendMessageHook(void*, RKL_WINDOW window, uint32_t msg, uintptr_t, intptr_t lParam) {
    if (window == &g_view && msg == RKL_MSG_ECHO)
        ScriptSession::echoes.emplace_back(reinterpret_cast<const char*>(lParam));
    return 0;
}

int32_t MapPortHook(void*, const char* name, char* path, int32_t size) {
    if (std::string(name) != "COM1") return 0;
    std::snprintf(path, static_cast<size_t>(size), "%s", g_com1.c_str());
    return 1;
}

}  // namespace

std::string ScriptPath(const std::string& name) {
    return std::string(VORLA_SOURCE_DIR) + "/rklfiles/" + name;
}

ScriptSession::ScriptSession(const std::string& script_file, const std::string& com1_device) {
    g_com1 = com1_device;
    echoes.clear();
    RKL_HostHooks hooks{};
    hooks.sendMessage = SendMessageHook;
    hooks.mapPort = MapPortHook;
    RKL_SetHostHooks(&hooks);
    handle_ = RKL_Init(ScriptPath(script_file).c_str(), &g_view, &g_view, nullptr);
}

ScriptSession::~ScriptSession() {
    RKL_Destroy(handle_);
    RKL_SetHostHooks(nullptr);
}

void ScriptSession::Set(const std::map<std::string, std::string>& variables) {
    for (const auto& [name, value] : variables)
        RKL_Set(handle_, name.c_str(), value.c_str());
}

Result ScriptSession::Run(const char* entry, int max_steps) {
    Result result;
    if (RKL_Run(handle_, entry) == 0) {
        for (int steps = 0; steps < max_steps && !RKL_Done(handle_); ++steps)
            RKL_DoIdle(handle_);
    }
    result.finished = RKL_Done(handle_) != 0;
    char text[256] = {};
    RKL_GetError(handle_, &result.code, text);
    result.text = text;
    return result;
}

std::map<std::string, std::string> ScriptSession::DemoService() {
    return {{"serviceName", "Demo Paging"},
            {"prefix", ""},
            {"serviceNumber", "5550100"},
            {"password", ""},
            {"dialMode", "ATDT"},
            {"port", "COM1"},
            {"modemName", "Generic - Hayes Compatible"},
            {"modemString", "ATE0Q0V1X4"},
            {"baudRate", "2400"},
            {"dataBits", "7"},
            {"parity", "Even"},
            {"stopBits", "1"},
            {"handshake", "NONE"},
            {"numberPages", "1"},
            {"permanentLineID", "0"}};
}

std::map<std::string, std::string> ScriptSession::PageVariables(const std::string& block,
                                                                const std::string& pin, int page, int pages) {
    return {{"pageBlock", block},
            {"message", block.substr(1, block.size() - 6)},
            {"currentPageNumber", std::to_string(page)},
            {"totalPages", std::to_string(pages)},
            {"pagerName", "Test Pager"},
            {"pagerNumber", pin}};
}

}  // namespace scripts_test
