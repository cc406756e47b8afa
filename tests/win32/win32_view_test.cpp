// A view's window procedure in front of its child's own: every message reaches the listener and
// the view, the child still does its own work, and the child gets its own procedure back however
// the view or the child goes first.
#include "runtime/win32/win32_view.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "runtime/text_box.h"

namespace tervalux::rt::win32 {
namespace {

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Parent {
   public:
    Parent() {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = &ParentProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TervaluxViewTestParent";
            return RegisterClassExW(&wc);
        }();
        hwnd_ = CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~Parent() { DestroyWindow(hwnd_); }
    Parent(const Parent&) = delete;
    Parent& operator=(const Parent&) = delete;
    HWND Handle() const { return hwnd_; }

   private:
    HWND hwnd_ = nullptr;
};

struct Counts {
    int heard = 0;  // by the listener
    int own = 0;    // by the view
};

class CountingListener : public Win32View::Listener {
   public:
    explicit CountingListener(Counts& counts) : counts_(counts) {}
    void OnChildMessage(Win32View&, UINT message, WPARAM, LPARAM) noexcept override {
        if (message == WM_SETTEXT) ++counts_.heard;
    }

   private:
    Counts& counts_;
};

// A view of any class of child: counts what it is sent, and throws for WM_SETTEXT when told to.
class TestView : public Win32View {
   public:
    TestView(const wchar_t* className, HWND parent, Counts& counts, bool throwing = false)
        : model_(L"Test", TwipsRect{}, 0), counts_(counts), throwing_(throwing) {
        ViewPlace place;
        place.parent = parent;
        place.pixels = RECT{10, 10, 200, 40};
        place.id = 100;
        CreateChild(className, L"", 0, 0, place);
    }
    Control& Model() override { return model_; }
    void Refresh() override {}

   protected:
    bool OnOwnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message != WM_SETTEXT) return false;
        ++counts_.own;
        if (throwing_) throw std::runtime_error("view fault");
        return false;
    }

   private:
    TextBox model_;
    Counts& counts_;
    bool throwing_;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

// The procedure a child of that class has when no view stands in front of it.
LONG_PTR OwnProcedureOf(const wchar_t* className, HWND parent) {
    HWND plain = CreateWindowExW(0, className, L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    const LONG_PTR proc = GetWindowLongPtrW(plain, GWLP_WNDPROC);
    DestroyWindow(plain);
    return proc;
}

constexpr const wchar_t* kClasses[] = {L"BUTTON", L"EDIT", L"LISTBOX", L"COMBOBOX"};

TEST(Win32View, EveryMessagePassesListenerViewAndChild) {
    Parent parent;
    for (const wchar_t* className : kClasses) {
        SCOPED_TRACE(className);
        Counts counts;
        CountingListener listener(counts);
        TestView view(className, parent.Handle(), counts);
        view.Listen(&listener);
        SetWindowTextW(view.Handle(), L"abc");
        EXPECT_EQ(counts.heard, 1);
        EXPECT_EQ(counts.own, 1);
        if (std::wstring(className) != L"COMBOBOX") {
            EXPECT_EQ(TextOf(view.Handle()), L"abc");  // the child's own work
        }
    }
}

TEST(Win32View, ViewFaultLeavesTheMessageToTheChild) {
    Parent parent;
    Counts counts;
    TestView view(L"EDIT", parent.Handle(), counts, true);
    SetWindowTextW(view.Handle(), L"still set");
    EXPECT_EQ(counts.own, 1);
    EXPECT_EQ(TextOf(view.Handle()), L"still set");
}

TEST(Win32View, ChildGetsItsOwnProcedureBackWhenTheViewGoes) {
    Parent parent;
    for (const wchar_t* className : kClasses) {
        SCOPED_TRACE(className);
        const LONG_PTR own = OwnProcedureOf(className, parent.Handle());
        Counts counts;
        auto view = std::make_unique<TestView>(className, parent.Handle(), counts);
        const HWND child = view->Handle();
        EXPECT_NE(GetWindowLongPtrW(child, GWLP_WNDPROC), own);
        view.reset();
        ASSERT_TRUE(IsWindow(child));
        EXPECT_EQ(GetWindowLongPtrW(child, GWLP_WNDPROC), own);
        EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), 0);
        SetWindowTextW(child, L"x");  // no view is asked any more
        EXPECT_EQ(counts.own, 0);
        DestroyWindow(child);
    }
}

TEST(Win32View, ChildDestroyedFirstLeavesNothingForTheView) {
    Parent parent;
    Counts counts;
    auto view = std::make_unique<TestView>(L"LISTBOX", parent.Handle(), counts);
    DestroyWindow(view->Handle());
    EXPECT_FALSE(IsWindow(view->Handle()));
    view.reset();  // must not touch the gone child
}

LRESULT CALLBACK Outer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST(Win32View, ChildSubclassedOverTheViewGoesWithTheView) {
    // Whoever put a procedure in front of ours would go on calling ours: the child cannot be left
    // behind with a procedure whose view is gone.
    Parent parent;
    Counts counts;
    auto view = std::make_unique<TestView>(L"LISTBOX", parent.Handle(), counts);
    const HWND child = view->Handle();
    ASSERT_TRUE(SetWindowSubclass(child, &Outer, 1, 0));
    view.reset();
    EXPECT_FALSE(IsWindow(child));
}

}  // namespace
}  // namespace tervalux::rt::win32
