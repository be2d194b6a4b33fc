#include <gtest/gtest.h>

#include <climits>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "config/confload.h"
#include "platform/platform.h"
#include "test_files.h"

namespace {

// Works three levels below a folder that holds Train/Morvan, where the counter files live.
class CounterFiles : public ::testing::Test {
 protected:
  TempFolder root;
  std::filesystem::path previous;
  std::string morvan;
  void SetUp() override {
    previous = std::filesystem::current_path();
    morvan = (root.path / "Train" / "Morvan").string();
    std::filesystem::create_directories(morvan);
    std::filesystem::create_directories(root.path / "a" / "b" / "c");
    std::filesystem::current_path(root.path / "a" / "b" / "c");
  }
  void TearDown() override { std::filesystem::current_path(previous); }
  std::string File(const char* name) { return morvan + "/" + name; }
};

TEST_F(CounterFiles, missing_file_reads_zero_and_a_write_creates_it) {
  EXPECT_EQ(read_zaehlwerk1(), 0);
  write_zaehlwerk1(1);
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "1");
  EXPECT_EQ(read_zaehlwerk1(), 1);
}

TEST_F(CounterFiles, each_counter_has_its_own_file) {
  write_zaehlwerk1(11);
  write_zaehlwerk2(22);
  write_kilometer(33);
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "11");
  EXPECT_EQ(ReadBytes(File("Z2.dat")), "22");
  EXPECT_EQ(ReadBytes(File("Z3.dat")), "33");
  EXPECT_EQ(read_zaehlwerk1(), 11);
  EXPECT_EQ(read_zaehlwerk2(), 22);
  EXPECT_EQ(read_kilometer(), 33);
}

TEST_F(CounterFiles, a_write_replaces_a_longer_file_whole_and_leaves_no_temporary) {
  WriteBytes(File("Z3.dat"), std::string(5000, '9'));
  write_kilometer(1000);
  EXPECT_EQ(ReadBytes(File("Z3.dat")), "1000");
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(morvan)) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 1);
}

TEST_F(CounterFiles, values_round_trip_across_the_whole_range) {
  for (int32_t value : {0, 7, 10, 99, 1234, 1000000, 2147483646, INT32_MAX}) {
    write_zaehlwerk2(value);
    EXPECT_EQ(read_zaehlwerk2(), value);
  }
  write_zaehlwerk2(0);
  EXPECT_EQ(ReadBytes(File("Z2.dat")), "0");
}

TEST_F(CounterFiles, negative_value_is_stored_as_zero) {
  write_zaehlwerk1(-5);
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "0");
  write_zaehlwerk1(INT32_MIN);
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "0");
}

TEST_F(CounterFiles, reading_stops_at_the_first_byte_that_is_not_a_digit) {
  WriteBytes(File("Z1.dat"), "1234\r\n");
  EXPECT_EQ(read_zaehlwerk1(), 1234);
  WriteBytes(File("Z1.dat"), "12x34");
  EXPECT_EQ(read_zaehlwerk1(), 12);
  WriteBytes(File("Z1.dat"), "");
  EXPECT_EQ(read_zaehlwerk1(), 0);
  WriteBytes(File("Z1.dat"), std::string("\xff\x00\x01", 3));
  EXPECT_EQ(read_zaehlwerk1(), 0);
}

TEST_F(CounterFiles, huge_values_saturate_instead_of_overflowing) {
  WriteBytes(File("Z2.dat"), "2147483648");
  EXPECT_EQ(read_zaehlwerk2(), INT32_MAX);
  WriteBytes(File("Z2.dat"), std::string(100000, '9'));
  EXPECT_EQ(read_zaehlwerk2(), INT32_MAX);
}

