#pragma once
// How far a pass has come over all its files, for the overall progress a
// front end shows besides the bar of the file being read.

#include <cstdint>
#include <string>

namespace zelk::passes {

struct PassProgress {
  std::int64_t bytesDone = 0;
  std::int64_t bytesTotal = 0;  // taken when first reported: bytes read of the files done, sizes of the rest
  std::int64_t filesDone = 0;
  std::int64_t filesTotal = 0;
  double bytesPerSecond = 0;  // 0 until measurable
  double secondsLeft = -1;    // -1 until measurable
  std::string currentFile;    // name as listed; front ends show it through displayText
};

// What a front end shows of the whole pass.
class PassProgressObserver {
 public:
  virtual ~PassProgressObserver() = default;
  // The overall progress, about ten times a second and once when the last
  // file is done.
  virtual void passProgress([[maybe_unused]] const PassProgress& progress) {}
  // False when none of it is shown: the pass then spares itself the total,
  // which asks the folder for the size of every file not read yet.
  virtual bool showsPassProgress() const { return true; }
};

// How long a pass still takes, as people read a clock: "0:05", "12:34",
// "1:02:03".
std::string timeLeftText(double seconds);

}  // namespace zelk::passes
