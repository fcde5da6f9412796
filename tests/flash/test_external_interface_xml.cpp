// The player's side of the ExternalInterface messages: the page's tagged
// values turned into replies and requests with the core's codec, the host's
// requests read back, and the literals put into the page's scripts.
#include "PageValues.h"
#include "QtPrinters.h"
#include "RuffleBridge.h"

#include <orvane/ExternalValue.h>
#include <orvane/InvokeMessage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace {

using Kind = orvane::ExternalValue::Kind;

QVariantMap Tag(const QString& kind, const QVariant& value = {})
{
    QVariantMap tagged{{"t", kind}};
    if (value.isValid())
        tagged.insert("v", value);
    return tagged;
}

// One property of a tagged object: [tagged key, tagged value].
QVariantList Property(const QString& key, const QVariant& tagged) { return {Tag("string", key), tagged}; }

QString ReplyFromPage(const QVariant& tagged) { return QString::fromStdString(orvane::WriteReply(orvane::ValueFromPage(tagged))); }

orvane::ExternalValue Text(const std::string& text) { return {Kind::String, text, {}}; }

const QString kAwkward = QString::fromUtf8("a&b <c> \"q\" 'a' ]]> &amp; \r\n\r\t\x01\x0C 中文 😀");

}  // namespace

TEST(ExternalInterfaceXml, StringReplyReadsBackExactly)
{
    const QString reply = ReplyFromPage(Tag("string", kAwkward));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(reply.toStdString().c_str()));
    EXPECT_STREQ(doc.document_element().name(), "string");
    EXPECT_EQ(QString::fromUtf8(doc.document_element().child_value()), kAwkward);
    // The host's reader takes it too: the movie's zSave reply.
    std::string text;
    ASSERT_EQ(orvane::ParseReturnString(reply.toStdString(), text), orvane::ReplyStatus::Ok) << reply.toStdString();
    EXPECT_EQ(QString::fromStdString(text), kAwkward);
    EXPECT_EQ(ReplyFromPage(Tag("string", "")), "<string></string>");
}

TEST(ExternalInterfaceXml, OtherResultsHaveTheirOwnRoot)
{
    EXPECT_EQ(ReplyFromPage(Tag("null")), "<null/>");
    EXPECT_EQ(ReplyFromPage(Tag("undefined")), "<undefined/>");
    EXPECT_EQ(ReplyFromPage(Tag("true")), "<true/>");
    EXPECT_EQ(ReplyFromPage(Tag("number", "-1.5")), "<number>-1.5</number>");
    EXPECT_EQ(ReplyFromPage(Tag("array", QVariantList{Tag("false"), Tag("string", "<")})),
              "<array><property id=\"0\"><false/></property><property id=\"1\"><string>&lt;</string></property></array>");
    EXPECT_EQ(ReplyFromPage(Tag("object", QVariantList{QVariant(Property("a\"b", Tag("null")))})),
              "<object><property id=\"a&quot;b\"><null/></property></object>");
    EXPECT_EQ(ReplyFromPage(QVariant("not tagged")), "<undefined/>");
}

TEST(ExternalInterfaceXml, RequestKeepsNameAndArguments)
{
    orvane::RuffleBridge bridge;
    QSignalSpy calls(&bridge, &orvane::RuffleBridge::ExternalCall);
    bridge.flashCall(Tag("string", "f&\"g\""),
                     {Tag("string", kAwkward), Tag("number", "12.5"), Tag("true"), Tag("null")});
    ASSERT_EQ(calls.size(), 1);
    const QString request = calls.first().at(0).toString();

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(request.toStdString().c_str()));
    const pugi::xml_node invoke = doc.document_element();
    EXPECT_STREQ(invoke.name(), "invoke");
    EXPECT_STREQ(invoke.attribute("name").value(), "f&\"g\"");
    EXPECT_STREQ(invoke.attribute("returntype").value(), "xml");
    const pugi::xml_node first = invoke.child("arguments").first_child();
    EXPECT_EQ(QString::fromUtf8(first.child_value()), kAwkward);
    EXPECT_STREQ(first.next_sibling().name(), "number");
    EXPECT_STREQ(first.next_sibling().next_sibling().name(), "true");
    EXPECT_STREQ(first.next_sibling().next_sibling().next_sibling().name(), "null");

    const auto parsed = orvane::ReadInvoke(request.toStdString());
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(*parsed == (orvane::InvokeCall{"f&\"g\"",
                                               {Text(kAwkward.toStdString()), {Kind::Number, "12.5", {}},
                                                {Kind::True, {}, {}}, {Kind::Null, {}, {}}}}));
}

