// The document room on a stand-in for the window and the movie: the save
// prompt, New, Open, Save and Save As with real selection files, what the
// current file was on disk, and file names.
#include "document/DocumentSession.h"
#include "document/FileIdentity.h"
#include "document/FileNames.h"

#include "ErrorLogReader.h"
#include "ScriptedUserDialogs.h"

#include "orvane/DataFileFormat.h"
#include "orvane/SelectionFile.h"
#include "orvane/StringTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kUntitledPrompt = "文件“无题.zsr”的内容已经改变。是否需要保存修改？";
const std::string kWriteFailed = "不能继续处理。(#2001)";

// The session with a movie that holds a text, and a window that records what
// it is told; its handler guard records the label of what failed.
struct SessionRoom {
    QTemporaryDir files;
    QWidget owner;
    ScriptedUserDialogs dialogs;
    std::optional<std::string> movieText = std::string();  // "zSave"'s; nullopt: unusable
    bool movieFails = false;                               // every call throws
    std::vector<std::string> loads;
    int newStarts = 0;
    std::vector<std::string> errors;  // shown by the window
    std::vector<std::string> guardFailures;
    std::string settled = "<none>";
    int discards = 0;
    orvane::DocumentSession session{{&owner, &dialogs,
                                     {[this] {
                                          Call();
                                          return movieText;
                                      },
                                      [this](const std::string& text) {
                                          Call();
                                          loads.push_back(text);
                                      },
                                      [this] {
                                          Call();
                                          ++newStarts;
                                          movieText = "";
                                      }},
                                     [this](const char* label, const std::function<void()>& body) {
                                         try {
                                             body();
                                             return true;
                                         } catch (const std::exception&) {
                                             guardFailures.push_back(label);
                                             return false;
                                         }
                                     },
                                     [this](const std::string& text) { errors.push_back(text); },
                                     [this](const std::string& text) { settled = text; },
                                     [this] { ++discards; }, [](const std::string&) {}}};

    SessionRoom() { ClearErrorLog(); }
    void Call() const
    {
        if (movieFails)
            throw std::runtime_error("no movie is playing");
    }
    std::string File(const char* name) const { return files.filePath(QString::fromUtf8(name)).toStdString(); }
};

std::string ReadSelection(const std::string& path)
{
    const orvane::SelectionContent content = orvane::SelectionFile::ReadContent(path);
    return content ? content.bytes : "<unreadable>";
}

bool Recorded(const std::string& operation, const std::string& step, int systemError = -1)
{
    for (const LogRecord& record : ReadErrorLog())
        if (record.operation == operation && record.step == step
            && (systemError < 0 || record.systemError == systemError))
            return true;
    return false;
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void promptBeforeReplacingUnsavedWork_data();
    void promptBeforeReplacingUnsavedWork();
    void promptYesWhoseSaveIsCancelledOrFailsHoldsBack();
    void emptyOrSavedTextNeverPrompts();
    void unreadableSelectionIsNeitherSavedNorLostUnasked();
    void saveWritesTheCurrentFileWithoutDialog();
    void saveAsCancelledOrFailingKeepsThePreviousFile();
    void damagedEmptyOrMissingFileChangesNothing();
    void everyMovieTextSurvivesSaveAndOpen();
    void fileChangedBehindTheProgramsBackIsNotOverwrittenSilently();
    void aFileChangedBehindTheProgramsBackIsTold();
    void namesAreTheFileSystemsBytes();
};

void DocumentTest::promptBeforeReplacingUnsavedWork_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    for (const char* command : {"new", "open", "exit"}) {
        QTest::addRow("%s yes", command) << QString(command) << int(MsgResult::Yes);
        QTest::addRow("%s no", command) << QString(command) << int(MsgResult::No);
        QTest::addRow("%s cancel", command) << QString(command) << int(MsgResult::Cancel);
    }
}

