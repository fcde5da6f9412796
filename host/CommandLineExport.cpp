#include "CommandLineExport.h"

#include "RufflePlayer.h"
#include "RufflePlayerFactory.h"
#include "bom/BomFiles.h"
#include "document/FileNames.h"
#include "export/AmlExport.h"

#include "orvane/BillOfMaterials.h"
#include "orvane/CatalogStore.h"
#include "orvane/InvokeMessage.h"
#include "orvane/SelectionFile.h"
#include "orvane/SystemErrorReason.h"
#include "orvane/TextFile.h"

#include <QDate>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace orvane {

namespace {

// Longer than the movie's own limit for a start without progress (15 s), for a busy machine.
constexpr int kMovieStartLimitMs = 60000;

enum class OutputKind { Aml, Workbook, Csv, Pdf };

std::optional<OutputKind> KindOf(const std::string& path)
{
    const QString suffix = QFileInfo(QFile::decodeName(path.c_str())).suffix().toLower();
    if (suffix == QLatin1String("aml"))
        return OutputKind::Aml;
    if (suffix == QLatin1String("xlsx"))
        return OutputKind::Workbook;
    if (suffix == QLatin1String("csv"))
        return OutputKind::Csv;
    if (suffix == QLatin1String("pdf"))
        return OutputKind::Pdf;
    return std::nullopt;
}

int Fail(std::FILE* reasons, int status, const std::string& reason)
{
    // One line: the reason's own line ends would split it.
    std::string line = "orvane: " + reason;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(reasons, "%s\n", line.c_str());
    std::fflush(reasons);
    return status;
}

// The movie, played offscreen in a window nobody sees, once it has read its catalogue.
class OffscreenMovie {
public:
    explicit OffscreenMovie(const QString& programFolder) : m_folder(programFolder) {}

    // "" when the movie is ready, else why not.
    std::string Start(const std::optional<std::string>& catalog)
    {
        FlashCreateResult created = RufflePlayerFactory(m_folder)();
        if (created.status != FlashCreateStatus::Ok || !created.player)
            return "Flash 播放器不能启动（" + std::to_string(created.error) + "）";
        m_player = std::move(created.player);
        if (QWidget* view = m_player->View()) {
            view->setParent(&m_window);
            view->resize(1000, 600);
        }
        m_window.resize(1000, 600);
        m_window.show();
        m_player->ServeInPlaceOf(QString::fromUtf8(kCatalogFileName),
                                 catalog ? std::optional(QByteArray::fromStdString(*catalog)) : std::nullopt);

        QEventLoop loop;
        std::string failure = "选型影片 60 秒内未就绪";
        const auto finish = [&](const std::string& reason) {
            failure = reason;
            loop.quit();
        };
        QObject::connect(m_player.get(), &FlashPlayer::FlashCall, &loop, [&](const QString& request) {
            InvokeCall call;
            if (ReadInvokeRequest(request.toStdString(), call) != RequestStatus::Ok)
                return;
            if (call.name == "zDataLoadEnd")
                finish({});
            else if (call.name == "zError")
                finish("选型影片不能使用产品目录");
        });
        QObject::connect(m_player.get(), &FlashPlayer::Stopped, &loop, [&](const QString& reason) {
            finish("Flash 播放器停止：" + reason.toStdString());
        });
        if (auto* ruffle = dynamic_cast<RufflePlayer*>(m_player.get()))
            QObject::connect(ruffle, &RufflePlayer::MovieFailed, &loop, [&](const QString& reason) {
                finish("选型影片不能载入：" + reason.toStdString());
            });
        QTimer::singleShot(kMovieStartLimitMs, &loop, &QEventLoop::quit);
        m_player->ApplyProperties({});
        m_player->LoadMovie(0, m_folder + QStringLiteral("/orvane.swf"));
        loop.exec();
        return failure;
    }

    // The reply of the movie's function; nullopt when the call failed.
    std::optional<std::string> Call(const std::string& function, const std::string& argument = {})
    {
        try {
            const QString request = QString::fromStdString(_MakeInvokeXml(function, argument));
            return m_player->CallFunction(request).toStdString();
        } catch (const FlashCallError&) {
            return std::nullopt;
        }
    }

