#include "storage/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/fake_window_host.h"
#include "support/temp_dir.h"

namespace quilvern {

bool operator==(const WindowRect& a, const WindowRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const WindowRect& r, std::ostream* out) {
    *out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

namespace {

using test::FakeWindowHost;
using test::TempDir;

constexpr char kName[] = "Quilvern.ini";
const WindowRect kDesigned{334, 132, 864, 572};

// The lines joined with CR LF, each line ended.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines)
        text.append(line).append("\r\n");
    return text;
}

// Section "Main" holding the given entries.
std::string MainSection(std::initializer_list<std::string_view> entries) {
    std::string text = "[Main]\r\n";
    for (std::string_view entry : entries)
        text.append(entry).append("\r\n");
    return text;
}

// ---------------------------------------------------------------------------------
// Writing: what a close leaves in section "Main".

std::string WrittenBy(FakeWindowHost& window) {
    TempDir dir;
    IniFile file(dir.File(kName));
    WriteWindowKeys(window, file, "Main");
    file.Flush();
    return dir.Read(kName);
}

TEST(WindowKeysWriting, NormalWindowGivesEveryKeyInOrderWithScreenSuffixFirst) {
    FakeWindowHost window;
    window.visible = true;
    EXPECT_EQ(WrittenBy(window),
              Lines({"[Main]", "Flags=0", "ShowCmd=1", "PixelsPerInch=96",
                     "MinMaxPos(1920x1080)=-1,-1,-1,-1", "MinMaxPos=-1,-1,-1,-1",
                     "NormPos(1920x1080)=334,132,864,572", "NormPos=334,132,864,572"}));
}

TEST(WindowKeysWriting, MinimizedApplicationIsWrittenAsShowCmd2) {
    FakeWindowHost window;
    window.visible = true;
    window.applicationMinimized = true;
    EXPECT_NE(WrittenBy(window).find("\r\nShowCmd=2\r\n"), std::string::npos);
}

TEST(WindowKeysWriting, MaximizedWindowIsWrittenAsShowCmd3WithItsNormalRectangle) {
    FakeWindowHost window;
    window.visible = true;
    window.state = WindowState::Maximized;
    const std::string text = WrittenBy(window);
    EXPECT_NE(text.find("\r\nShowCmd=3\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nNormPos=334,132,864,572\r\n"), std::string::npos);
}

TEST(WindowKeysWriting, SuffixIsThePrimaryScreenSizeAndNegativeNumbersKeepTheirSign) {
    FakeWindowHost window;
    window.screen = {1280, 1024};
    window.pixelsPerInch = 120;
    window.placement.flags = 2;
    window.placement.maxX = -4;
    window.placement.maxY = -4;
    window.placement.normal = {-20, -5, 510, 435};
    EXPECT_EQ(WrittenBy(window),
              Lines({"[Main]", "Flags=2", "ShowCmd=1", "PixelsPerInch=120",
                     "MinMaxPos(1280x1024)=-1,-1,-4,-4", "MinMaxPos=-1,-1,-4,-4",
                     "NormPos(1280x1024)=-20,-5,510,435", "NormPos=-20,-5,510,435"}));
}

TEST(WindowKeysWriting, ExistingKeysChangeWhereTheyStandAndOtherScreensAreKept) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos(1024x768)=1,2,3,4", "NormPos=1,2,3,4", "Flags=7"}));
    FakeWindowHost window;
    IniFile file(dir.File(kName));
    WriteWindowKeys(window, file, "Main");
    file.Flush();
    EXPECT_EQ(dir.Read(kName),
              Lines({"[Main]", "NormPos(1024x768)=1,2,3,4", "NormPos=334,132,864,572", "Flags=0",
                     "ShowCmd=1", "PixelsPerInch=96", "MinMaxPos(1920x1080)=-1,-1,-1,-1",
                     "MinMaxPos=-1,-1,-1,-1", "NormPos(1920x1080)=334,132,864,572"}));
}

// On Wayland the platform hands back minus its decoration's margins as the corner:
// that is no position, and the last real one stays in the file for the next start.
TEST(WindowKeysWriting, APositionThePlatformDoesNotReportIsNotWritten) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos(1920x1080)=100,50,630,490", "NormPos=100,50,630,490"}));
    FakeWindowHost window;
    window.reportsPosition = false;
    window.placement.normal = {-3, -30, 527, 411};
    IniFile file(dir.File(kName));
    WriteWindowKeys(window, file, "Main");
    file.Flush();
    EXPECT_EQ(dir.Read(kName),
              Lines({"[Main]", "NormPos(1920x1080)=100,50,630,490", "NormPos=100,50,630,490",
                     "Flags=0", "ShowCmd=1", "PixelsPerInch=96", "MinMaxPos(1920x1080)=-1,-1,-1,-1",
                     "MinMaxPos=-1,-1,-1,-1"}));
}

