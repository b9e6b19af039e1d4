#pragma once

#include <clocale>

namespace kiro::test {

// The whole process in de_DE.UTF-8 (decimal comma) for one test, as a QApplication
// switches it to the user's locale, and back to "C" afterwards. Needs Debian's
// locales-all (tools/deps.sh installs it).
class GermanNumbers {
  public:
    GermanNumbers() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~GermanNumbers() { std::setlocale(LC_ALL, "C"); }
    GermanNumbers(const GermanNumbers&) = delete;
    GermanNumbers& operator=(const GermanNumbers&) = delete;
    bool active() const { return active_; }

  private:
    bool active_;
};

} // namespace kiro::test
