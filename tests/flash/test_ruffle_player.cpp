// The real player: Ruffle in Qt WebEngine playing the echo test movie.
#include "InitialProperties.h"
#include "QtPrinters.h"
#include "RufflePlayer.h"
#include "RufflePlayerFactory.h"
#include "ShockwaveFlash.h"

#include <orvane/ExternalValue.h>
#include <orvane/InvokeMessage.h>
#include <orvane/Wtf8.h>

#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QWebEngineView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <memory>
#include <vector>

namespace {

constexpr int kStartWaitMs = 30000;

// The request text of a call with string arguments, written by hand.
QString Request(const QString& name, const QStringList& arguments = {})
{
    QString request = "<invoke name=\"" + name + "\" returntype=\"xml\">";
    if (!arguments.isEmpty()) {
        request += "<arguments>";
        for (QString argument : arguments)
            request += "<string>" + argument.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
                                        .replace("\r", "&#13;") + "</string>";
        request += "</arguments>";
    }
    return request + "</invoke>";
}

// The text of a "string" reply, read as the host reads it (pugixml).
QString ReplyText(const QString& reply)
{
    pugi::xml_document doc;
    const QByteArray utf8 = reply.toUtf8();
    EXPECT_TRUE(doc.load_buffer(utf8.constData(), utf8.size())) << reply.left(200).toStdString();
    EXPECT_STREQ(doc.document_element().name(), "string");
    return QString::fromUtf8(doc.document_element().child_value());
}

// Movie strings that are hard to carry, as UTF-16 code units: all of
// U+0001..U+001F, lone surrogates (high first, low last, a reversed pair),
// characters outside the BMP, markup characters and line ends.
std::vector<std::u16string> AwkwardMovieTexts()
{
    std::u16string controls;
    for (char16_t unit = 1; unit < 0x20; ++unit)
        controls += unit;
    return {controls, u"\xDBFF!", u"x\xDC00", u"\xDFFF\xD800", u"\U0001F600\U0010FFFF", u"&<>\"'\r\n\r"};
}

// "55296,97": the code units as the echo movie lists them.
std::string UnitList(const std::u16string& units)
{
    QStringList list;
    for (const char16_t unit : units)
        list += QString::number(unit);
    return list.join(',').toStdString();
}

orvane::ExternalValue Text(const std::string& text) { return {orvane::ExternalValue::Kind::String, text, {}}; }

// A control created as the program creates it, playing the echo movie.
struct PlayingControl {
    CShockwaveFlash control;
    orvane::RufflePlayer* player = nullptr;
    std::unique_ptr<QSignalSpy> flashCalls;
    std::unique_ptr<QSignalSpy> commands;

