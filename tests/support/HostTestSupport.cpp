#include "HostTestSupport.h"

#include "orvane/SelectionFile.h"

#include <QAction>
#include <QTest>
#include <QToolBar>

#include <fstream>

HostHarness::HostHarness() : factory(ScriptedFactory(movie))
{
    ClearErrorLog();
    WriteVersionFile(VersionFile{}.Text());
    recoveryFolder = AppFile("state") + "/";
    catalogFolder = AppFile("data") + "/";
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
    COrvaneDlg::Environment environment{dialogs,          resources,       std::move(arguments),
                                        QString::fromStdString(AppFile("orvane")), recoveryFolder,
                                        svrChkProcedure, svrChkWaitLimit, catalogFolder};
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

void RunUpdateCheck(const QWidget& window)
{
    QAction* command = FindCommand(window, ID_MENU_SVR_FILE_CHK);
    QVERIFY(command);
    command->trigger();
}

std::vector<std::string> RecordLabels()
{
    std::vector<std::string> labels;
    for (const LogRecord& record : ReadErrorLog())
        labels.push_back(record.operation + " / " + record.step + " / " + record.message);
    return labels;
}

bool WriteSelectionFile(const std::string& path, const std::string& text)
{
    return orvane::SelectionFile::Write(path, text).written;
}

std::string ReadSelectionFile(const std::string& path)
{
    const orvane::SelectionContent content = orvane::SelectionFile::ReadContent(path);
    return content ? content.bytes : "<unreadable>";
}
