// Small pieces the benchmark programs share: a buffered writer of generated
// Poser text (TAB indentation, CR LF line ends), a folder for the generated
// files, the best of three timed runs, one plain pass over a file and the
// process's peak memory.
#pragma once

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
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

// The file's opening brace and version block.
inline void WriteHead(Writer& w) {
  w.Line(0, "{");
  w.Line(0, "version");
  w.Line(1, "{");
  w.Line(1, "number 4.01");
  w.Line(1, "}");
}

// A morph channel with `deltas` delta lines.
inline void WriteChannel(Writer& w, const std::string& name, int deltas) {
  w.Line(2, "targetGeom " + name);
  w.Line(3, "{");
  w.Line(3, "name " + name);
  w.Line(3, "initValue 0");
  w.Line(3, "hidden 0");
  w.Line(3, "keys");
  w.Line(4, "{");
  w.Line(4, "static  0");
  w.Line(4, "k  0  0");
  w.Line(4, "}");
  w.Line(3, "indexes " + std::to_string(deltas));
  w.Line(3, "numbDeltas 4000");
  w.Line(3, "deltas");
  w.Line(4, "{");
  for (int d = 0; d < deltas; ++d)
    w.Line(4, "d " + std::to_string(d * 7) + " 0.00123 -0.00045 0.000" + std::to_string(d % 97));
  w.Line(4, "}");
  w.Line(3, "}");
}

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

inline double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// A folder of this run for generated files: <temp>/vandrel-<name>-<pid>.
inline std::string BenchFolder(const std::string& name) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("vandrel-" + name + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder.string();
}

// The last plain pass's count, kept so the pass is not optimised away.
inline volatile std::size_t gPlainPassLines = 0;

// One plain pass over the file (read it through, count its line ends), the
// best of three runs in seconds: what the readers' figures are measured against.
inline double PlainPassSeconds(const std::string& path) {
  static char buffer[1 << 20];
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t lines = 0;
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
      lines += static_cast<std::size_t>(std::count(buffer, buffer + n, '\n'));
    if (fd >= 0) ::close(fd);
    gPlainPassLines = lines;
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

// The most memory the process has held since the last ResetPeak (or its
// start): the kernel's high-water mark of the resident set.
inline double PeakMegabytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status != nullptr) {
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
      long kilobytes = 0;
      if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) {
        std::fclose(status);
        return static_cast<double>(kilobytes) / 1024.0;
      }
    }
    std::fclose(status);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Starts a new high-water mark at what the process holds now, so that the
// peak printed belongs to the case measured, not to an earlier one.
inline void ResetPeak() {
  // Memory freed by earlier cases goes back to the system first.
  ::malloc_trim(0);
  if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

}  // namespace vandrel::bench
