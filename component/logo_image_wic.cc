#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <vector>

#include "component/logo_image.h"

namespace tarvo::component {

namespace {

using Microsoft::WRL::ComPtr;

// COM for this thread while the object lives, in whatever mode the thread
// already has it.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

bool accepted_format(IWICBitmapDecoder* decoder) {
  GUID format{};
  if (FAILED(decoder->GetContainerFormat(&format))) return false;
  return IsEqualGUID(format, GUID_ContainerFormatPng) || IsEqualGUID(format, GUID_ContainerFormatJpeg) ||
         IsEqualGUID(format, GUID_ContainerFormatBmp);
}

}  // namespace

std::optional<LogoImage> read_logo(const std::filesystem::path& file) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.GetAddressOf()))))
    return std::nullopt;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                                decoder.GetAddressOf())) ||
      !accepted_format(decoder.Get()))
    return std::nullopt;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(decoder->GetFrame(0, frame.GetAddressOf())) ||
      FAILED(factory->CreateFormatConverter(converter.GetAddressOf())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return std::nullopt;
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return std::nullopt;
  // A logo of more than 2^28 pixels is no logo.
  if (std::uint64_t{width} * height > (1u << 28)) return std::nullopt;
  // 32bppBGRA is B, G, R, A bytes: 0xAARRGGBB words, alpha straight.
  LogoImage logo{static_cast<int>(width), static_cast<int>(height),
                 std::vector<std::uint32_t>(std::size_t{width} * height)};
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(logo.pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(logo.pixels.data()))))
    return std::nullopt;
  return logo;
}

}  // namespace tarvo::component