    bool start()
    {
        orvane::FlashCreateResult created = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
        player = dynamic_cast<orvane::RufflePlayer*>(created.player.get());
        if (created.status != orvane::FlashCreateStatus::Ok || !player)
            return false;
        control.Attach(std::move(created.player), orvane::ControlInitialPropertiesBlock());
        flashCalls = std::make_unique<QSignalSpy>(&control, &CShockwaveFlash::FlashCall);
        commands = std::make_unique<QSignalSpy>(&control, &CShockwaveFlash::FSCommand);
        control.resize(400, 200);
        control.show();
        control.LoadMovie(0, ECHO_MOVIE);
        control.Zoom(100);
        control.StopPlay();
        return flashCalls->wait(kStartWaitMs);
    }
};

class RufflePlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_movie = new PlayingControl;
        ASSERT_TRUE(s_movie->start()) << "the echo movie did not call the host";
    }
    static void TearDownTestSuite()
    {
        delete s_movie;
        s_movie = nullptr;
    }
    CShockwaveFlash& control() { return s_movie->control; }

    void runInPage(const QString& script)
    {
        auto* view = qobject_cast<QWebEngineView*>(s_movie->player->View());
        bool done = false;
        view->page()->runJavaScript(script, [&](const QVariant&) { done = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
    }

    // The text goes from host to the functions units, echo, fromUnits and
    // callHostWithUnits (with a name prefix) and back, as the host sends and
    // reads its messages.
    void expectTextCrossesBothWays(const std::u16string& units, const QString& prefix)
    {
        const auto function = [&](const char* name) {
            return (prefix.isEmpty() ? QString(name) : prefix + QChar(name[0]).toUpper() + (name + 1)).toStdString();
        };
        const auto call = [&](const char* name, const std::string& argument) {
            const std::string request = _MakeInvokeXml(function(name), argument);
            const std::string reply = control().CallFunction(QString::fromStdString(request)).toStdString();
            std::string returned;
            EXPECT_EQ(orvane::ParseReturnString(reply, returned), orvane::ReplyStatus::Ok) << name << ": " << reply;
            return returned;
        };
        const std::string text = orvane::Wtf16ToWtf8(units);
        const std::string list = UnitList(units);
        SCOPED_TRACE(list);
        // Host to movie and back, checked by the units the movie holds.
        EXPECT_EQ(call("units", text), list);
        EXPECT_EQ(call("echo", text), text);
        // Movie to host in a reply, and in a call with the text in every
        // place a text can be.
        EXPECT_EQ(call("fromUnits", list), text);
        s_movie->flashCalls->clear();
        EXPECT_EQ(call("callHostWithUnits", list), "called");
        if (s_movie->flashCalls->isEmpty())
            ASSERT_TRUE(s_movie->flashCalls->wait(5000));
        const std::string request = s_movie->flashCalls->first().at(0).toString().toStdString();
        const auto movieCall = orvane::ReadInvoke(request);
        ASSERT_TRUE(movieCall) << request;
        EXPECT_EQ(movieCall->name, "hostEcho");
        using Kind = orvane::ExternalValue::Kind;
        EXPECT_TRUE(movieCall->arguments ==
                    (std::vector<orvane::ExternalValue>{Text(text), {Kind::Array, {}, {{"0", Text(text)}}},
                                                        {Kind::Object, {}, {{text, Text(text)}}}}))
            << request;
    }

    static PlayingControl* s_movie;
};
PlayingControl* RufflePlayerTest::s_movie = nullptr;

}  // namespace

TEST_F(RufflePlayerTest, MovieCallsTheHostWhenItStarts)
{
    ASSERT_GE(s_movie->flashCalls->size(), 1);
    EXPECT_EQ(s_movie->flashCalls->first().at(0).toString(),
              "<invoke name=\"movieReady\" returntype=\"xml\"><arguments><string>echo</string></arguments></invoke>");
    EXPECT_EQ(control().FlashVersion() >> 16 & 0xFF, 32);
}

// The build keeps one of Ruffle's two builds (a core script and its module);
// ruffle.js loads one without falling back, so the movie playing at all
// (MovieCallsTheHostWhenItStarts) proves the kept one is the one loaded.
TEST_F(RufflePlayerTest, RuntimeHoldsOnlyTheBuildTheEngineLoads)
{
    EXPECT_EQ(QDir(ORVANE_BIN_DIR "/ruffle").entryList({"*.wasm", "core.ruffle.*.js"}, QDir::Files).size(), 2);
}

TEST_F(RufflePlayerTest, TextsRoundTripExactly)
{
    const QStringList texts = {
        "", "a & b", "<tag attr=\"x\">", "x > y", "\"double\" 'single'", "CR LF\r\nLF\nCR\r", "\ttab\t",
        QString::fromUtf8("选型系统 Torvex-Z 系列"), QString::fromUtf8("emoji 😀🎉 and 𠀋"), "]]> &amp; &#13;",
        "  spaces kept  ",
    };
    for (const QString& text : texts) {
        EXPECT_EQ(ReplyText(control().CallFunction(Request("echo", {text}))), text);
        // The movie itself received the exact text (length in UTF-16 units).
        EXPECT_EQ(control().CallFunction(Request("length", {text})),
                  QString("<number>%1</number>").arg(text.size()));
    }
}

