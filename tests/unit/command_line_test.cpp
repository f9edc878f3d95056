#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vistrel::app {
namespace {

TEST(CommandLine, OnlyTheFirstTwoCharactersChooseTheMode) {
    struct Case {
        const char* command;
        Mode mode;
    };
    const Case cases[] = {
        {"/s", Mode::Saver},      {"/S", Mode::Saver},      {"/s 0", Mode::Saver},
        {"/c", Mode::Configure},  {"/C", Mode::Configure},  {"/c:1234", Mode::Configure},
        {"/Cx", Mode::Configure}, {"/p 5", Mode::Preview},  {"/P 5", Mode::Preview},
        {"-s", Mode::Nothing},    {"s", Mode::Nothing},     {"/x", Mode::Nothing},
        {"/a", Mode::Nothing},    {"", Mode::Configure},    {"  ", Mode::Configure},
        {" /s", Mode::Nothing},
    };
    for (const Case& c : cases) EXPECT_EQ(modeOf(c.command), c.mode) << '"' << c.command << '"';
}

TEST(CommandLine, ConfigureOwnerIsTheWindowAfterAColon) {
    EXPECT_EQ(configureOwner("/c:1234"), 1234u);
    EXPECT_EQ(configureOwner("/C 77"), 77u);
    EXPECT_EQ(static_cast<std::intptr_t>(configureOwner("/c:-2")), -2);
    // No owner: a plain switch, no number, or one that names no 32-bit window.
    EXPECT_EQ(configureOwner("/c"), 0u);
    EXPECT_EQ(configureOwner(""), 0u);
    EXPECT_EQ(configureOwner("/cx12"), 0u);
    EXPECT_EQ(configureOwner("/c:x"), 0u);
    EXPECT_EQ(configureOwner("/c:99999999999"), 0u);
}

TEST(CommandLine, PreviewHandleIsTheNumberAfterTheSwitch) {
    EXPECT_EQ(previewHandle("/p 1234"), 1234u);
    EXPECT_EQ(previewHandle("/p:1234"), 1234u);
    EXPECT_EQ(previewHandle("/p   77"), 77u);
    EXPECT_EQ(previewHandle("/p 12ab"), 12u);
    EXPECT_EQ(previewHandle("/p 2.5"), 2u);  // halves go to the even neighbour
    EXPECT_EQ(previewHandle("/p 3.5"), 4u);
    // No number after the switch names the whole screen.
    EXPECT_EQ(previewHandle("/p x"), 0u);
    EXPECT_EQ(previewHandle("/p "), 0u);
}

TEST(CommandLine, PreviewWithoutRoomForAHandleDrawsNothing) {
    EXPECT_FALSE(previewHandle("/p"));
    EXPECT_FALSE(previewHandle("/P"));
    // A number beyond 32 bits names no window.
    EXPECT_FALSE(previewHandle("/p 99999999999"));
}

TEST(CommandLine, NegativeHandlesAreSignExtended) {
    const auto handle = previewHandle("/p -2");
    ASSERT_TRUE(handle);
    EXPECT_EQ(static_cast<std::intptr_t>(*handle), -2);
}

}  // namespace
}  // namespace vistrel::app
