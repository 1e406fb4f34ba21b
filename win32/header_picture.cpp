#include "win32/header_picture.h"

#include <wincodec.h>

namespace tamsel::win32 {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class Com {
  public:
    Com() = default;
    ~Com() {
        if (p_) {
            p_->Release();
        }
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;

    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** out() { return &p_; }

  private:
    T* p_ = nullptr;
};

HBITMAP CopyToBitmap(IWICBitmapSource* source) {
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height))) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const UINT stride = width * 4;
    if (bitmap &&
        FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

HBITMAP LoadHeaderPicture(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, kHeaderPictureResource, MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return nullptr;
    }
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICBitmapSource> converted;
    const bool decoded =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(factory.out()))) &&
        SUCCEEDED(factory->CreateStream(stream.out())) &&
        SUCCEEDED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                               SizeofResource(instance, found))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                   WICDecodeMetadataCacheOnLoad, decoder.out())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.out())) &&
        SUCCEEDED(
            WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.out()));
    return decoded ? CopyToBitmap(converted.get()) : nullptr;
}

}  // namespace tamsel::win32
