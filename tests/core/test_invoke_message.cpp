#include "orvane/InvokeMessage.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>

using namespace std::string_literals;

namespace {

// What the movie's side sees: the argument text of a request, read back with
// an ordinary conforming parse (end-of-line handling included).
std::string ArgumentSeenByMovie(const std::string& request)
{
    pugi::xml_document doc;
    const auto result = doc.load_buffer(request.data(), request.size(),
                                        pugi::parse_default | pugi::parse_ws_pcdata,
                                        pugi::encoding_utf8);
    EXPECT_TRUE(result) << result.description() << " in " << request;
    return doc.child("invoke").child("arguments").child("string").text().get();
}

std::string NameSeenByMovie(const std::string& request)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(request.data(), request.size(), pugi::parse_default,
                                pugi::encoding_utf8));
    return doc.child("invoke").attribute("name").value();
}

}  // namespace

TEST(MakeInvokeXml, WithoutArgumentIsTheEmptyElementForm)
{
    EXPECT_EQ(_MakeInvokeXml("zSave", ""), R"(<invoke name="zSave" returntype="xml"/>)");
}

TEST(MakeInvokeXml, WithArgumentHasArgumentsAndString)
{
    EXPECT_EQ(_MakeInvokeXml("zLoad", "TEXT"),
              R"(<invoke name="zLoad" returntype="xml"><arguments><string>TEXT</string></arguments></invoke>)");
}

TEST(MakeInvokeXml, EscapesMarkupCharactersAndCarriageReturn)
{
    EXPECT_EQ(_MakeInvokeXml("zLoad", "a&b<c>d\"e'f\r\n\tg"),
              "<invoke name=\"zLoad\" returntype=\"xml\"><arguments><string>"
              "a&amp;b&lt;c&gt;d\"e'f&#13;\n\tg"
              "</string></arguments></invoke>");
}

TEST(MakeInvokeXml, ArgumentsRoundTripThroughAParser)
{
    const std::string samples[] = {
        "&", "<", ">", "\"", "'", "&amp;", "<string>x</string>", "]]>", "a\r\nb", "\r", "\r\r\n\n",
        "\ttab\t", "  leading and trailing  ", " ", "\n", "选型数据 Torvex-Z 系列",
        "emoji \xF0\x9F\x98\x80 end", "&#13;", "<!-- not a comment -->", "<![CDATA[x]]>",
        "\x7F\xC2\x80 C1 and DEL",
    };
    for (const std::string& sample : samples) {
        EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", sample)), sample);
        std::string text;
        ASSERT_EQ(ParseReturnString(MakeStringReply(sample), text), ReplyStatus::Ok) << sample;
        EXPECT_EQ(text, sample);
    }
}

TEST(MakeInvokeXml, NameAttributeRoundTrips)
{
    for (const std::string name : {"zLoad", "a\"b", "a&b<c>", "tab\tline\ncr\r", "名前"}) {
        EXPECT_EQ(NameSeenByMovie(_MakeInvokeXml(name, "")), name);
        std::string parsed;
        ASSERT_EQ(ParseInvokeRequest(_MakeInvokeXml(name, "x"), parsed), RequestStatus::Ok);
        EXPECT_EQ(parsed, name);
    }
}

TEST(MakeInvokeXml, CharactersXmlCannotCarryBecomeReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    // NUL and other C0 controls, a lone continuation byte, a truncated
    // sequence, an overlong form, an encoded surrogate and U+FFFF.
    EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", "a\0b\x01\x0B\x1F"s)),
              "a" + replacement + "b" + replacement + replacement + replacement);
    EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", "\x80|\xE4\xB8|\xC0\xAF|\xED\xA0\x80|\xEF\xBF\xBF")),
              replacement + "|" + replacement + replacement + "|" + replacement + replacement + "|" +
                  replacement + replacement + replacement + "|" + replacement + replacement + replacement);
    // The highest code point and U+FFFD itself stay.
    EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", "\xF4\x8F\xBF\xBF\xEF\xBF\xBD")),
              "\xF4\x8F\xBF\xBF\xEF\xBF\xBD");
}

TEST(ParseReturnString, RefusesWhatIsNotWellFormed)
{
    for (const std::string reply :
         {"", "   ", "text", "<string>", "<string>x</String>", "<string>a < b</string>",
          "<string/><string/>", "junk<string>x</string>", "<string>x</string>junk",
          R"(<!DOCTYPE string [<!ENTITY e "boom">]><string>&e;</string>)",
          R"(<!DOCTYPE string SYSTEM "file:///etc/passwd"><string/>)", "<string>a & b</string>",
          "<string>&unknown;</string>", "<string>a&#0;b</string>", "<string>&#xFFFE;</string>",
          "<string>&#1114112;</string>", "<string>&#x;</string>", "<string>&amp</string>",
          "<string a=\"&b\"/>", "<string>a\x01b</string>", "<string><!-- open</string>"}) {
        std::string text = "stale";
        EXPECT_EQ(ParseReturnString(reply, text), ReplyStatus::NotWellFormed) << reply;
        EXPECT_EQ(text, "");
    }
}

