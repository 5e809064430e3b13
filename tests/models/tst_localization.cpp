// The two sets of interface texts: complete in both languages, placeholders that agree, the
// choice of set from the setting and the system's languages, filling in placeholders, and the
// messages of failed file operations in the user's language.

#include "errortext.h"
#include "localization.h"
#include "testdir.h"

#include <QRegularExpression>
#include <QTest>

#include <locale.h>

namespace {

QStringList placeholdersOf(const QString &text)
{
    QStringList found;
    static const QRegularExpression placeholder(QStringLiteral("%[d@%]"));
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found << match.captured();
    return found;
}

bool systemHasJapaneseMessages()
{
    const locale_t locale = ::newlocale(LC_ALL_MASK, "ja_JP.UTF-8", locale_t(nullptr));
    if (locale)
        ::freelocale(locale);
    return locale != nullptr;
}

} // namespace

class TestLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { home.isolateHome(); }
    void everyTextInBothLanguages();
    void formatsAgreeOnPlaceholders();
    void resolve_data();
    void resolve();
    void fill_data();
    void fill();
    void permissionFailureInTheUsersLanguage();
    void ownCodesAndSubjects_data();
    void ownCodesAndSubjects();

private:
    TestDir home;
};

void TestLocalization::everyTextInBothLanguages()
{
    const auto fields = Localization::fields();
    QVERIFY(fields.size() >= 94);
    QCOMPARE(fields[0].first, "settingsFontSection");
    QCOMPARE(fields[93].first, "itemsSelectedFormat");

    int differing = 0;
    for (const auto &[name, member] : fields) {
        const QString &english = Localization::english().*member;
        const QString &japanese = Localization::japanese().*member;
        QVERIFY2(!english.trimmed().isEmpty() && !japanese.trimmed().isEmpty(), name);
        // An ellipsis is one character, never a run of full stops.
        QVERIFY2(!english.contains(QLatin1String("..")) && !japanese.contains(QLatin1String("..")), name);
        differing += english != japanese;
    }
    QVERIFY(differing > int(fields.size()) - 5); // "OK" and the like may match; the rest is translated
    QVERIFY(Localization::english() != Localization::japanese());
    QCOMPARE(Localization::english().rename, QStringLiteral("Rename\u2026"));
    QCOMPARE(Localization::japanese().revealInFileManager, QStringLiteral("ファイルマネージャで表示"));
}

void TestLocalization::formatsAgreeOnPlaceholders()
{
    for (const auto &[name, member] : Localization::fields()) {
        const QStringList english = placeholdersOf(Localization::english().*member);
        const QStringList japanese = placeholdersOf(Localization::japanese().*member);
        QVERIFY2(english == japanese, name);
        const bool isFormat = QByteArray(name).endsWith("Format");
        QVERIFY2(isFormat == !english.isEmpty(), name);
    }
}

void TestLocalization::resolve_data()
{
    QTest::addColumn<AppLanguage>("language");
    QTest::addColumn<QStringList>("preferred");
    QTest::addColumn<QString>("expected");

    QTest::newRow("system, no languages") << AppLanguage::system << QStringList() << "en";
    QTest::newRow("system, ja-JP first") << AppLanguage::system << QStringList{"ja-JP", "en-US"} << "ja";
    QTest::newRow("system, en-GB first") << AppLanguage::system << QStringList{"en-GB", "ja-JP"} << "en";
    QTest::newRow("system, script tag") << AppLanguage::system << QStringList{"ja-Jpan-JP"} << "ja";
    QTest::newRow("system, bare ja") << AppLanguage::system << QStringList{"ja"} << "ja";
    QTest::newRow("system, upper case JA") << AppLanguage::system << QStringList{"JA"} << "en";
    QTest::newRow("system, French") << AppLanguage::system << QStringList{"fr-FR"} << "en";
    QTest::newRow("japanese over en-US") << AppLanguage::japanese << QStringList{"en-US"} << "ja";
    QTest::newRow("english over ja-JP") << AppLanguage::english << QStringList{"ja-JP"} << "en";
}

void TestLocalization::resolve()
{
    QFETCH(AppLanguage, language);
    QFETCH(QStringList, preferred);
    QFETCH(QString, expected);
    const Localization &texts = Localization::resolve(language, preferred);
    QCOMPARE(texts.languageCode, expected);
    QCOMPARE(texts, expected == QLatin1String("ja") ? Localization::japanese() : Localization::english());
}