// ---------------------------------------------------------------------------------
// Show codes: what a stored "ShowCmd" asks for.

TEST(ShowCmdCodes, MapToTheStatesOfTheTable) {
    const struct {
        int code;
        WindowState state;
    } cases[] = {
        {1, WindowState::Normal},    {5, WindowState::Normal},    {9, WindowState::Normal},
        {2, WindowState::Minimized}, {6, WindowState::Minimized}, {7, WindowState::Minimized},
        {3, WindowState::Maximized}, {0, WindowState::Normal},    {4, WindowState::Normal},
        {8, WindowState::Normal},    {10, WindowState::Normal},   {-1, WindowState::Normal},
        {-3, WindowState::Normal},   {259, WindowState::Normal},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StateOfShowCmd(c.code), c.state) << "ShowCmd " << c.code;
    }
}

// ---------------------------------------------------------------------------------
// Applying the position: which normal rectangle, if any, reaches the window.

struct PositionCase {
    std::string rule;
    std::string file;
    BorderStyle border = BorderStyle::Single;
    std::optional<WindowRect> applied;  // empty: the window's placement is not set
};

void PrintTo(const PositionCase& c, std::ostream* out) {
    *out << c.rule;
}

class WindowPositionApplying : public testing::TestWithParam<PositionCase> {};

