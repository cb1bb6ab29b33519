#include "settings/font_settings.h"
#include "settings/memory_settings_store.h"
#include "settings/window_placement.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vorla {
namespace {

TEST(MemoryStore, DefaultsTypesAndCaseBlindNames) {
    MemorySettingsStore store;
    EXPECT_EQ(store.GetProfileInt("Preferences", "Tips", 1), 1);
    EXPECT_EQ(store.GetProfileString("Preferences", "DateFormat", "dd"), "dd");

    ASSERT_TRUE(store.WriteProfileInt("Preferences", "Tips", 0));
    ASSERT_TRUE(store.WriteProfileString("Preferences", "Name", "Caf\xe9"));
    EXPECT_EQ(store.GetProfileInt("PREFERENCES", "tips", 1), 0);
    EXPECT_EQ(store.GetProfileString("preferences", "NAME", ""), "Caf\xe9");

    // A value of the other kind reads as missing, as a registry value of another type does.
    EXPECT_EQ(store.GetProfileInt("Preferences", "Name", 7), 7);
    EXPECT_EQ(store.GetProfileString("Preferences", "Tips", "x"), "x");

    // Sections are separate.
    EXPECT_EQ(store.GetProfileInt("MessageFont", "Tips", 5), 5);

    ASSERT_TRUE(store.WriteProfileInt("Preferences", "Big", -2));
    EXPECT_EQ(store.GetProfileInt("Preferences", "Big", 0), -2);
    EXPECT_FALSE(store.WriteProfileInt("", "Tips", 1));
    EXPECT_FALSE(store.WriteProfileString("Preferences", "", "x"));
}

TEST(WindowPlacement, RoundTripKeepsNegativeCoordinates) {
    WindowPlacement p;
    p.flags = 2;
    p.showCommand = kShowMaximized;
    p.minPosition = {-1, -1};
    p.maxPosition = {-4, -4};
    p.normalPosition = {-1280, 20, -300, 700};
    const std::string text = FormatWindowPlacement(p);
    EXPECT_EQ(text, "2,3,4294967295,4294967295,4294967292,4294967292,4294966016,20,4294966996,700");

    MemorySettingsStore store;
    ASSERT_TRUE(WriteWindowPlacement(store, "MainWindowPos", p));
    EXPECT_EQ(store.GetProfileString("Preferences", "MainWindowPos", ""), text);
    WindowPlacement back;
    back.length = 0;
    ASSERT_TRUE(ReadWindowPlacement(store, "MainWindowPos", back));
    EXPECT_EQ(back, p);
    EXPECT_EQ(back.length, kWindowPlacementLength);
}

TEST(WindowPlacement, IncompleteOrForeignTextIsRefusedAndLeavesPlacementAlone) {
    const WindowPlacement original{kWindowPlacementLength, 1, 1, {1, 2}, {3, 4}, {5, 6, 7, 8}};
    MemorySettingsStore store;
    for (const char* bad : {"", "0,1,2,3,4,5,6,7,8", "0,1,2,3,4,5,6,7,8,", "0,1,2,3,4,5,6,7,8,x",
                            "0 ,1,2,3,4,5,6,7,8,9", "0,1,2,3,4,5,6,7,8,4294967296", "a,1,2,3,4,5,6,7,8,9",
                            "0;1;2;3;4;5;6;7;8;9", "0,1,2,3,4,5,6,7,8,-"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseWindowPlacement(bad).has_value());
        store.WriteProfileString("Preferences", "LogWindowPos", bad);
        WindowPlacement p = original;
        EXPECT_FALSE(ReadWindowPlacement(store, "LogWindowPos", p));
        EXPECT_EQ(p, original);
    }
    WindowPlacement unused;
    EXPECT_FALSE(ReadWindowPlacement(store, "MissingPos", unused));
}

TEST(WindowPlacement, AcceptsWhatTheScanfFormatAccepts) {
    // Blanks before a number, a sign, and trailing text are all taken by "%u,%u,...".
    auto p = ParseWindowPlacement(" 0, +1,\t2,-3,4,5,6,7,8,9 trailing");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->showCommand, 1u);
    EXPECT_EQ(p->minPosition.y, -3);
    EXPECT_EQ(p->normalPosition.bottom, 9);
    auto high = ParseWindowPlacement("4294967295,0,0,0,0,0,2147483648,0,0,0");
    ASSERT_TRUE(high.has_value());
    EXPECT_EQ(high->flags, 4294967295u);
    EXPECT_EQ(high->normalPosition.left, INT32_MIN);
}

TEST(FontGroup, WriteThenReadAndTheZeroHeightRule) {
    MemorySettingsStore store;
    FontDescription font{-13, 700, 1, 0, 34, std::string(40, 'F')};
    ASSERT_TRUE(WriteFontSettings(store, kMessageFontSection, font));
    EXPECT_EQ(store.GetProfileString("MessageFont", "FaceName", "").size(), kMaxFaceNameLength);

    FontDescription back;
    ASSERT_TRUE(ReadFontSettings(store, "messagefont", back));
    EXPECT_EQ(back.height, -13);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 0);
    EXPECT_EQ(back.pitchAndFamily, 34);
    EXPECT_EQ(back.faceName, std::string(31, 'F'));

    // A zero height is written alone; the other entries stay as they were.
    ASSERT_TRUE(WriteFontSettings(store, kMessageFontSection, FontDescription{}));
    EXPECT_EQ(store.GetProfileInt("MessageFont", "Weight", 0), 700);
    FontDescription untouched{99, 400, 1, 1, 2, "Courier"};
    EXPECT_FALSE(ReadFontSettings(store, kMessageFontSection, untouched));
    EXPECT_EQ(untouched, (FontDescription{0, 400, 1, 1, 2, "Courier"}));
}

TEST(FontGroup, MissingEntriesTakeTheirDefaults) {
    MemorySettingsStore store;
    FontDescription font{5, 5, 5, 5, 5, "x"};
    EXPECT_FALSE(ReadFontSettings(store, "NoFont", font));
    store.WriteProfileInt("OnlyHeight", "Height", 12);
    ASSERT_TRUE(ReadFontSettings(store, "OnlyHeight", font));
    EXPECT_EQ(font, (FontDescription{12, 0, 0, 0, 0, "System"}));
}

}  // namespace
}  // namespace vorla
