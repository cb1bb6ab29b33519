// Byte-level behaviour of the archive: scalars, strings, counts, references and the
// failures a damaged file must end in.
#include <gtest/gtest.h>

#include "archive/archive_limits.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_classes.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/directory/test_directory.h"

using namespace std::string_literals;

namespace {

// A versionable class that remembers the schema the archive handed it.
class SchemaProbe : public Serializable {
public:
    static const ClassInfo kClass;
    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override { archive.WriteWord(0x1234); }
    void Serialize(ArchiveReader& archive) override {
        seen = archive.ObjectSchema();
        again = archive.ObjectSchema();
        archive.ReadWord();
    }
    uint32_t seen = 0;
    uint32_t again = 0;
};
const ClassInfo SchemaProbe::kClass = {
    "SchemaProbe", 3, true, [] { return std::unique_ptr<Serializable>(new SchemaProbe); }, nullptr};

ClassRegistry DirectoryRegistry() {
    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    registry.Register(SchemaProbe::kClass);
    return registry;
}

std::string Written(const std::string& text) {
    ArchiveWriter writer;
    writer.WriteString(text);
    return writer.Bytes();
}

}  // namespace

TEST(DirectoryArchiveStrings, LengthPrefixesChangeAtTheirBoundaries) {
    EXPECT_EQ(Written(""), std::string(1, '\0'));
    EXPECT_EQ(Written(std::string(254, 'a')).substr(0, 1), "\xFE");
    EXPECT_EQ(Written(std::string(255, 'a')).substr(0, 3), "\xFF\xFF\x00"s);
    EXPECT_EQ(Written(std::string(65533, 'a')).substr(0, 3), "\xFF\xFD\xFF");
    EXPECT_EQ(Written(std::string(65534, 'a')).substr(0, 7), "\xFF\xFF\xFF\xFE\xFF\x00\x00"s);

    ClassRegistry registry = DirectoryRegistry();
    for (size_t length : {0u, 1u, 254u, 255u, 65533u, 65534u, 70000u}) {
        std::string text(length, 'x');
        std::string bytes = Written(text);
        ArchiveReader reader(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                             registry, 1);
        EXPECT_EQ(reader.ReadString(), text) << length;
        EXPECT_TRUE(reader.AtEnd()) << length;
    }
}

TEST(DirectoryArchiveStrings, WideStringsAreReadIntoTheCodePage) {
    ClassRegistry registry = DirectoryRegistry();
    // FF FE FF marks UTF-16, then the length 3: "A", e-acute, euro sign.
    auto bytes = Bytes("FF FEFF 03 4100 E900 AC20");
    ArchiveReader reader(bytes, registry, 1);
    EXPECT_EQ(reader.ReadString(), "A\xE9\x80");
    EXPECT_TRUE(reader.AtEnd());

    auto unknown = Bytes("FF FEFF 01 0030");  // a character the code page lacks
    ArchiveReader second(unknown, registry, 1);
    EXPECT_EQ(second.ReadString(), "?");
}

TEST(DirectoryArchiveStrings, TruncatedOrHugeLengthsEndInEndOfFile) {
    ClassRegistry registry = DirectoryRegistry();
    for (const char* damaged :
         {"05 \"abc\"", "FF", "FF 0001", "FF FFFF FFFFFFFF \"ab\"", "FF FEFF 05 4100"}) {
        auto bytes = Bytes(damaged);
        ArchiveReader reader(bytes, registry, 1);
        EXPECT_EQ(reader.ReadString(), "") << damaged;
        EXPECT_EQ(reader.Error(), ArchiveError::EndOfFile) << damaged;
        // Sticky: later reads give zero and keep the first cause.
        EXPECT_EQ(reader.ReadDword(), 0u);
        EXPECT_EQ(reader.ReadObject(nullptr), nullptr);
        EXPECT_EQ(reader.Error(), ArchiveError::EndOfFile);
    }
}

TEST(DirectoryArchiveScalars, LittleEndianCountsAndEscapes) {
    ArchiveWriter writer;
    writer.WriteWord(0x1234);
    writer.WriteDword(0xA1B2C3D4);
    writer.WriteInt(-2);
    writer.WriteCount(0xFFFE);
    writer.WriteCount(0xFFFF);
    EXPECT_EQ(writer.Bytes(), AsString(Bytes("3412 D4C3B2A1 FEFFFFFF FEFF FFFF FFFF0000")));

    ClassRegistry registry = DirectoryRegistry();
    auto bytes = Bytes("FEFF FFFF FFFF0000");
    ArchiveReader reader(bytes, registry, 1);
    EXPECT_EQ(reader.ReadCount(), 0xFFFEu);
    EXPECT_EQ(reader.ReadCount(), 0xFFFFu);
}

