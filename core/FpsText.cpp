#include "core/FpsText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

std::string FormatSignificant(double value, int nDigits) {
  if (nDigits < 1) nDigits = 1;
  if (nDigits > 17) nDigits = 17;
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0.0) return "0.";

  // Round to nDigits significant digits in exponent form first; its exponent
  // decides the layout, as rounding can carry into a new digit (9.9995 -> 10.00).
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.*e", nDigits - 1, value);
  const char* ePos = std::strchr(buf, 'e');
  const int exponent = std::atoi(ePos + 1);
  std::string mantissa(static_cast<const char*>(buf), ePos);  // "-d.ddd"
  const bool bNegative = mantissa[0] == '-';
  std::string digits;
  for (char c : mantissa)
    if (c >= '0' && c <= '9') digits += c;
  // Trailing zeros are dropped, as _gcvt does.
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = bNegative ? "-" : "";
  if (exponent < -5 || exponent >= nDigits) {
    out += digits[0];
    out += '.';
    out += digits.substr(1);
    char expBuf[16];
    std::snprintf(expBuf, sizeof(expBuf), "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + expBuf;
  }
  if (exponent < 0) {
    out += "0.";
    out += std::string(static_cast<std::size_t>(-exponent - 1), '0');
    return out + digits;
  }
  const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= intDigits) {
    out += digits + std::string(intDigits - digits.size(), '0') + ".";
    return out;
  }
  return out + digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

std::string FpsText(unsigned long dwMillis) {
  const bool bTooFast = dwMillis == 0;
  const double rate = (1.0 / static_cast<double>(bTooFast ? 1 : dwMillis)) * 1000.0;
  const float percent = static_cast<float>(rate * 1.6666666666666667);
  const std::string prefix = bTooFast ? ">" : "";
  return "FPS:" + prefix + FormatSignificant(rate, 4) + " (" + prefix +
         FormatSignificant(percent, 4) + "%)";
}
