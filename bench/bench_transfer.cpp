// Whole transfers against qvbook-handset with the real pauses, and the CPU an idle open
// port costs. Each transfer reports the pauses its conversation prescribes and the
// interval time-outs that end the handset's replies, so the overhead beyond both shows.
//   build/bench/bench_transfer --benchmark_counters_tabular=true
// The emulator is looked up beside this program's build folder (or QVBOOK_HANDSET).
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "comm/TransferSession.h"

namespace {

constexpr int kHandsetIntervalMs = 20;  // the silence that ends each reply chunk

std::string HandsetProgram() {
  if (const char* path = std::getenv("QVBOOK_HANDSET")) return path;
  auto self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "tools" / "handset" / "qvbook-handset").string();
}

// The emulator for one benchmark; its first output line is the device.
class Handset {
 public:
  explicit Handset(const std::string& blockSize) {
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, STDERR_FILENO);
      std::string program = HandsetProgram();
      execl(program.c_str(), program.c_str(), "--block-size", blockSize.c_str(), nullptr);
      _exit(127);
    }
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') m_path.push_back(c);
    close(out[0]);
  }
  ~Handset() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  const std::string& Path() const { return m_path; }

 private:
  pid_t m_pid = -1;
  std::string m_path;
};

class Finished : public ITransferObserver {
 public:
  void OnCommNotify(int kind, int value) override {
    if (kind == NotifyProgress) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_result = static_cast<SessionResult>(value);
    m_cv.notify_all();
  }
  SessionResult Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_result.has_value(); });
    return *std::exchange(m_result, std::nullopt);
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::optional<SessionResult> m_result;
};

// The pauses a session's conversation prescribes, for `blocks` download or upload blocks.
double PrescribedPausesMs(const TransferTiming& t, bool download, int blocks) {
  double start = t.afterOpenMs + t.afterWaitNoticeMs + t.startToDeleteMs;
  double transfer = download ? double(blocks - 1) * t.beforeAckMs
                             : 2.0 * t.aroundPutFileMs + double(blocks) * t.afterBlockMs;
  return start + transfer + t.afterEndOfLinkMs;
}

// Replies the conversation waits for: AT, AT*S, FT_START, DEL, then one per block
// (plus PUT_FILE for an upload). An upload's block replies end within its own pause.
double IntervalWaitsMs(bool download, int blocks) {
  int replies = 4 + (download ? blocks : 1);
  return double(replies) * kHandsetIntervalMs;
}

void Transfer(benchmark::State& state, bool download) {
  int blockSize = static_cast<int>(state.range(0));
  Handset handset(std::to_string(blockSize));
  TransferTiming timing;
  int blocks = download ? (static_cast<int>(kImageSize) + blockSize - 1) / blockSize : 118;
  PhonebookImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
  for (auto _ : state) {
    CTransferSession session(timing);
    Finished finished;
    session.SetObserver(&finished);
    session.SetPortName(handset.Path());
    auto started = std::chrono::steady_clock::now();
    const SessionResult start = session.StartSession(download, [&](PhonebookImage& target) {
      target = image;
      return StoreResult::Ok;
    });
    const SessionResult result = start == SessionResult::Ok ? finished.Wait() : start;
    session.EndSession();
    auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    state.SetIterationTime(elapsed);
    if (result != SessionResult::Ok) state.SkipWithError("the transfer failed");
  }
  double pauses = PrescribedPausesMs(timing, download, blocks);
  double intervals = IntervalWaitsMs(download, blocks);
  state.counters["pauses_ms"] = pauses;
  state.counters["intervals_ms"] = intervals;
  state.counters["blocks"] = blocks;
}

void BM_Download(benchmark::State& state) { Transfer(state, true); }
void BM_Upload(benchmark::State& state) { Transfer(state, false); }

// CPU time of this process while a port stays open for a while, in percent of one core.
void BM_IdleOpenPort(benchmark::State& state) {
  Handset handset("1024");
  for (auto _ : state) {
    CUtiCtrl ctrl;
    if (ctrl.Open(handset.Path()) != UtiOk) {
      state.SkipWithError("cannot open the emulator's port");
      break;
    }
    timespec before{}, after{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(state.range(0)));
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    double cpu = double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    state.SetIterationTime(wall);
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    ctrl.Close();
  }
}

}  // namespace

BENCHMARK(BM_Download)->Arg(1024)->Arg(4096)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Upload)->Arg(1024)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleOpenPort)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
