#include "InitialProperties.h"

#include <QtEndian>

#include <array>

namespace orvane {

// Layout of the block:
//   u16 control id 1000, u16 message 0x0376 (load state from a stream),
//   u32 data length 234, the data, u16 0.
// The data: u32 0 (framework), u32 magic "gUfU", u32 0x710, u32 width and
// u32 height in HIMETRIC, then 24 typed values (u16 variant type + value):
//   text (8):    u32 byte count, UTF-16LE including the terminating zero
//                (an empty text has count 2 or count 0)
//   flag (11):   u16, 0xFFFF true, 0 false
//   integer (3): u32
//   object (13): 16-byte class id (all zero: no object)

namespace {

constexpr quint16 kControlId = 1000;
constexpr quint16 kLoadStateMessage = 0x0376;
constexpr quint32 kStateMagic = 0x55665567;  // "gUfU"
constexpr quint32 kStateVersion = 0x710;
constexpr quint32 kWidthHimetric = 6429;
constexpr quint32 kHeightHimetric = 6959;
constexpr int kHeaderSize = 8;   // id, message, length
constexpr int kTrailerSize = 2;  // closing zero
constexpr int kStateHeaderSize = 20;
constexpr int kTypedValueCount = 24;

enum VariantType : quint16 { Integer = 3, Text = 8, Flag = 11, Object = 13 };

// Positions (from 0) of the typed values the player uses.
constexpr int kMovieIndex = 0;
constexpr int kWindowModeIndex = 3;
constexpr int kQualityIndex = 6;
constexpr int kScaleModeIndex = 11;
constexpr int kNetworkAccessIndex = 22;
constexpr int kFullScreenIndex = 23;

class BlockWriter {
public:
    void u16(quint16 value) { append(qToLittleEndian(value)); }
    void u32(quint32 value) { append(qToLittleEndian(value)); }

    // A text with its terminating zero; an empty text takes two bytes.
    void text(const char16_t* value)
    {
        const QString string = QString::fromUtf16(value);
        u16(Text);
        u32(static_cast<quint32>((string.size() + 1) * 2));
        for (const QChar c : string)
            u16(c.unicode());
        u16(0);
    }
    // An empty text stored with count 0 and no characters.
    void bareEmptyText()
    {
        u16(Text);
        u32(0);
    }
    void flag(quint16 value)
    {
        u16(Flag);
        u16(value);
    }
    void integer(quint32 value)
    {
        u16(Integer);
        u32(value);
    }
    void noObject()
    {
        u16(Object);
        m_bytes.append(16, '\0');
    }
    QByteArray take() { return std::move(m_bytes); }

private:
    template <typename T>
    void append(T value) { m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value); }

    QByteArray m_bytes;
};

constexpr quint16 kTrue = 0xFFFF;
constexpr quint16 kFalse = 0;

QByteArray ControlState()
{
    BlockWriter w;
    w.u32(0);
    w.u32(kStateMagic);
    w.u32(kStateVersion);
    w.u32(kWidthHimetric);
    w.u32(kHeightHimetric);
    w.text(u"");        // (1) movie: none, loaded at run time
    w.bareEmptyText();  // (2)
    w.bareEmptyText();  // (3)
    w.text(u"Window");  // (4) window mode
    w.flag(kTrue);      // (5)
    w.flag(kTrue);      // (6)
    w.text(u"High");    // (7) quality
    w.text(u"");        // (8)
    w.flag(kTrue);      // (9)
    w.text(u"");        // (10)
    w.text(u"");        // (11)
    w.text(u"ShowAll"); // (12) scale mode
    w.flag(kFalse);     // (13)
    w.flag(kFalse);     // (14)
    w.text(u"");        // (15)
    w.bareEmptyText();  // (16)
    w.text(u"");        // (17)
    w.noObject();       // (18)
    w.flag(1);          // (19)
    w.flag(kFalse);     // (20)
    w.bareEmptyText();  // (21)
    w.integer(0);       // (22)
    w.text(u"all");     // (23) network access
    w.text(u"false");   // (24) full-screen permission
    return w.take();
}

class BlockReader {
public:
    explicit BlockReader(const QByteArray& bytes) : m_bytes(bytes) {}

