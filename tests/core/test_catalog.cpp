// Signed catalogue updates: the catalogue read with the movie's rules, an
// update fetched from a server on 127.0.0.1 and every refusal of it, the
// change summary, and which catalogue the player serves.

#include "orvane/CatalogSignature.h"
#include "orvane/CatalogUpdate.h"

#include "CatalogPair.h"
#include "FileBytes.h"
#include "LoopbackHttpServer.h"
#include "ScopedTempFolder.h"
#include "VersionFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using orvane::CatalogUpdateOutcome;

namespace {

const orvane::FetchLimits kTestLimits{300ms, 1s, orvane::kMaxCatalogBytes};

const std::string kItems = R"(<item kind="cpu" code="ZC-110" price="2980.00"/>
<item kind="power" code="ZP-P15" out5v="1500" price="560.00"/>
<item kind="base" code="ZB-B04" slots="4" price="320.00"/>
<item kind="di" code="ZX-DI16" di="16" price="680.00"/>)";
// Two prices changed, ZX-DI16 discontinued in favour of the added ZX-DI16B.
const std::string kNewItems = R"(<item kind="cpu" code="ZC-110" price="3100.00"/>
<item kind="power" code="ZP-P15" out5v="1500" price="500.00"/>
<item kind="base" code="ZB-B04" slots="4" price="320.00"/>
<item kind="di" code="ZX-DI16" di="16" price="680.00" replacement="ZX-DI16B"/>
<item kind="di" code="ZX-DI16B" di="16" price="720.00" desc="16 点输入"/>)";

std::string CatalogText(const std::string& edition, const std::string& items = kItems)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><catalog format="2" currency="CNY" edition=")" + edition +
           R"(" date="2026-12-01">)" + items + "</catalog>";
}

// The valid items and more, one past the movie's item limit.
std::string ItemsBeyondTheLimit()
{
    std::string items = kItems;
    for (std::size_t i = 4; i <= orvane::kMaxCatalogItems; ++i)
        items += "<item kind=\"di\" code=\"ZX-DI" + std::to_string(i) + "\" di=\"16\"/>";
    return items;
}

class CatalogUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("no_proxy", "*", 1);
        fs::create_directories(m_places.KeyFolder());
        WriteFileBytes(m_places.KeyFolder() + "publisher.pem", m_key.publicPem);
        WriteFileBytes(m_places.KeyFolder() + "broken.pem", "-----BEGIN PUBLIC KEY-----\nAAAA\n");
        WriteFileBytes(m_places.KeyFolder() + "notes.txt", m_ignoredKey.publicPem);
        WriteFileBytes(m_places.ShippedCatalog(), CatalogText("2026.1"));
        WriteFileBytes(m_places.VersionFile(), VersionFile{.catalogUpdateUrl = m_server.Url("/torvex-z/")}.Text());
    }

    static orvane::CatalogKeyPair MakeKey() { return orvane::MakeCatalogKeyPair().value(); }
    static std::string Sign(const std::string& catalog, const orvane::CatalogKeyPair& key)
    {
        return orvane::SignCatalog(key.privatePem, catalog).value();
    }
    // Puts a catalogue and (unless nullopt) its signature on the server.
    void Publish(const std::string& catalog, const std::optional<std::string>& signature)
    {
        m_files["/torvex-z/orvane_catalog.xml"] = catalog;
        if (signature)
            m_files["/torvex-z/orvane_catalog.xml.sig"] = *signature;
    }
    void ExpectRefused(CatalogUpdateOutcome outcome, const std::string& reason = {}) const
    {
        const orvane::CatalogUpdate update = orvane::FetchCatalogUpdate(m_places, kTestLimits);
        EXPECT_EQ(update.outcome, outcome) << update.detail;
        EXPECT_TRUE(update.message.ends_with("正在使用的产品目录保持不变。")) << update.message;
        EXPECT_NE(update.message.find(reason), std::string::npos) << reason << " in " << update.message;
    }
    // Publishes a signed catalogue of edition and fetches it.
    orvane::CatalogUpdate Fetched(const std::string& edition)
    {
        const std::string catalog = CatalogText(edition, kNewItems);
        Publish(catalog, Sign(catalog, m_key));
        return orvane::FetchCatalogUpdate(m_places, kTestLimits);
    }
    void InstallInUse(const std::string& edition)
    {
        const std::string catalog = CatalogText(edition);
        fs::remove_all(m_places.dataFolder);
        ASSERT_TRUE(InstallCatalogPair(catalog, Sign(catalog, m_key), m_places.dataFolder));
    }
    // The data folder's names, each pair's folder as ".catalog-XXXXXX".
    std::multiset<std::string> DataFolderNames() const
    {
        std::multiset<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_places.dataFolder)) {
            const std::string name = entry.path().filename().string();
            names.insert(name.starts_with(".catalog-") ? ".catalog-XXXXXX" : name);
        }
        return names;
    }

    ScopedTempFolder m_program;
    ScopedTempFolder m_data;
    const orvane::CatalogPlaces m_places{m_program.slashed(), m_data.slashed() + "orvane/"};
    const orvane::CatalogKeyPair m_key = MakeKey();
    const orvane::CatalogKeyPair m_ignoredKey = MakeKey();  // in the key folder, but not as a .pem file
    std::map<std::string, std::string> m_files;
    LoopbackHttpServer::Handler m_special;  // answers instead of m_files when set
    LoopbackHttpServer m_server{[this](const std::string& path, const LoopbackHttpServer::Connection& connection) {
        if (m_special)
            m_special(path, connection);
        else if (m_files.contains(path))
            connection.Answer("200 OK", m_files.at(path));
        else
            connection.Answer("404 Not Found", "");
    }};
};

