// CErrorLog: line format, daily file names, the exclusive lock, folder creation
// and records held back by orvane::ErrorLogCapture.

#include "orvane/ErrorLog.h"

#include "FileBytes.h"
#include "ErrorLogReader.h"
#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::time_t UtcTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return ::timegm(&fields);
}

// The messages of every record in a log file, in file order.
std::vector<std::string> LoggedMessages(const fs::path& path)
{
    std::vector<std::string> messages;
    for (const LogRecord& record : ReadLogFile(path))
        messages.push_back(record.message);
    return messages;
}

ErrorRecord SampleRecord(std::string message)
{
    return ErrorRecord{"COrvaneDlg::OnInitDialog()", "SetMenu()", 0, 5, "host/OrvaneDlg.cpp", 120,
                       std::move(message)};
}

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Log times are local times: pin the zone so fixed clock readings give fixed names.
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }

    ScopedTempFolder m_temp;
};

using ErrorLogLineFormat = ErrorLogTest;
using ErrorLogFileName = ErrorLogTest;
using ErrorLogLock = ErrorLogTest;
using ErrorLogSharedFolder = ErrorLogTest;
using ErrorLogFolder = ErrorLogTest;
using CreateFolderPathTest = ErrorLogTest;
using ErrorLogCaptureTest = ErrorLogTest;

TEST_F(ErrorLogLineFormat, FieldsInLineOrderWithCommaAndNegativeSystemError)
{
    CErrorLog log(m_temp.path().string());
    const ErrorRecord record{"COrvaneDlg::CheckFlashPlayerVersion()", "OleCreate()", 0,
                             -2147467259, "host/OrvaneDlg.cpp", 1234, "a,b, c"};
    ASSERT_EQ(log.WriteLog(record, UtcTime(2010, 5, 12, 9, 3, 41)), 0);

    EXPECT_EQ(ReadFileBytes(m_temp.path() / "_ERROR12.log"),
              "2010/05/12-09:03:41,00000000,-2147467259,host/OrvaneDlg.cpp,1234,"
              "COrvaneDlg::CheckFlashPlayerVersion(),OleCreate(),a,b, c\n");
}

TEST_F(ErrorLogLineFormat, ErrorCodeIsEightLowercaseHexDigits)
{
    CErrorLog log(m_temp.path().string());
    ErrorRecord record = SampleRecord("m");
    record.errorCode = 0xABCDEFu;
    ASSERT_EQ(log.WriteLog(record, UtcTime(2010, 5, 12, 0, 0, 0)), 0);
    EXPECT_EQ(ReadLogFile(m_temp.path() / "_ERROR12.log").at(0).errorCode, "00abcdef");
}

TEST_F(ErrorLogLineFormat, EmptyMessageEndsWithCommaAndLineFeed)
{
    CErrorLog log(m_temp.path().string());
    ASSERT_EQ(log.WriteLog(SampleRecord(""), UtcTime(2010, 5, 12, 0, 0, 0)), 0);
    const std::string content = ReadFileBytes(m_temp.path() / "_ERROR12.log");
    EXPECT_TRUE(content.ends_with(",SetMenu(),\n")) << content;
}

TEST_F(ErrorLogLineFormat, RecordsAreBareLinesWithSingleLineFeeds)
{
    CErrorLog log(m_temp.path().string());
    ASSERT_EQ(log.WriteLog(SampleRecord("first"), UtcTime(2010, 5, 12, 1, 2, 3)), 0);
    ASSERT_EQ(log.WriteLog(SampleRecord("second"), UtcTime(2010, 5, 12, 1, 2, 4)), 0);
    EXPECT_EQ(ReadFileBytes(m_temp.path() / "_ERROR12.log"),
              "2010/05/12-01:02:03,00000000,5,host/OrvaneDlg.cpp,120,COrvaneDlg::OnInitDialog(),SetMenu(),first\n"
              "2010/05/12-01:02:04,00000000,5,host/OrvaneDlg.cpp,120,COrvaneDlg::OnInitDialog(),SetMenu(),second\n");
}

TEST_F(ErrorLogLineFormat, ReportMacroTakesTheReasonGivenFileAndLine)
{
    CErrorLog log(m_temp.path().string());
    const ErrorLogTail tail(m_temp.path());
    const int line = __LINE__ + 1;
    REPORT_ERROR(log, EACCES, "_FileOpen()", "file.Open()", "denied");

    const auto lines = tail.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].errorCode, "00000000");
    EXPECT_EQ(lines[0].systemError, EACCES);
    EXPECT_TRUE(lines[0].sourceFile.ends_with("test_error_log.cpp")) << lines[0].sourceFile;
    EXPECT_EQ(lines[0].sourceLine, line);
    EXPECT_EQ(lines[0].operation, "_FileOpen()");
    EXPECT_EQ(lines[0].step, "file.Open()");
    EXPECT_EQ(lines[0].message, "denied");
}

