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
#include "listfile/entry_style.h"
#include "listfile/list_dialect.h"
#include "listfile/list_naming.h"
#include "listfile/list_writer.h"
#include "passes/collect_files.h"
#include "passes/list_update.h"
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
    for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = translated(reasons[i]);
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

// What the walk met at `item`, as a line of the plan of a list written in
// `style`: the path below the folder and why it is left out, if it is.
// Nothing for what is never listed and never worth a note
// (listfile::isNeverListed) and the list being replaced.
std::optional<std::pair<std::string_view, std::optional<LeftOut>>> planLine(const FoundPath& item,
                                                                           const std::string& folderPath,
                                                                           const std::string& listPath,
                                                                           const listfile::EntryStyle& style) {
  const std::string_view fileName = fileNameOf(item.path);
  if (!isFolderKind(item.kind) && (listfile::isNeverListed(style.kind, fileName) || item.path == listPath)) {
    return std::nullopt;
  }
  const std::string_view below = std::string_view(item.path).substr(folderPath.size());
  if (item.kind == FoundKind::File && !listfile::canHoldName(style, below)) return std::pair{below, LeftOut::NotListable};
  return std::pair{below, item.kind == FoundKind::File ? std::nullopt : std::optional(leftOutFor(item.kind))};
}

struct EntriesWritten {
  long long listed = 0;
  long long leftOut = 0;
  bool cancelled = false;
};

