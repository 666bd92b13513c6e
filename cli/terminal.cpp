#include "cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdint>
#include <system_error>

#include "passes/display_text.h"

namespace zelk::cli {
namespace {

// Passes shorter than this show no progress line: it would only flicker.
constexpr auto kProgressDelay = std::chrono::milliseconds(300);

const char* colourStart(TerminalColour colour) {
  switch (colour) {
    case TerminalColour::Green: return "\033[32m";
    case TerminalColour::Red: return "\033[31m";
    case TerminalColour::Plain: break;
  }
  return "";
}

// A name can hold any byte but '/' and NUL: escape sequences in it must not
// reach the terminal, nor C1 controls (U+0080 to U+009F), which some
// terminals obey too.
std::string terminalText(const std::string& line) {
  std::string shown = passes::displayText(line);
  std::string out;
  out.reserve(shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto byte = static_cast<unsigned char>(shown[i]);
    const bool c1 = byte == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) < 0xA0;
    if (byte < 0x20 || byte == 0x7F || c1) {
      out += '?';
      if (c1) ++i;
    } else {
      out += shown[i];
    }
  }
  return out;
}

bool progressLineDrawn = false;

void eraseProgressLine() {
  if (!progressLineDrawn) return;
  std::fputs("\r\033[K", stderr);
  progressLineDrawn = false;
}

void checkOutput(std::FILE* stream) {
  if (stream == stdout && std::ferror(stdout)) throw OutputError(errno);
}

// https://no-color.org: a NO_COLOR that is set and not empty turns colour off.
bool colourAllowed() {
  static const bool allowed = [] {
    const char* noColour = std::getenv("NO_COLOR");
    return noColour == nullptr || *noColour == '\0';
  }();
  return allowed;
}

}  // namespace

OutputError::OutputError(int error)
    : std::runtime_error("cannot write to standard output: " + std::generic_category().message(error != 0 ? error : EIO)) {}

bool isTerminal(std::FILE* stream) {
  static const bool out = ::isatty(STDOUT_FILENO) == 1;
  static const bool err = ::isatty(STDERR_FILENO) == 1;
  if (stream == stdout) return out;
  if (stream == stderr) return err;
  return ::isatty(::fileno(stream)) == 1;
}

void printLine(std::FILE* stream, const std::string& line, TerminalColour colour) {
  if (stream == stderr || isTerminal(stream)) eraseProgressLine();
  if (!isTerminal(stream)) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    checkOutput(stream);
    return;
  }
  const bool coloured = colour != TerminalColour::Plain && stream == stdout && colourAllowed();
  if (coloured) std::fputs(colourStart(colour), stream);
  std::fputs(terminalText(line).c_str(), stream);
  if (coloured) std::fputs("\033[0m", stream);
  std::fputc('\n', stream);
  checkOutput(stream);
}

void flushOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw OutputError(errno);
}

bool askYesNo(const std::string& question) {
  eraseProgressLine();
  std::fprintf(stderr, "%s [y/N] ", terminalText(question).c_str());
  std::fflush(stderr);
  int answer = std::fgetc(stdin);
  const bool yes = answer == 'y' || answer == 'Y';
  while (answer != '\n' && answer != EOF) answer = std::fgetc(stdin);
  return yes;
}

ProgressLine::ProgressLine() : enabled_(isTerminal(stderr)), started_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() { eraseProgressLine(); }

void ProgressLine::show(const passes::PassProgress& progress) {
  if (!enabled_ || std::chrono::steady_clock::now() - started_ < kProgressDelay) return;
  winsize size{};
  const std::size_t width = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 80;
  // One column short of the width: a full line would wrap on some terminals.
  std::fprintf(stderr, "\r\033[K%s", progressText(progress, width > 1 ? width - 1 : 0).c_str());
  std::fflush(stderr);
  progressLineDrawn = true;
}

std::string progressText(const passes::PassProgress& progress, std::size_t width) {
  const std::int64_t percent = progress.bytesTotal > 0   ? progress.bytesDone * 100 / progress.bytesTotal
                               : progress.filesTotal > 0 ? progress.filesDone * 100 / progress.filesTotal
                                                         : 0;
  char figures[96];
  int length = std::snprintf(figures, sizeof figures, "  %3lld %%", static_cast<long long>(percent));
  if (progress.bytesPerSecond > 0) {
    length += std::snprintf(figures + length, sizeof figures - static_cast<std::size_t>(length), "  %.1f MB/s",
                            progress.bytesPerSecond / 1e6);
  }
  if (progress.secondsLeft >= 0) {
    std::snprintf(figures + length, sizeof figures - static_cast<std::size_t>(length), "  %s left",
                  passes::timeLeftText(progress.secondsLeft).c_str());
  }
  const std::string tail = figures;
  std::string name = terminalText(progress.currentFile);
  if (width > 0) {
    // The end of a long name tells the file; a cut never splits a character.
    const std::size_t room = width > tail.size() + 3 ? width - tail.size() - 3 : 0;
    if (name.size() > room) {
      std::size_t cut = name.size() - room;
      while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
      name = "..." + name.substr(cut);
    }
  }
  std::string text = name + tail;
  if (width > 0 && text.size() > width) text.resize(width);
  return text;
}

}  // namespace zelk::cli