TEST_P(WindowPositionApplying, SetsTheRectangleTheRuleNames) {
    const PositionCase& c = GetParam();
    TempDir dir;
    dir.Write(kName, c.file);
    FakeWindowHost window;
    window.border = c.border;
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    if (!c.applied) {
        EXPECT_TRUE(window.applied.empty());
        return;
    }
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].normal, *c.applied);
    EXPECT_EQ(window.applied[0].showCmd, 0) << "a window not yet shown stays hidden";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WindowPositionApplying,
    testing::Values(
        PositionCase{"NoWindowKeysLeaveTheDesignedPlace", "", BorderStyle::Single, std::nullopt},
        PositionCase{"OtherSectionsOnlyLeaveTheDesignedPlace", "[Name]\r\nNormPos=1,2,530,440\r\n",
                     BorderStyle::Single, std::nullopt},
        PositionCase{"KeyForThisScreenSizeIsPreferred",
                     MainSection({"NormPos=10,20,540,460", "NormPos(1920x1080)=100,50,630,490"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"PlainKeyServesAnUnknownScreenSize",
                     MainSection({"NormPos(1024x768)=100,50,630,490", "NormPos=10,20,540,460"}),
                     BorderStyle::Single, WindowRect{10, 20, 540, 460}},
        PositionCase{"EmptyKeyForThisScreenFallsBackToThePlainKey",
                     MainSection({"NormPos(1920x1080)=", "NormPos=10,20,540,460"}),
                     BorderStyle::Single, WindowRect{10, 20, 540, 460}},
        PositionCase{"ScreenSuffixMatchesInAnyLetterCase",
                     MainSection({"normpos(1920X1080)=100,50,630,490", "NormPos=10,20,540,460"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"BlanksSeparateLikeCommas", MainSection({"NormPos=100 50 630 490"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"RunsOfSeparatorsCountAsOne", MainSection({"NormPos=100 ,, 50 ,  630,,490"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"LeadingSeparatorsAreSkipped", MainSection({"NormPos=\", 100,50,630,490\""}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"TwoNumbersPlaceTheWindowAtThem", MainSection({"NormPos=100,50"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"UnreadableWordKeepsThePresentValue", MainSection({"NormPos=abc,50,630,490"}),
                     BorderStyle::Single, WindowRect{334, 50, 864, 490}},
        PositionCase{"NegativeCornerIsKeptWhileTheTitleBarStaysOnScreen",
                     MainSection({"NormPos=-100,-10,430,430"}), BorderStyle::Single,
                     WindowRect{-100, -10, 430, 430}},
        PositionCase{"FixedBorderTakesOnlyTheCornerNotTheSize",
                     MainSection({"NormPos=100,50,200,100"}), BorderStyle::Single,
                     WindowRect{100, 50, 630, 490}},
        PositionCase{"FixedBorderUsesItsOwnSizeEvenWhenStoredRightIsNotRightOfLeft",
                     MainSection({"NormPos=500,50,400,100"}), BorderStyle::Single,
                     WindowRect{500, 50, 1030, 490}},
        PositionCase{"SizeableBorderTakesTheStoredSize", MainSection({"NormPos=100,50,200,100"}),
                     BorderStyle::Sizeable, WindowRect{100, 50, 200, 100}},
        PositionCase{"SizeableToolWindowTakesTheStoredSize",
                     MainSection({"NormPos=100,50,200,100"}), BorderStyle::SizeToolWindow,
                     WindowRect{100, 50, 200, 100}},
        PositionCase{"DialogBorderTakesOnlyTheCorner", MainSection({"NormPos=100,50,200,100"}),
                     BorderStyle::Dialog, WindowRect{100, 50, 630, 490}},
        PositionCase{"RightNotRightOfLeftIsNotApplied", MainSection({"NormPos=500,50,400,100"}),
                     BorderStyle::Sizeable, std::nullopt},
        PositionCase{"RightEqualToLeftIsNotApplied", MainSection({"NormPos=500,50,500,100"}),
                     BorderStyle::Sizeable, std::nullopt},
        PositionCase{"OtherResolutionKeepsThePosition",
                     MainSection({"PixelsPerInch=120", "NormPos=100,50,630,490"}),
                     BorderStyle::Single, std::nullopt},
        PositionCase{"SameResolutionIsApplied",
                     MainSection({"PixelsPerInch=96", "NormPos=100,50,630,490"}),
                     BorderStyle::Single, WindowRect{100, 50, 630, 490}},
        PositionCase{"MinMaxPosAloneKeepsThePresentRectangle",
                     MainSection({"MinMaxPos=-1,-1,-8,-8"}), BorderStyle::Single, kDesigned},
        PositionCase{"OffEveryScreenKeepsTheDesignedPlace",
                     MainSection({"NormPos=5000,3000,5530,3440"}), BorderStyle::Single, kDesigned},
        PositionCase{"AboveTheScreenKeepsTheDesignedPlace",
                     MainSection({"NormPos=100,-900,630,-460"}), BorderStyle::Single, kDesigned},
        // The title bar is the top 29 pixels; 15 of them must lie on the screen.
        PositionCase{"TitleBarAboveTheScreenComesBackThoughTheRestIsOnIt",
                     MainSection({"NormPos=100,-20,630,420"}), BorderStyle::Single, kDesigned},
        PositionCase{"HalfOfTheTitleBarOnTheScreenStays", MainSection({"NormPos=100,-14"}),
                     BorderStyle::Single, WindowRect{100, -14, 630, 426}},
        PositionCase{"LessThanHalfOfTheTitleBarComesBack", MainSection({"NormPos=100,-15"}),
                     BorderStyle::Single, kDesigned},
        PositionCase{"TitleBarBelowTheScreensBottomComesBack", MainSection({"NormPos=100,1030"}),
                     BorderStyle::Single, kDesigned},
        // 1920 - 1880 = 40 pixels of the title bar remain to take hold of.
        PositionCase{"GripOfTheTitleBarAtTheRightEdgeStays", MainSection({"NormPos=1880,100"}),
                     BorderStyle::Single, WindowRect{1880, 100, 2410, 540}},
        PositionCase{"LessThanAGripAtTheRightEdgeComesBack", MainSection({"NormPos=1881,100"}),
                     BorderStyle::Single, kDesigned},
        PositionCase{"GripAtTheLeftEdgeStays", MainSection({"NormPos=-490,100"}),
                     BorderStyle::Single, WindowRect{-490, 100, 40, 540}},
        // 2147483600 + 530 does not fit an int: the position is ignored, not wrapped.
        PositionCase{"CornerNearTheEndOfTheIntRangeIsIgnored",
                     MainSection({"NormPos=2147483600,100,2147483647,500"}), BorderStyle::Single,
                     std::nullopt},
        PositionCase{"CornerNearTheStartOfTheIntRangeIsBroughtBack",
                     MainSection({"NormPos=-2147483648,-2147483648,0,0"}), BorderStyle::Single,
                     kDesigned},
        // Brought back to 334, the window would end beyond the int range.
        PositionCase{"SizeableWiderThanTheIntRangeIsIgnoredWhenBroughtBack",
                     MainSection({"NormPos=-2147483648,-900,2147483647,-400"}),
                     BorderStyle::Sizeable, std::nullopt},
        PositionCase{"SizeableOffScreenKeepsItsStoredSize",
                     MainSection({"NormPos=-3000,10,-2800,210"}), BorderStyle::Sizeable,
                     WindowRect{334, 132, 534, 332}}));

TEST(WindowPositionApplying, MinMaxPosIsReadWithZeroForMissingWords) {
    TempDir dir;
    dir.Write(kName, MainSection({"Flags=2", "MinMaxPos(1920x1080)=-1 x -9"}));
    FakeWindowHost window;
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    const WindowPlacement& applied = window.applied[0];
    EXPECT_EQ(applied.flags, 2);
    EXPECT_EQ(applied.minX, -1);
    EXPECT_EQ(applied.minY, 0);
    EXPECT_EQ(applied.maxX, -9);
    EXPECT_EQ(applied.maxY, 0);
}

TEST(WindowPositionApplying, FlagsKeepTheirPresentValueWhenMissing) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos=100,50,630,490"}));
    FakeWindowHost window;
    window.placement.flags = 4;
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].flags, 4);
}

TEST(WindowPositionApplying, VisibleWindowIsAppliedWithItsOwnShowCode) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos=100,50,630,490"}));
    FakeWindowHost window;
    window.visible = true;
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].showCmd, 1);
}

TEST(WindowPositionApplying, OffScreenWindowWhoseDesignedPlaceIsOffScreenGoesToThePrimaryCorner) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos=5000,3000,5530,3440"}));
    FakeWindowHost window;
    window.areas = {{0, 30, 800, 600}, {800, 0, 1600, 600}};
    window.placement.normal = {2000, 2000, 2530, 2440};
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].normal, (WindowRect{0, 30, 530, 470}));
}

// Before the window is framed its title bar counts as 20 pixels, 10 of which must show.
TEST(WindowPositionApplying, TitleBarNotKnownYetCountsAsTwentyPixels) {
    const struct {
        const char* normPos;
        WindowRect applied;
    } cases[] = {
        {"NormPos=100,-10", {100, -10, 630, 430}},
        {"NormPos=100,-11", kDesigned},
        {"NormPos=100,1030", {100, 1030, 630, 1470}},
        {"NormPos=100,1031", kDesigned},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.Write(kName, MainSection({c.normPos}));
        FakeWindowHost window;
        window.titleBar = 0;
        ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
        ASSERT_EQ(window.applied.size(), 1u) << c.normPos;
        EXPECT_EQ(window.applied[0].normal, c.applied) << c.normPos;
    }
}

TEST(WindowPositionApplying, PositionOnASecondScreenIsKept) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos=2000,100,2530,540"}));
    FakeWindowHost window;
    window.areas = {{0, 0, 1920, 1040}, {1920, 0, 3840, 1040}};
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].normal, (WindowRect{2000, 100, 2530, 540}));
}

