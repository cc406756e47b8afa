#pragma once
// What the folder and file lists are made of: list boxes with strings, so that whoever reads them
// the standard way (LB_GETTEXT from a screen reader, the list box's accessible object, a script in
// another process) finds every entry's text, filled in one go and painted once.
// clang-format off
#include <windows.h>
// clang-format on

#include <cstddef>
#include <string>

#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

// The entry height an owner-drawn list box needs for the font it has.
int ItemHeightFor(HWND hwnd);

// What our list boxes share: each is a list box with strings, with keys and messages of its own
// (Win32View::OnOwnMessage).
class StringList : public Win32View {
   protected:
    void CreateList(const ViewPlace& place, DWORD drawStyle) {
        CreateChild(L"LISTBOX", L"", LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | drawStyle,
                    WS_EX_CLIENTEDGE, place);
    }

    // Replaces every entry with `count` texts, `textAt(i)` each, with one repaint for them all.
    // The entries go straight to the list box's own procedure: our procedure on the way (the
    // form's listener, the view's own messages) costs a little on every message, which for a
    // folder of 50,000 components adds up, and has nothing to do with these messages.
    template <typename TextAt>
    void FillStrings(std::size_t count, TextAt textAt) {
        SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
        CallBase(LB_RESETCONTENT, 0, 0);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < count; ++i) bytes += (textAt(i).size() + 1) * sizeof(wchar_t);
        CallBase(LB_INITSTORAGE, count, static_cast<LPARAM>(bytes));
        std::wstring text;  // the list box wants each text ended by a zero
        for (std::size_t i = 0; i < count; ++i) {
            text.assign(textAt(i));
            if (CallBase(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0) break;  // out of memory
        }
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    }

    int Selected() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
};

// A string list that draws its entries itself, for what it shows besides the text (the folder
// tree's indent and icons). Its parent reflects WM_DRAWITEM for it to OnDrawItem, as the form window does.
class OwnerDrawnList : public StringList {
   public:
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override {
        try {
            Draw(item);
        } catch (...) {
            // A paint that cannot be done is skipped; the next one tries again.
        }
        return true;
    }

   protected:
    void Create(const ViewPlace& place) {
        CreateList(place, LBS_OWNERDRAWFIXED);
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, EntryHeight());
    }

    virtual void Draw(const DRAWITEMSTRUCT& item) = 0;

    // How tall each entry is: as the font the form gives the list, unless what it draws beside
    // the text needs more.
    virtual int EntryHeight() { return ItemHeightFor(hwnd_); }

    // The entries follow the font the form gives the list. A view below that handles messages
    // of its own asks this first.
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != WM_SETFONT) return false;
        result = CallBase(message, wParam, lParam);
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, EntryHeight());
        return true;
    }
};

}  // namespace tervalux::rt::win32
