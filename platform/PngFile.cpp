#include "platform/PngFile.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
  void operator()(std::FILE* p) const {
    if (p) std::fclose(p);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void SetError(std::string* pError, const std::string& text) {
  if (pError) *pError = text;
}
}  // namespace

bool WritePng(const std::string& strPath, const SImage& image, std::string* pError) {
  if (image.nWidth <= 0 || image.nHeight <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.nWidth) * image.nHeight) {
    SetError(pError, "empty or inconsistent picture");
    return false;
  }
  FilePtr file(std::fopen(strPath.c_str(), "wb"));
  if (!file) {
    SetError(pError, "cannot write " + strPath);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    SetError(pError, "out of memory");
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(image.nWidth) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    SetError(pError, "cannot encode " + strPath);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, image.nWidth, image.nHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.nHeight; ++y) {
    for (int x = 0; x < image.nWidth; ++x) {
      const std::uint32_t p = image.At(x, y);
      row[x * 3] = static_cast<png_byte>(p >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(p >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::string& strPath, SImage& image, std::string* pError) {
  png_image decoded{};
  decoded.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&decoded, strPath.c_str())) {
    SetError(pError, std::string("cannot read ") + strPath + ": " + decoded.message);
    return false;
  }
  decoded.format = PNG_FORMAT_RGB;
  std::vector<png_byte> buffer(PNG_IMAGE_SIZE(decoded));
  if (!png_image_finish_read(&decoded, nullptr, buffer.data(), 0, nullptr)) {
    SetError(pError, std::string("cannot decode ") + strPath + ": " + decoded.message);
    png_image_free(&decoded);
    return false;
  }
  image = SImage(static_cast<int>(decoded.width), static_cast<int>(decoded.height));
  for (std::size_t i = 0; i < image.pixels.size(); ++i)
    image.pixels[i] = PackRgb(buffer[i * 3], buffer[i * 3 + 1], buffer[i * 3 + 2]);
  return true;
}