TEST(WindowPositionApplying, UnknownScreenAreasTrustTheStoredPosition) {
    TempDir dir;
    dir.Write(kName, MainSection({"NormPos=5000,3000,5530,3440"}));
    FakeWindowHost window;
    window.areas.clear();
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", false, true);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].normal, (WindowRect{5000, 3000, 5530, 3440}));
}

// ---------------------------------------------------------------------------------
// Applying the state, and what is asked of the window in which order.

struct StateCase {
    std::string rule;
    std::string file;
    bool applyState;
    bool applyPosition;
    std::vector<std::string> requests;
};

void PrintTo(const StateCase& c, std::ostream* out) {
    *out << c.rule;
}

class WindowStateApplying : public testing::TestWithParam<StateCase> {};

TEST_P(WindowStateApplying, AsksTheWindowForWhatTheRuleNames) {
    const StateCase& c = GetParam();
    TempDir dir;
    dir.Write(kName, c.file);
    FakeWindowHost window;
    ApplyWindowKeys(window, IniFile(dir.File(kName)), "Main", c.applyState, c.applyPosition);
    EXPECT_EQ(window.log, c.requests);
}

using Requests = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Rules, WindowStateApplying,
    testing::Values(
        StateCase{"MissingShowCmdGivesNormal", "", true, true,
                  Requests{"SetWindowState Normal", "Repaint"}},
        StateCase{"ShowCmd3Maximizes", MainSection({"ShowCmd=3"}), true, true,
                  Requests{"SetWindowState Maximized", "Repaint"}},
        StateCase{"ShowCmd2MinimizesAfterTheShowAndStops", MainSection({"ShowCmd=2"}), true, true,
                  Requests{"MarkStateNormal", "PostMinimize"}},
        StateCase{"ShowCmd6MinimizesToo", MainSection({"ShowCmd=6"}), true, true,
                  Requests{"MarkStateNormal", "PostMinimize"}},
        StateCase{"ShowCmd7MinimizesToo", MainSection({"ShowCmd=7"}), true, true,
                  Requests{"MarkStateNormal", "PostMinimize"}},
        StateCase{"ShowCmd0IsNormal", MainSection({"ShowCmd=0"}), true, true,
                  Requests{"SetWindowState Normal", "Repaint"}},
        StateCase{"UnreadableShowCmdIsNormal", MainSection({"ShowCmd=max"}), true, true,
                  Requests{"SetWindowState Normal", "Repaint"}},
        StateCase{"PositionComesBeforeTheState",
                  MainSection({"ShowCmd=3", "NormPos=100,50,630,490"}), true, true,
                  Requests{"SetPlacement", "SetWindowState Maximized", "Repaint"}},
        StateCase{"OtherResolutionStillAppliesTheState",
                  MainSection({"ShowCmd=3", "PixelsPerInch=144", "NormPos=100,50,630,490"}), true,
                  true, Requests{"SetWindowState Maximized", "Repaint"}},
        StateCase{"StateAloneIgnoresThePosition",
                  MainSection({"ShowCmd=3", "NormPos=100,50,630,490"}), true, false,
                  Requests{"SetWindowState Maximized", "Repaint"}},
        StateCase{"PositionAloneIgnoresTheState",
                  MainSection({"ShowCmd=2", "NormPos=100,50,630,490"}), false, true,
                  Requests{"SetPlacement", "Repaint"}},
        StateCase{"NeitherDoesNothingAtAll", MainSection({"ShowCmd=3", "NormPos=100,50,630,490"}),
                  false, false, Requests{}}));

