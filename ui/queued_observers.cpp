#include "ui/queued_observers.h"

namespace zelk::ui {

using passes::CreateObserver;
using passes::VerifyObserver;

bool QueuedCreateObserver::confirmOverwrite(const std::string& question) {
  return runner_.ask([&target = target_, question] { return target.confirmOverwrite(question); }, false);
}

void QueuedCreateObserver::clearResultTexts() { forward(&CreateObserver::clearResultTexts); }

void QueuedCreateObserver::memoLine(const std::string& line) { forward(&CreateObserver::memoLine, line); }

void QueuedCreateObserver::noteLine(const std::string& line) { forward(&CreateObserver::noteLine, line); }

void QueuedCreateObserver::timeText(const std::string& text) { forward(&CreateObserver::timeText, text); }

void QueuedCreateObserver::completionText(const std::string& text) { forward(&CreateObserver::completionText, text); }

void QueuedCreateObserver::errorMessage(const std::string& text) { forward(&CreateObserver::errorMessage, text); }

void QueuedVerifyObserver::creatorText(const std::string& text) { forward(&VerifyObserver::creatorText, text); }

void QueuedVerifyObserver::commentText(const std::string& text) { forward(&VerifyObserver::commentText, text); }

void QueuedVerifyObserver::entryKind(engines::ChecksumKind kind) { forward(&VerifyObserver::entryKind, kind); }

void QueuedVerifyObserver::entryChecked(const passes::CheckedEntry& entry) {
  forward(&VerifyObserver::entryChecked, entry);
}

void QueuedVerifyObserver::reportLine(const std::string& text, passes::ReportColour colour) {
  forward(&VerifyObserver::reportLine, text, colour);
}

void QueuedVerifyObserver::errorMessage(const std::string& text) { forward(&VerifyObserver::errorMessage, text); }

}  // namespace zelk::ui