// A write that cannot be finished leaves the counter file as it was and no temporary beside it.
TEST_F(CounterFiles, a_failed_write_leaves_the_old_file_and_no_temporary) {
  WriteBytes(File("Z1.dat"), "7");
  // A folder in the counter file's place: the written file cannot take it.
  std::filesystem::create_directory(File("Z2.dat"));
  write_zaehlwerk2(5);
  EXPECT_TRUE(std::filesystem::is_directory(File("Z2.dat")));
#if !defined(_WIN32)
  // A full disk: not one byte can be written.
  signal(SIGXFSZ, SIG_IGN);
  rlimit previous;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  rlimit full = {0, previous.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  write_zaehlwerk1(123);
  setrlimit(RLIMIT_FSIZE, &previous);
#endif
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "7");
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(morvan)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(CounterFiles, a_missing_folder_skips_the_write_silently) {
  std::filesystem::remove_all(root.path / "Train");
  write_kilometer(5);
  EXPECT_FALSE(std::filesystem::exists(root.path / "Train"));
  EXPECT_EQ(read_kilometer(), 0);
}

// Two writers of one counter file at once (threads here; host processes behave alike) never
// leave it empty or torn: a reader always finds one of the values written, and no temporary
// file is left over.
TEST_F(CounterFiles, writers_racing_on_one_file_leave_whole_digits_and_no_temporary) {
  const int kWrites = 400;
  write_zaehlwerk1(1);
  std::atomic<int> running{2};
  auto writer = [&](int32_t first) {
    for (int i = 0; i < kWrites; i++) write_zaehlwerk1(first + i);
    running--;
  };
  auto written = [&](int32_t value) {
    return (value >= 1000 && value < 1000 + kWrites) || (value >= 5000 && value < 5000 + kWrites);
  };
  std::thread a(writer, 1000), b(writer, 5000);
  int readings = 0, bad = 0;
  while (running > 0) {
    int32_t value = read_zaehlwerk1();  // an empty or torn file reads 0 or a cut-off number
    bad += !written(value) && value != 1;
    readings++;
  }
  a.join();
  b.join();
  EXPECT_EQ(bad, 0) << "of " << readings << " readings";
  EXPECT_TRUE(written(read_zaehlwerk1()));
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(morvan)) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 1);
}

}  // namespace

// A process id that no running process has: the highest Windows could hand out, far above any
// that Linux hands out.
const unsigned long kGoneWriter = 0xFFFFFFFCUL;

// What writers cut off in mid-write leave beside a counter file goes with the next write of that
// file, once a minute has passed without a change; the temporary of a writer that runs, whatever
// its age, and everything else in the folder stay.
TEST_F(CounterFiles, a_write_removes_the_temporaries_that_writers_now_gone_left_behind) {
#if defined(_WIN32)
  const std::string running = std::to_string(GetCurrentProcessId());
#else
  const std::string running = std::to_string(getpid());
#endif
  const std::string gone = std::to_string(kGoneWriter);
  auto file = [&](const std::string& name) { return morvan + "/" + name; };
  const std::string leftover = file("Z1.dat." + gone + ".3.tmp");
  const std::string kept[] = {file("Z1.dat." + running + ".3.tmp"), file("Z2.dat." + gone + ".3.tmp"),
                              file("Z1.dat.tmp"), file("Z1.dat.0" + gone + ".3.tmp"), leftover + ".old",
                              file("Z1.dat." + gone + ".tmp"), file("Z1.dat." + gone + "-3.tmp"),
                              file("Z1.dat.12345678901.3.tmp"), file("Z1.dat.0.3.tmp")};
  for (const std::string& name : kept) WriteBytes(name, "5");
  WriteBytes(leftover, "5");
  std::filesystem::create_directory(file("Z1.dat." + gone + ".5.tmp"));
  for (auto& entry : std::filesystem::directory_iterator(morvan)) {
    std::error_code folderOnWindows;  // whose time cannot be set there
    std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2),
                                     folderOnWindows);
  }
  const std::string young = file("Z1.dat." + gone + ".4.tmp");
  WriteBytes(young, "5");
  write_zaehlwerk1(6);
  EXPECT_FALSE(std::filesystem::exists(leftover));
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
  EXPECT_TRUE(std::filesystem::exists(young));
  EXPECT_TRUE(std::filesystem::is_directory(file("Z1.dat." + gone + ".5.tmp")));
  EXPECT_EQ(read_zaehlwerk1(), 6);
}

#if !defined(_WIN32)
// A writer that ran here and has ended leaves a temporary that goes; a name whose id is led by a
// zero is not one this system writes, and stays although the id's process has ended.
TEST_F(CounterFiles, a_write_removes_the_temporary_of_a_writer_that_ended_here) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string ended = std::to_string(child);
  const std::string leftover = morvan + "/Z3.dat." + ended + ".9.tmp";
  const std::string kept[] = {morvan + "/Z3.dat.0" + ended + ".9.tmp", morvan + "/Z3.dat." + ended + ".09.tmp"};
  for (const std::string& name : {leftover, kept[0], kept[1]}) {
    WriteBytes(name, "5");
    std::filesystem::last_write_time(name, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
  }
  write_kilometer(8);
  EXPECT_FALSE(std::filesystem::exists(leftover));
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
}
#endif

// A path that leaves no room for its temporary's longer name is not written, not even through a
// temporary whose name was cut short.
TEST_F(CounterFiles, a_path_too_long_for_its_temporary_leaves_the_file_as_it_was) {
  WriteBytes(File("Z1.dat"), "7");
  std::string path = morvan;
  while (path.size() < 4080) path += "/.";
  path += "/Z1.dat";
  EXPECT_FALSE(PlatformReplaceFile(path.c_str(), "9", 1));
  EXPECT_EQ(ReadBytes(File("Z1.dat")), "7");
}