void TestLocalization::fill_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expected");

    const Localization &en = Localization::english();
    const Localization &ja = Localization::japanese();
    QTest::newRow("count") << en.itemCountFormat << QStringList{"3"} << "3 items";
    QTest::newRow("number then text, ja") << ja.selectionSummaryFormat << QStringList{"2", "1.2 MB"}
                                          << "2 項目を選択 ・ 合計 1.2 MB";
    QTest::newRow("four values") << en.copyProgressFormat << QStringList{"3", "10", "1.2 MB", "5.0 MB"}
                                 << "Copying 3 of 10 — 1.2 MB of 5.0 MB";
    QTest::newRow("values holding placeholders") << en.freeSpaceFormat << QStringList{"%@"} << "%@ free";
    QTest::newRow("percent sign") << "100%% of %d" << QStringList{"7"} << "100% of 7";
    QTest::newRow("too few values") << en.transferProgressFormat << QStringList{"1"} << "Transferring 1 / %d";
}

void TestLocalization::fill()
{
    QFETCH(QString, format);
    QFETCH(QStringList, values);
    QFETCH(QString, expected);
    QCOMPARE(Localization::fill(format, values), expected);
}

void TestLocalization::permissionFailureInTheUsersLanguage()
{
    // A real failure: an unprivileged user creating a folder inside a read-only one.
    TestDir dir;
    dir.openToOthers();
    dir.dir(QStringLiteral("locked"));
    QVERIFY(dir.setMode(QStringLiteral("locked"), 0555));
    int err = 0;
    {
        AsUnprivileged unprivileged;
        if (::mkdir(QFile::encodeName(dir.path("locked/Projects")).constData(), 0755) != 0)
            err = errno;
    }
    QCOMPARE(err, EACCES);
    const FileError error(FileError::Operation::Create, err, dir.path("locked/Projects"));

    QCOMPARE(ErrorText::message(error, Localization::english(), ErrorText::Subject::folder),
             QStringLiteral("The folder “Projects” couldn't be created: Permission denied"));
    const QString japanese = ErrorText::message(error, Localization::japanese(), ErrorText::Subject::folder);
    if (systemHasJapaneseMessages())
        QCOMPARE(japanese, QStringLiteral("フォルダ「Projects」を作成できませんでした: 許可がありません"));
    else
        QCOMPARE(japanese, QStringLiteral("フォルダ「Projects」を作成できませんでした: Permission denied"));
}

void TestLocalization::ownCodesAndSubjects_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("japanese");

    using Op = FileError::Operation;
    QTest::newRow("name taken") << int(Op::Create) << FileError::WriteFileExists << "/tmp/a.txt" << ""
                                << "“a.txt” couldn't be created: An item with that name already exists"
                                << "「a.txt」を作成できませんでした: 同じ名前の項目がすでにあります";
    QTest::newRow("bad archive, with detail")
        << int(Op::Extract) << FileError::ReadCorruptFile << "/tmp/x.zip" << "truncated"
        << "“x.zip” couldn't be extracted: The file isn't a readable archive (truncated)"
        << "「x.zip」を展開できませんでした: 読み取れるアーカイブではありません (truncated)";
    QTest::newRow("root folder") << int(Op::List) << FileError::WriteUnknown << "/" << ""
                                 << "The contents of “/” couldn't be listed: The item couldn't be written"
                                 << "「/」の内容を表示できませんでした: 項目を書き込めませんでした";
    QTest::newRow("trash") << int(Op::Trash) << FileError::WriteUnknown << "/tmp/Notes" << ""
                           << "“Notes” couldn't be moved to the Trash: The item couldn't be written"
                           << "「Notes」をゴミ箱に入れられませんでした: 項目を書き込めませんでした";
}

void TestLocalization::ownCodesAndSubjects()
{
    QFETCH(int, operation);
    QFETCH(int, code);
    QFETCH(QString, path);
    QFETCH(QString, detail);
    QFETCH(QString, english);
    QFETCH(QString, japanese);
    const FileError error(FileError::Operation(operation), code, path, detail);
    QCOMPARE(ErrorText::message(error, Localization::english()), english);
    QCOMPARE(ErrorText::message(error, Localization::japanese()), japanese);
}

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
