#include "runtime/win32/shell_icons.h"

#include <shellapi.h>

#include <array>
#include <cstddef>
#include <cwchar>

#include "platform/win32/system_function.h"
#include "platform/win32/system_library.h"
#include "runtime/win32/window_frame.h"

namespace tervalux::rt::win32 {

namespace {

constexpr std::size_t kIconCount = 8;

// Where each icon comes from, in ShellIcon order: its stock icon, and the same picture among the
// shell library's own icons (by resource number, the numbers it has kept since its first
// versions), which stands in where the stock call is missing or cannot tell the icons apart. A
// drive of no known kind shows as a fixed one there, as the shell itself shows it.
struct Source {
    SHSTOCKICONID stock;
    int resource;
};
constexpr std::array<Source, kIconCount> kSources = {{
    {SIID_FOLDER, 4},
    {SIID_FOLDEROPEN, 5},
    {SIID_DRIVEFIXED, 9},
    {SIID_DRIVEREMOVE, 8},
    {SIID_DRIVECD, 12},
    {SIID_DRIVENET, 10},
    {SIID_DRIVERAM, 13},
    {SIID_DRIVEUNKNOWN, 9},
}};

using GetStockIconInfo = HRESULT(WINAPI*)(SHSTOCKICONID, UINT, SHSTOCKICONINFO*);
using DefExtractIcon = HRESULT(WINAPI*)(LPCWSTR, int, UINT, HICON*, HICON*, UINT);

// The icons at one size, each loaded when first asked for.
class IconSet {
   public:
    IconSet() = default;
    ~IconSet() { Clear(); }
    IconSet(const IconSet&) = delete;
    IconSet& operator=(const IconSet&) = delete;

    // The icon at `size`, loading the set afresh when it is of another size.
    HICON At(std::size_t index, int size) {
        if (index >= kIconCount) return nullptr;
        if (size != size_) Resize(size);
        if (!loaded_[index]) Load(index);
        return icons_[index];
    }

   private:
    void Resize(int size) {
        Clear();
        size_ = size;
    }

    void Clear() {
        for (std::size_t i = 0; i < kIconCount; ++i) {
            if (icons_[i] != nullptr) DestroyIcon(icons_[i]);
            icons_[i] = nullptr;
            loaded_[i] = false;
        }
        size_ = 0;
    }

    void Load(std::size_t index) noexcept {
        loaded_[index] = true;
        // Kept loaded for the life of the process: the program does not import the shell's
        // library, so that it starts without paying for it.
        static const HMODULE shell = tervalux::win32::LoadSystemLibrary(L"shell32.dll");
        if (shell == nullptr || size_ <= 0) return;
        HICON icon = nullptr;
        if (const Stock& stock = StockLocations(shell); stock.usable) {
            const SHSTOCKICONINFO& info = stock.info[index];
            if (stock.extract(info.szPath, info.iIcon, 0, &icon, nullptr, static_cast<UINT>(size_)) != S_OK) {
                icon = nullptr;
            }
        }
        if (icon == nullptr) {
            icon = static_cast<HICON>(
                LoadImageW(shell, MAKEINTRESOURCEW(kSources[index].resource), IMAGE_ICON, size_, size_, 0));
        }
        icons_[index] = icon;
    }

    // Where the stock icons are, asked once; not usable when the system does not say or says the
    // same place for different icons (as Wine does: one document icon for every one of them).
    struct Stock {
        std::array<SHSTOCKICONINFO, kIconCount> info{};
        DefExtractIcon extract = nullptr;
        bool usable = false;
    };
    static const Stock& StockLocations(HMODULE shell) {
        static const Stock stock = [shell] {
            Stock found;
            const auto stockInfo = tervalux::win32::LibraryFunction<GetStockIconInfo>(shell, "SHGetStockIconInfo");
            found.extract = tervalux::win32::LibraryFunction<DefExtractIcon>(shell, "SHDefExtractIconW");
            found.usable = stockInfo != nullptr && found.extract != nullptr && ReadStock(stockInfo, found.info);
            return found;
        }();
        return stock;
    }

    static bool ReadStock(GetStockIconInfo stockInfo, std::array<SHSTOCKICONINFO, kIconCount>& stock) {
        for (std::size_t i = 0; i < kIconCount; ++i) {
            stock[i].cbSize = sizeof(SHSTOCKICONINFO);
            if (FAILED(stockInfo(kSources[i].stock, SHGSI_ICONLOCATION, &stock[i])) || stock[i].szPath[0] == 0) {
                return false;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (kSources[j].resource != kSources[i].resource && stock[j].iIcon == stock[i].iIcon &&
                    _wcsicmp(stock[j].szPath, stock[i].szPath) == 0) {
                    return false;
                }
            }
        }
        return true;
    }

    std::array<HICON, kIconCount> icons_{};
    std::array<bool, kIconCount> loaded_{};  // asked for at this size, found or not
    int size_ = 0;                           // of the icons held; 0 before any are asked for
};

IconSet& Icons() {
    static IconSet icons;
    return icons;
}

}  // namespace

ShellIcon DriveIcon(DriveKind kind) {
    switch (kind) {
        case DriveKind::Fixed: return ShellIcon::DriveFixed;
        case DriveKind::Removable: return ShellIcon::DriveRemovable;
        case DriveKind::CdRom: return ShellIcon::DriveCd;
        case DriveKind::Network: return ShellIcon::DriveNetwork;
        case DriveKind::RamDisk: return ShellIcon::DriveRam;
        case DriveKind::Unknown: break;
    }
    return ShellIcon::DriveUnknown;
}

int SmallIconSize(int dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = tervalux::win32::SystemFunction<ForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    // Without a DPI of its own per window, the system's small icons scale with the screen's.
    return MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, ScreenDpi(LOGPIXELSX));
}

void DrawShellIcon(HDC dc, int x, int y, ShellIcon which, int dpi) {
    const int size = SmallIconSize(dpi);
    HICON icon = Icons().At(static_cast<std::size_t>(which), size);
    if (icon != nullptr) DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
}

}  // namespace tervalux::rt::win32