TEST(DirectoryArchiveObjects, ListsNullsAndClassReferences) {
    CObList outer;
    CObList inner;
    outer.AddTail(&inner);
    outer.AddTail(nullptr);
    outer.AddTail(&inner);
    ArchiveWriter writer;
    writer.WriteObject(&outer);
    // new class (index 1), outer (2), count 3, class ref, inner (3) count 0, null, back-ref 3
    EXPECT_EQ(writer.Bytes(), AsString(Bytes("FFFF 0000 0700 \"CObList\" 0300 0180 0000 0000 0300")));

    ClassRegistry registry = DirectoryRegistry();
    auto bytes = std::vector<uint8_t>(writer.Bytes().begin(), writer.Bytes().end());
    ArchiveReader reader(bytes, registry, 1);
    auto* read = As<CObList>(reader.ReadObject(&CObList::kClass));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetCount(), 3u);
    EXPECT_EQ(read->GetAt(1), nullptr);
    EXPECT_EQ(read->GetAt(0), read->GetAt(2));  // the back-reference is the same object
    EXPECT_EQ(reader.Entries().size(), 4u);     // null, class, outer, inner
                                                // Not released: the reader frees what it built.
}

TEST(DirectoryArchiveObjects, IndexesPast0x7FFFUseTheLongForm) {
    // 40,000 distinct messages and then a back-reference to each: the later indexes and the
    // class reference no longer fit in 15 bits.
    std::vector<std::unique_ptr<CMessage>> messages;
    CObList list;
    for (int i = 0; i < 40000; ++i) {
        messages.push_back(std::make_unique<CMessage>(std::to_string(i)));
        list.AddTail(messages.back().get());
    }
    for (int i = 0; i < 40000; ++i)
        list.AddTail(messages[i].get());
    ArchiveWriter writer;
    writer.WriteObject(&list);
    // The last reference: index 3 + 40000 = 40003 = 0x9C43, written 7F FF then a DWORD.
    EXPECT_EQ(writer.Bytes().substr(writer.Bytes().size() - 6), AsString(Bytes("FF7F 439C0000")));

    ClassRegistry registry = DirectoryRegistry();
    std::vector<uint8_t> bytes(writer.Bytes().begin(), writer.Bytes().end());
    ArchiveReader reader(bytes, registry, 1);
    auto* read = As<CObList>(reader.ReadObject(nullptr));
    ASSERT_NE(read, nullptr) << ArchiveErrorText(reader.Error());
    ASSERT_EQ(read->GetCount(), 80000u);
    for (size_t i = 0; i < 40000; ++i) {
        ASSERT_EQ(read->GetAt(i), read->GetAt(i + 40000));
        ASSERT_EQ(As<CMessage>(read->GetAt(i))->GetText(), std::to_string(i));
    }
    EXPECT_TRUE(reader.AtEnd());
}

TEST(DirectoryArchiveObjects, VersionableClassesSeeTheStoredSchemaOnce) {
    ClassRegistry registry = DirectoryRegistry();
    auto bytes = Bytes("FFFF 0700 0B00 \"SchemaProbe\" 3412 0180 3412");
    ArchiveReader reader(bytes, registry, 1);
    auto* first = static_cast<SchemaProbe*>(reader.ReadObject(nullptr));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->seen, 7u);
    EXPECT_EQ(first->again, 0xFFFFFFFFu);
    auto* second = static_cast<SchemaProbe*>(reader.ReadObject(nullptr));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->seen, 7u);  // a class reference keeps the schema found in the file

    // A directory record stored with schema 2 loads too.
    auto message = Bytes("FFFF 0200 0800 \"CMessage\" 02 \"hi\" 05000000");
    ArchiveReader messageReader(message, registry, 1);
    auto* loaded = As<CMessage>(messageReader.ReadObject(&CMessage::kClass));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetText(), "hi");
    EXPECT_EQ(loaded->GetTag(), 5);
}

