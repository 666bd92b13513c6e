#include "diag/exception_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "diag/program_file.h"
#include "platform/system_calls.h"
#include "platform/user_folders.h"

namespace zelk::diag {
namespace {

constexpr std::size_t kMinimumWidth = 20;

std::string_view withoutTrailingControls(std::string_view line) {
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
  return line;
}

}  // namespace

void writeStamp(std::size_t width, std::string_view dateText, LineSink& sink) {
  LineBuilder border;
  border.repeat('=', width);
  LineBuilder stamp;
  stamp.text("= ").text(dateText).padTo(width - 2).text(" =");
  sink.line(border.view());
  sink.line(stamp.view());
  sink.line(border.view());
}

ExceptionLog::ExceptionLog(std::string path) : path_(std::move(path)) {}

ExceptionLog::~ExceptionLog() { close(); }

void ExceptionLog::open() {
  if (isOpen()) {
    wasEmpty_ = false;
    return;
  }
  const std::size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) platform::makeUserFolder(path_.substr(0, slash));
  fd_ = platform::systemCalls().openAt(AT_FDCWD, path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd_ >= 0) wasEmpty_ = ::lseek(fd_, 0, SEEK_END) == 0;
}

void ExceptionLog::close() {
  if (isOpen()) platform::systemCalls().close(fd_);
  fd_ = -1;
  wasEmpty_ = false;
}

void ExceptionLog::writeLine(std::string_view line) {
  std::string ended(line);
  ended += "\r\n";
  // A failed write leaves the entry short; the report is shown regardless.
  (void)platform::systemCalls().write(fd_, ended.data(), ended.size());
}

void ExceptionLog::appendText(std::string_view text, std::size_t indent) {
  if (!isOpen()) return;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    writeLine(std::string(indent, ' ') + std::string(withoutTrailingControls(text.substr(0, end))));
    if (end == std::string_view::npos) break;
    const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    text.remove_prefix(next);
  }
}

void ExceptionLog::appendStamp(std::size_t width, std::string_view dateText) {
  if (width == 0) width = kReportWidth;
  if (width < kMinimumWidth) width = kMinimumWidth;
  open();
  if (!isOpen()) return;
  if (!wasEmpty_) writeLine({});
  struct Writer : LineSink {
    ExceptionLog& log;
    explicit Writer(ExceptionLog& target) : log(target) {}
    void line(std::string_view text) override { log.writeLine(text); }
  } writer(*this);
  writeStamp(width, dateText, writer);
}

std::string defaultLogPath() {
  std::string name = programFileName();
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return platform::userStateFolder() + name + "_Err.log";
}

}  // namespace zelk::diag
