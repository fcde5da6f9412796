// The version-file reader: _GetLocalVersionInf, _GetText and orvane::ParseVersionInf.

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/VersionInf.h"

// The core's private element-text lookup, tested directly.
#include "XmlText.h"

#include "ErrorLogReader.h"
#include "ScopedTempFolder.h"
#include "VersionFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const VersionInf kPrevious{"old copyright", "old download", "old check", "0.9"};

bool operator==(const VersionInf& a, const VersionInf& b)
{
    return a.strCopyright == b.strCopyright && a.strUrlDownload == b.strUrlDownload &&
           a.strUrlVersionCheck == b.strUrlVersionCheck && a.strVersion == b.strVersion;
}

class VersionFileTest : public ::testing::Test {
protected:
    void SetUp() override { g_strAppPath = m_appDir.slashed(); }
    void TearDown() override { g_strAppPath.clear(); }

    void WriteVersionFile(const std::string& bytes)
    {
        std::ofstream file(m_appDir.path() / "z_ver.xml", std::ios::binary);
        file << bytes;
    }

    // Reads z_ver.xml into a record that starts with the kPrevious values.
    int ReadLocal()
    {
        m_inf = kPrevious;
        return _GetLocalVersionInf(m_inf);
    }

    ScopedTempFolder m_appDir;
    ErrorLogTail m_log{g_ErrorLog.Folder()};
    VersionInf m_inf;
};

using LocalVersionFailures = VersionFileTest;
using LocalVersionLookup = VersionFileTest;

void ExpectSingleLoadFailureRecord(const std::vector<LogRecord>& lines)
{
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, "_GetLocalVersionInf()");
    EXPECT_EQ(lines[0].step, "pDoc->load()");
    EXPECT_EQ(lines[0].message, "不能继续处理。(#1005)");
    EXPECT_EQ(lines[0].message, orvane::MakeErrorText("(#1005)"));
    EXPECT_EQ(lines[0].errorCode, "00000000");
    EXPECT_EQ(lines[0].sourceFile, "host/OrvaneDlg.cpp");  // the version file readers report as the window
}

TEST_F(LocalVersionFailures, MissingFileWritesOneRecordWithTheSystemError)
{
    EXPECT_EQ(ReadLocal(), 0);
    EXPECT_TRUE(m_inf == kPrevious);
    const auto lines = m_log.NewLines();
    ExpectSingleLoadFailureRecord(lines);
    EXPECT_EQ(lines.at(0).systemError, ENOENT);
}

TEST_F(LocalVersionFailures, MalformedXmlWritesOneRecord)
{
    WriteVersionFile("<dataroot><COMMON_INFO><VERSION_INFO>1.0</COMMON_INFO></dataroot>");
    EXPECT_EQ(ReadLocal(), 0);
    EXPECT_TRUE(m_inf == kPrevious);
    ExpectSingleLoadFailureRecord(m_log.NewLines());
}

TEST_F(LocalVersionFailures, EmptyFileWritesOneRecord)
{
    WriteVersionFile("");
    EXPECT_EQ(ReadLocal(), 0);
    ExpectSingleLoadFailureRecord(m_log.NewLines());
}

TEST_F(LocalVersionFailures, FifoInPlaceOfTheFileFailsAtOnceWithOneRecord)
{
    const std::filesystem::path fifo = m_appDir.path() / "z_ver.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // No writer ever opens the FIFO: the read must not wait for one.
    auto read = std::async(std::launch::async, [this] { return ReadLocal(); });
    const bool finished = read.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!finished)
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // releases a reader stuck in open()
    EXPECT_TRUE(finished);
    EXPECT_EQ(read.get(), 0);
    ExpectSingleLoadFailureRecord(m_log.NewLines());
}

