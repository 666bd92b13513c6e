#include "diag/module_list.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace zelk::diag {
namespace {

// Width of "<address> ", and of the blanks that stand for it.
constexpr std::size_t kBaseWidth = static_cast<std::size_t>(kAddressDigits) + 3;

std::string_view fileNameOf(std::string_view path) { return path.substr(path.rfind('/') + 1); }

// Follows symbolic links of the last path component, as a library's name
// usually is one ("libQt6Core.so.6" -> "libQt6Core.so.6.4.2"), with readlink
// alone so that a signal handler may do it.
void findRealName(ModuleInfo& module) {
  char current[sizeof module.path];
  copyText(current, module.path);
  const int savedErrno = errno;
  for (int hop = 0; hop < 16; ++hop) {
    char target[sizeof current];
    const ssize_t length = ::readlink(current, target, sizeof target - 1);
    if (length <= 0) {
      if (errno == EINVAL) copyText(module.realName, fileNameOf(current));
      break;
    }
    const std::string_view link(target, static_cast<std::size_t>(length));
    if (link.front() == '/') {
      copyText(current, link);
    } else {
      const std::string_view folder(current, std::string_view(current).rfind('/') + 1);
      LineBuilder joined;
      copyText(current, joined.text(folder).text(link).view());
    }
  }
  errno = savedErrno;
}

void readBuildId(const dl_phdr_info& info, const ElfW(Phdr)& header, ModuleInfo& module) {
  const std::size_t align = header.p_align > 4 ? header.p_align : 4;
  const auto padded = [align](std::size_t size) { return (size + align - 1) / align * align; };
  const auto* note = reinterpret_cast<const std::uint8_t*>(info.dlpi_addr + header.p_vaddr);
  const std::uint8_t* end = note + header.p_memsz;
  while (note + sizeof(ElfW(Nhdr)) <= end) {
    const auto* entry = reinterpret_cast<const ElfW(Nhdr)*>(note);
    const std::uint8_t* name = note + sizeof(ElfW(Nhdr));
    const std::uint8_t* description = name + padded(entry->n_namesz);
    if (description + entry->n_descsz > end) return;
    if (entry->n_type == NT_GNU_BUILD_ID && entry->n_namesz == 4 &&
        std::string_view(reinterpret_cast<const char*>(name), 4) == std::string_view("GNU", 4) &&
        entry->n_descsz <= sizeof module.buildId) {
      for (std::size_t index = 0; index < entry->n_descsz; ++index) module.buildId[index] = description[index];
      module.buildIdSize = entry->n_descsz;
      return;
    }
    note = description + padded(entry->n_descsz);
  }
}

struct Collection {
  ModuleInfo* modules;
  std::size_t capacity;
  std::size_t count;
};

int addModule(dl_phdr_info* info, std::size_t, void* data) {
  auto& collection = *static_cast<Collection*>(data);
  if (collection.count == collection.capacity) return 1;
  ModuleInfo& module = collection.modules[collection.count++];
  module = ModuleInfo();
  module.bias = info->dlpi_addr;
  bool firstSegment = true;
  for (ElfW(Half) index = 0; index < info->dlpi_phnum; ++index) {
    const ElfW(Phdr)& header = info->dlpi_phdr[index];
    if (header.p_type == PT_LOAD && (firstSegment || header.p_vaddr < module.preferredAddress)) {
      module.preferredAddress = header.p_vaddr;
      firstSegment = false;
    }
    if (header.p_type == PT_NOTE && module.buildIdSize == 0) readBuildId(*info, header, module);
  }
  module.loadAddress = module.bias + module.preferredAddress;
  const bool program = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
  if (program) {
    const ssize_t length = ::readlink("/proc/self/exe", module.path, sizeof module.path - 1);
    module.path[length > 0 ? length : 0] = '\0';
  } else {
    copyText(module.path, info->dlpi_name);
  }
  findRealName(module);
  return 0;
}

// Build IDs are written in lower case, as every tool and the
// /usr/lib/debug/.build-id/ folders spell them.
void appendBuildId(const ModuleInfo& module, LineBuilder& line) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  for (std::size_t index = 0; index < module.buildIdSize; ++index) {
    line.text(kDigits.substr(module.buildId[index] >> 4, 1)).text(kDigits.substr(module.buildId[index] & 0xF, 1));
  }
}

}  // namespace

std::size_t collectModules(ModuleInfo* modules, std::size_t capacity) {
  Collection collection{modules, capacity, 0};
  ::dl_iterate_phdr(addModule, &collection);
  for (std::size_t sorted = 1; sorted < collection.count; ++sorted) {
    for (std::size_t index = sorted; index > 0 && modules[index].loadAddress < modules[index - 1].loadAddress; --index) {
      std::swap(modules[index], modules[index - 1]);
    }
  }
  return collection.count;
}

std::string_view versionOfFileName(std::string_view fileName) {
  const std::size_t marker = fileName.rfind(".so.");
  if (marker != std::string_view::npos) return fileName.substr(marker + 4);
  // Some libraries carry it before the suffix instead: "libdw-0.188.so".
  if (!fileName.ends_with(".so")) return {};
  fileName.remove_suffix(3);
  const std::size_t dash = fileName.rfind('-');
  if (dash == std::string_view::npos || dash + 1 == fileName.size()) return {};
  const std::string_view version = fileName.substr(dash + 1);
  return version.find_first_not_of("0123456789.") == std::string_view::npos ? version : std::string_view();
}

const ModuleInfo* moduleAt(const ModuleInfo* modules, std::size_t count, std::uintptr_t address) {
  const ModuleInfo* found = nullptr;
  for (std::size_t index = 0; index < count && modules[index].loadAddress <= address; ++index) found = &modules[index];
  return found;
}

void writeModuleLines(const ModuleInfo* modules, std::size_t count, LineSink& sink) {
  for (std::size_t index = 0; index < count; ++index) {
    const ModuleInfo& module = modules[index];
    LineBuilder line;
    sink.line(line.address(module.loadAddress).text(" ").text(module.path).view());
    LineBuilder version;
    if (module.preferredAddress != 0 && module.preferredAddress != module.loadAddress) {
      version.text("<").hex(module.preferredAddress, kAddressDigits).text("> ");
    }
    version.padTo(kBaseWidth);
    const std::string_view number = versionOfFileName(module.realName);
    if (number.empty()) {
      version.text("(no version info)");
    } else {
      version.text(number).text(" - ").text(module.realName);
    }
    sink.line(version.view());
    if (module.buildIdSize == 0) continue;
    LineBuilder buildId;
    buildId.padTo(kBaseWidth).text("Build ID ");
    appendBuildId(module, buildId);
    sink.line(buildId.view());
  }
}

std::vector<std::string> moduleLines() {
  struct Lines : LineSink {
    std::vector<std::string> lines;
    void line(std::string_view text) override { lines.emplace_back(text); }
  } sink;
  const auto modules = std::make_unique<ModuleInfo[]>(kMaxModules);
  writeModuleLines(modules.get(), collectModules(modules.get(), kMaxModules), sink);
  return sink.lines;
}

}  // namespace zelk::diag