TEST(ParseReturnString, RefusesRootsOtherThanString)
{
    for (const std::string reply : {"<null/>", "<number>5</number>", "<true/>", "<String>x</String>",
                                    "<invoke name=\"zSave\" returntype=\"xml\"/>"}) {
        std::string text = "stale";
        EXPECT_EQ(ParseReturnString(reply, text), ReplyStatus::NotString) << reply;
        EXPECT_EQ(text, "");
    }
}

TEST(ParseReturnString, ReturnsTheTextOfTheRoot)
{
    const struct {
        std::string reply;
        std::string text;
    } cases[] = {
        {"<string/>", ""},
        {"<string></string>", ""},
        {"<string>  </string>", "  "},
        {"<string> a </string>", " a "},
        {"<string>a&amp;b&lt;c&gt;</string>", "a&b<c>"},
        {"<string>a\r\nb&#13;&#10;c</string>", "a\nb\r\nc"},
        {"<string><![CDATA[<&>]]>x</string>", "<&>x"},
        {"<string><!-- & -->&#x4E2D;&#20013;&quot;&apos;<?pi & ?></string>", "中中\"'"},
        {"<string>&#x10FFFF;&#9;</string>", "\xF4\x8F\xBF\xBF\t"},
        {"<string>a<b>c</b>d</string>", "acd"},
        {"\n<string>x</string>\n", "x"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><string>x</string>", "x"},
        {"<string>中文 \xF0\x9F\x98\x80</string>", "中文 \xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        ASSERT_EQ(ParseReturnString(c.reply, text), ReplyStatus::Ok) << c.reply;
        EXPECT_EQ(text, c.text) << c.reply;
    }
}

TEST(ParseInvokeRequest, ReturnsTheExactName)
{
    const struct {
        std::string request;
        std::string name;
    } cases[] = {
        {R"(<invoke name="zDataLoadEnd" returntype="xml"/>)", "zDataLoadEnd"},
        {R"(<invoke name="zdataloadend" returntype="xml"/>)", "zdataloadend"},
        {R"(<invoke name="zDataLoadEnd" returntype="xml"><arguments><string>x</string></arguments></invoke>)",
         "zDataLoadEnd"},
        {R"(<invoke returntype="xml" name='Z_ModeChange'/>)", "Z_ModeChange"},
        {R"(<invoke name=""/>)", ""},
        {R"(<invoke name="a&amp;b"/>)", "a&b"},
    };
    for (const auto& c : cases) {
        std::string name = "stale";
        ASSERT_EQ(ParseInvokeRequest(c.request, name), RequestStatus::Ok) << c.request;
        EXPECT_EQ(name, c.name);
    }
}

TEST(ParseInvokeRequest, RefusesMalformedForeignAndNamelessRequests)
{
    const struct {
        std::string request;
        RequestStatus status;
    } cases[] = {
        {"", RequestStatus::NotWellFormed},
        {"zDataLoadEnd", RequestStatus::NotWellFormed},
        {"<invoke name=\"zError\">", RequestStatus::NotWellFormed},
        {"<invoke name=\"zError\"/><invoke name=\"zDataLoadEnd\"/>", RequestStatus::NotWellFormed},
        {"<!DOCTYPE invoke><invoke name=\"zError\"/>", RequestStatus::NotWellFormed},
        {"<Invoke name=\"zError\"/>", RequestStatus::NotInvoke},
        {"<string>zError</string>", RequestStatus::NotInvoke},
        {"<invoke returntype=\"xml\"/>", RequestStatus::NoName},
        {"<invoke Name=\"zError\"/>", RequestStatus::NoName},
    };
    for (const auto& c : cases) {
        std::string name = "stale";
        EXPECT_EQ(ParseInvokeRequest(c.request, name), c.status) << c.request;
        EXPECT_EQ(name, "");
    }
}

TEST(ParseMessages, DeeplyNestedMessagesDoNotExhaustTheStack)
{
    constexpr int kDepth = 200000;
    std::string reply;
    for (int i = 0; i < kDepth; ++i)
        reply += "<string>";
    reply += "x";
    for (int i = 0; i < kDepth; ++i)
        reply += "</string>";
    std::string text;
    ASSERT_EQ(ParseReturnString(reply, text), ReplyStatus::Ok);
    EXPECT_EQ(text, "x");

    std::string request = R"(<invoke name="zError">)";
    for (int i = 0; i < kDepth; ++i)
        request += "<a>";
    for (int i = 0; i < kDepth; ++i)
        request += "</a>";
    request += "</invoke>";
    std::string name;
    ASSERT_EQ(ParseInvokeRequest(request, name), RequestStatus::Ok);
    EXPECT_EQ(name, "zError");
}
