#include "editors/CellText.h"

#include <gtest/gtest.h>

#include <string>

namespace vantreel {
namespace {

std::string Text(EventCell cell) {
    char text[kCellTextSize];
    CellText(cell, text);
    return text;
}

std::string Name(uint8_t status, uint8_t data1) {
    char name[kCellNameSize];
    CellName({status, data1, 0, 0}, name);
    return name;
}

TEST(CellText, ShowsMnemonicAndFourHexBytes) {
    EXPECT_EQ(Text({0x90, 0x3C, 0x78, 0x00}), "C-4 90 3C 78 00");
    EXPECT_EQ(Text({0xFE, 0, 0, 0}), "off FE 00 00 00");
    EXPECT_EQ(Text({}), "    00 00 00 00");
    EXPECT_EQ(Text({0x9F, 0x7F, 0xFF, 0x01}), "G-9 9F 7F FF 01");
}

TEST(CellText, NamesNotesOnInUpperAndOffInLowerCase) {
    EXPECT_EQ(Name(0x90, 60), "C-4");
    EXPECT_EQ(Name(0x80, 60), "c-4");
    EXPECT_EQ(Name(0x93, 12), "C-0");
    EXPECT_EQ(Name(0x90, 61), "C#4");
    EXPECT_EQ(Name(0x8F, 70), "a#4");
    EXPECT_EQ(Name(0x90, 127), "G-9");
    EXPECT_EQ(Name(0x90, 59), "B-3");
}

TEST(CellText, NotesBelowOctaveZeroKeepThreeCharacters) {
    EXPECT_EQ(Name(0x90, 0), "C--");
    EXPECT_EQ(Name(0x90, 11), "B--");
    EXPECT_EQ(Name(0x80, 1), "c#-");
}

TEST(CellText, NamesOtherMessageKinds) {
    EXPECT_EQ(Name(0xA0, 1), "PPr");
    EXPECT_EQ(Name(0xBF, 1), "CCh");
    EXPECT_EQ(Name(0xC0, 1), "PCh");
    EXPECT_EQ(Name(0xD5, 1), "CPr");
    EXPECT_EQ(Name(0xE0, 1), "PBd");
    EXPECT_EQ(Name(0xFE, 1), "off");
    for (uint8_t status : {0x00, 0x01, 0x7F, 0xF0, 0xF8, 0xFF}) {
        EXPECT_EQ(Name(status, 60), "   ") << int(status);
    }
}

} // namespace
} // namespace vantreel
