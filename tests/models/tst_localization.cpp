// The two sets of interface texts: complete, placeholders agreeing, the choice of set, filling
// placeholders, and messages of failed file operations in the user's language.

#include "errortext.h"
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
        QCOMPARE(Localization::fill(Localization::japanese().selectionSummaryFormat, {"2", "1.2 MB"}),
                 QStringLiteral("2 項目を選択 ・ 合計 1.2 MB"));
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

    void ownCodesInBothLanguages()
    {
        const FileError taken(FileError::Operation::Create, FileError::WriteFileExists, QStringLiteral("/tmp/a.txt"));
        QCOMPARE(ErrorText::message(taken, Localization::japanese()),
                 QStringLiteral("「a.txt」を作成できませんでした: 同じ名前の項目がすでにあります"));
        const FileError archive(FileError::Operation::Extract, FileError::ReadCorruptFile, "/", "truncated");
        QCOMPARE(ErrorText::message(archive, Localization::english()),
                 QStringLiteral("“/” couldn't be extracted: The file isn't a readable archive (truncated)"));
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