TEST_F(ErrorLogLineFormat, ControlCharactersInFieldsAreEscapedSoARecordIsOneLine)
{
    CErrorLog log(m_temp.path().string());
    const ErrorRecord record{"op\tname", "step\x7F", 0, 0, "dir\\evil\r\n.cpp", 7,
                             "a.zsr\n2010/05/12-00:00:00,00000000,0,forged\x01\x1B"};
    ASSERT_EQ(log.WriteLog(record, UtcTime(2010, 5, 12, 0, 0, 0)), 0);
    EXPECT_EQ(ReadFileBytes(m_temp.path() / "_ERROR12.log"),
              "2010/05/12-00:00:00,00000000,0,dir\\\\evil\\r\\n.cpp,7,op\\tname,step\\x7F,"
              "a.zsr\\n2010/05/12-00:00:00,00000000,0,forged\\x01\\x1B\n");
    // The reader gets the original texts back.
    const LogRecord read = ReadLogFile(m_temp.path() / "_ERROR12.log").at(0);
    EXPECT_EQ(read.sourceFile, record.sourceFile);
    EXPECT_EQ(read.operation, record.operation);
    EXPECT_EQ(read.step, record.step);
    EXPECT_EQ(read.message, record.message);
}

TEST_F(ErrorLogLineFormat, OnlyAnExceptionsTextIsCutAndNeverInsideACharacter)
{
    CErrorLog log(m_temp.path().string());
    const std::time_t time = UtcTime(2010, 5, 12, 0, 0, 0);
    // "版" takes three bytes; starting at byte 1022 it would straddle the cut.
    const std::string straddling = std::string(orvane::kMaxExceptionTextBytes - 1, 'a') + "版" + "tail";
    ASSERT_EQ(log.WriteLog(SampleRecord(straddling), time), 0);
    ASSERT_EQ(log.WriteLog(SampleRecord(orvane::ExceptionText(std::runtime_error(straddling))), time), 0);

    EXPECT_EQ(LoggedMessages(m_temp.path() / "_ERROR12.log"),
              (std::vector<std::string>{straddling, std::string(orvane::kMaxExceptionTextBytes - 1, 'a')}));
}

TEST_F(ErrorLogFileName, SameDayOfMonthSharesOneFileAcrossMonths)
{
    CErrorLog log(m_temp.path().string());
    ASSERT_EQ(log.WriteLog(SampleRecord("may 5th, morning"), UtcTime(2010, 5, 5, 9, 0, 0)), 0);
    ASSERT_EQ(log.WriteLog(SampleRecord("may 5th, night"), UtcTime(2010, 5, 5, 23, 59, 59)), 0);
    ASSERT_EQ(log.WriteLog(SampleRecord("may 6th"), UtcTime(2010, 5, 6, 0, 0, 0)), 0);
    ASSERT_EQ(log.WriteLog(SampleRecord("june 5th"), UtcTime(2010, 6, 5, 0, 0, 0)), 0);

    std::vector<std::string> messages;
    for (const LogRecord& record : ReadLogFile(m_temp.path() / "_ERROR05.log"))
        messages.push_back(record.message + " @ " + record.timestamp);
    EXPECT_EQ(messages, (std::vector<std::string>{"may 5th, morning @ 2010/05/05-09:00:00",
                                                  "may 5th, night @ 2010/05/05-23:59:59",
                                                  "june 5th @ 2010/06/05-00:00:00"}));
    EXPECT_EQ(LoggedMessages(m_temp.path() / "_ERROR06.log"), std::vector<std::string>{"may 6th"});
    EXPECT_EQ(std::distance(fs::directory_iterator(m_temp.path()), fs::directory_iterator()), 2);
}

TEST_F(ErrorLogLock, ALogAnotherWriterHoldsDropsTheRecord)
{
    CErrorLog log(m_temp.path().string());
    const fs::path file = m_temp.path() / "_ERROR07.log";
    const std::time_t seventh = UtcTime(2010, 5, 7, 8, 0, 0);
    {
        // Another open file description of the same file, as another writer would hold.
        const int holder = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(log.WriteLog(SampleRecord("dropped"), seventh), -1);
        ::close(holder);
    }
    EXPECT_EQ(fs::file_size(file), 0u);

    ASSERT_EQ(log.WriteLog(SampleRecord("after release"), seventh), 0);
    EXPECT_EQ(LoggedMessages(file), std::vector<std::string>{"after release"});
}

