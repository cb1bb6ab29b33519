// Page geometry and transmission blocks.
#include <gtest/gtest.h>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"

namespace {

// A page and the message it shares, freed together.
struct PageFixture {
    PageFixture(const std::string& text, const std::string& pin, const std::string& maxLength) {
        message = new CPagerMessage(text);
        ServiceFields none;
        CService service(none);
        CSubscriber subscriber("S", pin, maxLength, &service);
        page = std::make_unique<CPage>(message, CSubscriber::MakeDetachedCopy(subscriber), kWhenNow,
                                       std::nullopt, 0);
        message->AddRef();
    }
    ~PageFixture() { DiscardRecord(page.release()); }

    std::string Block() {
        char buffer[kMaxBlockLength + 16];
        size_t length = page->BuildBlock(buffer);
        EXPECT_LE(length, kMaxBlockLength);
        return std::string(buffer, length);
    }

    CPagerMessage* message;
    std::unique_ptr<CPage> page;
};

std::string Text(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    return text;
}

// STX .. terminator, without the checksum and the final CR.
std::string Body(const std::string& block) {
    return block.substr(0, block.size() - 4);
}

}  // namespace

TEST(PagingRecordsGeometry, SplitsMessagesByTheSubscribersMaximum) {
    PageFixture split(Text(100), "1234567", "40");
    EXPECT_EQ(split.page->GetChunkSize(), 40);
    EXPECT_EQ(split.page->GetPageCount(), 3);
    EXPECT_EQ(split.page->GetTransactionLength(), 49);
    EXPECT_EQ(split.page->GetBlocksPerPage(), 1);
    EXPECT_EQ(split.page->GetTotalBlocks(), 3);
    split.page->SetBlockIndex(2);
    EXPECT_EQ(Body(split.Block()),
              "\x02"
              "1234567\r" +
                  Text(100).substr(80) + "\r\x03");
    EXPECT_EQ(split.page->GetPageNumber(), 3);

    for (const char* maxLength : {"0", "500", "Split", "-3"}) {
        PageFixture whole(Text(100), "1", maxLength);
        EXPECT_EQ(whole.page->GetPageCount(), 1) << maxLength;
        EXPECT_EQ(whole.page->GetChunkSize(), 100) << maxLength;
    }
    PageFixture empty("", "1", "40");  // nothing to send
    EXPECT_EQ(empty.page->GetTotalBlocks(), 0);
    EXPECT_EQ(empty.Block(), "");
}

TEST(PagingRecordsBlocks, ChecksumAndTheOneBlockShape) {
    PageFixture page("ab", "123", "0");
    std::string block = page.Block();
    EXPECT_EQ(block,
              "\x02"
              "123\rab\r\x03"
              "178\r");
    EXPECT_EQ(page.page->GetBlockIndex(), 0);  // building does not advance

    // Bytes above 0x7F count as negative in the sum: 0x178 - 0x62 + (0xE9 - 0x100) = 0x0FF.
    PageFixture accented("a\xE9", "123", "0");
    EXPECT_EQ(accented.Block().substr(9, 3), "0??");  // 0, then 0xF|0x30 twice
}

TEST(PagingRecordsBlocks, LongTransactionsSpanTwoBlocks) {
    PageFixture page(Text(240), "1234567890", "240");
    ASSERT_EQ(page.page->GetTransactionLength(), 252);
    ASSERT_EQ(page.page->GetBlocksPerPage(), 2);
    std::string first = page.Block();
    EXPECT_EQ(first.size(), kMaxBlockLength);
    EXPECT_EQ(Body(first),
              "\x02"
              "1234567890\r" +
                  Text(240).substr(0, 238) + "\x1F");
    page.page->AdvanceBlock(1);
    EXPECT_EQ(Body(page.Block()), "\x02" + Text(240).substr(238) + "\r\x03");
    page.page->AdvanceBlock(1);
    EXPECT_EQ(page.Block(), "");  // past the last block

    // Text ending exactly at the end of the first block: the closing CR opens the next one.
    PageFixture exact(Text(239), "123456789", "0");
    ASSERT_EQ(exact.page->GetBlocksPerPage(), 2);
    EXPECT_EQ(Body(exact.Block()),
              "\x02"
              "123456789\r" +
                  Text(239) + "\x1F");
    exact.page->AdvanceBlock(1);
    EXPECT_EQ(Body(exact.Block()), "\x02\r\x03");

    // The PIN field ending a block: ETB, since the text field has not started yet.
    PageFixture longPin("hi", std::string(248, '7'), "0");
    EXPECT_EQ(Body(longPin.Block()), "\x02" + std::string(248, '7') + "\r\x17");
}

