// The extension after field 12: what it keeps, and which damage makes a reader
// refuse it rather than trust it.

#include "song/ProjectExtension.h"
#include "song/ByteReader.h"
#include "song/Crc32.h"
#include "song/ProjectLayout.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantreel {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kRecordSize = kPluginNameSize + 4 + 4 * 2 * 3 + 4 + 10;

class ProjectExtensionTest : public ::testing::Test {
protected:
    void SetUp() override {
        arrangement->Clear();
        arrangement->Set(kArrangementHeadLines, 3, {4, 0});
        arrangement->Set(kArrangementLines - 1, 15, {kPatternCodeBreak, 7});
        arrangement->Set(1000, 0, {200, 0}); // kept as stored
        slots[2] = {true, {0x1234, 2, 3, true, kRecordSize}, ""};
    }

    uint64_t BaseSize() const { return kEmptyProjectSize + kRecordSize; }

    Bytes Written() const {
        Bytes bytes;
        ByteWriter out(bytes);
        WriteExtension(out, BaseSize(), slots, *arrangement);
        return bytes;
    }

    // Header and sections as given, with a footer that fits them.
    static Bytes Framed(Bytes body) {
        ByteWriter out(body);
        const uint32_t checksum = Crc32(body.data(), body.size());
        out.U32(uint32_t(body.size() + kExtensionFooterSize));
        out.U32(checksum);
        out.Bytes("VNTRLEND", 8);
        return body;
    }
    static Bytes Body(const Bytes& extension) {
        return Bytes(extension.begin(), extension.end() - kExtensionFooterSize);
    }

    ExtensionParse Parse(const Bytes& extension) const {
        return ParseExtension(extension.data(), extension.size(), BaseSize() + extension.size());
    }

    std::unique_ptr<Arrangement> arrangement = std::make_unique<Arrangement>();
    ExtensionSlot slots[kSlotCount];
};

TEST_F(ProjectExtensionTest, KeepsTheRecordShapesAndTheLinesAfterTheHead) {
    const Bytes extension = Written();
    EXPECT_EQ(extension.size(), ExtensionSizeFromFooter(extension.data() + extension.size() - 16));
    const ExtensionParse parse = Parse(extension);
    ASSERT_EQ(ExtensionStatus::Valid, parse.status);
    EXPECT_EQ(slots[2].record, parse.extension.slots[2].record);
    EXPECT_FALSE(parse.extension.slots[3].hasRecord);
    ASSERT_EQ(3u, parse.extension.lines.size()); // only lines with something in them

    auto loaded = std::make_unique<Arrangement>();
    loaded->Clear();
    ApplyArrangementLines(parse.extension, *loaded);
    for (int line = 0; line < kArrangementLines; ++line) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const ArrangementEntry expected =
                line < kArrangementHeadLines ? ArrangementEntry{} : arrangement->Get(line, slot);
            ASSERT_EQ(expected, loaded->Get(line, slot)) << line << "/" << slot;
        }
    }
}

TEST_F(ProjectExtensionTest, SectionsItDoesNotKnowAreSkipped) {
    Bytes body = Body(Written());
    ByteWriter out(body);
    out.U32(99);
    out.U32(5);
    out.Bytes("later", 5);
    EXPECT_EQ(ExtensionStatus::Valid, Parse(Framed(body)).status);
}

TEST_F(ProjectExtensionTest, ALaterVersionIsReportedAsSuch) {
    Bytes body = Body(Written());
    body[8] = kExtensionVersion + 1;
    EXPECT_EQ(ExtensionStatus::Newer, Parse(Framed(body)).status);
}

TEST_F(ProjectExtensionTest, DamageAnywhereMakesItUntrusted) {
    const Bytes good = Written();
    Bytes flipped = good;
    flipped[30] ^= 1; // the checksum no longer matches
    EXPECT_EQ(ExtensionStatus::Damaged, Parse(flipped).status);

    // Each of these is framed with a fitting checksum: the content itself is wrong.
    const std::size_t pluginSection = kExtensionHeaderSize + 8;
    std::vector<Bytes> wrong;
    Bytes flag = Body(good);
    flag[pluginSection] = 2;
    wrong.push_back(flag);
    Bytes base = Body(good);
    base[12] ^= 1; // the size of fields 1 to 12 is not where the extension starts
    wrong.push_back(base);
    const std::size_t slot2 = pluginSection + 2; // slots 0 and 1 take one byte each
    Bytes negative = Body(good);
    negative[slot2 + 1 + 4 + 3] = 0x80; // numPrograms below zero
    wrong.push_back(negative);
    Bytes small = Body(good);
    small[slot2 + 1 + 13] = 1; // record size below what its counts need
    for (int i = 1; i < 8; ++i) {
        small[slot2 + 1 + 13 + i] = 0;
    }
    wrong.push_back(small);
    Bytes order = Body(good); // the first stored line moved into the head
    const std::size_t lines = order.size() - 3 * (2 + kArrangementLineSize);
    order[lines] = kArrangementHeadLines - 1;
    order[lines + 1] = 0;
    wrong.push_back(order);
    Bytes cut = Body(good);
    cut.pop_back(); // a section longer than what is left
    wrong.push_back(cut);
    for (std::size_t i = 0; i < wrong.size(); ++i) {
        EXPECT_EQ(ExtensionStatus::Damaged, Parse(Framed(wrong[i])).status) << "case " << i;
    }
}

TEST_F(ProjectExtensionTest, ANameTooLongForItsFieldIsKeptOnlyForASlotWithARecord) {
    const Bytes plain = Written();
    slots[2].longName = "lv2:" + std::string(100, 'u');
    slots[5].longName = "lv2:no-record-no-name"; // nothing to name: not written
    const Bytes named = Written();
    EXPECT_GT(named.size(), plain.size());
    const ExtensionParse parse = Parse(named);
    ASSERT_EQ(ExtensionStatus::Valid, parse.status);
    EXPECT_EQ(parse.extension.slots[2].longName, slots[2].longName);
    EXPECT_EQ(parse.extension.slots[5].longName, "");

    // A name section naming a slot without a record, or one slot twice, is damage.
    for (const std::vector<uint8_t>& entries :
         {std::vector<uint8_t>{5}, std::vector<uint8_t>{2, 2}}) {
        Bytes body = Body(plain);
        ByteWriter out(body);
        out.U32(kSectionLongPluginNames);
        out.U32(uint32_t(4 + entries.size() * 6));
        out.U32(uint32_t(entries.size()));
        for (uint8_t slot : entries) {
            out.U8(slot);
            out.U32(1);
            out.U8('x');
        }
        EXPECT_EQ(ExtensionStatus::Damaged, Parse(Framed(body)).status) << entries.size();
    }
}

TEST_F(ProjectExtensionTest, RecordSizesMustAddUpWithinTheFile) {
    slots[2].record.recordSize = UINT64_MAX - 10;
    EXPECT_EQ(0u, BaseSizeFor(slots, 1u << 30));
    slots[2].record.numPrograms = INT32_MAX;
    slots[2].record.numParams = INT32_MAX;
    EXPECT_EQ(UINT64_MAX, slots[2].record.FixedSize()); // saturates, never wraps
}

} // namespace
} // namespace vantreel