TEST_F(ErrorLogSharedFolder, PlantedLinkAtTheLogNameIsNotFollowed)
{
    CErrorLog log(m_temp.path().string());
    const fs::path log12 = m_temp.path() / "_ERROR12.log";
    const fs::path target = m_temp.path() / "victim";
    std::ofstream(target) << "keep\n";

    fs::create_symlink(target, log12);
    EXPECT_EQ(log.WriteLog(SampleRecord("via symlink"), UtcTime(2010, 5, 12, 0, 0, 0)), -1);
    fs::remove(log12);
    fs::create_hard_link(target, log12);
    EXPECT_EQ(log.WriteLog(SampleRecord("via hard link"), UtcTime(2010, 5, 12, 0, 0, 0)), -1);

    EXPECT_EQ(ReadFileBytes(target), "keep\n");
}

TEST_F(ErrorLogSharedFolder, NewLogIsReadableByItsOwnerOnly)
{
    CErrorLog log(m_temp.path().string());
    const mode_t savedMask = ::umask(0);
    const int result = log.WriteLog(SampleRecord("private"), UtcTime(2010, 5, 12, 0, 0, 0));
    ::umask(savedMask);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(fs::status(m_temp.path() / "_ERROR12.log").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ErrorLogSharedFolder, FifoAtTheLogNameIsRefusedWithoutBlocking)
{
    CErrorLog log(m_temp.path().string());
    const fs::path fifo = m_temp.path() / "_ERROR12.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::time_t time = UtcTime(2010, 5, 12, 0, 0, 0);

    // Nobody reads: the open must not wait for a reader.
    auto write = std::async(std::launch::async, [&] { return log.WriteLog(SampleRecord("no reader"), time); });
    const bool finished = write.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!finished) {
        // Release a writer stuck in open() so the test can end.
        const int rescuer = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        write.wait();
        ::close(rescuer);
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(write.get(), -1);

    // Someone reads: the record must not go to them.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(log.WriteLog(SampleRecord("with reader"), time), -1);
    char byte = 0;
    EXPECT_EQ(::read(reader, &byte, 1), 0);  // end of file: no writer ever wrote
    ::close(reader);
}

TEST_F(ErrorLogFolder, DefaultFolderFollowsTmpdir)
{
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", m_temp.path().c_str(), 1);
    const CErrorLog fromTmpdir;
    if (saved)
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    EXPECT_EQ(fromTmpdir.Folder(), m_temp.slashed());
}

// Runs body in a child process as user uid (group uid); its result, or -1.
int RunAsUser(uid_t uid, const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(uid) != 0 || ::setuid(uid) != 0)
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Without TMPDIR every user keeps records in a folder of their own: a name
// another user took first is refused for the user's cache folder, and no
// user can read the other's log.
TEST_F(ErrorLogFolder, UsersWithoutTmpdirKeepTheirOwnRecords)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    const uid_t first = 61001, second = 61002;
    const std::string firstShared = "/tmp/orvane-61001", secondShared = "/tmp/orvane-61002";
    const fs::path secondHome = m_temp.path() / "home-b";
    std::error_code ignored;
    fs::remove_all(firstShared, ignored);
    fs::remove_all(secondShared, ignored);
    // The first user squats on the second user's name, open to everybody.
    ASSERT_EQ(::mkdir(secondShared.c_str(), 0777), 0);
    ASSERT_EQ(::chown(secondShared.c_str(), first, first), 0);
    ASSERT_EQ(::chmod(secondShared.c_str(), 0777), 0);
    fs::create_directories(secondHome);
    ASSERT_EQ(::chown(secondHome.c_str(), second, second), 0);
    ::chmod(m_temp.path().c_str(), 0755);
    const std::string today = [] {
        char day[8];
        const std::time_t now = std::time(nullptr);
        std::strftime(day, sizeof day, "%d", std::localtime(&now));
        return std::string("_ERROR") + day + ".log";
    }();

    const auto writeRecord = [](const std::string& expectedFolder) {
        ::unsetenv("TMPDIR");
        ::unsetenv("XDG_CACHE_HOME");
        CErrorLog log;
        if (log.Folder() != expectedFolder)
            return 1;
        return log.WriteLog(SampleRecord("own record")) == 0 ? 0 : 2;
    };
    EXPECT_EQ(RunAsUser(first, [&] { return writeRecord(firstShared + "/"); }), 0);
    EXPECT_EQ(RunAsUser(second, [&] {
                  ::setenv("HOME", secondHome.c_str(), 1);
                  return writeRecord(secondHome.string() + "/.cache/orvane/");
              }),
              0);
    // The squatted folder was neither used nor changed.
    struct stat squatted {};
    ASSERT_EQ(::stat(secondShared.c_str(), &squatted), 0);
    EXPECT_EQ(squatted.st_mode & 07777, 0777u);
    EXPECT_TRUE(fs::is_empty(secondShared));
    // Each record is where its user wrote it, out of the other user's reach.
    EXPECT_EQ(LoggedMessages(firstShared + "/" + today), std::vector<std::string>{"own record"});
    EXPECT_EQ(LoggedMessages(secondHome / ".cache/orvane" / today), std::vector<std::string>{"own record"});
    EXPECT_EQ(RunAsUser(second, [&] {
                  return ::open((firstShared + "/" + today).c_str(), O_RDONLY) < 0 && errno == EACCES ? 0 : 1;
              }),
              0);
    fs::remove_all(firstShared, ignored);
    fs::remove_all(secondShared, ignored);
}