TEST(PagingRecordsBlocks, LastPageOfAMultiBlockMessageMayCarryNoData) {
    // Two pages of 240 with a 10-character PIN: the second page has 10 characters of text, so
    // its second block carries nothing but the frame.
    PageFixture page(Text(250), "1234567890", "240");
    ASSERT_EQ(page.page->GetTotalBlocks(), 4);
    page.page->SetBlockIndex(2);
    EXPECT_EQ(Body(page.Block()),
              "\x02"
              "1234567890\r" +
                  Text(250).substr(240) + "\r\x17");
    EXPECT_EQ(page.page->GetPageIndex(), 1);
    page.page->SetBlockIndex(3);
    EXPECT_EQ(Body(page.Block()), "\x02\x03");
}

TEST(PagingRecordsBlocks, GeometryFromADamagedFileNeverReadsOutsideTheText) {
    PageFixture page(Text(30), "12", "10");
    ArchiveWriter writer;
    writer.WriteObject(page.page.get());
    std::string bytes = writer.Bytes();
    auto patch = [&bytes](size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<char>(value >> (8 * i));
    };
    // Field offsets after the 11-byte class entry of "CPage".
    patch(11 + 12, 400);         // PinLength
    patch(11 + 16, 0x7FFFFFFF);  // TotalBlocks
    patch(11 + 45, 5000);        // ChunkSize
    patch(11 + 53, 3);           // BlocksPerPage
    ClassRegistry registry = MakeProgramClassRegistry();
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    ArchiveReader reader(data, registry, 1);
    auto* loaded = As<CPage>(reader.ReadObject(&CPage::kClass));
    ASSERT_NE(loaded, nullptr) << ArchiveErrorText(reader.Error());
    char buffer[kMaxBlockLength];
    for (int32_t index : {0, 1, 2, 3, 1000, 0x7FFFFFFE}) {
        loaded->SetBlockIndex(index);
        EXPECT_LE(loaded->BuildBlock(buffer), kMaxBlockLength);
    }
    patch(11 + 53, 0);  // no blocks per page: nothing to divide by
    data.assign(bytes.begin(), bytes.end());
    ArchiveReader second(data, registry, 1);
    auto* zero = As<CPage>(second.ReadObject(&CPage::kClass));
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->BuildBlock(buffer), 0u);
}

TEST(PagingRecordsPage, StatusResendAndSharedMessage) {
    EXPECT_EQ(ResendAllowance(false, 3), 0);
    EXPECT_EQ(ResendAllowance(true, 0), 0);
    EXPECT_EQ(ResendAllowance(true, 2), 3);

    PageFixture page("hello", "1", "0");
    page.page->SetResendTimes(1);
    page.page->CountResend();
    page.page->CountResend();
    EXPECT_EQ(page.page->GetResendTimes(), 0);
    page.page->SetStatus(kStatusFailed, "No carrier", -5);
    page.page->SetBlockIndex(1);
    page.page->Reset();
    EXPECT_EQ(page.page->GetStatus(), kStatusFailed);
    EXPECT_EQ(page.page->GetStatusText(), "");
    EXPECT_EQ(page.page->GetBlockIndex(), 0);
    EXPECT_EQ(page.page->GetStarted(), 1);

    // A second page on the same message: the message lives until the last page goes.
    ServiceFields none;
    CService service(none);
    CSubscriber subscriber("T", "2", "0", &service);
    auto* second = new CPage(page.message, CSubscriber::MakeDetachedCopy(subscriber), kWhenLater, 1000u, 0);
    page.message->AddRef();
    EXPECT_EQ(page.message->GetRefCount(), 2);
    DiscardRecord(second);
    EXPECT_EQ(page.message->GetRefCount(), 1);
    EXPECT_EQ(page.message->GetText(), "hello");
}