TEST(DirectoryArchiveObjects, DamagedReferencesEndInTheirCause) {
    ClassRegistry registry = DirectoryRegistry();
    struct Case {
        const char* bytes;
        ArchiveError error;
    } cases[] = {
        {"0500", ArchiveError::BadIndex},                                  // no such object yet
        {"0180", ArchiveError::BadIndex},                                  // no such class yet
        {"FF7F 05000000", ArchiveError::BadIndex},                         // long form, too high
        {"FFFF 0000 0700 \"CObList\" 0100 0100", ArchiveError::BadIndex},  // index names a class
        {"FFFF 0000 0700 \"CObList\" 0100 0280", ArchiveError::BadIndex},  // class ref to object
        {"FFFF 0100 0400 \"CFoo\"", ArchiveError::BadClass},               // not registered
        {"FFFF 0100 0800 \"cservice\"", ArchiveError::BadClass},           // names are case-sensitive
        {"FFFF 0100 4000", ArchiveError::BadClass},                        // name of 64 bytes
        {"FFFF 0100 0800 \"CServ\"", ArchiveError::BadClass},              // name cut short
        {"FFFF 0100 07", ArchiveError::EndOfFile},                         // header cut short
        {"FFFF 0500 0700 \"CObList\" 0000", ArchiveError::BadSchema},      // not versionable
        {"FF", ArchiveError::EndOfFile},
    };
    for (const Case& c : cases) {
        auto bytes = Bytes(c.bytes);
        ArchiveReader reader(bytes, registry, 1);
        for (int i = 0; i < 3 && !reader.Failed(); ++i)
            reader.ReadObject(nullptr);
        EXPECT_EQ(reader.Error(), c.error) << c.bytes;
    }
}

TEST(DirectoryArchiveObjects, RequiredClassIsEnforcedForNewAndKnownObjects) {
    ClassRegistry registry = DirectoryRegistry();
    auto message = Bytes("FFFF 0100 0800 \"CMessage\" 00 00000000");
    ArchiveReader reader(message, registry, 1);
    EXPECT_EQ(reader.ReadObject(&CService::kClass), nullptr);
    EXPECT_EQ(reader.Error(), ArchiveError::BadClass);

    // A back-reference of the wrong kind: a list whose second element must be a service.
    auto backReference = Bytes("FFFF 0100 0800 \"CMessage\" 00 00000000 0200");
    ArchiveReader second(backReference, registry, 1);
    ASSERT_NE(second.ReadObject(nullptr), nullptr);
    EXPECT_EQ(second.ReadObject(&CService::kClass), nullptr);
    EXPECT_EQ(second.Error(), ArchiveError::BadClass);
}

TEST(DirectoryArchiveObjects, NestingIsBoundedOnBothSides) {
    // Lists inside lists, one deeper than readers accept.
    std::vector<std::unique_ptr<CObList>> chain;
    chain.push_back(std::make_unique<CObList>());
    for (size_t i = 0; i < kMaxObjectNesting; ++i) {
        auto next = std::make_unique<CObList>();
        next->AddTail(chain.back().get());
        chain.push_back(std::move(next));
    }
    ArchiveWriter writer;
    writer.WriteObject(chain.back().get());
    EXPECT_EQ(writer.Error(), ArchiveError::BadSchema);

    ArchiveWriter shallower;
    shallower.WriteObject(chain[chain.size() - 2].get());
    ASSERT_EQ(shallower.Error(), ArchiveError::None);
    ClassRegistry registry = DirectoryRegistry();
    std::vector<uint8_t> bytes(shallower.Bytes().begin(), shallower.Bytes().end());
    ArchiveReader reader(bytes, registry, 1);
    EXPECT_NE(reader.ReadObject(nullptr), nullptr);
    EXPECT_EQ(reader.Error(), ArchiveError::None);

    // A hand-made file that only ever opens new lists with count 1 never ends in a crash.
    std::string deep = AsString(Bytes("FFFF 0000 0700 \"CObList\" 0100"));
    for (int i = 0; i < 100000; ++i)
        deep += AsString(Bytes("0180 0100"));
    std::vector<uint8_t> deepBytes(deep.begin(), deep.end());
    ArchiveReader deepReader(deepBytes, registry, 1);
    EXPECT_EQ(deepReader.ReadObject(nullptr), nullptr);
    EXPECT_EQ(deepReader.Error(), ArchiveError::BadSchema);
}

TEST(DirectoryArchiveObjects, HugeCountsDoNotAllocateAhead) {
    // A list claiming four billion elements in a 20-byte file fails at the end of the bytes.
    ClassRegistry registry = DirectoryRegistry();
    auto bytes = Bytes("FFFF 0000 0700 \"CObList\" FFFF FFFFFFFF 0000");
    ArchiveReader reader(bytes, registry, 1);
    EXPECT_EQ(reader.ReadObject(nullptr), nullptr);
    EXPECT_EQ(reader.Error(), ArchiveError::EndOfFile);
}