TEST_F(ErrorLogFolder, MissingFolderIsCreatedWithItsParents)
{
    const fs::path folder = m_temp.path() / "a" / "b" / "c";
    CErrorLog log(folder.string());
    ASSERT_EQ(log.WriteLog(SampleRecord("deep"), UtcTime(2010, 5, 9, 0, 0, 0)), 0);
    EXPECT_EQ(LoggedMessages(folder / "_ERROR09.log"), std::vector<std::string>{"deep"});
}

TEST_F(ErrorLogFolder, FolderNameEndingInSpaceIsNotCreatedButOpenIsTried)
{
    const fs::path spaced = m_temp.path() / "name " / "logs";
    CErrorLog log(spaced.string());
    EXPECT_EQ(log.WriteLog(SampleRecord("lost"), UtcTime(2010, 5, 9, 0, 0, 0)), -1);
    EXPECT_FALSE(fs::exists(m_temp.path() / "name "));

    // With the folder made by someone else, the same writer's open succeeds.
    fs::create_directories(spaced);
    ASSERT_EQ(log.WriteLog(SampleRecord("kept"), UtcTime(2010, 5, 9, 0, 0, 0)), 0);
    EXPECT_EQ(LoggedMessages(spaced / "_ERROR09.log"), std::vector<std::string>{"kept"});
}

TEST_F(CreateFolderPathTest, CreatesTheFolderHoldingTheLastComponent)
{
    const fs::path base = m_temp.path();
    EXPECT_NE(CErrorLog::CreateFolderPath((base / "x" / "y" / "file.log").string()), 0);
    EXPECT_TRUE(fs::is_directory(base / "x" / "y"));
    EXPECT_FALSE(fs::exists(base / "x" / "y" / "file.log"));

    EXPECT_NE(CErrorLog::CreateFolderPath(m_temp.slashed() + "z/"), 0);
    EXPECT_TRUE(fs::is_directory(base / "z"));
}

TEST_F(CreateFolderPathTest, ExistingFolderGivesZero)
{
    EXPECT_EQ(CErrorLog::CreateFolderPath(m_temp.slashed()), 0);
    EXPECT_TRUE(fs::is_directory(m_temp.path()));
}

TEST_F(CreateFolderPathTest, RefusedPathsCreateNothing)
{
    const std::string base = m_temp.slashed();
    const std::string refused[] = {
        "relative/dir/file",  base + "a,b/f", base + "a:b/f",  base + "a;b/f",
        base + "a*b/f",       base + "a\"b/f", base + "a<b/f", base + "a>b/f",
        base + "a|b/f",       base + "a//b/f", base + "a /b/f", "/",
        "/toplevel",          "",
    };
    for (const std::string& path : refused)
        EXPECT_EQ(CErrorLog::CreateFolderPath(path), 0) << path;
    EXPECT_FALSE(fs::exists("relative"));
    EXPECT_TRUE(fs::is_empty(m_temp.path()));
}

