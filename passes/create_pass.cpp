#include "passes/create_pass.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engines/crc32.h"
#include "engines/md5.h"
#include "engines/whole_file.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/date_stamp.h"
#include "listfile/list_writer.h"
#include "passes/collect_files.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

using engines::ChecksumKind;
using engines::FileReadStatus;
using language::formatTemplate;
using language::lookup;

bool isSfvFile(std::string_view path) { return platform::endsWithIgnoringAsciiCase(path, listfile::kSfvExtension); }

// A name the list would not give back unchanged when read: a line break or a
// backslash inside a folder or file name, or a first character that makes the
// line a comment or the end of an SFV list, or that the MD5 reader drops.
bool isListable(std::string_view relativePath, ChecksumKind kind) {
  if (relativePath.find_first_of("\n\r\\") != std::string_view::npos) return false;
  const char first = relativePath.front();
  if (kind == ChecksumKind::Crc32) return first != ';' && first != '#' && first != '\x1a';
  return first != ' ' && first != '*';
}

// One pass's list: written under a temporary name beside the list and moved
// over it only when complete, so a failed pass leaves any old list as it was.
class PendingList {
 public:
  PendingList(const std::string& listPath, const listfile::ListHeader& header)
      : listPath_(listPath), temporaryPath_(temporaryNameOf(listPath)), writer_(temporaryPath_) {
    writer_.writeHeader(header);
  }
  ~PendingList() {
    if (!committed_) {
      writer_.close();
      platform::removeFile(temporaryPath_);
    }
  }
  PendingList(const PendingList&) = delete;
  PendingList& operator=(const PendingList&) = delete;

  listfile::ListWriter& writer() { return writer_; }
  // The list never lists itself, nor its temporary file.
  bool isOwnFile(const std::string& path) const { return path == listPath_ || path == temporaryPath_; }
  bool commit() {
    committed_ = writer_.close() && platform::replaceFile(temporaryPath_, listPath_);
    return committed_;
  }

 private:
  // "folder/.Music.sfv.partial" for "folder/Music.sfv": hidden, and never an
  // ".sfv" file itself.
  static std::string temporaryNameOf(const std::string& listPath) {
    const std::size_t nameStart = listPath.rfind('/') + 1;  // npos + 1 is 0
    return listPath.substr(0, nameStart) + "." + listPath.substr(nameStart) + ".partial";
  }

  std::string listPath_;
  std::string temporaryPath_;
  listfile::ListWriter writer_;
  bool committed_ = false;
};

// The checksum text of one file, or the status that keeps it out of the list.
class FileChecksummer {
 public:
  FileChecksummer(ChecksumKind kind, engines::ProgressSink& progress) : kind_(kind), progress_(progress) {}

  FileReadStatus compute(const std::string& path, std::string& text) {
    if (kind_ == ChecksumKind::Md5) return take(engines::MD5File(path, &progress_), text);
    // Small files are read whole into one reused buffer; large ones, or any
    // the loader cannot take, in blocks with progress shown.
    if (const auto bytes = loader_.load(path)) {
      text = engines::StreamCrc32(*bytes).toHex();
      return FileReadStatus::Ok;
    }
    return take(engines::FileCrc32WithProgress(path, progress_), text);
  }

 private:
  template <typename Value>
  static FileReadStatus take(const engines::FileChecksum<Value>& result, std::string& text) {
    if (result.ok()) text = result.value.toHex();
    return result.status;
  }

  ChecksumKind kind_;
  engines::ProgressSink& progress_;
  engines::WholeFileLoader loader_;
};

// Writes the entry of every collected file that belongs in the list, with a
// memo line for each file listed or left out.
void writeEntries(const std::vector<std::string>& files, const std::string& folderPath, ChecksumKind kind,
                  CreateObserver& observer, PendingList& list) {
  FileChecksummer checksummer(kind, observer);
  const std::string notListable = " - " + lookup(language::texts::NameNotListable);
  const std::string unreadable = " - " + lookup(language::texts::FileUnreadable);
  std::string name;
  std::string checksum;
  std::string line;
  for (const std::string& path : files) {
    if (isSfvFile(path) || list.isOwnFile(path)) continue;
    name.assign(path, folderPath.size());
    line = name;
    if (!isListable(name, kind)) {
      observer.memoLine(line.append(notListable));
      continue;
    }
    std::replace(name.begin(), name.end(), '/', listfile::kNameSeparator);
    line = name;
    if (checksummer.compute(path, checksum) != FileReadStatus::Ok) {
      observer.memoLine(line.append(unreadable));
      continue;
    }
    observer.memoLine(line.append(" ").append(checksum));
    list.writer().writeEntry(kind, name, checksum);
    // A full disk fails every later write too: no need to read on.
    if (list.writer().failed()) return;
  }
}

}  // namespace

CreateOutcome runCreatePass(const CreateSettings& settings, CreateObserver& observer) {
  const std::string folderPath = platform::withTrailingSlash(settings.folder);
  if (platform::fileKind(folderPath.empty() ? "." : folderPath) != platform::FileKind::Directory) {
    observer.errorMessage(formatTemplate(lookup(language::texts::FolderMissing), {settings.folder}));
    return CreateOutcome::FolderMissing;
  }
  const std::string listName = ListFileName(folderPath, settings.kind);
  const std::string listPath = folderPath + listName;
  if (platform::fileKind(listPath) != platform::FileKind::Missing &&
      !observer.confirmOverwrite(formatTemplate(lookup(language::texts::WinCrcExist), {listName}))) {
    return CreateOutcome::Declined;
  }
  observer.clearResultTexts();

  const auto writeFailed = [&] {
    observer.errorMessage(formatTemplate(lookup(language::texts::ListWriteFailed), {listName}));
    return CreateOutcome::WriteFailed;
  };
  PendingList list(listPath, {settings.kind, settings.creator, settings.comment, listfile::DateStamp()});
  if (list.writer().failed()) return writeFailed();

  const auto started = std::chrono::steady_clock::now();
  std::vector<std::string> files;
  CollectFiles(folderPath, files, settings.includeSubfolders);

  writeEntries(files, folderPath, settings.kind, observer, list);
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);

  if (!list.commit()) return writeFailed();
  observer.timeText(timeText(static_cast<double>(elapsed.count()) / 1000.0));
  observer.completionText(lookup(language::texts::ChecksumFinish));
  return CreateOutcome::Written;
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
