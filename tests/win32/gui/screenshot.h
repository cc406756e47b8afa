#pragma once
// What the screen shows of a window: its pixels, and a PNG of them for the README's picture. The
// PNG keeps its image data in stored (uncompressed) deflate blocks, so no library is needed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tervalux::win32::testing {

// What the screen shows of a window, as rows of RGB bytes from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

inline Pixels CaptureWindow(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    Pixels pixels;
    pixels.width = rect.right - rect.left;
    pixels.height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (bits != nullptr && BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, rect.left, rect.top, SRCCOPY)) {
        GdiFlush();
        const auto* bgrx = static_cast<const std::uint8_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height);
        pixels.rgb.resize(count * 3);
        for (std::size_t i = 0; i < count; ++i) {
            pixels.rgb[i * 3] = bgrx[i * 4 + 2];
            pixels.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
            pixels.rgb[i * 3 + 2] = bgrx[i * 4];
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A PNG with the image data in stored (uncompressed) deflate blocks: no library needed.
inline std::string EncodePng(const Pixels& pixels) {
    auto crc32 = [](const std::string& bytes) {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (unsigned char byte : bytes) {
            crc ^= byte;
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    auto be32 = [](std::uint32_t value) {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i)
            out[static_cast<std::size_t>(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
        return out;
    };
    auto chunk = [&](const char* type, const std::string& data) {
        const std::string body = std::string(type, 4) + data;
        return be32(static_cast<std::uint32_t>(data.size())) + body + be32(crc32(body));
    };
    std::string raw;
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.width) * 3;
    for (int y = 0; y < pixels.height; ++y) {
        raw.push_back('\0');  // no filter
        raw.append(reinterpret_cast<const char*>(pixels.rgb.data()) + rowBytes * static_cast<std::size_t>(y), rowBytes);
    }
    std::string zlib = "\x78\x01";
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + length >= raw.size();
        zlib.push_back(last ? '\x01' : '\x00');
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib.append(raw, at, length);
        if (last) break;
    }
    zlib += be32((b << 16) | a);
    std::string header =
        be32(static_cast<std::uint32_t>(pixels.width)) + be32(static_cast<std::uint32_t>(pixels.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
}

inline bool SaveScreenshot(HWND hwnd, const std::wstring& path) {
    const Pixels pixels = CaptureWindow(hwnd);
    if (pixels.rgb.empty()) return false;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) return false;
    const std::string png = EncodePng(pixels);
    const bool ok = fwrite(png.data(), 1, png.size(), out) == png.size();
    fclose(out);
    return ok;
}

}  // namespace tervalux::win32::testing