// ---------------------------------------------------------------------------------
// Keeping the whole window on a screen. The fake's frame is 530 x 440, 29 above the
// client area; the areas are work areas, a panel taken off the bottom.

struct OnScreenCase {
    const char* rule;
    std::vector<WindowRect> areas;
    WindowRect before;
    int titleBar;                     // 0: not framed yet
    std::optional<WindowRect> after;  // none: left where it is
};

void PrintTo(const OnScreenCase& c, std::ostream* out) {
    *out << c.rule;
}

class KeepingOnScreen : public ::testing::TestWithParam<OnScreenCase> {};

TEST_P(KeepingOnScreen, MovesTheWindowAsTheRuleNames) {
    const OnScreenCase& c = GetParam();
    FakeWindowHost window;
    window.areas = c.areas;
    window.placement.normal = c.before;
    window.titleBar = c.titleBar;
    KeepOnScreen(window);
    if (!c.after) {
        EXPECT_TRUE(window.applied.empty());
        return;
    }
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].normal, *c.after);
    EXPECT_EQ(window.applied[0].showCmd, 0) << "a hidden window stays hidden";
}

const std::vector<WindowRect> kLaptop{{0, 0, 1366, 728}};
const std::vector<WindowRect> kTwoScreens{{0, 0, 1280, 984}, {1280, 0, 2560, 1024}};