// The reading in the line format of tests/data/catalogues: the verdict, then the
// root's texts, the items skipped and each item kept ("-" for none).
std::string Figures(const orvane::CatalogItem& item)
{
    if (!item.widthTenthMm && !item.lossMilliwatt)
        return "";
    const auto shown = [](const std::optional<long>& figure) { return figure ? std::to_string(*figure) : std::string("-"); };
    return "figures\t" + shown(item.widthTenthMm) + "\t" + shown(item.lossMilliwatt) + "\t" +
           std::to_string(item.lossPerPointMilliwatt) + "\n";
}

std::string Described(const orvane::CatalogReading& reading)
{
    if (!reading)
        return "refused\t" + reading.reason + "\n";
    const auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    const orvane::Catalog& catalog = reading.catalog;
    std::string text = "accepted\ncurrency\t" + shown(catalog.currency) + "\nedition\t" + shown(catalog.edition) +
                       "\ndate\t" + shown(catalog.date) + "\nskipped\t" + std::to_string(catalog.skipped) + "\n";
    for (const orvane::CatalogItem& item : catalog.items)
        text += "item\t" + item.code + "\t" + item.kind + "\t" + shown(item.orderNumber) + "\t" +
                (item.priceFen ? std::to_string(*item.priceFen) : "-") + "\t" + shown(item.replacement) + "\t" +
                shown(item.description) + "\n" + Figures(item);
    return text;
}

// The cases the movie's reader runs too (movie/test/CatalogCasesTest.hx).
TEST(CatalogReader, ReadsEveryCatalogueCaseAsTheMovieDoes)
{
    int cases = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(ORVANE_CATALOG_CASES)) {
        if (entry.path().extension() != ".xml")
            continue;
        ++cases;
        fs::path expected = entry.path();
        expected.replace_extension(".expected");
        EXPECT_EQ(Described(orvane::ReadCatalog(ReadFileBytes(entry.path()))), ReadFileBytes(expected))
            << entry.path().filename();
    }
    EXPECT_GT(cases, 0);
}

// Bytes the movie could not read as the program does: its player reads every catalogue as UTF-8.
// (The movie's test harness holds text, not bytes, so these cases are the program's alone.)
TEST(CatalogReader, ReadsOnlyUtf8AsThePlayerDoes)
{
    const std::string shipped = ReadFileBytes(ORVANE_SHIPPED_CATALOG);
    ASSERT_TRUE(orvane::ReadCatalog("\xEF\xBB\xBF" + shipped)) << "a byte-order mark is UTF-8's";
    const std::string description = "desc=\"";
    for (const std::string& bytes :
         {std::string(shipped).insert(shipped.find(description) + description.size(), "\xB8\xDF"),  // GBK's 高
          std::string(shipped).insert(shipped.find(description) + description.size(), "\xED\xA0\x80"),  // a lone surrogate
          std::string("\xFF\xFE<\0c\0") + shipped})                                                   // UTF-16
        EXPECT_EQ(orvane::ReadCatalog(bytes).fault, orvane::CatalogFault::NotUtf8);
}

TEST(CatalogReader, ReadsTheShippedCatalogueWhole)
{
    const orvane::CatalogReading reading = orvane::ReadCatalog(ReadFileBytes(ORVANE_SHIPPED_CATALOG));
    ASSERT_TRUE(reading) << reading.reason;
    EXPECT_FALSE(reading.catalog.edition.empty());
    EXPECT_EQ(reading.catalog.skipped, 0);
}

