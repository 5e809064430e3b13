// Scoring a query against a candidate: worked scores, the greedy walk, word starts read from the
// candidate's own case, Unicode characters and case mapping, and the prepared and ASCII paths
// agreeing with the reference path.

#include "fuzzymatcher.h"
#include "fuzzytext.h"

#include <QRandomGenerator>
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
        // U+0130 lowers to "i" + U+0307: longer, but still one character.
        QTest::newRow("dotted I matches its lowered form") << u(u"\u0130") << u(u"i\u0307") << Score(9);
        QTest::newRow("lowered dotted i matches dotted I") << u(u"i\u0307s") << u(u"\u0130s") << Score(15);
        QTest::newRow("dotted I is not a plain i") << "i" << u(u"\u0130") << none;
        QTest::newRow("positions stay aligned after dotted I") << "b" << u(u"\u0130aB") << Score(9);
        QTest::newRow("upper-case Greek query") << u(u"\u0391\u0392") << u(u"\u03b1\u03b2\u03b3") << Score(15);
        // A Greek keyboard types the final ς; capitals lower to σ or ς by context: both count as σ.
        QTest::newRow("final sigma in a capital name") << u(u"\u03bb\u03bf\u03b3\u03bf\u03c2")
                                                       << u(u"\u039b\u039f\u0393\u039f\u03a3 2") << Score(33);
        QTest::newRow("capital query meets final sigma") << u(u"\u039b\u039f\u0393\u039f\u03a3")
                                                         << u(u"\u03bb\u03bf\u03b3\u03bf\u03c2.txt") << Score(33);
        QTest::newRow("either small sigma matches") << u(u"\u03bf\u03c3") << u(u"\u039f\u03c2") << Score(15);
        // U+00AA is a letter of category Lo that still has the Lowercase property.
        QTest::newRow("lowercase property, not category") << "b" << u(u"\u00aaB") << Score(9);
        QTest::newRow("decomposed lowercase before upper") << "b" << u(u"e\u0301B") << Score(9);
        QTest::newRow("circled letters have case") << u(u"\u24d1") << u(u"\u24d0\u24b7") << Score(9);
        QTest::newRow("long accented name") << "xy" << u(u"\u00e9").repeated(70) + "_xY" << Score(23);
        QTest::newRow("CR LF is one character") << "b" << "a\r\nb" << Score(1);
        QTest::newRow("emoji sequence is one character") << "x" << u(u"\U0001F469\u200D\U0001F4BBx") << Score(1);
        QTest::newRow("emoji after Thai text") << u(u"\U0001F600") << u(u"\u0e20\u0e32\u0e1e \U0001F600.png") << Score(9);
        QTest::newRow("vowel sign stays on its Indic letter") << u(u"\u0915") << u(u"\u0915\u093f") << none;
        QTest::newRow("flag after an emoji") << u(u"\U0001F1EF\U0001F1F5") << u(u"\U0001F600\U0001F1EF\U0001F1F5") << Score(1);
        QTest::newRow("half a flag is not the flag") << u(u"\U0001F1EF") << u(u"\U0001F600\U0001F1EF\U0001F1F5") << none;
        QTest::newRow("Kelvin sign lowers to k") << "k" << u(u"\u212a") << Score(9);
        QTest::newRow("Greek question mark equals semicolon") << u(u"\u037e") << ";" << Score(9);
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

    // Random texts, half plain ASCII (the first eleven letters), half mixed with the awkward cases.
    void preparedAgreesOnGeneratedText()
    {
        const QStringList alphabet{"a", "b", "A", "B", "/", ".", "_", " ", "1", "\r", "\n",
                                   u(u"\u00e9"), u(u"\u0301"), u(u"\u0130"), u(u"\u03a3"), u(u"\u03c3"),
                                   u(u"\u00aa"), u(u"\U0001F469"), u(u"\u0e20"), u(u"\U0001F600"),
                                   u(u"\U0001F1EF"), u(u"\u0915"), u(u"\u093f")};
        QRandomGenerator random(20240611);
        const auto text = [&](int maxLength, int letters) {
            QString result;
            for (int i = random.bounded(maxLength + 1); i > 0; --i)
                result += alphabet.at(random.bounded(letters));
            return result;
        };
        for (int round = 0; round < 4000; ++round) {
            const int letters = round % 2 ? int(alphabet.size()) : 11;
            // Now and then more characters than the ASCII walk tracks at once.
            const QString query = text(round % 8 == 0 ? 20 : 3, letters);
            const QString candidate = text(round % 8 < 2 ? 90 : 12, letters);
            const QByteArray failure = "query " + query.toUtf8().toHex() + ", candidate " + candidate.toUtf8().toHex();
            const Score expected = FuzzyMatcher::score(query, candidate);
            if (FuzzyMatcher::score(FuzzyText(query), FuzzyText(candidate)) != expected)
                QFAIL(failure);
            const qsizetype tailStart = random.bounded(int(candidate.size()) + 1);
            const auto ascii = asciiScores(query, candidate, tailStart);
            if (ascii && (ascii->whole != expected || ascii->tail != FuzzyMatcher::score(query, candidate.sliced(tailStart))))
                QFAIL(QByteArray(failure + ", tail from " + QByteArray::number(tailStart)));
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzyMatcher)
#include "tst_fuzzymatcher.moc"