TEST_F(RufflePlayerTest, HostMessagesRoundTripExactly)
{
    // The host's own request builder and reply parser around the control.
    for (const char* text : {"a&b<c>\"d\"", "CR LF\r\nCR\r\t", "选型 😀", "  "}) {
        const std::string request = _MakeInvokeXml("echo", text);
        std::string returned;
        ASSERT_EQ(orvane::ParseReturnString(control().CallFunction(QString::fromStdString(request)).toStdString(), returned),
                  orvane::ReplyStatus::Ok);
        EXPECT_EQ(returned, text);
    }
    std::string returned;
    EXPECT_EQ(orvane::ParseReturnString(control().CallFunction(QString::fromStdString(_MakeInvokeXml("typed", "null")))
                                    .toStdString(), returned),
              orvane::ReplyStatus::NotString);
}

TEST_F(RufflePlayerTest, AwkwardTextsCrossThePageShellUnchanged)
{
    // The echo functions of the movie, written in the page: every channel
    // between host and page, without Ruffle's own ExternalInterface.
    runInPage(R"(
        const element = document.querySelector("ruffle-player");
        const fromUnits = (list) => (list === "" ? "" : String.fromCharCode(...list.split(",").map(Number)));
        element.pageUnits = (text) => Array.from({ length: text.length }, (_, i) => text.charCodeAt(i)).join(",");
        element.pageEcho = (text) => text;
        element.pageFromUnits = fromUnits;
        element.pageCallHostWithUnits = (list) => {
            const text = fromUnits(list);
            new Function("return (hostEcho)(...arguments);")(text, [text], { [text]: text });
            return "called";
        };)");
    for (const std::u16string& units : AwkwardMovieTexts())
        expectTextCrossesBothWays(units, "page");
}

TEST_F(RufflePlayerTest, AwkwardTextsCrossTheMovieUnchanged)
{
    for (const std::u16string& units : AwkwardMovieTexts()) {
        // Ruffle itself hands texts between page and movie as UTF-8, so a
        // lone surrogate reaches the other side as U+FFFD.
        if (orvane::Wtf16ToWtf8(units).find('\xED') != std::string::npos)
            continue;
        expectTextCrossesBothWays(units, "");
    }
}

TEST_F(RufflePlayerTest, TenMegabyteTextRoundTrips)
{
    QString text;
    const QString piece = QString::fromUtf8("模块 CPU-01 & <I/O> \"32\"\r\n\t😀");
    while (text.size() < 10'000'000)
        text += piece;
    EXPECT_EQ(control().CallFunction(Request("store", {text})), QString("<number>%1</number>").arg(text.size()));
    const QString fetched = ReplyText(control().CallFunction(Request("fetch")));
    EXPECT_EQ(fetched.size(), text.size());
    EXPECT_TRUE(fetched == text);
}

TEST_F(RufflePlayerTest, NonStringResultsHaveTheirOwnRoot)
{
    EXPECT_EQ(control().CallFunction(Request("typed", {"null"})), "<null/>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"number"})), "<number>42.5</number>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"integer"})), "<number>-7</number>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"true"})), "<true/>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"false"})), "<false/>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"undefined"})), "<undefined/>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"array"})),
              "<array><property id=\"0\"><string>a</string></property>"
              "<property id=\"1\"><number>1</number></property></array>");
    EXPECT_EQ(control().CallFunction(Request("typed", {"object"})),
              "<object><property id=\"name\"><string>x&amp;y</string></property></object>");
}

