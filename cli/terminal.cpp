#include "cli/terminal.h"

#include <unistd.h>

namespace zelk::cli {
namespace {

// Reads shorter than this show no progress line: it would only flicker.
constexpr auto kProgressDelay = std::chrono::milliseconds(300);

const char* colourStart(TerminalColour colour) {
  switch (colour) {
    case TerminalColour::Green: return "\033[32m";
    case TerminalColour::Red: return "\033[31m";
    case TerminalColour::Plain: break;
  }
  return "";
}

}  // namespace

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

// Asked once: a run prints thousands of lines to the same place.
bool stdoutIsTerminal() {
  static const bool terminal = isTerminal(stdout);
  return terminal;
}

void printLine(std::FILE* stream, const std::string& line, TerminalColour colour) {
  const bool coloured = colour != TerminalColour::Plain && stream == stdout && stdoutIsTerminal();
  if (coloured) std::fputs(colourStart(colour), stream);
  std::fwrite(line.data(), 1, line.size(), stream);
  if (coloured) std::fputs("\033[0m", stream);
  std::fputc('\n', stream);
}

bool askYesNo(const std::string& question) {
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  int answer = std::fgetc(stdin);
  const bool yes = answer == 'y' || answer == 'Y';
  while (answer != '\n' && answer != EOF) answer = std::fgetc(stdin);
  return yes;
}

TerminalProgress::TerminalProgress() : enabled_(isTerminal(stderr)) {}

void TerminalProgress::showProgress() {
  if (!enabled_) return;
  drawn_ = false;
  started_ = std::chrono::steady_clock::now();
}

void TerminalProgress::setProgress(int percent) {
  if (!enabled_) return;
  if (!drawn_ && std::chrono::steady_clock::now() - started_ < kProgressDelay) return;
  std::fprintf(stderr, "\r%3d %%", percent);
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalProgress::hideProgress() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace zelk::cli