    // The text the movie's function returns; nullopt when the call failed or gave no text.
    std::optional<std::string> CallForText(const std::string& function)
    {
        const std::optional<std::string> reply = Call(function);
        std::string text;
        if (!reply || ParseReturnString(*reply, text) != ReplyStatus::Ok)
            return std::nullopt;
        return text;
    }

private:
    QString m_folder;
    QWidget m_window;
    std::unique_ptr<FlashPlayer> m_player;
};

}  // namespace

bool IsExportCommand(const std::vector<std::string>& arguments)
{
    return arguments.size() >= 2 && arguments[1] == "--export";
}

int RunCommandLineExport(const std::vector<std::string>& arguments, const QString& programFolder,
                         std::FILE* reasons)
{
    // "--caex 3.0" after the output asks the AutomationML file's later version (2.15 by default).
    const bool caexGiven = arguments.size() == 6 && arguments[4] == "--caex";
    if (arguments.size() != 4 && !caexGiven)
        return Fail(reasons, kExportUsage,
                    "用法：orvane --export 文件.zsr 输出文件（.aml、.xlsx、.csv 或 .pdf）[--caex 2.15|3.0]");
    const std::string& input = arguments[2];
    const std::string& output = arguments[3];
    const std::optional<OutputKind> kind = KindOf(output);
    if (!kind)
        return Fail(reasons, kExportUsage,
                    "不支持的输出文件类型：" + output + "（可用 .aml、.xlsx、.csv、.pdf）");
    if (caexGiven && (*kind != OutputKind::Aml || (arguments[5] != "2.15" && arguments[5] != "3.0")))
        return Fail(reasons, kExportUsage, "--caex 只用于 .aml 输出文件，版本为 2.15 或 3.0");
    const CaexVersion caex = caexGiven && arguments[5] == "3.0" ? CaexVersion::V3_0 : CaexVersion::V2_15;

    const SelectionText selection = SelectionFile::Read(input);
    // A failure with a system reason is the file's access; without one, its content.
    if (selection.content.result == READ_DATA_FAILED && selection.content.systemError != 0)
        return Fail(reasons, kExportUnreadable,
                    "不能读取 " + input + "：" + SystemErrorReason(selection.content.systemError));
    if (!selection)
        return Fail(reasons, kExportDamaged,
                    input + " 不是有效的选型文件（文件已损坏或不是选型数据）");

    const CatalogChoice catalog =
        ChooseCatalog({QFile::encodeName(programFolder).toStdString() + '/', DefaultCatalogDataFolder()});
    OffscreenMovie movie(programFolder);
    if (const std::string failure = movie.Start(catalog.bytes); !failure.empty())
        return Fail(reasons, kExportMovieFailed, failure);
    if (!movie.Call("zLoad", selection.text))
        return Fail(reasons, kExportMovieFailed, "选型影片未应答");
    // A text the movie cannot read leaves it at the start, with nothing selected
    // (as a text that selects nothing does).
    const std::optional<std::string> loaded = movie.CallForText("zSave");
    if (!loaded)
        return Fail(reasons, kExportMovieFailed, "选型影片未应答");
    if (loaded->empty())
        return Fail(reasons, kExportDamaged,
                    "选型影片读不出 " + input
                        + " 中的选型（已损坏、版本较新或未选择任何产品）");
    const std::optional<std::string> billText = movie.CallForText("zBom");
    const std::optional<BillOfMaterials> bom = billText ? ParseBillOfMaterials(*billText) : std::nullopt;
    if (!bom)
        return Fail(reasons, kExportMovieFailed, "选型影片未给出有效的物料清单 (#1007)");

    FileWriteResult written;
    if (*kind == OutputKind::Aml) {
        const AmlExportResult result =
            ExportAutomationMl(output, *bom, catalog.bytes.value_or(std::string()), caex);
        if (!result.refusal.empty())
            return Fail(reasons, kExportMovieFailed, result.refusal);
        written = result.write;
    } else {
        const BillFileKind billKind = *kind == OutputKind::Csv ? BillFileKind::Csv
                                      : *kind == OutputKind::Pdf ? BillFileKind::Pdf
                                                                 : BillFileKind::Workbook;
        const BomReport report =
            PurchaseReport(*bom, QDate::currentDate().toString(Qt::ISODate).toStdString());
        written = WriteBillFile(output, report, billKind, DisplayFileName(input));
    }
    if (!written)
        return Fail(reasons, kExportWriteFailed,
                    "不能写入 " + output + "：" + FileWriteFailureText(written));
    return kExportWritten;
}

}  // namespace orvane
