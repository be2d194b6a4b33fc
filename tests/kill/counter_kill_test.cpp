// Counter files outlive host processes killed at any moment: a host that raises all three
// counters as fast as it can is killed with SIGKILL, again and again, alone or two at once in one
// train folder while a reader polls the files. Every counter file is then found whole: not empty,
// digits only, and never lower than after the kill before. The temporaries that killed hosts
// leave behind go with a later write, while a running host's stay.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "harness/harness.h"

namespace {

const int kCounters = 3;                 // Z1 resets, Z2 overrides, Z3 kilometres
const int kLongestRunMicroseconds = 20000;  // a host is killed at a random moment up to this long after its start
const int kReadyTimeoutMs = 120000;      // a host that is not running by then has failed to start

// A started host process and the read end of its standard output.
struct HostProcess {
  pid_t pid;
  int output;
};

HostProcess StartHost(const PlayFolder& folder, const char* mode = nullptr) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return HostProcess{-1, -1};
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl(VELMORA_COUNTER_HOST, VELMORA_COUNTER_HOST, folder.libraryPath.c_str(), folder.workDir.c_str(), mode,
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  return HostProcess{pid, pipeEnds[0]};
}

// True once the host has started its run and is raising the counters.
bool Ready(const HostProcess& host) {
  pollfd wait = {host.output, POLLIN, 0};
  char line[16];
  return host.pid > 0 && poll(&wait, 1, kReadyTimeoutMs) == 1 && read(host.output, line, sizeof line) > 0;
}

void Kill(const HostProcess& host) {
  if (host.pid > 0) {
    kill(host.pid, SIGKILL);
    int status;
    waitpid(host.pid, &status, 0);
  }
  close(host.output);
}

// The counters as found after the last kill; a file once written must never be missing, empty,
// anything but digits, or lower than that.
struct CounterFloor {
  long long value[kCounters] = {0, 0, 0};
  bool written[kCounters] = {false, false, false};
};

// What is wrong with the counter files measured against the floor ("" when nothing); with
// settle, the values found become the floor.
std::string CheckCounters(const PlayFolder& folder, CounterFloor* floor, bool settle) {
  for (int k = 0; k < kCounters; k++) {
    std::string path = CounterFilePath(folder, k + 1);
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) {
      if (floor->written[k]) return path + " has gone";
      continue;
    }
    if (bytes.empty() || bytes.size() > 10 || bytes.find_first_not_of("0123456789") != std::string::npos) {
      return path + " holds \"" + bytes + "\"";
    }
    long long value = std::stoll(bytes);
    if (value < floor->value[k]) return path + " fell from " + std::to_string(floor->value[k]) + " to " + bytes;
    if (settle) {
      floor->value[k] = value;
      floor->written[k] = true;
    }
  }
  return "";
}

class CounterKill : public ::testing::Test {
 protected:
  PlayFolder folder;
  CounterFloor floor;
  std::mt19937 random{std::random_device{}()};

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(CreatePlayFolder(&folder, &error)) << error;
    ASSERT_TRUE(InstallLibrary(&folder, VELMORA_LIBRARY_PATH, "Velmora", &error)) << error;
  }
  void TearDown() override { RemovePlayFolder(&folder); }

  void SleepRandomly(int longestMicroseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(random() % longestMicroseconds));
  }
  // Every counter has risen at least this often over the test: the hosts really ran. A host
  // reports ready only once it has raised every counter, so each round raises each by one at
  // least, however slow the machine.
  void ExpectRaisedAtLeast(long long times) {
    for (int k = 0; k < kCounters; k++) EXPECT_GE(floor.value[k], times) << "Z" << k + 1 << ".dat";
  }
};

