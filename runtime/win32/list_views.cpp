#include "runtime/win32/list_views.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "runtime/drive_list.h"
#include "runtime/file_list.h"
#include "runtime/folder_list.h"
#include "runtime/win32/shell_icons.h"
#include "runtime/win32/string_list.h"
#include "runtime/win32/window_messages.h"

namespace tervalux::rt::win32 {

namespace {

constexpr int kDropDownHeight = 200;  // pixels of the drive list's drop-down part
constexpr int kIconGap = 3;           // pixels between an entry's icon and its text

// How far each level of the folder tree stands in: three quarters of an icon, 12 pixels at 96 DPI.
int IndentPerLevel(int dpi) {
    return SmallIconSize(dpi) * 3 / 4;
}

// An entry's height: its font's, or its icon's with a pixel above and below when that is taller.
int EntryHeightFor(HWND hwnd, int dpi) {
    return std::max(ItemHeightFor(hwnd), SmallIconSize(dpi) + 2);
}

// One entry as the system's own lists draw theirs: the selection's colours across the whole
// entry, the icon `indent` pixels in, then the text; the focus rectangle around it all. The
// text stands where it would beside an icon even when the system has none to show.
void DrawEntry(const DRAWITEMSTRUCT& item, std::wstring_view text, int indent, ShellIcon icon, int dpi) {
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const int size = SmallIconSize(dpi);
        const int left = box.left + 2 + indent;
        DrawShellIcon(dc, left, box.top + (box.bottom - box.top - size) / 2, icon, dpi);
        SetBkMode(dc, TRANSPARENT);
        const int colour = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                           : selected                      ? COLOR_HIGHLIGHTTEXT
                                                           : COLOR_WINDOWTEXT;
        SetTextColor(dc, GetSysColor(colour));
        RECT textBox = box;
        textBox.left = left + size + kIconGap;
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &textBox,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &box);
}

class DriveListView : public Win32View {
   public:
    DriveListView(DriveList& model, const ViewPlace& place) : model_(model) {
        ViewPlace tall = place;
        tall.pixels.bottom += kDropDownHeight;
        // Drawn here for the drives' icons, with the texts kept in the box for whoever reads them.
        CreateChild(L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 0, tall);
        Fit(place.pixels.bottom - place.pixels.top);
        model_.AttachView(this);
        Refresh();
    }
    ~DriveListView() override { model_.AttachView(nullptr); }

    Control& Model() override { return model_; }

    // The height given is the closed box's; the drop-down part opens below it.
    void Place(const RECT& pixels) override {
        SetWindowPos(hwnd_, nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
                     pixels.bottom - pixels.top + kDropDownHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        Fit(pixels.bottom - pixels.top);
    }

    void Refresh() override {
        std::vector<std::pair<std::wstring, DriveKind>> entries;
        for (std::size_t i = 0; i < model_.ListCount(); ++i) entries.emplace_back(model_.List(i), model_.ListKind(i));
        if (entries != shown_) {
            SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
            for (const auto& entry : entries) {
                SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.first.c_str()));
            }
            shown_ = std::move(entries);
        }
        const auto index = model_.ListIndex();
        SendMessageW(hwnd_, CB_SETCURSEL, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
    }

    void OnCommand(WORD notifyCode) override {
        if (notifyCode == CBN_DROPDOWN) {
            // A drive may have come or gone since the list was read.
            Act([this] { model_.Refresh(); });
        } else if (notifyCode == CBN_SELCHANGE) {
            const auto index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
            if (index >= 0) Act([&] { model_.UserSelect(static_cast<std::size_t>(index)); });
        }
    }

    // The closed box's field and the drop-down's entries alike.
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override {
        try {
            const bool known = item.itemID < shown_.size();
            DRAWITEMSTRUCT entry = item;
            if (!known) entry.itemID = static_cast<UINT>(-1);
            const auto& [text, kind] = known ? shown_[item.itemID] : kNoEntry;
            DrawEntry(entry, text, 0, DriveIcon(kind), dpi_);
        } catch (...) {
            // A paint that cannot be done is skipped; the next one tries again.
        }
        return true;
    }

   private:
    // The entries are as tall as their font or icon; the closed box keeps the height it was given.
    // The entries' height is set here rather than answered when the box asks its parent while it
    // is made, since this view is not attached yet then.
    void Fit(int height) {
        SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, EntryHeightFor(hwnd_, dpi_));
        FitClosedHeight(height);
    }

    // A closed combo box is as tall as its font makes its selection field, not as tall as it was
    // made: the field is set to the height that makes the whole box the stored one. The first
    // try takes the frame the box has around its field on the systems we know; each further one
    // corrects by what the box came out as. The field read back is no guide: Wine hands back a
    // field two pixels shorter than the one it was given, and the frame it reports for the box
    // it made differs from the one it gives a box whose field was set. Every try resizes the box,
    // which the start pays for under Wine.
    void FitClosedHeight(int height) {
        constexpr int kClosedFrame = 6;  // pixels of box around the field: edges and focus margin
        int field = height - kClosedFrame;
        int now = ClosedHeight();
        for (int attempt = 0; attempt < 3 && field > 0 && now != height; ++attempt) {
            SendMessageW(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
            now = ClosedHeight();
            field += height - now;
        }
    }

    int ClosedHeight() const {
        RECT now{};
        GetWindowRect(hwnd_, &now);
        return static_cast<int>(now.bottom - now.top);
    }

    inline static const std::pair<std::wstring, DriveKind> kNoEntry{};
    DriveList& model_;
    std::vector<std::pair<std::wstring, DriveKind>> shown_;  // text and kind of each entry
};

class FolderListView : public OwnerDrawnList {
   public:
    FolderListView(FolderList& model, const ViewPlace& place) : model_(model) {
        Create(place);
        model_.AttachView(this);
        Refresh();
    }
    ~FolderListView() override { model_.AttachView(nullptr); }

