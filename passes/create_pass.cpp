#include "passes/create_pass.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/date_stamp.h"
#include "listfile/list_writer.h"
#include "passes/collect_files.h"
#include "passes/ordered_hashing.h"
#include "passes/progress_display.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/disk_kind.h"
#include "platform/files.h"
#include "platform/pending_file.h"

namespace zelk::passes {
namespace {

namespace texts = language::texts;
using engines::ChecksumKind;
using engines::FileReadStatus;
using language::formatTemplate;
using language::translated;

// Why a file or folder the walk met is not in the list.
enum class LeftOut { NotListable, Unreadable, Vanished, Changed, NotAFile, NameTooLong, UnreadableFolder, FolderLink };

// The reasons' texts, looked up once per pass.
class LeftOutTexts {
 public:
  LeftOutTexts() {
    const language::LanguageText reasons[] = {texts::NameNotListable, texts::FileUnreadable,   texts::FileVanished,
                                              texts::FileChanged,     texts::NotAFile,         texts::PathTooLong,
                                              texts::FolderUnreadable, texts::FolderLink};
    for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = " - " + translated(reasons[i]);
  }
  const std::string& operator[](LeftOut reason) const { return texts_[static_cast<std::size_t>(reason)]; }

 private:
  std::array<std::string, 8> texts_;
};

std::optional<LeftOut> leftOutFor(FileReadStatus status) {
  switch (status) {
    case FileReadStatus::Ok: return std::nullopt;
    case FileReadStatus::Missing: return LeftOut::Vanished;
    case FileReadStatus::NotAFile: return LeftOut::NotAFile;
    case FileReadStatus::NameTooLong: return LeftOut::NameTooLong;
    case FileReadStatus::Changed: return LeftOut::Changed;
    case FileReadStatus::OpenFailed:
    case FileReadStatus::ReadFailed: break;
  }
  return LeftOut::Unreadable;
}

LeftOut leftOutFor(FoundKind kind) {
  switch (kind) {
    case FoundKind::Missing: return LeftOut::Vanished;
    case FoundKind::FolderLink: return LeftOut::FolderLink;
    case FoundKind::UnreadableFolder: return LeftOut::UnreadableFolder;
    case FoundKind::FolderNameTooLong: return LeftOut::NameTooLong;
    case FoundKind::File:
    case FoundKind::NotAFile: break;
  }
  return LeftOut::NotAFile;
}

bool isFolderKind(FoundKind kind) {
  return kind == FoundKind::FolderLink || kind == FoundKind::UnreadableFolder || kind == FoundKind::FolderNameTooLong;
}

std::string_view fileNameOf(std::string_view path) { return path.substr(path.rfind('/') + 1); }  // npos + 1 is 0

// A name the list would not give back unchanged when read: a line break or a
// backslash inside a folder or file name, or a first character that makes the
// line a comment or the end of an SFV list, or that the MD5 reader drops.
bool isListable(std::string_view relativePath, ChecksumKind kind) {
  if (relativePath.find_first_of("\n\r\\") != std::string_view::npos) return false;
  const char first = relativePath.front();
  if (kind == ChecksumKind::Crc32) return first != ';' && first != '#' && first != '\x1a';
  return first != ' ' && first != '*';
}

// A header line holds no line break: one would start an entry line of the
// writer's choosing. True when `text` had any.
bool lineBreaksToBlanks(std::string& text) {
  const bool had = text.find_first_of("\r\n") != std::string::npos;
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return had;
}

// "." and ".." name no folder a list could be named after: the list takes the
// name of the folder they stand for. Entry names are relative, so they stay.
std::string namingFolder(const std::string& folderPath) {
  const std::string base = ListBaseName(folderPath);
  if (base != "." && base != "..") return folderPath;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(folderPath, error);
  return error ? folderPath : platform::withTrailingSlash(resolved.string());
}

// A line the pass is to show, in walk order: a file to read and list, or one
// that is left out for a reason already known.
struct PlannedLine {
  std::string name;  // as listed, '\\' between folders
  std::optional<LeftOut> reason;
};

struct Plan {
  std::vector<PlannedLine> lines;
  std::vector<HashRequest> requests;  // one per line without a reason, in order
};

// What the walk found, as the lines the pass will show.
Plan planLines(const std::vector<FoundPath>& found, const std::string& folderPath, const std::string& listPath,
               ChecksumKind kind) {
  Plan plan;
  for (const FoundPath& item : found) {
    const std::string_view fileName = fileNameOf(item.path);
    // Never listed and never worth a note: other SFV lists, the list being
    // replaced, and the temporary files lists are written under.
    if (!isFolderKind(item.kind) && (platform::endsWithIgnoringAsciiCase(fileName, listfile::kSfvExtension) ||
                                     item.path == listPath || platform::isPendingFileName(fileName))) {
      continue;
    }
    PlannedLine line{item.path.substr(folderPath.size()), std::nullopt};
    if (item.kind == FoundKind::File && !isListable(line.name, kind)) {
      line.reason = LeftOut::NotListable;
    } else {
      std::replace(line.name.begin(), line.name.end(), '/', listfile::kNameSeparator);
      if (item.kind == FoundKind::File) {
        plan.requests.push_back({item.path, kind});
      } else {
        line.reason = leftOutFor(item.kind);
      }
    }
    plan.lines.push_back(std::move(line));
  }
  return plan;
}

struct EntriesWritten {
  long long leftOut = 0;
  bool cancelled = false;
};

// Writes the entry of every planned file that could be read, with a memo line
// for each file listed and for each file or folder left out.
EntriesWritten writeEntries(const Plan& plan, OrderedHashing& hashing, ChecksumKind kind, CreateObserver& observer,
                            listfile::ListWriter& list, const std::stop_token& stop) {
  const LeftOutTexts reasons;
  ProgressDisplay display(
      observer, [&observer](const PassProgress& progress) { observer.passProgress(progress); }, hashing,
      static_cast<std::int64_t>(plan.lines.size()));
  EntriesWritten written;
  std::string line;
  for (const PlannedLine& planned : plan.lines) {
    std::optional<LeftOut> reason = planned.reason;
    std::string checksum;
    if (stop.stop_requested()) {
      written.cancelled = true;
      return written;
    }
    if (reason) {
      display.skipped(planned.name);
    } else {
      HashedFile hashed = display.await(hashing, planned.name);
      if (hashed.cancelled) {
        written.cancelled = true;
        return written;
      }
      reason = leftOutFor(hashed.status);
      checksum = std::move(hashed.checksum);
    }
    line = planned.name;
    if (reason) {
      observer.noteLine(line.append(reasons[*reason]));
      ++written.leftOut;
      continue;
    }
    observer.memoLine(line.append(" ").append(checksum));
    list.writeEntry(kind, planned.name, checksum);
    // A full disk fails every later write too: no need to read on.
    if (list.failed()) return written;
  }
  display.finished(hashing);
  return written;
}

}  // namespace

CreateOutcome runCreatePass(const CreateSettings& settings, CreateObserver& observer, std::stop_token stop) {
  const std::string folderPath = platform::withTrailingSlash(settings.folder);
  const auto folderMissing = [&] {
    observer.errorMessage(formatTemplate(translated(texts::FolderMissing), {settings.folder}));
    return CreateOutcome::FolderMissing;
  };
  if (platform::fileKind(folderPath.empty() ? "." : folderPath) != platform::FileKind::Directory) {
    return folderMissing();
  }
  const std::string listName = ListFileName(namingFolder(folderPath), settings.kind);
  const std::string listPath = folderPath + listName;
  if (!settings.replaceWithoutAsking && platform::fileKind(listPath) != platform::FileKind::Missing &&
      !observer.confirmOverwrite(formatTemplate(translated(texts::WinCrcExist), {listName}))) {
    return CreateOutcome::Declined;
  }
  observer.clearResultTexts();

  listfile::ListWriter list(listPath);
  const auto writeFailed = [&] {
    const std::string reason = std::generic_category().message(list.error());
    observer.errorMessage(formatTemplate(translated(texts::ListWriteFailed), {listName, reason}));
    return CreateOutcome::WriteFailed;
  };
  if (list.failed()) return writeFailed();
  listfile::ListHeader header{settings.kind, settings.creator, settings.comment, listfile::DateStamp()};
  const bool creatorHadBreaks = lineBreaksToBlanks(header.creator);
  if (lineBreaksToBlanks(header.comment) || creatorHadBreaks) observer.noteLine(translated(texts::LineBreaksAsBlanks));
  list.writeHeader(header);

  const auto started = std::chrono::steady_clock::now();
  std::vector<FoundPath> found;
  if (!CollectFiles(folderPath, found, settings.includeSubfolders)) return folderMissing();
  const Plan plan = planLines(found, folderPath, listPath, settings.kind);
  EntriesWritten written;
  {
    OrderedHashing hashing(plan.requests, settings.jobs, platform::onSpinningDisk(folderPath), stop);
    written = writeEntries(plan, hashing, settings.kind, observer, list, stop);
  }
  if (written.cancelled) {
    observer.noteLine(translated(texts::PassCancelled));
    return CreateOutcome::Cancelled;
  }
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);

  if (!list.commit()) return writeFailed();
  observer.timeText(timeText(static_cast<double>(elapsed.count()) / 1000.0));
  observer.completionText(translated(texts::ChecksumFinish));
  return written.leftOut == 0 ? CreateOutcome::Written : CreateOutcome::WrittenWithOmissions;
}

std::string timeText(double seconds) {
  std::locale userLocale = std::locale::classic();
  try {
    userLocale = std::locale("");
  } catch (const std::runtime_error&) {
    // An unknown locale in the environment: the plain form still tells the time.
  }
  std::ostringstream text;
  text.imbue(userLocale);
  text << "TIME: " << std::fixed << std::setprecision(2) << seconds << " sek";
  return text.str();
}

}  // namespace zelk::passes