void DocumentTest::promptBeforeReplacingUnsavedWork()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    SessionRoom room;
    const std::string other = room.File("other.zsr"), target = room.File("saved.zsr");
    QVERIFY(orvane::SelectionFile::Write(other, "other"));
    room.movieText = "changed";
    room.dialogs.boxAnswers = {MsgResult(answer)};
    room.dialogs.saveAnswers = {target};
    room.dialogs.openAnswers = {other};
    const bool proceeded = command == "new"    ? room.session.NewFile() && room.newStarts == 1
                           : command == "open" ? room.session.Open() && room.loads.size() == 1
                                               : room.session.MaybeSaveBeforeExit("COrvaneDlg::OnClose()");

    QCOMPARE(room.dialogs.boxes.size(), 1u);
    const ShownBox& prompt = room.dialogs.boxes[0];
    QCOMPARE(prompt.text, kUntitledPrompt);
    QCOMPARE(prompt.caption, std::string("保存"));
    QVERIFY(prompt.buttons == MsgButtons::YesNoCancel && prompt.icon == MsgIcon::Exclamation);
    const bool yes = MsgResult(answer) == MsgResult::Yes, cancel = MsgResult(answer) == MsgResult::Cancel;
    QCOMPARE(proceeded, !cancel);
    QCOMPARE(room.discards, !yes && !cancel ? 1 : 0);
    QCOMPARE(QFile::exists(QString::fromStdString(target)), yes);
    if (yes)
        QCOMPARE(ReadSelection(target), std::string("changed"));
    const std::string current = room.session.FilePath();
    QCOMPARE(current, command == "open" && !cancel ? other : command == "exit" && yes ? target : "");
    if (!current.empty()) {
        // Titled, the prompt names the current file.
        room.movieText = "changed again";
        QVERIFY(!room.session.NewFile());
        QCOMPARE(room.dialogs.boxes.back().text, "文件“" + current + "”的内容已经改变。是否需要保存修改？");
    }
}

void DocumentTest::promptYesWhoseSaveIsCancelledOrFailsHoldsBack()
{
    SessionRoom room;
    room.movieText = "changed";
    room.dialogs.boxAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
    QVERIFY(!room.session.NewFile());
    QVERIFY(!room.session.Open());
    QVERIFY(!room.session.MaybeSaveBeforeExit("COrvaneDlg::OnClose()"));
    QCOMPARE(room.dialogs.saveRequests.size(), 3u);
    const FileDialogRequest& request = room.dialogs.saveRequests[0];
    QCOMPARE(request.filter, orvane::LoadResString(orvane::IDS_SAVE_FILTER));
    QCOMPARE(request.initialName, std::string("无题.zsr"));
    QCOMPARE(request.defaultSuffix, std::string("zsr"));
    QVERIFY(room.newStarts == 0 && room.dialogs.openRequests.empty());

    // A write that fails holds back too, its name current all the same.
    const std::string unwritable = room.File("missing-folder/x.zsr");
    room.dialogs.boxAnswers = {MsgResult::Yes};
    room.dialogs.saveAnswers = {unwritable};
    QVERIFY(!room.session.NewFile());
    // The code alone; the system's reason is in the record.
    QCOMPARE(room.errors, std::vector<std::string>{kWriteFailed});
    QVERIFY(Recorded("COrvaneDlg::OnFSCommandSwf()", "CryptUtil.CreateDataFile()", ENOENT));
    QCOMPARE(room.newStarts, 0);
    QCOMPARE(room.session.FilePath(), unwritable);
    QVERIFY(room.session.SavedText().empty());
}

void DocumentTest::emptyOrSavedTextNeverPrompts()
{
    SessionRoom room;
    const std::string path = room.File("loaded.zsr");
    QVERIFY(orvane::SelectionFile::Write(path, "loaded"));
    QCOMPARE(room.session.LoadFile(path), 0);
    QCOMPARE(room.session.SavedText(), std::string("loaded"));
    QCOMPARE(room.settled, std::string("loaded"));
    room.movieText = "";
    QVERIFY(room.session.NewFile());
    QCOMPARE(room.settled, std::string());
    room.session.LoadFile(path);
    room.movieText = "loaded";
    QVERIFY(room.session.MaybeSaveBeforeExit("COrvaneDlg::OnClose()"));
    QVERIFY(room.dialogs.boxes.empty());
}

