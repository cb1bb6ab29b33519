// The prepared-line route must give exactly what the character-by-character route
// gives: same command, same arguments after expansion and decoding, same cuts.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "engine/line_cache.h"
#include "engine/script_text.h"

namespace {

class Vars final : public rkl::VariableLookup {
public:
    std::map<std::string, std::string, std::less<>> values;
    bool Find(std::string_view name, std::string_view& value) const override {
        const auto it = values.find(name);
        if (it == values.end()) return false;
        value = it->second;
        return true;
    }
};

// The long way, as a line whose command word holds a reference takes it.
std::string SlowArgs(const std::string& line, const Vars& vars) {
    char buffer[rkl::kLineSize];
    rkl::CopyLine(buffer, line);
    if (char* hash = strchr(buffer, '#')) *hash = '\0';
    rkl::Substitute(buffer, rkl::kLineSize, vars);
    char* p = const_cast<char*>(rkl::SkipBlanks(buffer));
    while (*p && !rkl::IsBlank(*p))
        ++p;
    char* args = p;
    if (*p) {
        *p = '\0';
        args = const_cast<char*>(rkl::SkipBlanks(p + 1));
    }
    rkl::DecodeHex(args);
    return args;
}

std::string FastArgs(const std::string& line, const Vars& vars) {
    rkl::ScriptStream stream;
    stream.OpenBytes(line);
    rkl::LineCache cache;
    bool atEnd = false;
    const rkl::PreparedLine* prepared = cache.Fetch(stream, atEnd);
    EXPECT_TRUE(prepared && prepared->split);
    if (!prepared || !prepared->split) return {};
    if (!prepared->argsHaveReference) return prepared->decodedArgs;
    char buffer[rkl::kLineSize];
    const size_t room = rkl::kLineSize - prepared->argsOffset;
    if (!rkl::ExpandSegments(*prepared, vars, buffer, room - 1)) {
        rkl::CopyLine(buffer, std::string_view(prepared->text).substr(prepared->argsOffset));
        rkl::Substitute(buffer, room, vars);
    }
    char* args = const_cast<char*>(rkl::SkipBlanks(buffer));
    rkl::DecodeHex(args);
    return args;
}

TEST(LineCache, PreparedArgumentsMatchTheLongWayOnRandomLines) {
    std::mt19937 random(12345);
    const std::string alphabet = "ab {}{}$4 1#\t";
    Vars vars;
    vars.values = {{"a", "A"},
                   {"b", "  lead"},
                   {"", "empty name"},
                   {"big", std::string(255, 'B')},
                   {"mid", std::string(200, 'M')},
                   {"dollar", "$41"},
                   {"brace", "{a}"}};
    const std::string names[] = {"a", "b", "", "big", "mid", "dollar", "brace", "none"};
    for (int round = 0; round < 4000; ++round) {
        std::string args;
        const int pieces = static_cast<int>(random() % 12);
        for (int i = 0; i < pieces; ++i) {
            if (random() % 3 == 0) {
                args += "{" + names[random() % 8] + "}";
            } else {
                const int n = static_cast<int>(random() % (random() % 4 == 0 ? 200 : 6));
                for (int k = 0; k < n; ++k)
                    args += alphabet[random() % alphabet.size()];
            }
        }
        const std::string line = "ECHO " + args;
        ASSERT_EQ(FastArgs(line, vars), SlowArgs(line, vars)) << "line: " << line;
    }
}

TEST(LineCache, SequentialAndJumpedLinesComeBackFromTheCache) {
    rkl::ScriptStream stream;
    stream.OpenBytes("SET a 1\nINC a\nJUMP x\n");
    rkl::LineCache cache;
    bool atEnd = false;
    const rkl::PreparedLine* first = cache.Fetch(stream, atEnd);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->keyword, rkl::Keyword::kSet);
    EXPECT_EQ(stream.Tell(), 8);
    cache.Fetch(stream, atEnd);
    cache.Fetch(stream, atEnd);
    EXPECT_EQ(cache.Fetch(stream, atEnd), nullptr);
    EXPECT_TRUE(atEnd);
    stream.Seek(8);
    const rkl::PreparedLine* again = cache.Fetch(stream, atEnd);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->keyword, rkl::Keyword::kInc);
    EXPECT_EQ(again->decodedArgs, "a");
    EXPECT_EQ(stream.Tell(), 14);
}

}  // namespace
