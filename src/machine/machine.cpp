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

// Observers already attached stay: a test may watch a whole run.
void start(Machine& machine, std::unique_ptr<Backend> backend) {
  MachineState& p = machine.state();
  p.backend.reset();
  p.quitHandler = nullptr;
  p.screenOpen = false;
  p.workPage = p.visiblePage = 0;
  p.lockDepth = 0;
  p.pageBlank[0] = p.pageBlank[1] = false;
  p.visibleChanged = false;
  p.drawInto = nullptr;
  std::fill(std::begin(p.held), std::end(p.held), false);
  p.keyQueue.clear();
  p.virtualMs = 0;
  p.frames = 0;
  p.sound = SoundState{};
  p.activity = Activity::Starting;
  p.closeButton = CloseButton::Ignore;
  p.quitRequest.reset();
  p.backend = std::move(backend);
  if (p.backend) p.backend->connect(p.deviceInput);
}

void stop(Machine& machine) {
  MachineState& p = machine.state();
  p.backend.reset();
  p.observers.clear();
  p.quitHandler = nullptr;
  p.screenOpen = false;
}

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
  if (p.backend) p.backend->activityChanged(activity);
  machine::tellObservers(p, [&](machine::Observer& o) { o.activityChanged(activity); });
}

void tellHighScore(Machine& machine, int32_t highScore) {
  MachineState& p = machine.state();
  if (p.backend) p.backend->highScoreChanged(highScore);
  machine::tellObservers(p, [&](machine::Observer& o) { o.highScoreChanged(highScore); });
}