TEST_F(ErrorLogCaptureTest, CapturedRecordsReachNoFileUntilReplayedInOrderWithTheirTimes)
{
    const fs::path nowFolder = m_temp.path() / "now";
    CErrorLog log(m_temp.path().string());
    CErrorLog nowLog(nowFolder.string());
    std::vector<orvane::CapturedLogRecord> records;
    std::time_t before = 0;
    std::time_t after = 0;
    {
        orvane::ErrorLogCapture capture;
        EXPECT_EQ(log.WriteLog(SampleRecord("first"), UtcTime(2010, 5, 12, 1, 2, 3)), 0);
        before = std::time(nullptr);
        REPORT_ERROR(nowLog, EACCES, "_GetXmlInf()", "pDoc->load()", "second, now");
        after = std::time(nullptr);
        // Earlier than the first: the replay keeps the order written, not the times' order.
        EXPECT_EQ(log.WriteLog(SampleRecord("third"), UtcTime(2010, 5, 12, 1, 2, 1)), 0);
        records = capture.TakeRecords();
        EXPECT_TRUE(capture.TakeRecords().empty());
    }
    EXPECT_TRUE(fs::is_empty(m_temp.path()));

    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].folder, m_temp.slashed());
    EXPECT_EQ(records[1].folder, nowFolder.string() + "/");
    EXPECT_EQ(records[1].record.operation, "_GetXmlInf()");
    EXPECT_EQ(records[1].record.systemError, EACCES);
    EXPECT_GE(records[1].time, before);
    EXPECT_LE(records[1].time, after);

    const ErrorLogTail nowTail(nowFolder);
    orvane::ErrorLogCapture::Replay(records);
    EXPECT_EQ(ReadFileBytes(m_temp.path() / "_ERROR12.log"),
              "2010/05/12-01:02:03,00000000,5,host/OrvaneDlg.cpp,120,COrvaneDlg::OnInitDialog(),SetMenu(),first\n"
              "2010/05/12-01:02:01,00000000,5,host/OrvaneDlg.cpp,120,COrvaneDlg::OnInitDialog(),SetMenu(),third\n");
    const std::vector<LogRecord> replayedNow = nowTail.NewLines();
    ASSERT_EQ(replayedNow.size(), 1u);
    char secondTime[32];
    std::strftime(secondTime, sizeof secondTime, "%Y/%m/%d-%H:%M:%S", std::gmtime(&records[1].time));
    EXPECT_EQ(replayedNow[0].timestamp, secondTime);
    EXPECT_EQ(replayedNow[0].systemError, EACCES);
    EXPECT_EQ(replayedNow[0].message, "second, now");
}

TEST_F(ErrorLogCaptureTest, OtherThreadsWriteAsUsual)
{
    CErrorLog log(m_temp.path().string());
    orvane::ErrorLogCapture capture;
    int otherResult = -2;
    std::thread([&] { otherResult = log.WriteLog(SampleRecord("other thread"), UtcTime(2010, 5, 12, 0, 0, 0)); })
        .join();
    EXPECT_EQ(log.WriteLog(SampleRecord("this thread"), UtcTime(2010, 5, 12, 0, 0, 1)), 0);

    EXPECT_EQ(otherResult, 0);
    EXPECT_EQ(ReadFileBytes(m_temp.path() / "_ERROR12.log"),
              "2010/05/12-00:00:00,00000000,5,host/OrvaneDlg.cpp,120,COrvaneDlg::OnInitDialog(),SetMenu(),"
              "other thread\n");
    const auto records = capture.TakeRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].record.message, "this thread");
}

TEST_F(ErrorLogCaptureTest, InnermostCaptureTakesRecordsAndTheOuterOneResumesAfterIt)
{
    CErrorLog log(m_temp.path().string());
    const std::time_t time = UtcTime(2010, 5, 12, 0, 0, 0);
    std::vector<orvane::CapturedLogRecord> inner;
    std::vector<orvane::CapturedLogRecord> outer;
    {
        orvane::ErrorLogCapture outerCapture;
        log.WriteLog(SampleRecord("outer 1"), time);
        {
            orvane::ErrorLogCapture innerCapture;
            log.WriteLog(SampleRecord("inner"), time);
            inner = innerCapture.TakeRecords();
        }
        log.WriteLog(SampleRecord("outer 2"), time);
        outer = outerCapture.TakeRecords();
    }
    log.WriteLog(SampleRecord("uncaptured"), time);

    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].record.message, "inner");
    ASSERT_EQ(outer.size(), 2u);
    EXPECT_EQ(outer[0].record.message, "outer 1");
    EXPECT_EQ(outer[1].record.message, "outer 2");
    EXPECT_EQ(LoggedMessages(m_temp.path() / "_ERROR12.log"), std::vector<std::string>{"uncaptured"});
}

}  // namespace