    bool u16(quint16& value) { return read(value); }
    bool u32(quint32& value) { return read(value); }
    bool skip(qsizetype count)
    {
        if (count < 0 || remaining() < count)
            return false;
        m_pos += count;
        return true;
    }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    // A text value after its type: count, UTF-16LE, terminating zero.
    bool text(QString& value)
    {
        quint32 count = 0;
        if (!u32(count) || count % 2 != 0 || count > static_cast<quint64>(remaining()))
            return false;
        const auto units = static_cast<qsizetype>(count / 2);
        value.clear();
        for (qsizetype i = 0; i < units; ++i) {
            quint16 unit = 0;
            u16(unit);
            if (i + 1 == units) {
                if (unit != 0)
                    return false;
            } else {
                value.append(QChar(unit));
            }
        }
        return true;
    }

private:
    template <typename T>
    bool read(T& value)
    {
        if (remaining() < static_cast<qsizetype>(sizeof value))
            return false;
        value = qFromLittleEndian<T>(m_bytes.constData() + m_pos);
        m_pos += sizeof value;
        return true;
    }

    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

struct TypedValue {
    quint16 type = 0;
    QString text;
};

bool ReadTypedValue(BlockReader& reader, TypedValue& value)
{
    if (!reader.u16(value.type))
        return false;
    quint16 flag = 0;
    quint32 integer = 0;
    switch (value.type) {
    case Text: return reader.text(value.text);
    case Flag: return reader.u16(flag);
    case Integer: return reader.u32(integer);
    case Object: return reader.skip(16);
    default: return false;
    }
}

}  // namespace

QByteArray ControlInitialPropertiesBlock()
{
    const QByteArray state = ControlState();
    BlockWriter w;
    w.u16(kControlId);
    w.u16(kLoadStateMessage);
    w.u32(static_cast<quint32>(state.size()));
    QByteArray block = w.take() + state;
    block.append(2, '\0');
    return block;
}

std::optional<FlashProperties> ParseInitialProperties(const QByteArray& block)
{
    if (block.size() < kHeaderSize + kStateHeaderSize + kTrailerSize)
        return std::nullopt;
    BlockReader header(block);
    quint16 id = 0, message = 0;
    quint32 length = 0;
    header.u16(id);
    header.u16(message);
    header.u32(length);
    if (id != kControlId || message != kLoadStateMessage
        || length != static_cast<quint64>(block.size() - kHeaderSize - kTrailerSize)
        || block.at(block.size() - 2) != 0 || block.at(block.size() - 1) != 0)
        return std::nullopt;

    const QByteArray state = block.mid(kHeaderSize, length);
    BlockReader reader(state);
    quint32 frameworkData = 0, magic = 0;
    reader.u32(frameworkData);
    reader.u32(magic);
    if (frameworkData != 0 || magic != kStateMagic || !reader.skip(12))
        return std::nullopt;

    std::array<TypedValue, kTypedValueCount> values;
    for (TypedValue& value : values)
        if (!ReadTypedValue(reader, value))
            return std::nullopt;
    if (reader.remaining() != 0)
        return std::nullopt;

    for (const int index : {kMovieIndex, kWindowModeIndex, kQualityIndex, kScaleModeIndex,
                            kNetworkAccessIndex, kFullScreenIndex})
        if (values[index].type != Text)
            return std::nullopt;

    FlashProperties properties;
    properties.movie = values[kMovieIndex].text;
    properties.windowMode = values[kWindowModeIndex].text;
    properties.quality = values[kQualityIndex].text;
    properties.scaleMode = values[kScaleModeIndex].text;
    properties.allowNetworking = values[kNetworkAccessIndex].text;
    properties.allowFullScreen = values[kFullScreenIndex].text;
    return properties;
}

}  // namespace orvane
