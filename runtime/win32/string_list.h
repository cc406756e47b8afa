#pragma once
// What the folder and file lists are made of: list boxes with strings, so that whoever reads them
// the standard way (LB_GETTEXT from a screen reader, the list box's accessible object, a script in
// another process) finds every entry's text, filled in one go and painted once.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstddef>
#include <string>

#include "runtime/win32/control_views.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

// A list child of the form at its place, with the form's font; throws 7 when it cannot be made.
HWND CreateListChild(const wchar_t* className, DWORD style, DWORD exStyle, const ViewPlace& place);

// The entry height an owner-drawn list box needs for the font it has.
int ItemHeightFor(HWND hwnd);

// What our list boxes share: each is a list box with strings, so that whoever reads it the
// standard way (LB_GETTEXT from a screen reader, the list box's accessible object, a script in
// another process) finds every entry's text; the child is subclassed for its keys and messages.
class StringList : public Win32View {
   public:
    ~StringList() override {
        if (hwnd_ != nullptr) RemoveWindowSubclass(hwnd_, &StringList::ChildProc, SubclassId());
    }

   protected:
    void CreateList(const ViewPlace& place, DWORD drawStyle) {
        hwnd_ = CreateListChild(L"LISTBOX", LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | drawStyle,
                                WS_EX_CLIENTEDGE, place);
        listProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
        SetWindowSubclass(hwnd_, &StringList::ChildProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this));
    }

    // Replaces every entry with `count` texts, `textAt(i)` each, with one repaint for them all.
    // The entries go straight to the list box's own procedure: every subclass on the way (ours,
    // the form's) costs a few microseconds a message, which for a folder of 50,000 components is
    // most of a second, and none of them has anything to do with these messages.
    template <typename TextAt>
    void FillStrings(std::size_t count, TextAt textAt) {
        SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
        ToList(LB_RESETCONTENT, 0, 0);
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < count; ++i) bytes += (textAt(i).size() + 1) * sizeof(wchar_t);
        ToList(LB_INITSTORAGE, count, static_cast<LPARAM>(bytes));
        std::wstring text;  // the list box wants each text ended by a zero
        for (std::size_t i = 0; i < count; ++i) {
            text.assign(textAt(i));
            if (ToList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0) break;  // out of memory
        }
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    }

    // A message to the list box itself; true when handled, with the result in `result`.
    virtual bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        (void)message;
        (void)wParam;
        (void)lParam;
        (void)result;
        return false;
    }

    int Selected() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
    UINT_PTR SubclassId() const { return reinterpret_cast<UINT_PTR>(this); }

   private:
    LRESULT ToList(UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(listProc_, hwnd_, message, wParam, lParam);
    }

    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<StringList*>(data);
        LRESULT result = 0;
        try {
            if (self->OnOwnMessage(message, wParam, lParam, result)) return result;
        } catch (...) {
            // Nothing leaves a window procedure; the list box handles the message as it would.
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    WNDPROC listProc_ = nullptr;  // the list box's own, before any subclass
};

// A string list that draws its entries itself, for what it shows besides the text (the folder
// tree's indent). The parent's WM_DRAWITEM for this child comes here (the parent is subclassed).
class OwnerDrawnList : public StringList {
   public:
    ~OwnerDrawnList() override {
        if (parent_ != nullptr) RemoveWindowSubclass(parent_, &OwnerDrawnList::ParentProc, SubclassId());
        if (hwnd_ != nullptr) RemoveWindowSubclass(hwnd_, &OwnerDrawnList::FontProc, SubclassId());
    }

   protected:
    void Create(const ViewPlace& place) {
        CreateList(place, LBS_OWNERDRAWFIXED);
        parent_ = place.parent;
        id_ = place.id;
        SetWindowSubclass(parent_, &OwnerDrawnList::ParentProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(hwnd_, &OwnerDrawnList::FontProc, SubclassId(), 0);
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, ItemHeightFor(hwnd_));
    }

    virtual void Draw(const DRAWITEMSTRUCT& item) = 0;

   private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
        auto* self = reinterpret_cast<OwnerDrawnList*>(data);
        if (message == WM_DRAWITEM && static_cast<int>(wParam) == self->id_) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->hwndItem == self->hwnd_) {
                try {
                    self->Draw(*item);
                } catch (...) {
                    // A paint that cannot be done is skipped; the next one tries again.
                }
                return TRUE;
            }
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    // The entries are as tall as the font the form gives the list.
    static LRESULT CALLBACK FontProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
        if (message != WM_SETFONT) return DefSubclassProc(hwnd, message, wParam, lParam);
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        SendMessageW(hwnd, LB_SETITEMHEIGHT, 0, ItemHeightFor(hwnd));
        return result;
    }

    HWND parent_ = nullptr;
    int id_ = 0;
};

}  // namespace tervalux::rt::win32
