// Starting and stopping the machine, its observers, the data folder, and
// what the game tells the machine it is doing.
#include <algorithm>
#include <cstring>

#include "formats/bmp.h"
#include "machine/machine_state.h"

using machine::MachineState;

namespace {
constexpr size_t PICTURE_FILE_CAP = 8u << 20;
}  // namespace

namespace machine {

void setAudio(Machine& machine, Audio* audio) { machine.state().audio = audio; }

void attach(Machine& machine, Observer& observer) {
  std::vector<Observer*>& observers = machine.state().observers;
  if (std::find(observers.begin(), observers.end(), &observer) == observers.end()) observers.push_back(&observer);
}

void detach(Machine& machine, Observer& observer) {
  std::vector<Observer*>& observers = machine.state().observers;
  observers.erase(std::remove(observers.begin(), observers.end(), &observer), observers.end());
}

void setDataFolder(Machine& machine, const std::string& folder) { machine.state().dataFolder = folder; }

Activity activity(const Machine& machine) { return machine.state().activity; }
std::optional<int32_t> toldHighScore(const Machine& machine) { return machine.state().highScore; }

}  // namespace machine

Machine::Machine() : state_(std::make_unique<MachineState>()) {}
Machine::~Machine() = default;

std::string dataPath(const Machine& machine, const std::string& relative) {
  const std::string& folder = machine.state().dataFolder;
  return folder.empty() ? relative : folder + "/" + relative;
}

Outcome loadBitmap(const std::string& path, Image* image) {
  if (image == nullptr || image->bytesPerPixel != 4) return Outcome::failure("no image to load into");
  std::vector<uint8_t> file;
  os::FileRead read = os::readRegularFile(path, PICTURE_FILE_CAP, file);
  if (read != os::FileRead::Ok) return Outcome::failure(os::fileReadReason(read, PICTURE_FILE_CAP));
  Picture picture;
  Outcome decoded = decodeBmp(file.data(), file.size(), picture);
  if (!decoded.ok()) return decoded;
  if (picture.width != image->width || picture.height != image->height)
    return Outcome::failure("a picture of " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                            ", not " + std::to_string(image->width) + "x" + std::to_string(image->height));
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(imageRow(image, y), picture.pixels.data() + static_cast<size_t>(y) * picture.width,
                static_cast<size_t>(picture.width) * sizeof(uint32_t));
  return {};
}

void tellActivity(Machine& machine, Activity activity) {
  MachineState& p = machine.state();
  if (activity == p.activity) return;
  p.activity = activity;
  machine::tellObservers(p, [&](machine::Observer& o) { o.activityChanged(activity); });
}

void tellHighScore(Machine& machine, int32_t highScore) {
  MachineState& p = machine.state();
  p.highScore = highScore;
  machine::tellObservers(p, [&](machine::Observer& o) { o.highScoreChanged(highScore); });
}