TEST_F(LocalVersionFailures, RootNameDifferingInCaseGivesZeroWithoutRecord)
{
    WriteVersionFile("<Dataroot><COMMON_INFO><VERSION_INFO>1.0</VERSION_INFO></COMMON_INFO></Dataroot>");
    EXPECT_EQ(ReadLocal(), 0);
    EXPECT_TRUE(m_inf == kPrevious);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(LocalVersionFailures, NoCommonInfoSucceedsAndKeepsTheRecord)
{
    WriteVersionFile("<dataroot><VERSION_INFO>2.0</VERSION_INFO><OTHER/></dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_TRUE(m_inf == kPrevious);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(LocalVersionLookup, ReadsAllFourValuesExactly)
{
    WriteVersionFile(VersionFile{.version = "1.02",
                                 .copyright = "Copyright (C) 2010 Torvex 版权所有",
                                 .downloadUrl = "http://example.com/dl/TorvexOrvane.msi?a=1&amp;b=2",
                                 .versionCheckUrl = "http://example.com/ver/"}
                         .Text());
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strVersion, "1.02");
    EXPECT_EQ(m_inf.strUrlDownload, "http://example.com/dl/TorvexOrvane.msi?a=1&b=2");
    EXPECT_EQ(m_inf.strUrlVersionCheck, "http://example.com/ver/");
    EXPECT_EQ(m_inf.strCopyright, "Copyright (C) 2010 Torvex 版权所有");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(LocalVersionLookup, FirstCommonInfoInDocumentOrderWinsEvenWhenDeeper)
{
    WriteVersionFile("<dataroot><a><b><COMMON_INFO><VERSION_INFO>1.0</VERSION_INFO></COMMON_INFO></b></a>"
                     "<COMMON_INFO><VERSION_INFO>2.0</VERSION_INFO><COPYRIGHT>second</COPYRIGHT>"
                     "</COMMON_INFO></dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    EXPECT_EQ(m_inf.strCopyright, "");  // missing in the first COMMON_INFO: empty, not "second"
}

TEST_F(LocalVersionLookup, NestedValueIsFoundAndOneOutsideCommonInfoIsNot)
{
    WriteVersionFile("<dataroot><VERSION_INFO>9.9</VERSION_INFO><COPYRIGHT>outside</COPYRIGHT>"
                     "<COMMON_INFO><x><y><z><VERSION_INFO>1.5</VERSION_INFO></z></y></x></COMMON_INFO>"
                     "</dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strVersion, "1.5");
    EXPECT_EQ(m_inf.strCopyright, "");
}

TEST_F(LocalVersionLookup, ElementTextConcatenatesChildTextAndCdata)
{
    WriteVersionFile("<dataroot><COMMON_INFO><COPYRIGHT>Copyright <b>(C)</b> <i>2010</i>"
                     "<![CDATA[ <Torvex>]]><!-- note --></COPYRIGHT></COMMON_INFO></dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strCopyright, "Copyright (C) 2010 <Torvex>");
}

TEST_F(LocalVersionLookup, LineBreaksAndIndentationAroundAValueAreNotPartOfIt)
{
    WriteVersionFile("<dataroot><COMMON_INFO>\n  <VERSION_INFO>\r\n    1.10\n  </VERSION_INFO>\n"
                     "  <COPYRIGHT>\t Copyright <b>(C)</b>  2010 \n</COPYRIGHT>\n</COMMON_INFO></dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strVersion, "1.10");
    EXPECT_EQ(m_inf.strCopyright, "Copyright (C)  2010");
}

TEST_F(LocalVersionLookup, ExternalEntityIsNeverResolved)
{
    WriteVersionFile("<?xml version=\"1.0\"?><!DOCTYPE dataroot [<!ENTITY secret SYSTEM "
                     "\"file:///etc/hostname\">]><dataroot><COMMON_INFO><COPYRIGHT>&secret;"
                     "</COPYRIGHT></COMMON_INFO></dataroot>");
    EXPECT_NE(ReadLocal(), 0);
    EXPECT_EQ(m_inf.strCopyright, "&secret;");
}

TEST(GetText, IndexCountsFromOneAmongDescendantsInDocumentOrder)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<r><a>one</a><s><a>two<a>three</a></a></s></r>"));
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(_GetText(root, "a", 1), "one");
    EXPECT_EQ(_GetText(root, "a", 2), "twothree");
    EXPECT_EQ(_GetText(root, "a", 3), "three");
    EXPECT_EQ(_GetText(root, "a", 4), "");
    EXPECT_EQ(_GetText(root, "a", 0), "");
    EXPECT_EQ(_GetText(root, "r", 1), "");  // the element itself is not its own descendant
}

TEST(ParseVersionInf, ServerFileGivesOnlyTheVersion)
{
    VersionInf inf = kPrevious;
    EXPECT_NE(orvane::ParseVersionInf(VersionFile{.version = "1.10", .copyright = "server"}.Text(), inf,
                              orvane::VersionFields::VersionOnly),
              0);
    EXPECT_EQ(inf.strVersion, "1.10");
    EXPECT_EQ(inf.strCopyright, kPrevious.strCopyright);
    EXPECT_EQ(inf.strUrlDownload, kPrevious.strUrlDownload);
}

TEST(ParseVersionInf, MalformedBytesGiveZeroWithoutRecord)
{
    const ErrorLogTail log(g_ErrorLog.Folder());
    VersionInf inf = kPrevious;
    EXPECT_EQ(orvane::ParseVersionInf(std::string("<dataroot>\0</dataroot>", 22), inf), 0);
    EXPECT_EQ(orvane::ParseVersionInf("<dataroot>", inf), 0);
    EXPECT_TRUE(inf == kPrevious);
    EXPECT_TRUE(log.NewLines().empty());
}

}  // namespace