TEST_F(CounterKill, a_host_killed_at_random_moments_leaves_whole_counters_that_never_fall) {
  const int kRounds = 300;
  for (int round = 0; round < kRounds; round++) {
    HostProcess host = StartHost(folder);
    bool ready = Ready(host);
    if (ready) SleepRandomly(kLongestRunMicroseconds);
    Kill(host);
    ASSERT_TRUE(ready) << "the host did not start, round " << round;
    std::string fault = CheckCounters(folder, &floor, true);
    ASSERT_EQ(fault, "") << "after kill " << round;
  }
  ExpectRaisedAtLeast(kRounds);
}

TEST_F(CounterKill, two_hosts_in_one_folder_killed_at_random_moments_leave_whole_counters_to_a_reader) {
  const int kRounds = 100;
  std::mutex faultLock;
  std::string readerFault;
  for (int round = 0; round < kRounds; round++) {
    HostProcess first = StartHost(folder);
    HostProcess second = StartHost(folder);
    bool ready = Ready(first) && Ready(second);
    std::atomic<bool> polling{true};
    CounterFloor readerFloor = floor;  // the reader holds the files to the floor of this round
    std::thread reader([&] {
      while (polling) {
        std::string fault = CheckCounters(folder, &readerFloor, false);
        if (!fault.empty()) {
          std::lock_guard<std::mutex> guard(faultLock);
          if (readerFault.empty()) readerFault = fault + " while read in round " + std::to_string(round);
        }
      }
    });
    if (ready) SleepRandomly(kLongestRunMicroseconds);
    Kill(first);
    SleepRandomly(kLongestRunMicroseconds / 10);
    Kill(second);
    polling = false;
    reader.join();
    ASSERT_TRUE(ready) << "a host did not start, round " << round;
    ASSERT_EQ(readerFault, "");
    std::string fault = CheckCounters(folder, &floor, true);
    ASSERT_EQ(fault, "") << "after kill " << round;
  }
  ExpectRaisedAtLeast(kRounds);
}

// The process ids in the names of the temporaries in the counter folder ("Z1.dat.<id>.<thread>.tmp").
std::vector<pid_t> TemporaryWriters(const PlayFolder& folder) {
  std::vector<pid_t> writers;
  for (const auto& entry : std::filesystem::directory_iterator(folder.counterDir)) {
    std::string name = entry.path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) writers.push_back(std::stoi(name.substr(7)));
  }
  return writers;
}

TEST_F(CounterKill, temporaries_of_killed_hosts_go_with_a_later_write_and_a_running_hosts_stay) {
  const int kMostRounds = 300;
  for (int round = 0; round < kMostRounds && TemporaryWriters(folder).empty(); round++) {
    HostProcess host = StartHost(folder);
    bool ready = Ready(host);
    if (ready) SleepRandomly(kLongestRunMicroseconds);
    Kill(host);
    ASSERT_TRUE(ready) << "the host did not start, round " << round;
  }
  ASSERT_FALSE(TemporaryWriters(folder).empty()) << "no kill cut a write short";
  // A host that runs on, and a temporary of its own that it has not touched for long.
  HostProcess running = StartHost(folder);
  ASSERT_TRUE(Ready(running));
  std::string runningTemporary = CounterFilePath(folder, 1) + "." + std::to_string(running.pid) + ".1.tmp";
  ASSERT_TRUE(WriteWholeFile(runningTemporary, "1"));
  for (const auto& entry : std::filesystem::directory_iterator(folder.counterDir)) {
    std::error_code gone;  // the running host may just have replaced it
    std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1),
                                     gone);
  }
  HostProcess once = StartHost(folder, "once");
  int status = -1;
  ASSERT_TRUE(Ready(once));
  waitpid(once.pid, &status, 0);
  close(once.output);
  EXPECT_EQ(status, 0);
  for (pid_t writer : TemporaryWriters(folder)) EXPECT_EQ(writer, running.pid);
  EXPECT_TRUE(FileExists(runningTemporary));
  Kill(running);
  EXPECT_EQ(CheckCounters(folder, &floor, true), "");
}

}  // namespace
