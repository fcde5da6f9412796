// The movie in the real player draws a catalogue it was not built with:
// descriptions in characters none of its own texts use (rare GB2312 hanzi, a
// full-width form, a unit symbol) show as glyphs, not as blank space.

#include "InitialProperties.h"
#include "RufflePlayerFactory.h"
#include "ShockwaveFlash.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kReadyTimeoutMs = 60000;

// The CPU list is the first panel of the start screen (SelectionScreen,
// ChoicePanel, ChoiceRow): rows 22 px high below the panel's title bar, the
// description from x 102 to the panel's right edge at 300.
constexpr int kFirstRowTop = 52 + 24 + 2;
constexpr int kRowHeight = 22;
constexpr int kDescriptionLeft = 102;
constexpr int kDescriptionRight = 294;

// One CPU per description; the last is a character the font has no glyph
// for, which is what any missing glyph looks like.
const QStringList kDescriptions{QStringLiteral("鑫"), QStringLiteral("氦"), QStringLiteral("％"),
                                QStringLiteral("℃"), QStringLiteral("〄")};

QByteArray Catalogue()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<catalog format=\"1\">\n";
    for (qsizetype i = 0; i < kDescriptions.size(); ++i)
        xml += "<item kind=\"cpu\" code=\"ZC-T" + QByteArray::number(i) + "\" desc=\"" + kDescriptions[i].toUtf8() +
               "\" maxio=\"256\" i5v=\"300\"/>\n";
    return xml + "<item kind=\"power\" code=\"ZP-T\" desc=\"P\" out5v=\"3000\" out24v=\"600\"/>\n"
                 "<item kind=\"base\" code=\"ZB-T\" desc=\"B\" slots=\"6\"/>\n</catalog>\n";
}

// Pixels of a description that differ clearly from the row's background,
// taken at the row's empty right end.
int InkInDescription(const QImage& screen, int row)
{
    const int top = kFirstRowTop + row * kRowHeight;
    const QColor background = screen.pixelColor(kDescriptionRight, top + kRowHeight / 2);
    int ink = 0;
    for (int y = top + 2; y < top + kRowHeight - 2; ++y)
        for (int x = kDescriptionLeft; x < kDescriptionRight; ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            ink += std::abs(pixel.red() - background.red()) + std::abs(pixel.green() - background.green()) +
                       std::abs(pixel.blue() - background.blue()) >
                   60;
        }
    return ink;
}

QString Figures(const QList<int>& values)
{
    QStringList figures;
    for (const int value : values)
        figures += QString::number(value);
    return figures.join(' ');
}

}  // namespace

class TestMovieFont : public QObject {
    Q_OBJECT

private slots:
    void catalogueCharactersOutsideTheMoviesTextsAreDrawn()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const QString file : {QStringLiteral("orvane.swf"), QStringLiteral("orvane_font.swf")})
            QVERIFY(QFile::copy(QStringLiteral(ORVANE_BIN_DIR "/") + file, folder.filePath(file)));
        QFile catalogue(folder.filePath(QStringLiteral("orvane_catalog.xml")));
        QVERIFY(catalogue.open(QIODevice::WriteOnly));
        catalogue.write(Catalogue());
        catalogue.close();

        orvane::FlashCreateResult created = orvane::RufflePlayerFactory(QStringLiteral(ORVANE_BIN_DIR))();
        QCOMPARE(created.status, orvane::FlashCreateStatus::Ok);
        QWidget* view = created.player->View();
        CShockwaveFlash control;
        control.Attach(std::move(created.player), orvane::ControlInitialPropertiesBlock());
        QSignalSpy calls(&control, &CShockwaveFlash::FlashCall);
        control.resize(1000, 600);
        control.show();
        control.LoadMovie(0, folder.filePath(QStringLiteral("orvane.swf")));
        const auto catalogueLoaded = [&] {
            return std::any_of(calls.begin(), calls.end(), [](const QList<QVariant>& call) {
                return call.first().toString().contains(QLatin1String("zDataLoadEnd"));
            });
        };
        QVERIFY2(QTest::qWaitFor(catalogueLoaded, kReadyTimeoutMs), "the movie did not take the test catalogue");

        // Each test row shows ink; the reference row shows none, as each of
        // them would without its glyph.
        const int absent = kDescriptions.size() - 1;
        QList<int> ink;
        const auto drawn = [&] {
            const QImage screen = view->grab().toImage();
            ink.clear();
            for (int row = 0; row < kDescriptions.size(); ++row)
                ink.append(InkInDescription(screen, row));
            return ink[absent] == 0 && std::all_of(ink.begin(), ink.begin() + absent, [](int i) { return i >= 20; });
        };
        QVERIFY2(QTest::qWaitFor(drawn, 10000), qPrintable(kDescriptions.join(' ') + QStringLiteral(": ink ") + Figures(ink)));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestMovieFont test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_movie_font.moc"
