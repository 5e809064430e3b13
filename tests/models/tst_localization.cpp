// The two sets of interface texts: complete, placeholders agreeing, the choice of set, filling
// placeholders, and messages of failed file operations in the user's language.

#include "errortext.h"
#include "filenames.h"
#include "localization.h"
#include "testdir.h"

#include <QRegularExpression>
#include <QTest>

#include <locale.h>

class TestLocalization : public QObject
{
    Q_OBJECT

    TestDir home;

private Q_SLOTS:
    void initTestCase() { home.isolateHome(); }

    void everyTextInBothLanguagesWithMatchingPlaceholders()
    {
        static const QRegularExpression placeholder(QStringLiteral("%[d@%]|\\.\\.\\."));
        const auto placeholders = [](const QString &text) {
            QStringList found;
            for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
                found << match.captured();
            return found;
        };
        for (const auto &[name, member] : Localization::fields()) {
            const QString &english = Localization::english().*member;
            const QString &japanese = Localization::japanese().*member;
            QVERIFY2(!english.trimmed().isEmpty() && !japanese.trimmed().isEmpty(), name);
            QVERIFY2(placeholders(english) == placeholders(japanese), name);
            QVERIFY2(QByteArray(name).endsWith("Format") == !placeholders(english).isEmpty(), name);
        }
    }

    void resolve_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expected");
        QTest::newRow("system, no languages") << AppLanguage::system << QStringList() << "en";
        QTest::newRow("system, ja-JP first") << AppLanguage::system << QStringList{"ja-JP", "en-US"} << "ja";
        QTest::newRow("system, en-GB first") << AppLanguage::system << QStringList{"en-GB", "ja-JP"} << "en";
        QTest::newRow("system, JA") << AppLanguage::system << QStringList{"JA"} << "en";
        QTest::newRow("japanese over en-US") << AppLanguage::japanese << QStringList{"en-US"} << "ja";
        QTest::newRow("english over ja-JP") << AppLanguage::english << QStringList{"ja-JP"} << "en";
    }
    void resolve()
    {
        QFETCH(AppLanguage, language);
        QFETCH(QStringList, preferred);
        QFETCH(QString, expected);
        QCOMPARE(Localization::resolve(language, preferred).languageCode, expected);
    }

    void fillTakesValuesInOrder()
    {
        QCOMPARE(Localization::fill(u"%@ and %d, 100%%", {"%d", "5"}), QStringLiteral("%d and 5, 100%"));
        QCOMPARE(Localization::fill(u"%d / %d", {"1"}), QStringLiteral("1 / %d"));
    }

    // The system's reason, in the user's language where the system has it.
    void permissionFailureInTheUsersLanguage()
    {
        const FileError error(FileError::Operation::Create, EACCES, QStringLiteral("/locked/Projects"));
        QCOMPARE(ErrorText::message(error, Localization::english(), ErrorText::Subject::folder),
                 QStringLiteral("The folder “Projects” couldn't be created: Permission denied"));
        const locale_t japanese = ::newlocale(LC_ALL_MASK, "ja_JP.UTF-8", locale_t(nullptr));
        const QString reason = japanese ? QStringLiteral("許可がありません") : QStringLiteral("Permission denied");
        if (japanese)
            ::freelocale(japanese);
        QCOMPARE(ErrorText::message(error, Localization::japanese(), ErrorText::Subject::folder),
                 QStringLiteral("フォルダ「Projects」を作成できませんでした: ") + reason);
    }

    // The program's own reasons and an error's notes in each language: names as people read them,
    // sizes in the language's units, long lists cut short. {reason}: the system's reason.
    void ownWordsInBothLanguages_data()
    {
        using K = ErrorNote::Kind;
        using Op = FileError::Operation;
        QTest::addColumn<FileError>("error");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("expected");
        QStringList left{"/to/Tree"};
        for (int i = 0; i < 22; ++i)
            left << QString("/from/f%1").arg(i);
        const QString listed = left.mid(1, 20).join(", ");
        const FileError full(Op::Extract, ENOSPC, "/a/x.zip", ErrorNote(K::needsMoreRoom, {"2500000", "1500", "/usb"}));
        const FileError twoNotes(Op::Rename, EACCES, "/d/a", {ErrorNote(K::leftUnderNewName, {"/d/a", "x"}), ErrorNote(K::nowNamed, {"/d/.t"})});
        QTest::newRow("own code, ja") << FileError(Op::Create, FileError::WriteFileExists, "/tmp/a.txt") << true
                                      << "「a.txt」を作成できませんでした: 同じ名前の項目がすでにあります";
        QTest::newRow("library words stay") << FileError(Op::Extract, FileError::ReadCorruptFile, "/", ErrorNote::libraryText("truncated"))
                                            << false << "“/” couldn't be extracted: The file isn't a readable archive (truncated)";
        QTest::newRow("a library without words adds nothing, ja")
            << FileError(Op::Extract, FileError::ReadCorruptFile, "/x.zip", ErrorNote::libraryText({})) << true
            << "「x.zip」を展開できませんでした: 読み取れるアーカイブではありません";
        QTest::newRow("sizes, en") << full << false
                                   << "“x.zip” couldn't be extracted: {reason} (it needs 2.5 MB, but only 1.5 kB are free in “/usb”)";
        QTest::newRow("sizes, ja") << full << true << "「x.zip」を展開できませんでした: {reason}（2.5 MB 必要ですが、空きは 1.5 KB だけです: 「/usb」）";
        QTest::newRow("a raw name, ja") << FileError(Op::Copy, ENOSPC, "/a/b", ErrorNote(K::noRoomIn, {FileNames::decode("/usb/caf\xe9")}))
                                        << true << "「b」をコピーできませんでした: {reason}（「/usb/caf\uFFFD」に空き容量がありません）";
        QTest::newRow("two notes, en") << twoNotes << false
                                       << "“a” couldn't be renamed: {reason} (“/d/a” is left under its new name “x”; it is now named “/d/.t”)";
        QTest::newRow("two notes, ja") << twoNotes << true
                                       << "「a」の名前を変更できませんでした: {reason}（「/d/a」は新しい名前「x」のままです。現在の名前は「/d/.t」です）";
        QTest::newRow("a long list cut short") << FileError(Op::Move, EBUSY, "/from", ErrorNote(K::copiedButSomeLeft, left)) << false
            << "“from” couldn't be moved: {reason} (it was copied to “/to/Tree”, but these were written to or appeared during the move "
               "and were left where they were: " + listed + " and 2 more)";
        QTest::newRow("a system reason as a note, en")
            << FileError(Op::Compress, FileError::WriteUnknown, "/z.zip", ErrorNote::systemReason(ENOSPC)) << false
            << "“z.zip” couldn't be compressed: The item couldn't be written (No space left on device)";
    }

    void ownWordsInBothLanguages()
    {
        QFETCH(FileError, error);
        QFETCH(bool, japanese);
        QFETCH(QString, expected);
        const Localization &texts = japanese ? Localization::japanese() : Localization::english();
        expected.replace("{reason}", ErrorText::systemReason(error.code(), texts.languageCode));
        QCOMPARE(ErrorText::message(error, texts), expected);
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