// Writes the entry of every planned file that could be read, with a memo line
// for each file listed and for each file or folder left out.
EntriesWritten writeEntries(const CreatePlan& plan, OrderedHashing& hashing, ChecksumKind kind, CreateObserver& observer,
                            listfile::ListWriter& list, const std::stop_token& stop) {
  const LeftOutTexts reasons;
  ProgressDisplay display(observer, observer, hashing, static_cast<std::int64_t>(plan.size()));
  EntriesWritten written;
  for (std::size_t index = 0; index < plan.size(); ++index) {
    std::optional<LeftOut> reason = plan.reason(index);
    std::string checksum;
    if (stop.stop_requested()) {
      written.cancelled = true;
      return written;
    }
    const std::string name = plan.listedName(index);
    if (reason) {
      display.skipped(name);
    } else {
      HashedFile hashed = display.await(name);
      if (hashed.cancelled) {
        written.cancelled = true;
        return written;
      }
      reason = leftOutFor(hashed.status);
      if (const engines::Digest* digest = hashed.digests.of(kind)) checksum = digest->toHex();
    }
    if (reason) {
      observer.fileDone({name, {}, reasons[*reason], name + " - " + reasons[*reason]});
      ++written.leftOut;
      continue;
    }
    observer.fileDone({name, checksum, {}, name + " " + checksum});
    list.writeEntry(name, checksum);
    ++written.listed;
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
        listName_(elsewhere_ ? settings.outputPath : folderListName()),
        listPath_(elsewhere_ ? settings.outputPath : folderPath_ + listName_),
        style_(listfile::DialectStyle(settings.kind)) {
    style_.folderSeparator = settings.nameSeparator.value_or(style_.folderSeparator);
  }

  CreateOutcome run() {
    if (platform::fileKind(folderPath_.empty() ? "." : folderPath_) != platform::FileKind::Directory) {
      return folderMissing();
    }
    if (settings_.update && platform::fileKind(listPath_) == platform::FileKind::Regular) return update();
    if (!mayWriteList()) return CreateOutcome::Declined;
    observer_.clearResultTexts();
    const std::unique_ptr<listfile::ListWriter> list = openList();
    if (list->failed()) return writeFailed(*list);
    writeHeader(*list);
    return listAndCommit(*list, nullptr);
  }

 private:
  // The folder's own list: the one to update when there is one, else the
  // one named after the folder.
  std::string folderListName() const {
    if (settings_.update) {
      std::string existing = listfile::findListOfKind(folderPath_.empty() ? "." : folderPath_, settings_.kind);
      if (!existing.empty()) return existing;
    }
    return listfile::ListFileName(namingFolder(folderPath_), settings_.kind);
  }

  // Keeps the list, says which entries have lost their files, and adds the
  // files it does not name.
  CreateOutcome update() {
    const platform::FileContents old = platform::readWholeFile(listPath_);
    if (old.status != FileReadStatus::Ok) return listUnreadable(old);
    const KeptList kept = keepList(folderPath_, listName_, old.bytes, settings_.kind, settings_.prune);
    const std::string goneText = translated(settings_.prune ? texts::EntryRemoved : texts::EntryKept);
    for (const std::string& name : kept.goneNames) observer_.entryGone({name, settings_.prune, name + " - " + goneText});
    observer_.clearResultTexts();
    listfile::ListWriter list(settings_.kind, listPath_);
    if (list.failed()) return writeFailed(list);
    list.writeVerbatim(kept.head);
    const char separator = kept.toldFolderSeparator ? kept.style.folderSeparator : style_.folderSeparator;
    style_ = kept.style;
    style_.folderSeparator = separator;
    style_.escapesNames = style_.escapesNames && separator == '/';
    list.setEntryStyle(style_);
    return listAndCommit(list, &kept);
  }

  // Lists the folder's files into `list` and puts it in place; `kept` is
  // what an update keeps of the list, null for a new one.
  CreateOutcome listAndCommit(listfile::ListWriter& list, const KeptList* kept) {
    const auto started = std::chrono::steady_clock::now();
    const std::optional<EntriesWritten> written = listFiles(list, kept);
    if (!written) return folderMissing();
    if (written->cancelled) return cancelled();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (kept != nullptr) list.writeVerbatim(kept->tail);
    const bool unchanged =
        kept != nullptr && written->listed == 0 && (!settings_.prune || kept->goneNames.empty());
    // Every file may be read and the list still not in place: a stop that
    // comes before the rename wins, however late.
    if (!unchanged && !list.commit(stop_)) return list.error() == ECANCELED ? cancelled() : writeFailed(list);
    observer_.timeText(timeText(static_cast<double>(elapsed.count()) / 1000.0));
    observer_.completionText(translated(texts::ChecksumFinish));
    return written->leftOut == 0 ? CreateOutcome::Written : CreateOutcome::WrittenWithOmissions;
  }

  CreateOutcome cancelled() {
    observer_.noteLine(translated(texts::PassCancelled));
    return CreateOutcome::Cancelled;
  }

  CreateOutcome listUnreadable(const platform::FileContents& contents) {
    const std::string reason = contents.status == FileReadStatus::Changed
                                   ? "it changed while it was read"
                                   : std::generic_category().message(contents.error != 0 ? contents.error : EIO);
    observer_.errorMessage(formatTemplate(translated(texts::ListUnreadable), {listName_, reason}));
    return CreateOutcome::ListUnreadable;
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
  // writes their entries in walk order: of every file, or of those `kept`
  // does not name. Nothing when the folder cannot be opened.
  std::optional<EntriesWritten> listFiles(listfile::ListWriter& list, const KeptList* kept) {
    CreatePlan plan(folderPath_, style_.folderSeparator);
    OrderedHashing hashing(settings_.jobs, platform::onSpinningDisk(folderPath_), stop_,
                           [&plan](std::size_t file, std::string& path) { plan.pathOfFile(file, path); });
    const std::string listInWalk = pathInWalk(folderPath_, listPath_);
    const auto planOne = [&](const FoundPath& item) {
      if (kept != nullptr && isKept(item, *kept)) return;
      const auto line = planLine(item, folderPath_, listInWalk, style_);
      if (!line) return;
      plan.add(line->first, line->second);
      if (!line->second) hashing.add(settings_.kind);
    };
    if (!CollectFiles(folderPath_, settings_.includeSubfolders, planOne, stop_)) return std::nullopt;
    return writeEntries(plan, hashing, settings_.kind, observer_, list, stop_);
  }

  // Whether an update leaves what the walk met at `item` alone: a file the
  // list names, or one that belongs to checking (listfile::isNeverReported).
  bool isKept(const FoundPath& item, const KeptList& kept) const {
    if (isFolderKind(item.kind)) return false;
    return listfile::isNeverReported(fileNameOf(item.path)) ||
           kept.listedPaths.contains(item.path.substr(folderPath_.size()));
  }

  const CreateSettings& settings_;
  CreateObserver& observer_;
  std::stop_token stop_;
  std::string folderPath_;
  bool elsewhere_;
  std::string listName_;
  std::string listPath_;
  listfile::EntryStyle style_;  // of the entries written
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
