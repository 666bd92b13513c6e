#include "cli/verify_output.h"

#include <cstdio>

#include "cli/json_lines.h"
#include "engines/algorithm.h"

namespace zelk::cli {
namespace {

using passes::ReportColour;
using passes::Verdict;

TerminalColour terminalColour(ReportColour colour) {
  switch (colour) {
    case ReportColour::Green: return TerminalColour::Green;
    case ReportColour::Red: return TerminalColour::Red;
    case ReportColour::Default: break;
  }
  return TerminalColour::Plain;
}

const char* verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Intact: return "intact";
    case Verdict::Modified: return "modified";
    case Verdict::Unreadable: return "unreadable";
    case Verdict::Missing: break;
  }
  return "missing";
}

const char* outcomeName(passes::VerifyOutcome outcome) {
  switch (outcome) {
    case passes::VerifyOutcome::ListUnreadable: return "unreadable";
    case passes::VerifyOutcome::Cancelled: return "cancelled";
    case passes::VerifyOutcome::NoList:
    case passes::VerifyOutcome::Checked: break;
  }
  return "checked";
}

void putCounts(nlohmann::ordered_json& object, const VerdictCounts& counts) {
  object["checked"] = counts.checked();
  object["intact"] = counts.intact;
  object["modified"] = counts.modified;
  object["missing"] = counts.missing;
  object["unreadable"] = counts.unreadable;
}

std::string countOf(long long count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void VerdictCounts::add(Verdict verdict) {
  switch (verdict) {
    case Verdict::Intact: ++intact; return;
    case Verdict::Modified: ++modified; return;
    case Verdict::Unreadable: ++unreadable; return;
    case Verdict::Missing: ++missing; return;
  }
}

VerdictCounts& VerdictCounts::operator+=(const VerdictCounts& other) {
  intact += other.intact;
  modified += other.modified;
  missing += other.missing;
  unreadable += other.unreadable;
  return *this;
}

void VerifyOutput::listStarts(const std::string& list) {
  list_ = list;
  listCounts_ = {};
}

void VerifyOutput::listEnds(passes::VerifyOutcome outcome) {
  if (outcome == passes::VerifyOutcome::ListUnreadable) {
    ++totals_.listsUnreadable;
  } else {
    ++totals_.listsChecked;
  }
  if (outcome == passes::VerifyOutcome::Cancelled) totals_.cancelled = true;
  totals_.entries += listCounts_;
}

void VerifyOutput::entryChecked(const passes::CheckedEntry& entry) {
  listCounts_.add(entry.verdict);
  showEntry(entry);
}

void VerifyOutput::errorMessage(const std::string& text) {
  std::fflush(stdout);
  printLine(stderr, "zelk-sfv: " + text);
}

void ReportOutput::listStarts(const std::string& list) {
  VerifyOutput::listStarts(list);
  if (!headings_) return;
  if (!firstList_) show("", ReportColour::Default, true);
  firstList_ = false;
  show("LIST: " + list, ReportColour::Default, true);
}

void ReportOutput::total() {
  if (!headings_) return;
  const VerifyTotals& all = totals();
  const VerdictCounts& entries = all.entries;
  const bool allIntact = entries.checked() == entries.intact && all.listsUnreadable == 0 && !all.cancelled;
  show("", ReportColour::Default, true);
  show("TOTAL: " + countOf(all.listsFound, "list", "lists") + " found, " +
           std::to_string(all.listsChecked) + " checked, " + std::to_string(all.listsUnreadable) +
           " could not be read; " + countOf(entries.checked(), "file", "files") + " checked: " +
           std::to_string(entries.intact) + " intact, " + std::to_string(entries.modified) + " modified, " +
           std::to_string(entries.missing) + " missing, " + std::to_string(entries.unreadable) + " unreadable",
       allIntact ? ReportColour::Green : ReportColour::Red, true);
}

void ReportOutput::reportLine(const std::string& text, ReportColour colour) {
  keep(text, colour);
  show(text, colour, true);
}

void ReportOutput::showEntry(const passes::CheckedEntry& entry) {
  keep(entry.line, entry.colour);
  show(entry.line, entry.colour, entry.verdict != Verdict::Intact);
}

void ReportOutput::show(const std::string& text, ReportColour colour, bool essential) const {
  if (shows(essential)) printLine(stdout, text, terminalColour(colour));
}

void ReportOutput::keep(const std::string& text, ReportColour colour) {
  if (keepReport_) report_.push_back({text + "\n", passes::reportRgb(colour)});
}

void JsonOutput::listEnds(passes::VerifyOutcome outcome) {
  VerifyOutput::listEnds(outcome);
  nlohmann::ordered_json object{{"type", "list"}};
  putText(object, "list", list());
  object["status"] = outcomeName(outcome);
  putCounts(object, listCounts());
  printJson(object);
}

void JsonOutput::total() {
  const VerifyTotals& all = totals();
  nlohmann::ordered_json object{{"type", "total"}};
  object["status"] = all.cancelled ? "cancelled" : "checked";
  object["lists"] = all.listsFound;
  object["lists_checked"] = all.listsChecked;
  object["lists_unreadable"] = all.listsUnreadable;
  object["folders_unreadable"] = all.foldersUnreadable;
  putCounts(object, all.entries);
  printJson(object);
}

void JsonOutput::unlistedFiles(const std::vector<std::string>& names) {
  if (!shows(true)) return;
  for (const std::string& name : names) {
    nlohmann::ordered_json object{{"type", "unlisted"}};
    putText(object, "list", list());
    putText(object, "name", name);
    printJson(object);
  }
}

void JsonOutput::showEntry(const passes::CheckedEntry& entry) {
  if (!shows(entry.verdict != Verdict::Intact)) return;
  nlohmann::ordered_json object{{"type", "entry"}};
  putText(object, "list", list());
  putText(object, "name", entry.name);
  object["algorithm"] = std::string(engines::AlgorithmOf(entry.kind).optionName);
  putText(object, "expected", entry.expected);
  object["actual"] = entry.actual ? nlohmann::ordered_json(entry.actual->toHex()) : nlohmann::ordered_json(nullptr);
  object["status"] = verdictName(entry.verdict);
  printJson(object);
}

}  // namespace zelk::cli
