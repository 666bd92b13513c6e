#pragma once
// A fresh folder below the system's temporary folder, removed with everything
// in it when the test ends.

#include <string>

namespace zelk::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending in '/'.
  const std::string& path() const { return path_; }

  // Writes `contents` to the relative `name`, creating parent folders.
  std::string write(const std::string& name, const std::string& contents) const;
  // Creates the relative folder `name` with its parents.
  std::string makeFolder(const std::string& name) const;
  // The whole contents of the relative `name`; empty when it cannot be read.
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace zelk::testing
