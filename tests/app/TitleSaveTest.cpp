#include "tests/app/BoardFixture.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextEdit>

#include <functional>

namespace {

class TitleSave : public BoardFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programFolder.isValid());
        clearSettings();
    }

    void startWithProgramIn(const QString &folder)
    {
        place = TitleFilePlace(folder + QStringLiteral("/courtlyx"), dataFolder.path());
        startBoard();
    }

    void type(const QString &text)
    {
        ctl<QTextEdit>(QStringLiteral("eTitle"))->setFocus();
        QTest::keyClicks(ctl<QTextEdit>(QStringLiteral("eTitle")), text);
    }

    // Ends the board, answering a warning it shows with OK; its text lands in `warned`.
    void endBoard()
    {
        auto *poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [this, poll] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                warned = box->text();
                box->accept();
                poll->deleteLater();
                poll->stop();
            }
        });
        poll->start();
        board.reset();
        delete poll;
    }

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir programFolder;
    QString warned;
};

TEST_F(TitleSave, UnwritableProgramFolderKeepsTheTitleInTheDataFolder)
{
    // A folder that is not there cannot be written, even by root.
    const QString installed = programFolder.filePath(QStringLiteral("usr/bin"));
    startWithProgramIn(installed);
    const QString inData = QDir(dataFolder.path()).filePath(QStringLiteral("courtlyx.rtf"));
    EXPECT_EQ(board->titleFileName(), inData);
    type(QStringLiteral("Centre Court"));
    endBoard();
    EXPECT_TRUE(warned.isEmpty()) << warned.toStdString();
    EXPECT_TRUE(contents(inData).contains("Centre Court"));

    startWithProgramIn(installed);
    EXPECT_EQ(ctl<QTextEdit>(QStringLiteral("eTitle"))->toPlainText(), "Centre Court")
        << "read from the data folder at start";
}

TEST_F(TitleSave, FailedDefaultSaveIsReportedAndGoesToTheDataFolder)
{
    const QString beside = programFolder.filePath(QStringLiteral("courtlyx.rtf"));
    ASSERT_TRUE(QDir().mkpath(beside)) << "a folder where the file should be: no save can replace it";
    startWithProgramIn(programFolder.path());
    ASSERT_EQ(board->titleFileName(), beside);
    type(QStringLiteral("Halbfinale"));
    endBoard();
    const QString fallback = QDir(dataFolder.path()).filePath(QStringLiteral("courtlyx.rtf"));
    EXPECT_TRUE(warned.contains(beside)) << warned.toStdString();
    EXPECT_TRUE(warned.contains(fallback)) << "says where the text went: " << warned.toStdString();
    EXPECT_TRUE(contents(fallback).contains("Halbfinale"));

    startWithProgramIn(programFolder.path());
    EXPECT_EQ(ctl<QTextEdit>(QStringLiteral("eTitle"))->toPlainText(), "Halbfinale");
}

TEST_F(TitleSave, FailedSaveOfALoadedTitleFileIsReportedWithItsReason)
{
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(programFolder.path());
    QFile three(QStringLiteral("3.rtf"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("Finale");
    three.close();
    startWithProgramIn(programFolder.path());
    key(Qt::Key_3, Qt::ControlModifier);
    ASSERT_EQ(board->titleFileName(), "3.rtf");
    // The working folder goes away under the running board.
    ASSERT_TRUE(QDir(programFolder.path()).removeRecursively());
    type(QStringLiteral("Grand "));
    endBoard();
    QDir::setCurrent(oldCwd);
    const QString fallback = QDir(dataFolder.path()).filePath(QStringLiteral("3.rtf"));
    EXPECT_TRUE(warned.contains(QStringLiteral("3.rtf"))) << warned.toStdString();
    EXPECT_TRUE(warned.contains(fallback)) << warned.toStdString();
    EXPECT_GT(warned.size(), 2 * fallback.size()) << "with a reason: " << warned.toStdString();
    EXPECT_TRUE(contents(fallback).contains("Grand"));
}

// The shape LibreOffice writes: its own header, page styles and a bordered table.
constexpr char kLibreOfficeTitle[] = R"({\rtf1\ansi\deff4\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset0 Liberation Serif{\*\falt Times New Roman};}{\f4\fswiss\fprq2\fcharset0 Liberation Sans{\*\falt Arial};}}
{\colortbl;\red0\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;}
{\stylesheet{\s0\snext0\dbch\af5\langfe2052\dbch\af6\afs24\alang1081\loch\f3\hich\af3\fs24\lang1031 Normal;}{\s15\sbasedon0\snext16 Heading;}}
{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\info{\creatim\yr2026\mo5\dy3\hr10\min4}{\revtim\yr2026\mo5\dy3\hr10\min7}}{\*\userprops}\deftab709
\hyphauto1\viewscale100
{\*\pgdsctbl
{\pgdsc0\pgdscuse451\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\pgdscnxt0 Default Page Style;}}
\formshade\paperh16838\paperw11906\margl1134\margr1134\margt1134\margb1134\sectd\sbknone\pgndec\sftnnar\saftnnrlc\sectunlocked1\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134
{\*\ftnsep\chftnsep}\trowd\trql\trleft0\ltrrow\trpaddft3\trpaddt55\trpaddfl3\trpaddl55\trpaddfb3\trpaddb55\trpaddfr3\trpaddr55\clbrdrt\brdrs\brdrw10\brdrcf1\clbrdrl\brdrs\brdrw10\brdrcf1\clbrdrb\brdrs\brdrw10\brdrcf1\clbrdrr\brdrs\brdrw10\brdrcf1\cellx4819\clbrdrt\brdrs\brdrw10\brdrcf1\clbrdrl\brdrs\brdrw10\brdrcf1\clbrdrb\brdrs\brdrw10\brdrcf1\clbrdrr\brdrs\brdrw10\brdrcf1\cellx9638
\pgndec\pard\plain \s0\intbl\qc\loch\f4\fs48{\cf2\b Clubmeisterschaft}\cell\pard\plain \s0\intbl\qc\loch\f4\fs24{\cf3 Platz 1}\cell\row\pard\pard\plain \s0\qc\loch\f4\fs28{\cf3 Finale Damen-Einzel}
\par })";

TEST_F(TitleSave, AForeignTitleFileIsRewrittenOnlyWhenItsTextOrFormattingChanged)
{
    const QString file = programFolder.filePath(QStringLiteral("courtlyx.rtf"));
    struct Edit
    {
        const char *what;
        std::function<void(QTextEdit *)> edit;
        bool rewritten;
    };
    const Edit edits[] = {
        {"typing deleted again", [](QTextEdit *t) { QTest::keyClicks(t, "xyz"); for (int i = 0; i < 3; ++i) QTest::keyClick(t, Qt::Key_Backspace); }, false},
        {"typing kept", [](QTextEdit *t) { QTest::keyClicks(t, "xyz"); }, true},
        {"bold added", [](QTextEdit *t) { t->selectAll(); t->setFontWeight(QFont::Bold); }, true},
    };
    for (const Edit &e : edits) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(kLibreOfficeTitle);
        f.close();
        startWithProgramIn(programFolder.path());
        auto *title = ctl<QTextEdit>(QStringLiteral("eTitle"));
        ASSERT_TRUE(title->toPlainText().contains(QStringLiteral("Clubmeisterschaft")));
        title->setFocus();
        e.edit(title);
        endBoard();
        EXPECT_EQ(contents(file) != QByteArray(kLibreOfficeTitle), e.rewritten) << e.what;
    }
}

} // namespace