void DocumentTest::unreadableSelectionIsNeitherSavedNorLostUnasked()
{
    SessionRoom room;
    // An unreadable selection is not an empty one: the user decides.
    room.movieText.reset();
    room.dialogs.boxAnswers = {MsgResult::No, MsgResult::Yes};
    QVERIFY(!room.session.NewFile());
    QCOMPARE(room.dialogs.boxes[0].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QVERIFY(room.dialogs.boxes[0].buttons == MsgButtons::YesNo);
    QVERIFY(room.session.NewFile());
    QCOMPARE(room.newStarts, 1);

    // Save never writes it, nor an empty one.
    room.dialogs.boxes.clear();
    room.movieText.reset();
    room.session.Save();
    room.movieText = "";
    room.session.SaveAs();
    QCOMPARE(room.dialogs.boxes.size(), 2u);
    for (const ShownBox& box : room.dialogs.boxes)
        QVERIFY(box.text == "没有数据保存。" && box.caption == "保存" && box.icon == MsgIcon::None);
    QVERIFY(room.dialogs.saveRequests.empty());
    QVERIFY(ReadErrorLog().empty());  // "nothing to save" is no failure

    // A movie that cannot be reached at exit is the guard's failure, and the user decides.
    room.movieFails = true;
    room.dialogs.boxAnswers = {MsgResult::Yes};
    QVERIFY(room.session.MaybeSaveBeforeExit("COrvaneDlg::OnQueryEndSession()"));
    QCOMPARE(room.guardFailures, std::vector<std::string>{"COrvaneDlg::OnQueryEndSession()"});
    QCOMPARE(room.dialogs.boxes.back().text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
}

void DocumentTest::saveWritesTheCurrentFileWithoutDialog()
{
    SessionRoom room;
    const std::string path = room.File("current.zsr");
    room.movieText = "first";
    room.dialogs.saveAnswers = {path};
    room.session.Save();
    QCOMPARE(room.session.FilePath(), path);
    QVERIFY(QFile::remove(QString::fromStdString(path)));
    room.session.Save();  // unchanged, written again
    QCOMPARE(ReadSelection(path), std::string("first"));
    room.movieText = "second";
    room.session.Save();
    QCOMPARE(ReadSelection(path), std::string("second"));
    QCOMPARE(room.session.SavedText(), std::string("second"));
    QCOMPARE(room.settled, std::string("second"));
    QCOMPARE(room.dialogs.saveRequests.size(), 1u);
    QVERIFY(room.dialogs.boxes.empty());
}

void DocumentTest::saveAsCancelledOrFailingKeepsThePreviousFile()
{
    SessionRoom room;
    const std::string path = room.File("previous.zsr");
    room.movieText = "previous";
    // Untitled, a Save As that fails leaves the selection untitled.
    room.dialogs.saveAnswers = {room.File("missing-folder/x.zsr")};
    room.session.SaveAs();
    QVERIFY(room.session.FilePath().empty());
    room.dialogs.saveAnswers = {path};
    room.session.Save();

    room.movieText = "newer";
    room.dialogs.saveAnswers = {std::nullopt};
    room.session.SaveAs();
    QCOMPARE(room.session.FilePath(), path);
    const std::string folder = room.File("a-folder.zsr");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    room.dialogs.saveAnswers = {folder};
    room.session.SaveAs();
    QCOMPARE(room.errors, std::vector<std::string>(2, kWriteFailed));
    QCOMPARE(room.session.FilePath(), path);
    QCOMPARE(room.session.SavedText(), std::string("previous"));

    // A failed save over an existing file leaves it as it was, and is
    // still the current file, not changed behind the program's back.
    room.movieText = std::string(orvane::kMaxDataFileTextBytes + 1, 'x');
    room.session.Save();
    QCOMPARE(room.errors.back(), kWriteFailed);
    QCOMPARE(ReadErrorLog().back().systemError, EFBIG);
    QCOMPARE(ReadSelection(path), std::string("previous"));
    QVERIFY(room.dialogs.boxes.empty());
}

void DocumentTest::damagedEmptyOrMissingFileChangesNothing()
{
    SessionRoom room;
    const std::string good = room.File("good.zsr"), damaged = room.File("damaged.zsr");
    const std::string empty = room.File("empty.zsr"), zeroFirst = room.File("zero.zsr");
    QVERIFY(orvane::SelectionFile::Write(good, "good"));
    std::ofstream(damaged, std::ios::binary) << "this is not a data file at all, just some bytes";
    QVERIFY(orvane::SelectionFile::Write(empty, ""));
    QVERIFY(orvane::SelectionFile::Write(zeroFirst, std::string("\0abc", 4)));
    QCOMPARE(room.session.LoadFile(good), 0);

    const std::string damagedText = "\n" + orvane::LoadResString(orvane::IDS_FILE_DAMAGED);
    QVERIFY(room.session.LoadFile(damaged) != 0);
    QCOMPARE(room.errors.back(), damaged + damagedText);
    QVERIFY(Recorded("COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()"));
    QCOMPARE(room.session.LoadFile(empty), orvane::READ_DATA_CONTENT_BAD);
    QCOMPARE(room.errors.back(), empty + damagedText);
    QCOMPARE(room.session.LoadFile(zeroFirst), orvane::READ_DATA_CONTENT_BAD);
    QVERIFY(Recorded("COrvaneDlg::OnFSCommandSwf()", "_FileOpen()"));
    // A file that only cannot be read says why.
    const std::string missing = room.File("missing.zsr");
    QVERIFY(room.session.LoadFile(missing) != 0);
    QCOMPARE(room.errors.back(), missing + damagedText + "\n文件或文件夹不存在。");

    QCOMPARE(room.errors.size(), 4u);
    QCOMPARE(room.session.FilePath(), good);
    QCOMPARE(room.session.SavedText(), std::string("good"));
    QCOMPARE(room.loads, std::vector<std::string>{"good"});
}

void DocumentTest::everyMovieTextSurvivesSaveAndOpen()
{
    SessionRoom room;
    // Everything an ExternalInterface reply can carry.
    const std::string text = "A&B <c> \"q\" 'a'\r\nline\ttab\x7f 选型 😀 \xef\xbf\xbd\r end\n";
    const std::string path = room.File("round.zsr");
    room.movieText = text;
    room.dialogs.saveAnswers = {path};
    room.session.Save();
    QVERIFY(room.session.NewFile());
    room.dialogs.openAnswers = {path};
    QVERIFY(room.session.Open());
    QVERIFY(room.dialogs.boxes.empty());
    QCOMPARE(room.dialogs.openRequests[0].filter, orvane::LoadResString(orvane::IDS_OPEN_FILTER));
    QCOMPARE(room.loads, std::vector<std::string>{text});
    QCOMPARE(room.session.SavedText(), text);
    QCOMPARE(room.session.FilePath(), path);
}

void DocumentTest::fileChangedBehindTheProgramsBackIsNotOverwrittenSilently()
{
    SessionRoom room;
    const std::string path = room.File("shared.zsr");
    QVERIFY(orvane::SelectionFile::Write(path, "ours"));
    room.session.LoadFile(path);
    QVERIFY(orvane::SelectionFile::Write(path, "another program's"));

    room.movieText = "our change";
    room.dialogs.boxAnswers = {MsgResult::No};
    room.session.Save();
    QCOMPARE(room.dialogs.boxes.size(), 1u);
    QVERIFY(room.dialogs.boxes[0].text.starts_with("文件“" + path + "”在打开或上次保存之后已被其他程序修改。"));
    QVERIFY(room.dialogs.boxes[0].buttons == MsgButtons::YesNo);
    QCOMPARE(ReadSelection(path), std::string("another program's"));

    // Answered yes, it is overwritten; from then on the file is ours again.
    room.dialogs.boxAnswers = {MsgResult::Yes};
    room.session.Save();
    QCOMPARE(ReadSelection(path), std::string("our change"));
    room.session.Save();
    QCOMPARE(room.dialogs.boxes.size(), 2u);
}

void DocumentTest::aFileChangedBehindTheProgramsBackIsTold()
{
    const QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("a.zsr")).toStdString();
    std::ofstream(path) << "ours";
    const std::optional<orvane::FileIdentity> ours = orvane::FileIdentity::Of(path);
    QVERIFY(ours);
    QVERIFY(!orvane::ChangedOnDisk(path, ours));
    QVERIFY(!orvane::ChangedOnDisk(path, std::nullopt));  // nothing remembered, nothing to lose

    // A byte changed in place, its time of modification put back: same file,
    // same size, same time; the kernel's time of change tells. It moves with
    // the clock's next tick.
    QVERIFY(QTest::qWaitFor([&] {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        return now.tv_sec != ours->changed.tv_sec || now.tv_nsec != ours->changed.tv_nsec;
    }));
    const int file = ::open(path.c_str(), O_WRONLY);
    QVERIFY(file >= 0);
    QCOMPARE(::pwrite(file, "O", 1, 0), ssize_t(1));
    const timespec times[2] = {{0, UTIME_OMIT}, ours->modified};
    QCOMPARE(::futimens(file, times), 0);
    ::close(file);
    QVERIFY(orvane::ChangedOnDisk(path, ours));

    ::unlink(path.c_str());
    QVERIFY(!orvane::ChangedOnDisk(path, ours));  // gone: written again without asking
}

void DocumentTest::namesAreTheFileSystemsBytes()
{
    QCOMPARE(orvane::DisplayFileName("/data/线路 A.zsr"), QStringLiteral("线路 A.zsr"));
    QCOMPARE(orvane::FileStem("/data/线路 A.v2.zsr"), std::string("线路 A.v2"));
    QCOMPARE(orvane::FileStem("/data/linie-\xE4.zsr"), std::string("linie-\xE4"));  // not UTF-8, kept as it is
}

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
