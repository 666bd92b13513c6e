#pragma once
// The error log: reports appended to a text file with CR LF line ends, each
// entry headed by a stamp of equals signs and the date. The file is open only
// while one entry is written, and every failure to open or write it is
// ignored: a report is shown all the same.

#include <cstddef>
#include <string>
#include <string_view>

#include "diag/line_builder.h"

namespace zelk::diag {

// The report width: stamp and separator lines are this long.
inline constexpr std::size_t kReportWidth = 100;
// Separator lines between the sections of a report are made of it.
inline constexpr char kSeparatorChar = '-';

// The three stamp lines: `width` equals signs; "= " + `dateText` padded with
// blanks to width - 4 + " ="; `width` equals signs again.
void writeStamp(std::size_t width, std::string_view dateText, LineSink& sink);

class ExceptionLog {
 public:
  // Opens nothing yet.
  explicit ExceptionLog(std::string path);
  ~ExceptionLog();
  ExceptionLog(const ExceptionLog&) = delete;
  ExceptionLog& operator=(const ExceptionLog&) = delete;

  const std::string& path() const { return path_; }
  bool isOpen() const { return fd_ >= 0; }

  // Opens the file for appending, creating it and its folder if need be; on
  // failure the log stays closed. When already open, only forgets that the
  // file was empty.
  void open();
  void close();

  // Each line of `text` (split at CR LF, CR or LF) without its trailing blanks
  // and control characters, after `indent` blanks, ended by CR LF. Nothing
  // when the log is closed.
  void appendText(std::string_view text, std::size_t indent = 0);

  // Opens the log, then writes an empty line unless the file was empty, and
  // the stamp lines. A width of 0 means kReportWidth; less than 20 means 20.
  void appendStamp(std::size_t width, std::string_view dateText);

 private:
  void writeLine(std::string_view line);

  std::string path_;
  int fd_ = -1;
  bool wasEmpty_ = false;
};

// The log of this program: the user's state folder + the program file's name
// + "_Err.log".
std::string defaultLogPath();

}  // namespace zelk::diag
