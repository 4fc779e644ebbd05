#pragma once

#include <string>

// value formatted with nDigits significant digits in the style of the C
// runtime's _gcvt: an integral result keeps its trailing decimal point
// ("60."), and exponent form is used when the exponent is below -5 or not
// below nDigits.
std::string FormatSignificant(double value, int nDigits);

// "FPS:" + rate + " (" + percent + "%)" for a frame that took dwMillis ms.
// A 0 ms frame is shown as the rate of a 1 ms frame with a ">" in front,
// since the true rate is only known to be at least that.
std::string FpsText(unsigned long dwMillis);
