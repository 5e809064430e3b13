// Scoring a query against a candidate: worked scores, the greedy walk, word starts read from the
// candidate's own case, accents either way, and the prepared and ASCII paths giving the same.

#include "fuzzymatcher.h"
#include "fuzzytext.h"

#include <QTest>

#include <algorithm>
#include <optional>

using Score = std::optional<qint64>;
Q_DECLARE_METATYPE(Score)

namespace {

const Score none = std::nullopt;

QString u(const char16_t *text) { return QString::fromUtf16(text); }

// The scores of the ASCII walk over the candidate and its tail, where both texts allow it. The
// padding after the candidate holds letters the queries look for: they must not count.
std::optional<FuzzyMatcher::AsciiScores> asciiScores(const QString &query, const QString &candidate,
                                                     qsizetype tailStart)
{
    const FuzzyText keys(query);
    const bool asciiKeys = std::all_of(keys.keys().begin(), keys.keys().end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!FuzzyText::isPlainAscii(candidate) || !keys.isSimple() || !asciiKeys)
        return std::nullopt;
    const QByteArray padded = candidate.toLatin1() + QByteArray(FuzzyMatcher::asciiPadding, 'a');
    return FuzzyMatcher::scoreAscii(keys.keys().toLatin1(), padded.constData(), candidate.size(), tailStart);
}

} // namespace

class TestFuzzyMatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void score_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<Score>("expected");
        QTest::newRow("lower to upper change") << "fb" << "FooBar" << Score(18);
        QTest::newRow("isolated characters") << "abc" << "xaxbxc" << Score(3);
        QTest::newRow("greedy takes the earlier m") << "rm" << "README.md" << Score(10);
        QTest::newRow("prefix run") << "read" << "README.md" << Score(27);
        QTest::newRow("order matters") << "ba" << "ab" << none;

        QTest::newRow("empty query") << "" << "anything" << Score(0);
        QTest::newRow("empty candidate") << "a" << "" << none;
        QTest::newRow("query longer than candidate") << "abc" << "ab" << none;
        QTest::newRow("upper-case query") << "FB" << "foobar" << Score(10);
        QTest::newRow("single first character: no run bonus") << "a" << "a" << Score(9);
        QTest::newRow("digit after separator") << "1" << "a-1" << Score(9);
        QTest::newRow("every separator") << "abcde" << "x/a_b-c d.e" << Score(45);
        QTest::newRow("upper to lower is no boundary") << "b" << "Ab" << Score(1);
        QTest::newRow("upper after upper is no boundary") << "b" << "AB" << Score(1);
        QTest::newRow("run across a boundary") << "ob" << "foBar" << Score(1 + 14);
        QTest::newRow("word starts past the 64th character") << "xy" << QString(70, 'a') + "_xY" << Score(23);
        QTest::newRow("repeated query character") << "aa" << "banana" << Score(2);

        const QString precomposed = u(u"caf\u00e9");
        const QString decomposed = u(u"cafe\u0301");
        QTest::newRow("precomposed query, decomposed name") << precomposed << decomposed << Score(27);
        QTest::newRow("decomposed query, precomposed name") << decomposed << precomposed << Score(27);
        QTest::newRow("accented letter is not its base") << "cafe" << decomposed << none;
        QTest::newRow("upper-case accented query") << u(u"CAF\u00c9") << decomposed << Score(27);
        QTest::newRow("long accented name") << "xy" << u(u"\u00e9").repeated(70) + "_xY" << Score(23);
    }

    // Both entry points must give the expected score.
    void score()
    {
        QFETCH(QString, query);
        QFETCH(QString, candidate);
        QFETCH(Score, expected);
        QCOMPARE(FuzzyMatcher::score(query, candidate), expected);
        QCOMPARE(FuzzyMatcher::score(FuzzyText(query), FuzzyText(candidate)), expected);
        if (const auto ascii = asciiScores(query, candidate, 0))
            QCOMPARE(ascii->whole, expected);
    }
};

QTEST_GUILESS_MAIN(TestFuzzyMatcher)
#include "tst_fuzzymatcher.moc"