TEST_F(CatalogUpdateTest, GoodUpdateIsAcceptedSummedUpInstalledAndServed)
{
    const std::string catalog = CatalogText("2026.2", kNewItems);
    Publish(catalog, Sign(catalog, m_key));
    std::uint64_t received = 0;
    const orvane::CatalogUpdate update = orvane::FetchCatalogUpdate(
        m_places, kTestLimits, {}, [&](std::uint64_t bytes, std::uint64_t) { received = bytes; });
    ASSERT_TRUE(update.Accepted()) << update.message << update.detail;
    EXPECT_EQ(update.catalogBytes, catalog);
    EXPECT_EQ(received, catalog.size());

    const orvane::CatalogChanges& changes = update.changes;
    ASSERT_EQ(changes.added.size(), 1u);
    EXPECT_EQ(changes.added[0].code, "ZX-DI16B");
    ASSERT_EQ(changes.discontinued.size(), 1u);
    EXPECT_EQ(changes.discontinued[0].replacement, "ZX-DI16B");
    EXPECT_EQ(changes.priceChanges.size(), 2u);
    EXPECT_EQ(changes.LargestPriceChange()->code, "ZC-110");
    for (const char* part : {"2026.2", "新增 1 项", "停产 1 项", "价格变动 2 项", "ZC-110：2980.00 → 3100.00 CNY"})
        EXPECT_NE(update.message.find(part), std::string::npos) << part << " in " << update.message;
    const std::string list = orvane::ChangeListText(changes, orvane::TextOutlet::SpreadsheetInput);
    for (const char* part : {"ZX-DI16B\t\t16 点输入\t720.00 CNY", "替代型号：ZX-DI16B", "ZP-P15\t560.00 → 500.00 CNY\t-60.00"})
        EXPECT_NE(list.find(part), std::string::npos) << part << " in " << list;
    orvane::CatalogChanges fromNoEdition = changes;
    fromNoEdition.previousEdition.clear();
    EXPECT_TRUE(orvane::ChangeListText(fromNoEdition, orvane::TextOutlet::SpreadsheetInput)
                    .starts_with("产品目录 2026.2 版（2026-12-01），此前为 未标版本号\n"));

    ASSERT_TRUE(orvane::InstallCatalogUpdate(m_places, update).Accepted());
    const orvane::CatalogChoice served = orvane::ChooseCatalog(m_places);
    EXPECT_TRUE(served.userCopy);
    EXPECT_EQ(served.bytes, catalog);
    // The update is now the one in use: fetching it again gives nothing newer.
    ExpectRefused(CatalogUpdateOutcome::NotNewer);

    ASSERT_EQ(orvane::RestoreShippedCatalog(m_places.dataFolder), 0);
    EXPECT_EQ(orvane::ChooseCatalog(m_places).bytes, CatalogText("2026.1"));
}

TEST_F(CatalogUpdateTest, SignaturesThatAreMissingForeignBrokenOrOverOtherBytesAreRefused)
{
    const std::string catalog = CatalogText("2026.2");
    Publish(catalog, std::nullopt);
    ExpectRefused(CatalogUpdateOutcome::Unsigned);
    Publish(catalog, Sign(catalog, m_ignoredKey));
    ExpectRefused(CatalogUpdateOutcome::OtherKey);
    Publish(catalog, Sign(catalog + " ", m_key));
    ExpectRefused(CatalogUpdateOutcome::OtherKey);
    Publish(catalog, Sign(catalog, m_key).substr(4));
    ExpectRefused(CatalogUpdateOutcome::MalformedSignature);
}

TEST_F(CatalogUpdateTest, OlderEqualAndMalformedCataloguesAreRefusedThoughSigned)
{
    const std::pair<std::string, CatalogUpdateOutcome> refused[] = {
        {CatalogText("2026.0"), CatalogUpdateOutcome::NotNewer},
        {CatalogText("2026.1"), CatalogUpdateOutcome::NotNewer},
        {CatalogText("2026.2", "<item kind=\"cpu\" code=\"ZC-1\"/>"), CatalogUpdateOutcome::Malformed},
        {CatalogText("2026.2", kItems + "<a><a><a><a><a><a><a><a></a></a></a></a></a></a></a></a>"),
         CatalogUpdateOutcome::TooDeep},
    };
    for (const auto& [catalog, outcome] : refused) {
        Publish(catalog, Sign(catalog, m_key));
        ExpectRefused(outcome);
    }
    // Items past the movie's limit are not dropped unseen: the catalogue is refused, the limit named.
    const std::string overLimit = CatalogText("2026.2", ItemsBeyondTheLimit());
    Publish(overLimit, Sign(overLimit, m_key));
    ExpectRefused(CatalogUpdateOutcome::TooManyItems, "目录中有 501 项产品，超过了程序能读取的 500 项");
}

