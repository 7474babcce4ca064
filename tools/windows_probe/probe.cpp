// Checks that a Windows build links and runs: SDL2, SDL2_mixer, the C++
// runtime's threads, standard output, standard error and the exit code.
//
//   windows_probe SAMPLE.WAV         the mixer on SDL's dummy audio driver:
//                                    loads the sample from the file and from
//                                    memory, plays it to the end, prints "OK"
//   windows_probe --window MS [BMP]  a 320x240 window (scaled 2x) with four
//                                    coloured bars, read back and checked,
//                                    kept up MS milliseconds; the picture
//                                    read back is saved as BMP if given
//   windows_probe --exit N           prints a line on each stream, returns N
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr int SCALE = 2;
constexpr Uint32 BAR_COLOURS[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};

int fail(const char* what) {
  std::fprintf(stderr, "windows_probe: %s: %s\n", what, SDL_GetError());
  return 1;
}

// A worker thread hands a sum back through a mutex and a condition variable:
// the POSIX-threads flavour of the runtime (winpthread) must be linked in.
bool threadsWork() {
  std::mutex lock;
  std::condition_variable done;
  long long sum = -1;
  std::thread worker([&] {
    std::vector<int> values(1000);
    std::iota(values.begin(), values.end(), 1);
    long long total = std::accumulate(values.begin(), values.end(), 0LL);
    std::lock_guard<std::mutex> guard(lock);
    sum = total;
    done.notify_one();
  });
  {
    std::unique_lock<std::mutex> wait(lock);
    done.wait(wait, [&] { return sum >= 0; });
  }
  worker.join();
  return sum == 500500;
}

std::vector<Uint8> readFile(const char* path) {
  std::vector<Uint8> bytes;
  SDL_RWops* file = SDL_RWFromFile(path, "rb");
  if (file == nullptr) return bytes;
  Sint64 size = SDL_RWsize(file);
  if (size > 0) {
    bytes.resize(static_cast<size_t>(size));
    if (SDL_RWread(file, bytes.data(), 1, bytes.size()) != bytes.size()) bytes.clear();
  }
  SDL_RWclose(file);
  return bytes;
}

int mixer(const char* path) {
  if (SDL_getenv("SDL_AUDIODRIVER") == nullptr) SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_AUDIO) != 0) return fail("SDL_Init");
  std::printf("audio driver: %s\n", SDL_GetCurrentAudioDriver());
  const SDL_version* linked = Mix_Linked_Version();
  std::printf("SDL2_mixer %d.%d.%d\n", linked->major, linked->minor, linked->patch);
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) return fail("Mix_OpenAudio");
  int rate = 0;
  Uint16 format = 0;
  int channels = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  std::printf("mixer: %d Hz, format 0x%04x, %d channels\n", rate, format, channels);

  std::vector<Uint8> bytes = readFile(path);
  if (bytes.empty()) return fail("reading the sample");
  Mix_Chunk* fromFile = Mix_LoadWAV(path);
  if (fromFile == nullptr) return fail("Mix_LoadWAV");
  Mix_Chunk* fromMemory = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (fromMemory == nullptr) return fail("Mix_LoadWAV_RW");
  std::printf("%s: %zu bytes in the file, %u bytes loaded from the file, %u from memory\n", path, bytes.size(),
              fromFile->alen, fromMemory->alen);
  if (fromFile->alen == 0 || fromFile->alen != fromMemory->alen ||
      std::memcmp(fromFile->abuf, fromMemory->abuf, fromFile->alen) != 0) {
    std::fprintf(stderr, "windows_probe: the two loads differ\n");
    return 1;
  }

  // The dummy device consumes samples in real time on SDL's audio thread.
  Uint32 bytesPerSecond = static_cast<Uint32>(rate * channels * SDL_AUDIO_BITSIZE(format) / 8);
  Uint32 expectedMs = fromFile->alen * 1000 / bytesPerSecond;
  Uint32 start = SDL_GetTicks();
  if (Mix_PlayChannel(0, fromFile, 0) < 0) return fail("Mix_PlayChannel");
  while (Mix_Playing(0) != 0 && SDL_GetTicks() - start < expectedMs + 2000) SDL_Delay(5);
  Uint32 playedMs = SDL_GetTicks() - start;
  std::printf("played in %u ms (length %u ms)\n", playedMs, expectedMs);
  if (Mix_Playing(0) != 0) {
    std::fprintf(stderr, "windows_probe: the sample never finished\n");
    return 1;
  }
  Mix_FreeChunk(fromMemory);
  Mix_FreeChunk(fromFile);
  Mix_CloseAudio();
  SDL_Quit();
  return 0;
}