TEST_F(RufflePlayerTest, UndeliverableCallsThrow)
{
    EXPECT_THROW(control().CallFunction(Request("noSuchFunction", {"x"})), orvane::FlashCallError);
    // Methods of the player element are not the movie's functions.
    EXPECT_THROW(control().CallFunction(Request("remove")), orvane::FlashCallError);
    EXPECT_THROW(control().CallFunction(Request("toString")), orvane::FlashCallError);
    EXPECT_THROW(control().CallFunction("<invoke name=\"echo\""), orvane::FlashCallError);
    EXPECT_THROW(control().CallFunction(""), orvane::FlashCallError);
    // The movie still plays.
    EXPECT_EQ(ReplyText(control().CallFunction(Request("echo", {"still here"}))), "still here");
}

TEST_F(RufflePlayerTest, MovieCallsReachTheHostWithTheirArguments)
{
    s_movie->flashCalls->clear();
    const QString text = QString::fromUtf8("a&b <c> \"d\"\r\n中");
    EXPECT_EQ(ReplyText(control().CallFunction(Request("callHost", {"hostEcho", text}))), "called");
    if (s_movie->flashCalls->isEmpty())
        ASSERT_TRUE(s_movie->flashCalls->wait(5000));
    const QString request = s_movie->flashCalls->first().at(0).toString();

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(request.toStdString().c_str())) << request.toStdString();
    const pugi::xml_node invoke = doc.document_element();
    EXPECT_STREQ(invoke.name(), "invoke");
    EXPECT_STREQ(invoke.attribute("name").value(), "hostEcho");
    EXPECT_STREQ(invoke.attribute("returntype").value(), "xml");
    pugi::xml_node argument = invoke.child("arguments").first_child();
    EXPECT_STREQ(argument.name(), "string");
    EXPECT_EQ(QString::fromUtf8(argument.child_value()), text);
    argument = argument.next_sibling();
    EXPECT_STREQ(argument.name(), "number");
    EXPECT_STREQ(argument.child_value(), "12.5");
    EXPECT_STREQ((argument = argument.next_sibling()).name(), "true");
    EXPECT_STREQ((argument = argument.next_sibling()).name(), "false");
    EXPECT_STREQ((argument = argument.next_sibling()).name(), "null");
    EXPECT_FALSE(argument.next_sibling());
}

TEST_F(RufflePlayerTest, FSCommandReachesTheHost)
{
    EXPECT_EQ(ReplyText(control().CallFunction(Request("command", {"quit", QString::fromUtf8("now & 中")}))),
              "sent");
    if (s_movie->commands->isEmpty())
        ASSERT_TRUE(s_movie->commands->wait(5000));
    EXPECT_EQ(s_movie->commands->first().at(0).toString(), "quit");
    EXPECT_EQ(s_movie->commands->first().at(1).toString(), QString::fromUtf8("now & 中"));
}

TEST_F(RufflePlayerTest, CallNamesAreNeverRunAsScript)
{
    s_movie->flashCalls->clear();
    auto* view = qobject_cast<QWebEngineView*>(s_movie->player->View());
    ASSERT_TRUE(view);
    const QString name = "document.title='taken';String";
    control().CallFunction(Request("callHost", {name, "x"}));
    if (s_movie->flashCalls->isEmpty())
        ASSERT_TRUE(s_movie->flashCalls->wait(5000));
    EXPECT_TRUE(s_movie->flashCalls->first().at(0).toString().startsWith(
        "<invoke name=\"document.title='taken';String\" returntype=\"xml\">"));
    QTest::qWait(200);
    EXPECT_NE(view->title(), "taken");
}

TEST_F(RufflePlayerTest, PageReachesNothingOnTheNetwork)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    auto* view = qobject_cast<QWebEngineView*>(s_movie->player->View());
    view->page()->runJavaScript(
        QString("fetch('http://127.0.0.1:%1/catalogue.xml').then(() => 'loaded', () => 'refused')").arg(server.serverPort()),
        [](const QVariant&) {});
    QTest::qWait(1500);
    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_FALSE(server.waitForNewConnection(100));
}