TEST(ExternalInterfaceXml, ParsesTheHostsRequests)
{
    const auto empty = orvane::ReadInvoke("<invoke name=\"zSave\" returntype=\"xml\"/>");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->name, "zSave");
    EXPECT_TRUE(empty->arguments.empty());

    // A literal CR LF is a line end to any XML reader; &#13; is a CR.
    const auto load = orvane::ReadInvoke(
        "<invoke name=\"zLoad\" returntype=\"xml\"><arguments><string>a\r\nb&#13;&#10;&lt;中&gt;</string>"
        "</arguments></invoke>");
    ASSERT_TRUE(load);
    EXPECT_TRUE(load->arguments == std::vector{Text("a\nb\r\n<中>")});

    const auto blank = orvane::ReadInvoke(
        "<invoke name=\"zLoad\" returntype=\"xml\"><arguments><string>  </string></arguments></invoke>");
    ASSERT_TRUE(blank);
    EXPECT_TRUE(blank->arguments == std::vector{Text("  ")});

    const auto nested = orvane::ReadInvoke(
        "<invoke name=\"f\"><arguments><array><property id=\"0\"><object><property id=\"k\"><undefined/>"
        "</property></object></property></array></arguments></invoke>");
    ASSERT_TRUE(nested);
    const orvane::ExternalValue object{Kind::Object, {}, {{"k", {}}}};
    const std::vector<orvane::ExternalValue> expected{{Kind::Array, {}, {{"0", object}}}};
    EXPECT_TRUE(nested->arguments == expected);
}

TEST(ExternalInterfaceXml, RefusesWhatIsNotARequest)
{
    for (const char* text : {"", "not xml", "<invoke name=\"f\">", "<call name=\"f\"/>", "<invoke/>",
                             "<invoke name=\"f\"><arguments><string>a</string></arguments>",
                             "<invoke name=\"f\"><arguments><date>1</date></arguments></invoke>",
                             "<invoke name=\"f\"/><invoke name=\"g\"/>"})
        EXPECT_FALSE(orvane::ReadInvoke(text)) << text;
}

TEST(PageValues, LoneSurrogatesListedByThePageAreRestored)
{
    QVariantMap tagged = Tag("string", QString::fromUtf16(u"\uFFFDa\uFFFD\U0001F600"));
    // Offsets outside the text and units that are no surrogates are passed over.
    tagged.insert("lone", QVariantList{0, 0xDBFF, 2, 0xDC00, 9, 0xD800, 1, 0x41});
    const orvane::ExternalValue value = orvane::ValueFromPage(tagged);
    EXPECT_EQ(value.kind, Kind::String);
    EXPECT_EQ(value.text, "\xED\xAF\xBF" "a\xED\xB0\x80\xF0\x9F\x98\x80");
}

TEST(PageValues, ScriptLiteralsKeepEveryUnit)
{
    for (const std::u16string& text : {std::u16string(u"\x01\x1F\"\\\r\n\u2028\u2029 /*</script>"),
                                       std::u16string(u"\xD800x\xDFFF\xDC00\xD800\U0001F600\xDBFF")}) {
        const QString literal = orvane::ScriptStringLiteral(QString::fromStdU16String(text));
        // Written in ASCII and the pairs: valid UTF-8 whatever the channel.
        EXPECT_EQ(QString::fromUtf8(literal.toUtf8()), literal);
        const QJsonDocument parsed = QJsonDocument::fromJson(("[" + literal + "]").toUtf8());
        ASSERT_TRUE(parsed.isArray()) << literal.toStdString();
        EXPECT_EQ(parsed.array().at(0).toString().toStdU16String(), text);
    }
}