int window(int stayMs, const char* bmpPath) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return fail("SDL_Init");
  std::printf("video driver: %s\n", SDL_GetCurrentVideoDriver());
  SDL_Window* win = SDL_CreateWindow("windows_probe", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WIDTH * SCALE,
                                     HEIGHT * SCALE, SDL_WINDOW_SHOWN);
  if (win == nullptr) return fail("SDL_CreateWindow");
  SDL_Renderer* renderer = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) return fail("SDL_CreateRenderer");
  SDL_RenderSetLogicalSize(renderer, WIDTH, HEIGHT);
  SDL_RendererInfo info;
  SDL_GetRendererInfo(renderer, &info);
  std::printf("renderer: %s\n", info.name);

  auto draw = [&] {
    for (int bar = 0; bar < 4; ++bar) {
      Uint32 c = BAR_COLOURS[bar];
      SDL_SetRenderDrawColor(renderer, (c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff, 0xff);
      SDL_Rect rect = {bar * WIDTH / 4, 0, WIDTH / 4, HEIGHT};
      SDL_RenderFillRect(renderer, &rect);
    }
  };
  draw();
  std::vector<Uint32> pixels(static_cast<size_t>(WIDTH * SCALE * HEIGHT * SCALE));
  if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), WIDTH * SCALE * 4) != 0) {
    return fail("SDL_RenderReadPixels");
  }
  for (int bar = 0; bar < 4; ++bar) {
    int x = (bar * WIDTH / 4 + WIDTH / 8) * SCALE;
    Uint32 got = pixels[static_cast<size_t>(HEIGHT * SCALE / 2 * WIDTH * SCALE + x)] & 0xffffff;
    std::printf("bar %d at x=%d: %06x\n", bar, x, got);
    if (got != BAR_COLOURS[bar]) {
      std::fprintf(stderr, "windows_probe: bar %d reads back %06x, drew %06x\n", bar, got, BAR_COLOURS[bar]);
      return 1;
    }
  }
  if (bmpPath != nullptr) {
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), WIDTH * SCALE, HEIGHT * SCALE, 32,
                                                           WIDTH * SCALE * 4, SDL_PIXELFORMAT_RGB888);
    if (shot == nullptr || SDL_SaveBMP(shot, bmpPath) != 0) return fail("SDL_SaveBMP");
    SDL_FreeSurface(shot);
  }
  SDL_RenderPresent(renderer);
  std::printf("shown\n");
  std::fflush(stdout);
  int frames = 0;
  Uint32 start = SDL_GetTicks();
  while (SDL_GetTicks() - start < static_cast<Uint32>(stayMs)) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    draw();
    SDL_RenderPresent(renderer);
    ++frames;
    SDL_Delay(16);
  }
  std::printf("%d frames in %u ms\n", frames, SDL_GetTicks() - start);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(win);
  SDL_Quit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SDL_SetMainReady();
  if (argc == 3 && std::strcmp(argv[1], "--exit") == 0) {
    std::printf("to stdout\n");
    std::fprintf(stderr, "to stderr\n");
    return std::atoi(argv[2]);
  }
  SDL_version linked;
  SDL_GetVersion(&linked);
  std::printf("SDL %d.%d.%d, platform %s\n", linked.major, linked.minor, linked.patch, SDL_GetPlatform());
  if (!threadsWork()) {
    std::fprintf(stderr, "windows_probe: the worker thread gave a wrong sum\n");
    return 1;
  }
  std::printf("std::thread, std::mutex and std::condition_variable work\n");
  int status = 2;
  if (argc == 2 && argv[1][0] != '-') status = mixer(argv[1]);
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--window") == 0) {
    status = window(std::atoi(argv[2]), argc == 4 ? argv[3] : nullptr);
  }
  if (status == 2) std::fprintf(stderr, "usage: windows_probe SAMPLE.WAV | --window MS [BMP] | --exit N\n");
  if (status == 0) std::printf("OK\n");
  std::fflush(stdout);
  return status;
}
