#include "HostTestSupport.h"

#include "orvane/CryptUtil.h"
#include "orvane/ErrorLog.h"

#include <QAction>
#include <QTest>
#include <QToolBar>

#include <ctime>
#include <fstream>

namespace {

std::string TodaysLogPath()
{
    const std::time_t now = std::time(nullptr);
    char name[32];
    std::strftime(name, sizeof name, "_ERROR%d.log", std::localtime(&now));
    return g_ErrorLog.Folder() + name;
}

}  // namespace

std::vector<LogRecord> ReadErrorLog()
{
    std::vector<LogRecord> records;
    std::ifstream file(TodaysLogPath(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        // timestamp, errorCode, systemError, sourceFile, sourceLine, operation, step, message
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (int field = 0; field < 7; ++field) {
            const std::size_t comma = line.find(',', start);
            if (comma == std::string::npos)
                break;
            fields.push_back(line.substr(start, comma - start));
            start = comma + 1;
        }
        if (fields.size() != 7)
            continue;
        records.push_back({std::stol(fields[2]), fields[5], fields[6], line.substr(start)});
    }
    return records;
}

void ClearErrorLog() { std::remove(TodaysLogPath().c_str()); }

std::string VersionFileText(const std::string& version, const std::string& copyright)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot><COMMON_INFO><VERSION_INFO>" + version
           + "</VERSION_INFO><COPYRIGHT>" + copyright
           + "</COPYRIGHT><URL_DOWNLOAD>https://example.com/setup.exe</URL_DOWNLOAD>"
             "<URL_VERSION_CHECK>https://example.com/</URL_VERSION_CHECK></COMMON_INFO></dataroot>\n";
}

HostHarness::HostHarness() : factory(ScriptedFactory(movie))
{
    ClearErrorLog();
    WriteVersionFile(VersionFileText("1.00", "Copyright test"));
    recoveryFolder = AppFile("state") + "/";
}

HostHarness::~HostHarness() = default;

void HostHarness::WriteVersionFile(const std::string& xml)
{
    std::ofstream(AppFile("z_ver.xml"), std::ios::binary) << xml;
}

std::string HostHarness::AppFile(const std::string& name) const
{
    return appDir.filePath(QString::fromStdString(name)).toStdString();
}

std::unique_ptr<COrvaneDlg> HostHarness::MakeWindow(std::vector<std::string> arguments)
{
    COrvaneDlg::Environment environment{dialogs, resources, std::move(arguments),
                                        QString::fromStdString(AppFile("orvane")), recoveryFolder,
                                        svrChkProcedure};
    return std::make_unique<COrvaneDlg>(factory, std::move(environment));
}

std::unique_ptr<COrvaneDlg> HostHarness::Start(std::vector<std::string> arguments)
{
    auto window = MakeWindow(std::move(arguments));
    if (window->Create()) {
        window->OnInitDialog();
        window->show();
    }
    return window;
}

std::unique_ptr<COrvaneDlg> HostHarness::StartReady(std::vector<std::string> arguments)
{
    auto window = Start(std::move(arguments));
    if (movie->player)
        movie->player->SendCall("zDataLoadEnd");
    return window;
}

QAction* FindCommand(const QWidget& window, unsigned id)
{
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->data().toUInt() == id)
            return action;
    }
    return nullptr;
}

void ClickToolButton(const QWidget& window, unsigned id)
{
    QAction* action = FindCommand(window, id);
    QToolBar* toolBar = window.findChild<QToolBar*>();
    QVERIFY(action && toolBar);
    QWidget* button = toolBar->widgetForAction(action);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

bool WriteSelectionFile(const std::string& path, const std::string& text)
{
    return CCryptUtil().CreateDataFile(path, std::uint32_t(text.size()),
                                       reinterpret_cast<const std::uint8_t*>(text.data()))
           != 0;
}

std::string ReadSelectionFile(const std::string& path)
{
    std::uint32_t length = 0;
    ByteBuffer bytes;
    if (CCryptUtil().ReadDataFile(path, &length, &bytes) != READ_DATA_OK)
        return "<unreadable>";
    return std::string(reinterpret_cast<const char*>(bytes.get()), length);
}
