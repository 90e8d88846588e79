#pragma once
// Where a program's text output goes, byte for byte as it is written: into a string, or into a
// C stream such as stdout. The programs print through these rather than iostreams, which would
// bring the C++ library's whole locale machinery into every stand-alone macro program.

#include <cstdio>
#include <string>
#include <string_view>

namespace qb {

class TextSink {
 public:
  virtual void write(std::string_view text) = 0;
  TextSink& operator<<(std::string_view text) {
    write(text);
    return *this;
  }

 protected:
  ~TextSink() = default;
};

class StringSink final : public TextSink {
 public:
  void write(std::string_view text) override { text_ += text; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Writes to `file`, which stays open and is flushed as the C library flushes it.
class FileSink final : public TextSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }

 private:
  std::FILE* file_;
};

}  // namespace qb