INSTANTIATE_TEST_SUITE_P(
    Cases, KeepingOnScreen,
    ::testing::Values(
        OnScreenCase{"a_window_wholly_on_the_screen_stays", kLaptop, kDesigned, 29, std::nullopt},
        OnScreenCase{
            "one_touching_the_edges_stays", kLaptop, {836, 288, 1366, 728}, 29, std::nullopt},
        // 700 + 440 = 1140 > 728: up to 728 - 440 = 288.
        OnScreenCase{"hanging_below_moves_up_just_enough",
                     kLaptop,
                     {334, 700, 864, 1140},
                     29,
                     WindowRect{334, 288, 864, 728}},
        // 1000 + 530 = 1530 > 1366: left to 1366 - 530 = 836.
        OnScreenCase{"hanging_right_moves_left",
                     kLaptop,
                     {1000, 132, 1530, 572},
                     29,
                     WindowRect{836, 132, 1366, 572}},
        OnScreenCase{"a_title_bar_above_the_top_comes_down",
                     kLaptop,
                     {100, -5, 630, 435},
                     29,
                     WindowRect{100, 0, 630, 440}},
        OnScreenCase{"hanging_left_and_below_moves_both_ways",
                     kLaptop,
                     {-50, 500, 480, 940},
                     29,
                     WindowRect{0, 288, 530, 728}},
        // Scale 2 on 1024 x 768: 512 x 384 device-independent pixels, less than 530 x 440.
        OnScreenCase{"larger_than_the_area_goes_to_its_corner",
                     {{0, 0, 512, 384}},
                     {334, 132, 864, 572},
                     29,
                     WindowRect{0, 0, 530, 440}},
        OnScreenCase{"too_high_only_goes_to_the_corner_too",
                     {{10, 20, 1366, 400}},
                     {334, 132, 864, 572},
                     29,
                     WindowRect{10, 20, 540, 460}},
        // Mostly on the second screen, hanging below its bottom edge 1024.
        OnScreenCase{"the_screen_it_mostly_lies_on_takes_it",
                     kTwoScreens,
                     {1200, 700, 1730, 1140},
                     29,
                     WindowRect{1280, 584, 1810, 1024}},
        OnScreenCase{"on_no_screen_it_comes_onto_the_primary",
                     kTwoScreens,
                     {5000, 5000, 5530, 5440},
                     29,
                     WindowRect{750, 544, 1280, 984}},
        // Not framed yet: the rectangle is the client area, 524 x 408, 330 + 408 = 738.
        OnScreenCase{"an_unframed_window_keeps_its_client_area_on",
                     kLaptop,
                     {334, 330, 858, 738},
                     0,
                     WindowRect{334, 320, 858, 728}},
        OnScreenCase{
            "unknown_screens_leave_it_alone", {}, {5000, 5000, 5530, 5440}, 29, std::nullopt}));

// ---------------------------------------------------------------------------------
// The maximized-position step.

TEST(MaximizedPosition, IsMinusTheBorderMetricOfTheBorderStyle) {
    const struct {
        BorderStyle border;
        int x;
        int y;
    } cases[] = {
        {BorderStyle::Single, -1, -2},   {BorderStyle::ToolWindow, -1, -2},
        {BorderStyle::Sizeable, -4, -5}, {BorderStyle::SizeToolWindow, -4, -5},
        {BorderStyle::Dialog, -3, -6},   {BorderStyle::None, 0, 0},
    };
    for (const auto& c : cases) {
        FakeWindowHost window;
        window.thinBorder = {1, 2};
        window.sizingFrame = {4, 5};
        window.dialogFrame = {3, 6};
        window.border = c.border;
        SetMaximizedPosition(window);
        ASSERT_EQ(window.applied.size(), 1u);
        EXPECT_EQ(window.applied[0].maxX, c.x) << static_cast<int>(c.border);
        EXPECT_EQ(window.applied[0].maxY, c.y) << static_cast<int>(c.border);
    }
}

TEST(MaximizedPosition, KeepsTheRestOfTheRecordAndLeavesAHiddenWindowHidden) {
    FakeWindowHost window;
    window.placement.flags = 2;
    window.placement.minX = 7;
    SetMaximizedPosition(window);
    ASSERT_EQ(window.applied.size(), 1u);
    EXPECT_EQ(window.applied[0].showCmd, 0);
    EXPECT_EQ(window.applied[0].flags, 2);
    EXPECT_EQ(window.applied[0].minX, 7);
    EXPECT_EQ(window.applied[0].normal, kDesigned);
    EXPECT_FALSE(window.visible);
}

TEST(MaximizedPosition, IsWhatTheNextCloseWritesAsMaximizedPosition) {
    FakeWindowHost window;
    window.thinBorder = {2, 3};
    SetMaximizedPosition(window);
    TempDir dir;
    IniFile file(dir.File(kName));
    WriteWindowKeys(window, file, "Main");
    file.Flush();
    EXPECT_NE(dir.Read(kName).find("\r\nMinMaxPos=-1,-1,-2,-3\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quilvern
