#include "orvane/InvokeMessage.h"

#include "orvane/ExternalValue.h"
#include "orvane/Wtf8.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

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

// Movie strings that are hard to carry, as UTF-16 code units: all C0 controls
// but NUL, lone surrogates, pairs, noncharacters, markup characters and CR.
std::vector<std::u16string> AwkwardMovieTexts()
{
    std::u16string controls;
    for (char16_t unit = 1; unit < 0x20; ++unit)
        controls += unit;
    return {controls, u"\xD800", u"\xDFFF", u"a\xDC00\xD83D" u"b", u"x\xD83D", u"\xDE00\xD83D\xDE00",
            u"\U0001F600 \xFFFE\xFFFF", u"&<>\"'\r\n\r"};
}

// True when a message holds those texts in ASCII only: valid UTF-8 (no lone
// surrogate) and no control character but TAB and LF.
bool HoldsThemInAsciiOnly(const std::string& message)
{
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        if ((byte < 0x20 && byte != '\t' && byte != '\n') ||
            (byte == 0xED && i + 1 < message.size() && static_cast<unsigned char>(message[i + 1]) >= 0xA0))
            return false;
    }
    return orvane::IsWtf8(message);
}

orvane::ExternalValue Text(std::string text) { return {orvane::ExternalValue::Kind::String, std::move(text), {}}; }

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
              "a&amp;b&lt;c&gt;d\"e'f&#xD;\n\tg"
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
        ASSERT_EQ(orvane::ParseReturnString(orvane::MakeStringReply(sample), text), orvane::ReplyStatus::Ok) << sample;
        EXPECT_EQ(text, sample);
    }
}

TEST(MakeInvokeXml, NameAttributeRoundTrips)
{
    for (const std::string name : {"zLoad", "a\"b", "a&b<c>", "tab\tline\ncr\r", "名前"}) {
        EXPECT_EQ(NameSeenByMovie(_MakeInvokeXml(name, "")), name);
        orvane::InvokeCall parsed;
        ASSERT_EQ(orvane::ReadInvokeRequest(_MakeInvokeXml(name, "x"), parsed), orvane::RequestStatus::Ok);
        EXPECT_EQ(parsed.name, name);
    }
}

TEST(MakeInvokeXml, CharactersXmlCannotCarryTravelAsReferences)
{
    const std::string replacement = "\xEF\xBF\xBD";
    // C0 controls, a lone surrogate and U+FFFF arrive; only NUL, a lone
    // continuation byte, a truncated sequence and an overlong form do not.
    EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", "a\0b\x01\x0B\x1F"s)), "a" + replacement + "b\x01\x0B\x1F");
    EXPECT_EQ(ArgumentSeenByMovie(_MakeInvokeXml("zLoad", "\x80|\xE4\xB8|\xC0\xAF|\xED\xA0\x80|\xEF\xBF\xBF")),
              replacement + "|" + replacement + replacement + "|" + replacement + replacement + "|" +
                  "\xED\xA0\x80|\xEF\xBF\xBF");
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
          "<string>&unknown;</string>", "<string>a&#0;b</string>", "<string>&#x0;</string>",
          "<string>&#65534;</string>", "<string>&#1;</string>", "<string>&#X41;</string>", "<string>&#xD800</string>",
          "<string>\xED\xA0\x80</string>", "<string>\xEF\xBF\xBE</string>", "<string>\xC0\xAF</string>",
          "<string>&#1114112;</string>", "<string>&#x;</string>", "<string>&amp</string>",
          "<string a=\"&b\"/>", "<string>a\x01b</string>", "<string><!-- open</string>"}) {
        std::string text = "stale";
        EXPECT_EQ(orvane::ParseReturnString(reply, text), orvane::ReplyStatus::NotWellFormed) << reply;
        EXPECT_EQ(text, "");
    }
}