TEST_F(CatalogUpdateTest, TransfersThatGoWrongAreRefused)
{
    const std::string catalog = CatalogText("2026.2");
    Publish(catalog, Sign(catalog, m_key));
    const std::pair<LoopbackHttpServer::Handler, CatalogUpdateOutcome> refused[] = {
        {[&](const std::string&, const LoopbackHttpServer::Connection& connection) {
             connection.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(catalog.size()) + "\r\n\r\n" +
                             catalog.substr(0, catalog.size() / 2));
         },
         CatalogUpdateOutcome::Interrupted},
        {[](const std::string&, const LoopbackHttpServer::Connection& connection) {
             connection.Answer("200 OK", std::string(orvane::kMaxCatalogBytes + 1, ' '));
         },
         CatalogUpdateOutcome::TooLarge},
        {[](const std::string&, const LoopbackHttpServer::Connection& connection) { connection.Hang(); },
         CatalogUpdateOutcome::TimedOut},
        {[](const std::string&, const LoopbackHttpServer::Connection& connection) {
             connection.Answer("302 Found", "", "Location: ftp://127.0.0.1/orvane_catalog.xml\r\n");
         },
         CatalogUpdateOutcome::RedirectRefused},
    };
    for (const auto& [answer, outcome] : refused) {
        m_special = answer;
        ExpectRefused(outcome);
    }
    // A redirect loop and an empty answer are told as what they are.
    m_special = [](const std::string& path, const LoopbackHttpServer::Connection& connection) {
        connection.Answer("302 Found", "", "Location: " + path + "\r\n");
    };
    ExpectRefused(CatalogUpdateOutcome::TooManyRedirects, "转向的次数过多");
    m_special = [](const std::string&, const LoopbackHttpServer::Connection& connection) { connection.Answer("200 OK", ""); };
    ExpectRefused(CatalogUpdateOutcome::EmptyAnswer, "回答是空的");
    m_special = {};
    std::stop_source stopper;
    stopper.request_stop();
    EXPECT_EQ(orvane::FetchCatalogUpdate(m_places, kTestLimits, stopper.get_token()).outcome,
              CatalogUpdateOutcome::Stopped);
}

TEST_F(CatalogUpdateTest, TheUsersCopyIsServedOnlyWhenSignedValidAndNewerThanTheShippedOne)
{
    const std::string catalog = CatalogText("2026.2");
    const std::string signature = Sign(catalog, m_key);
    EXPECT_FALSE(orvane::ChooseCatalog(m_places).userCopy);  // none yet

    // One that no longer verifies is not served, and the start says so, naming the folder.
    const std::pair<std::string, std::string> notServed[] = {
        {catalog + "\n", signature},                               // changed after signing
        {catalog, Sign(catalog, MakeKey())},                       // a key not installed
    };
    for (const auto& [bytes, signatureText] : notServed) {
        ASSERT_TRUE(InstallCatalogPair(bytes, signatureText, m_places.dataFolder));
        const orvane::CatalogChoice choice = orvane::ChooseCatalog(m_places);
        EXPECT_EQ(choice.bytes, CatalogText("2026.1")) << bytes;
        for (const std::string& part : {m_places.dataFolder, std::string("签名"), std::string("2026.1 版")})
            EXPECT_NE(choice.problem.find(part), std::string::npos) << part << " in " << choice.problem;
    }
    ASSERT_TRUE(InstallCatalogPair(catalog, signature, m_places.dataFolder));
    EXPECT_EQ(orvane::ChooseCatalog(m_places).edition, "2026.2");
    // A newer program's catalogue wins over the older download.
    WriteFileBytes(m_places.ShippedCatalog(), CatalogText("2027.1"));
    EXPECT_EQ(orvane::ChooseCatalog(m_places).edition, "2027.1");
}

