#include "cli/create_output.h"

#include "cli/json_lines.h"
#include "engines/algorithm.h"

namespace zelk::cli {
namespace {

const char* outcomeName(passes::CreateOutcome outcome) {
  switch (outcome) {
    case passes::CreateOutcome::Written:
    case passes::CreateOutcome::WrittenWithOmissions: return "written";
    case passes::CreateOutcome::Declined: return "declined";
    case passes::CreateOutcome::Cancelled: return "cancelled";
    case passes::CreateOutcome::FolderMissing:
    case passes::CreateOutcome::WriteFailed:
    case passes::CreateOutcome::ListUnreadable: break;
  }
  return "failed";
}

}  // namespace

bool CreateOutput::confirmOverwrite(const std::string& question) {
  if (isTerminal(stdin)) return askYesNo(question);
  printLine(stderr, question);
  printLine(stderr, "zelk-sfv create: not overwritten; --force overwrites the list without asking.");
  return false;
}

void CreateOutput::noteLine(const std::string& line) {
  std::fflush(stdout);
  printLine(stderr, "zelk-sfv create: " + line);
}

void CreateOutput::errorMessage(const std::string& text) {
  std::fflush(stdout);
  printLine(stderr, "zelk-sfv create: " + text);
}

JsonCreateOutput::JsonCreateOutput(engines::ChecksumKind kind)
    : algorithm_(engines::AlgorithmOf(kind).optionName) {}

void JsonCreateOutput::fileDone(const passes::FileOutcome& file) {
  const bool listed = file.reason.empty();
  nlohmann::ordered_json object{{"type", "file"}};
  putText(object, "name", file.name);
  object["algorithm"] = algorithm_;
  object["checksum"] = listed ? nlohmann::ordered_json(file.checksum) : nlohmann::ordered_json(nullptr);
  object["status"] = listed ? "listed" : "left_out";
  if (listed) {
    object["reason"] = nullptr;
    ++listed_;
  } else {
    putText(object, "reason", file.reason);
    ++leftOut_;
  }
  printJson(object);
}

void JsonCreateOutput::entryGone(const passes::GoneEntry& entry) {
  nlohmann::ordered_json object{{"type", "gone"}};
  putText(object, "name", entry.name);
  object["status"] = entry.removed ? "removed" : "kept";
  ++gone_;
  printJson(object);
}

void JsonCreateOutput::finished(passes::CreateOutcome outcome) {
  nlohmann::ordered_json object{{"type", "total"}};
  object["status"] = outcomeName(outcome);
  object["algorithm"] = algorithm_;
  object["listed"] = listed_;
  object["left_out"] = leftOut_;
  object["gone"] = gone_;
  printJson(object);
}

}  // namespace zelk::cli