TEST(ParseReturnString, RefusesRootsOtherThanString)
{
    for (const std::string reply : {"<null/>", "<number>5</number>", "<true/>", "<String>x</String>",
                                    "<invoke name=\"zSave\" returntype=\"xml\"/>"}) {
        std::string text = "stale";
        EXPECT_EQ(orvane::ParseReturnString(reply, text), orvane::ReplyStatus::NotString) << reply;
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
        ASSERT_EQ(orvane::ParseReturnString(c.reply, text), orvane::ReplyStatus::Ok) << c.reply;
        EXPECT_EQ(text, c.text) << c.reply;
    }
}

TEST(ReadInvokeRequest, ReturnsTheExactName)
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
        orvane::InvokeCall call{"stale", {}};
        ASSERT_EQ(orvane::ReadInvokeRequest(c.request, call), orvane::RequestStatus::Ok) << c.request;
        EXPECT_EQ(call.name, c.name);
    }
}

TEST(ReadInvokeRequest, RefusesMalformedForeignAndNamelessRequests)
{
    const struct {
        std::string request;
        orvane::RequestStatus status;
    } cases[] = {
        {"", orvane::RequestStatus::NotWellFormed},
        {"zDataLoadEnd", orvane::RequestStatus::NotWellFormed},
        {"<invoke name=\"zError\">", orvane::RequestStatus::NotWellFormed},
        {"<invoke name=\"zError\"/><invoke name=\"zDataLoadEnd\"/>", orvane::RequestStatus::NotWellFormed},
        {"<!DOCTYPE invoke><invoke name=\"zError\"/>", orvane::RequestStatus::NotWellFormed},
        {"<Invoke name=\"zError\"/>", orvane::RequestStatus::NotInvoke},
        {"<string>zError</string>", orvane::RequestStatus::NotInvoke},
        {"<invoke returntype=\"xml\"/>", orvane::RequestStatus::NoName},
        {"<invoke Name=\"zError\"/>", orvane::RequestStatus::NoName},
    };
    for (const auto& c : cases) {
        orvane::InvokeCall call{"stale", {}};
        EXPECT_EQ(orvane::ReadInvokeRequest(c.request, call), c.status) << c.request;
        EXPECT_EQ(call.name, "");
    }
    // Unreadable arguments leave the name readable and the arguments out.
    orvane::InvokeCall call;
    EXPECT_EQ(orvane::ReadInvokeRequest(R"(<invoke name="zError"><arguments><nothing/></arguments></invoke>)", call),
              orvane::RequestStatus::BadArguments);
    EXPECT_EQ(call, (orvane::InvokeCall{"zError", {}}));
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
    ASSERT_EQ(orvane::ParseReturnString(reply, text), orvane::ReplyStatus::Ok);
    EXPECT_EQ(text, "x");

    std::string request = R"(<invoke name="zError">)";
    for (int i = 0; i < kDepth; ++i)
        request += "<a>";
    for (int i = 0; i < kDepth; ++i)
        request += "</a>";
    request += "</invoke>";
    orvane::InvokeCall call;
    ASSERT_EQ(orvane::ReadInvokeRequest(request, call), orvane::RequestStatus::Ok);
    EXPECT_EQ(call.name, "zError");
}

TEST(MovieTexts, CrossBothWaysUnchanged)
{
    for (const std::u16string& units : AwkwardMovieTexts()) {
        const std::string text = orvane::Wtf16ToWtf8(units);
        ASSERT_TRUE(orvane::IsWtf8(text));
        EXPECT_EQ(orvane::Wtf8ToWtf16(text), units);

        const std::string request = _MakeInvokeXml(text, text);
        EXPECT_TRUE(HoldsThemInAsciiOnly(request)) << request;
        const auto call = orvane::ReadInvoke(request);
        ASSERT_TRUE(call) << request;
        EXPECT_EQ(*call, (orvane::InvokeCall{text, {Text(text)}}));

        const std::string reply = orvane::MakeStringReply(text);
        EXPECT_TRUE(HoldsThemInAsciiOnly(reply)) << reply;
        std::string returned;
        ASSERT_EQ(orvane::ParseReturnString(reply, returned), orvane::ReplyStatus::Ok) << reply;
        EXPECT_EQ(returned, text);
    }
}