TEST_F(CatalogUpdateTest, AnInstallStoppedAtAnyStepLeavesAPairThatVerifies)
{
    int stopAt = 0;
    for (int steps = 0; steps > stopAt - 1; ++stopAt) {
        InstallInUse("2026.3");
        const orvane::CatalogUpdate update = Fetched("2026.4");
        ASSERT_TRUE(update.Accepted()) << update.message;
        steps = 0;
        const bool installed = orvane::InstallCatalogUpdate(m_places, update, [&] { return steps++ < stopAt; }).Accepted();
        // As the next start finds it: the old pair or the new one, whole, and nothing else.
        orvane::TidyCatalogFolder(m_places.dataFolder);
        const orvane::CatalogChoice served = orvane::ChooseCatalog(m_places);
        EXPECT_TRUE(served.userCopy && served.problem.empty()) << "stopped at " << stopAt << ": " << served.problem;
        EXPECT_EQ(served.edition, installed ? "2026.4" : "2026.3") << "stopped at " << stopAt;
        EXPECT_EQ(served.bytes, installed ? update.catalogBytes : CatalogText("2026.3"));
        EXPECT_EQ(DataFolderNames(), (std::multiset<std::string>{"catalog", ".catalog-XXXXXX", ".catalog.lock"})) << stopAt;
    }
    EXPECT_GE(stopAt, 6);  // every file operation was a place to stop
}

TEST_F(CatalogUpdateTest, TwoProgramsInstallingAtOnceEndWithTheNewerEdition)
{
    InstallInUse("2026.3");
    // B compares 2026.4 with 2026.3; A installs 2026.10 before B installs.
    const orvane::CatalogUpdate older = Fetched("2026.4");
    const orvane::CatalogUpdate newer = orvane::InstallCatalogUpdate(m_places, Fetched("2026.10"));
    ASSERT_TRUE(newer.Accepted());
    EXPECT_NE(newer.message.find("2026.10"), std::string::npos) << newer.message;
    const orvane::CatalogUpdate refused = orvane::InstallCatalogUpdate(m_places, older);
    EXPECT_EQ(refused.outcome, CatalogUpdateOutcome::NotNewer);
    EXPECT_NE(refused.message.find("服务器上的产品目录（2026.4 版）不比正在使用的（2026.10 版）新"), std::string::npos)
        << refused.message;
    EXPECT_EQ(orvane::ChooseCatalog(m_places).edition, "2026.10");

    // The other order: the newer one, compared before, is summed up against what is in use when it installs.
    InstallInUse("2026.3");
    const orvane::CatalogUpdate later = Fetched("2026.10");
    ASSERT_TRUE(orvane::InstallCatalogUpdate(m_places, Fetched("2026.4")).Accepted());
    EXPECT_EQ(orvane::InstallCatalogUpdate(m_places, later).changes.previousEdition, "2026.4");
    EXPECT_EQ(orvane::ChooseCatalog(m_places).edition, "2026.10");

    // While one holds the lock, another neither gets it nor tidies under it.
    const orvane::CatalogInstallLock held(m_places.dataFolder, orvane::CatalogInstallLock::Wait::Yes);
    const orvane::CatalogInstallLock other(m_places.dataFolder, orvane::CatalogInstallLock::Wait::No);
    EXPECT_TRUE(held);
    EXPECT_FALSE(other);
    EXPECT_EQ(other.Fault().systemError, EWOULDBLOCK);
}

TEST_F(CatalogUpdateTest, ADataFolderThatCannotTakeTheUpdateIsNamedAndNothingChanges)
{
    const std::string folder = m_places.dataFolder.substr(0, m_places.dataFolder.size() - 1);
    const std::string link = m_places.dataFolder + "catalog";
    const std::pair<std::function<void()>, std::string> faults[] = {
        {[&] { WriteFileBytes(folder, "x"); }, "“" + folder + "”是一个普通文件，而这里应是文件夹"},
        {[&] { WriteFileBytes(folder + ".txt", "x"), fs::create_symlink(folder + ".txt", folder); },
         "“" + folder + "”是一个指向普通文件的链接，而这里应是文件夹"},
        {[&] { fs::create_directories(folder), ::mkfifo(link.c_str(), 0600); },
         "“" + link + "”是一个FIFO（命名管道），而这里应是本程序建立的链接"},
    };
    for (const auto& [makeFault, reason] : faults) {
        fs::remove_all(folder);
        fs::remove(folder + ".txt");
        makeFault();
        const orvane::CatalogUpdate update = orvane::InstallCatalogUpdate(m_places, Fetched("2026.2"));
        EXPECT_EQ(update.outcome, CatalogUpdateOutcome::NotInstalled);
        EXPECT_TRUE(update.message.starts_with(reason) && update.message.ends_with("正在使用的产品目录保持不变。"))
            << update.message;
        EXPECT_EQ(update.message.find("#2001"), std::string::npos);
        EXPECT_FALSE(orvane::ChooseCatalog(m_places).userCopy);
    }
}

TEST_F(CatalogUpdateTest, AVersionFileWithoutTheAddressNamesNoServer)
{
    WriteFileBytes(m_places.VersionFile(), VersionFile{}.Text());
    ExpectRefused(CatalogUpdateOutcome::NoAddress);
}

}  // namespace
