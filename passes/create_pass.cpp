#include "passes/create_pass.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <memory>
#include <mutex>
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
#include "listfile/list_dialect.h"
#include "listfile/list_naming.h"
#include "listfile/list_writer.h"
#include "passes/collect_files.h"
#include "passes/ordered_hashing.h"
#include "passes/progress_display.h"
#include "passes/text_store.h"
#include "platform/directory.h"
#include "platform/disk_kind.h"
#include "platform/files.h"

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
  const std::string base = listfile::ListBaseName(folderPath);
  if (base != "." && base != "..") return folderPath;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(folderPath, error);
  return error ? folderPath : platform::withTrailingSlash(resolved.string());
}

// The list's path as the walk of the folder would meet it, so that a list
// written into the folder (or below it) under any name is not listed itself.
std::string pathInWalk(const std::string& folderPath, const std::string& listPath) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(folderPath.empty() ? "." : folderPath, error);
  const std::filesystem::path list = std::filesystem::weakly_canonical(listPath, error);
  if (error) return listPath;
  const std::filesystem::path below = list.lexically_relative(folder);
  if (below.empty() || *below.begin() == "..") return listPath;
  return folderPath + below.string();
}

// The lines the pass is to show, in walk order: files to read and list, and
// what is left out for a reason already known. A few bytes a line, the
// paths in one store: the walk adds to it while workers read the paths of
// the files already in it.
class CreatePlan {
 public:
  CreatePlan(std::string folderPath, char separator) : folderPath_(std::move(folderPath)), separator_(separator) {}

  // `relativePath` has '/' between folders; a line without a reason is a
  // file to read, the next of pathOfFile's indexes.
  void add(std::string_view relativePath, std::optional<LeftOut> reason) {
    const std::lock_guard lock(mutex_);
    const TextStore::Ref path = paths_.keep(relativePath);
    lines_.push_back({path, reason});
    if (!reason) files_.push_back(path);
  }

  // On the walk's thread only, like add().
  std::size_t size() const { return lines_.size(); }
  std::optional<LeftOut> reason(std::size_t line) const { return lines_[line].reason; }
  // The name as listed and shown: the list's separator between folders, but
  // for a name no list can hold, which is shown as it lies.
  std::string listedName(std::size_t line) const {
    std::string name(paths_.view(lines_[line].path));
    if (lines_[line].reason != LeftOut::NotListable) std::replace(name.begin(), name.end(), '/', separator_);
    return name;
  }

  // On any thread.
  void pathOfFile(std::size_t file, std::string& path) const {
    const std::lock_guard lock(mutex_);
    path = folderPath_;
    path += paths_.view(files_[file]);
  }

 private:
  struct Line {
    TextStore::Ref path;
    std::optional<LeftOut> reason;
  };

  std::string folderPath_;
  char separator_;
  mutable std::mutex mutex_;  // add() against pathOfFile()
  TextStore paths_;
  std::vector<Line> lines_;
  std::vector<TextStore::Ref> files_;
};

// What the walk met at `item`, as a line of the plan: the path below the
// folder and why it is left out, if it is. Nothing for what is never listed
// and never worth a note (listfile::isNeverListed) and the list being
// replaced.
std::optional<std::pair<std::string_view, std::optional<LeftOut>>> planLine(const FoundPath& item,
                                                                           const std::string& folderPath,
                                                                           const std::string& listPath,
                                                                           ChecksumKind kind) {
  const std::string_view fileName = fileNameOf(item.path);
  if (!isFolderKind(item.kind) && (listfile::isNeverListed(kind, fileName) || item.path == listPath)) {
    return std::nullopt;
  }
  const std::string_view below = std::string_view(item.path).substr(folderPath.size());
  if (item.kind == FoundKind::File && !listfile::canHoldName(kind, below)) return std::pair{below, LeftOut::NotListable};
  return std::pair{below, item.kind == FoundKind::File ? std::nullopt : std::optional(leftOutFor(item.kind))};
}

struct EntriesWritten {
  long long leftOut = 0;
  bool cancelled = false;
};

// Writes the entry of every planned file that could be read, with a memo line
// for each file listed and for each file or folder left out.
EntriesWritten writeEntries(const CreatePlan& plan, OrderedHashing& hashing, ChecksumKind kind, CreateObserver& observer,
                            listfile::ListWriter& list, const std::stop_token& stop) {
  const LeftOutTexts reasons;
  ProgressDisplay display(
      observer, observer, hashing,
      static_cast<std::int64_t>(plan.size()));
  EntriesWritten written;
  for (std::size_t index = 0; index < plan.size(); ++index) {
    std::optional<LeftOut> reason = plan.reason(index);
    std::string checksum;
    if (stop.stop_requested()) {
      written.cancelled = true;
      return written;
    }
    std::string line = plan.listedName(index);
    if (reason) {
      display.skipped(line);
    } else {
      HashedFile hashed = display.await(line);
      if (hashed.cancelled) {
        written.cancelled = true;
        return written;
      }
      reason = leftOutFor(hashed.status);
      if (const engines::Digest* digest = hashed.digests.of(kind)) checksum = digest->toHex();
    }
    if (reason) {
      observer.noteLine(line.append(reasons[*reason]));
      ++written.leftOut;
      continue;
    }
    observer.memoLine(line + " " + checksum);
    list.writeEntry(line, checksum);
    // A full disk fails every later write too: no need to read on.
    if (list.failed()) return written;
  }
  display.finished();
  return written;
}

