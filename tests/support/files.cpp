#include "support/files.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

std::string readFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  fs::path file(path);
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string makeScratchFolder(const std::string& tag) {
  static std::atomic<int> counter{0};
  fs::path folder =
      fs::temp_directory_path() / ("quarvel-" + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

void copyGameData(const std::string& folder) {
  fs::path data = fs::path(QUARVEL_SOURCE_DIR) / "data";
  fs::copy(data / "graphics", fs::path(folder) / "graphics", fs::copy_options::recursive);
  fs::copy(data / "WAV", fs::path(folder) / "WAV", fs::copy_options::recursive);
}

void PrintTo(const SoundEvent& event, std::ostream* out) {
  *out << "{frame " << event.frame << ": " << event.sample << ", " << event.channel << ", " << event.volume << "}";
}

std::vector<SoundEvent> readSoundLog(const std::string& path) {
  std::vector<SoundEvent> events;
  std::istringstream in(readFileText(path));
  SoundEvent event;
  while (in >> event.frame >> event.ms >> event.sample >> event.channel >> event.volume) events.push_back(event);
  return events;
}

std::string jsonField(const std::string& json, const std::string& key) {
  const std::string name = "\"" + key + "\": ";
  size_t at = json.find(name);
  if (at == std::string::npos) return "";
  at += name.size();
  if (at < json.size() && json[at] == '"') {
    size_t end = json.find('"', at + 1);
    return end == std::string::npos ? "" : json.substr(at + 1, end - at - 1);
  }
  size_t end = json.find_first_of(",}", at);
  return json.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string randomBytes(uint32_t seed, size_t count) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}
