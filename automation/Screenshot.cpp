#include "automation/Screenshot.h"

#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "foundation/Handle.h"

#include <vector>
#include <wincodec.h>

namespace {

struct MemoryDcTraits {
    using Type = HDC;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DeleteDC(h); }
};
using MemoryDc = UniqueHandle<MemoryDcTraits>;

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DeleteObject(h); }
};
using GdiObject = UniqueHandle<GdiObjectTraits>;

template <typename T>
struct ComTraits {
    using Type = T*;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type p) noexcept { return p != nullptr; }
    static void Close(Type p) noexcept { p->Release(); }
};
template <typename T>
using ComPtr = UniqueHandle<ComTraits<T>>;

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Screen coordinates in physical pixels, whatever the test program's own DPI
// awareness (bound at run time: Windows 10 1607 and later, Wine).
class PhysicalPixels {
public:
    PhysicalPixels()
    {
        using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
        set_ = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
        if (set_)
            previous_ = set_(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    }
    ~PhysicalPixels()
    {
        if (set_ && previous_)
            set_(previous_);
    }
    PhysicalPixels(const PhysicalPixels&) = delete;
    PhysicalPixels& operator=(const PhysicalPixels&) = delete;

private:
    DPI_AWARENESS_CONTEXT(WINAPI* set_)(DPI_AWARENESS_CONTEXT) = nullptr;
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// 24-bit BGR rows, top-down, each padded to a multiple of 4 bytes.
struct Image {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> pixels;
};

bool CaptureScreen(const RECT& rect, Image* image)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    ScreenDc screen;
    MemoryDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen.Get() || !memory || !bitmap)
        return false;
    const HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    const BOOL copied =
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory.Get(), previous);
    if (!copied)
        return false;
    image->width = static_cast<UINT>(width);
    image->height = static_cast<UINT>(height);
    image->stride = (image->width * 3 + 3) & ~3u;
    const BYTE* first = static_cast<const BYTE*>(bits);
    image->pixels.assign(first, first + static_cast<size_t>(image->stride) * image->height);
    return true;
}

// A capture of a single colour shows nothing; of black only, that nothing
// reached the screen at all.
bool IsOneColour(const Image& image, bool blackOnly)
{
    const BYTE* first = image.pixels.data();
    if (blackOnly && (first[0] | first[1] | first[2]) != 0)
        return false;
    for (UINT y = 0; y < image.height; ++y) {
        const BYTE* row = first + static_cast<size_t>(y) * image.stride;
        for (UINT x = 0; x < image.width * 3; ++x) {
            if (row[x] != first[x % 3])
                return false;
        }
    }
    return true;
}

HRESULT SavePng(const Image& image, const std::wstring& path)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Put()));
    if (SUCCEEDED(hr))
        hr = factory.Get()->CreateStream(stream.Put());
    if (SUCCEEDED(hr))
        hr = stream.Get()->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory.Get()->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put());
    if (SUCCEEDED(hr))
        hr = encoder.Get()->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder.Get()->CreateNewFrame(frame.Put(), nullptr);
    if (SUCCEEDED(hr))
        hr = frame.Get()->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame.Get()->SetSize(image.width, image.height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame.Get()->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr)) {
        hr = frame.Get()->WritePixels(image.height, image.stride, static_cast<UINT>(image.pixels.size()),
                                      const_cast<BYTE*>(image.pixels.data()));
    }
    if (SUCCEEDED(hr))
        hr = frame.Get()->Commit();
    if (SUCCEEDED(hr))
        hr = encoder.Get()->Commit();
    return hr;
}

class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

bool HasPendingPaint(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return true;
    bool pending = false;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE))
                return TRUE;
            *reinterpret_cast<bool*>(param) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&pending));
    return pending;
}

void WaitUntilPainted(HWND window)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    const ULONGLONG deadline = GetTickCount64() + 2000;
    while (HasPendingPaint(window) && GetTickCount64() < deadline)
        PumpMessagesFor(20);
    // Wine copies what a window painted to the screen a moment later.
    PumpMessagesFor(150);
}

testing::AssertionResult Save(const RECT& rect, const std::wstring& path, bool blackOnly)
{
    Image image;
    if (!CaptureScreen(rect, &image))
        return testing::AssertionFailure() << "cannot copy the screen, error " << GetLastError();
    if (IsOneColour(image, blackOnly))
        return testing::AssertionFailure() << "the capture of " << image.width << "x" << image.height
                                           << " pixels is " << (blackOnly ? "black" : "a single colour")
                                           << ": nothing reached the screen";
    ComApartment com;
    const HRESULT hr = SavePng(image, path);
    if (FAILED(hr))
        return testing::AssertionFailure() << "cannot write the PNG file, HRESULT 0x" << std::hex << hr;
    return testing::AssertionSuccess();
}

} // namespace

std::wstring ScreenshotFolder()
{
    const std::wstring screenshots = BuildFolder() + L"screenshots\\";
    const std::wstring folder = screenshots + TestProgramName() + L"\\";
    CreateDirectoryW(screenshots.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

testing::AssertionResult SaveWindowScreenshot(HWND window, const std::wstring& name)
{
    return SaveWindowScreenshotAs(window, ScreenshotFolder() + name + L".png");
}

testing::AssertionResult SaveDesktopScreenshot(const std::wstring& name)
{
    return SaveDesktopScreenshotAs(ScreenshotFolder() + name + L".png");
}

testing::AssertionResult SaveWindowScreenshotAs(HWND window, const std::wstring& path)
{
    if (!IsWindow(window))
        return testing::AssertionFailure() << "no window to capture";
    PhysicalPixels physical;
    WaitUntilPainted(window);
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Save(rect, path, false);
}

testing::AssertionResult SaveDesktopScreenshotAs(const std::wstring& path, HWND paintedFirst)
{
    PhysicalPixels physical;
    if (paintedFirst)
        WaitUntilPainted(paintedFirst);
    const RECT rect = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return Save(rect, path, true);
}
