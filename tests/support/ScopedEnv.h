// Sets or clears an environment variable for one test and puts it back afterwards.
#pragma once

#include <cstdlib>
#include <string>

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) {
      m_old = old;
      m_hadOld = true;
    }
    Set(name, value);
  }
  ~ScopedEnv() { Set(m_name, m_hadOld ? m_old.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  static void Set(const char* name, const char* value) {
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  const char* m_name;
  std::string m_old;
  bool m_hadOld = false;
};
