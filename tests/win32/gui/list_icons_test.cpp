// The system's icons in the real window's folder and drive lists, read from the screen: in front
// of each entry's text stands a cell the icon fills, drawn in several colours over the entry's
// background, and the text follows it; the entries' texts still read the standard way.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "tests/win32/gui/app_driver.h"
#include "tests/win32/gui/list_reader.h"
#include "tests/win32/gui/screenshot.h"

namespace {

using namespace tervalux::win32::testing;

// A rectangle of a capture of the form's window, in a child's client coordinates.
struct Cell {
    int left, top, right, bottom;
};

class Screen {
   public:
    explicit Screen(HWND form) : pixels_(CaptureWindow(form)) { GetWindowRect(form, &window_); }

    // Every pixel's colour in `cell` of `child`, counted.
    std::map<std::uint32_t, int> Colours(HWND child, const Cell& cell) const {
        POINT origin{0, 0};
        ClientToScreen(child, &origin);
        std::map<std::uint32_t, int> colours;
        for (int y = cell.top; y < cell.bottom; ++y) {
            for (int x = cell.left; x < cell.right; ++x) {
                const int px = origin.x + x - window_.left;
                const int py = origin.y + y - window_.top;
                if (px < 0 || py < 0 || px >= pixels_.width || py >= pixels_.height) continue;
                const std::size_t at = (static_cast<std::size_t>(py) * pixels_.width + px) * 3;
                ++colours[(pixels_.rgb[at] << 16) | (pixels_.rgb[at + 1] << 8) | pixels_.rgb[at + 2]];
            }
        }
        return colours;
    }

   private:
    Pixels pixels_;
    RECT window_{};
};

// What an entry shows: its background (the colour most of the entry has), and in its icon cell
// and in the text's place how many pixels are not the background and in how many colours.
struct Drawn {
    int iconPixels = 0;
    int iconColours = 0;
    int textPixels = 0;
};

Drawn DrawnIn(const Screen& screen, HWND child, const Cell& entry, const Cell& icon, const Cell& text) {
    std::uint32_t background = 0;
    int most = 0;
    for (const auto& [colour, count] : screen.Colours(child, entry)) {
        if (count > most) std::tie(background, most) = std::tie(colour, count);
    }
    Drawn drawn;
    std::set<std::uint32_t> iconColours;
    for (const auto& [colour, count] : screen.Colours(child, icon)) {
        if (colour == background) continue;
        drawn.iconPixels += count;
        iconColours.insert(colour);
    }
    drawn.iconColours = static_cast<int>(iconColours.size());
    for (const auto& [colour, count] : screen.Colours(child, text)) {
        if (colour != background) drawn.textPixels += count;
    }
    return drawn;
}

void ExpectAnIconThenText(const Drawn& drawn, int iconSize) {
    // Not an empty cell, nor one line of text: an icon covers a good part of its cell and is
    // shaded in several colours.
    EXPECT_GE(drawn.iconPixels, iconSize * iconSize / 4);
    EXPECT_GE(drawn.iconColours, 3);
    EXPECT_GT(drawn.textPixels, 0) << "no text after the icon";
}

TEST(GuiIcons, FolderAndDriveEntriesShowTheSystemsIconBeforeTheirText) {
    Running app;
    const HWND form = app.Form();
    ASSERT_NE(form, nullptr) << "no window \"Tervalux\"";
    ASSERT_EQ(app.Children().size(), layout::kControlCount);
    const HWND drive = app.Control("Drive");
    const HWND dir = app.Control("Dir");
    // The window opens on c:\, which has subfolders; the focus is on the drive list.
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(drive); }, std::chrono::seconds(10)));
    ASSERT_GE(Ask(dir, LB_GETCOUNT), 2);
    EXPECT_EQ(ListBoxTexts(dir).at(0), L"c:\\");
    const LRESULT selected = Ask(drive, CB_GETCURSEL);
    ASSERT_GE(selected, 0);
    const std::wstring driveText = ComboTexts(drive).at(static_cast<std::size_t>(selected));
    EXPECT_EQ(driveText.substr(0, 2), L"c:");
    EXPECT_EQ(TextOf(drive), driveText);

    // The icon is the system's small one; every entry is at least as tall as it.
    const int icon = GetSystemMetrics(SM_CXSMICON);
    const auto entry = static_cast<int>(Ask(dir, LB_GETITEMHEIGHT, 0));
    EXPECT_GE(entry, icon);
    EXPECT_GE(static_cast<int>(Ask(drive, CB_GETITEMHEIGHT, 0)), icon);
    RECT client{};
    GetClientRect(dir, &client);
    const Screen screen(form);

    {
        SCOPED_TRACE("the path's root, with the open folder");
        const Cell row{0, 0, client.right, entry};
        const Cell iconCell{2, 1, 2 + icon, entry - 1};
        const Cell textCell{2 + icon + 1, 1, 2 + icon * 4, entry - 1};
        ExpectAnIconThenText(DrawnIn(screen, dir, row, iconCell, textCell), icon);
    }
    {
        // One level in: the icon stands somewhat further right, its text after it.
        SCOPED_TRACE("a subfolder, with the closed folder");
        const Cell row{0, entry, client.right, 2 * entry};
        const Cell iconCell{2, entry + 1, 2 + icon + icon / 2, 2 * entry - 1};
        const Cell textCell{2 + icon * 2 + 1, entry + 1, 2 + icon * 5, 2 * entry - 1};
        ExpectAnIconThenText(DrawnIn(screen, dir, row, iconCell, textCell), icon);
    }
    {
        // The closed box's field, inside the box's three-pixel edge, its button on the right.
        SCOPED_TRACE("the selected drive in the closed box");
        GetClientRect(drive, &client);
        const int button = GetSystemMetrics(SM_CXVSCROLL);
        const Cell row{3, 4, client.right - button - 3, client.bottom - 4};
        const Cell iconCell{4, 4, 5 + icon, client.bottom - 4};
        const Cell textCell{5 + icon + 3, 4, client.right - button - 3, client.bottom - 4};
        ExpectAnIconThenText(DrawnIn(screen, drive, row, iconCell, textCell), icon);
    }

    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

}  // namespace
