#include "web/win/image_decoder.h"

#include <objbase.h>
#include <wincodec.h>

#include <optional>

#include "web/image_fit.h"
#include "web/picture_header.h"

namespace corvane::web::win {
namespace {

// Releases a COM interface at the end of its scope.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** put() { return &p_; }

 private:
  T* p_ = nullptr;
};

// COM for the length of one decoding, on whatever thread asks.
class ComScope {
 public:
  ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace

corvane::win::UniqueGdiObject DecodePictureToFit(const std::string& bytes, int boxWidth, int boxHeight, int& width,
                                                 int& height) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return {};
  // Decoders allocate what the header claims before they find the data missing: check it first.
  const std::optional<PictureSize> claimed = ReadPictureSize(bytes);
  if (!claimed || !IsDecodableSize(*claimed)) return {};
  ComScope com;
  ComRef<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put())))) {
    return {};
  }
  ComRef<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                          static_cast<DWORD>(bytes.size())))) {
    return {};
  }
  ComRef<IWICBitmapDecoder> decoder;
  ComRef<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put()))) {
    return {};
  }
  UINT sourceWidth = 0;
  UINT sourceHeight = 0;
  if (FAILED(frame->GetSize(&sourceWidth, &sourceHeight)) ||
      !IsDecodableSize({static_cast<int>(sourceWidth), static_cast<int>(sourceHeight)})) {
    return {};
  }
  const FitRect fit = FitInside(static_cast<int>(sourceWidth), static_cast<int>(sourceHeight), boxWidth, boxHeight);
  if (fit.width <= 0 || fit.height <= 0) return {};

  ComRef<IWICBitmapScaler> scaler;
  ComRef<IWICFormatConverter> converter;
  if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(frame.get(), static_cast<UINT>(fit.width), static_cast<UINT>(fit.height),
                                WICBitmapInterpolationModeFant)) ||
      FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom))) {
    return {};
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = fit.width;
  info.bmiHeader.biHeight = -fit.height;  // top-down, as WIC delivers the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  corvane::win::UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return {};
  const UINT stride = static_cast<UINT>(fit.width) * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * static_cast<UINT>(fit.height),
                                   static_cast<BYTE*>(bits)))) {
    return {};
  }
  width = fit.width;
  height = fit.height;
  return bitmap;
}

}  // namespace corvane::web::win