// The pass's steps, in the order run() takes them.
class CreatePass {
 public:
  CreatePass(const CreateSettings& settings, CreateObserver& observer, std::stop_token stop)
      : settings_(settings),
        observer_(observer),
        stop_(std::move(stop)),
        folderPath_(platform::withTrailingSlash(settings.folder)),
        elsewhere_(settings.toStandardOutput || !settings.outputPath.empty()),
        listName_(elsewhere_ ? settings.outputPath : listfile::ListFileName(namingFolder(folderPath_), settings.kind)),
        listPath_(elsewhere_ ? settings.outputPath : folderPath_ + listName_),
        separator_(settings.nameSeparator.value_or(listfile::DialectOf(settings.kind).folderSeparator)) {}

  CreateOutcome run() {
    if (platform::fileKind(folderPath_.empty() ? "." : folderPath_) != platform::FileKind::Directory) {
      return folderMissing();
    }
    if (!mayWriteList()) return CreateOutcome::Declined;
    observer_.clearResultTexts();
    const std::unique_ptr<listfile::ListWriter> list = openList();
    if (list->failed()) return writeFailed(*list);
    writeHeader(*list);
    const auto started = std::chrono::steady_clock::now();
    const std::optional<EntriesWritten> written = listFiles(*list);
    if (!written) return folderMissing();
    if (written->cancelled) return cancelled();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    // Every file may be read and the list still not in place: a stop that
    // comes before the rename wins, however late.
    if (!list->commit(stop_)) return list->error() == ECANCELED ? cancelled() : writeFailed(*list);
    observer_.timeText(timeText(static_cast<double>(elapsed.count()) / 1000.0));
    observer_.completionText(translated(texts::ChecksumFinish));
    return written->leftOut == 0 ? CreateOutcome::Written : CreateOutcome::WrittenWithOmissions;
  }

 private:
  CreateOutcome cancelled() {
    observer_.noteLine(translated(texts::PassCancelled));
    return CreateOutcome::Cancelled;
  }

  CreateOutcome folderMissing() {
    observer_.errorMessage(formatTemplate(translated(texts::FolderMissing), {settings_.folder}));
    return CreateOutcome::FolderMissing;
  }

  CreateOutcome writeFailed(const listfile::ListWriter& list) {
    const std::string reason = std::generic_category().message(list.error());
    observer_.errorMessage(formatTemplate(translated(texts::ListWriteFailed), {listName_, reason}));
    return CreateOutcome::WriteFailed;
  }

  // False when the user does not want an existing list replaced. Only a file
  // is worth the question: a folder, FIFO or device in the way fails later
  // with the system's reason.
  bool mayWriteList() {
    if (settings_.toStandardOutput || settings_.replaceWithoutAsking) return true;
    if (platform::fileKind(listPath_) != platform::FileKind::Regular) return true;
    return observer_.confirmOverwrite(formatTemplate(translated(texts::WinCrcExist), {listName_}));
  }

  std::unique_ptr<listfile::ListWriter> openList() const {
    if (settings_.toStandardOutput) {
      return std::make_unique<listfile::ListWriter>(settings_.kind, listfile::ListWriter::Descriptor{STDOUT_FILENO});
    }
    return std::make_unique<listfile::ListWriter>(settings_.kind, listPath_);
  }

  void writeHeader(listfile::ListWriter& list) {
    listfile::ListHeader header{settings_.creator, settings_.comment, listfile::DateStamp()};
    if (listfile::DialectOf(settings_.kind).header == listfile::HeaderStyle::None) {
      if (!header.creator.empty() || !header.comment.empty()) observer_.noteLine(translated(texts::NoHeaderFields));
      return;
    }
    const bool creatorHadBreaks = lineBreaksToBlanks(header.creator);
    if (lineBreaksToBlanks(header.comment) || creatorHadBreaks) {
      observer_.noteLine(translated(texts::LineBreaksAsBlanks));
    }
    list.writeHeader(header);
  }

  // Walks the folder and hashes its files as the walk finds them, then
  // writes their entries in walk order. Nothing when the folder cannot be
  // opened.
  std::optional<EntriesWritten> listFiles(listfile::ListWriter& list) {
    CreatePlan plan(folderPath_, separator_);
    OrderedHashing hashing(settings_.jobs, platform::onSpinningDisk(folderPath_), stop_,
                           [&plan](std::size_t file, std::string& path) { plan.pathOfFile(file, path); });
    const std::string listInWalk = pathInWalk(folderPath_, listPath_);
    const auto planOne = [&](const FoundPath& item) {
      const auto line = planLine(item, folderPath_, listInWalk, settings_.kind);
      if (!line) return;
      plan.add(line->first, line->second);
      if (!line->second) hashing.add(settings_.kind);
    };
    if (!CollectFiles(folderPath_, settings_.includeSubfolders, planOne, stop_)) return std::nullopt;
    return writeEntries(plan, hashing, settings_.kind, observer_, list, stop_);
  }

  const CreateSettings& settings_;
  CreateObserver& observer_;
  std::stop_token stop_;
  std::string folderPath_;
  bool elsewhere_;
  std::string listName_;
  std::string listPath_;
  char separator_;
};

}  // namespace

CreateOutcome runCreatePass(const CreateSettings& settings, CreateObserver& observer, std::stop_token stop) {
  return CreatePass(settings, observer, std::move(stop)).run();
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
