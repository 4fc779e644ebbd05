#pragma once

#include <string>

#include "platform/Image.h"

// 8-bit RGB PNG files. Both return false (with a reason) instead of throwing.
bool WritePng(const std::string& strPath, const SImage& image, std::string* pError = nullptr);
bool ReadPng(const std::string& strPath, SImage& image, std::string* pError = nullptr);
