#pragma once

#include <string>

// Per-user settings by section and value name. Every read passes its own
// default, which comes back when the value is missing; every write is
// immediate. Nothing is cached by callers.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual int GetInt(const std::string& section, const std::string& name, int nDefault) = 0;
  virtual std::string GetString(const std::string& section, const std::string& name,
                                const std::string& strDefault) = 0;
  virtual void WriteInt(const std::string& section, const std::string& name, int nValue) = 0;
  virtual void WriteString(const std::string& section, const std::string& name,
                           const std::string& strValue) = 0;
  // Whether the store holds the value at all, readable or not.
  virtual bool Contains(const std::string& section, const std::string& name) const = 0;
};