    Control& Model() override { return model_; }

    void Refresh() override {
        const auto& items = model_.Items();
        const bool same =
            items.size() == shown_.size() &&
            std::equal(items.begin(), items.end(), shown_.begin(), [](const auto& item, const auto& shown) {
                return item.name == shown.first && item.level == shown.second;
            });
        if (!same) {
            FillStrings(items.size(), [&](std::size_t i) { return std::wstring_view(items[i].name); });
            shown_.clear();
            for (const FolderList::Item& item : items) shown_.emplace_back(item.name, item.level);
        }
        SendMessageW(hwnd_, LB_SETCURSEL, items.empty() ? static_cast<WPARAM>(-1) : model_.CurrentIndex(), 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void OnCommand(WORD notifyCode) override {
        const int index = Selected();
        if (index < 0) return;
        if (notifyCode == LBN_DBLCLK) Open(index);
        if (notifyCode == LBN_SELCHANGE) Act([&] { model_.UserSelect(static_cast<std::size_t>(index)); });
    }

   protected:
    void Draw(const DRAWITEMSTRUCT& item) override {
        const auto& items = model_.Items();
        if (item.itemID != static_cast<UINT>(-1) && item.itemID >= items.size()) return;
        if (item.itemID == static_cast<UINT>(-1)) {
            DrawEntry(item, L"", 0, ShellIcon::Folder, dpi_);
            return;
        }
        const FolderList::Item& entry = items[item.itemID];
        DrawEntry(item, entry.name, static_cast<int>(entry.level) * IndentPerLevel(dpi_),
                  entry.open ? ShellIcon::FolderOpen : ShellIcon::Folder, dpi_);
    }

    int EntryHeight() override { return EntryHeightFor(hwnd_, dpi_); }

    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (OwnerDrawnList::OnOwnMessage(message, wParam, lParam, result)) return true;
        // Enter opens the highlighted folder, as a double click does; the dialog keys of the
        // form's loop would otherwise take it.
        if (message == WM_GETDLGCODE) {
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                result = DLGC_WANTALLKEYS;
                return true;
            }
            return false;
        }
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            if (const int index = Selected(); index >= 0) Open(index);
            return true;
        }
        return message == WM_CHAR && wParam == L'\r';
    }

   private:
    void Open(int index) {
        Act([&] { model_.UserOpen(static_cast<std::size_t>(index)); });
    }

    FolderList& model_;
    std::vector<std::pair<std::wstring, std::size_t>> shown_;  // name and level of each entry
};

class FileListView : public StringList {
   public:
    FileListView(FileList& model, const ViewPlace& place) : model_(model) {
        CreateList(place, 0);  // bare names: the list box draws them itself
        model_.AttachView(this);
        Sync();
    }
    ~FileListView() override { model_.AttachView(nullptr); }

    Control& Model() override { return model_; }

    // The model changed: the list box follows once the running handler has returned.
    void Refresh() override {
        if (syncPending_) return;
        syncPending_ = true;
        PostMessageW(hwnd_, kSyncMessage, 0, 0);
    }

    void CatchUp() override {
        if (syncPending_) Sync();
    }

    void OnCommand(WORD notifyCode) override {
        CatchUp();
        if (notifyCode == LBN_SELCHANGE) {
            const int index = Selected();
            if (index >= 0) Act([&] { model_.UserClick(static_cast<std::size_t>(index)); });
        } else if (notifyCode == LBN_DBLCLK) {
            Act([this] { model_.UserDblClick(); });
        }
    }

   protected:
    bool OnOwnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != kSyncMessage) return false;
        try {
            // Already in step when a click or the first showing caught up before this arrived.
            CatchUp();
        } catch (...) {
            // Out of memory while reading the folder: the list shows what it had.
        }
        result = 0;
        return true;
    }

   private:
    // The whole folder in one fill, painted once.
    void Sync() {
        syncPending_ = false;
        const std::size_t count = model_.ListCount();
        if (model_.Generation() != shownGeneration_ ||
            static_cast<std::size_t>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)) != count) {
            FillStrings(count, [this](std::size_t i) { return model_.List(i); });
            shownGeneration_ = model_.Generation();
        }
        const auto index = model_.ListIndex();
        SendMessageW(hwnd_, LB_SETCURSEL, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    FileList& model_;
    bool syncPending_ = false;
    std::uint64_t shownGeneration_ = static_cast<std::uint64_t>(-1);
};

}  // namespace

std::unique_ptr<Win32View> MakeListView(Control& model, const ViewPlace& place) {
    switch (model.GetKind()) {
        case Kind::DriveList: return std::make_unique<DriveListView>(static_cast<DriveList&>(model), place);
        case Kind::FolderList: return std::make_unique<FolderListView>(static_cast<FolderList&>(model), place);
        case Kind::FileList: return std::make_unique<FileListView>(static_cast<FileList&>(model), place);
        default: return nullptr;
    }
}

std::unique_ptr<Win32View> MakeListView(Control& model, HWND parent, const RECT& pixels, int controlId, HFONT font) {
    ViewPlace place;
    place.parent = parent;
    place.pixels = pixels;
    place.id = controlId;
    place.font = font;
    return MakeListView(model, place);
}

}  // namespace tervalux::rt::win32
