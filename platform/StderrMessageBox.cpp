#include "platform/StderrMessageBox.h"

#include <cstdio>

void CStderrMessageBox::Show(const std::string& strText) {
  std::fprintf(stderr, "%s: %s\n", kMessageBoxCaption, strText.c_str());
}
