// Small pieces the benchmark programs share: a buffered writer of generated
// Poser text (TAB indentation, CR LF line ends) and the best of three timed runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace vandrel::bench {

class Writer {
 public:
  explicit Writer(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~Writer() {
    Flush();
    if (file_) std::fclose(file_);
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  void Line(int indent, const std::string& text) {
    buffer_.append(static_cast<std::size_t>(indent), '\t').append(text).append("\r\n");
    if (buffer_.size() > (1u << 20)) Flush();
  }
  std::size_t written() const { return written_ + buffer_.size(); }

 private:
  void Flush() {
    if (file_) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    written_ += buffer_.size();
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
  std::size_t written_ = 0;
};

// The shortest of three runs of `run`, each after its own `prepare`, in seconds.
inline double Best(const std::function<void()>& prepare, const std::function<void()>& run) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    prepare();
    const auto t0 = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

}  // namespace vandrel::bench