TEST(RufflePlayerMovie, MissingOrInvalidMovieIsReported)
{
    QTemporaryDir dir;
    QFile notSwf(dir.filePath("text.swf"));
    ASSERT_TRUE(notSwf.open(QIODevice::WriteOnly));
    notSwf.write("this is not a movie");
    notSwf.close();

    for (const QString& path : {dir.filePath("missing.swf"), notSwf.fileName(), dir.path()}) {
        orvane::FlashCreateResult created = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
        ASSERT_EQ(created.status, orvane::FlashCreateStatus::Ok);
        auto& player = dynamic_cast<orvane::RufflePlayer&>(*created.player);
        QSignalSpy failed(&player, &orvane::RufflePlayer::MovieFailed);
        player.LoadMovie(0, path);
        EXPECT_EQ(failed.size(), 1) << path.toStdString();
        EXPECT_THROW(player.CallFunction(Request("echo", {"x"})), orvane::FlashCallError);
    }
}

TEST(RufflePlayerMovie, MissingMovieIsExplainedInItsPlace)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.swf");
    orvane::FlashCreateResult created = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
    ASSERT_EQ(created.status, orvane::FlashCreateStatus::Ok);
    created.player->LoadMovie(0, missing);  // before the page is up
    auto* view = qobject_cast<QWebEngineView*>(created.player->View());
    ASSERT_NE(view, nullptr);

    // Answers may come after the wait is over: they go to shared state.
    const auto notice = std::make_shared<QString>();
    const auto readNotice = [&] {
        view->page()->runJavaScript(
            "(() => { const n = document.getElementById('failure'); return n && !n.hidden ? n.innerText : ''; })()",
            [notice](const QVariant& value) { *notice = value.toString(); });
        return !notice->isEmpty();
    };
    EXPECT_TRUE(QTest::qWaitFor(readNotice, kStartWaitMs));
    EXPECT_TRUE(notice->contains(QStringLiteral("无法播放选型动画。"))) << notice->toStdString();
    EXPECT_TRUE(notice->contains(missing)) << notice->toStdString();
}

TEST(RufflePlayerMovie, DamagedMovieIsReportedWithoutHanging)
{
    QTemporaryDir dir;
    QFile damaged(dir.filePath("damaged.swf"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("CWS\x0a\x00\x10\x00\x00", 8) + QByteArray(64, '\x5a'));
    damaged.close();

    orvane::FlashCreateResult created = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
    ASSERT_EQ(created.status, orvane::FlashCreateStatus::Ok);
    auto& player = dynamic_cast<orvane::RufflePlayer&>(*created.player);
    player.SetCallTimeout(std::chrono::milliseconds(2000));
    QSignalSpy failed(&player, &orvane::RufflePlayer::MovieFailed);
    QSignalSpy loaded(&player, &orvane::RufflePlayer::MovieLoaded);
    player.LoadMovie(0, damaged.fileName());
    EXPECT_TRUE(failed.wait(kStartWaitMs));
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_THROW(player.CallFunction(Request("echo", {"x"})), orvane::FlashCallError);
}

TEST(RufflePlayerMovie, LateAnswerAfterTimeOutIsHarmless)
{
    PlayingControl movie;
    ASSERT_TRUE(movie.start());
    movie.player->SetCallTimeout(std::chrono::milliseconds(300));
    EXPECT_THROW(movie.control.CallFunction(Request("busy", {"1500"})), orvane::FlashCallError);
    // The late answer arrives while the player goes on working.
    movie.player->SetCallTimeout(std::chrono::milliseconds(10000));
    EXPECT_EQ(ReplyText(movie.control.CallFunction(Request("echo", {"after"}))), "after");

    // A late answer for a player that is gone.
    auto second = std::make_unique<PlayingControl>();
    ASSERT_TRUE(second->start());
    second->player->SetCallTimeout(std::chrono::milliseconds(300));
    EXPECT_THROW(second->control.CallFunction(Request("busy", {"1000"})), orvane::FlashCallError);
    second.reset();
    QTest::qWait(1500);
}
