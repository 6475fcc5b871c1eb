// The program's error: a text in its own words, shown by whoever catches it.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace nimbrel {

class Error : public std::exception {
public:
    explicit Error(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& text() const { return text_; }
    const char* what() const noexcept override { return "nimbrel::Error"; }

private:
    std::wstring text_;
};

}  // namespace nimbrel
