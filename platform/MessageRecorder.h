#pragma once

#include <string>
#include <vector>

#include "platform/MessageBox.h"

// Test double: remembers every text shown, in order.
class CMessageRecorder : public IMessageBox {
 public:
  void Show(const std::string& strText) override { m_messages.push_back(strText); }
  const std::vector<std::string>& Messages() const { return m_messages; }
  void Clear() { m_messages.clear(); }

 private:
  std::vector<std::string> m_messages;
};