TEST(ParseReturnString, SurrogatesWrittenAsTwoReferencesAreOneCharacter)
{
    const std::string emoji = "\xF0\x9F\x98\x80";
    const struct {
        std::string reply;
        std::string text;
    } cases[] = {
        {"<string>&#xD83D;&#xDE00;</string>", emoji},
        {"<string>&#xd83d;<!-- -->&#xde00;&#xD83D;</string>", emoji + "\xED\xA0\xBD"},
        {"<string>&#xDE00;&#xD83D;</string>", "\xED\xB8\x80\xED\xA0\xBD"},
        {"<string>&#xD83D;\xF0\x9F\x98\x80&#xDE00;</string>", "\xED\xA0\xBD" + emoji + "\xED\xB8\x80"},
    };
    for (const auto& c : cases) {
        std::string text;
        ASSERT_EQ(orvane::ParseReturnString(c.reply, text), orvane::ReplyStatus::Ok) << c.reply;
        EXPECT_EQ(text, c.text) << c.reply;
        EXPECT_TRUE(orvane::IsWtf8(text));
    }
}

TEST(Wtf8, EachTextHasOneForm)
{
    // A pair as two 3-byte forms, overlong forms, a truncated sequence, a
    // lone continuation byte, a code point above U+10FFFF.
    for (const std::string text : {"\xED\xA0\xBD\xED\xB8\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xE4\xB8", "\x80",
                                   "\xF4\x90\x80\x80"})
        EXPECT_FALSE(orvane::IsWtf8(text)) << text;
    EXPECT_EQ(orvane::Wtf8ToWtf16("\xED\xA0\xBD\xED\xB8\x80"), u"\xD83D\xDE00");
    EXPECT_EQ(orvane::Wtf8ToWtf16("a\xE4\xB8|"), u"a\xFFFD\xFFFD|");
}

TEST(ExternalValue, EveryKindRoundTrips)
{
    using Kind = orvane::ExternalValue::Kind;
    const orvane::ExternalValue object{
        Kind::Object, {},
        {{"tab\tline\ncr\r \"q\" \xED\xA0\x80", Text("\x01")},
         {"", {Kind::Array, {}, {{"0", {Kind::Null, {}, {}}}, {"1", {Kind::Undefined, {}, {}}}}}},
         {"n", {Kind::Number, "-1.5e-7", {}}}}};
    const orvane::InvokeCall call{"f&\"g\"\xED\xB0\x80", {Text("  "), {Kind::True, {}, {}}, {Kind::False, {}, {}},
                                                        object, {Kind::Array, {}, {}}}};
    const auto read = orvane::ReadInvoke(orvane::WriteInvoke(call));
    ASSERT_TRUE(read) << orvane::WriteInvoke(call);
    EXPECT_EQ(*read, call);
}

TEST(ExternalValue, NestingIsBounded)
{
    using Kind = orvane::ExternalValue::Kind;
    orvane::ExternalValue deep = Text("x");
    for (int depth = 0; depth <= orvane::kMaxValueDepth; ++depth)
        deep = {Kind::Array, {}, {{"0", deep}}};
    const auto read = orvane::ReadInvoke(orvane::WriteInvoke({"f", {deep}}));
    ASSERT_TRUE(read);
    // The innermost array is one level too deep: it is written as undefined.
    const orvane::ExternalValue* inner = &read->arguments.at(0);
    for (int depth = 0; depth < orvane::kMaxValueDepth; ++depth)
        inner = &inner->properties.at(0).value;
    EXPECT_EQ(inner->kind, Kind::Undefined);

    std::string request = R"(<invoke name="f"><arguments>)";
    for (int depth = 0; depth <= orvane::kMaxValueDepth; ++depth)
        request += R"(<array><property id="0">)";
    request += "<null/>";
    for (int depth = 0; depth <= orvane::kMaxValueDepth; ++depth)
        request += "</property></array>";
    EXPECT_FALSE(orvane::ReadInvoke(request + "</arguments></invoke>"));
}
