// The directory records' own behaviour: list upkeep, copies, and the fields a loader reads
// in a version-dependent way.
#include <gtest/gtest.h>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_classes.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/directory/test_directory.h"

namespace {
ServiceFields Named(std::string name, int32_t lineId = 0) {
    ServiceFields fields;
    fields.name = std::move(name);
    fields.baudRate = 1200;
    fields.permanentLineID = lineId;
    return fields;
}
}  // namespace

TEST(DirectoryObList, HeadAndTailInsertionAndRemoval) {
    std::vector<std::unique_ptr<CObList>> items;
    for (int i = 0; i < 6; ++i)
        items.push_back(std::make_unique<CObList>());
    CObList list;
    list.AddTail(items[2].get());
    list.AddHead(items[1].get());
    list.AddHead(items[0].get());
    list.AddTail(items[3].get());
    ASSERT_EQ(list.GetCount(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(list.GetAt(i), items[i].get());
    EXPECT_FALSE(list.Remove(items[5].get()));
    EXPECT_EQ(list.GetCount(), 4u);
    list.AddTail(items[1].get());
    EXPECT_TRUE(list.Remove(items[1].get()));  // the first occurrence only
    EXPECT_EQ(list.Find(items[1].get()), 3);
    EXPECT_EQ(list.RemoveHead(), items[0].get());
    EXPECT_EQ(list.GetHead(), items[2].get());
    // Many head insertions stay in order (and are cheap).
    CObList many;
    for (int i = 0; i < 10000; ++i)
        many.AddHead(items[i % 6].get());
    EXPECT_EQ(many.GetTail(), items[0].get());
    EXPECT_EQ(many.GetHead(), items[9999 % 6].get());
}

TEST(DirectoryRecords, ServiceKeepsItsSubscribersWithoutOwningThem) {
    CService service(Named("Acme"));
    CSubscriber ann("Ann", "1", "80", &service);
    CSubscriber bob("Bob", "2", "80", &service);
    CSubscriber stranger("X", "3", "80", nullptr);
    service.AddSubscriber(&ann);
    service.AddSubscriber(&bob);
    EXPECT_EQ(service.GetSubscribers()->GetHead(), &bob);
    service.RemoveSubscriber(&stranger);
    EXPECT_EQ(service.GetSubscribers()->GetCount(), 2u);
    service.RemoveSubscriber(&bob);
    EXPECT_EQ(service.GetSubscribers()->GetHead(), &ann);
}

TEST(DirectoryRecords, MaxLengthConvertsByItsLeadingDigits) {
    CSubscriber subscriber("A", "1", "", nullptr);
    EXPECT_EQ(subscriber.GetMaxLengthNumber(), 0);
    subscriber.SetMaxLength("Split");
    EXPECT_EQ(subscriber.GetMaxLengthNumber(), 0);
    subscriber.SetMaxLength("  120 chars");
    EXPECT_EQ(subscriber.GetMaxLengthNumber(), 120);
    subscriber.SetMaxLength("99999999999999");
    EXPECT_EQ(subscriber.GetMaxLengthNumber(), INT_MAX);
    subscriber.SetMaxLengthNumber(240);
    EXPECT_EQ(subscriber.GetMaxLength(), "240");
}

TEST(DirectoryRecords, DetachedCopyCarriesItsOwnServiceAndWritesItInFull) {
    CService service(Named("Acme", 7));
    CSubscriber ann("Ann", "123", "80", &service);
    service.AddSubscriber(&ann);
    std::unique_ptr<CSubscriber> copy = CSubscriber::MakeDetachedCopy(ann);
    std::unique_ptr<CService> detached(copy->GetService());  // the copy's owner frees it
    ASSERT_NE(detached.get(), &service);
    EXPECT_EQ(detached->GetAll(), service.GetAll());
    EXPECT_EQ(detached->GetSubscribers(), nullptr);
    EXPECT_EQ(copy->GetGroups(), nullptr);

    ArchiveWriter writer;
    writer.WriteObject(copy.get());
    const std::string& bytes = writer.Bytes();
    // The detached service's Subscribers tag and the copy's Groups tag are both null.
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));

    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    ArchiveReader reader(data, registry, 1);
    auto* loaded = As<CSubscriber>(reader.ReadObject(&CSubscriber::kClass));
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->GetService(), nullptr);
    EXPECT_EQ(loaded->GetService()->GetPermanentLineID(), 7);
    EXPECT_EQ(loaded->GetService()->GetSubscribers(), nullptr);
}

TEST(DirectoryRecords, FormatZeroServicesHaveNoLineId) {
    CService service(Named("Old", 9));
    ArchiveWriter old(0);
    old.WriteObject(&service);
    ArchiveWriter current(1);
    current.WriteObject(&service);
    EXPECT_EQ(current.Bytes().size(), old.Bytes().size() + 4);

    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    std::vector<uint8_t> data(old.Bytes().begin(), old.Bytes().end());
    ArchiveReader reader(data, registry, 0);
    auto* loaded = As<CService>(reader.ReadObject(nullptr));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetPermanentLineID(), 0);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(DirectoryRecords, ListFieldsMustBeLists) {
    // A group whose Members field is a message is refused rather than used as a list.
    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    auto bytes = Bytes("FFFF 0100 0600 \"CGroup\" 01\"G\" FFFF 0100 0800 \"CMessage\" 00 00000000");
    ArchiveReader reader(bytes, registry, 1);
    EXPECT_EQ(reader.ReadObject(nullptr), nullptr);
    EXPECT_EQ(reader.Error(), ArchiveError::BadClass);
}
